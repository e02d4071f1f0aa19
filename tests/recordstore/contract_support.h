#pragma once

// What the table contract suites share: a data folder with a fixed computer name and clock,
// and files of hand-typed slots.

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/ole_date.h"
#include "platform/program_globals.h"
#include "recordstore/record_engine.h"
#include "recordstore/test_support.h"

namespace corvane::testing {

// Field positions typed from a table's format: {offset, width}.
using Span = std::pair<std::size_t, std::size_t>;

inline constexpr const char* kContractComputer = "WORKSTATION-7";

class ContractTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ::setenv("CORVANE_COMPUTER_NAME", kContractComputer, 1);
        // 2024-05-06 07:08:09 local time.
        const auto when = ToSystemTime(*FromParts({2024, 5, 6, 7, 8, 9, 0}));
        clock::SetNowSource([when] { return *when; });
    }
    void TearDown() override {
        ::unsetenv("CORVANE_COMPUTER_NAME");
        clock::SetNowSource(nullptr);
        DataFolderTest::TearDown();
    }

    // The file of the given slots, each record zero-filled to the slot length.
    void WriteSlots(const std::string& name, std::size_t slot, std::initializer_list<RawRecord> records) {
        std::string bytes;
        for (const auto& r : records) bytes += r.Slot(slot);
        WriteFile(Path(name), bytes);
    }
    // The data part of record n.
    std::string SlotData(const std::string& name, std::size_t slot, std::size_t data, int n) {
        return ReadFile(Path(name)).substr((n - 1) * slot, data);
    }
    std::uintmax_t FileLength(const std::string& name) { return std::filesystem::file_size(Path(name)); }
};

// A deleted record as DELETE must write it: zeros, spaces in the given fields, Deleted -1.
inline std::string Tombstone(std::size_t data, const std::vector<Span>& spaces, std::size_t deleted) {
    RawRecord r(data);
    for (const auto& [offset, width] : spaces) r.Fill(offset, width, ' ');
    r.Int16(deleted, -1);
    return r.Data();
}

// The text a table's SaveMembers failure carries, as its engine words it.
inline std::string SaveMembersText(const RecordDescription& description) {
    RecordEngine engine(description);
    return engine.Wrap(ops::kSaveMembers, OverflowError("Corvane")).Description();
}

template <typename Call>
void ExpectRaised(const char* what, std::int32_t number, const std::string& source, Call&& call) {
    try {
        call();
        ADD_FAILURE() << what << ": nothing raised";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), number) << what;
        EXPECT_EQ(e.Source(), source) << what;
    }
}

}  // namespace corvane::testing
