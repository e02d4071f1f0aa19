#include "platform/core/ole_date.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace corvane {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

// 1899-12-30 counted from 1970-01-01.
constexpr long long kEpochOffset = -25569;

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

bool IsValidOleDate(OleDate d) {
    return std::isfinite(d) && d >= kMinOleDate && d <= kMaxOleDate + 1e-9;
}

std::optional<DateTimeParts> ToParts(OleDate d) {
    if (!IsValidOleDate(d)) return std::nullopt;
    double whole = std::trunc(d);
    double fraction = std::fabs(d - whole);
    // Round to the millisecond, carrying into the day. The time of day runs
    // forward on negative days too, so midnight after it is always the next
    // calendar day, one whole day up.
    long long ms = std::llround(fraction * 86400000.0);
    if (ms >= 86400000LL) {
        ms -= 86400000LL;
        whole += 1;
    }
    DateTimeParts p;
    CivilFromDays(static_cast<long long>(whole) + kEpochOffset, p.year, p.month, p.day);
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.millisecond = static_cast<int>(ms % 1000);
    return p;
}

std::optional<OleDate> FromParts(const DateTimeParts& p) {
    if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12) return std::nullopt;
    if (p.day < 1 || p.day > DaysInMonth(p.year, p.month)) return std::nullopt;
    if (p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 ||
        p.second > 59 || p.millisecond < 0 || p.millisecond > 999)
        return std::nullopt;
    const double days =
        static_cast<double>(DaysFromCivil(p.year, static_cast<unsigned>(p.month),
                                          static_cast<unsigned>(p.day)) -
                            kEpochOffset);
    const double time =
        ((p.hour * 60.0 + p.minute) * 60.0 + p.second + p.millisecond / 1000.0) / 86400.0;
    return days >= 0 ? days + time : days - time;
}

OleDate FromSystemTime(std::chrono::system_clock::time_point t) {
    using namespace std::chrono;
    const auto secs = time_point_cast<seconds>(t);
    const auto ms = duration_cast<milliseconds>(t - secs).count();
    const std::time_t tt = system_clock::to_time_t(secs);
    std::tm tm{};
    localtime_r(&tt, &tm);
    DateTimeParts p{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                    tm.tm_min,         tm.tm_sec > 59 ? 59 : tm.tm_sec, static_cast<int>(ms)};
    return FromParts(p).value_or(0.0);
}

std::optional<std::chrono::system_clock::time_point> ToSystemTime(OleDate d) {
    const auto p = ToParts(d);
    if (!p) return std::nullopt;
    std::tm tm{};
    tm.tm_year = p->year - 1900;
    tm.tm_mon = p->month - 1;
    tm.tm_mday = p->day;
    tm.tm_hour = p->hour;
    tm.tm_min = p->minute;
    tm.tm_sec = p->second;
    tm.tm_isdst = -1;
    const std::time_t tt = mktime(&tm);
    if (tt == static_cast<std::time_t>(-1) && p->year != 1969) return std::nullopt;
    return std::chrono::system_clock::from_time_t(tt) + std::chrono::milliseconds(p->millisecond);
}

OleDate DatePart(OleDate d) {
    if (!IsValidOleDate(d)) return 0.0;
    return std::trunc(d);
}

std::string FormatIso(OleDate d) {
    const auto p = ToParts(d);
    if (!p) return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p->year, p->month, p->day,
                  p->hour, p->minute, p->second);
    return buf;
}

}  // namespace corvane
