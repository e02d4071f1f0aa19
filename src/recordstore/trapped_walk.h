#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/error_trap.h"
#include "recordstore/slot_view.h"

namespace corvane {

// Rewrites, under the error trap of place, every valid record of a link table whose text
// field (trimmed) matches: one pass over the file (one lock) finds them, then each is loaded
// afresh by its number and, when get (its field as loaded) still matches, rewrite sets the
// fields it owns and saves it. A step the handler leaves ends the rewriting; what was written
// stays written, and records another workstation changed meanwhile are left alone.
template <typename Links, typename Matches, typename Get, typename Rewrite>
void RewriteMatching(const std::string& place, int field, Matches matches, Get get, Rewrite rewrite) {
    Links table;
    std::vector<std::int32_t> found;
    const bool read = RunTrapped(place, {[&] {
                                     found.clear();
                                     table.ScanValid([&](const SlotView& link) {
                                         if (matches(link.Text(field))) found.push_back(link.RecordNumber());
                                         return true;
                                     });
                                 }});
    if (!read) return;
    for (const std::int32_t n : found) {
        bool loaded = false;
        const bool carriedOn = RunTrapped(place, {
            [&] { loaded = table.LoadRecordNumber(n); },
            [&] {
                if (loaded && matches(get(table))) rewrite(table);
            },
        });
        if (!carriedOn) break;
    }
}

}  // namespace corvane
