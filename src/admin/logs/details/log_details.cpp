#include "admin/logs/details/log_details.h"

#include "ui_core/date_text.h"

namespace corvane {

std::string UserLogTypeCode(std::int16_t invalid, std::int16_t active, std::int16_t failed) {
    if (failed != 0) return "INVALID PASSWORD";
    if (invalid != 0) return "INVALID LOGIN";
    return active != 0 ? "LOGIN SUCCESS" : "LOGOFF SUCCESS";
}

std::string DetailsStampText(OleDate stamp) { return stamp == 0 ? "-" : ui::LogStampText(stamp); }

std::string DetailsSummary(const std::vector<std::pair<std::string, std::string>>& rows) {
    std::string out;
    for (const auto& [caption, value] : rows) out += caption + " " + value + "\r\n";
    return out;
}

NavigationButtons NavigationFor(std::int32_t i, std::int32_t n) {
    // The rules apply in this order, a later one overriding an earlier one;
    // an empty list thus leaves Up on and Down off.
    NavigationButtons b;
    if (i <= 1) b = {false, true};
    if (i < n && i > 1) b = {true, true};
    if (i >= n) b = {true, false};
    if (n == 1) b = {false, false};
    return b;
}

}  // namespace corvane
