// The website-log viewer over a 1,000,000-record websiteslog.sec (804 MB):
// loading the list, a header click on each column and exporting every row,
// each beside its yardstick (one sequential read of the file, one buffered
// write of the exported bytes). Qt runs offscreen.
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

#include "admin/logs/viewers/frm_log_viewers.h"
#include "admin/logs/viewers/log_export.h"
#include "bench_support.h"
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

std::string LogPath() { return Folder() + "/websiteslog.sec"; }

void Put(std::string& slot, const FieldSpec& f, const std::string& text) {
    slot.replace(f.offset, f.width, cp1252::ToField(text, f.width));
}

// Generated once: logins, workstations and addresses of varied length, a
// stamp a minute apart, one in seven refused.
void Generate() {
    if (std::filesystem::exists(LogPath())) return;
    const RecordDescription& d = WebsiteLog::Table();
    std::string blank(d.slotLength, '\0');
    std::memcpy(blank.data(), d.blankRecord.data(), d.dataLength);
    std::FILE* f = std::fopen(LogPath().c_str(), "wb");
    std::string chunk;
    const OleDate start = *FromParts({2026, 1, 1, 8, 0, 0});
    for (int i = 0; i < kRecords; ++i) {
        std::string slot = blank;
        Put(slot, d.fields[WebsiteLog::kUserLogin], "user" + std::to_string(i % 997));
        Put(slot, d.fields[WebsiteLog::kAppName], "Corvane Standard");
        Put(slot, d.fields[WebsiteLog::kComputer], "WS-" + std::to_string(i % 31));
        Put(slot, d.fields[WebsiteLog::kURL],
            "https://site" + std::to_string(i % 5003) + ".example.org/" + std::string(static_cast<std::size_t>(i % 40), 'p'));
        const double stamp = start + i / 1440.0;
        std::memcpy(slot.data() + d.fields[WebsiteLog::kTimeStamp].offset, &stamp, sizeof stamp);
        Put(slot, d.fields[WebsiteLog::kStatus], i % 7 == 0 ? "URL DENIED" : "URL ACCEPTED");
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

// What the first load added to the process's memory.
long gLoadGrowth = 0;

// The viewer, set up and loaded once for the sorting and export runs.
frmWebsiteLog& Viewer() {
    static std::unique_ptr<frmWebsiteLog> viewer = [] {
        App();
        const bench::InDataFolder in(Folder());
        Generate();
        auto w = std::make_unique<frmWebsiteLog>();
        const long before = ResidentBytes();
        w->Activate();
        gLoadGrowth = ResidentBytes() - before;
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

void WebsiteLogViewer_SequentialRead(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    Viewer();
    bench::SequentialRead(state, LogPath());
}

void WebsiteLogViewer_LoadData(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    frmWebsiteLog& w = Viewer();
    const bench::CountIo io;
    for (auto _ : state) w.LoadData();
    io.Report(state);
    state.counters["rows"] = w.ListCount();
    state.counters["growth_MB"] = static_cast<double>(gLoadGrowth) / 1e6;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(LogPath())) / 1e6;
}

// A viewer's first opening: a window of its own, its first load; LoadData above is the
// reload it is held to.
void WebsiteLogViewer_FirstOpening(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    Viewer();
    for (auto _ : state) {
        auto w = std::make_unique<frmWebsiteLog>();
        w->Activate();
        benchmark::DoNotOptimize(w->ListCount());
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}

// The rows alone, without the window.
void WebsiteLogViewer_LoadRows(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    Viewer();
    for (auto _ : state) benchmark::DoNotOptimize(LogRows::Load(LogRows::Kind::Website, LogPath(), 0).Count());
}

void WebsiteLogViewer_HeaderClick(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    frmWebsiteLog& w = Viewer();
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) emit w.List()->header()->sectionClicked(column);
}

void WebsiteLogViewer_Export(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    frmWebsiteLog& w = Viewer();
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
void WebsiteLogViewer_BufferedWrite(benchmark::State& state) {
    const bench::InDataFolder in(Folder());
    Viewer();
    const std::size_t bytes = 377 + static_cast<std::size_t>(kRecords) * 375;
    const std::string block(1u << 20, 'x');
    const std::string path = Folder() + "/write.txt";
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        for (std::size_t done = 0; done < bytes; done += block.size())
            std::fwrite(block.data(), 1, std::min(block.size(), bytes - done), f);
        std::fclose(f);
    }
}

BENCHMARK(WebsiteLogViewer_SequentialRead)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(WebsiteLogViewer_LoadData)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(WebsiteLogViewer_FirstOpening)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(WebsiteLogViewer_LoadRows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(WebsiteLogViewer_HeaderClick)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(WebsiteLogViewer_BufferedWrite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(WebsiteLogViewer_Export)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace corvane
