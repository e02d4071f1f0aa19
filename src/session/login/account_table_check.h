#pragma once

#include <string>

namespace corvane {

// Whether the data folder's account table can be used, and whether it is a
// fresh install that may create its first administrator. Once a folder's
// first administrator exists, the machine hive names the folder; from then
// on a users.sec that is missing, empty, shorter than one record, unreadable
// or without any account is damage, never a first run. No Qt here.

enum class AccountTableState {
    kHoldsAccounts,  // at least one account
    kFreshInstall,   // no users.sec (or an empty one) and the hive names no set-up
    kDamaged,        // anything else without an account
};

struct AccountTableCheck {
    AccountTableState state = AccountTableState::kDamaged;
    std::string problem;  // what is wrong, for kDamaged
};

// Reads the hive and users.sec in the data folder; creates nothing.
AccountTableCheck CheckAccountTable();

// True only on a fresh install whose settings could be read: the one case
// in which the first-administrator wizard may open.
bool OffersFirstAdministrator();

// The machine hive names this data folder as set up; an answer the hive
// cannot give counts as set up.
bool DataFolderSetUp();
// Names this data folder in the machine hive (once; nothing while the
// settings store is held).
void RecordDataFolderSetUp();

}  // namespace corvane
