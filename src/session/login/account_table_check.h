#pragma once

#include <string>

namespace corvane {

// Whether the data folder's account table can be used, and whether it is a
// fresh install that may create its first administrator. Once a folder's
// first administrator exists, the machine hive and a record outside the
// data folder name it, and the running program remembers it; from then
// on a users.sec (or its whole folder) that is missing, empty, shorter than one record, unreadable
// or without any account is damage, never a first run. No Qt here.

enum class AccountTableState {
    kHoldsAccounts,  // at least one account
    kFreshInstall,   // no users.sec (or an empty one) and the hive names no set-up
    kDamaged,        // anything else without an account
};

struct AccountTableCheck {
    AccountTableState state = AccountTableState::kDamaged;
    std::string problem;  // what is wrong, for kDamaged
    bool unreadable = false;  // kDamaged as a read fails (not a file, an I/O error): the reader reports it too
};

// Reads the hive and users.sec in the data folder; creates nothing.
AccountTableCheck CheckAccountTable();

// True only on a fresh install whose settings could be read: the one case
// in which the first-administrator wizard may open.
bool OffersFirstAdministrator();

// This data folder was set up: this run saw accounts in it or recorded it,
// the machine hive names it, or the set-up record outside the data folder
// does (set_up_record.h). An answer the hive cannot give counts as set up.
bool DataFolderSetUp();
// Records this data folder as set up for this run, in the set-up record
// (with the machine hive's path) and in the machine hive (once; not in the
// hive while the settings store is held).
void RecordDataFolderSetUp();
// Reports damage ("The account table is missing or damaged: …") as raised
// by source at place: into the error log until it holds the report once in
// a run (whether start-up or a login found it; a log in a vanished folder
// cannot hold it yet), with a message to the person each time it is not
// there yet, or every time with tellEachTime (a refused login attempt).
void ReportAccountTableDamage(const AccountTableCheck& check, const char* source, std::string place,
                              bool tellEachTime = false);

// Forgets what an earlier run saw: a run starts with it (tests run several
// in one process).
void ForgetSeenSetUps();

}  // namespace corvane
