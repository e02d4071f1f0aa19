#include "recordstore/record_table.h"

namespace corvane {

RecordTable::RecordTable(const RecordDescription& description)
    : engine_(std::make_shared<RecordEngine>(description)) {}

RecordTable::~RecordTable() = default;

void RecordTable::Connect() { Pin()->Connect(); }
void RecordTable::Refresh() { Pin()->Refresh(); }

bool RecordTable::Delete(std::int32_t recordNumber) {
    Pin()->Delete(recordNumber);
    return false;
}

void RecordTable::AddNew() { Pin()->AddNew(); }
void RecordTable::SaveChanges() { Pin()->SaveChanges(); }

void RecordTable::CopyObject(const RecordTable* objCopy) {
    if (objCopy) engine_->CopyProperties(*objCopy->engine_);
}

void RecordTable::OpenTable(std::string_view PathName) { engine_->OpenTable(PathName); }
bool RecordTable::IsEmpty() { return Pin()->IsEmpty(); }
std::int32_t RecordTable::RecordCount() { return Pin()->RecordCount(); }
bool RecordTable::IsBOF() { return engine_->BofAfterStep(); }
bool RecordTable::IsEOF() { return engine_->EofAfterStep(); }
void RecordTable::MoveFirst(bool NoRefresh) { Pin()->MoveFirst(NoRefresh); }
void RecordTable::MoveLast(bool NoRefresh) { Pin()->MoveLast(NoRefresh); }
void RecordTable::MovePrevious(bool NoRefresh) { Pin()->MovePrevious(NoRefresh); }
void RecordTable::MoveNext(bool NoRefresh) { Pin()->MoveNext(NoRefresh); }
void RecordTable::Enumerate(bool blnReverse) { Pin()->Enumerate(blnReverse); }
void RecordTable::ForEachValid(const std::function<void()>& visit) { Pin()->ForEachValid(visit); }

void RecordTable::SetTextField(int field, std::string value) {
    engine_->members[Index(field)].text = std::move(value);
    engine_->isDirty = true;
}

void RecordTable::SetInt16Field(int field, std::int16_t value) {
    engine_->members[Index(field)].number = value;
    engine_->isDirty = true;
}

void RecordTable::SetInt32Field(int field, std::int32_t value) {
    engine_->members[Index(field)].number = value;
    engine_->isDirty = true;
}

void RecordTable::SetDateField(int field, OleDate value) {
    engine_->members[Index(field)].date = value;
    engine_->isDirty = true;
}

void RecordTable::SetIdentity(std::int32_t value) {
    engine_->identity = value;
    engine_->isDirty = true;
}

RecordTable::Change::Change(RecordTable& table) : engine_(table.Pin()), batch_(engine_->BeginBatch()) {}

RecordTable::Change::~Change() { batch_.reset(); }

void RecordTable::Change::Commit() { engine_->CommitBatch(*batch_); }

}  // namespace corvane
