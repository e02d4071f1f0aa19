#include "session/login/security.h"

#include <exception>

#include "logs/current_user.h"
#include "logs/user_log.h"
#include "platform/core/carry_on.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "platform/system/workstation_forms.h"
#include "recordstore/user.h"
#include "session/login/account_table_check.h"
#include "session/login/login_services.h"
#include "session/rules/session_queries.h"

namespace corvane {
namespace {

LoginWindowOpener& LoginOpener() {
    static LoginWindowOpener opener;
    return opener;
}

UserManagementOpener& ManagementOpener() {
    static UserManagementOpener opener;
    return opener;
}


template <typename T>
void SaveSetting(T& setting, const T& value) {
    setting = value;
    SaveGlobalSettings();
}

// An account table that vanished or broke after set-up (its folder renamed
// or deleted while the program runs) can grant no login; the login window
// still opens and refuses every attempt.
bool AccountTableDamaged() {
    const AccountTableCheck check = CheckAccountTable();
    if (check.state != AccountTableState::kDamaged) return false;
    ReportAccountTableDamage(check, "Security", "Security.Login");
    return true;
}

}  // namespace

LoginWindowOpener SetLoginWindowOpener(LoginWindowOpener opener) {
    auto previous = std::move(LoginOpener());
    LoginOpener() = std::move(opener);
    return previous;
}

UserManagementOpener SetUserManagementOpener(UserManagementOpener opener) {
    auto previous = std::move(ManagementOpener());
    ManagementOpener() = std::move(opener);
    return previous;
}

void ShowUserManagement() {
    if (ManagementOpener()) ManagementOpener()();
}

bool Security::GlobalAuthenticated() const { return gAuthenticated; }
std::string Security::GlobalAuthenticatedUser() const { return GetCurrentUser(); }
std::string Security::GlobalAuthenticatedGroup() const { return GetCurrentGroup(); }
std::int32_t Security::UserCount() const { return User().UserCount(); }

bool Security::OffersFirstAdministrator() const { return corvane::OffersFirstAdministrator(); }

std::string Security::EXEAppName() const { return gEXEAppName; }
void Security::SetEXEAppName(const std::string& value) { SaveSetting(gEXEAppName, value); }
std::string Security::LoginCaption() const { return gLoginCaption; }
void Security::SetLoginCaption(const std::string& value) { SaveSetting(gLoginCaption, value); }
bool Security::RememberLastLogin() const { return gRememberLastLogin; }
void Security::SetRememberLastLogin(bool value) { SaveSetting(gRememberLastLogin, value); }
bool Security::LoginAlwaysOnTop() const { return gLoginAlwaysOnTop; }
void Security::SetLoginAlwaysOnTop(bool value) { SaveSetting(gLoginAlwaysOnTop, value); }
bool Security::HideDesktopDuringLogin() const { return gHideDesktopDuringLogin; }
void Security::SetHideDesktopDuringLogin(bool value) { SaveSetting(gHideDesktopDuringLogin, value); }
bool Security::LockTaskManagerDuringLogin() const { return gLockTaskManagerDuringLogin; }
void Security::SetLockTaskManagerDuringLogin(bool value) { SaveSetting(gLockTaskManagerDuringLogin, value); }
bool Security::RequireLogin() const { return gRequireLogin; }
void Security::SetRequireLogin(bool value) { SaveSetting(gRequireLogin, value); }
bool Security::CannotCancelLogin() const { return gCannotCancelLogin; }
void Security::SetCannotCancelLogin(bool value) { SaveSetting(gCannotCancelLogin, value); }
bool Security::ClipMouseToLogin() const { return gClipMouseToLogin; }
void Security::SetClipMouseToLogin(bool value) { SaveSetting(gClipMouseToLogin, value); }
bool Security::HideTaskBarDuringLogin() const { return gHideTaskBarDuringLogin; }
void Security::SetHideTaskBarDuringLogin(bool value) { SaveSetting(gHideTaskBarDuringLogin, value); }

void Security::SetGlobalAuthentication() {
    PublishAuthentication(authenticated_, authenticatedUser_, authenticatedGroup_);
}

bool Security::Login() {
    LoginWindowResult window;
    bool damaged = true;
    CarryOn([&] { damaged = AccountTableDamaged(); });
    CarryOn([&] {
        if (LoginOpener()) window = LoginOpener()();
    });
    // A grant that names nobody is no grant: a session of "" must never be published.
    authenticated_ = window.Authenticated && !text::Trim(window.AuthenticatedUser).empty();
    // Nor one against a table found damaged (a check that failed counts as damage).
    if (authenticated_ && damaged) CarryOn([&] { damaged = AccountTableDamaged(); });
    if (damaged) authenticated_ = false;
    authenticatedUser_ = authenticated_ ? window.AuthenticatedUser : std::string();
    authenticatedGroup_ = window.AuthenticatedGroup;
    SetGlobalAuthentication();
    if (authenticated_) {
        logID_ = window.LogID;
        sessionRecord_ = window.SessionRecord;
    }
    const bool result = authenticated_;
    if (gShowCorvaneAtNextLogin && authenticated_) {
        CarryOn([&] {
            if (IsAdministrator(authenticatedUser_)) ShowUserManagement();
        });
    }
    return result;
}

void Security::Logout() {
    CarryOn([] { UnloadAllForms(false); });
    if (logID_ != 0 && sessionRecord_.logID == logID_) {
        // A close that cannot be written is reported as every failed write is; the record
        // then stays as the login wrote it (active, no logout stamp), still this session's
        // by its LogID, login, computer and stamp.
        RunTrapped("Security.Logout", {[&] { CloseUserLogEntry(sessionRecord_); }}, gLanguage);
    }
    authenticated_ = false;
    authenticatedUser_.clear();
    authenticatedGroup_.clear();
    SetGlobalAuthentication();
    logID_ = 0;
    sessionRecord_ = {};
}

std::int32_t Security::ActiveUserCount() const { return UserLog().GetActiveUserCount(); }

void Security::Broadcast(const std::string& message) const {
    CurrentLoginServices().broadcast(message);
}

}  // namespace corvane
