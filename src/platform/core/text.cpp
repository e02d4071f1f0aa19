#include "platform/core/text.h"

#include "platform/core/cp1252.h"

#include <algorithm>

namespace corvane::text {
unsigned char FoldByte(unsigned char b) {
    if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 32);
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<unsigned char>(b + 32);
    switch (b) {
        case 0x8A: return 0x9A;  // Š
        case 0x8C: return 0x9C;  // Œ
        case 0x8E: return 0x9E;  // Ž
        case 0x9F: return 0xFF;  // Ÿ
        default: return b;
    }
}

namespace {

unsigned char UpperByte(unsigned char b) {
    if (b >= 'a' && b <= 'z') return static_cast<unsigned char>(b - 32);
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<unsigned char>(b - 32);
    switch (b) {
        case 0x9A: return 0x8A;
        case 0x9C: return 0x8C;
        case 0x9E: return 0x8E;
        case 0xFF: return 0x9F;
        default: return b;
    }
}

template <typename F>
std::string MapBytes(std::string_view s, F f) {
    std::string bytes = cp1252::FromUtf8(s);
    for (char& c : bytes) c = static_cast<char>(f(static_cast<unsigned char>(c)));
    return cp1252::ToUtf8(bytes);
}

}  // namespace

std::string_view TrimSpaces(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

std::string Trim(std::string_view s) { return std::string(TrimSpaces(s)); }

int Compare(std::string_view a, std::string_view b) {
    return CompareBytes(cp1252::FromUtf8(a), cp1252::FromUtf8(b));
}

bool EqualsBytes(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareBytes(a, b) == 0;
}

int CompareBytes(std::string_view x, std::string_view y) {
    const std::size_t n = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int cx = FoldByte(static_cast<unsigned char>(x[i]));
        const int cy = FoldByte(static_cast<unsigned char>(y[i]));
        if (cx != cy) return cx < cy ? -1 : 1;
    }
    if (x.size() == y.size()) return 0;
    return x.size() < y.size() ? -1 : 1;
}

bool Equals(std::string_view a, std::string_view b) { return Compare(a, b) == 0; }

std::string ToUpper(std::string_view s) { return MapBytes(s, UpperByte); }
std::string ToLower(std::string_view s) { return MapBytes(s, FoldByte); }

}  // namespace corvane::text
