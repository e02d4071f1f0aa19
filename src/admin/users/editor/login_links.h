#pragma once

#include <string>

namespace corvane {

// After an account's login changed: every website, program and permission link and every
// group membership whose login equals oldLogin (trimmed, letter case aside) takes newLogin,
// keeping its record number and the rest of its record, so nothing the old login held is
// left for a later account of that name. Nothing happens when the two are the same text.
// Errors go to HandleError under place; a walk the handler leaves stops there.
void MoveLoginLinks(const std::string& oldLogin, const std::string& newLogin, const std::string& place);

}  // namespace corvane
