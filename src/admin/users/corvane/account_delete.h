#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// Deletes account userId with its memberships and its permission, website and program
// assignments as one commit of the five tables (TablesChange), only while the account still
// holds the login its links were found by, so an account is never gone while links of its
// login stay behind for the next account of that name, nor the links gone while it stands.
// A failure or a crash anywhere leaves every table as it was (after the next open of any of
// them). The login deleted, or nothing when userId held no valid account, or the account was
// renamed or deleted elsewhere meanwhile (nothing is then written).
std::optional<std::string> DeleteAccountWithLinks(std::int32_t userId);

// The user window's Delete: deletes the accounts userIds one after another, each with its
// links, and writes "Delete Users - LOGIN" to the activity log for each one deleted (with the
// login it held at the delete, which may differ from the list's). An error is reported under
// "frmCorvane.DeleteUsers" and stops the rest when the answer is to leave.
void DeleteAccounts(const std::vector<std::int32_t>& userIds);

}  // namespace corvane
