#include "admin/logs/viewers/log_report.h"

#include <numeric>

#include "messages/message_catalogue.h"
#include "platform/system/workstation.h"
#include "ui_core/date_text.h"

namespace corvane {
namespace {

constexpr std::int32_t kRowsPerBlock = 256;

}  // namespace

std::string FormatReportLine(const std::vector<std::string>& cells, const std::vector<int>& widths,
                             const std::string& fill, int indent) {
    std::string line;
    for (std::size_t k = 0; k < widths.size(); ++k) {
        std::string f = fill;
        line += PadText(k < cells.size() ? cells[k] : std::string(), static_cast<std::int16_t>(widths[k]), f,
                        static_cast<std::int16_t>(indent));
    }
    return line;
}

LogReport::LogReport(std::string title, std::vector<std::string> headings, std::vector<int> widths, LogRows rows,
                     OleDate printedAt, int language)
    : title_(std::move(title)),
      headings_(std::move(headings)),
      widths_(std::move(widths)),
      rows_(std::move(rows)),
      printedAt_(printedAt),
      language_(language) {}

bool LogReport::Next(std::vector<PrintedLine>& lines) {
    const int total = std::accumulate(widths_.begin(), widths_.end(), 0);
    const std::string rule(static_cast<std::size_t>(total), '-');
    switch (stage_) {
        case 0: {
            // The first line keeps the printer's starting size.
            lines.push_back({"", 10, true});
            const std::string heading = title_ + ", " + GetMessageText(5, language_) + " " +
                                        ui::ShortDateText(printedAt_) + " at " + ui::HoursMinutesText(printedAt_);
            lines.push_back({heading, 8, true});
            lines.push_back({rule, 6, false});
            lines.push_back({"", 6, false});
            lines.push_back({FormatReportLine(headings_, widths_, " ", 0), 6, true});
            lines.push_back({"", 6, true});
            stage_ = 1;
            return true;
        }
        case 1: {
            const int columns = static_cast<int>(widths_.size());
            std::vector<std::string> cells(widths_.size());
            const std::int32_t end = std::min(rows_.Count(), next_ + kRowsPerBlock);
            for (; next_ < end; ++next_) {
                for (int c = 0; c < columns; ++c) cells[static_cast<std::size_t>(c)] = rows_.Cell(next_, c);
                lines.push_back({FormatReportLine(cells, widths_, " ", 1), 6, false});
            }
            if (next_ >= rows_.Count()) stage_ = 2;
            return true;
        }
        case 2:
            lines.push_back({"", 6, false});
            lines.push_back({rule, 6, false});
            lines.push_back({"", 6, false});
            stage_ = 3;
            return true;
        default:
            return false;
    }
}

}  // namespace corvane
