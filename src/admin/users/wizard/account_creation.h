#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// What the new-user wizard's steps collected, each text trimmed.
struct NewAccount {
    std::string login;
    std::string name;
    std::string description;
    std::string password;    // as typed; stored as its one-way hash
    std::int32_t access = 0;  // 0 administrator, 1 user
};

// The answer to the login typed on the wizard's first step.
enum class NewLoginCheck {
    kFree,
    kBlank,
    kTaken,   // an account holds it, or it is "Anonymous" (in any case)
    kFailed,  // the user table could not be read; the error was reported
};

// Whether login may name a new account. An error reading the user table is
// reported under "frmWizard.ValidateSteps" and answers kFailed. No Qt.
NewLoginCheck CheckNewLogin(const std::string& login);

struct AccountCreation {
    bool added = false;
    bool taken = false;  // another workstation added the login since it was checked
    std::string login;   // the login as stored, when added
};

// Appends the account to the user table at tablePathname ("" is users.sec in
// the data folder), never over an account of that login: the login is looked
// up again in the same step. The password is hashed and stamped now; access 0
// makes an administrator. Once an account stands in the data folder's own
// table, the machine hive records the folder as set up, so that from then on
// an account table without accounts is damage, not a first run. Errors are
// reported under "frmWizard.SaveData" (the fields under "frmWizard.SetData")
// and leave added false. No Qt.
AccountCreation CreateAccount(const NewAccount& account, const std::string& tablePathname);

}  // namespace corvane
