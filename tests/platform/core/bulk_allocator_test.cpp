// Arrays in bulk memory: small and large blocks alike keep what is written to
// them through growth, copies and moves.
#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>

#include "platform/core/bulk_allocator.h"

using namespace corvane;

namespace {

TEST(BulkVector, KeepsItsElementsOnEitherSideOfTheBulkSize) {
    const std::size_t perBlock = bulk::kMinBytes / sizeof(std::uint64_t);
    for (const std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{1000}, perBlock - 1, perBlock,
                                3 * perBlock + 5}) {
        SCOPED_TRACE(n);
        BulkVector<std::uint64_t> grown;
        for (std::size_t i = 0; i < n; ++i) grown.push_back(i * 3 + 1);
        BulkVector<std::uint64_t> sized(n);
        std::iota(sized.begin(), sized.end(), std::uint64_t{0});
        for (std::uint64_t& v : sized) v = v * 3 + 1;
        EXPECT_EQ(grown, sized);

        BulkVector<std::uint64_t> copy = grown;
        const BulkVector<std::uint64_t> moved = std::move(grown);
        EXPECT_EQ(copy, moved);
        copy.resize(n + perBlock, 0);  // a value given: zeros
        EXPECT_EQ(std::count(copy.begin() + static_cast<std::ptrdiff_t>(n), copy.end(), 0u),
                  static_cast<std::ptrdiff_t>(perBlock));
        EXPECT_TRUE(std::equal(moved.begin(), moved.end(), copy.begin()));

        // A generous reserve is usable to its end.
        BulkVector<char> reserved;
        reserved.reserve(n * 8 + 1);
        reserved.resize(reserved.capacity(), 'x');
        EXPECT_EQ(reserved.back(), 'x');
    }
}

}  // namespace
