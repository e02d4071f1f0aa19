#include "recordstore/record_engine.h"

#include <cstring>
#include <limits>

#include "platform/core/cp1252.h"
#include "platform/core/event_loop.h"
#include "platform/core/text.h"
#include "recordstore/data_paths.h"

namespace corvane {
namespace {

constexpr std::int32_t kErrTypeMismatch = 13;

std::string Prefix(const char* word) {
    return std::string("Data Engine Misbehaved on ") + word + ", Error Number: [";
}

std::int16_t GetInt16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

void PutInt16(std::uint8_t* p, std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    p[0] = static_cast<std::uint8_t>(u & 0xFF);
    p[1] = static_cast<std::uint8_t>(u >> 8);
}

std::int32_t GetInt32(const std::uint8_t* p) {
    std::uint32_t u = 0;
    for (int i = 3; i >= 0; --i) u = (u << 8) | p[i];
    return static_cast<std::int32_t>(u);
}

void PutInt32(std::uint8_t* p, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i, u >>= 8) p[i] = static_cast<std::uint8_t>(u & 0xFF);
}

OleDate GetDate(const std::uint8_t* p) {
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | p[i];
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}

void PutDate(std::uint8_t* p, OleDate d) {
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    for (int i = 0; i < 8; ++i, u >>= 8) p[i] = static_cast<std::uint8_t>(u & 0xFF);
}

std::string_view RawText(const std::vector<std::uint8_t>& buffer, const FieldSpec& f) {
    return {reinterpret_cast<const char*>(buffer.data()) + f.offset, f.width};
}

void PutText(std::uint8_t* p, const FieldSpec& f, std::string_view utf8) {
    const std::string bytes = cp1252::ToField(utf8, f.width);
    std::memcpy(p, bytes.data(), f.width);
}

}  // namespace

RecordEngine::RecordEngine(const RecordDescription& description)
    : desc_(description),
      file_(description.slotLength, description.dataLength),
      buffer_(description.dataLength, 0) {
    members.resize(desc_.fields.size());
}

RecordEngine::~RecordEngine() { CloseTable(); }

RaisedError RecordEngine::Wrap(const Operation& op, const std::exception& e) const {
    const RaisedError inner = ToRaisedError(e, kProgramTitle);
    if (op.passOpenFailure && inner.Number() == vbObjectError + ops::kOpenTable.number)
        return RaisedError(inner.Number(), Source(op.word), WrapDescription(Prefix("OpenTable"), inner));
    const char* word = op.prefixWord ? op.prefixWord : desc_.saveMembersWord.c_str();
    return RaisedError(vbObjectError + op.number, Source(op.word), WrapDescription(Prefix(word), inner));
}

template <typename F>
auto RecordEngine::Trapped(const Operation& op, F&& body) -> decltype(body()) {
    try {
        return body();
    } catch (const std::exception& e) {
        throw Wrap(op, e);
    }
}

RaisedError RecordEngine::ClosedError(const char* word) const {
    return RaisedError(vbObjectError + 20, Source(word), "Operation is not allowed when the object is closed");
}

void RecordEngine::Notify(TableNotification n) {
    if (!observer) return;
    auto call = observer;  // the observer may replace itself
    call(n);
}

// --- opening ---

std::string RecordEngine::GetPathName(std::string_view pathName) const {
    if (text::TrimSpaces(pathName).empty())
        return DefaultTablePath(desc_.fileNameOverride ? *desc_.fileNameOverride : std::string(),
                             desc_.defaultFileName);
    return std::string(pathName);
}

void RecordEngine::OpenTable(std::string_view pathName) {
    Trapped(ops::kOpenTable, [&] {
        // A handle held before is closed, never leaked.
        CloseTable();
        tablePathName_ = GetPathName(pathName);
        file_.Open(tablePathName_);
    });
}

void RecordEngine::OpenIfClosed() {
    // A table closed after use goes back to its own file, not to the default one.
    if (!file_.IsOpen()) OpenTable(tablePathName_);
}

void RecordEngine::Connect() {
    OpenTable({});
    MoveFirst(false);
}

// --- the buffer ---

void RecordEngine::Read(std::int32_t n) {
    // Moving away from the loaded record: keep its bytes for SaveChanges.
    if (loadedRecord_ != 0 && bufferRecord_ == loadedRecord_ && !snapshotValid_) {
        snapshot_ = buffer_;
        snapshotValid_ = true;
    }
    file_.Read(n, buffer_.data(), desc_.blankRecord.data());
    bufferRecord_ = n;
    ended_ = Ended::No;
    if (n == loadedRecord_) snapshotValid_ = false;
}

void RecordEngine::StoreBuffer(std::int32_t n) {
    file_.Write(n, buffer_.data());
    bufferRecord_ = n;
    ended_ = Ended::No;
    if (n == loadedRecord_) snapshotValid_ = false;
}

std::string RecordEngine::KeyOf(const std::uint8_t* data) const {
    std::string key;
    for (int k : desc_.keyIndexes) {
        const FieldSpec& f = desc_.fields[static_cast<std::size_t>(k)];
        key += text::TrimSpaces(std::string_view(reinterpret_cast<const char*>(data) + f.offset, f.width));
        key += '\0';
    }
    return key;
}

bool RecordEngine::SlotHolds(std::int32_t n, const std::string& expectedKey) {
    std::vector<std::uint8_t> slot(desc_.slotLength);
    if (file_.ReadSlots(n, 1, slot.data()) < desc_.dataLength) return false;
    const FieldSpec& deleted = desc_.fields[static_cast<std::size_t>(desc_.deletedIndex)];
    const std::string key = KeyOf(slot.data());
    return GetInt16(slot.data() + deleted.offset) != -1 && key == expectedKey &&
           key != std::string(desc_.keyIndexes.size(), '\0');
}

// The key a write over target must find there: the one loaded, when target is the record
// loaded.
const std::string* RecordEngine::LoadedKeyFor(std::int32_t target) const {
    return loadedRecord_ > 0 && target == loadedRecord_ ? &loadedKey_ : nullptr;
}

// Measures the file and writes under the append lock, so that a clear elsewhere lands wholly
// before the write (which is then refused) or wholly after it. A slot outside the file is never
// written: the zero gap before it would read as phantom records. Nor is a slot that no longer
// holds the record expected: writing a stale copy there would bring a deleted record back or
// undo a rename.
void RecordEngine::OverwriteRecord(std::int32_t n, const std::uint8_t* bytes, const std::string* expectedKey) {
    RecordFile::AppendLock lock(file_);
    const std::int32_t slots = RecordFile::SlotCount(file_.FreshLength(), desc_.slotLength);
    if (n < 1 || n > slots)
        throw RaisedError(kErrBadRecordNumber, kProgramTitle,
                          "Bad record number (" + std::to_string(n) + " is not a record of " + tablePathName_ +
                              ")");
    if (expectedKey && !SlotHolds(n, *expectedKey))
        throw RaisedError(kErrBadRecordNumber, kProgramTitle,
                          "Bad record number (record " + std::to_string(n) + " of " + tablePathName_ +
                              " was deleted or renamed since it was read)");
    if (bytes == buffer_.data()) {
        StoreBuffer(n);
        return;
    }
    file_.Write(n, bytes);
    ended_ = Ended::No;
}

void RecordEngine::WriteBuffer(std::int32_t n) {
    const std::string key = KeyOf(buffer_.data());
    OverwriteRecord(n, buffer_.data(), &key);
}

std::string RecordEngine::BufferText(int field) const {
    return cp1252::FromField(RawText(buffer_, desc_.fields[static_cast<std::size_t>(field)]));
}

std::int32_t RecordEngine::BufferNumber(int field) const {
    const FieldSpec& f = desc_.fields[static_cast<std::size_t>(field)];
    const std::uint8_t* p = buffer_.data() + f.offset;
    return f.kind == FieldKind::Long ? GetInt32(p) : GetInt16(p);
}

OleDate RecordEngine::BufferDate(int field) const {
    return GetDate(buffer_.data() + desc_.fields[static_cast<std::size_t>(field)].offset);
}

void RecordEngine::SetBufferText(int field, std::string_view utf8) {
    const FieldSpec& f = desc_.fields[static_cast<std::size_t>(field)];
    PutText(buffer_.data() + f.offset, f, utf8);
}

void RecordEngine::SetBufferNumber(int field, std::int32_t value) {
    const FieldSpec& f = desc_.fields[static_cast<std::size_t>(field)];
    std::uint8_t* p = buffer_.data() + f.offset;
    if (f.kind == FieldKind::Long) {
        PutInt32(p, value);
        return;
    }
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        throw OverflowError(kProgramTitle);
    PutInt16(p, static_cast<std::int16_t>(value));
}

void RecordEngine::SetBufferDate(int field, OleDate value) {
    PutDate(buffer_.data() + desc_.fields[static_cast<std::size_t>(field)].offset, value);
}

bool RecordEngine::IsKeyBlank() const {
    for (int k : desc_.keyIndexes)
        if (!text::TrimSpaces(RawText(buffer_, desc_.fields[static_cast<std::size_t>(k)])).empty())
            return false;
    return true;
}

bool RecordEngine::ValidRecord() const {
    return BufferNumber(desc_.deletedIndex) != -1 && !IsKeyBlank();
}

std::string RecordEngine::MatchBytes(std::string_view utf8) {
    return cp1252::FromUtf8(text::TrimSpaces(utf8));
}

bool RecordEngine::FieldEquals(int field, std::string_view matchBytes) const {
    return text::EqualsBytes(text::TrimSpaces(RawText(buffer_, desc_.fields[static_cast<std::size_t>(field)])),
                             matchBytes);
}

// --- members <-> buffer ---

void RecordEngine::Refresh() {
    Trapped(ops::kRefresh, [&] {
        identity = file_.Loc();
        for (const FieldSpec& f : desc_.fields) {
            if (f.role == FieldRole::BufferOnly) continue;
            FieldValue& m = members[static_cast<std::size_t>(f.id)];
            if (f.kind == FieldKind::Text) m.text = BufferText(f.id);
            else if (f.kind == FieldKind::Date) m.date = BufferDate(f.id);
            else m.number = BufferNumber(f.id);
        }
        isSynchronised = true;
        loadedRecord_ = identity;
        loadedKey_ = KeyOf(buffer_.data());
        snapshotValid_ = false;
        Notify(TableNotification::Changed);
    });
}

void RecordEngine::SaveMembers() {
    Trapped(ops::kSaveMembers, [&] {
        for (const FieldSpec& f : desc_.fields) {
            if (f.role == FieldRole::BufferOnly) continue;
            const FieldValue& m = members[static_cast<std::size_t>(f.id)];
            if (f.kind == FieldKind::Text) SetBufferText(f.id, m.text);
            else if (f.kind == FieldKind::Date) SetBufferDate(f.id, m.date);
            else SetBufferNumber(f.id, m.number);  // a value too wide for 16 bits overflows here
        }
        isSynchronised = true;
        Notify(TableNotification::Saved);
    });
}

void RecordEngine::CopyProperties(const RecordEngine& other) {
    Trapped(ops::kCopyProperties, [&] {
        if (&other.desc_ != &desc_) throw RaisedError(kErrTypeMismatch, kProgramTitle, "Type mismatch");
        identity = other.identity;
        for (const FieldSpec& f : desc_.fields)
            if (f.role == FieldRole::Property)
                members[static_cast<std::size_t>(f.id)] = other.members[static_cast<std::size_t>(f.id)];
    });
}

void RecordEngine::Clear() {
    identity = 0;
    for (const FieldSpec& f : desc_.fields)
        if (f.role == FieldRole::Property) members[static_cast<std::size_t>(f.id)] = FieldValue{};
}

// --- writing ---

void RecordEngine::SaveChanges() {
    Trapped(ops::kSaveChanges, [&] {
        if (!(isSynchronised && isDirty)) return;
        const std::int32_t target = loadedRecord_ > 0 ? loadedRecord_ : file_.Loc();
        if (bufferRecord_ != target && snapshotValid_ && target == loadedRecord_) {
            buffer_ = snapshot_;
            bufferRecord_ = target;
        }
        SaveMembers();
        OverwriteRecord(target, buffer_.data(), LoadedKeyFor(target));
        // A rename through this object: the slot holds the new key now.
        if (target == loadedRecord_) loadedKey_ = KeyOf(buffer_.data());
        isDirty = false;
    });
}

std::unique_ptr<RecordFile::Batch> RecordEngine::BeginBatch() {
    OpenIfClosed();
    return Trapped(ops::kSaveChanges, [&] { return std::make_unique<RecordFile::Batch>(file_); });
}

void RecordEngine::CommitBatch(RecordFile::Batch& batch) {
    Trapped(ops::kSaveChanges, [&] { batch.Commit(); });
}

void RecordEngine::RewriteScanned(const std::vector<std::pair<std::int32_t, std::vector<std::uint8_t>>>& scanned,
                                  int field, std::string_view utf8) {
    Trapped(ops::kSaveChanges, [&] {
        OpenIfClosed();
        const FieldSpec& f = desc_.fields[static_cast<std::size_t>(field)];
        // The same bytes go into every record: encoded once.
        const std::string bytes = cp1252::ToField(utf8, f.width);
        std::vector<std::uint8_t> now;
        for (const auto& [n, old] : scanned) {
            if (old.size() != desc_.dataLength) continue;
            now = old;
            std::memcpy(now.data() + f.offset, bytes.data(), f.width);
            file_.WriteKnown(n, old.data(), now.data());
        }
        ended_ = Ended::No;
    });
}

bool RecordEngine::UpdateLoaded(const std::function<bool()>& change, RecordFile::Placement placement) {
    return Trapped(ops::kSaveChanges, [&] {
        if (!isSynchronised || loadedRecord_ <= 0) return false;
        OpenIfClosed();
        const std::int32_t n = loadedRecord_;
        RecordFile::AppendLock lock(file_);
        if (n > RecordFile::SlotCount(file_.FreshLength(), desc_.slotLength) || !SlotHolds(n, loadedKey_))
            return false;
        const std::vector<FieldValue> before = members;
        const bool dirty = isDirty;
        Read(n);
        Refresh();
        if (!change()) {
            members = before;
            identity = n;
            isDirty = dirty;
            return false;
        }
        SaveMembers();
        std::optional<RecordFile::InPlace> small;
        if (placement != RecordFile::Placement::kJournal) small.emplace(file_, placement);
        StoreBuffer(n);
        loadedKey_ = KeyOf(buffer_.data());
        isDirty = false;
        return true;
    });
}

// An appended record is never born deleted or locked, whatever record the buffer held.
void RecordEngine::ClearAppendMarks() {
    if (BufferNumber(desc_.deletedIndex) != 0) SetBufferNumber(desc_.deletedIndex, 0);
    if (desc_.HasLocks() && BufferNumber(desc_.lockedIndex) != 0) {
        for (int i : {desc_.lockedIndex, desc_.lockedByIndex, desc_.lockedOnIndex, desc_.lockedAtIndex}) {
            const FieldSpec& f = desc_.fields[static_cast<std::size_t>(i)];
            std::memset(buffer_.data() + f.offset, 0, f.width);
        }
    }
}

void RecordEngine::AddNew() {
    Trapped(ops::kAddNew, [&] {
        OpenIfClosed();
        if (members[static_cast<std::size_t>(desc_.addNewKeyIndex)].text.empty())
            throw RaisedError(vbObjectError + 3, Source("AddNew"), "Primary Key not specified in AddNew");
        SaveMembers();
        ClearAppendMarks();
        {
            // Measure and write under one lock, so two workstations never pick one slot.
            RecordFile::AppendLock lock(file_, true);
            const std::int64_t length = file_.FreshLength();
            const std::int32_t slots = RecordFile::SlotCount(length, desc_.slotLength);
            // A torn last slot was never a record; appending past it would zero-fill its
            // missing bytes and bring half a record to life, so the new record takes it.
            const bool torn = slots > 0 && length < (static_cast<std::int64_t>(slots) - 1) * desc_.slotLength +
                                                         desc_.dataLength;
            StoreBuffer(torn ? slots : slots + 1);
        }
        Refresh();
        isDirty = false;
    });
}

void RecordEngine::Delete(std::int32_t recordNumber) {
    Trapped(ops::kDelete, [&] {
        OpenIfClosed();
        std::int32_t target = recordNumber;
        const std::string* expectedKey = nullptr;
        if (target == 0) {
            if (!isSynchronised) return;
            target = loadedRecord_ > 0 ? loadedRecord_ : file_.Loc();
            expectedKey = LoadedKeyFor(target);
        }
        OverwriteRecord(target, desc_.tombstone.data(), expectedKey);
    });
}

bool RecordEngine::WhileHolds(std::int32_t n, std::string_view keyText, const std::function<void()>& action) {
    Trapped(ops::kExists, [&] { OpenIfClosed(); });
    RecordFile::AppendLock lock(file_);
    const bool found = Trapped(ops::kExists, [&] {
        if (n < 1 || n > RecordFile::SlotCount(file_.FreshLength(), desc_.slotLength)) return false;
        Read(n);
        return ValidRecord() && FieldEquals(desc_.keyIndexes[0], MatchBytes(keyText));
    });
    if (found) action();
    return found;
}

bool RecordEngine::DeleteValid(std::int32_t n, std::string_view keyText) {
    return Trapped(ops::kDelete, [&] {
        OpenIfClosed();
        RecordFile::AppendLock lock(file_);
        if (n < 1 || n > RecordFile::SlotCount(file_.FreshLength(), desc_.slotLength)) return false;
        Read(n);
        if (!ValidRecord() || (!keyText.empty() && !FieldEquals(desc_.keyIndexes[0], MatchBytes(keyText))))
            return false;
        file_.Write(n, desc_.tombstone.data());
        ended_ = Ended::No;
        return true;
    });
}

bool RecordEngine::RestoreDeleted(std::int32_t n, const std::vector<std::uint8_t>& bytes) {
    return Trapped(ops::kDelete, [&] {
        OpenIfClosed();
        RecordFile::AppendLock lock(file_);
        if (bytes.size() != desc_.dataLength || n < 1 ||
            n > RecordFile::SlotCount(file_.FreshLength(), desc_.slotLength))
            return false;
        Read(n);
        if (BufferNumber(desc_.deletedIndex) != -1) return false;
        file_.Write(n, bytes.data());
        ended_ = Ended::No;
        return true;
    });
}

std::optional<std::string> RecordEngine::KeyAt(std::int32_t n) {
    return Trapped(ops::kExists, [&]() -> std::optional<std::string> {
        OpenIfClosed();
        RecordFile::AppendLock lock(file_);
        if (n < 1 || n > RecordFile::SlotCount(file_.FreshLength(), desc_.slotLength)) return std::nullopt;
        Read(n);
        if (!ValidRecord()) return std::nullopt;
        return BufferText(desc_.keyIndexes[0]);
    });
}

// --- searching and counting ---

// How every successful load ends, after the members were refreshed from the record found.
void RecordEngine::EndLoad() {
    isSynchronised = true;
    isDirty = false;
    Notify(TableNotification::Loaded);
}

bool RecordEngine::Search(const Operation& op, const std::vector<std::pair<int, std::string>>& matches,
                          bool load) {
    return Trapped(op, [&] {
        OpenIfClosed();
        ScanScope scan(file_);
        Read(1);
        while (!Eof()) {
            bool equal = true;
            for (const auto& [field, bytes] : matches) equal = equal && FieldEquals(field, bytes);
            if (equal && ValidRecord()) {
                noMatch = false;
                if (load) {
                    Refresh();
                    EndLoad();
                }
                return true;
            }
            Read(file_.Loc() + 1);
        }
        noMatch = true;
        if (load) isSynchronised = false;
        return false;
    });
}

bool RecordEngine::SearchNumber(const Operation& op, std::int32_t n, bool load) {
    return Trapped(op, [&] {
        OpenIfClosed();
        ScanScope scan(file_);
        bool found = false;
        if (n > 0 && n <= GetSlotCount()) {
            Read(n);
            found = ValidRecord();
        }
        noMatch = !found;
        if (!load) return found;
        if (!found) {
            isSynchronised = false;
            return false;
        }
        Refresh();
        EndLoad();
        return true;
    });
}

bool RecordEngine::LoadMatches(const Operation& op, int field, std::string_view value,
                               const std::function<void()>& onMatch) {
    return Trapped(op, [&] {
        const std::string want = MatchBytes(value);
        OpenIfClosed();
        ScanScope scan(file_);
        bool any = false;
        Read(1);
        while (!Eof()) {
            // The one field first: the validity test trims every key field.
            if (FieldEquals(field, want) && ValidRecord()) {
                noMatch = false;
                Refresh();
                onMatch();
                any = true;
            }
            Read(file_.Loc() + 1);
        }
        if (!any) {
            noMatch = true;
            isSynchronised = false;
            return false;
        }
        EndLoad();
        return true;
    });
}

std::int32_t RecordEngine::GetSlotCount() {
    OpenIfClosed();
    try {
        return RecordFile::SlotCount(file_.Length(), desc_.slotLength);
    } catch (const std::exception&) {
        return 0;
    }
}

std::int32_t RecordEngine::CountKeyed() {
    OpenIfClosed();
    ScanScope scan(file_);
    // Slots 1..count, each once: a read that fails is skipped, never retried for ever.
    const std::int32_t slots = GetSlotCount();
    std::int32_t count = 0;
    for (std::int32_t n = 1; n <= slots; ++n) {
        try {
            Read(n);
            if (!IsKeyBlank()) ++count;
        } catch (const std::exception&) {
        }
    }
    // The walk has always ended standing past the last slot.
    try {
        Read(slots + 1);
    } catch (const std::exception&) {
    }
    return count;
}

std::int32_t RecordEngine::CountFlagged(int field) {
    OpenIfClosed();
    ScanScope scan(file_);
    const std::int32_t slots = GetSlotCount();
    std::int32_t count = 0;
    for (std::int32_t n = 1; n <= slots; ++n) {
        Read(n);
        if (ValidRecord() && BufferNumber(field) != 0) ++count;
    }
    Read(slots + 1);
    return count;
}

void RecordEngine::Truncate() {
    OpenIfClosed();
    file_.Truncate();
    ended_ = Ended::No;
    isSynchronised = false;
    bufferRecord_ = 0;
    loadedRecord_ = 0;
    loadedKey_.clear();
    snapshotValid_ = false;
}

std::int32_t RecordEngine::RecordCount() {
    OpenIfClosed();
    const std::int32_t p = file_.Loc();
    YieldToEventLoop();
    ScanScope scan(file_);
    std::int32_t count = 0;
    const std::int32_t slots = GetSlotCount();
    for (std::int32_t n = 1; n <= slots; ++n) {
        Read(n);
        if (ValidRecord()) ++count;
    }
    if (p != 0) {
        // Putting the position back is no move: a walk that had ended stays ended.
        const Ended ended = ended_;
        Read(p);
        ended_ = ended;
    }
    return count;
}

bool RecordEngine::IsEmpty() {
    OpenIfClosed();
    return Bof() && Eof();
}

// --- position and steps ---

bool RecordEngine::Bof() {
    if (!file_.IsOpen()) throw ClosedError("BOF");
    const std::int32_t slots = GetSlotCount();
    return slots == 0 || file_.Loc() <= 1;
}

bool RecordEngine::Eof() {
    if (!file_.IsOpen()) throw ClosedError("EOF");
    const std::int32_t slots = GetSlotCount();
    return slots == 0 || file_.Loc() > slots;
}

bool RecordEngine::Land(bool noRefresh) {
    if (!noRefresh) Refresh();
    return true;
}

// A step that finds nothing leaves no record loaded: a save then writes nothing, where it
// would otherwise write the cleared members over the record loaded last.
bool RecordEngine::StepFoundNothing(bool forward) {
    isSynchronised = false;
    ended_ = forward ? Ended::Forward : Ended::Backward;
    return false;
}

bool RecordEngine::EofAfterStep() {
    if (!file_.IsOpen()) throw ClosedError("EOF");
    return ended_ == Ended::Forward || Eof();
}

bool RecordEngine::BofAfterStep() {
    if (!file_.IsOpen()) throw ClosedError("BOF");
    return ended_ == Ended::Backward || Bof();
}

bool RecordEngine::MoveFirst(bool noRefresh) {
    OpenIfClosed();
    ScanScope scan(file_);
    if (Bof() && Eof()) return StepFoundNothing(true);
    Read(1);
    for (;;) {
        if (ValidRecord()) return Land(noRefresh);
        if (Eof()) break;
        Read(file_.Loc() + 1);
    }
    Clear();
    return StepFoundNothing(true);
}

bool RecordEngine::MoveLast(bool noRefresh) {
    OpenIfClosed();
    ScanScope scan(file_);
    if (Bof() && Eof()) return StepFoundNothing(false);
    Read(GetSlotCount());
    for (;;) {
        if (ValidRecord()) return Land(noRefresh);
        if (Bof()) break;
        Read(file_.Loc() - 1);
    }
    Clear();
    return StepFoundNothing(false);
}

bool RecordEngine::MoveNext(bool noRefresh) {
    OpenIfClosed();
    ScanScope scan(file_);
    while (!Eof()) {
        Read(file_.Loc() + 1);
        if (ValidRecord()) return Land(noRefresh);
    }
    Clear();
    return StepFoundNothing(true);
}

void RecordEngine::ForEachValid(const std::function<void()>& visit) {
    OpenIfClosed();
    // One scan for the whole walk: the file is measured once and read ahead, not once per step.
    ScanScope scan(file_);
    for (bool found = MoveFirst(false); found; found = MoveNext(false)) visit();
}

void RecordEngine::ScanValid(const SlotVisit& visit) {
    OpenIfClosed();
    ScanValidSlots(file_, desc_, visit);
}

void RecordEngine::MembersFrom(const SlotView& record) {
    identity = record.RecordNumber();
    for (const FieldSpec& f : desc_.fields) {
        if (f.role == FieldRole::BufferOnly) continue;
        FieldValue& m = members[static_cast<std::size_t>(f.id)];
        if (f.kind == FieldKind::Text) m.text = record.Text(f.id);
        else if (f.kind == FieldKind::Date) m.date = record.Date(f.id);
        else m.number = record.Number(f.id);
    }
}

bool RecordEngine::MovePrevious(bool noRefresh) {
    OpenIfClosed();
    ScanScope scan(file_);
    while (!Bof()) {
        Read(file_.Loc() - 1);
        if (ValidRecord()) return Land(noRefresh);
    }
    Clear();
    return StepFoundNothing(false);
}

void RecordEngine::Enumerate(bool reverse) {
    OpenIfClosed();
    if (desc_.yieldBeforeEnumerate) YieldToEventLoop();
    // One notification after the first move, found or not, then one per record found. The
    // backward walk of the account and catalogue tables ends as soon as it reaches record 1,
    // unannounced; the logs announce their first valid record as well.
    if (!reverse) {
        MoveFirst(false);
        Notify(TableNotification::Enumerated);
        while (!Eof() && MoveNext(false)) Notify(TableNotification::Enumerated);
    } else {
        MoveLast(false);
        Notify(TableNotification::Enumerated);
        while (!Bof() && MovePrevious(false)) {
            if (Bof() && !desc_.reverseWalkAnnouncesFirst) break;
            Notify(TableNotification::Enumerated);
        }
    }
}

}  // namespace corvane
