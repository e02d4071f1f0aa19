// Changes of many records through the journal: a catalogue website renamed over its
// assignments (10, 1,000 and 10,000 links: one journal, so the flushes do not grow with the links),
// and the booking of logins from 16 workstations at once, each raising an account's
// failed-login count (4 bytes written in place per login, one flush, no journal).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "accounts_folder.h"
#include "bench_support.h"
#include "catalogue/user_website.h"
#include "logs/update_users_websites.h"
#include "recordstore/user.h"

namespace corvane {
namespace {

// A folder of its own per link count: n assignments of one address, among as many of
// another.
std::string RenameFolder(int links) {
    const std::string folder = bench::RootFolder() + "/rename" + std::to_string(links);
    if (std::filesystem::exists(folder)) return folder;
    std::filesystem::create_directories(folder);
    const bench::InDataFolder in(folder);
    UserWebsite link;
    for (int i = 0; i < 2 * links; ++i) {
        link.Clear();
        link.SetUserLogin("user" + std::to_string(i / 2));
        link.SetURL(i % 2 == 0 ? "https://old.example/" : "https://other.example/");
        link.AddNew();
    }
    return folder;
}

// Each iteration renames the address and back again: two changes.
void Journal_CatalogueRename(benchmark::State& state) {
    const bench::InDataFolder in(RenameFolder(static_cast<int>(state.range(0))));
    const bench::CountIo io;
    for (auto _ : state) {
        if (!UpdateUsersWebsites("https://old.example/", "https://new.example/") ||
            !UpdateUsersWebsites("https://new.example/", "https://old.example/")) {
            state.SkipWithError("the rename changed nothing");
            break;
        }
    }
    io.Report(state, 2.0);
}

const std::string& BookingFolder() {
    static const std::string folder = bench::AccountsFolder("bookings", 16);
    return folder;
}

// One booking per iteration on each of 16 workstations (threads with handles of their
// own): the account read afresh under the lock and its count raised by one, as a refused
// login books it (BookFields, as the login does). Half the workstations book one account,
// the others one each.
void Journal_Bookings16(benchmark::State& state) {
    static bench::InDataFolder* in = nullptr;
    if (state.thread_index() == 0) in = new bench::InDataFolder(BookingFolder());
    const std::string login = "pupil" + std::to_string(state.thread_index() % 2 == 0 ? 0 : state.thread_index());
    std::unique_ptr<bench::CountIo> io;
    if (state.thread_index() == 0) io = std::make_unique<bench::CountIo>();
    User user;
    for (auto _ : state) {
        if (!user.Load(login) || !user.BookFields([](User& current) {
                current.SetFailedLogins(current.FailedLogins() + 1);
            })) {
            state.SkipWithError("the booking wrote nothing");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0) {
        io->Report(state, static_cast<double>(state.threads()));
        delete in;
        in = nullptr;
    }
}

BENCHMARK(Journal_CatalogueRename)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(Journal_Bookings16)->Threads(16)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane
