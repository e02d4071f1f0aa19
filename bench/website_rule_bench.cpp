// One website decision against a 10,000-entry catalogue and a user's 1,000 assigned websites,
// beside one sequential read of the three files it reads (users.sec, websites.sec,
// userwebsites.sec; target: within 3x), and the same decision answered from the cached rule.
// A navigation check (the address as the engine reports it) from the kept copy should stay
// within 2x of the cached decision, and with whole-second file times (nothing kept) within 3x
// of the sequential read.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "browser/rule/cached_website_rule.h"
#include "browser/rule/website_rule.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"

namespace corvane {
namespace {

constexpr int kUsers = 1000, kWebsites = 10000, kLinks = 1000;
const char* const kLogin = "ann";
// The worst case: the last catalogue entry, admitted by the user's last assigned address.
const std::string kURL = "http://site" + std::to_string(kWebsites) + ".example.com/page";

std::string Site(int n) { return "http://site" + std::to_string(n) + ".example.com"; }

// The data folder of these benchmarks, filled once; the other benchmarks keep theirs.
class WebsiteFolder {
public:
    // With wholeSeconds the files' times have no nanoseconds, so nothing is kept.
    explicit WebsiteFolder(bool wholeSeconds = false) : in_(Folder(wholeSeconds)), previousRequire_(gRequireLogin) {
        gRequireLogin = true;
    }
    ~WebsiteFolder() { gRequireLogin = previousRequire_; }
    static std::vector<std::string> Files() {
        return {gDataPath + "/users.sec", gDataPath + "/websites.sec", gDataPath + "/userwebsites.sec"};
    }

private:
    static const std::string& Folder(bool wholeSeconds) {
        static const std::string folder = Fill(bench::RootFolder() + "/website-rule");
        static const std::string coarse = CopyWithWholeSeconds(folder, bench::RootFolder() + "/website-rule-coarse");
        return wholeSeconds ? coarse : folder;
    }
    static std::string Fill(const std::string& folder) {
        std::filesystem::create_directories(folder);
        {
            const bench::InDataFolder in(folder);
            User u;
            for (int n = 1; n <= kUsers; ++n) {
                u.Clear();
                u.SetLogin(n == kUsers ? std::string(kLogin) : "user" + std::to_string(n));
                u.SetEnforceWebsites(kFlagTrue);
                u.SetEnforceUserAccessOnWebsites(kFlagTrue);
                u.SetAccessLevel(1);
                u.AddNew();
            }
            Website w;
            for (int n = 1; n <= kWebsites; ++n) {
                w.Clear();
                w.SetURL(Site(n) + "/page");
                w.SetAccessLevel(2);
                w.AddNew();
            }
            // The user's addresses interleaved with another user's.
            UserWebsite l;
            for (int n = kWebsites - kLinks + 1; n <= kWebsites; ++n) {
                for (const char* login : {"user1", kLogin}) {
                    l.Clear();
                    l.SetUserLogin(login);
                    l.SetURL(Site(n) + "/");
                    l.AddNew();
                }
            }
        }
        // Settled, nanosecond times: what the cache needs to keep its copy.
        SetTimes(folder, 123456789);
        return folder;
    }
    static std::string CopyWithWholeSeconds(const std::string& from, const std::string& to) {
        std::filesystem::create_directories(to);
        for (const char* name : {"/users.sec", "/websites.sec", "/userwebsites.sec"})
            std::filesystem::copy_file(from + name, to + name, std::filesystem::copy_options::overwrite_existing);
        SetTimes(to, 0);
        return to;
    }
    static void SetTimes(const std::string& folder, long nanoseconds) {
        timespec times[2];
        times[0].tv_sec = times[1].tv_sec = std::time(nullptr) - 60;
        times[0].tv_nsec = times[1].tv_nsec = nanoseconds;
        for (const char* name : {"/users.sec", "/websites.sec", "/userwebsites.sec"})
            ::utimensat(AT_FDCWD, (folder + name).c_str(), times, 0);
    }

    bench::InDataFolder in_;
    bool previousRequire_;
};

void SetFileBytes(benchmark::State& state) { bench::SetBytesOfFiles(state, WebsiteFolder::Files()); }

void WebsiteRule_SequentialRead(benchmark::State& state) {
    WebsiteFolder folder;
    bench::SequentialReadAll(state, WebsiteFolder::Files());
}

template <typename Rule>
void Decide(benchmark::State& state, Rule& rule) {
    WebsiteFolder folder;
    if (!bench::RequireBytes(state, WebsiteFolder::Files())) return;
    bool allowed = false;
    const bench::CountIo io;
    for (auto _ : state) benchmark::DoNotOptimize(allowed = rule.IsWebsiteAllowable(kLogin, kURL));
    io.Report(state);
    if (!allowed) state.SkipWithError("the decision should allow");
    SetFileBytes(state);
}

void WebsiteRule_Decision(benchmark::State& state) {
    WebsiteRule rule;
    Decide(state, rule);
}

void WebsiteRule_CachedDecision(benchmark::State& state) {
    CachedWebsiteRule rule;
    Decide(state, rule);
    if (!rule.LastAnswerCached() || rule.Reads() != 1) state.SkipWithError("the cache was not used");
}

// The address as the engine reports a page of the last catalogue entry.
void Navigate(benchmark::State& state, bool wholeSeconds) {
    WebsiteFolder folder(wholeSeconds);
    CachedWebsiteRule rule;
    bool allowed = false;
    for (auto _ : state) benchmark::DoNotOptimize(allowed = rule.IsNavigationAllowable(kLogin, kURL + "/"));
    if (!allowed) state.SkipWithError("the navigation should be allowed");
    if (rule.LastAnswerCached() == wholeSeconds) state.SkipWithError("the copy was kept or not kept against the plan");
    SetFileBytes(state);
}

void WebsiteRule_Navigation(benchmark::State& state) { Navigate(state, false); }
void WebsiteRule_NavigationUncached(benchmark::State& state) { Navigate(state, true); }

BENCHMARK(WebsiteRule_SequentialRead)->Unit(benchmark::kMillisecond);
BENCHMARK(WebsiteRule_Decision)->Unit(benchmark::kMillisecond);
BENCHMARK(WebsiteRule_CachedDecision)->Unit(benchmark::kMicrosecond);
BENCHMARK(WebsiteRule_Navigation)->Unit(benchmark::kMicrosecond);
BENCHMARK(WebsiteRule_NavigationUncached)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane
