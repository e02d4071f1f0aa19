#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/core/bulk_allocator.h"

// The log viewers sort a text column with letter case ignored. Comparing texts
// a million times per click is slow, so each row gets a number once that
// orders as its text does, and the rows are then ordered by number.
namespace corvane::log_sort {

// Compares as the viewers sort: byte by byte in the Windows-1252 code page with
// letter case folded as text::FoldByte folds it; a text sorts before a longer
// one that begins with it.
int CompareFolded(std::string_view a, std::string_view b);

// One key per text 0..count-1: equal for texts CompareFolded finds equal,
// ordered as it orders them. The work is shared by pieces threads, 0 for as
// many as suit; text may be called from any of them.
BulkVector<std::uint64_t> FoldedRanks(std::size_t count, const std::function<std::string_view(std::size_t)>& text,
                                      std::size_t pieces = 0);

}  // namespace corvane::log_sort
