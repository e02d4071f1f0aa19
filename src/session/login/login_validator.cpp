#include "session/login/login_validator.h"

#include <limits>
#include <tuple>

#include "logs/log_writers.h"
#include "messages/message_catalogue.h"
#include "platform/core/carry_on.h"
#include "platform/core/clock.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"
#include "recordstore/user_member.h"
#include "session/login/account_table_check.h"
#include "session/login/stored_password.h"
#include "ui_core/date_text.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

constexpr int kRefusalMessages[] = {439, 441, 442, 443, 444, 445, 446, 447};
enum Refusal : int {
    kLoginEmpty = 0, kLockedOutNow, kAccountLocked, kAccountDisabled, kPasswordExpired,
    kWrongPassword, kUnknownLogin, kNotAMember,
};

bool On(std::int16_t flag) { return flag != 0; }

// Date and time to the second, as the stored local date reads.
std::tuple<int, int, int, int, int, int> ToSecond(const DateTimeParts& p) {
    return {p.year, p.month, p.day, p.hour, p.minute, p.second};
}

}  // namespace

LoginValidator::LoginValidator(LoginServices services) : services_(std::move(services)) {
    const LoginServices& current = CurrentLoginServices();
    if (!services_.startUserPrograms) services_.startUserPrograms = current.startUserPrograms;
    if (!services_.broadcast) services_.broadcast = current.broadcast;
    if (!services_.writeLastLogin) services_.writeLastLogin = current.writeLastLogin;
    if (!services_.changePassword) services_.changePassword = current.changePassword;
}

int LoginValidator::ShowLoginMessage(int index, std::int32_t flags) {
    if (index < 0 || index > 7) return kMsgNone;
    return ShowMsgBox(GetMessageText(kRefusalMessages[index], gLanguage), flags,
                      GetMessageText(kMessageProgramName, gLanguage));
}

bool LoginValidator::PasswordExpired(const User& user) const {
    if (user.PasswordExpiry() == 0) return false;
    // Calendar days on the stored local date, the time of day kept, so that a
    // change of daylight saving time does not move the end by an hour.
    const OleDate stamp = user.PasswordStamp();
    const auto day = ToParts(DatePart(stamp) + user.PasswordExpiry());
    const auto time = ToParts(stamp);
    const auto now = ToParts(clock::Now());
    if (!day || !time || !now) return true;
    DateTimeParts end = *day;
    end.hour = time->hour;
    end.minute = time->minute;
    end.second = time->second;
    return ToSecond(*now) > ToSecond(end);
}

// On the account as it stands now, read and written in one step under the file's lock: a
// count, lock or edit another workstation made since this login read the account stays. An
// account deleted or renamed meanwhile is not written and the attempt is one of an unknown
// login. Written in place without a journal: a count or lock that stands after a booking
// reported failed is what the attempt would have booked, and the failure refuses the login.
// A booking that locks writes Locked before the count: a count started again without Locked
// would let the next right password in.
bool LoginValidator::BookAttempt(const std::string& login, User* user, bool success, bool resetCount,
                                 bool lock) {
    if (!user) return false;
    const auto book = [&](User& account) {
        std::int32_t count = account.FailedLogins();
        if (success || resetCount) count = 0;
        else if (count < std::numeric_limits<std::int32_t>::max()) ++count;
        account.SetFailedLogins(count);
        if (lock) account.SetLocked(kFlagTrue);
    };
    const bool booked = lock ? user->BookLocking(book) : user->BookFields(book);
    accountGone_ = !booked;
    SessionRecord = WriteUserLogEntry(login, booked ? user : nullptr, success);
    LogID = SessionRecord.logID;
    // With user logging on, a session without its record is no login: nothing could count
    // it, close it or end it from elsewhere. The append reported its own error.
    const bool recorded = !success || gDisableUserLogging || LogID > 0;
    if (booked && success && recorded) AuthenticatedUser = login;
    return booked && recorded;
}

bool LoginValidator::WriteLoginStatus(const std::string& login, User* user, bool success) {
    return BookTrapped(login, user, success, false, false);
}

bool LoginValidator::BookTrapped(const std::string& login, User* user, bool success, bool resetCount, bool lock) {
    bool booked = false;
    RunTrapped("frmLogin.WriteLoginStatus",
               {[&] { booked = BookAttempt(login, user, success, resetCount, lock); }}, gLanguage);
    return booked;
}

void LoginValidator::RefuseUnknownLogin(const std::string& login, const std::string& caption) {
    ShowLoginMessage(kUnknownLogin, kMsgExclamation);
    SessionRecord = WriteUserLogEntry(login, nullptr, false);
    LogID = SessionRecord.logID;
    if (gShowInvalidLoginMessage && !gInvalidLoginMessage.empty())
        ShowMsgBox(gInvalidLoginMessage, kMsgExclamation, caption);
    if (gBroadcastInvalidLogin) {
        std::string notice = "Invalid Login by: " + login + " at " +
                             ui::GeneralDateText(clock::Now()) + " on Computer " +
                             GetLocalComputerName();
        if (!gBroadcastInvalidLoginMessage.empty()) notice += "\r\n" + gBroadcastInvalidLoginMessage;
        services_.broadcast(notice);
    }
    focus_ = LoginFocus::kLogin;
}

bool LoginValidator::ValidateLogin(const LoginInput& input) {
    focus_ = LoginFocus::kNone;
    clearPassword_ = false;
    const std::string group = text::Trim(input.group);
    const std::string login = text::Trim(input.login);
    const std::string password = text::Trim(input.password);

    bool stop = false;  // a rule refused, or there is nothing to decide
    bool loaded = false;
    bool passwordMatched = false;
    std::string checkedForm;  // the stored password as the password step found it
    bool changeClosed = false;  // from here on errors are skipped step by step
    User user;
    bool isAdmin = false;

    // A refusal: its message, what it does to the account, the attempt booked as
    // failed, its focus.
    const auto refuse = [&](int index, LoginFocus focus, bool lock = false) {
        ShowLoginMessage(index, kMsgExclamation);
        BookTrapped(login, &user, false, false, lock);
        focus_ = focus;
        stop = true;
    };
    // A step after the forced change: an error skips it.
    const auto late = [&](const std::function<void()>& body) {
        if (stop) return;
        if (changeClosed) CarryOn(body);
        else body();
    };

    // Every rule, on a record that was really loaded. An error anywhere here
    // ends the attempt refused, whatever the error window answered.
    const bool decided = RunDecision(
        "frmLogin.ValidateLogin",
        {
            [&] {
                // A table gone or damaged after set-up (its folder renamed while the
                // program runs) grants nothing, whatever is typed. One that cannot be
                // read is refused below, its error reported where it is read.
                const AccountTableCheck table = CheckAccountTable();
                if (table.state != AccountTableState::kDamaged || table.unreadable) return;
                ReportAccountTableDamage(table, "frmLogin", "frmLogin.ValidateLogin", true);
                focus_ = LoginFocus::kLogin;
                stop = true;
            },
            [&] {
                if (stop || !login.empty()) return;
                ShowLoginMessage(kLoginEmpty, kMsgExclamation);
                focus_ = LoginFocus::kLogin;
                stop = true;
            },
            [&] {
                if (stop) return;
                if (user.Load(login)) {
                    loaded = true;
                    isAdmin = On(user.IsAdministrator());
                    return;
                }
                RefuseUnknownLogin(login, input.windowCaption);
                stop = true;
            },
            [&] {
                if (stop) return;
                checkedForm = text::Trim(user.Password());
                if (StoredPasswordMatches(checkedForm, password, true)) {
                    passwordMatched = true;
                    return;
                }
                refuse(kWrongPassword, LoginFocus::kPassword);
                clearPassword_ = true;
            },
            [&] {
                if (stop || isAdmin || !On(user.Lockout())) return;
                if (user.FailedLogins() <= user.MaxFailedLogins()) return;
                ShowLoginMessage(kLockedOutNow, kMsgExclamation);
                // The count starts again so that an administrator's unlock works.
                BookTrapped(login, &user, false, true, true);
                focus_ = LoginFocus::kLogin;
                stop = true;
            },
            [&] {
                if (stop || isAdmin || !On(user.Locked())) return;
                refuse(kAccountLocked, LoginFocus::kLogin);
            },
            [&] {
                if (stop || isAdmin || !On(user.Disabled())) return;
                refuse(kAccountDisabled, LoginFocus::kLogin);
            },
            [&] {
                if (stop || isAdmin || !PasswordExpired(user)) return;
                refuse(kPasswordExpired, LoginFocus::kLogin, true);
            },
            [&] {
                if (stop || input.noGroups || isAdmin || !On(user.EnforceGroups())) return;
                if (UserMember().Exists(group, login)) return;
                refuse(kNotAMember, LoginFocus::kGroup);
            },
            [&] {
                if (stop || !On(user.PasswordChangeNextLogin())) return;
                if (hideWindow) hideWindow();
                changeClosed = true;
                bool stored = false;
                late([&] { stored = services_.changePassword(login); });
                // Only a stored password ends the duty to change it.
                if (!stored) return;
                // The flag is a booking too: cleared after a stored password, it may stand
                // even when its write is reported failed.
                late([&] {
                    if (user.Load(login))
                        user.BookFields([](User& current) { current.SetPasswordChangeNextLogin(kFlagFalse); });
                });
            },
        },
        gLanguage);
    if (!decided) {
        if (focus_ == LoginFocus::kNone) focus_ = LoginFocus::kLogin;
        return false;
    }
    if (stop || !loaded || !passwordMatched) return false;

    // The attempt is booked on the account as it stands: one deleted or renamed
    // meanwhile, a booking that failed, or (with user logging on) a user-log
    // record that could not be written, is no grant.
    if (!WriteLoginStatus(login, &user, true)) {
        AuthenticatedUser.clear();
        if (accountGone_) ShowLoginMessage(kUnknownLogin, kMsgExclamation);
        focus_ = LoginFocus::kLogin;
        return false;
    }

    // Granted. The session's login and group are set before anything else can
    // fail, and what the login brings can no longer take the grant back.
    AuthenticatedUser = login;
    if (input.groupSelected) AuthenticatedGroup = group;
    RunTrapped(
        "frmLogin.ValidateLogin",
        {
            [&] {
                // A trap of its own: a password left in the old form is
                // rewritten at a later login, and the login goes on.
                const Statement upgrade = [&] { UpgradeStoredPassword(user, checkedForm, password); };
                if (changeClosed) CarryOn(upgrade);
                else RunTrapped("frmLogin.UpgradePassword", {upgrade}, gLanguage);
            },
            [&] {
                late([&] {
                    if (gRememberLastLogin) services_.writeLastLogin(login);
                });
            },
            [&] {
                late([&] {
                    if (On(user.StartProgramsAfterLogin())) services_.startUserPrograms(user);
                });
            },
            [&] {
                late([&] {
                    if (!On(user.DisplayMessageAfterLogin()) || text::Trim(user.DisplayMessage()).empty()) return;
                    ShowMsgBox(user.DisplayMessage(), kMsgInformation,
                               GetMessageText(kMessageProgramName, gLanguage));
                });
            },
        },
        gLanguage);
    return true;
}

}  // namespace corvane
