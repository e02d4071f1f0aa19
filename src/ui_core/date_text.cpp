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

std::string LogStampText(OleDate d) {
    const auto p = ToParts(d);
    if (!p) return {};
    const std::string date = ShortDateText(d);
    if (p->hour == 0 && p->minute == 0 && p->second == 0) return date;
    return date + Printed(" %02d:%02d:%02d", p->hour, p->minute, p->second);
}

}  // namespace corvane::ui
