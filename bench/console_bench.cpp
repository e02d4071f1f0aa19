// The secure console's list for a user with 1,000 assigned programs against a
// 10,000-entry program catalogue, beside one sequential read of programs.sec
// and userprograms.sec and beside the floor (both files read in blocks, only the matches
// decoded); target: within twice the floor and at most four locks taken.
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "logs/current_user.h"
#include "platform/core/cp1252.h"
#include "platform/core/program_globals.h"
#include "platform/core/text.h"
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
        static const std::string folder = Fill(bench::RootFolder() + "/console");
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

// Each file's slots in 1 MiB blocks, as they lie on disk.
template <typename Each>
void ReadSlots(const std::string& path, const RecordDescription& d, Each each) {
    std::vector<std::uint8_t> block((1u << 20) / d.slotLength * d.slotLength);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), f)) > 0)
        for (std::size_t at = 0; at + d.dataLength <= got; at += d.slotLength) each(block.data() + at);
    std::fclose(f);
}

std::string_view Field(const std::uint8_t* slot, const FieldSpec& f) {
    return text::TrimSpaces({reinterpret_cast<const char*>(slot) + f.offset, f.width});
}

std::string Folded(std::string_view bytes) {
    std::string key(bytes);
    for (char& c : key) c = static_cast<char>(text::FoldByte(static_cast<unsigned char>(c)));
    return key;
}

// The floor of the list: both files read in large blocks, the user's links found by login,
// the catalogue's entries found by path and only the matches' descriptions decoded.
void Console_Floor(benchmark::State& state) {
    ConsoleFolder folder;
    const RecordDescription& links = UserProgram::Table();
    const RecordDescription& catalogue = Program::Table();
    std::size_t found = 0;
    for (auto _ : state) {
        std::unordered_map<std::string, std::string> wanted;
        ReadSlots(ConsoleFolder::Files()[1], links, [&](const std::uint8_t* slot) {
            if (text::EqualsBytes(Field(slot, links.fields[UserProgram::kUserLogin]), kLogin))
                wanted.try_emplace(Folded(Field(slot, links.fields[UserProgram::kKey])));
        });
        found = 0;
        ReadSlots(ConsoleFolder::Files()[0], catalogue, [&](const std::uint8_t* slot) {
            const auto entry = wanted.find(Folded(Field(slot, catalogue.fields[Program::kProgramPathName])));
            if (entry == wanted.end()) return;
            entry->second = cp1252::ToUtf8(Field(slot, catalogue.fields[Program::kDescription]));
            ++found;
        });
        benchmark::DoNotOptimize(found);
    }
    if (found != kAssigned) state.SkipWithError("the floor found the wrong programs");
    SetFileBytes(state);
}

void Console_ListBuild(benchmark::State& state) {
    ConsoleFolder folder;
    if (!bench::RequireBytes(state, ConsoleFolder::Files())) return;
    std::size_t count = 0;
    const bench::CountIo io;
    for (auto _ : state) {
        const auto items = ConsoleModel::BuildItems(true);
        count = items.size();
        benchmark::DoNotOptimize(count);
    }
    io.Report(state);
    // The user's thousand programs, then Log Off, Change Password before them.
    if (count != kAssigned + 2) state.SkipWithError("the list does not hold the user's programs");
    SetFileBytes(state);
}

BENCHMARK(Console_SequentialRead)->Unit(benchmark::kMillisecond);
BENCHMARK(Console_Floor)->Unit(benchmark::kMillisecond);
BENCHMARK(Console_ListBuild)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane
