#include "ui/list_export.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/workstation.h"

namespace corvane::ui {
namespace {

bool Skipped(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

double LeadingNumber(std::string_view text) {
    std::string compact;
    for (char c : text)
        if (!Skipped(c)) compact.push_back(c);
    if (compact.size() >= 2 && compact[0] == '&') {
        const char kind = static_cast<char>(compact[1] | 0x20);
        const int base = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
        if (base == 0) return 0;
        const std::string digits = compact.substr(2);
        char* end = nullptr;
        const unsigned long long v = std::strtoull(digits.c_str(), &end, base);
        if (end == digits.c_str()) return 0;
        // Up to 32 bits, read as a signed number like the classic literal.
        if (v > 0xFFFF'FFFFull) return 0;
        return v > 0xFFFF ? static_cast<double>(static_cast<std::int32_t>(v))
                          : static_cast<double>(static_cast<std::int16_t>(v));
    }
    // The longest leading part that forms a decimal number.
    std::size_t i = 0;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) ++i;
    const std::size_t digitsStart = i;
    while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) ++i;
    if (i < compact.size() && compact[i] == '.') {
        ++i;
        while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) ++i;
    }
    if (i == digitsStart || (i == digitsStart + 1 && compact[digitsStart] == '.')) return 0;
    if (i < compact.size() && (compact[i] == 'e' || compact[i] == 'E' || compact[i] == 'd' ||
                               compact[i] == 'D')) {
        std::size_t j = i + 1;
        if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) ++j;
        const std::size_t expStart = j;
        while (j < compact.size() && std::isdigit(static_cast<unsigned char>(compact[j]))) ++j;
        if (j > expStart) {
            compact[i] = 'e';
            i = j;
        }
    }
    return std::strtod(compact.substr(0, i).c_str(), nullptr);
}

int ExportColumnWidth(std::string_view tag) {
    const double v = std::nearbyint(LeadingNumber(tag));
    if (!(v > 0)) return 0;
    return v > 32767 ? 32767 : static_cast<int>(v);
}

std::string ListRowToText(const std::vector<std::string>& tags,
                          const std::vector<std::string>& cells, std::string_view separator) {
    std::string line;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const int width = k < tags.size() ? ExportColumnWidth(tags[k]) : 0;
        std::string fill = " ";
        line += PadText(cells[k], static_cast<std::int16_t>(width), fill, 0);
        line += separator;
    }
    return line;
}

}  // namespace corvane::ui
