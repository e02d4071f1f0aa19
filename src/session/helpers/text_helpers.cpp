#include "session/helpers/text_helpers.h"

#include "platform/core/cp1252.h"
#include "platform/core/text.h"

namespace corvane {

bool BeginsWith(std::string_view prefix, std::string_view text, CompareMode mode) {
    if (prefix.empty()) return text.empty();
    if (mode == kBinaryCompare) return text.substr(0, prefix.size()) == prefix;
    // Letter case is folded per stored character, so the piece is cut in those characters.
    const std::string p = cp1252::FromUtf8(prefix);
    const std::string t = cp1252::FromUtf8(text);
    return text::EqualsBytes(std::string_view(t).substr(0, p.size()), p);
}

std::string RemoveTrailingSlash(std::string& text) {
    text = text::Trim(text);
    if (!text.empty() && text.back() == '/') return text.substr(0, text.size() - 1);
    return text;
}

}  // namespace corvane
