#pragma once

// What the table contract suites share: a data folder with a fixed computer name and clock,
// and files of hand-typed slots.

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/core/ole_date.h"
#include "platform/core/program_globals.h"
#include "recordstore/record_engine.h"
#include "recordstore/record_file.h"
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

// Whether some request for the append lock (exclusive) waits on the file with this inode.
inline bool AppendLockAwaited(ino_t inode) {
    std::ifstream locks("/proc/locks");
    const std::string mark = ":" + std::to_string(inode) + " ";
    for (std::string line; std::getline(locks, line);)
        if (line.find("->") != std::string::npos && line.find("OFDLCK") != std::string::npos &&
            line.find("WRITE") != std::string::npos && line.find(mark) != std::string::npos)
            return true;
    return false;
}

// Runs call on a thread of its own while this thread reads the file at path (holding the append
// lock shared, as a scan does); once the call waits to write, runs meanwhile (another
// workstation's clear, say), then lets the call go on. The error the call raised, if any. The
// call must come to write.
inline std::optional<RaisedError> WhileWaitingForTheAppendLock(const std::string& path,
                                                               const std::function<void()>& call,
                                                               const std::function<void()>& meanwhile) {
    struct stat st{};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    std::optional<RaisedError> raised;
    std::atomic<bool> done{false};
    std::thread caller;
    {
        RecordFile reader(1, 1);
        reader.Open(path);
        reader.BeginScan();
        caller = std::thread([&] {
            try {
                call();
            } catch (const RaisedError& e) {
                raised = e;
            }
            done = true;
        });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done && !AppendLockAwaited(st.st_ino) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_FALSE(done) << "the call never waited to write";
        meanwhile();
        reader.EndScan();
    }  // the call finishes
    caller.join();
    return raised;
}

}  // namespace corvane::testing
