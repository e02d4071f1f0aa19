#pragma once

// What the table contract suites share: a data folder with a fixed computer name and clock,
// and files of hand-typed slots.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/ole_date.h"
#include "platform/core/program_globals.h"
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
        UseComputerName(kContractComputer);
        // 2024-05-06 07:08:09 local time.
        UseClock(*FromParts({2024, 5, 6, 7, 8, 9, 0}));
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
