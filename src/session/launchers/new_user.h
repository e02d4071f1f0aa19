#pragma once

#include <string>

namespace corvane {

// What the new-user wizard asks for.
struct NewUserEntry {
    std::string login;
    std::string name;
    std::string password;
    std::string confirmation;
    bool administrator = false;  // the first administrator
};

// Adds the account to the user table when the entry holds: a login (trimmed,
// not blank, not "Anonymous", not taken), a password equal to its
// confirmation letter for letter. The password is stored encoded after
// trimming and stamped now; an administrator gets level 0, anyone else
// level 1. Returns 0 when added, otherwise the number of the message that
// says what is wrong (518 blank login, 440 taken, 434 passwords differ).
// Errors of the table reach the caller.
int AddNewUser(const NewUserEntry& entry);

}  // namespace corvane
