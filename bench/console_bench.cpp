// The secure console's list for a user with 1,000 assigned programs against a
// 10,000-entry program catalogue, beside one sequential read of programs.sec
// and userprograms.sec (target: well under a quarter of a second).
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "logs/current_user.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"
#include "session/console/console_model.h"

namespace corvane {
namespace {

constexpr int kPrograms = 10000, kAssigned = 1000;
const char* const kLogin = "ann";

std::string ProgramPath(int n) { return "/opt/programs/tool" + std::to_string(n) + "/bin/tool" + std::to_string(n); }

// The data folder of these benchmarks, filled once; the other benchmarks keep theirs.
class ConsoleFolder {
public:
    ConsoleFolder() : in_(Folder()), previousUser_(gAuthenticatedUser) { gAuthenticatedUser = kLogin; }
    ~ConsoleFolder() { gAuthenticatedUser = previousUser_; }
    static std::vector<std::string> Files() { return {gDataPath + "/programs.sec", gDataPath + "/userprograms.sec"}; }

private:
    static const std::string& Folder() {
        static const std::string folder = Fill(gDataPath + "/console");
        return folder;
    }
    static std::string Fill(const std::string& folder) {
        std::filesystem::create_directories(folder);
        {
            const bench::InDataFolder in(folder);
            User user;
            user.SetLogin(kLogin);
            user.SetAccessLevel(1);
            user.SetAddProgramsToSecureConsoleAfterLogin(-1);
            user.AddNew();
            Program program;
            for (int n = 1; n <= kPrograms; ++n) {
                program.Clear();
                program.SetProgramPathName(ProgramPath(n));
                program.SetDescription("Tool number " + std::to_string(n));
                program.SetAccessLevel(1);
                program.AddNew();
            }
            // The user's programs, the catalogue's last thousand, interleaved with another user's.
            UserProgram link;
            for (int n = kPrograms - kAssigned + 1; n <= kPrograms; ++n)
                for (const char* login : {"bob", kLogin}) {
                    link.Clear();
                    link.SetUserLogin(login);
                    link.SetProgram(ProgramPath(n));
                    link.SetActive(-1);
                    link.AddNew();
                }
        }
        return folder;
    }

    bench::InDataFolder in_;
    std::string previousUser_;
};

void SetFileBytes(benchmark::State& state) { bench::SetBytesOfFiles(state, ConsoleFolder::Files()); }

void Console_SequentialRead(benchmark::State& state) {
    ConsoleFolder folder;
    bench::SequentialReadAll(state, ConsoleFolder::Files());
}

void Console_ListBuild(benchmark::State& state) {
    ConsoleFolder folder;
    std::size_t count = 0;
    for (auto _ : state) {
        const auto items = ConsoleModel::BuildItems(true);
        count = items.size();
        benchmark::DoNotOptimize(count);
    }
    // The user's thousand programs, then Log Off, Change Password before them.
    if (count != kAssigned + 2) state.SkipWithError("the list does not hold the user's programs");
    SetFileBytes(state);
}

BENCHMARK(Console_SequentialRead)->Unit(benchmark::kMillisecond);
BENCHMARK(Console_ListBuild)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane
