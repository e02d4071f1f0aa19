#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "logs/log_writers.h"
#include "session/login/login_services.h"

namespace corvane {

class User;

// Where the login window puts the focus after a refusal.
enum class LoginFocus { kNone, kLogin, kPassword, kGroup };

// What the login window hands over for one attempt.
struct LoginInput {
    std::string login;
    std::string password;
    std::string group;           // the group list's text
    bool groupSelected = false;  // the group list has a selected entry
    bool noGroups = true;        // the group table has no group: the group rule is skipped
    std::string windowCaption;   // titles the invalid-login message
};

// The decision behind the login window's OK: the account rules in their fixed
// order (present, known, password, lockout, locked, disabled, expiry, group),
// the failed-login count, one user-log record per attempt past the empty
// test, and what a success brings (forced password change, "Last Login", the
// user's programs, the display message). Administrators face only the first
// three rules.
class LoginValidator {
public:
    explicit LoginValidator(LoginServices services = CurrentLoginServices());

    // Called before the forced password change; the window hides itself there.
    std::function<void()> hideWindow;

    // One attempt; true when the login succeeded. The inputs are trimmed here.
    // Errors go to HandleError under "frmLogin.ValidateLogin". Up to the grant
    // (the account rules and the forced change) any error refuses the attempt,
    // whatever the answer; after it the answers keep their meaning, and once
    // the forced change has closed errors are skipped step by step.
    bool ValidateLogin(const LoginInput& input);

    // Bookkeeping of an attempt of a known login (nothing without a user): a
    // success resets the failed-login count, a refusal adds one (stopping at
    // the largest count), written as a change of that count alone on the
    // account as it stands now; the user-log record becomes SessionRecord and
    // its number LogID. False when nothing was booked on the account (deleted
    // or renamed since it was loaded, or an error): the attempt is logged as one
    // of an unknown login, and a success is no login. A success whose user-log
    // record could not be written (user logging on) is no login either: false,
    // LogID 0, the append's error reported under "Subs.WriteUserLog".
    bool WriteLoginStatus(const std::string& login, User* user, bool success);

    // The refusal message of index 0..7 (439, 441..447), titled with message 290.
    int ShowLoginMessage(int index, std::int32_t flags);

    // Results, read by the window.
    std::string AuthenticatedUser;
    std::string AuthenticatedGroup;
    std::int32_t LogID = 0;
    // The user-log record of the last attempt, which for a login is its session's.
    UserLogEntry SessionRecord;
    LoginFocus Focus() const { return focus_; }
    // The refusal asks for the password box to be emptied.
    bool ClearPassword() const { return clearPassword_; }

private:
    bool BookAttempt(const std::string& login, User* user, bool success, bool resetCount, bool lock);
    // BookAttempt with its errors handled under "frmLogin.WriteLoginStatus".
    bool BookTrapped(const std::string& login, User* user, bool success, bool resetCount, bool lock);
    void RefuseUnknownLogin(const std::string& login, const std::string& caption);
    bool PasswordExpired(const User& user) const;

    LoginServices services_;
    LoginFocus focus_ = LoginFocus::kNone;
    bool clearPassword_ = false;
    bool accountGone_ = false;  // the last booking found the account deleted or renamed
};

}  // namespace corvane
