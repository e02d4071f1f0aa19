#pragma once

#include <string>
#include <vector>

#include "logs/activity_log.h"

namespace corvane::test_support {

// The details of every valid line of the activity log in the data folder, oldest first.
inline std::vector<std::string> ActivityLines() {
    std::vector<std::string> lines;
    ActivityLog log;
    if (log.IsEmpty()) return lines;
    for (log.MoveFirst(); !log.IsEOF(); log.MoveNext())
        if (log.ValidRecord()) lines.push_back(log.Details());
    return lines;
}

}  // namespace corvane::test_support
