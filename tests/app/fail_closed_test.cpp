#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "browser/rule/cached_website_rule.h"
#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/error_trap.h"
#include "recordstore/data_paths.h"
#include "recordstore/user_group.h"
#include "recordstore/user_member.h"
#include "session/login/login_validator.h"
#include "session/login/password_change.h"
#include "session/rules/program_rule.h"
#include "session/rules/session_queries.h"
#include "session/shell/security_session.h"
#include "session/shell/session_test_support.h"

namespace corvane::testing {
namespace {

// What the error window answers in a cell of the table.
enum class Answer { kLeave, kRetryThenLeave, kGoOn };

const char* Name(Answer a) {
    switch (a) {
        case Answer::kLeave: return "leave";
        case Answer::kRetryThenLeave: return "retry then leave";
        case Answer::kGoOn: return "go on";
    }
    return "?";
}

// A table file that can no longer be opened: a folder where it was.
void Unreadable(const std::string& path) {
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
}

// Every write to a file fails (a full disk) while one lives; reads still work.
class WritesFail {
public:
    WritesFail() {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit one = previous_;
        one.rlim_cur = 1;
        ::setrlimit(RLIMIT_FSIZE, &one);
    }
    ~WritesFail() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }

private:
    rlimit previous_{};
    void (*previousSignal_)(int) = nullptr;
};

// Every place the program decides whether someone gets in or may do something, against each
// answer of the error window, with the read or write it needs failing: always refused, and the
// error reported under the decision's place.
class FailClosedTable : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        SetErrorHandler([this](const RaisedError&, const std::string& place, int, int) {
            reports.push_back(place);
            switch (answer) {
                case Answer::kLeave: return int(kErrorLeave);
                case Answer::kRetryThenLeave: return reports.size() == 1 ? int(kErrorRetry) : int(kErrorLeave);
                case Answer::kGoOn: return reports.size() > 20 ? int(kErrorLeave) : int(kErrorResume);
            }
            return int(kErrorLeave);
        });
    }
    void TearDown() override {
        SetErrorHandler(nullptr);
        SessionTest::TearDown();
    }

    // A Restricted user whose record refuses what the rows ask: levels and websites enforced,
    // groups enforced, an expired password ("pw"), a program assigned above its level.
    static void World() {
        User u;
        u.SetLogin("ann");
        u.SetPassword(Encryption().EnCode("pw", kPasswordPassPhrase));
        u.SetPasswordStamp(*FromParts({2020, 1, 1, 0, 0, 0}));
        u.SetAccessLevel(2);
        u.SetEnforceUserAccessOnPrograms(-1);
        u.SetEnforceWebsites(-1);
        u.SetEnforceUserAccessOnWebsites(-1);
        u.AddNew();
        AddPasswordAccount("boss", true);
        Program p;
        p.SetProgramPathName("/usr/bin/tool");
        p.SetAccessLevel(1);
        p.AddNew();
        UserProgram link;
        link.SetUserLogin("ann");
        link.SetProgram("/usr/bin/tool");
        link.AddNew();
        Website w;
        w.SetURL("http://staff.example.com/");
        w.SetAccessLevel(1);
        w.AddNew();
        UserWebsite site;
        site.SetUserLogin("ann");
        site.SetURL("http://staff.example.com/");
        site.AddNew();
    }
    static void Set(const std::string& login, const std::function<void(User&)>& change) {
        User u;
        ASSERT_TRUE(u.Load(login));
        change(u);
        u.SaveChanges();
        u.CloseTable();
    }

    // A fresh data folder for each cell.
    void Clear() {
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) std::filesystem::remove_all(entry);
        reports.clear();
        log.clear();
        logins.clear();
        gAuthenticated = false;
        gAuthenticatedUser.clear();
    }

    static bool Login(const LoginInput& input) {
        LoginValidator v;
        const bool granted = v.ValidateLogin(input);
        return granted || !v.AuthenticatedUser.empty();
    }

    Answer answer = Answer::kLeave;
    std::vector<std::string> reports;
    ScriptedMsgBox::Guard box = ScriptedMsgBox::Install();
};

struct Row {
    const char* decision;
    const char* failing;
    const char* place;
    std::function<void()> prepare;
    std::function<bool()> granted;  // runs the decision with the read or write failing
};

TEST_F(FailClosedTable, EveryDecisionRefusesWhateverTheErrorWindowAnswers) {
    FakeHost host{&log, &console};
    SecuritySession security;
    LoginInput annEmptyPassword{"ann", "", "", false, true, ""};
    const std::vector<Row> rows = {
        {"login", "user table read", "frmLogin.ValidateLogin",
         // An unloaded record's empty password would match an empty typed one.
         [] { Unreadable(GetUserPathName()); }, [&] { return Login(annEmptyPassword); }},
        {"login", "member table read", "frmLogin.ValidateLogin",
         [] {
             Set("ann", [](User& u) {
                 u.SetPasswordStamp(clock::Now());
                 u.SetEnforceGroups(-1);
             });
             UserGroup g;
             g.SetName("Lab");
             g.AddNew();
             Unreadable(GetMemberPathName());
         },
         [] { return Login({"ann", "pw", "Lab", true, false, ""}); }},
        // The expiry lock is written with the booking of the refused attempt.
        {"login", "expiry lock write", "frmLogin.WriteLoginStatus",
         [] { Set("ann", [](User& u) { u.SetPasswordExpiry(30); }); },
         [] {
             WritesFail full;
             return Login({"ann", "pw", "", false, true, ""});
         }},
        {"change-password dialog", "user table read", "frmChangePassword.LoadData",
         [] { Unreadable(GetUserPathName()); },
         [] {
             PasswordChange change(PasswordChange::Kind::kChange, "frmChangePassword");
             change.UserLogin = "ann";
             change.LoadData();
             return change.ValidateData("", "new", "new");
         }},
        {"program rule", "user table read", "ProFunctions.IsProgramAllowable",
         [] { Unreadable(GetUserPathName()); }, [] { return IsProgramAllowable("ann", "/usr/bin/tool"); }},
        {"program rule", "assignment read", "ProFunctions.IsProgramAllowable",
         [] {
             Set("ann", [](User& u) { u.SetEnforceUserAccessOnPrograms(0); });
             Unreadable(GetUserProgramsPathName());
         },
         [] { return IsProgramAllowable("ann", "/usr/bin/tool"); }},
        {"website rule", "user table read", "frmWebBrowser.IsWebsiteAllowable",
         [] { Unreadable(GetUserPathName()); },
         [] { return CachedWebsiteRule().IsWebsiteAllowable("ann", "http://staff.example.com/"); }},
        {"website rule", "assignment read", "frmWebBrowser.IsWebsiteAllowable",
         [] {
             Set("ann", [](User& u) { u.SetEnforceUserAccessOnWebsites(0); });
             Unreadable(GetUserWebsitesPathName());
         },
         [] { return CachedWebsiteRule().IsWebsiteAllowable("ann", "http://staff.example.com/"); }},
        {"administrator check", "user table read", "Functions.IsAdministrator",
         [] { Unreadable(GetUserPathName()); }, [] { return IsAdministrator("boss"); }},
        {"tray command Options", "user table read after the login", "frmMain.Authenticate",
         [&] {
             logins = {"boss"};
             SetLoginWindowOpener([this] {
                 auto result = NextLogin();
                 Unreadable(GetUserPathName());
                 return result;
             });
         },
         [&] {
             SessionController session{security, host};
             session.Selected(6);
             return Count("Options") > 0 || session.Administrator() || session.AllowCorvane;
         }},
        {"tray command Change Password", "user table read", "frmMain.ChangePassword",
         [&] {
             Set("ann", [](User& u) { u.SetPasswordCannotChange(-1); });
             logins = {"ann"};
             SetLoginWindowOpener([this] { return NextLogin(); });
         },
         [&] {
             SessionController session{security, host};
             session.Authenticate();
             Unreadable(GetUserPathName());
             session.ChangePassword();
             return Count("ChangePassword ann") > 0;
         }},
        {"watchdog", "session record read", "frmMain.tmrSession_Timer",
         [&] {
             logins = {"ann"};
             SetLoginWindowOpener([this] { return NextLogin(); });
         },
         [&] {
             SessionController session{security, host};
             session.Authenticate();
             if (!session.Authenticated()) return false;
             Unreadable(GetUserLogPathName());
             session.tmrSession_Timer();
             return session.Authenticated();
         }},
    };
    for (const auto& row : rows) {
        for (Answer a : {Answer::kLeave, Answer::kRetryThenLeave, Answer::kGoOn}) {
            SCOPED_TRACE(std::string(row.decision) + " / " + row.failing + " / " + Name(a));
            Clear();
            World();
            row.prepare();
            answer = a;
            EXPECT_FALSE(row.granted());
            ASSERT_FALSE(reports.empty()) << "no report";
            EXPECT_EQ(reports[0], row.place);
            if (a == Answer::kRetryThenLeave) EXPECT_GE(reports.size(), 2u);
        }
    }
    SetLoginWindowOpener(previousOpener);
}

}  // namespace
}  // namespace corvane::testing
