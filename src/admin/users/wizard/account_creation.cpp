#include "admin/users/wizard/account_creation.h"

#include "platform/settings/global_settings.h"
#include "platform/core/clock.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/crypto/password_hash.h"
#include "recordstore/user.h"
#include "session/login/account_table_check.h"

namespace corvane {
namespace {

bool SetData(const NewAccount& account, User& user) {
    std::string password;
    return RunTrapped("frmWizard.SetData",
                      {[&] { password = MakePasswordHash(account.password); },
                       [&] { user.SetLogin(account.login); },
                       [&] { user.SetName(account.name); },
                       [&] { user.SetDescription(account.description); },
                       [&] { user.SetPassword(password); },
                       [&] { user.SetPasswordStamp(clock::Now()); },
                       [&] {
                           user.SetAccessLevel(account.access);
                           user.SetIsAdministrator(Flag(account.access == 0));
                       }},
                      gLanguage);
}

}  // namespace

NewLoginCheck CheckNewLogin(const std::string& login) {
    if (login.empty()) return NewLoginCheck::kBlank;
    bool taken = text::Equals(login, "Anonymous");
    const bool checked = RunTrapped("frmWizard.ValidateSteps", {[&] {
                                        if (!taken) taken = User().Load(login);
                                    }},
                                    gLanguage);
    if (!checked) return NewLoginCheck::kFailed;
    return taken ? NewLoginCheck::kTaken : NewLoginCheck::kFree;
}

AccountCreation CreateAccount(const NewAccount& account, const std::string& tablePathname) {
    AccountCreation result;
    User user;
    RunTrapped("frmWizard.SaveData",
               {[&] { user.OpenTable(tablePathname); },
                [&] { result.taken = user.Load(account.login); },
                [&] {
                    // Never over an account: another workstation may have
                    // added this login since it was checked.
                    if (result.taken || !SetData(account, user)) return;
                    user.AddNew();
                    result.added = true;
                },
                [&] {
                    if (result.added) result.login = user.Login();
                },
                [&] {
                    // From now on this folder without an account is damage,
                    // never a first run.
                    if (result.added && text::TrimSpaces(tablePathname).empty()) RecordDataFolderSetUp();
                }},
               gLanguage);
    return result;
}

}  // namespace corvane
