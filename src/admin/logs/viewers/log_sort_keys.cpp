#include "admin/logs/viewers/log_sort_keys.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

namespace corvane::log_sort {
namespace {

// Where 1..31 stand among their decimal texts ("1" < "10" < "19" < "2" < "20"):
// a month or day is followed by "/", which sorts before every digit.
const std::array<std::uint8_t, 32>& NumberTextRank() {
    static const auto rank = [] {
        std::array<int, 31> numbers{};
        std::iota(numbers.begin(), numbers.end(), 1);
        std::sort(numbers.begin(), numbers.end(),
                  [](int a, int b) { return std::to_string(a) < std::to_string(b); });
        std::array<std::uint8_t, 32> r{};
        for (std::size_t i = 0; i < numbers.size(); ++i)
            r[static_cast<std::size_t>(numbers[i])] = static_cast<std::uint8_t>(i);
        return r;
    }();
    return rank;
}

// Keys no larger than the number of rows, such as ranks, take one counting pass.
BulkVector<std::int32_t> CountingOrder(const BulkVector<std::uint64_t>& keys, std::uint64_t top, bool ascending) {
    std::vector<std::uint32_t> next(top + 1, 0);  // where the next row of each key goes
    for (const std::uint64_t k : keys) ++next[k];
    std::uint32_t at = 0;
    for (std::uint64_t k = 0; k <= top; ++k) at += std::exchange(next[ascending ? k : top - k], at);
    BulkVector<std::int32_t> order(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) order[next[keys[i]]++] = static_cast<std::int32_t>(i);
    return order;
}

// A least-significant-digit radix sort: each pass is stable, so equal keys
// keep the rows' order; descending sorts the complemented keys.
BulkVector<std::int32_t> RadixOrder(BulkVector<std::uint64_t> keys, bool ascending) {
    constexpr int kBits = 11;
    constexpr int kDigits = (64 + kBits - 1) / kBits;
    constexpr std::uint64_t kMask = (1u << kBits) - 1;
    const std::size_t n = keys.size();
    if (!ascending)
        for (std::uint64_t& k : keys) k = ~k;
    std::vector<std::array<std::uint32_t, kMask + 1>> counts(kDigits);
    for (const std::uint64_t k : keys)
        for (int d = 0; d < kDigits; ++d) ++counts[static_cast<std::size_t>(d)][(k >> (d * kBits)) & kMask];

    struct Item {
        std::uint64_t key;
        std::int32_t row;
    };
    BulkVector<Item> items(n), spare(n);
    for (std::size_t i = 0; i < n; ++i) items[i] = {keys[i], static_cast<std::int32_t>(i)};
    for (int d = 0; d < kDigits && n > 0; ++d) {
        auto& count = counts[static_cast<std::size_t>(d)];
        const int shift = d * kBits;
        if (count[(items[0].key >> shift) & kMask] == n) continue;  // every key has this digit
        std::uint32_t next = 0;
        for (std::uint32_t& c : count) next += std::exchange(c, next);
        for (const Item& item : items) spare[count[(item.key >> shift) & kMask]++] = item;
        items.swap(spare);
    }
    BulkVector<std::int32_t> order(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = items[i].row;
    return order;
}

}  // namespace

std::uint64_t StampTextKey(OleDate d) {
    const auto p = ToParts(d);
    if (!p) return 0;
    const auto& rank = NumberTextRank();
    // Years 100 to 9999 print as four digits and so compare as numbers. The
    // time, fixed width, follows only when it is not midnight; a text that
    // ends there sorts before the longer ones.
    const std::uint64_t monthDay =
        std::uint64_t{rank[static_cast<std::size_t>(p->month)]} * 31 + rank[static_cast<std::size_t>(p->day)];
    const std::uint64_t date = monthDay * 10000 + static_cast<std::uint64_t>(p->year);
    const auto seconds = static_cast<std::uint64_t>(p->hour * 3600 + p->minute * 60 + p->second);
    return 1 + date * 86400 + seconds;
}

BulkVector<std::int32_t> StableOrder(const BulkVector<std::uint64_t>& keys, bool ascending) {
    const std::uint64_t top = keys.empty() ? 0 : *std::max_element(keys.begin(), keys.end());
    if (top <= keys.size() + 4096) return CountingOrder(keys, top, ascending);
    return RadixOrder(keys, ascending);
}

}  // namespace corvane::log_sort
