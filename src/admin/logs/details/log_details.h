#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/ole_date.h"

namespace corvane {

// The status code of a user-log record's Type: a refused password wins over
// everything, then an unknown login, then an open or a closed session.
// Flags count as set when non-zero, as the log writers store them.
std::string UserLogTypeCode(std::int16_t invalid, std::int16_t active, std::int16_t failed);

// A stamp as the details show it: "-" when there is none.
std::string DetailsStampText(OleDate stamp);

// The summary the Copy button hands out: one "<caption> <value>" line per
// row, each ending in CR LF, the last too.
std::string DetailsSummary(const std::vector<std::pair<std::string, std::string>>& rows);

// Which of Up and Down may be used with row i (from 1, 0 for none) of n
// selected in the viewer.
struct NavigationButtons {
    bool up = false;
    bool down = false;
};
NavigationButtons NavigationFor(std::int32_t i, std::int32_t n);

}  // namespace corvane
