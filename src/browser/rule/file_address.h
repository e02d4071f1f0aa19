#pragma once

#include <optional>
#include <string>

namespace corvane {

// The local path a file: address names, also behind "view-source:", as the
// engine reads it: tabs and line breaks dropped, a backslash taken for "/",
// escapes undone, the host ignored. Nothing for an address of another kind;
// "" for a file: address that does not read as an address.
std::optional<std::string> FileAddressPath(const std::string& address);

// True when no page may open the address, whoever uses the browser: a file:
// address into a place the write guard keeps (Corvane's own folders and what
// decides what starts), after links, or one that does not read as an address.
bool IsGuardedFileAddress(const std::string& address);

}  // namespace corvane
