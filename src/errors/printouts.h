#pragma once

#include <string>
#include <vector>

#include "platform/core/ole_date.h"

namespace corvane {

// One line of a printout, in the font the routine sets for it.
struct PrintedLine {
    std::string text;
    double pointSize = 10;
    bool bold = false;
    bool newPageBefore = false;

    bool operator==(const PrintedLine&) const = default;
};

// The debug window's printout of an error report: an empty bold line, the
// heading "Error Details, Printed <short date> at <hh:mm>" (bold, 8 pt), a
// rule of 60 "-", an empty line, the report's lines and an empty line (6 pt).
std::vector<PrintedLine> ErrorDetailsPrintout(const std::string& report, OleDate printedAt);

// The error-log viewer's printout, built line by line as the file is read.
// Page 1 starts with the heading "Page 1: Error Log, printed on
// dd-mmm-yyyy hh:mm:ss", a rule of "*" as long as the heading and an empty
// line; after every 66 log lines a new page begins with the next heading
// alone. All in 10 pt.
class ErrorLogPrintout {
public:
    static constexpr int kLinesPerPage = 66;

    explicit ErrorLogPrintout(OleDate printedAt);
    // The first page's heading lines.
    std::vector<PrintedLine> Begin();
    // The log line as it stands, then the next page's heading when the page is full.
    std::vector<PrintedLine> Add(const std::string& logLine);

private:
    std::string Heading() const;

    std::string printedAt_;
    int page_ = 1;
    int count_ = 0;
};

}  // namespace corvane
