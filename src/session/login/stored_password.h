#pragma once

#include <string_view>

namespace corvane {

class User;

// The password field of a user record holds a one-way hash (what every writer
// of this build stores, see MakePasswordHash) or, in records written by an
// earlier build, the reversible cipher form under the pass phrase. Nothing
// else reads a stored password.

// Whether typed is the password stored. A hash is recomputed and compared in
// constant time; the old form is decoded and compared exactly, its decoded
// text trimmed first when trimDecoded. Raises when the stored form is damaged
// beyond checking (see CheckStoredPassword), so a caller's trap refuses.
bool StoredPasswordMatches(std::string_view stored, std::string_view typed, bool trimDecoded);

// Raises when the stored form can match nothing: a hash form that does not
// parse (vbObjectError + 999, source "CheckPassword") or an old form too short
// to decode (DeCode's error).
void CheckStoredPassword(std::string_view stored);

// The field still holds the old cipher form, which a successful login
// replaces with a hash.
bool IsOldPasswordForm(std::string_view stored);

// After a successful login whose password was checked against checked, an
// old form: rewrites the password field of the account user loaded as a hash
// of password, re-reading the record under the file's lock in the same step,
// and only while the field still holds checked (a password set meanwhile
// stays). Whether the field was rewritten; a hash, or an account deleted or
// renamed since, is left alone.
bool UpgradeStoredPassword(User& user, std::string_view checked, std::string_view password);

}  // namespace corvane
