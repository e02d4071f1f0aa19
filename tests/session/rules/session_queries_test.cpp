// The session's small questions.
#include <gtest/gtest.h>

#include "session/rules/session_queries.h"

namespace corvane {
namespace {

TEST(ActivityNames, CodesZeroToFourteenNameTheirActivity) {
    struct Case {
        std::int32_t code;
        const char* name;
    };
    for (const Case c : {Case{0, "New User"}, Case{1, "Edit User"}, Case{2, "Delete User(s)"}, Case{5, "Delete Group(s)"},
                         Case{11, "Delete Permission(s)"}, Case{12, "Print"}, Case{13, "Set Password"},
                         Case{14, "Clear User Log"}, Case{15, ""}, Case{-1, ""}}) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(GetActivityName(c.code, 0), c.name);
    }
}

}  // namespace
}  // namespace corvane
