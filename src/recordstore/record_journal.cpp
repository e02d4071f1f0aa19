#include "recordstore/record_journal.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cstring>

namespace corvane {
namespace {

constexpr char kMagic[8] = {'C', 'V', 'J', 'O', 'U', 'R', 'N', '2'};
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

// The journal of earlier builds: one slot, no table name.
DecodedJournal DecodeOneSlot(const std::vector<std::uint8_t>& bytes, std::uint32_t slotLength,
                             std::uint32_t dataLength) {
    DecodedJournal out;
    if (bytes.size() != kHeader + dataLength || GetLe(bytes.data() + 16, 4) != slotLength ||
        GetLe(bytes.data() + 20, 4) != dataLength || GetLe(bytes.data() + 24, 4) != Checksum(bytes))
        return out;
    JournalSlot slot;
    slot.offset = static_cast<std::int64_t>(GetLe(bytes.data() + 8, 8));
    slot.old.assign(bytes.begin() + kHeader, bytes.end());
    out.slots.push_back(std::move(slot));
    out.applies = true;
    return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeJournal(const std::string& tableName, std::uint32_t slotLength,
                                        std::uint32_t dataLength, const std::vector<JournalSlot>& slots) {
    const std::string name = tableName.substr(0, kMaxName);
    std::vector<std::uint8_t> bytes(kHeader + name.size() + slots.size() * (8 + dataLength));
    std::memcpy(bytes.data(), kMagic, sizeof kMagic);
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

DecodedJournal DecodeJournal(const std::vector<std::uint8_t>& bytes, const std::string& tableName,
                             std::uint32_t slotLength, std::uint32_t dataLength) {
    DecodedJournal out;
    if (bytes.size() < kHeader) return out;
    if (std::memcmp(bytes.data(), kOneSlotMagic, sizeof kOneSlotMagic) == 0)
        return DecodeOneSlot(bytes, slotLength, dataLength);
    if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return out;
    const std::uint64_t count = GetLe(bytes.data() + 16, 4);
    const std::uint64_t nameLength = GetLe(bytes.data() + 20, 4);
    if (GetLe(bytes.data() + 8, 4) != slotLength || GetLe(bytes.data() + 12, 4) != dataLength ||
        nameLength > kMaxName || bytes.size() != kHeader + nameLength + count * (8 + dataLength) ||
        GetLe(bytes.data() + 24, 4) != Checksum(bytes))
        return out;
    // A journal of another table (a copy of a folder, a file put here) was never this one's.
    if (std::string(reinterpret_cast<const char*>(bytes.data()) + kHeader, nameLength) !=
        tableName.substr(0, kMaxName))
        return out;
    const std::uint8_t* p = bytes.data() + kHeader + nameLength;
    for (std::uint64_t i = 0; i < count; ++i, p += 8 + dataLength) {
        JournalSlot slot;
        slot.offset = static_cast<std::int64_t>(GetLe(p, 8));
        slot.old.assign(p + 8, p + 8 + dataLength);
        out.slots.push_back(std::move(slot));
    }
    out.applies = true;
    return out;
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

bool JournalOwnerMayWrite(const struct stat& journal, const struct stat& table, bool groupSharedFolder) {
    if (journal.st_uid == table.st_uid) return true;
    constexpr mode_t kModeBits = 07777;
    return groupSharedFolder && (table.st_mode & S_IWGRP) != 0 && journal.st_gid == table.st_gid &&
           (journal.st_mode & kModeBits & ~(table.st_mode & kModeBits)) == 0 &&
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
