// The session's small questions.
#include <gtest/gtest.h>

#include "rules_test_support.h"
#include "session/rules/session_queries.h"

namespace corvane {
namespace {

using namespace testing;

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

using SessionQueries = RulesTest;

TEST_F(SessionQueries, AdministratorsAreFoundByTrimmedLoginAnyCase) {
    AddUser("ann", true, 1);
    AddUser("bob", false, 0);
    struct Case {
        const char* login;
        bool administrator;
    };
    for (const Case c : {Case{"ann", true}, Case{" ANN ", true}, Case{"bob", false}, Case{"nobody", false},
                         Case{"", false}}) {
        EXPECT_EQ(IsAdministrator(c.login), c.administrator) << c.login;
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(SessionQueries, AnUnreadableUserTableAnswersFalseUnderItsPlace) {
    Block("users.sec");
    EXPECT_FALSE(IsAdministrator("ann"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].place, "Functions.IsAdministrator");
}

TEST_F(SessionQueries, TheCurrentGroup) {
    AddUser("ann", true, 1);
    AddUser("bob", false, 1);
    struct Case {
        const char* user;
        const char* group;
        const char* currentUser;
        const char* currentGroup;
    };
    const Case cases[] = {
        {"", "", "Anonymous", "Anonymous"},
        {"   ", "Staff", "Anonymous", "Staff"},    // blanks are nobody
        {"ann", "Staff", "ann", "Administrators"}, // an administrator, whatever the group
        {" bob ", " Staff ", " bob ", " Staff "},   // as published, untrimmed
        {"bob", "  ", "bob", "Anonymous"},
    };
    for (const auto& c : cases) {
        gAuthenticatedUser = c.user;
        gAuthenticatedGroup = c.group;
        EXPECT_EQ(GetCurrentUser(), c.currentUser) << "[" << c.user << "]";
        EXPECT_EQ(GetCurrentGroup(), c.currentGroup) << "[" << c.user << "]";
    }
}

}  // namespace
}  // namespace corvane
