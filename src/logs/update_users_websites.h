#pragma once

#include <string>

#include "recordstore/rename_links.h"

namespace corvane {

// After a catalogue website's address changed: every valid assignment whose URL, trimmed,
// equals oldURL, trimmed (letter case counts), gets newURL as passed (stored cut to 255
// characters), keeping its record number, login and Active flag. True when at least one
// assignment was changed, also when a later step failed and the walk was left. Errors go to
// HandleError under "Functions.UpdateUsersWebsites"; none reaches the caller.
bool UpdateUsersWebsites(const std::string& oldURL, const std::string& newURL);

// The walk of UpdateUsersWebsites over an assignment table (UserWebsite, or a test's).
template <typename Assignments>
bool RenameAssignedWebsite(const std::string& oldURL, const std::string& newURL) {
    return RenameLinkKeys<Assignments>("Functions.UpdateUsersWebsites", oldURL, newURL);
}

}  // namespace corvane
