#include "recordstore/log_table.h"

#include <stdexcept>

namespace corvane {

LogTable::LogTable(const RecordDescription& description) : RecordTable(description) {
    if (description.keyPolicy != KeyPolicy::RecordNumber)
        throw std::logic_error(description.className + ": a log table is found by record number");
}

bool LogTable::Load(std::int32_t lngLogId) { return Pin()->SearchNumber(ops::kLoad, lngLogId, true); }
bool LogTable::Exists(std::int32_t lngLogId) { return Pin()->SearchNumber(ops::kExists, lngLogId, false); }
void LogTable::Truncate() { Pin()->Truncate(); }

}  // namespace corvane
