#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "logs/log_writers.h"

namespace corvane {

// What the login window reports when it hides.
struct LoginWindowResult {
    bool Authenticated = false;
    std::string AuthenticatedUser;
    std::string AuthenticatedGroup;
    std::int32_t LogID = 0;
    // The session's user-log record as the login wrote it: Logout closes only a record that
    // still matches it (and LogID).
    UserLogEntry SessionRecord;
};

// Runs the login window modally and reports its results; the program installs
// the real window (InstallLoginWindow), tests answer it themselves. Without
// one every login is cancelled. Returns the previous opener.
using LoginWindowOpener = std::function<LoginWindowResult()>;
LoginWindowOpener SetLoginWindowOpener(LoginWindowOpener opener);

// Opens the user administration window modelessly; the application shell
// installs it. Returns the previous opener.
using UserManagementOpener = std::function<void()>;
UserManagementOpener SetUserManagementOpener(UserManagementOpener opener);
// Through the installed opener; nothing when none is installed.
void ShowUserManagement();

// The session's front end, one per run in the main form: runs the login,
// holds who is logged in and the session's user-log record, publishes the
// login for the whole program, ends the session, and reads and writes the
// ten login settings.
class Security {
public:
    bool Authenticated() const { return authenticated_; }
    const std::string& AuthenticatedUser() const { return authenticatedUser_; }
    const std::string& AuthenticatedGroup() const { return authenticatedGroup_; }
    bool GlobalAuthenticated() const;
    // The published login, or "Anonymous".
    std::string GlobalAuthenticatedUser() const;
    // "Administrators", the published group, or "Anonymous".
    std::string GlobalAuthenticatedGroup() const;
    // User accounts (records whose login is not blank). Errors reach the caller.
    std::int32_t UserCount() const;
    // A fresh install that may create its first administrator
    // (account_table_check.h).
    bool OffersFirstAdministrator() const;
    std::int32_t LogID() const { return logID_; }

    // The login settings: each get reads the program-wide value, each set
    // stores it and saves every global setting.
    std::string EXEAppName() const;
    void SetEXEAppName(const std::string& value);
    std::string LoginCaption() const;
    void SetLoginCaption(const std::string& value);
    bool RememberLastLogin() const;
    void SetRememberLastLogin(bool value);
    bool LoginAlwaysOnTop() const;
    void SetLoginAlwaysOnTop(bool value);
    bool HideDesktopDuringLogin() const;
    void SetHideDesktopDuringLogin(bool value);
    bool LockTaskManagerDuringLogin() const;
    void SetLockTaskManagerDuringLogin(bool value);
    bool RequireLogin() const;
    void SetRequireLogin(bool value);
    bool CannotCancelLogin() const;
    void SetCannotCancelLogin(bool value);
    bool ClipMouseToLogin() const;
    void SetClipMouseToLogin(bool value);
    bool HideTaskBarDuringLogin() const;
    void SetHideTaskBarDuringLogin(bool value);

    // Runs the login window and takes over its results; true when a user is
    // now logged in. A cancelled login empties the published values and
    // keeps LogID. An administrator's login opens the user administration
    // when "Show Corvane At Next Login" is on. Never stops on an error.
    bool Login();
    // Closes the other windows, marks the session's user-log record logged
    // out (only when it is still this session's record), and clears the
    // session and the published values. Never stops on an error; a record
    // that cannot be closed is reported through the error trap
    // ("Security.Logout") and stays as the login wrote it.
    void Logout();

    // Active user-log records on every workstation. Errors reach the caller.
    std::int32_t ActiveUserCount() const;
    // A notice to the other computers of the network.
    void Broadcast(const std::string& message) const;

private:
    void SetGlobalAuthentication();

    bool authenticated_ = false;
    std::string authenticatedUser_;
    std::string authenticatedGroup_;
    std::int32_t logID_ = 0;
    // The session record as written, so that Logout never closes a record
    // that a cleared log has since given to another attempt.
    UserLogEntry sessionRecord_;
};

}  // namespace corvane
