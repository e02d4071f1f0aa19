#pragma once

#include <functional>
#include <string_view>

#include "recordstore/record_table.h"

namespace corvane {

// A table of links between a login and a key text (memberships and assignments). Its key is
// the pair (key field, login field), in the description's keyFields order; a record is blank
// only when both are blank. AddNew tests the login alone.
class LinkTable : public RecordTable {
public:
    // The first valid record whose key and login both equal the arguments (trimmed, without
    // letter case); loads it as KeyedTable::Load does. Error +8 (+11).
    bool Load(std::string_view key, std::string_view login);
    // The same search without loading. Error +18 (+11).
    bool Exists(std::string_view key, std::string_view login);
    // Loads record n when it is a valid record (a link a whole-table read found), as Load
    // loads; false, not synchronised, when it is not. Error +8 (+11).
    bool LoadRecordNumber(std::int32_t n);

protected:
    explicit LinkTable(const RecordDescription& description);

    // The loaders (LoadGroup, LoadMembers, ...): every valid record whose field equals value,
    // in record order; on each the members are refreshed and onMatch runs (it adds a copy to
    // the collection, which the caller has replaced before calling). Found: synchronised, not
    // dirty, one Loaded notification, true. None: NoMatch, not synchronised, false. The
    // position ends past the last slot. Errors under sourceWord: +8 with Load's text (+11).
    bool LoadMatching(const char* sourceWord, int field, std::string_view value,
                      const std::function<void()>& onMatch);
    // What a loader finds, read in one pass (ScanValid) without loading anything: each valid
    // record whose field equals value goes to visit as it lies in the file; false from visit
    // stops. The object stays as it was. Errors as the loader named sourceWord raises them.
    void ScanMatching(const char* sourceWord, int field, std::string_view value, const SlotVisit& visit);
};

}  // namespace corvane
