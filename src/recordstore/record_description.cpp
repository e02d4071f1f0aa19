#include "recordstore/record_description.h"

#include <algorithm>
#include <stdexcept>

namespace corvane {
namespace {

[[noreturn]] void Fail(const RecordDescription& d, const std::string& what) {
    throw std::logic_error("record description " + d.className + ": " + what);
}

int Require(const RecordDescription& d, const std::string& name, const char* purpose) {
    const int i = d.IndexOf(name);
    if (i < 0) Fail(d, std::string(purpose) + " names no field \"" + name + "\"");
    return i;
}

int RequireKind(const RecordDescription& d, const std::string& name, FieldKind kind,
                const char* purpose) {
    const int i = Require(d, name, purpose);
    if (d.fields[static_cast<std::size_t>(i)].kind != kind)
        Fail(d, std::string(purpose) + " field \"" + name + "\" has the wrong kind");
    return i;
}

}  // namespace

std::uint32_t NaturalWidth(FieldKind kind) {
    switch (kind) {
        case FieldKind::Integer:
        case FieldKind::WideInteger:
        case FieldKind::Flag: return 2;
        case FieldKind::Long: return 4;
        case FieldKind::Date: return 8;
        case FieldKind::Text:
        case FieldKind::Bytes: return 0;
    }
    return 0;
}

int RecordDescription::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (name == fields[i].name) return static_cast<int>(i);
    return -1;
}

RecordDescription RecordDescription::Build(RecordDescription d) {
    if (d.className.empty() || d.tableName.empty() || d.defaultFileName.empty())
        Fail(d, "class, table and file names are required");
    if (d.dataLength == 0 || d.slotLength < d.dataLength) Fail(d, "slot shorter than its data");

    std::uint32_t next = 0;
    for (std::size_t i = 0; i < d.fields.size(); ++i) {
        const FieldSpec& f = d.fields[i];
        if (f.id != static_cast<int>(i)) Fail(d, std::string("field ") + f.name + " is out of order");
        if (f.offset != next) Fail(d, std::string("field ") + f.name + " does not follow its neighbour");
        const std::uint32_t natural = NaturalWidth(f.kind);
        if (f.width == 0 || (natural != 0 && f.width != natural))
            Fail(d, std::string("field ") + f.name + " has a wrong width");
        if (f.kind == FieldKind::Bytes && f.role != FieldRole::BufferOnly)
            Fail(d, std::string("reserved bytes ") + f.name + " cannot have a member");
        next = f.offset + f.width;
    }
    if (next != d.dataLength) Fail(d, "fields do not fill the data length");

    if (d.keyFields.empty() || d.keyFields.size() > 2) Fail(d, "one or two key fields required");
    d.keyIndexes.clear();
    for (const auto& k : d.keyFields) d.keyIndexes.push_back(RequireKind(d, k, FieldKind::Text, "key"));
    d.deleteSpaceIndexes.clear();
    for (const auto& k : d.deleteSpaceFields)
        d.deleteSpaceIndexes.push_back(RequireKind(d, k, FieldKind::Text, "DELETE"));
    d.addNewKeyIndex = RequireKind(d, d.addNewKeyField, FieldKind::Text, "AddNew key");
    if (d.fields[static_cast<std::size_t>(d.addNewKeyIndex)].role != FieldRole::Property)
        Fail(d, "the AddNew key must be a property");
    d.deletedIndex = RequireKind(d, "Deleted", FieldKind::Flag, "Deleted");

    d.lockedIndex = d.IndexOf("RecordLocked");
    if (d.lockedIndex >= 0) {
        d.lockedIndex = RequireKind(d, "RecordLocked", FieldKind::Flag, "lock");
        d.lockedByIndex = RequireKind(d, "RecordLockedBy", FieldKind::Text, "lock");
        d.lockedOnIndex = RequireKind(d, "RecordLockedOn", FieldKind::Text, "lock");
        d.lockedAtIndex = RequireKind(d, "RecordLockedAt", FieldKind::Date, "lock");
        for (int i : {d.lockedIndex, d.lockedByIndex, d.lockedOnIndex, d.lockedAtIndex, d.deletedIndex})
            if (d.fields[static_cast<std::size_t>(i)].role != FieldRole::BufferOnly)
                Fail(d, "Deleted and the lock fields live in the buffer only");
    }

    d.blankRecord.assign(d.dataLength, 0);
    for (const FieldSpec& f : d.fields)
        if (f.kind == FieldKind::Text) std::fill_n(d.blankRecord.begin() + f.offset, f.width, ' ');
    d.tombstone.assign(d.dataLength, 0);
    for (int i : d.deleteSpaceIndexes) {
        const FieldSpec& f = d.fields[static_cast<std::size_t>(i)];
        std::fill_n(d.tombstone.begin() + f.offset, f.width, ' ');
    }
    const FieldSpec& deleted = d.fields[static_cast<std::size_t>(d.deletedIndex)];
    d.tombstone[deleted.offset] = 0xFF;
    d.tombstone[deleted.offset + 1] = 0xFF;
    return d;
}

}  // namespace corvane
