#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <filesystem>

#include "errors/error_test_support.h"
#include "platform/core/error_trap.h"
#include "platform/core/program_globals.h"
#include "errors/error_handler.h"
#include "platform/settings/registry_store.h"
#include "errors/error_log_file.h"
#include "ui_core/msgbox/scripted_msgbox.h"

using namespace corvane;

namespace {

class ErrorHandling : public test::ErrorReportingTest {
protected:
    void TearDown() override {
        gDataPath.clear();
        SetErrorHandler(nullptr);
        ErrorReportingTest::TearDown();
    }

    static RaisedError Busy() {
        return RaisedError(kErrBusyDataFile, "User.OpenTable",
                           "Data Engine Misbehaved on OpenTable, Error Number: [70]\r\n"
                           "Description: Permission denied");
    }
    static RaisedError Other() { return RaisedError(vbObjectError + 4, "User.SaveChanges", "Bad"); }

    ErrorHandler handler_;
};

}  // namespace

TEST_F(ErrorHandling, BusyFilesRetrySilentlyThreeTimesThenAskAndTheCountGoesOn) {
    auto box = ScriptedMsgBox::Install();
    gDataPath = "/srv/corvane data";
    box->Answers({kMsgRetry, kMsgCancel, kMsgNone});
    std::vector<int> answers;
    for (int i = 0; i < 12; ++i) {
        answers.push_back(handler_.HandleError(Busy(), "AppMain.Main"));
        // A statement that then succeeds changes nothing: the count runs on.
    }
    EXPECT_EQ(answers, (std::vector<int>{4, 4, 4, 4, 4, 4, 4, 3, 4, 4, 4, 3}));
    ASSERT_EQ(box->Count(), 3);
    const auto& q = box->Questions()[0];
    EXPECT_EQ(q.prompt, "Data Source Error.  Cannot connect to Data Source on /srv/corvane data");
    EXPECT_EQ(q.buttons, 4096 + 16 + 5);
    EXPECT_EQ(q.title, "Corvane");
    EXPECT_TRUE(dialog_->requests.empty()) << "busy files are never shown as errors";
    EXPECT_FALSE(std::filesystem::exists(LogPath())) << "nor logged";
}

TEST_F(ErrorHandling, TheCountIsSharedByEveryProcedureAndNestedCall) {
    auto box = ScriptedMsgBox::Install();
    box->SetDefaultAnswer(kMsgRetry);
    // A window event that fails while the outer back-off yields.
    int nestedAnswer = 0;
    bool nested = false;
    SetYieldHook([&] {
        if (nested) return;
        nested = true;
        nestedAnswer = handler_.HandleError(Busy(), "frmMain.tmrWatch_Timer");
    });
    EXPECT_EQ(handler_.HandleError(Busy(), "Subs.WriteUserLog"), kErrorRetry);
    EXPECT_EQ(nestedAnswer, kErrorRetry);
    EXPECT_EQ(handler_.BusyRetryCount(), 2);
    EXPECT_EQ(handler_.HandleError(Busy(), "Other.Place"), kErrorRetry);
    EXPECT_EQ(box->Count(), 0);
    EXPECT_EQ(handler_.HandleError(Busy(), "Other.Place"), kErrorRetry);
    EXPECT_EQ(box->Count(), 1) << "the fourth busy error of the run asks";
}

TEST_F(ErrorHandling, ABlankDataPathAsksTheShortQuestion) {
    auto box = ScriptedMsgBox::Install();
    gDataPath = "";
    for (int i = 0; i < 4; ++i) handler_.HandleError(Busy(), "AppMain.Main", 1);
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, "Data Source Error.  Cannot connect to Data Source.");
    EXPECT_EQ(box->Last().request.language, 1);
}

TEST_F(ErrorHandling, TheBackOffIsAShortRealWaitGrowingWithThePassThatKeepsEventsRunning) {
    auto box = ScriptedMsgBox::Install();
    int yields = 0;
    SetYieldHook([&] { ++yields; });
    std::vector<int> passes;
    for (int i = 0; i < 5; ++i) {
        sleeps_.clear();
        yields = 0;
        handler_.WaitBeforeRetry();
        const int k = handler_.PassCount();
        passes.push_back(k);
        EXPECT_GE(Slept().count(), 10 * k * k);
        EXPECT_LE(Slept().count(), 39 * k * k);
        for (auto slice : sleeps_) EXPECT_LE(slice.count(), 10);
        EXPECT_GT(yields, static_cast<int>(sleeps_.size())) << "one yield first, one per slice";
    }
    EXPECT_EQ(passes, (std::vector<int>{1, 2, 3, 4, 1}));
    EXPECT_EQ(ErrorHandler::BackOff(1, 0.0).count(), 10);
    EXPECT_EQ(ErrorHandler::BackOff(4, 0.9999).count(), 39 * 16);
}

TEST_F(ErrorHandling, OtherErrorsAreLoggedAndShownAndTheDialogAnswers) {
    test::FakeClock clock({2026, 3, 14, 17, 45, 9});
    ::setenv("CORVANE_SUPPORT_EMAIL", "help@corvane.example", 1);
    dialog_->answer = kErrorResume;
    EXPECT_EQ(handler_.HandleError(Other(), "frmUser.cmdOK_Click"), kErrorResume);
    ::unsetenv("CORVANE_SUPPORT_EMAIL");

    EXPECT_EQ(ReadFile(LogPath()),
              "[-2147221500],Bad,User.SaveChanges,frmUser.cmdOK_Click,3/14/2026 5:45:09 PM\r\n");
    EXPECT_EQ(systemLog_->entries,
              std::vector<std::string>{"[-2147221500],Bad,User.SaveChanges,frmUser.cmdOK_Click"});
    ASSERT_EQ(dialog_->requests.size(), 1u);
    const ErrorDialogRequest& r = dialog_->requests[0];
    EXPECT_EQ(r.caption, "Unexpected Error");
    EXPECT_EQ(r.headerCaption, "Corvane Professional has encountered a problem.");
    EXPECT_EQ(r.errorMessage, "Bad Occured in frmUser.cmdOK_Click");
    EXPECT_EQ(r.contactMessage, "If this problem persists contact your software supplier.");
    EXPECT_EQ(r.errorReportString,
              "Error -2147221500 [Bad]\r\n"
              "Occured in frmUser.cmdOK_Click at 17:45 on the 3/14/2026\r\n"
              "See help file Located at  for further details.");
    EXPECT_TRUE(r.enableSendErrorReport);
    EXPECT_EQ(r.errorReportEmail, "help@corvane.example");
    EXPECT_EQ(r.appErrorLog, LogPath());
    EXPECT_EQ(r.helpFile, Path("Corvane.chm"));
}

TEST_F(ErrorHandling, AnEmptyPlaceIsUnknownModuleEverywhere) {
    dialog_->answer = 0;
    EXPECT_EQ(handler_.HandleError(Other(), ""), 0) << "closed without a choice";
    ASSERT_EQ(dialog_->requests.size(), 1u);
    EXPECT_EQ(dialog_->requests[0].errorMessage, "Bad Occured in Unknown Module");
    EXPECT_NE(dialog_->requests[0].errorReportString.find("Occured in Unknown Module at "),
              std::string::npos);
    EXPECT_NE(ReadFile(LogPath()).find(",Unknown Module,"), std::string::npos);
}

TEST_F(ErrorHandling, AnErrorLogThatCannotBeWrittenStillShowsTheDialogAndAnswers) {
    // A program folder that is not there: a read-only one fails the same way.
    ::setenv("CORVANE_PROGRAM_DIR", Path("not-there").c_str(), 1);
    dialog_->answer = kErrorRetry;
    int answer = 0;
    EXPECT_NO_THROW(answer = handler_.HandleError(Other(), "Subs.WriteActivityLog"));
    EXPECT_EQ(answer, kErrorRetry);
    EXPECT_EQ(dialog_->requests.size(), 1u);
    EXPECT_EQ(systemLog_->entries.size(), 1u);
}

TEST_F(ErrorHandling, InstalledItWritesADamagedHiveToTheErrorLog) {
    InstallErrorHandler();
    auto report = registry_store::SetHiveDamageReport(nullptr);
    ASSERT_TRUE(report);
    report(RaisedError(1015, "Registry", "The hive machine.db is damaged"), "Registry.OpenHive");
    registry_store::SetHiveDamageReport(report);
    std::ifstream log(LogPath());
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("The hive machine.db is damaged"), std::string::npos) << text;
    EXPECT_NE(text.find("Registry.OpenHive"), std::string::npos) << text;
    EXPECT_TRUE(dialog_->requests.empty()) << "the settings read as defaults; nobody is asked";
}

TEST_F(ErrorHandling, InstalledItAnswersTheTrapsOfTheWholeProgram) {
    InstallErrorHandler();
    // The program's own handler: its busy count is the run's, so only the
    // first answer is certain here; the dialog decides the rest.
    std::vector<int> script{kErrorRetry, kErrorResume};
    dialog_->onPresent = [&](const ErrorDialogRequest&) {
        const int a = script.front();
        script.erase(script.begin());
        return a;
    };
    int attempts = 0;
    std::string trail;
    const bool ranToTheEnd = RunTrapped("Mod.Proc", {
        [&] { trail += "a"; },
        [&] {
            trail += "b";
            if (++attempts <= 2) throw Other();
        },
        [&] { trail += "c"; },
    });
    EXPECT_TRUE(ranToTheEnd);
    EXPECT_EQ(trail, "abbc") << "retried once, and the second failure answered 'go on'";
    EXPECT_EQ(dialog_->requests.size(), 2u);
    EXPECT_EQ(dialog_->requests[0].errorMessage, "Bad Occured in Mod.Proc");
}

TEST_F(ErrorHandling, AFailingHandlerLeavesATraceOfBothErrors) {
    struct Case {
        const char* what;
        RaisedError error;
        int calls;  // the busy question comes on the fourth
    };
    const Case cases[] = {
        {"the error dialog", Other(), 1},
        {"the busy question", Busy(), 4},
    };
    auto box = ScriptedMsgBox::Install();
    box->AnswerWith([](const ScriptedMsgBox::Question&) -> int { throw std::runtime_error("no screen"); });
    dialog_->onPresent = [](const ErrorDialogRequest&) -> int { throw std::runtime_error("no screen"); };
    for (const Case& c : cases) {
        ErrorHandler handler;
        systemLog_->entries.clear();
        ::testing::internal::CaptureStderr();
        int answer = 0;
        for (int i = 0; i < c.calls; ++i) answer = handler.HandleError(c.error, "frmUser.cmdOK_Click");
        const std::string printed = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(answer, kErrorLeave) << c.what;
        std::string place = "frmUser.cmdOK_Click";
        const std::string original = FormatErrorLine(c.error, place);
        ASSERT_FALSE(systemLog_->entries.empty()) << c.what;
        const std::string& trace = systemLog_->entries.back();
        EXPECT_NE(trace.find("no screen"), std::string::npos) << c.what << ": " << trace;
        EXPECT_NE(trace.find(original), std::string::npos) << c.what << ": " << trace;
        EXPECT_NE(printed.find(trace), std::string::npos) << c.what << ": " << printed;
    }
}
