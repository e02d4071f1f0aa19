#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "logs/user_log.h"
#include "platform/core/clock.h"
#include "platform/settings/global_settings.h"
#include "platform/system/fake_workstation_switches.h"
#include "platform/system/workstation_forms.h"
#include "platform/system/workstation_switches.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"
#include "platform/core/clock.h"
#include "platform/crypto/encryption.h"
#include "session/login/pass_phrase.h"
#include "session/login/security.h"
#include "session/shell/session_controller.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {

// An account whose password is "pw", as the new-user wizard stores one.
inline void AddPasswordAccount(const std::string& login, bool admin) {
    User user;
    if (user.Exists(login)) return;
    user.SetLogin(login);
    user.SetPassword(Encryption().EnCode("pw", kPasswordPassPhrase));
    user.SetPasswordStamp(clock::Now());
    user.SetIsAdministrator(admin ? -1 : 0);
    user.SetAccessLevel(admin ? 0 : 1);
    user.AddNew();
}

// The main form's side of the session, noting every request in one log.
class FakeHost : public SessionHost {
public:
    FakeHost(std::vector<std::string>* log, bool* consoleLoaded) : log_(log), consoleLoaded_(consoleLoaded) {}
    bool consoleStandsIn = false;

    void ShowNewUserWizard(bool noCancel, bool primary) override {
        Note(std::string("Wizard") + (noCancel ? " NoCancel" : "") + (primary ? " Primary" : ""));
        AddPasswordAccount("admin", primary);
    }
    void ShowSecureConsole() override { Note("Console"); *consoleLoaded_ = true; }
    bool IsConsoleLoaded() override { return *consoleLoaded_; }
    void UnloadConsole() override { Note("UnloadConsole"); *consoleLoaded_ = false; }
    void ShowTipOfTheDay() override { Note("Tip"); }
    void ShowUserManagement() override { Note("Corvane"); }
    void ShowChangePassword(const std::string& login) override { Note("ChangePassword " + login); }
    void ShowSecurity() override { Note("Security"); }
    void ShowMainOptions() override { Note("Options"); }
    void ShowLogoutNotice() override { Note("Notice"); }
    void HideLogoutNotice() override { Note("NoticeGone"); }
    void SetTrayEnabled(bool on) override { Note(on ? "TrayOn" : "TrayOff"); }
    void RemoveTrayIcon() override { Note("IconRemoved"); }
    void SetWatchdogRunning(bool on) override { Note(on ? "WatchOn" : "WatchOff"); }
    void MenuLoggedOff() override {}
    void SetBusyPointer(bool) override {}
    void UnloadMainForm() override { Note("UnloadMain"); }
    bool ConsoleStandsInForIcon() override { return consoleStandsIn; }

private:
    void Note(std::string what) { log_->push_back(std::move(what)); }
    std::vector<std::string>* log_;
    bool* consoleLoaded_;
};

// A data folder, the real Security object with a login window answered from
// a script ("" cancels; a login writes its session record, as the
// validation does), and every seam of the session noted in `log`.
class SessionTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        UseClock(*FromParts({2025, 6, 2, 9, 30, 0}));
        gRequireLogin = true;
        gActionAfterLogout = false;
        gLogoutAction = 0;
        gAlwaysShowSecureConsole = false;
        gDisableUserLogging = false;
        clock::SetSleepFunction([this](std::chrono::milliseconds ms) {
            log.push_back("Sleep " + std::to_string(ms.count()));
        });
        SetWorkstationSwitches(switches);
        previousOpener = SetLoginWindowOpener([this] { return NextLogin(); });
        // The console is the one window besides the main form that matters here.
        SetFormSource({[this] { return console ? std::vector<std::string>{"frmSecureConsole"}
                                               : std::vector<std::string>{}; },
                       [this](const std::string&) { console = false; }, nullptr});
    }
    void TearDown() override {
        SetFormSource({});
        SetLoginWindowOpener(previousOpener);
        SetWorkstationSwitches(nullptr);
        clock::SetSleepFunction(nullptr);
        gRequireLogin = false;
        gActionAfterLogout = false;
        gLogoutAction = 0;
        gAlwaysShowSecureConsole = false;
        DataFolderTest::TearDown();
    }

    LoginWindowResult NextLogin() {
        log.push_back("Login");
        if (logins.empty() || logins.front().empty()) {
            if (!logins.empty()) logins.pop_front();
            return {};
        }
        const std::string login = logins.front();
        logins.pop_front();
        UserLog record;
        record.SetUserLogin(login);
        record.SetLoginStamp(clock::Now());
        record.SetActive(-1);
        record.AddNew();
        const UserLogEntry written{record.LogID(), record.UserLogin(), record.Computer(), record.LoginStamp()};
        record.CloseTable();
        return {true, login, "", written.logID, written};
    }

    // An account; administrators and who may change the password as asked.
    static void AddAccount(const std::string& login, bool admin, bool cannotChangePassword = false) {
        AddPasswordAccount(login, admin);
        User user;
        ASSERT_TRUE(user.Load(login));
        user.SetPasswordCannotChange(cannotChangePassword ? -1 : 0);
        user.SaveChanges();
        user.CloseTable();
    }

    // Another workstation (or an administrator) ends the session's record.
    static void EndRecordRemotely(std::int32_t id) {
        UserLog record;
        ASSERT_TRUE(record.Load(id));
        record.SetActive(0);
        record.SaveChanges();
        record.CloseTable();
    }

    std::size_t Count(const std::string& what) const {
        std::size_t n = 0;
        for (const auto& entry : log) n += entry == what;
        return n;
    }

    std::vector<std::string> log;
    std::deque<std::string> logins;
    bool console = false;
    std::shared_ptr<test_support::FakeWorkstationSwitches> switches =
        std::make_shared<test_support::FakeWorkstationSwitches>();
    LoginWindowOpener previousOpener;
};

}  // namespace corvane::testing
