#pragma once

#include <string>
#include <string_view>

namespace corvane::text {

// Leading and trailing spaces removed; spaces only, never NUL or Tab.
std::string_view TrimSpaces(std::string_view s);
std::string Trim(std::string_view s);

// Comparison "as text": without regard to letter case, over the characters
// the record files can hold (Windows-1252), so "É" equals "é".
int Compare(std::string_view a, std::string_view b);
bool Equals(std::string_view a, std::string_view b);

// The same comparison over Windows-1252 bytes, for hot loops over raw records.
int CompareBytes(std::string_view a, std::string_view b);
bool EqualsBytes(std::string_view a, std::string_view b);

// One Windows-1252 byte with its letter case folded (to the small letter), as
// the comparisons above see it.
unsigned char FoldByte(unsigned char b);

// Upper- and lower-case forms over the same character set.
std::string ToUpper(std::string_view s);
std::string ToLower(std::string_view s);

}  // namespace corvane::text
