#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/program_globals.h"

namespace corvane::bench {

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
