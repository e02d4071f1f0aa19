// One check of a stored password hash at the cost new hashes are made at
// (target: about 50 ms), and at the neighbouring costs the choice was made
// between: N = 2^logN and block size r, p = 1.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/crypto/password_hash.h"

namespace corvane {
namespace {

void Verify(benchmark::State& state, const PasswordHashCost& cost) {
    const std::string stored = MakePasswordHash("correct horse", cost);
    for (auto _ : state) benchmark::DoNotOptimize(VerifyPasswordHash("correct horse", stored));
    state.counters["memory_MiB"] = 128.0 * cost.r * static_cast<double>(1u << cost.logN) / (1 << 20);
}

void PasswordHash_Verify(benchmark::State& state) { Verify(state, kPasswordHashCost); }

void PasswordHash_VerifyAtCost(benchmark::State& state) {
    Verify(state, {static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 1});
}

BENCHMARK(PasswordHash_Verify)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PasswordHash_VerifyAtCost)
    ->ArgNames({"logN", "r"})
    ->Args({13, 8})
    ->Args({14, 8})
    ->Args({14, 10})
    ->Args({14, 12})
    ->Args({15, 8})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace corvane
