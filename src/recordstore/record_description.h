#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// How a field is stored in its slot (all numbers little-endian, no gaps).
enum class FieldKind : std::uint8_t {
    Text,         // N bytes of Windows-1252, space padded; never-written text is NUL bytes
    Integer,      // signed 16-bit, behind an int16_t property
    WideInteger,  // signed 16-bit on disk behind an int32_t property (narrowed with an
                  // overflow check when saved, sign-extended when loaded)
    Flag,         // 16-bit Boolean, True = -1; handed out raw as int16_t
    Long,         // signed 32-bit
    Date,         // 8-byte double, days since 30 December 1899
    Bytes,        // reserved bytes that are not text: zero in every blank record
};

// Who holds a field's value besides the record buffer.
enum class FieldRole : std::uint8_t {
    Property,    // a member with a public property; copied by Refresh/SaveMembers/CopyObject/Clear
    Carried,     // a hidden member: Refresh/SaveMembers carry it, CopyObject and Clear do not
    BufferOnly,  // lives only in the record buffer (Deleted, the lock fields, reserved bytes)
};

// How Load and Exists find a record.
enum class KeyPolicy : std::uint8_t {
    KeyText,       // by the trimmed key field(s), compared without letter case
    RecordNumber,  // by record number (the log tables); the key field only decides validity
};

struct FieldSpec {
    constexpr FieldSpec(int id_, const char* name_, FieldKind kind_, std::uint32_t offset_,
                        std::uint32_t width_, FieldRole role_ = FieldRole::Property)
        : id(id_), name(name_), kind(kind_), offset(offset_), width(width_), role(role_) {}

    int id;            // the field's index; must equal its position in the list
    const char* name;  // the field's name ("Deleted" and the four lock fields are found by name)
    FieldKind kind;
    std::uint32_t offset;
    std::uint32_t width;  // bytes on disk
    FieldRole role;
};

// Everything that makes the one engine into one table. Build one with Build(), which checks
// the layout (fields packed in file order from 0 to the data length, names resolved) and
// throws std::logic_error on a mistake, so a wrong description fails at its first use.
struct RecordDescription {
    std::string className{};        // first part of every error source ("User")
    std::string tableName{};        // what TableName returns ("Users")
    std::string defaultFileName{};  // "users.sec"
    std::string* fileNameOverride = nullptr;  // the table's program-wide override (gUserFile)
    std::uint32_t slotLength = 0;  // L: bytes per slot
    std::uint32_t dataLength = 0;  // D: bytes of data at the start of each slot
    std::vector<FieldSpec> fields{}; // in file order
    std::vector<std::string> keyFields{};          // one, or two for the link tables (key, login)
    std::string identityName{};                    // "UserID"
    std::vector<std::string> deleteSpaceFields{};  // text fields the tombstone fills with spaces
    std::string addNewKeyField{};                  // AddNew refuses when this member is ""
    KeyPolicy keyPolicy = KeyPolicy::KeyText;
    std::string saveMembersWord = "SaveMembers";  // word in the SaveMembers error text
    bool yieldBeforeEnumerate = false;            // the log tables yield once in Enumerate
    bool reverseWalkAnnouncesFirst = false;       // the log tables' backward Enumerate announces
                                                  // the first valid record too

    // Resolved by Build().
    std::vector<int> keyIndexes{};
    std::vector<int> deleteSpaceIndexes{};
    int addNewKeyIndex = -1;
    int deletedIndex = -1;
    int lockedIndex = -1;  // RecordLocked; -1 when the table has no record locks
    int lockedByIndex = -1;
    int lockedOnIndex = -1;
    int lockedAtIndex = -1;
    std::vector<std::uint8_t> blankRecord{};  // a read past the end: text fields spaces, the rest 0
    std::vector<std::uint8_t> tombstone{};    // DELETE: zeros, the named fields spaces, Deleted -1

    static RecordDescription Build(RecordDescription d);

    bool HasLocks() const { return lockedIndex >= 0; }
    int IndexOf(const std::string& name) const;  // -1 when absent
};

// Bytes a field of a numeric kind takes on disk; 0 for Text and Bytes.
std::uint32_t NaturalWidth(FieldKind kind);

}  // namespace corvane
