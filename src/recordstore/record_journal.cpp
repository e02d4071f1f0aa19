#include "recordstore/record_journal.h"

#include <endian.h>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace corvane {
namespace {

constexpr char kMagic[8] = {'C', 'V', 'J', 'O', 'U', 'R', 'N', '3'};
constexpr char kOneTableMagic[8] = {'C', 'V', 'J', 'O', 'U', 'R', 'N', '2'};
constexpr char kOneSlotMagic[8] = {'C', 'V', 'J', 'O', 'U', 'R', 'N', '1'};
constexpr std::size_t kHeader = 32;
constexpr std::size_t kMaxName = 255;

void PutLe(std::uint8_t* p, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint64_t GetLe(const std::uint8_t* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return v;
}

// FNV-1a: tells a journal cut short or never finished from a whole one. It proves nothing
// about who wrote it; the owner rule does that.
std::uint32_t Fnv1a(const std::uint8_t* from, std::size_t count) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < count; ++i) h = (h ^ from[i]) * 16777619u;
    return h;
}

std::uint32_t Checksum(const std::vector<std::uint8_t>& bytes) {
    return Fnv1a(bytes.data() + 8, 16) ^ Fnv1a(bytes.data() + kHeader, bytes.size() - kHeader);
}

// FNV-1a (64-bit) over little-endian 8-byte words, the last one padded with zeros, folded to
// 32 bits: the check of today's journal, eight times fewer steps than byte by byte.
std::uint32_t FoldedWords(const std::uint8_t* from, std::size_t count) {
    std::uint64_t h = 14695981039346656037ull;
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, from + i, 8);
        h = (h ^ le64toh(w)) * 1099511628211ull;
    }
    if (i < count) {
        std::uint8_t last[8] = {};
        std::memcpy(last, from + i, count - i);
        std::uint64_t w;
        std::memcpy(&w, last, 8);
        h = (h ^ le64toh(w)) * 1099511628211ull;
    }
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::uint32_t WordChecksum(const std::vector<std::uint8_t>& bytes) {
    return FoldedWords(bytes.data() + 8, 16) ^ FoldedWords(bytes.data() + kHeader, bytes.size() - kHeader);
}

// The journal of the build before: one table, named but without its identity.
DecodedJournal DecodeOneTable(const std::vector<std::uint8_t>& bytes, const std::string& tableName,
                              std::uint32_t slotLength, std::uint32_t dataLength) {
    DecodedJournal out;
    const std::uint64_t count = GetLe(bytes.data() + 16, 4);
    const std::uint64_t nameLength = GetLe(bytes.data() + 20, 4);
    if (GetLe(bytes.data() + 8, 4) != slotLength || GetLe(bytes.data() + 12, 4) != dataLength ||
        nameLength > kMaxName || bytes.size() != kHeader + nameLength + count * (8 + dataLength) ||
        GetLe(bytes.data() + 24, 4) != Checksum(bytes))
        return out;
    JournalTable table;
    table.name.assign(reinterpret_cast<const char*>(bytes.data()) + kHeader, nameLength);
    // A journal of another table (a copy of a folder, a file put here) was never this one's.
    if (table.name != tableName.substr(0, kMaxName)) return out;
    table.slotLength = slotLength;
    table.dataLength = dataLength;
    const std::uint8_t* p = bytes.data() + kHeader + nameLength;
    for (std::uint64_t i = 0; i < count; ++i, p += 8 + dataLength) {
        JournalSlot slot;
        slot.offset = static_cast<std::int64_t>(GetLe(p, 8));
        slot.old.assign(p + 8, p + 8 + dataLength);
        table.slots.push_back(std::move(slot));
    }
    out.tables.push_back(std::move(table));
    out.kind = DecodedJournal::Kind::OneTable;
    return out;
}

// Reads forward through a journal of today, refusing anything past its end.
struct Cursor {
    const std::vector<std::uint8_t>& bytes;
    std::size_t at;
    bool ok = true;
    std::uint64_t Take(int width) {
        if (!ok || bytes.size() - at < static_cast<std::size_t>(width)) {
            ok = false;
            return 0;
        }
        const std::uint64_t v = GetLe(bytes.data() + at, width);
        at += static_cast<std::size_t>(width);
        return v;
    }
    const std::uint8_t* Span(std::size_t count) {
        if (!ok || bytes.size() - at < count) {
            ok = false;
            return nullptr;
        }
        const std::uint8_t* p = bytes.data() + at;
        at += count;
        return p;
    }
};

DecodedJournal DecodeChange(const std::vector<std::uint8_t>& bytes) {
    DecodedJournal out;
    if (GetLe(bytes.data() + 24, 4) != WordChecksum(bytes)) return out;
    const std::uint64_t tables = GetLe(bytes.data() + 8, 4);
    Cursor c{bytes, kHeader};
    for (std::uint64_t t = 0; t < tables && c.ok; ++t) {
        JournalTable table;
        const std::uint64_t nameLength = c.Take(4);
        if (nameLength > kMaxName) return out;
        if (const std::uint8_t* name = c.Span(nameLength)) table.name.assign(reinterpret_cast<const char*>(name), nameLength);
        table.slotLength = static_cast<std::uint32_t>(c.Take(4));
        table.dataLength = static_cast<std::uint32_t>(c.Take(4));
        table.device = c.Take(8);
        table.inode = c.Take(8);
        table.length = static_cast<std::int64_t>(c.Take(8));
        const std::uint64_t count = c.Take(4);
        if (!c.ok || table.dataLength == 0 || table.slotLength < table.dataLength ||
            count > (bytes.size() - c.at) / (8 + table.dataLength))
            return out;
        for (std::uint64_t i = 0; i < count; ++i) {
            JournalSlot slot;
            slot.offset = static_cast<std::int64_t>(c.Take(8));
            if (const std::uint8_t* old = c.Span(table.dataLength)) slot.old.assign(old, old + table.dataLength);
            table.slots.push_back(std::move(slot));
        }
        out.tables.push_back(std::move(table));
    }
    if (!c.ok || c.at != bytes.size() || out.tables.empty()) {
        out.tables.clear();
        return out;
    }
    out.kind = DecodedJournal::Kind::Change;
    return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeJournal(const std::string& tableName, std::uint32_t slotLength,
                                        std::uint32_t dataLength, const std::vector<JournalSlot>& slots) {
    const std::string name = tableName.substr(0, kMaxName);
    std::vector<std::uint8_t> bytes(kHeader + name.size() + slots.size() * (8 + dataLength));
    std::memcpy(bytes.data(), kOneTableMagic, sizeof kOneTableMagic);
    PutLe(bytes.data() + 8, slotLength, 4);
    PutLe(bytes.data() + 12, dataLength, 4);
    PutLe(bytes.data() + 16, slots.size(), 4);
    PutLe(bytes.data() + 20, name.size(), 4);
    std::memcpy(bytes.data() + kHeader, name.data(), name.size());
    std::uint8_t* p = bytes.data() + kHeader + name.size();
    for (const JournalSlot& slot : slots) {
        PutLe(p, static_cast<std::uint64_t>(slot.offset), 8);
        std::memcpy(p + 8, slot.old.data(), dataLength);
        p += 8 + dataLength;
    }
    PutLe(bytes.data() + 24, Checksum(bytes), 4);
    return bytes;
}

JournalWriter::JournalWriter(std::uint64_t changeId, std::size_t bytes) : bytes_(kHeader) {
    bytes_.reserve(std::max(bytes, kHeader));
    std::memcpy(bytes_.data(), kMagic, sizeof kMagic);
    PutLe(bytes_.data() + 16, changeId, 8);
}

void JournalWriter::Put(std::uint64_t v, int width) {
    const std::size_t at = bytes_.size();
    bytes_.resize(at + static_cast<std::size_t>(width));
    PutLe(bytes_.data() + at, v, width);
}

void JournalWriter::Table(const JournalTable& head, std::size_t slots) {
    const std::string name = head.name.substr(0, kMaxName);
    Put(name.size(), 4);
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    Put(head.slotLength, 4);
    Put(head.dataLength, 4);
    Put(head.device, 8);
    Put(head.inode, 8);
    Put(static_cast<std::uint64_t>(head.length), 8);
    Put(slots, 4);
    dataLength_ = head.dataLength;
    ++tables_;
}

void JournalWriter::Slot(std::int64_t offset, const std::uint8_t* old) {
    Put(static_cast<std::uint64_t>(offset), 8);
    bytes_.insert(bytes_.end(), old, old + dataLength_);
}

std::vector<std::uint8_t> JournalWriter::Finish() {
    PutLe(bytes_.data() + 8, tables_, 4);
    PutLe(bytes_.data() + 24, WordChecksum(bytes_), 4);
    return std::move(bytes_);
}

std::vector<std::uint8_t> EncodeChangeJournal(std::uint64_t changeId, const std::vector<JournalTable>& tables) {
    JournalWriter writer(changeId);
    for (const JournalTable& table : tables) {
        writer.Table(table, table.slots.size());
        for (const JournalSlot& slot : table.slots) writer.Slot(slot.offset, slot.old.data());
    }
    return writer.Finish();
}

DecodedJournal DecodeJournal(const std::vector<std::uint8_t>& bytes, const std::string& tableName,
                             std::uint32_t slotLength, std::uint32_t dataLength) {
    DecodedJournal out;
    if (bytes.size() < kHeader) return out;
    if (std::memcmp(bytes.data(), kOneSlotMagic, sizeof kOneSlotMagic) == 0) {
        out.kind = DecodedJournal::Kind::OneSlot;
        return out;
    }
    if (std::memcmp(bytes.data(), kOneTableMagic, sizeof kOneTableMagic) == 0)
        return DecodeOneTable(bytes, tableName, slotLength, dataLength);
    if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0) return DecodeChange(bytes);
    return out;
}

bool DecodedJournal::Names(const std::string& name, const struct stat& table) const {
    for (const JournalTable& t : tables) {
        if (t.name != name.substr(0, kMaxName)) continue;
        if (kind == Kind::OneTable) return true;
        return t.device == static_cast<std::uint64_t>(table.st_dev) && t.inode == static_cast<std::uint64_t>(table.st_ino);
    }
    return false;
}

namespace {

// Whether the account is one of the group's: its primary group, or listed in the group.
bool AccountInGroup(uid_t uid, gid_t gid) {
    passwd pw{};
    passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &pw, buffer, sizeof buffer, &found) != 0 || !found) return false;
    if (pw.pw_gid == gid) return true;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(pw.pw_name, pw.pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (::getgrouplist(pw.pw_name, pw.pw_gid, groups.data(), &count) < 0) return false;
    }
    for (int i = 0; i < count; ++i)
        if (groups[static_cast<std::size_t>(i)] == gid) return true;
    return false;
}

}  // namespace

bool JournalWritersWithinTable(const struct stat& journal, const struct stat& table, bool groupSharedFolder) {
    if (!S_ISREG(journal.st_mode) || journal.st_nlink != 1) return false;
    const mode_t bits = journal.st_mode & 07777;
    if ((bits & (S_ISUID | S_ISGID | S_ISVTX | S_IWOTH)) != 0) return false;
    const bool groupWritableTable = (table.st_mode & S_IWGRP) != 0;
    if ((bits & S_IWGRP) != 0 && !(groupWritableTable && journal.st_gid == table.st_gid)) return false;
    if ((bits & ~(table.st_mode & 07777)) != 0) return false;
    if (journal.st_uid == table.st_uid) return true;
    return groupSharedFolder && groupWritableTable && journal.st_gid == table.st_gid &&
           AccountInGroup(journal.st_uid, table.st_gid);
}

std::string AccountName(uid_t uid) {
    passwd pw{};
    passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &pw, buffer, sizeof buffer, &found) == 0 && found && found->pw_name)
        return found->pw_name;
    return "account " + std::to_string(uid);
}

}  // namespace corvane
