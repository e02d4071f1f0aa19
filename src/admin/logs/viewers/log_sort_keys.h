#pragma once

#include <cstdint>

#include "platform/core/bulk_allocator.h"
#include "platform/core/ole_date.h"

// The log viewers sort a column by its cell texts through a number per row
// that orders as the cell's text does.
namespace corvane::log_sort {

// A key that orders dates as their log stamp texts ("12/9/2026 08:00:00",
// ui::LogStampText) compare as text: month and day digit by digit, so October
// sorts before February, a midnight stamp (no time shown) before the other
// times of its day, and a date out of range (no text) lowest of all. Below
// 2^kStampKeyBits.
std::uint64_t StampTextKey(OleDate d);
inline constexpr int kStampKeyBits = 40;

// The rows 0..n-1 ordered by key, ascending or descending; rows with equal keys
// keep their order.
BulkVector<std::int32_t> StableOrder(const BulkVector<std::uint64_t>& keys, bool ascending);

}  // namespace corvane::log_sort
