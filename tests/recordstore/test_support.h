#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/core/clock.h"
#include "platform/core/event_loop.h"
#include "platform/core/ole_date.h"
#include "platform/core/program_globals.h"
#include "support/temp_folder.h"

namespace corvane::testing {

// One record's data typed field by field at the offsets of the format.
class RawRecord {
public:
    explicit RawRecord(std::size_t dataLength) : bytes_(dataLength, '\0') {}

    RawRecord& Text(std::size_t offset, std::size_t width, std::string_view cp1252) {
        std::string field(cp1252.substr(0, width));
        field.resize(width, ' ');
        bytes_.replace(offset, width, field);
        return *this;
    }
    RawRecord& Fill(std::size_t offset, std::size_t width, char c) {
        bytes_.replace(offset, width, std::string(width, c));
        return *this;
    }
    RawRecord& Int16(std::size_t offset, std::int16_t v) {
        const auto u = static_cast<std::uint16_t>(v);
        bytes_[offset] = static_cast<char>(u & 0xFF);
        bytes_[offset + 1] = static_cast<char>(u >> 8);
        return *this;
    }
    RawRecord& Int32(std::size_t offset, std::int32_t v) {
        auto u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i, u >>= 8) bytes_[offset + i] = static_cast<char>(u & 0xFF);
        return *this;
    }
    RawRecord& Double(std::size_t offset, double d) {
        std::memcpy(&bytes_[offset], &d, 8);
        return *this;
    }
    // The record in a slot of the given length (tail zero-filled).
    std::string Slot(std::size_t slotLength) const {
        std::string s = bytes_;
        s.resize(slotLength, '\0');
        return s;
    }
    const std::string& Data() const { return bytes_; }

private:
    std::string bytes_;
};

// The records one per slot, each zero-filled to the slot length: a file's bytes.
inline std::string Slots(std::size_t slot, std::initializer_list<RawRecord> records) {
    std::string bytes;
    for (const auto& r : records) bytes += r.Slot(slot);
    return bytes;
}

// A fresh data folder per test, with the program-wide values pointing at it. A test that
// fixes the computer name or the clock gets the machine's back at TearDown.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/corvane-recordstore-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        gDataPath = folder_;
        gUserFile.clear();
    }
    void TearDown() override {
        gDataPath.clear();
        gUserFile.clear();
        SetYieldHook(nullptr);
        clock::SetNowSource(nullptr);
        ::unsetenv("CORVANE_COMPUTER_NAME");
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    // This computer's name, as the tables write it into locks and logs.
    static void UseComputerName(const char* name) { ::setenv("CORVANE_COMPUTER_NAME", name, 1); }
    // A clock that always reads the given local time.
    static void UseClock(OleDate now) {
        const auto when = ToSystemTime(now);
        clock::SetNowSource([when] { return *when; });
    }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    std::string UsersPath() const { return Path("users.sec"); }
    // A file outside Corvane's own folders, where a person may save or print.
    std::string OutsidePath(const std::string& name) const { return outside_ / name; }

    // The file of the given records, one per slot.
    void WriteSlots(const std::string& name, std::size_t slot, std::initializer_list<RawRecord> records) const {
        WriteFile(Path(name), Slots(slot, records));
    }
    // The data part of record n of the file.
    std::string SlotData(const std::string& name, std::size_t slot, std::size_t data, int n) const {
        return ReadFile(Path(name)).substr((n - 1) * slot, data);
    }

public:
    static void WriteFile(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

protected:
    std::string folder_;
    test_support::TempFolder outside_;
};

// A table "t.sec" of fixed slots beside its journal, for the tests of the journal.
class JournalTableTest : public DataFolderTest {
protected:
    JournalTableTest(std::size_t slot, std::size_t data) : slot_(slot), data_(data) {}

    std::string Table() const { return Path("t.sec"); }
    std::string Journal() const { return Table() + "-journal"; }
    // Anything at the journal's name, a link included.
    bool JournalStands() const { return std::filesystem::exists(std::filesystem::symlink_status(Journal())); }
    // A table of n slots whose data parts hold 'a', 'b', ...
    void LetteredSlots(int n) const {
        std::string bytes;
        for (int i = 0; i < n; ++i)
            bytes += std::string(data_, static_cast<char>('a' + i)) + std::string(slot_ - data_, '\0');
        WriteFile(Table(), bytes);
    }
    // The data part of record n as it stands on the disk.
    std::string OnDisk(int n) const { return SlotData("t.sec", slot_, data_, n); }

private:
    std::size_t slot_;
    std::size_t data_;
};

// users.sec records: offsets as the format gives them.
constexpr std::size_t kUserSlot = 4176;
constexpr std::size_t kUserData = 2160;

inline RawRecord UserRecord(std::string_view login, std::string_view name = "") {
    RawRecord r(kUserData);
    r.Text(0, 50, name).Text(50, 20, login);
    return r;
}

// users.sec holding the records, one per slot.
inline void WriteUsers(const std::string& path, std::initializer_list<RawRecord> records) {
    DataFolderTest::WriteFile(path, Slots(kUserSlot, records));
}

inline std::int16_t Int16At(const std::string& bytes, std::size_t offset) {
    return static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[offset]) |
                                     (static_cast<std::uint8_t>(bytes[offset + 1]) << 8));
}

}  // namespace corvane::testing
