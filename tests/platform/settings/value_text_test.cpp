#include <gtest/gtest.h>

#include <clocale>
#include <locale>

#include "platform/core/raised_error.h"
#include "platform/settings/value_text.h"

using namespace corvane;

namespace {

TEST(Val, TakesTheLeadingNumber) {
    struct Case { const char* text; double expected; };
    const Case cases[] = {
        {"1001", 1001},        {"1001 ", 1001},       {"10 01", 1001},     {" \t1\n2 3", 123},
        {"abc", 0},            {"", 0},               {"12abc", 12},       {"-3.5", -3.5},
        {"+7", 7},             {".5", 0.5},           {"1.2.3", 1.2},      {"2.5E2", 250},
        {"1d3", 1000},         {"2e", 2},             {"&HFF", 255},       {"&hffff", -1},
        {"&H10000", 65536},    {"&HFFFFFFFF", -1},    {"&O17", 15},        {"&Q1", 0},
        {"1e-400", 0},         {"--5", 0},            {"3\r4", 3},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(c.text), c.expected) << '"' << c.text << '"';
    EXPECT_THROW(Val("1e400"), RaisedError);
    EXPECT_THROW(Val("&H123456789"), RaisedError);
}

TEST(TextToLong, RoundsHalvesToEvenAndRaisesOverflow) {
    struct Case { const char* text; std::int32_t expected; };
    const Case cases[] = {
        {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"0.5", 0}, {"1.5", 2}, {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"65280", 65280}, {"x", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToLong(c.text), c.expected) << c.text;
    try {
        TextToLong("2147483647.5");
        FAIL() << "no overflow";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), kErrOverflow);
    }
    EXPECT_EQ(TextToInteger("32767"), 32767);
    EXPECT_EQ(TextToInteger("300"), 300);
    EXPECT_THROW(TextToInteger("32768"), RaisedError);
    EXPECT_THROW(TextToInteger("-32769"), RaisedError);
}

TEST(Booleans, OnlyTheExactTextTrueIsTrue) {
    EXPECT_TRUE(TextIsTrue("True"));
    for (const char* text : {"true", "TRUE", " True", "True ", "1", "-1", "Yes", ""})
        EXPECT_FALSE(TextIsTrue(text)) << text;
    EXPECT_EQ(BoolToText(true), "True");
    EXPECT_EQ(BoolToText(false), "False");
}

// A decimal comma in the locale must not reach the stored text.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(SingleText, WritesAPointWhateverTheLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    const bool commaC = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    struct Case { float value; const char* text; };
    const Case cases[] = {{8, "8"}, {8.5f, "8.5"}, {0.1f, "0.1"}, {-12.25f, "-12.25"},
                          {1.0f / 3, "0.3333333"}, {12345678, "1.234568E+07"}, {1e-5f, "1E-05"}, {0, "0"}};
    for (const auto& c : cases) {
        EXPECT_EQ(SingleToText(c.value), c.text);
        EXPECT_FLOAT_EQ(TextToSingle(SingleToText(c.value)), c.value);
    }
    if (commaC) std::setlocale(LC_NUMERIC, "C");
    std::locale::global(previous);
    EXPECT_FLOAT_EQ(TextToSingle("8,5"), 8);  // the leading-number rule knows only the point
    EXPECT_THROW(TextToSingle("1e39"), RaisedError);
}

TEST(DateText, RoundTripsAndReadsDayZero) {
    EXPECT_EQ(TextToDate("0"), 0);
    EXPECT_EQ(DateToText(0), "00:00:00");
    struct Case { OleDate value; const char* text; };
    const Case cases[] = {{45000.5, "2023-03-15 12:00:00"}, {45000, "2023-03-15"}, {0.75, "18:00:00"},
                          {-1.25, "1899-12-29 06:00:00"}};
    for (const auto& c : cases) {
        EXPECT_EQ(DateToText(c.value), c.text);
        EXPECT_DOUBLE_EQ(TextToDate(c.text), c.value) << c.text;
    }
    EXPECT_DOUBLE_EQ(TextToDate(" 45000.25 "), 45000.25);
    EXPECT_DOUBLE_EQ(TextToDate("9:30"), 9.5 / 24);
    for (const char* bad : {"", "yesterday", "2023-02-30", "2023-03-15T12:00", "25:00", "1e5"}) {
        try {
            TextToDate(bad);
            ADD_FAILURE() << "read " << bad;
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), kErrTypeMismatch) << bad;
        }
    }
}

}  // namespace
