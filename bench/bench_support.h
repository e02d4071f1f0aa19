#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace corvane::bench {

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

}  // namespace corvane::bench
