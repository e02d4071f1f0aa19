#pragma once

#include <cstdint>
#include <string>

#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "recordstore/trapped_walk.h"

namespace corvane {

// After a catalogue website's address changed: every valid assignment whose URL, trimmed,
// equals oldURL, trimmed (letter case counts), gets newURL as passed (stored cut to 255
// characters), keeping its record number, login and Active flag. True when at least one
// assignment was changed, also when a later step failed and the walk was left. Errors go to
// HandleError under "Functions.UpdateUsersWebsites"; none reaches the caller.
bool UpdateUsersWebsites(const std::string& oldURL, const std::string& newURL);

// The walk of UpdateUsersWebsites over an assignment table with URL() and SetURL() (UserWebsite;
// tests hand it one that fails on purpose).
template <typename Assignments>
bool RenameAssignedWebsite(const std::string& oldURL, const std::string& newURL) {
    const std::string_view old = text::TrimSpaces(oldURL);
    std::int32_t changed = 0;
    Assignments table;
    WalkTrapped(table, "Functions.UpdateUsersWebsites", [&](Assignments& link) {
        if (text::TrimSpaces(link.URL()) != old) return;
        link.SetURL(newURL);
        link.SaveChanges();
        ++changed;
    });
    // Links already rewritten stay rewritten, so the caller hears of them even after a failure.
    return changed > 0;
}

}  // namespace corvane
