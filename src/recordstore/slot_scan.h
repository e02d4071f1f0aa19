#pragma once

#include <functional>
#include <string>

#include "recordstore/record_description.h"
#include "recordstore/record_file.h"
#include "recordstore/slot_view.h"

namespace corvane {

// One operation's scan of a file (RecordFile::BeginScan to EndScan), ended however the
// operation leaves.
class ScanScope {
public:
    explicit ScanScope(RecordFile& file) : file_(file) { file_.BeginScan(); }
    ~ScanScope() { file_.EndScan(); }
    ScanScope(const ScanScope&) = delete;
    ScanScope& operator=(const ScanScope&) = delete;

private:
    RecordFile& file_;
};

// What a whole-table read runs on each valid record; false stops the read.
using SlotVisit = std::function<bool(const SlotView&)>;

// Runs visit on every valid record of the open file in record order, in one scan: the file is
// measured once and read in blocks of up to a megabyte under the scan's one shared lock, so an
// append, clear or cut elsewhere lands wholly before the read (and is met) or wholly after
// (and is not). A slot the file does not hold whole reads as the blank record and is never
// met. Only the fields visit asks for are decoded. The file's position stays. File errors
// reach the caller unchanged.
void ScanValidSlots(RecordFile& file, const RecordDescription& desc, const SlotVisit& visit);

// The same over the file at path, opened for this read only (created empty when missing, as
// a table opens it).
void ScanTableFile(const RecordDescription& desc, const std::string& path, const SlotVisit& visit);

}  // namespace corvane
