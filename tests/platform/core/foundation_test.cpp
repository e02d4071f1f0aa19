#include <gtest/gtest.h>

#include <stdexcept>

#include <cmath>
#include <limits>

#include "platform/core/cp1252.h"
#include "platform/core/error_trap.h"
#include "platform/core/ole_date.h"
#include "platform/core/raised_error.h"
#include "platform/core/text.h"

using namespace corvane;

TEST(RaisedError, WrapsInnerNumberAndDescription) {
    const RaisedError inner(vbObjectError + 3, "User.AddNew", "Primary Key not specified in AddNew");
    EXPECT_EQ(WrapDescription("Data Engine Misbehaved on AddNew, Error Number: [", inner),
              "Data Engine Misbehaved on AddNew, Error Number: [-2147221501]\r\n"
              "Description: Primary Key not specified in AddNew");
}

TEST(Cp1252, RoundTripsEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(cp1252::FromUtf8(cp1252::ToUtf8(all)), all);
}

TEST(Cp1252, MapsSpecialsAndReplacesTheUnmappable) {
    struct Case { const char* utf8; const char* bytes; };
    const Case cases[] = {
        {"\u20AC", "\x80"}, {"\u0160", "\x8A"}, {"\u0178", "\x9F"}, {"\u00E9", "\xE9"},
        {"\u0081", "\x81"}, {"\u4E2D", "?"},   {"\U0001F600", "?"}, {"\x85", "?"},
        {"\xC3", "?"},      {"a\xE2\x82", "a??"},
    };
    for (const auto& c : cases) EXPECT_EQ(cp1252::FromUtf8(c.utf8), c.bytes) << c.utf8;
}

TEST(Cp1252, FieldsAreCutAndPaddedByCharacter) {
    EXPECT_EQ(cp1252::ToField("caf\u00E9", 6), "caf\xE9  ");
    EXPECT_EQ(cp1252::ToField("abcdef", 3), "abc");
    EXPECT_EQ(cp1252::FromField("  x y \0 "), "x y");
    EXPECT_EQ(cp1252::FromField(std::string_view("\0\0 ", 3)), std::string("\0\0", 2));
    EXPECT_EQ(cp1252::FromField("     "), "");
}

TEST(Text, TrimsSpacesOnlyAndComparesWithoutCase) {
    EXPECT_EQ(text::Trim(" \tbob \t "), "\tbob \t");
    EXPECT_TRUE(text::Equals("BOB", "bob"));
    EXPECT_TRUE(text::Equals("\u00C9T\u00C9", "\u00E9t\u00E9"));
    EXPECT_FALSE(text::Equals("bob", "bobby"));
    EXPECT_LT(text::Compare("apple", "Banana"), 0);
    EXPECT_EQ(text::ToUpper("stra\u00DFe \u00E9"), "STRA\u00DFE \u00C9");
}

TEST(OleDate, KnownDaysConvertBothWays) {
    struct Case { double value; DateTimeParts parts; };
    const Case cases[] = {
        {0.0, {1899, 12, 30, 0, 0, 0}},
        {2.0, {1900, 1, 1, 0, 0, 0}},
        {-1.25, {1899, 12, 29, 6, 0, 0}},
        {45000.5, {2023, 3, 15, 12, 0, 0}},
        {kMinOleDate, {100, 1, 1, 0, 0, 0}},
        {2958465.0, {9999, 12, 31, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        auto parts = ToParts(c.value);
        ASSERT_TRUE(parts) << c.value;
        EXPECT_EQ(*parts, c.parts) << c.value;
        auto back = FromParts(c.parts);
        ASSERT_TRUE(back);
        EXPECT_DOUBLE_EQ(*back, c.value);
    }
}

TEST(OleDate, TimeRoundingToMidnightCarriesToTheNextDay) {
    struct Case { double value; DateTimeParts parts; };
    const Case cases[] = {
        {1.9999999999, {1900, 1, 1, 0, 0, 0}},
        {-0.9999999999, {1899, 12, 31, 0, 0, 0}},
        {-1.9999999999, {1899, 12, 30, 0, 0, 0}},
        {-2.9999999999, {1899, 12, 29, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const auto parts = ToParts(c.value);
        ASSERT_TRUE(parts) << c.value;
        EXPECT_EQ(*parts, c.parts) << c.value;
    }
}

TEST(OleDate, AbsurdValuesConvertToNothing) {
    for (double d : {std::nan(""), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), 1e300, -1e300, 2958467.0,
                     -657435.0}) {
        EXPECT_FALSE(ToParts(d)) << d;
        EXPECT_FALSE(ToSystemTime(d)) << d;
        EXPECT_EQ(FormatIso(d), "");
    }
    EXPECT_FALSE(FromParts({2023, 2, 29, 0, 0, 0}));
    EXPECT_FALSE(FromParts({2023, 13, 1, 0, 0, 0}));
}

TEST(OleDate, SystemTimeRoundTripsInLocalTime) {
    const auto parts = DateTimeParts{2024, 6, 1, 13, 45, 30};
    const auto date = *FromParts(parts);
    const auto t = ToSystemTime(date);
    ASSERT_TRUE(t);
    EXPECT_NEAR(FromSystemTime(*t), date, 1e-9);
}

TEST(RunTrapped, AppliesTheHandlersAnswers) {
    int failures = 0;
    std::vector<int> answers;
    SetErrorHandler([&](const RaisedError&, const std::string& place, int, int) {
        EXPECT_EQ(place, "Mod.Proc");
        const int a = answers.front();
        answers.erase(answers.begin());
        return a;
    });
    std::string trail;
    auto run = [&] {
        trail.clear();
        failures = 0;
        return RunTrapped("Mod.Proc", {
            [&] { trail += "a"; },
            [&] { trail += "b"; if (failures++ < 1) throw RaisedError(1, "x", "y"); },
            [&] { trail += "c"; },
        });
    };
    answers = {kErrorRetry};
    EXPECT_TRUE(run());
    EXPECT_EQ(trail, "abbc");
    answers = {kErrorResume};
    EXPECT_TRUE(run());
    EXPECT_EQ(trail, "abc");
    answers = {kErrorLeave};
    EXPECT_FALSE(run());
    EXPECT_EQ(trail, "ab");
    answers = {99};
    EXPECT_FALSE(run());
    SetErrorHandler(nullptr);
}

TEST(RunIgnoringErrors, SkipsAFailingStatementWithoutAskingTheHandler) {
    int asked = 0;
    SetErrorHandler([&](const RaisedError&, const std::string&, int, int) { return ++asked, kErrorLeave; });
    std::string trail;
    RunIgnoringErrors({
        [&] { trail += "a"; },
        [&] { trail += "b"; throw RaisedError(5, "x", "y"); },
        [&] { trail += "c"; throw std::runtime_error("z"); },
        [&] { trail += "d"; },
    });
    EXPECT_EQ(trail, "abcd");
    EXPECT_EQ(asked, 0);
    SetErrorHandler(nullptr);
}
