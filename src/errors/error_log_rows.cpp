#include "errors/error_log_rows.h"

#include <vector>

#include "platform/core/text.h"

namespace corvane {
ErrorLogRow SplitErrorLogLine(const std::string& line) {
    ErrorLogRow row;
    if (text::TrimSpaces(line).empty()) return row;
    std::vector<std::size_t> commas;
    for (std::size_t i = line.find(','); i != std::string::npos; i = line.find(',', i + 1))
        commas.push_back(i);
    const auto piece = [&](std::size_t from, std::size_t to) {
        return text::Trim(std::string_view(line).substr(from, to - from));
    };
    const std::size_t count = commas.size() + 1;
    row.pieces = static_cast<int>(count);
    if (count < 5) {
        std::size_t start = 0;
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t end = k < commas.size() ? commas[k] : line.size();
            row.fields[k] = piece(start, end);
            start = end + 1;
        }
        return row;
    }
    const std::size_t n = commas.size();
    row.fields[0] = piece(0, commas[0]);
    row.fields[1] = piece(commas[0] + 1, commas[n - 3]);
    row.fields[2] = piece(commas[n - 3] + 1, commas[n - 2]);
    row.fields[3] = piece(commas[n - 2] + 1, commas[n - 1]);
    row.fields[4] = piece(commas[n - 1] + 1, line.size());
    return row;
}

std::string ErrorLogRowToolTip(const ErrorLogRow& row) {
    const auto& f = row.fields;
    return "Error " + f[0] + " " + f[1] + " Occured in " + f[2] + ", Location: " + f[3] + " at " +
           f[4];
}

}  // namespace corvane
