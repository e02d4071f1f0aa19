// The numbers the viewers sort by: each must order exactly as the texts they
// stand for compare, and the ordering by them must keep ties in row order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "admin/logs/viewers/folded_text_ranks.h"
#include "admin/logs/viewers/log_sort_keys.h"
#include "admin/logs/viewers/parallel_pieces.h"
#include "platform/core/text.h"
#include "ui_core/date_text.h"

using namespace corvane;

namespace {

int Sign(long long v) { return (v > 0) - (v < 0); }

OleDate At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return *FromParts({y, mo, d, h, mi, s}); }

TEST(StampTextKey, OrdersAsTheStampTextsCompare) {
    // Months and days around their digit boundaries, midnight beside the
    // first second, the ends of the range, and dates that give no text.
    std::vector<OleDate> stamps = {
        At(2026, 1, 1),  At(2026, 1, 1, 0, 0, 1), At(2026, 1, 2),  At(2026, 1, 3),       At(2026, 1, 9),
        At(2026, 1, 10), At(2026, 1, 19),         At(2026, 1, 20), At(2026, 1, 29),      At(2026, 1, 30),
        At(2026, 1, 31), At(2026, 2, 1),          At(2026, 9, 30), At(2026, 10, 1),      At(2026, 11, 9),
        At(2026, 12, 31, 23, 59, 59), At(2026, 3, 3, 9, 59, 59),   At(2026, 3, 3, 10, 0, 0),
        At(2025, 12, 31), At(2027, 1, 1), At(999, 12, 31), At(1000, 1, 1), At(100, 1, 1), At(9999, 12, 31, 23, 59, 59),
        0.0, -0.5, -1.25, 1.0 / 86400 / 1000 * 0.4, 1.0 - 1.0 / 86400 / 1000 * 0.4, kMinOleDate, kMaxOleDate,
        std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e10, -1e10,
    };
    std::mt19937 random(7);
    std::uniform_real_distribution<double> anyDate(kMinOleDate, kMaxOleDate);
    for (int i = 0; i < 200; ++i) stamps.push_back(anyDate(random));
    for (const OleDate a : stamps)
        for (const OleDate b : stamps) {
            const std::string ta = ui::LogStampText(a), tb = ui::LogStampText(b);
            const long long byKey = static_cast<long long>(log_sort::StampTextKey(a)) -
                                    static_cast<long long>(log_sort::StampTextKey(b));
            ASSERT_EQ(Sign(byKey), Sign(ta.compare(tb))) << "\"" << ta << "\" vs \"" << tb << "\"";
            ASSERT_LT(log_sort::StampTextKey(a), std::uint64_t{1} << log_sort::kStampKeyBits);
        }
}

// What the viewers did before keys: a stable sort comparing the keys themselves.
std::vector<std::int32_t> ReferenceOrder(const std::vector<std::uint64_t>& keys, bool ascending) {
    std::vector<std::int32_t> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
        return ascending ? keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)]
                         : keys[static_cast<std::size_t>(a)] > keys[static_cast<std::size_t>(b)];
    });
    return order;
}

TEST(StableOrder, OrdersByKeyAndKeepsTiesInRowOrderBothWays) {
    std::mt19937_64 random(11);
    auto keys = [&](std::size_t n, std::uint64_t below) {
        std::vector<std::uint64_t> k(n);
        for (auto& v : k) v = random() % below;
        return k;
    };
    struct Case {
        const char* what;
        std::vector<std::uint64_t> keys;
    };
    const Case cases[] = {
        {"none", {}},
        {"one", {42}},
        {"all equal", std::vector<std::uint64_t>(1000, 5)},
        {"ranks with many ties", keys(5000, 40)},
        {"ranks as many as rows", keys(5000, 5000)},
        {"a few large keys", {std::uint64_t{1} << 63, 0, ~std::uint64_t{0}, 1, std::uint64_t{1} << 63, 7}},
        {"wide keys with ties", keys(5000, std::uint64_t{1} << 42)},
        {"wide keys, few distinct", [&] {
             std::vector<std::uint64_t> k = keys(5000, 3);
             for (auto& v : k) v = (v + 1) << 40;
             return k;
         }()},
    };
    for (const Case& c : cases)
        for (const bool ascending : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (ascending ? " ascending" : " descending"));
            const BulkVector<std::int32_t> order =
                log_sort::StableOrder(BulkVector<std::uint64_t>(c.keys.begin(), c.keys.end()), ascending);
            EXPECT_EQ(std::vector<std::int32_t>(order.begin(), order.end()), ReferenceOrder(c.keys, ascending));
        }
}

// Texts that differ in letter case (ASCII and the accented capitals, but not
// the multiplication sign), in length only, in bytes above 0x7F and NUL, and
// empty ones; many repeated.
std::vector<std::string> VariedTexts() {
    const std::vector<std::string> stems = {
        "", "a", "A", "ab", "aB", "Ab", "abc", "abd", "b", "B", "z", "Z", "[", "_", "`", "@",
        "\xC9mile", "\xE9mile", "Emile", "emile", "\xD7", "\xF7", "\xDE", "\xFE", "\xDF", "\xFF",
        std::string("a\0b", 3), std::string("a\0", 2), "a b", "a  b",
        "https://x.example/Page", "HTTPS://X.EXAMPLE/page",
        "0123456789abcdefXYZ", "0123456789ABCDEFxyz", "0123456789abcdefxy", "\x80\x81\x8A\x9A\x9F",
        // The edges of the capitals inside whole eight-byte words.
        "@AZ[`az{@AZ[`az{", "@az[`AZ{@az[`AZ{", "?@[\\]^_`{|}~\x7F\x01 !09:",
    };
    std::vector<std::string> texts;
    std::mt19937 random(3);
    for (int i = 0; i < 3000; ++i) {
        std::string t = stems[random() % stems.size()];
        if (random() % 3 == 0) t += stems[random() % stems.size()];
        if (random() % 5 == 0) t += std::to_string(random() % 50);
        texts.push_back(t);
    }
    return texts;
}

TEST(FoldedRanks, OrderAsTheFoldedComparisonWhateverThePieces) {
    const std::vector<std::string> texts = VariedTexts();
    for (const std::size_t pieces : {1u, 2u, 3u, 8u}) {
        SCOPED_TRACE(pieces);
        const BulkVector<std::uint64_t> ranks =
            log_sort::FoldedRanks(texts.size(), [&](std::size_t i) { return std::string_view(texts[i]); }, pieces);
        ASSERT_EQ(ranks.size(), texts.size());
        for (std::size_t a = 0; a < texts.size(); a += 7)
            for (std::size_t b = 0; b < texts.size(); ++b)
                ASSERT_EQ(Sign(static_cast<long long>(ranks[a]) - static_cast<long long>(ranks[b])),
                          log_sort::CompareFolded(texts[a], texts[b]))
                    << a << " " << b;
    }
    EXPECT_TRUE(log_sort::FoldedRanks(0, [](std::size_t) { return std::string_view(); }).empty());
}

// The capitals of Windows-1252 outside the Latin-1 block fold as the
// catalogue windows fold them, beside the usual ones.
TEST(CompareFolded, FoldsEveryCapitalOfTheCodePage) {
    const struct {
        const char* name;
        unsigned char capital, small;
    } pairs[] = {
        {"S caron", 0x8A, 0x9A}, {"OE", 0x8C, 0x9C}, {"Z caron", 0x8E, 0x9E}, {"Y diaeresis", 0x9F, 0xFF},
        {"A", 'A', 'a'},         {"E acute", 0xC9, 0xE9}, {"thorn", 0xDE, 0xFE},
    };
    for (const auto& p : pairs) {
        SCOPED_TRACE(p.name);
        const std::string capital(1, static_cast<char>(p.capital)), small(1, static_cast<char>(p.small));
        EXPECT_EQ(log_sort::CompareFolded(capital, small), 0);
        // Equal letters leave the order to what follows them, both ways round.
        const std::vector<std::string> texts = {capital + "b", small + "a", small + "c", capital + "a"};
        const BulkVector<std::uint64_t> ranks =
            log_sort::FoldedRanks(texts.size(), [&](std::size_t i) { return std::string_view(texts[i]); }, 1);
        EXPECT_EQ(ranks[1], ranks[3]);
        EXPECT_LT(ranks[1], ranks[0]);
        EXPECT_LT(ranks[0], ranks[2]);
    }
    // Every pair of bytes compares as the program's other text comparisons do.
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            const std::string x(1, static_cast<char>(a)), y(1, static_cast<char>(b));
            ASSERT_EQ(log_sort::CompareFolded(x, y), Sign(text::CompareBytes(x, y))) << a << " " << b;
        }
}

TEST(RunPieces, RunsEveryPieceOnceAndRaisesTheFirstPiecesError) {
    for (const std::size_t pieces : {1u, 2u, 5u}) {
        std::vector<int> runs(pieces, 0);
        RunPieces(pieces, [&](std::size_t k) { ++runs[k]; });
        EXPECT_EQ(runs, std::vector<int>(pieces, 1));
    }
    try {
        RunPieces(4, [](std::size_t k) {
            if (k >= 2) throw std::runtime_error("piece " + std::to_string(k));
        });
        FAIL() << "nothing raised";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "piece 2");
    }
    // The pieces cover the items once, in order, whatever the count.
    for (const std::size_t n : {0u, 1u, 7u, 100u})
        for (const std::size_t pieces : {1u, 3u, 8u}) {
            EXPECT_EQ(PieceStart(n, pieces, 0), 0u);
            EXPECT_EQ(PieceStart(n, pieces, pieces), n);
            for (std::size_t k = 0; k < pieces; ++k) EXPECT_LE(PieceStart(n, pieces, k), PieceStart(n, pieces, k + 1));
        }
    EXPECT_EQ(PieceCount(10, 100), 1u);
    EXPECT_GE(PieceCount(100000, 10), 1u);
    EXPECT_LE(PieceCount(100000, 10), 16u);
}

}  // namespace
