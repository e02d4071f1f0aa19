// The program rule: who may start which program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "rules_test_support.h"
#include "support/append_in_flight.h"
#include "session/rules/program_rule.h"

namespace corvane {
namespace {

using namespace testing;

class ProgramRule : public RulesTest {};

TEST_F(ProgramRule, WithoutRequiredLoginEverythingIsAllowedBeforeAnyFileIsRead) {
    gRequireLogin = false;
    for (const char* login : {"", "nobody", "ann"})
        for (const char* path : {"/usr/bin/anything", "", "  "}) EXPECT_TRUE(IsProgramAllowable(login, path));
    EXPECT_FALSE(std::filesystem::exists(Path("users.sec")));
    EXPECT_FALSE(std::filesystem::exists(Path("programs.sec")));
}

// An assignment another workstation is appending counts once the append ends; one cut short
// at the end of the file does not, as before.
TEST_F(ProgramRule, AnAssignmentAppendedMeanwhileCountsWholeAndATornOneNotAtAll) {
    AddUser("ann", false, 1);
    AddProgram("/opt/tool");
    Assign("ann", "/opt/other");
    const std::string link = RecordData<UserProgram>(Path("scratch.sec"), [](UserProgram& l) {
        l.SetUserLogin("ann");
        l.SetProgram("/opt/tool");
    });
    const auto seen = ReadWhileAppending(UserProgram::Table(), Path("userprograms.sec"), link,
                                         [] { return IsProgramAllowable("ann", "/opt/tool"); });
    EXPECT_FALSE(seen.endedBeforeTheAppend);
    EXPECT_TRUE(seen.result);
    TearLastRecord(Path("userprograms.sec"), UserProgram::Table());
    EXPECT_FALSE(IsProgramAllowable("ann", "/opt/tool"));
}

TEST_F(ProgramRule, LevelsDecideWhenEnforced) {
    // Rows: the user's level; columns: the program's level 0..3 (3 with the same name).
    const bool allowed[4][4] = {
        {true, true, true, true},
        {false, true, true, true},
        {false, false, true, true},
        {false, false, false, true},
    };
    for (std::int32_t p = 0; p < 4; ++p) {
        const std::string path = "/opt/level" + std::to_string(p);
        AddProgram(path, p, p == 3 ? "Lab" : "");
    }
    for (std::int32_t u = 0; u < 4; ++u) {
        const std::string login = "user" + std::to_string(u);
        AddUser(login, false, u, "Lab");
        for (std::int32_t p = 0; p < 4; ++p) Assign(login, "/opt/level" + std::to_string(p));
    }
    // Named levels: the names must match exactly, unless the user is of level 0.
    AddProgram("/opt/named", 3, "Lab");
    AddProgram("/opt/blank-named", 3, "");
    struct Named {
        Account user;
        const char* path;
        bool allowed;
    };
    const std::vector<Named> named = {
        {{"lower", false, 3, "lab", true}, "/opt/named", false},
        {{"standard", false, 1, "Lab", true}, "/opt/named", true},
        {{"chief", false, 0, "Other", true}, "/opt/named", true},
        {{"blank", false, 2, "", true}, "/opt/blank-named", true},
        {{"unblank", false, 2, "Lab", true}, "/opt/blank-named", false},
    };
    for (const auto& n : named) {
        AddUser(n.user);
        Assign(n.user.login, n.path);
    }

    for (std::int32_t u = 0; u < 4; ++u)
        for (std::int32_t p = 0; p < 4; ++p)
            EXPECT_EQ(IsProgramAllowable("user" + std::to_string(u), "/opt/level" + std::to_string(p)),
                      allowed[u][p])
                << "user level " << u << ", program level " << p;
    for (const auto& n : named) EXPECT_EQ(IsProgramAllowable(n.user.login, n.path), n.allowed) << n.user.login;
    EXPECT_TRUE(errors.empty());
}

TEST_F(ProgramRule, CatalogueAssignmentAndTheAdministratorFlag) {
    AddUser("admin", true, 2);
    AddUser("chief", false, 0);
    AddUser("loose", false, 2, "", false);
    AddUser("ann", false, 1);
    AddProgram("/opt/Calc", 0);
    AddProgram("/opt/edit", 1);
    Assign("chief", "/opt/edit");
    Assign("loose", "/opt/Calc");  // levels not enforced for this user
    Assign("ann", "/opt/Calc");
    Assign("ann", "/opt/edit");
    Assign("ann", "/opt/unlisted");  // assigned but not in the catalogue

    struct Case {
        const char* login;
        const char* path;
        bool allowed;
    };
    const std::vector<Case> cases = {
        {"admin", "/nowhere/at/all", true},    // the flag needs neither catalogue nor assignment
        {"ADMIN ", "/nowhere/at/all", true},
        {"chief", "/nowhere/at/all", false},   // level 0 without the flag does
        {"chief", "/opt/Calc", false},         // in the catalogue, not assigned
        {"chief", "/opt/edit", true},
        {"loose", "/opt/Calc", true},
        {"ann", "/opt/Calc", false},           // level 0 program
        {"ann", "/opt/edit", true},
        {"Ann", "/opt/edit", true},            // the login is found without regard to case
        {"ann", "/OPT/EDIT", false},           // the catalogue admits it, no assignment matches
        {"ann", " /opt/edit", false},          // nor with the blank the catalogue trims away
        {"ann", "/opt/unlisted", false},
        {"", "/opt/edit", false},
        {"nobody", "/opt/edit", false},
        {"admin2", "/nowhere", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsProgramAllowable(c.login, c.path), c.allowed) << c.login << " " << c.path;
    EXPECT_TRUE(errors.empty());
}

TEST_F(ProgramRule, AnErrorIsReportedUnderItsPlaceAndLeavingRefuses) {
    AddUser("ann", false, 1);
    Block("programs.sec");
    EXPECT_FALSE(IsProgramAllowable("ann", "/opt/edit"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].place, "ProFunctions.IsProgramAllowable");
    EXPECT_EQ(errors[0].number, vbObjectError + 11);

    // An administrator was already allowed before the failing step.
    errors.clear();
    AddUser("admin", true, 1);
    EXPECT_TRUE(IsProgramAllowable("admin", "/opt/edit"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(ProgramRule, LevelComparisonOfNamedLevels) {
    EXPECT_FALSE(AccessLevelAdmits(2, "Lab", 3, "lab", true));
    EXPECT_TRUE(AccessLevelAdmits(2, "Lab", 3, "lab", false));
    EXPECT_TRUE(AccessLevelAdmits(0, "x", 3, "y", true));
    EXPECT_FALSE(AccessLevelAdmits(3, "Lab", 1, "Lab", false));
}

using RenamePrograms = RulesTest;

TEST_F(RenamePrograms, RewritesEveryAssignmentOfTheOldPath) {
    Assign("ann", "/opt/old");
    Assign("bob", "/OPT/OLD");  // letter case counts: kept
    Assign("cat", "/opt/other");
    Assign("dan", "/opt/old");
    EXPECT_TRUE(UpdateUsersPrograms(" /opt/old ", "/opt/new"));
    UserProgram links;
    ASSERT_TRUE(links.LoadUsers("/opt/new"));
    std::vector<std::string> logins;
    for (const auto& link : *links.UserPrograms()) logins.push_back(link->UserLogin());
    EXPECT_EQ(logins, (std::vector<std::string>{"ann", "dan"}));
    EXPECT_TRUE(links.LoadUsers("/OPT/OLD"));  // found without regard to case: bob's is still there

    EXPECT_FALSE(UpdateUsersPrograms("/opt/missing", "/opt/x"));
    EXPECT_FALSE(links.LoadUsers("/opt/x"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(RenamePrograms, AnUnreadableTableIsReportedUnderItsPlace) {
    Block("userprograms.sec");
    EXPECT_FALSE(UpdateUsersPrograms("/opt/old", "/opt/new"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].place, "Functions.UpdateUsersPrograms");
}

}  // namespace
}  // namespace corvane
