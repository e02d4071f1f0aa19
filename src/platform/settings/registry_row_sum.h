#pragma once

#include <cstdint>
#include <string_view>

namespace corvane {

// The check sums every row of a hive carries over its own contents, so that
// a damaged file answers "corrupt" instead of serving another key or value.
// 64-bit FNV-1a over a tag, the numbers as 8 little-endian bytes and each
// text preceded by its length.
std::int64_t KeyRowSum(std::int64_t id, std::int64_t parent, std::string_view name, std::string_view folded);
std::int64_t EntryRowSum(std::int64_t key, std::string_view name, std::string_view folded, std::int32_t type,
                         std::string_view data);

}  // namespace corvane
