#include "errors/printouts.h"

#include "ui_core/date_text.h"

namespace corvane {

std::vector<PrintedLine> ErrorDetailsPrintout(const std::string& report, OleDate printedAt) {
    std::vector<PrintedLine> lines;
    lines.push_back({"", 10, true});
    lines.push_back({"Error Details, Printed " + ui::ShortDateText(printedAt) + " at " +
                         ui::HoursMinutesText(printedAt),
                     8, true});
    lines.push_back({std::string(60, '-'), 6, false});
    lines.push_back({"", 6, false});
    // The report's lines end in CR LF as built, in LF as a text box gives them back.
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = report.find_first_of("\r\n", start);
        lines.push_back({report.substr(start, end - start), 6, false});
        if (end == std::string::npos) break;
        start = end + (report.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    lines.push_back({"", 6, false});
    return lines;
}

ErrorLogPrintout::ErrorLogPrintout(OleDate printedAt)
    : printedAt_(ui::DayMonthYearTimeText(printedAt)) {}

std::string ErrorLogPrintout::Heading() const {
    return "Page " + std::to_string(page_) + ": Error Log, printed on " + printedAt_;
}

std::vector<PrintedLine> ErrorLogPrintout::Begin() {
    const std::string heading = Heading();
    return {{heading}, {std::string(heading.size(), '*')}, {""}};
}

std::vector<PrintedLine> ErrorLogPrintout::Add(const std::string& logLine) {
    std::vector<PrintedLine> lines{{logLine}};
    if (++count_ == kLinesPerPage) {
        ++page_;
        count_ = 0;
        lines.push_back({Heading(), 10, false, true});
    }
    return lines;
}

}  // namespace corvane
