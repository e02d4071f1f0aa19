#pragma once

#include <sys/types.h>

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane::profile {

// Our own profile-string functions over INI files (see docs/ini-files.md).
// Texts are UTF-8 here and Windows-1252 in the file. Section and key names
// are trimmed of blanks and tabs and compared without regard to case; the
// first of duplicate sections or keys wins; values are trimmed of blanks and
// tabs and lose one pair of matching quotes. Lines end in CR LF when
// written; LF alone and CR alone end a line too. Anything but a regular file
// (a FIFO, a device) reads as missing and is never written.

inline constexpr std::size_t kWholeText = std::numeric_limits<std::size_t>::max();

// With a section and key: the key's value, or defaultText (trailing blanks
// removed) when the file, section or key is missing; cut to room - 1
// characters. Without a key: the section's key names; without a section:
// the file's section names; each name followed by a NUL, and when the list
// does not fit, cut to room - 2 characters.
std::string ReadString(std::optional<std::string_view> section, std::optional<std::string_view> key,
                       std::string_view defaultText, std::size_t room, std::string_view fileName);

// With a section, key and value: replaces the key's line in place or adds
// the key at the end of its section (and the section at the end of the
// file), creating the file when its folder exists. The new text goes to a
// new file in the same folder, written to disk and then renamed over the
// old one (or, for a missing file, linked to its name), so a write that
// fails half way leaves the old file whole and a missing one missing. A
// file above 1 MiB is neither read nor rewritten. Without a value: removes
// the key. Without a key: removes the whole section. Other lines and
// comments stay as they were; a change that changes nothing leaves the file
// untouched. Names or a value that would break the file's lines (line
// breaks, "]" in a section name, "=" in a key name) are refused. Returns
// false when nothing could be written.
bool WriteString(std::optional<std::string_view> section, std::optional<std::string_view> key,
                 std::optional<std::string_view> value, std::string_view fileName);

// Sets several keys of one section with one rewrite of the file: the bytes
// are those of WriteString called for each pair in turn, but another reader
// sees all of the values or none. A pair WriteString would refuse is skipped
// and makes the result false, as does a file that could not be written.
bool WriteStrings(std::string_view section, const std::vector<std::pair<std::string, std::string>>& values,
                  std::string_view fileName);

// The write(2) every profile write goes through, so that tests can refuse
// one or cut it short; nullptr puts the system's back. Returns the previous.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);
WriteCall SetWriteCall(WriteCall call);

}  // namespace corvane::profile
