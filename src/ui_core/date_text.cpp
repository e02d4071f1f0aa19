#include "ui_core/date_text.h"

#include <cstdio>

namespace corvane::ui {
namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

template <typename... Args>
std::string Printed(const char* format, Args... args) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

// A non-negative number in decimal, zero-padded to at least width digits.
void AppendNumber(std::string& out, int value, int width) {
    char digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    if (n < width) out.append(static_cast<std::size_t>(width - n), '0');
    while (n > 0) out += digits[--n];
}

}  // namespace

std::string ShortDateText(OleDate d) {
    const auto p = ToParts(d);
    if (!p) return {};
    return Printed("%d/%d/%04d", p->month, p->day, p->year);
}

std::string LongTimeText(OleDate d) {
    const auto p = ToParts(d);
    if (!p) return {};
    const int hour12 = p->hour % 12 == 0 ? 12 : p->hour % 12;
    return Printed("%d:%02d:%02d %s", hour12, p->minute, p->second, p->hour < 12 ? "AM" : "PM");
}

std::string GeneralDateText(OleDate d) {
    if (!ToParts(d)) return {};
    return ShortDateText(d) + " " + LongTimeText(d);
}

std::string HoursMinutesText(OleDate d) {
    const auto p = ToParts(d);
    if (!p) return {};
    return Printed("%02d:%02d", p->hour, p->minute);
}

std::string DayMonthYearTimeText(OleDate d) {
    const auto p = ToParts(d);
    if (!p) return {};
    return Printed("%02d-%s-%04d %02d:%02d:%02d", p->day, kMonths[p->month - 1], p->year, p->hour,
                   p->minute, p->second);
}

void AppendLogStampText(std::string& out, OleDate d) {
    const auto p = ToParts(d);
    if (!p) return;
    // Digit by digit rather than printf: an export writes a million of these.
    AppendNumber(out, p->month, 1);
    out += '/';
    AppendNumber(out, p->day, 1);
    out += '/';
    AppendNumber(out, p->year, 4);
    if (p->hour == 0 && p->minute == 0 && p->second == 0) return;
    out += ' ';
    AppendNumber(out, p->hour, 2);
    out += ':';
    AppendNumber(out, p->minute, 2);
    out += ':';
    AppendNumber(out, p->second, 2);
}

std::string LogStampText(OleDate d) {
    std::string text;
    AppendLogStampText(text, d);
    return text;
}

}  // namespace corvane::ui
