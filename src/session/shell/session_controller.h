#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "logs/log_writers.h"

namespace corvane {

// The Security object as the main form uses it.
class SessionSecurity {
public:
    virtual ~SessionSecurity() = default;
    virtual bool RequireLogin() = 0;
    // A fresh install: the first administrator is created before the first
    // login. Never where the data folder was set up before.
    virtual bool OffersFirstAdministrator() = 0;
    // Runs the login window; true when somebody is now logged in.
    virtual bool Login() = 0;
    virtual std::string AuthenticatedUser() = 0;
    virtual std::int32_t LogID() = 0;
    // Closes every other window and the session's user-log record.
    virtual void Logout() = 0;
};

// What the main form does for the session: its windows, icon, menu and timer.
class SessionHost {
public:
    virtual ~SessionHost() = default;
    virtual void ShowNewUserWizard(bool noCancel, bool primaryUser) = 0;
    virtual void ShowSecureConsole() = 0;
    virtual bool IsConsoleLoaded() = 0;
    virtual void UnloadConsole() = 0;
    virtual void ShowTipOfTheDay() = 0;
    virtual void ShowUserManagement() = 0;
    virtual void ShowChangePassword(const std::string& login) = 0;
    virtual void ShowSecurity() = 0;
    virtual void ShowMainOptions() = 0;
    virtual void ShowLogoutNotice() = 0;
    virtual void HideLogoutNotice() = 0;
    virtual void SetTrayEnabled(bool on) = 0;
    virtual void RemoveTrayIcon() = 0;
    virtual void SetWatchdogRunning(bool on) = 0;
    // An open menu shows the logged-off state.
    virtual void MenuLoggedOff() = 0;
    virtual void SetBusyPointer(bool busy) = 0;
    // Unloads the main form, which ends the program.
    virtual void UnloadMainForm() = 0;
    // Where the desktop has no tray the console stands in for the icon.
    virtual bool ConsoleStandsInForIcon() = 0;
};

// The session as the hidden main form keeps it: login, log-off with its
// after-logout action, the watchdog over the session's user-log record, and
// the menu's commands. Plain logic; frmMain supplies the windows.
class SessionController {
public:
    SessionController(SessionSecurity& security, SessionHost& host);

    // Copies of the logged-in user's record, taken at each successful login.
    bool EnableSessionInfo = false;
    bool PasswordCannotChange = false;  // True: the user may change the password
    bool AllowCorvane = false;

    bool Authenticated() const { return m_Authenticated; }
    bool Administrator() const { return m_Administrator; }
    const std::string& UserLogin() const { return m_UserLogin; }
    std::int32_t LogID() const { return m_LogID; }
    bool Exiting() const { return m_Exiting; }
    // A login is under way: tray and menu commands are ignored meanwhile.
    bool LoginRunning() const { return loginRunning_; }

    void Form_Load();
    void Authenticate();
    void LogOFF();
    void tmrSession_Timer();
    // The menu's command of that index (0 Login … 8 Close).
    void Selected(int index);
    void OpenSecureConsole();
    void OpenCorvane();
    void OpenSecurity();
    void OpenOptions();
    void ChangePassword();
    void Form_Unload();

    // The main form's messages: 0 "Session Terminated Remotely!".
    int ShowMessage(int mode, std::int32_t buttons);

private:
    void LoadSessionOptions(std::int16_t enableSessionInfo, std::int16_t passwordCannotChange);
    // With login required, a session first; with mustBeAdministrator also
    // that the user is one. True when the command may go on.
    bool SessionFor(bool mustBeAdministrator);
    void ShowConsoleWhereNoIcon();

    SessionSecurity& security_;
    SessionHost& host_;
    bool securityLoaded_ = true;  // until the unload releases it
    bool m_Exiting = false;
    bool m_Authenticated = false;
    bool m_Administrator = false;
    std::string m_UserLogin;
    std::int32_t m_LogID = 0;
    // The session's record as it was at login, to know it again.
    std::string sessionLogin_;
    std::optional<UserLogEntry> sessionRecord_;
    // Each session has its number; the watchdog ends each one at most once.
    std::uint32_t session_ = 0;
    std::uint32_t endedSession_ = 0;
    bool loginRunning_ = false;
    bool watching_ = false;  // a watchdog tick is reading the session's record
};

}  // namespace corvane
