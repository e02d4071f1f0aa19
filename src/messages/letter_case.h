#pragma once

#include <optional>
#include <string>

namespace corvane {

// Letter-case forms a message can be asked for.
inline constexpr int kCaseAsIs = 0;
inline constexpr int kCaseUpper = 1;
inline constexpr int kCaseLower = 2;
inline constexpr int kCaseProper = 3;     // first letter of every word upper, the rest lower
inline constexpr int kCaseSentence = 4;   // trimmed, lower, first character upper

namespace messages {

// The text in the given case form. No value for a form outside 0 to 4, and for
// the sentence form when nothing is left after trimming spaces. Letters of
// Windows-1252 change case; every other character (and any byte that is not
// valid UTF-8) is kept as it is. Words are separated by white space.
std::optional<std::string> ApplyLetterCase(const std::string& text, int format);

}  // namespace messages
}  // namespace corvane
