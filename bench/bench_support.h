#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/core/program_globals.h"

namespace corvane::bench {

// The data folder every benchmark's files lie under (set once by main).
inline std::string& RootFolder() {
    static std::string folder;
    return folder;
}

// The system calls made so far through the C library (io_counts.cpp counts them): locks
// taken and given back (fcntl record locks), every fcntl, reads (read, pread) and the bytes
// they brought, writes (pwrite), stats (stat, fstat), opens and flushes (fdatasync, fsync).
struct IoCounts {
    std::int64_t locks = 0, unlocks = 0, fcntls = 0, reads = 0, readBytes = 0, writes = 0, stats = 0, opens = 0,
                 flushes = 0;
    static IoCounts Now();
};

// While on, fdatasync and fsync return at once without flushing (still counted): the same
// run without the flushes' cost. Off by default.
void SkipFlushes(bool skip);

// Counts the calls from its creation to Report, which sets them per iteration (or per
// operation, with operations done in each iteration) as the benchmark's counters:
// lock_calls (locks taken), unlock_calls, flush_calls, read_calls, syscalls (every call
// counted) and read_MB.
class CountIo {
public:
    CountIo() : start_(IoCounts::Now()) {}
    void Report(benchmark::State& state, double perIteration = 1.0) const {
        const IoCounts now = IoCounts::Now();
        const double n = (state.iterations() > 0 ? static_cast<double>(state.iterations()) : 1.0) * perIteration;
        state.counters["flush_calls"] = static_cast<double>(now.flushes - start_.flushes) / n;
        state.counters["lock_calls"] = static_cast<double>(now.locks - start_.locks) / n;
        state.counters["unlock_calls"] = static_cast<double>(now.unlocks - start_.unlocks) / n;
        state.counters["read_calls"] = static_cast<double>(now.reads - start_.reads) / n;
        state.counters["syscalls"] =
            static_cast<double>((now.fcntls - start_.fcntls) + (now.reads - start_.reads) +
                                (now.writes - start_.writes) + (now.stats - start_.stats) +
                                (now.opens - start_.opens)) / n;
        state.counters["read_MB"] = static_cast<double>(now.readBytes - start_.readBytes) / n / 1e6;
    }

private:
    IoCounts start_;
};

// Refuses to time a scan of a file that holds nothing: it would measure an empty read.
inline bool RequireBytes(benchmark::State& state, const std::vector<std::string>& files) {
    for (const auto& f : files) {
        std::error_code error;
        if (std::filesystem::file_size(f, error) == 0 || error) {
            state.SkipWithError(("no bytes to scan in " + f).c_str());
            return false;
        }
    }
    return true;
}

// Points the program at a data folder for a scope, and back where it was after.
class InDataFolder {
public:
    explicit InDataFolder(std::string folder) : previous_(std::exchange(gDataPath, std::move(folder))) {}
    ~InDataFolder() { gDataPath = std::move(previous_); }
    InDataFolder(const InDataFolder&) = delete;
    InDataFolder& operator=(const InDataFolder&) = delete;

private:
    std::string previous_;
};

// The yardstick of every scan: one sequential buffered read of the whole file.
inline void SequentialRead(benchmark::State& state, const std::string& path) {
    std::vector<char> chunk(64 * 1024);
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::size_t total = 0, got;
        while ((got = std::fread(chunk.data(), 1, chunk.size(), f)) > 0) total += got;
        std::fclose(f);
        benchmark::DoNotOptimize(total);
        state.SetBytesProcessed(state.bytes_processed() + static_cast<std::int64_t>(total));
    }
}

// The bytes of the files, once per iteration, as the state's throughput.
inline void SetBytesOfFiles(benchmark::State& state, const std::vector<std::string>& files) {
    std::int64_t bytes = 0;
    for (const auto& f : files) bytes += static_cast<std::int64_t>(std::filesystem::file_size(f));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
}

// One sequential buffered read of each file in turn: the yardstick of a
// decision or a build that reads several files.
inline void SequentialReadAll(benchmark::State& state, const std::vector<std::string>& files) {
    std::vector<char> chunk(64 * 1024);
    for (auto _ : state) {
        std::size_t total = 0, got;
        for (const auto& path : files) {
            std::FILE* f = std::fopen(path.c_str(), "rb");
            while ((got = std::fread(chunk.data(), 1, chunk.size(), f)) > 0) total += got;
            std::fclose(f);
        }
        benchmark::DoNotOptimize(total);
    }
    SetBytesOfFiles(state, files);
}

}  // namespace corvane::bench
