#pragma once

#include <cstdint>
#include <string>

#include "platform/core/text.h"
#include "recordstore/trapped_walk.h"

namespace corvane {

// Renames a catalogue key in every assignment of a link table, found in one pass:
// each record whose key, trimmed, equals oldKey, trimmed (letter case counts), gets
// newKey (stored cut to the field), as one change of the table, or of the change of
// several tables it runs in. Errors go to HandleError under place. True when at least
// one record matched and the change was written.
template <typename Links>
bool RenameLinkKeys(const std::string& place, const std::string& oldKey, const std::string& newKey) {
    const std::string_view old = text::TrimSpaces(oldKey);
    std::int32_t found = 0;
    const bool written = RewriteMatching<Links>(
        place, Links::kKey, [&](std::string_view key) { return text::TrimSpaces(key) == old; }, newKey, &found);
    return written && found > 0;
}

}  // namespace corvane
