// The two log viewers over a 1,000,000-record log each (websiteslog.sec,
// 804 MB; userlog.sec, 364 MB): loading the list, a header click on each
// column of the website log and exporting every row, each beside its
// yardstick (one sequential read of the file, one buffered write of the
// exported bytes). A load's read_MB beside the file's file_MB shows how many
// times it reads the file. Qt runs offscreen.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QHeaderView>
#include <QTreeView>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "admin/logs/viewers/frm_log_viewers.h"
#include "admin/logs/viewers/log_export.h"
#include "bench_support.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "platform/core/cp1252.h"
#include "platform/core/ole_date.h"
#include "platform/core/program_globals.h"

namespace corvane {
namespace {

constexpr int kRecords = 1'000'000;

// Never destroyed: the exit handler that removes the folder runs after the
// statics are gone.
const std::string& Folder() {
    static const std::string& folder = *new std::string([] {
        const char* base = std::getenv("CORVANE_BENCH_DIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/corvane-logview-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::perror("mkdtemp");
        std::atexit([] { std::filesystem::remove_all(Folder()); });
        return pattern;
    }());
    return folder;
}

void Put(std::string& slot, const FieldSpec& f, const std::string& text) {
    slot.replace(f.offset, f.width, cp1252::ToField(text, f.width));
}

void PutDate(std::string& slot, const FieldSpec& f, double stamp) { std::memcpy(slot.data() + f.offset, &stamp, sizeof stamp); }

void PutFlag(std::string& slot, const FieldSpec& f, bool on) {
    const std::int16_t value = on ? -1 : 0;
    std::memcpy(slot.data() + f.offset, &value, sizeof value);
}

const OleDate& Start() {
    static const OleDate start = *FromParts({2026, 1, 1, 8, 0, 0});
    return start;
}

// A log's benchmark names, file and exported bytes (a header, then a line a row).
struct LogBenchSpec {
    const char* name;
    const char* file;
    std::size_t exportHeader, exportRow;
};

// The website log: logins, workstations and addresses of varied length, a
// stamp a minute apart, one in seven refused.
struct WebsiteLogBench {
    using Viewer = frmWebsiteLog;
    using Log = WebsiteLog;
    static constexpr LogBenchSpec kSpec{"WebsiteLogViewer", "websiteslog.sec", 377, 375};
    static void Fill(std::string& slot, const std::vector<FieldSpec>& f, int i) {
        Put(slot, f[Log::kUserLogin], "user" + std::to_string(i % 997));
        Put(slot, f[Log::kAppName], "Corvane Standard");
        Put(slot, f[Log::kComputer], "WS-" + std::to_string(i % 31));
        Put(slot, f[Log::kURL],
            "https://site" + std::to_string(i % 5003) + ".example.org/" + std::string(static_cast<std::size_t>(i % 40), 'p'));
        PutDate(slot, f[Log::kTimeStamp], Start() + i / 1440.0);
        Put(slot, f[Log::kStatus], i % 7 == 0 ? "URL DENIED" : "URL ACCEPTED");
    }
};

// The user log: sessions a minute apart, one in thirteen refused, one in ten
// still open.
struct UserLogBench {
    using Viewer = frmUserLog;
    using Log = UserLog;
    static constexpr LogBenchSpec kSpec{"UserLogViewer", "userlog.sec", 168, 166};
    static void Fill(std::string& slot, const std::vector<FieldSpec>& f, int i) {
        const bool open = i % 10 == 0;
        Put(slot, f[Log::kUserLogin], "user" + std::to_string(i % 997));
        Put(slot, f[Log::kUserName], "User Number " + std::to_string(i % 997));
        Put(slot, f[Log::kAppName], "Corvane Standard");
        Put(slot, f[Log::kComputer], "WS-" + std::to_string(i % 31));
        PutDate(slot, f[Log::kLoginStamp], Start() + i / 1440.0);
        if (!open) PutDate(slot, f[Log::kLogoutStamp], Start() + (i + 30) / 1440.0);
        PutFlag(slot, f[Log::kFailed], i % 13 == 0);
        PutFlag(slot, f[Log::kActive], open);
    }
};

template <typename Bench>
std::string PathOf() {
    return Folder() + "/" + Bench::kSpec.file;
}

template <typename Bench>
constexpr LogRows::Kind kKindOf = std::is_same_v<typename Bench::Log, UserLog> ? LogRows::Kind::User
                                                                                : LogRows::Kind::Website;

// Generated once per log.
template <typename Log>
void Generate() {
    if (std::filesystem::exists(PathOf<Log>())) return;
    const RecordDescription& d = Log::Log::Table();
    std::string blank(d.slotLength, '\0');
    std::memcpy(blank.data(), d.blankRecord.data(), d.dataLength);
    std::FILE* f = std::fopen(PathOf<Log>().c_str(), "wb");
    std::string chunk;
    for (int i = 0; i < kRecords; ++i) {
        std::string slot = blank;
        Log::Fill(slot, d.fields, i);
        chunk += slot;
        if (chunk.size() >= (8u << 20)) {
            std::fwrite(chunk.data(), 1, chunk.size(), f);
            chunk.clear();
        }
    }
    std::fwrite(chunk.data(), 1, chunk.size(), f);
    std::fclose(f);
}

QApplication& App() {
    static int argc = 1;
    static char name[] = "corvane_bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *app;
}

long ResidentBytes();

// What each viewer's first load added to the process's memory.
template <typename Log>
long gLoadGrowth = 0;

// The viewer, set up and loaded once for the sorting and export runs.
template <typename Log>
typename Log::Viewer& Viewer() {
    static std::unique_ptr<typename Log::Viewer> viewer = [] {
        App();
        const bench::InDataFolder in(Folder());
        Generate<Log>();
        auto w = std::make_unique<typename Log::Viewer>();
        const long before = ResidentBytes();
        w->Activate();
        gLoadGrowth<Log> = ResidentBytes() - before;
        return w;
    }();
    return *viewer;
}

long ResidentBytes() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * 4096;
}

template <typename Log>
void SequentialRead(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    Viewer<Log>();
    bench::SequentialRead(state, PathOf<Log>());
}

// A reload: the file read once, the active users counted in what was read.
template <typename Log>
void LoadData(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    auto& w = Viewer<Log>();
    const bench::CountIo io;
    for (auto _ : state) w.LoadData();
    io.Report(state);
    state.counters["rows"] = w.ListCount();
    state.counters["growth_MB"] = static_cast<double>(gLoadGrowth<Log>) / 1e6;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(PathOf<Log>())) / 1e6;
}

// A viewer's first opening: a window of its own, its first load; LoadData above is the
// reload it is held to.
template <typename Log>
void FirstOpening(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    Viewer<Log>();
    for (auto _ : state) {
        auto w = std::make_unique<typename Log::Viewer>();
        w->Activate();
        benchmark::DoNotOptimize(w->ListCount());
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}

// The rows alone, without the window.
template <typename Log>
void LoadRows(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    Viewer<Log>();
    for (auto _ : state) benchmark::DoNotOptimize(LogRows::Load(kKindOf<Log>, PathOf<Log>(), 0).Count());
}

void WebsiteLogViewer_HeaderClick(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    frmWebsiteLog& w = Viewer<WebsiteLogBench>();
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) emit w.List()->header()->sectionClicked(column);
}

template <typename Log>
void Export(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    auto& w = Viewer<Log>();
    std::vector<std::string> captions, tags;
    for (const QString& c : w.Model()->Captions()) captions.push_back(c.toStdString());
    for (const QString& t : w.Model()->Tags()) tags.push_back(t.toStdString());
    const std::string path = Folder() + "/export.txt";
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        WriteExportFile(f, w.Model()->Rows(), captions, tags);
        std::fclose(f);
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

// The export's yardstick: the same number of bytes in one buffered write.
template <typename Log>
void BufferedWrite(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    Viewer<Log>();
    const std::size_t bytes = Log::kSpec.exportHeader + static_cast<std::size_t>(kRecords) * Log::kSpec.exportRow;
    const std::string block(1u << 20, 'x');
    const std::string path = Folder() + "/write.txt";
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        for (std::size_t done = 0; done < bytes; done += block.size())
            std::fwrite(block.data(), 1, std::min(block.size(), bytes - done), f);
        std::fclose(f);
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

// Each viewer's runs under its own name: the read beside the load, the write beside the export.
template <typename Log>
bool Register() {
    using Run = void (*)(benchmark::State&);
    const std::pair<const char*, Run> runs[] = {
        {"_SequentialRead", SequentialRead<Log>}, {"_LoadData", LoadData<Log>}, {"_FirstOpening", FirstOpening<Log>},
        {"_LoadRows", LoadRows<Log>},           {"_BufferedWrite", BufferedWrite<Log>}, {"_Export", Export<Log>},
    };
    for (const auto& [suffix, run] : runs)
        benchmark::RegisterBenchmark((std::string(Log::kSpec.name) + suffix).c_str(), run)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    return true;
}

[[maybe_unused]] const bool gWebsiteLogRegistered = Register<WebsiteLogBench>();
BENCHMARK(WebsiteLogViewer_HeaderClick)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->Iterations(2);
[[maybe_unused]] const bool gUserLogRegistered = Register<UserLogBench>();

}  // namespace
}  // namespace corvane
