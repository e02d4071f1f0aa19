// The details windows' plain rules: the user-log type, the stamp text, the
// summary and which of Up and Down may be used.
#include <gtest/gtest.h>

#include "admin/logs/details/log_details.h"
#include "platform/core/ole_date.h"

using namespace corvane;

TEST(LogDetails, TypeCodeGivesARefusedPasswordPrecedence) {
    struct Case {
        std::int16_t invalid, active, failed;
        const char* code;
    };
    const Case cases[] = {
        {0, 1, 0, "LOGIN SUCCESS"},     {0, 0, 0, "LOGOFF SUCCESS"},   {1, 0, 0, "INVALID LOGIN"},
        {-1, 1, 0, "INVALID LOGIN"},    {0, 0, 1, "INVALID PASSWORD"}, {1, 1, -1, "INVALID PASSWORD"},
        {0, -1, 0, "LOGIN SUCCESS"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UserLogTypeCode(c.invalid, c.active, c.failed), c.code)
            << c.invalid << " " << c.active << " " << c.failed;
}

TEST(LogDetails, StampTextIsADashWithoutAStampAndDropsMidnight) {
    EXPECT_EQ(DetailsStampText(0), "-");
    EXPECT_EQ(DetailsStampText(*FromParts({2026, 12, 31, 23, 59, 59})), "12/31/2026 23:59:59");
    EXPECT_EQ(DetailsStampText(*FromParts({2026, 1, 2, 0, 0, 0})), "1/2/2026");
}

TEST(LogDetails, SummaryEndsEveryLineWithCrLf) {
    EXPECT_EQ(DetailsSummary({}), "");
    EXPECT_EQ(DetailsSummary({{"Type:", "Login Success"}, {"Status:", ""}}),
              "Type: Login Success\r\nStatus: \r\n");
}

TEST(LogDetails, NavigationFollowsTheOrderedRules) {
    struct Case {
        std::int32_t n, i;
        bool up, down;
    };
    const Case cases[] = {
        {1, 1, false, false},  // one row: nowhere to go
        {3, 1, false, true},   // top row
        {3, 2, true, true},    // between
        {3, 3, true, false},   // last row
        {2, 0, false, true},   // nothing selected: Down takes the top row
        {0, 0, true, false},   // emptied list
        {1, 0, false, false},
        {5, 9, true, false},   // past the end after a reload shrank the list
    };
    for (const Case& c : cases) {
        const NavigationButtons b = NavigationFor(c.i, c.n);
        EXPECT_EQ(b.up, c.up) << "n=" << c.n << " i=" << c.i;
        EXPECT_EQ(b.down, c.down) << "n=" << c.n << " i=" << c.i;
    }
}
