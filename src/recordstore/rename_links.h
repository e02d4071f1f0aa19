#pragma once

#include <cstdint>
#include <string>

#include "platform/core/text.h"
#include "recordstore/trapped_walk.h"

namespace corvane {

// Renames a catalogue key in every assignment of a link table, found in one pass:
// each record whose key (read through get), trimmed, equals oldKey, trimmed
// (letter case counts), gets newKey as passed (through set) and is saved.
// Errors go to HandleError under place; leaving stops the walk. True when at
// least one record was changed, also when a later step failed.
template <typename Links, typename Get, typename Set>
bool RenameLinkKeys(const std::string& place, const std::string& oldKey, const std::string& newKey, Get get,
                    Set set) {
    const std::string_view old = text::TrimSpaces(oldKey);
    std::int32_t changed = 0;
    const bool written = RewriteMatching<Links>(
        place, Links::kKey, [&](std::string_view key) { return text::TrimSpaces(key) == old; }, get,
        [&](Links& link) {
            set(link, newKey);
            link.SaveChanges();
            ++changed;
        });
    // Links already rewritten stay rewritten, so the caller hears of them even after a failure.
    return written && changed > 0;
}

}  // namespace corvane
