#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane::cp1252 {

// Record files hold text in Windows-1252, one byte per character; in memory
// text is UTF-8. Characters the code page cannot hold become "?". The five
// bytes the code page leaves undefined (0x81 0x8D 0x8F 0x90 0x9D) map to the
// C1 controls of the same value so that they survive a round trip.
std::string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::string_view bytes);

// The fixed-width form of a text field: cut to width characters, padded with
// spaces.
std::string ToField(std::string_view utf8, std::size_t width);

// The text of a fixed-width field with only leading and trailing spaces removed.
std::string FromField(std::string_view bytes);

}  // namespace corvane::cp1252
