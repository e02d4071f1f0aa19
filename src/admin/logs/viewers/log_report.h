#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "admin/logs/viewers/log_rows.h"
#include "errors/printouts.h"
#include "platform/core/ole_date.h"

namespace corvane {

// The fixed widths of the printed log reports, column by column.
inline const std::vector<int> kUserLogReportWidths = {20, 30, 30, 20, 21, 21, 15};      // 157
inline const std::vector<int> kWebsiteLogReportWidths = {20, 30, 20, 42, 21, 20};     // 153

// One report line: every cell through PadText(cell, width, fill, indent),
// joined without separators. Indent 0 shows up to width characters, indent 1
// up to width - 1 and a space.
std::string FormatReportLine(const std::vector<std::string>& cells, const std::vector<int>& widths,
                             const std::string& fill, int indent);

// The lines of a printed log report, produced a few at a time so that a long
// list prints without holding every line. The rows are the caller's copy,
// counted in 32 bits.
class LogReport {
public:
    LogReport(std::string title, std::vector<std::string> headings, std::vector<int> widths, LogRows rows,
              OleDate printedAt, int language);

    // The next lines (the head, a block of rows, then the tail); false once
    // all have been given.
    bool Next(std::vector<PrintedLine>& lines);

    std::int32_t RowsPrinted() const { return next_; }

private:
    std::string title_;
    std::vector<std::string> headings_;
    std::vector<int> widths_;
    LogRows rows_;
    OleDate printedAt_;
    int language_;
    int stage_ = 0;
    std::int32_t next_ = 0;
};

}  // namespace corvane
