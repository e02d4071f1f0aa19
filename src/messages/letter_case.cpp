#include "messages/letter_case.h"

#include "platform/core/cp1252.h"
#include "platform/core/text.h"

#include <string_view>

namespace corvane::messages {
namespace {

// Bytes in the UTF-8 sequence starting at i; 1 for a stray or torn byte so
// that it passes through untouched.
std::size_t SequenceLength(std::string_view s, std::size_t i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t n = 1;
    if ((lead & 0xE0) == 0xC0) n = 2;
    else if ((lead & 0xF0) == 0xE0) n = 3;
    else if ((lead & 0xF8) == 0xF0) n = 4;
    if (i + n > s.size()) return 1;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
    return n;
}

// The platform's case rules cover the code page only; anything it cannot
// hold would come back as "?", so such characters are left alone.
void AppendMapped(std::string& out, std::string_view ch, bool upper) {
    if (cp1252::ToUtf8(cp1252::FromUtf8(ch)) != ch) {
        out.append(ch);
        return;
    }
    out += upper ? text::ToUpper(ch) : text::ToLower(ch);
}

bool IsWordBreak(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\0';
}

enum class Rule { kUpper, kLower, kProper, kFirstUpper };

std::string MapCase(std::string_view s, Rule rule) {
    std::string out;
    out.reserve(s.size());
    bool word_start = true;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = SequenceLength(s, i);
        const std::string_view ch = s.substr(i, n);
        bool upper = false;
        switch (rule) {
            case Rule::kUpper: upper = true; break;
            case Rule::kLower: upper = false; break;
            case Rule::kProper: upper = word_start; break;
            case Rule::kFirstUpper: upper = i == 0; break;
        }
        AppendMapped(out, ch, upper);
        word_start = n == 1 && IsWordBreak(ch[0]);
        i += n;
    }
    return out;
}

}  // namespace

std::optional<std::string> ApplyLetterCase(const std::string& text, int format) {
    switch (format) {
        case kCaseAsIs: return text;
        case kCaseUpper: return MapCase(text, Rule::kUpper);
        case kCaseLower: return MapCase(text, Rule::kLower);
        case kCaseProper: return MapCase(text, Rule::kProper);
        case kCaseSentence: {
            const std::string_view trimmed = text::TrimSpaces(text);
            if (trimmed.empty()) return std::nullopt;
            return MapCase(trimmed, Rule::kFirstUpper);
        }
        default: return std::nullopt;
    }
}

}  // namespace corvane::messages
