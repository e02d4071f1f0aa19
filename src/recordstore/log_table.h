#pragma once

#include <cstdint>

#include "recordstore/record_table.h"

namespace corvane {

// A log table: records are found by their number (LogID), never by a key. The key field
// (UserLogin) only decides validity.
class LogTable : public RecordTable {
public:
    // Loads record lngLogId when 0 < lngLogId <= slot count and the record is valid: NoMatch
    // false, synchronised, not dirty. Otherwise NoMatch true, not synchronised, the members
    // unchanged (a number out of range reads nothing). Error +8 (+11).
    bool Load(std::int32_t lngLogId);
    // The same test without loading; the buffer and the position move to the record read.
    // Error +18 (+11).
    bool Exists(std::int32_t lngLogId);

    // Empties the table's file in place (opening the default file when closed), under the
    // engine's append lock, so that workstations holding the file open lose no later record.
    // Clearing a log uses it. Errors reach the caller unchanged.
    void Truncate();

protected:
    explicit LogTable(const RecordDescription& description);
};

}  // namespace corvane
