#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// Deletes account userId with its memberships and its permission, website and program
// assignments as one change. The links go first and the account last, only while it still
// holds the login they were found by, so an account is never gone while links of its login
// stay behind for the next account of that name. When a write fails, what was already deleted
// is put back before the error goes on (the account and its links stand as they were); when
// even that fails, the delete is finished instead; only when neither can be done does the
// error say what stands. The login deleted, or nothing when userId held no valid account, or
// the account was renamed or deleted elsewhere meanwhile (its links then stand as they were).
std::optional<std::string> DeleteAccountWithLinks(std::int32_t userId);

// The user window's Delete: deletes the accounts userIds one after another, each with its
// links, and writes "Delete Users - LOGIN" to the activity log for each one deleted (with the
// login it held at the delete, which may differ from the list's). An error is reported under
// "frmCorvane.DeleteUsers" and stops the rest when the answer is to leave.
void DeleteAccounts(const std::vector<std::int32_t>& userIds);

}  // namespace corvane
