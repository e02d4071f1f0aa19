#include "recordstore/keyed_table.h"

#include <cmath>
#include <stdexcept>

#include "platform/core/clock.h"
#include "platform/core/environment.h"

namespace corvane {
namespace {

// The lock time as its text form shows it: rounded to the second. A value that is no date
// at all reads as 0.
OleDate ToWholeSeconds(OleDate d) {
    if (!IsValidOleDate(d)) return 0.0;
    const double whole = std::trunc(d);
    double seconds = std::round(std::fabs(d - whole) * 86400.0);
    return d < 0 ? whole - seconds / 86400.0 : whole + seconds / 86400.0;
}

}  // namespace

KeyedTable::KeyedTable(const RecordDescription& description) : RecordTable(description) {
    if (description.keyPolicy != KeyPolicy::KeyText || description.keyIndexes.size() != 1)
        throw std::logic_error(description.className + ": a keyed table has one key");
}

const RecordDescription& KeyedTable::Locks() const {
    if (!Layout().HasLocks()) throw std::logic_error(Layout().className + " has no record locks");
    return Layout();
}

std::int16_t KeyedTable::RecordLocked() const {
    return static_cast<std::int16_t>(Engine().BufferNumber(Locks().lockedIndex));
}

std::string KeyedTable::RecordLockedBy() const { return Engine().BufferText(Locks().lockedByIndex); }
std::string KeyedTable::RecordLockedOn() const { return Engine().BufferText(Locks().lockedOnIndex); }
OleDate KeyedTable::RecordLockedAt() const {
    return ToWholeSeconds(Engine().BufferDate(Locks().lockedAtIndex));
}

bool KeyedTable::Load(std::string_view key) {
    auto engine = Pin();
    return engine->Search(ops::kLoad, {{Layout().keyIndexes[0], RecordEngine::MatchBytes(key)}}, true);
}

bool KeyedTable::Exists(std::string_view key) {
    auto engine = Pin();
    return engine->Search(ops::kExists, {{Layout().keyIndexes[0], RecordEngine::MatchBytes(key)}}, false);
}

bool KeyedTable::ExistsByField(const char* sourceWord, int field, std::string_view value) {
    auto engine = Pin();
    const Operation op{sourceWord, ops::kExists.number, ops::kExists.prefixWord, true};
    return engine->Search(op, {{field, RecordEngine::MatchBytes(value)}}, false);
}

std::optional<std::string> KeyedTable::DeleteValid(std::int32_t recordNumber) {
    auto engine = Pin();
    if (!engine->DeleteValid(recordNumber)) return std::nullopt;
    return engine->BufferText(Layout().keyIndexes[0]);
}

std::int32_t KeyedTable::CountKeyed() { return Pin()->CountKeyed(); }

std::int16_t KeyedTable::IsRecordLocked(std::string_view ID) {
    if (!Exists(ID)) return 0;
    return RecordLocked();
}

bool KeyedTable::WriteLock(std::string_view ID, bool lock, std::string_view lockedBy) {
    const RecordDescription& d = Locks();
    auto engine = Pin();
    if (!Exists(ID)) return false;
    engine->SetBufferNumber(d.lockedIndex, lock ? kFlagTrue : kFlagFalse);
    engine->SetBufferText(d.lockedByIndex, lock ? lockedBy : std::string_view{});
    engine->SetBufferText(d.lockedOnIndex, lock ? GetLocalComputerName() : std::string());
    engine->SetBufferDate(d.lockedAtIndex, lock ? clock::Now() : 0.0);
    engine->WriteBuffer(engine->Loc());
    return false;
}

bool KeyedTable::LockRecord(std::string_view ID, std::string_view LockedBy) { return WriteLock(ID, true, LockedBy); }
bool KeyedTable::ReleaseRecordLock(std::string_view ID) { return WriteLock(ID, false, {}); }

}  // namespace corvane
