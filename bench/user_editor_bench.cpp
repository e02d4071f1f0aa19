// The user editor over 1,000 websites, 1,000 programs and 20,000 links of each
// kind: opening it (the four lists and the account) and one Add, each beside
// one sequential read of the four catalogue and link files (target: within 3x).
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <filesystem>
#include <string>
#include <vector>

#include "admin/users/editor/user_editor_model.h"
#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/program_globals.h"
#include "recordstore/user.h"

namespace corvane {
namespace {

constexpr int kEntries = 1000, kLinks = 20000, kUsers = kLinks / kEntries;
const char* const kLogin = "user0";

std::string Url(int n) { return "https://site" + std::to_string(n) + ".example/"; }
std::string ProgramPath(int n) { return "/opt/programs/tool" + std::to_string(n) + "/bin/tool" + std::to_string(n); }

// The data folder of these benchmarks, filled once: every user has a link to
// every entry, except that the edited user lacks every other one, so half of
// each catalogue stays on the Defined side.
class EditorFolder {
public:
    EditorFolder() : in_(Folder()) {}
    static std::vector<std::string> Files() {
        return {gDataPath + "/websites.sec", gDataPath + "/programs.sec", gDataPath + "/userwebsites.sec",
                gDataPath + "/userprograms.sec"};
    }

private:
    static const std::string& Folder() {
        static const std::string folder = Fill(bench::RootFolder() + "/editor");
        return folder;
    }
    static std::string Fill(const std::string& folder) {
        std::filesystem::create_directories(folder);
        {
            const bench::InDataFolder in(folder);
            User user;
            for (int u = 0; u < kUsers; ++u) {
                user.Clear();
                user.SetLogin("user" + std::to_string(u));
                user.SetAccessLevel(1);
                user.AddNew();
            }
            Website website;
            Program program;
            for (int n = 1; n <= kEntries; ++n) {
                website.Clear();
                website.SetURL(Url(n));
                website.AddNew();
                program.Clear();
                program.SetProgramPathName(ProgramPath(n));
                program.AddNew();
            }
            UserWebsite site;
            UserProgram tool;
            for (int n = 1; n <= kEntries; ++n)
                for (int u = 0; u < kUsers; ++u) {
                    const std::string login = "user" + std::to_string(u == 0 && n % 2 == 0 ? kUsers : u);
                    site.Clear();
                    site.SetUserLogin(login);
                    site.SetURL(Url(n));
                    site.AddNew();
                    tool.Clear();
                    tool.SetUserLogin(login);
                    tool.SetProgram(ProgramPath(n));
                    tool.AddNew();
                }
        }
        return folder;
    }

    bench::InDataFolder in_;
};

void Editor_SequentialRead(benchmark::State& state) {
    EditorFolder folder;
    bench::SequentialReadAll(state, EditorFolder::Files());
}

void Editor_Open(benchmark::State& state) {
    EditorFolder folder;
    if (!bench::RequireBytes(state, EditorFolder::Files())) return;
    std::int32_t shown = 0;
    const bench::CountIo io;
    for (auto _ : state) {
        UserEditorModel editor;
        editor.UserLogin = kLogin;
        editor.LoadData();
        shown = editor.definedWebsites.Count() + editor.selectedWebsites.Count() + editor.definedPrograms.Count() +
                editor.selectedPrograms.Count();
        benchmark::DoNotOptimize(shown);
    }
    io.Report(state);
    if (shown != 2 * kEntries) state.SkipWithError("the lists do not hold every catalogue entry");
    bench::SetBytesOfFiles(state, EditorFolder::Files());
}

// One Add of a Defined website; the link it writes is taken away again
// outside the timing, so every round starts from the same lists.
void Editor_AddWebsite(benchmark::State& state) {
    EditorFolder folder;
    UserEditorModel editor;
    editor.UserLogin = kLogin;
    editor.LoadData();
    for (auto _ : state) {
        editor.definedWebsites.SetSelection({true}, 0);
        editor.AddWebsites();
        state.PauseTiming();
        if (editor.selectedWebsites.Count() != kEntries / 2 + 1) {
            state.SkipWithError("the Add wrote no link");
            break;
        }
        std::vector<bool> last(static_cast<std::size_t>(editor.selectedWebsites.Count()));
        const auto& rows = editor.selectedWebsites.Rows();
        int added = 0;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].text == Url(2)) added = static_cast<int>(i);
        last[static_cast<std::size_t>(added)] = true;
        editor.selectedWebsites.SetSelection(last, added);
        editor.RemoveWebsites();
        state.ResumeTiming();
    }
    bench::SetBytesOfFiles(state, EditorFolder::Files());
}

// The save at OK rewrites each of the user's 500 program links under the login it had.
void Editor_SavePrograms(benchmark::State& state) {
    EditorFolder folder;
    UserEditorModel editor;
    editor.UserLogin = kLogin;
    editor.LoadData();
    editor.login = kLogin;
    const bench::CountIo io;
    for (auto _ : state) editor.SavePrograms();
    io.Report(state);
    bench::SetBytesOfFiles(state, EditorFolder::Files());
}

// OK after renaming the account: the account, then its 500 website and 500 program links
// saved under the new login, then every other link of the old login moved. Each iteration
// renames and renames back: two saves.
void Editor_SaveRenamed(benchmark::State& state) {
    EditorFolder folder;
    UserEditorModel editor;
    editor.UserLogin = kLogin;
    editor.LoadData();
    const bench::CountIo io;
    for (auto _ : state) {
        for (const char* login : {"user0renamed", kLogin}) {
            editor.login = login;
            if (editor.SaveData() != UserEditorModel::SaveResult::Saved) {
                state.SkipWithError("the save failed");
                return;
            }
        }
    }
    io.Report(state, 2.0);
}

BENCHMARK(Editor_SequentialRead)->Unit(benchmark::kMillisecond);
BENCHMARK(Editor_Open)->Unit(benchmark::kMillisecond);
BENCHMARK(Editor_AddWebsite)->Unit(benchmark::kMillisecond);
BENCHMARK(Editor_SavePrograms)->Unit(benchmark::kMillisecond);
BENCHMARK(Editor_SaveRenamed)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane
