#include "platform/settings/value_text.h"
#include "platform/core/program_title.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/core/raised_error.h"
#include "platform/core/text.h"

namespace corvane {
namespace {

const char* const kSource = kProgramTitle;

bool IsIgnoredBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// "&H" and "&O" numbers take the 16-bit pattern when they fit in 16 bits,
// else the 32-bit pattern, as the classic reading does.
double RadixNumber(std::string_view digits, int radix) {
    std::uint64_t value = 0;
    for (char c : digits) {
        const int d = DigitValue(c);
        if (d >= radix) break;
        value = value * radix + d;
        if (value > 0xFFFFFFFFull) throw OverflowError(kSource);
    }
    if (value <= 0xFFFF) return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace

double Val(std::string_view text) {
    std::string s;
    for (char c : text)
        if (!IsIgnoredBlank(c)) s.push_back(c);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h') return RadixNumber(std::string_view(s).substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o') return RadixNumber(std::string_view(s).substr(2), 8);
        return 0;
    }
    // Keep the longest leading part shaped like a number.
    std::string number;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number.push_back(s[i++]);
    bool digits = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') number.push_back(s[i++]), digits = true;
    if (i < s.size() && s[i] == '.') {
        number.push_back(s[i++]);
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') number.push_back(s[i++]), digits = true;
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent.push_back(s[j++]);
        const std::size_t firstDigit = j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') exponent.push_back(s[j++]);
        if (j > firstDigit) number += exponent;
    }
    const char* first = number.data();
    if (*first == '+') ++first;
    double value = 0;
    const auto result = std::from_chars(first, number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small to hold is zero; too large overflows.
        const auto e = number.find('e');
        if (e != std::string::npos && number[e + 1] == '-') return 0;
        throw OverflowError(kSource);
    }
    return value;
}

std::int32_t TextToLong(std::string_view text) {
    const double rounded = std::nearbyint(Val(text));
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) throw OverflowError(kSource);
    return static_cast<std::int32_t>(rounded);
}

std::int16_t TextToInteger(std::string_view text) {
    const double rounded = std::nearbyint(Val(text));
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) throw OverflowError(kSource);
    return static_cast<std::int16_t>(rounded);
}

float TextToSingle(std::string_view text) {
    const double value = Val(text);
    if (std::fabs(value) > std::numeric_limits<float>::max()) throw OverflowError(kSource);
    return static_cast<float>(value);
}

std::string FormatNumber(double value, int significantDigits) {
    if (value == 0 || std::isnan(value)) return "0";
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, significantDigits);
    std::string out(buf, result.ptr);
    for (char& c : out)
        if (c == 'e') c = 'E';
    return out;
}

std::string SingleToText(float value) { return FormatNumber(value, 7); }

std::string DateToText(OleDate value) {
    const auto parts = ToParts(value);
    if (!parts) return std::to_string(value);
    char date[16];
    char time[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", parts->year, parts->month, parts->day);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", parts->hour, parts->minute, parts->second);
    const bool dayZero = parts->year == 1899 && parts->month == 12 && parts->day == 30;
    const bool midnight = parts->hour == 0 && parts->minute == 0 && parts->second == 0;
    if (dayZero) return time;
    if (midnight) return date;
    return std::string(date) + " " + time;
}

namespace {

// Reads a run of digits; false when there is none.
bool ReadNumber(std::string_view& s, int* value) {
    int n = 0;
    std::size_t i = 0;
    while (i < s.size() && i < 4 && s[i] >= '0' && s[i] <= '9') n = n * 10 + (s[i++] - '0');
    if (i == 0) return false;
    s.remove_prefix(i);
    *value = n;
    return true;
}

bool Expect(std::string_view& s, char c) {
    if (s.empty() || s.front() != c) return false;
    s.remove_prefix(1);
    return true;
}

bool ReadTime(std::string_view& s, DateTimeParts* p) {
    if (!ReadNumber(s, &p->hour) || !Expect(s, ':') || !ReadNumber(s, &p->minute)) return false;
    if (Expect(s, ':') && !ReadNumber(s, &p->second)) return false;
    return true;
}

}  // namespace

OleDate TextToDate(std::string_view text) {
    const std::string trimmed = text::Trim(text);
    std::string_view s = trimmed;
    const RaisedError mismatch(kErrTypeMismatch, kSource, "Type mismatch");
    if (s.empty()) throw mismatch;
    double number = 0;
    const char* first = s.data() + (s.front() == '+' ? 1 : 0);
    if (auto r = std::from_chars(first, s.data() + s.size(), number);
        r.ec == std::errc() && r.ptr == s.data() + s.size() && s.find_first_of("eE") == std::string_view::npos) {
        if (!IsValidOleDate(number)) throw mismatch;
        return number;
    }
    DateTimeParts p;
    if (s.find('-') == std::string_view::npos && s.find(':') != std::string_view::npos) {
        if (!ReadTime(s, &p) || !s.empty()) throw mismatch;
    } else {
        if (!ReadNumber(s, &p.year) || !Expect(s, '-') || !ReadNumber(s, &p.month) || !Expect(s, '-') ||
            !ReadNumber(s, &p.day))
            throw mismatch;
        if (!s.empty() && (!Expect(s, ' ') || !ReadTime(s, &p) || !s.empty())) throw mismatch;
    }
    const auto date = FromParts(p);
    if (!date) throw mismatch;
    return *date;
}

std::int32_t HexToLong(std::string_view text) {
    const std::string_view digits = text::TrimSpaces(text);
    if (digits.empty() || digits.size() > 8) return 0;
    std::uint32_t value = 0;
    for (char c : digits) {
        const int d = DigitValue(c);
        if (d > 15) return 0;
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t HexToLong(const Variant& value) {
    if (IsEmpty(value)) return 0;
    try {
        return HexToLong(VariantText(value));
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace corvane
