#include "session/login/password_change.h"

#include "messages/message_catalogue.h"
#include "platform/core/clock.h"
#include "platform/core/cp1252.h"
#include "platform/core/error_trap.h"
#include "platform/core/raised_error.h"
#include "platform/core/text.h"
#include "platform/crypto/password_hash.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"
#include "session/login/stored_password.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

constexpr int kModeTooShort = 0;
constexpr int kModeNoMatch = 1;
constexpr int kModeWrongOld = 2;

// The account is gone: the load or save cannot go on.
[[noreturn]] void AccountMissing(const std::string& place, const std::string& login) {
    throw RaisedError(vbObjectError + 8, place,
                      "The User Login \"" + login + "\" was not found in the user table.");
}

// Characters as the record files count them.
std::size_t Length(const std::string& utf8) { return cp1252::FromUtf8(utf8).size(); }

}  // namespace

PasswordChange::PasswordChange(Kind kind, std::string formName)
    : kind_(kind), formName_(std::move(formName)) {}

int PasswordChange::ShowMessage(int mode, std::int32_t flags, const std::string& parameter) {
    int number = 0;
    switch (mode) {
        case kModeTooShort: number = 433; break;
        case kModeNoMatch: number = 434; break;
        case kModeWrongOld: number = 435; break;
        default: return kMsgNone;
    }
    const std::string prompt = mode == kModeTooShort ? GetMessageText(number, gLanguage, parameter)
                                                     : GetMessageText(number, gLanguage);
    return ShowMsgBox(prompt, flags, GetMessageText(kMessageProgramName, gLanguage));
}

void PasswordChange::LoadData() {
    const std::string place = formName_ + ".LoadData";
    loaded_ = false;
    User user;
    bool found = false;
    bool checkable = kind_ == Kind::kSet;
    const bool ran = RunDecision(
        place,
        {
            [&] {
                found = user.Load(UserLogin);
                if (!found) AccountMissing(place, UserLogin);
            },
            [&] {
                if (!found) return;
                minimumLength_ = user.PasswordLength();
                storedLogin_ = user.Login();
            },
            [&] {
                if (!found || kind_ != Kind::kChange) return;
                CheckStoredPassword(user.Password());
                storedPassword_ = user.Password();
                checkable = true;
            },
        },
        gLanguage);
    loaded_ = ran && found && checkable;
}

bool PasswordChange::ValidateData(const std::string& oldPassword, const std::string& newPassword,
                                  const std::string& confirmPassword) {
    focus_ = Focus::kNone;
    bool valid = false;
    // Nothing is checked against an account that was not loaded.
    if (!loaded_) return false;
    const bool ran = RunDecision(
        formName_ + ".ValidateData",
        {[&] {
            // An old form is compared as decoded, without trimming.
            if (kind_ == Kind::kChange && !StoredPasswordMatches(storedPassword_, text::Trim(oldPassword), false)) {
                ShowMessage(kModeWrongOld, kMsgExclamation);
                focus_ = Focus::kOldPassword;
                return;
            }
            const std::string fresh = text::Trim(newPassword);
            if (minimumLength_ != 0 &&
                (fresh.empty() || static_cast<long>(Length(fresh)) < minimumLength_)) {
                ShowMessage(kModeTooShort, kMsgExclamation, std::to_string(minimumLength_));
                focus_ = Focus::kNewPassword;
                return;
            }
            if (fresh != text::Trim(confirmPassword)) {
                ShowMessage(kModeNoMatch, kMsgExclamation);
                focus_ = Focus::kNewPassword;
                return;
            }
            valid = true;
        }},
        gLanguage);
    return ran && valid;
}

bool PasswordChange::SaveData(const std::string& newPassword) {
    const std::string place = formName_ + ".SaveData";
    User user;
    bool saved = false;
    RunDecision(place,
               {[&] {
                   // Hashed before the file's lock is taken: the hash is slow on purpose.
                   const std::string hash = MakePasswordHash(text::Trim(newPassword));
                   const bool stored = user.Load(UserLogin) && user.UpdateFields([&](User& current) {
                       current.SetPassword(hash);
                       current.SetPasswordStamp(clock::Now());
                   });
                   if (!stored) AccountMissing(place, UserLogin);
                   saved = true;
               }},
               gLanguage);
    return saved;
}

}  // namespace corvane
