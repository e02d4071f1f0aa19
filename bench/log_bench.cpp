// The logs against one sequential read of the same bytes: counting active sessions over a
// 200,000-record user log (a scan: within 3x of the read), and appending 100,000 website-log
// records, through one table object and through the writer that opens and closes the file
// for each record.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "logs/log_writers.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "platform/settings/global_settings.h"
#include "recordstore/data_paths.h"

namespace corvane {
namespace {

constexpr std::int64_t kUserLogRecords = 200000;
constexpr std::int64_t kWebsiteLogRecords = 100000;
constexpr std::size_t kUserLogSlot = 364, kWebsiteLogSlot = 804, kWebsiteLogData = 405;

// userlog.sec of 200,000 sessions, one in ten still active; written once per run.
const std::string& UserLogFile() {
    static const std::string path = [] {
        const std::string p = GetUserLogPathName();
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        std::string record(kUserLogSlot, '\0');
        for (std::int64_t n = 1; n <= kUserLogRecords; ++n) {
            std::string login = "user" + std::to_string(n);
            login.resize(20, ' ');
            record.replace(0, 20, login);
            const char active = n % 10 == 0 ? '\xFF' : '\0';
            record[188] = record[189] = active;
            out.write(record.data(), static_cast<std::streamsize>(record.size()));
        }
        return p;
    }();
    return path;
}

// A website log of 100,000 records as the appends leave it, to read back sequentially.
const std::string& WebsiteLogFile() {
    static const std::string path = [] {
        const std::string p = GetDataPath() + "/websites-read.sec";
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        std::string record(kWebsiteLogSlot, '\0');
        std::memset(record.data(), ' ', 383);
        record.replace(0, 3, "ann");
        for (std::int64_t n = 1; n <= kWebsiteLogRecords; ++n)
            out.write(record.data(), static_cast<std::streamsize>(n < kWebsiteLogRecords ? kWebsiteLogSlot
                                                                                            : kWebsiteLogData));
        return p;
    }();
    return path;
}

void SetScanBytes(benchmark::State& state, const std::string& path) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void UserLog_SequentialRead(benchmark::State& state) {
    const bench::InDataFolder in(bench::RootFolder());
    bench::SequentialRead(state, UserLogFile());
}

void UserLog_GetActiveUserCount(benchmark::State& state) {
    const bench::InDataFolder in(bench::RootFolder());
    if (!bench::RequireBytes(state, {UserLogFile()})) return;
    UserLog log;
    std::int32_t active = 0;
    const bench::CountIo io;
    for (auto _ : state) benchmark::DoNotOptimize(active = log.GetActiveUserCount());
    io.Report(state);
    if (active != kUserLogRecords / 10) state.SkipWithError("wrong count");
    SetScanBytes(state, UserLogFile());
}

void UserLog_RecordCount(benchmark::State& state) {
    const bench::InDataFolder in(bench::RootFolder());
    if (!bench::RequireBytes(state, {UserLogFile()})) return;
    UserLog log;
    const bench::CountIo io;
    for (auto _ : state) benchmark::DoNotOptimize(log.RecordCount());
    io.Report(state);
    SetScanBytes(state, UserLogFile());
}

void WebsiteLog_SequentialRead(benchmark::State& state) {
    const bench::InDataFolder in(bench::RootFolder());
    bench::SequentialRead(state, WebsiteLogFile());
}

// Appends (one iteration per record); bytes are the records' file bytes, for the comparison.
void WebsiteLog_AddNew(benchmark::State& state) {
    const bench::InDataFolder in(bench::RootFolder());
    std::filesystem::remove(GetWebsiteLogPathName());
    WebsiteLog log;
    log.SetUserLogin("ann");
    log.SetURL("http://www.example.org/some/page.html");
    log.SetStatus("URL ACCEPTED");
    for (auto _ : state) log.AddNew();
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kWebsiteLogSlot));
    log.Disconnect();
    std::filesystem::remove(GetWebsiteLogPathName());
}

void WebsiteLog_WriteWebsiteLog(benchmark::State& state) {
    const bench::InDataFolder in(bench::RootFolder());
    std::filesystem::remove(GetWebsiteLogPathName());
    gEnableWebsiteLogging = true;
    for (auto _ : state)
        WriteWebsiteLog("ann", "Corvane Standard", "WS-01", "http://www.example.org/some/page.html", "URL ACCEPTED");
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kWebsiteLogSlot));
    std::filesystem::remove(GetWebsiteLogPathName());
}

BENCHMARK(UserLog_SequentialRead)->Unit(benchmark::kMillisecond);
BENCHMARK(UserLog_GetActiveUserCount)->Unit(benchmark::kMillisecond);
BENCHMARK(UserLog_RecordCount)->Unit(benchmark::kMillisecond);
BENCHMARK(WebsiteLog_SequentialRead)->Unit(benchmark::kMillisecond);
BENCHMARK(WebsiteLog_AddNew)->Iterations(kWebsiteLogRecords)->Unit(benchmark::kMicrosecond);
BENCHMARK(WebsiteLog_WriteWebsiteLog)->Iterations(kWebsiteLogRecords)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane
