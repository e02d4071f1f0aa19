#pragma once

#include <algorithm>
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace corvane {

// How many pieces to cut a job of n items into: one per hardware thread (at
// most 16), none smaller than minItems, so a small job stays on one thread.
inline std::size_t PieceCount(std::size_t n, std::size_t minItems) {
    const std::size_t threads = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 16);
    return std::clamp<std::size_t>(n / std::max<std::size_t>(minItems, 1), 1, threads);
}

// The first item of piece k when n items are cut into pieces nearly equal pieces.
inline std::size_t PieceStart(std::size_t n, std::size_t pieces, std::size_t k) { return n * k / pieces; }

// Runs work(k) for every piece k, piece 0 on the calling thread and each other
// on a thread of its own, and returns when all are done, raising the first
// piece's exception. Without threads to be had the pieces run here in turn.
template <typename Work>
void RunPieces(std::size_t pieces, const Work& work) {
    if (pieces == 0) return;
    std::vector<std::exception_ptr> errors(pieces);
    auto run = [&](std::size_t k) {
        try {
            work(k);
        } catch (...) {
            errors[k] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    std::size_t started = 1;
    try {
        for (; started < pieces; ++started) threads.emplace_back(run, started);
    } catch (const std::system_error&) {
    }
    run(0);
    for (std::size_t k = started; k < pieces; ++k) run(k);
    for (std::thread& t : threads) t.join();
    for (const std::exception_ptr& e : errors)
        if (e) std::rethrow_exception(e);
}

}  // namespace corvane
