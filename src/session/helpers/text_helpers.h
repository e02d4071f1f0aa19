#pragma once

#include <string>
#include <string_view>

namespace corvane {

// How two texts are compared: byte for byte, or without regard to letter case over the
// characters the record files can hold.
enum CompareMode : int { kBinaryCompare = 0, kTextCompare = 1 };

// True when text begins with prefix under the mode. Two empty texts begin each other; an empty
// prefix begins no other text, and a text shorter than the prefix never begins with it.
bool BeginsWith(std::string_view prefix, std::string_view text, CompareMode mode);

// Trims the caller's text in place and answers it without one final "/" ("//" keeps one).
// The caller's variable keeps its slash.
std::string RemoveTrailingSlash(std::string& text);

}  // namespace corvane
