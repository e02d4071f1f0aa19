#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace corvane {

// The stored date: an 8-byte double counting days since 30 December 1899 in
// local wall-clock time, the fraction being the time of day. Negative values
// count back from that day while the fraction still runs forward, so -1.25 is
// 29 December 1899 06:00. Every conversion of the system goes through here.
using OleDate = double;

struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    int millisecond = 0;
    bool operator==(const DateTimeParts&) const = default;
};

// The range the classic date type covers: 1 January 100 to 31 December 9999.
inline constexpr double kMinOleDate = -657434.0;
inline constexpr double kMaxOleDate = 2958465.99999999;

bool IsValidOleDate(OleDate d);

// Parts of a date; empty for NaN, infinities and values outside the range.
std::optional<DateTimeParts> ToParts(OleDate d);

// The date of given parts; empty when they do not name a real day and time.
std::optional<OleDate> FromParts(const DateTimeParts& p);

// Local time of a system clock point, and back.
OleDate FromSystemTime(std::chrono::system_clock::time_point t);
std::optional<std::chrono::system_clock::time_point> ToSystemTime(OleDate d);

// The whole-day part (the date without its time) as the classic DateValue.
OleDate DatePart(OleDate d);

// "yyyy-mm-dd hh:nn:ss"; "" for a date out of range. Display formats belong to
// the windows; this is for logs and diagnostics.
std::string FormatIso(OleDate d);

}  // namespace corvane
