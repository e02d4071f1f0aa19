// Starting a user's programs after login.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/system/process_spawn.h"
#include "rules_test_support.h"
#include "session/rules/run_user_programs.h"

namespace corvane {
namespace {

using namespace testing;

struct Start {
    std::vector<std::string> argv;
    std::string workDir;
    bool operator==(const Start&) const = default;
};

class RunPrograms : public RulesTest {
protected:
    void SetUp() override {
        RulesTest::SetUp();
        SetSpawnFunction([this](const std::vector<std::string>& argv, const std::string& workDir) {
            starts.push_back({argv, workDir});
            return failStarts ? 0 : 4242;
        });
        for (const char* name : {"calc", "edit", "stray"}) WriteFile(Path(name), "#!/bin/sh\n");
        AddUser("ann", false, 1);
        AddProgram(Path("calc"));
        AddProgram(Path("edit"));
        AddProgram(Path("gone"));
        AddProgram(Path("calc") + " -x");
    }
    void TearDown() override {
        SetSpawnFunction(nullptr);
        RulesTest::TearDown();
    }
    static std::unique_ptr<User> Load(const std::string& login) {
        auto user = std::make_unique<User>();
        EXPECT_TRUE(user->Load(login));
        return user;
    }

    std::vector<Start> starts;
    bool failStarts = false;
};

TEST_F(RunPrograms, StartsEachAllowedExistingProgramAloneWithoutAFolder) {
    Assign("ann", Path("calc"));
    Assign("ann", Path("gone"));           // allowed, but the file is missing
    Assign("ann", Path("stray"));          // exists, not in the catalogue
    Assign("ann", Path("calc") + " -x");   // arguments fail the existence test
    Assign("ann", Path("edit"));
    Assign("ann", Path("calc"));           // twice assigned, started twice
    RunUserPrograms(*Load("ann"));
    EXPECT_EQ(starts, (std::vector<Start>{{{Path("calc")}, ""}, {{Path("edit")}, ""}, {{Path("calc")}, ""}}));

    // Without required login the rule allows every existing one.
    starts.clear();
    gRequireLogin = false;
    RunUserPrograms(*Load("ann"));
    EXPECT_EQ(starts, (std::vector<Start>{{{Path("calc")}, ""}, {{Path("stray")}, ""}, {{Path("edit")}, ""},
                                          {{Path("calc")}, ""}}));
}

TEST_F(RunPrograms, NothingStartsForAUserWithoutAllowedPrograms) {
    AddUser("bob", false, 2);
    RunUserPrograms(*Load("bob"));  // none assigned
    Assign("bob", Path("calc"));   // level 1 program, level 2 user
    Assign("bob", Path("gone"));
    RunUserPrograms(*Load("bob"));
    EXPECT_TRUE(starts.empty());
}

TEST_F(RunPrograms, AStartThatFailsDoesNotStopTheOthers) {
    Assign("ann", Path("calc"));
    Assign("ann", Path("edit"));
    failStarts = true;
    RunUserPrograms(*Load("ann"));
    EXPECT_EQ(starts.size(), 2u);
    EXPECT_TRUE(errors.empty());
}

TEST_F(RunPrograms, AnUnreadableAssignmentTableEndsQuietly) {
    Block("userprograms.sec");
    RunUserPrograms(*Load("ann"));
    EXPECT_TRUE(starts.empty());
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace corvane
