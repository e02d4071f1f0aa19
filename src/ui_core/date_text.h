#pragma once

#include <string>

#include "platform/core/ole_date.h"

namespace corvane::ui {

// The display forms of a stored date that the windows, reports and the error
// log use. Linux has no regional date settings of the kind the program was
// written for, so these are the US forms, fixed. A date out of range gives "".

// "12/9/2026": month, day, four-digit year, no leading zeros.
std::string ShortDateText(OleDate d);
// "12:47:03 AM": 12-hour clock with seconds.
std::string LongTimeText(OleDate d);
// The short date, a space and the long time: "12/9/2026 12:47:03 AM".
std::string GeneralDateText(OleDate d);
// "17:45": hours and minutes on the 24-hour clock.
std::string HoursMinutesText(OleDate d);
// "09-Dec-2026 00:47:03".
std::string DayMonthYearTimeText(OleDate d);
// The log windows' stamp: the short date and the 24-hour time with seconds,
// "12/31/2026 23:59:59", the time left out at exactly midnight. At most 19
// characters, so it fits the 21-character export and report columns.
std::string LogStampText(OleDate d);
// LogStampText added to the end of out.
void AppendLogStampText(std::string& out, OleDate d);

}  // namespace corvane::ui
