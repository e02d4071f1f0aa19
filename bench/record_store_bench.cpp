// Record-store scans against one sequential buffered read of the same bytes, and appends.
//   build/bench/corvane_bench
// Each scan should stay within 3x of the sequential read of its file; AddNew should sustain
// more than 20,000 records a second on a local disk.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/core/program_globals.h"
#include "recordstore/keyed_table.h"
#include "recordstore/user.h"

namespace corvane {
namespace {

using bench::SequentialRead;

std::string gFolder;

std::string UsersPath() { return gFolder + "/users.sec"; }
std::string ShortPath() { return gFolder + "/short.sec"; }

// A short record shaped like a user-log entry: 364-byte slot, 194 bytes of data.
class ShortRecord : public KeyedTable {
public:
    enum Field : int { kUserLogin, kUserName, kAppName, kComputer, kLoginStamp, kLogoutStamp, kFailed,
                       kActive, kInvalid, kDeleted };
    ShortRecord() : KeyedTable(Table()) {}
    static const RecordDescription& Table() {
        using K = FieldKind;
        static const RecordDescription d = RecordDescription::Build({
            .className = "ShortRecord",
            .tableName = "ShortRecord",
            .defaultFileName = "short.sec",
            .slotLength = 364,
            .dataLength = 194,
            .fields = {{kUserLogin, "UserLogin", K::Text, 0, 20},  {kUserName, "UserName", K::Text, 20, 50},
                       {kAppName, "AppName", K::Text, 70, 50},      {kComputer, "Computer", K::Text, 120, 50},
                       {kLoginStamp, "LoginStamp", K::Date, 170, 8}, {kLogoutStamp, "LogoutStamp", K::Date, 178, 8},
                       {kFailed, "Failed", K::Flag, 186, 2},         {kActive, "Active", K::Flag, 188, 2},
                       {kInvalid, "Invalid", K::Flag, 190, 2},
                       {kDeleted, "Deleted", K::Flag, 192, 2, FieldRole::BufferOnly}},
            .keyFields = {"UserLogin"},
            .identityName = "LogID",
            .deleteSpaceFields = {"UserLogin", "UserName", "AppName", "Computer"},
            .addNewKeyField = "UserLogin",
        });
        return d;
    }
    void SetUserLogin(std::string v) { SetTextField(kUserLogin, std::move(v)); }
    void SetUserName(std::string v) { SetTextField(kUserName, std::move(v)); }
};

// Writes count records straight to the file: a login and a name at the table's offsets.
void Generate(const std::string& path, std::size_t slot, std::size_t count, std::size_t nameOffset,
              std::size_t loginOffset) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string record(slot, '\0');
    for (std::size_t n = 1; n <= count; ++n) {
        std::string login = "user" + std::to_string(n);
        login.resize(20, ' ');
        std::string name = "Name of user " + std::to_string(n);
        name.resize(50, ' ');
        record.replace(loginOffset, 20, login);
        record.replace(nameOffset, 50, name);
        out.write(record.data(), static_cast<std::streamsize>(record.size()));
    }
}

// Each scan runs in the folder main filled, whatever folder another benchmark used before.
template <typename Table, typename Body>
void Scan(benchmark::State& state, const std::string& path, Body body) {
    const bench::InDataFolder in(gFolder);
    if (!bench::RequireBytes(state, {path})) return;
    Table table;
    const bench::CountIo io;
    for (auto _ : state) body(table);
    io.Report(state);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

template <typename Table>
void ExistsMiss(benchmark::State& state, const std::string& path) {
    Scan<Table>(state, path, [](Table& table) { benchmark::DoNotOptimize(table.Exists("no such login")); });
}

template <typename Table>
void RecordCount(benchmark::State& state, const std::string& path) {
    Scan<Table>(state, path, [](Table& table) { benchmark::DoNotOptimize(table.RecordCount()); });
}

// One operation per step, as the lists walked a table: not held to the scan target.
template <typename Table>
void StepWalk(benchmark::State& state, const std::string& path) {
    Scan<Table>(state, path, [](Table& table) {
        table.MoveFirst(true);
        while (!table.IsEOF()) table.MoveNext(true);
    });
}

// The whole-table read the windows and rules use: one pass, one lock, one field decoded.
template <typename Table>
void ScanValid(benchmark::State& state, const std::string& path, int keyField) {
    Scan<Table>(state, path, [keyField](Table& table) {
        std::size_t keys = 0;
        table.ScanValid([&](const SlotView& record) {
            keys += record.Raw(keyField).size();
            return true;
        });
        benchmark::DoNotOptimize(keys);
    });
}

template <typename Table, typename SetKey>
void AddNew(benchmark::State& state, const std::string& path, SetKey setKey) {
    std::filesystem::remove(path);
    Table table;
    std::int64_t n = 0;
    for (auto _ : state) {
        setKey(table, "new" + std::to_string(++n));
        table.AddNew();
    }
    state.SetItemsProcessed(n);
    table.Disconnect();
    std::filesystem::remove(path);
}

void Users_SequentialRead(benchmark::State& s) { SequentialRead(s, UsersPath()); }
void Users_ExistsMiss(benchmark::State& s) { ExistsMiss<User>(s, UsersPath()); }
void Users_RecordCount(benchmark::State& s) { RecordCount<User>(s, UsersPath()); }
void Users_StepWalk(benchmark::State& s) { StepWalk<User>(s, UsersPath()); }
void Users_ScanValid(benchmark::State& s) { ScanValid<User>(s, UsersPath(), User::kLogin); }
void Short_SequentialRead(benchmark::State& s) { SequentialRead(s, ShortPath()); }
void Short_ExistsMiss(benchmark::State& s) { ExistsMiss<ShortRecord>(s, ShortPath()); }
void Short_RecordCount(benchmark::State& s) { RecordCount<ShortRecord>(s, ShortPath()); }
void Short_ScanValid(benchmark::State& s) { ScanValid<ShortRecord>(s, ShortPath(), ShortRecord::kUserLogin); }
void Users_AddNew(benchmark::State& s) {
    const bench::InDataFolder in(gFolder);
    AddNew<User>(s, gFolder + "/users-append.sec", [](User& u, std::string k) { u.SetLogin(std::move(k)); });
}
void Short_AddNew(benchmark::State& s) {
    const bench::InDataFolder in(gFolder);
    AddNew<ShortRecord>(s, gFolder + "/short-append.sec",
                        [](ShortRecord& r, std::string k) { r.SetUserLogin(std::move(k)); });
}

BENCHMARK(Users_SequentialRead)->Unit(benchmark::kMillisecond);
BENCHMARK(Users_ExistsMiss)->Unit(benchmark::kMillisecond);
BENCHMARK(Users_RecordCount)->Unit(benchmark::kMillisecond);
BENCHMARK(Users_StepWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(Users_ScanValid)->Unit(benchmark::kMillisecond);
BENCHMARK(Short_SequentialRead)->Unit(benchmark::kMillisecond);
BENCHMARK(Short_ExistsMiss)->Unit(benchmark::kMillisecond);
BENCHMARK(Short_RecordCount)->Unit(benchmark::kMillisecond);
BENCHMARK(Short_ScanValid)->Unit(benchmark::kMillisecond);
BENCHMARK(Users_AddNew)->Iterations(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Short_AddNew)->Iterations(50000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
    using namespace corvane;
    const char* base = std::getenv("CORVANE_BENCH_DIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/corvane-bench-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    gFolder = pattern;
    bench::RootFolder() = gFolder;
    gDataPath = gFolder;
    // users.sec: login at 50, name at 0; the short table: login at 0, name at 20.
    Generate(UsersPath(), 4176, 10000, 0, 50);
    Generate(ShortPath(), 364, 200000, 20, 0);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(gFolder);
    return 0;
}
