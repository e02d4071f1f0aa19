// The error-log reading: a file's bytes into lines (whole and cut to a limit) and each line into
// its five fields, checked against a reading written here from the file's description.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "errors/error_log_file.h"
#include "errors/error_log_rows.h"
#include "support/table_oracle.h"

using namespace corvane;
using namespace corvane::fuzz;

namespace {

std::string Spaceless(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
}

std::vector<std::string> Pieces(const std::string& line) {
    std::vector<std::string> pieces(1);
    for (char c : line) {
        if (c == ',') pieces.emplace_back();
        else pieces.back() += c;
    }
    return pieces;
}

// Lines at LF, one CR before it dropped; nothing after a final LF.
std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    bool open = false;
    for (char c : text) {
        if (c == '\n') {
            if (!current.empty() && current.back() == '\r') current.pop_back();
            lines.push_back(current);
            current.clear();
            open = false;
        } else {
            current += c;
            open = true;
        }
    }
    if (open) lines.push_back(current);
    return lines;
}

void CheckRow(const std::string& line) {
    const ErrorLogRow row = SplitErrorLogLine(line);
    if (Spaceless(line).empty()) {
        Require(row.pieces == 0, "a blank line is no entry");
        return;
    }
    const std::vector<std::string> p = Pieces(line);
    Require(row.pieces == static_cast<int>(p.size()), "pieces");
    std::vector<std::string> expected(5);
    if (p.size() < 5) {
        for (std::size_t k = 0; k < p.size(); ++k) expected[k] = Spaceless(p[k]);
    } else {
        const std::size_t n = p.size();
        std::string description = p[1];
        for (std::size_t k = 2; k + 3 < n; ++k) description += "," + p[k];
        expected = {Spaceless(p[0]), Spaceless(description), Spaceless(p[n - 3]), Spaceless(p[n - 2]),
                    Spaceless(p[n - 1])};
    }
    for (std::size_t k = 0; k < 5; ++k) Require(row.fields[k] == expected[k], "field " + std::to_string(k));
    (void)ErrorLogRowToolTip(row);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = SplitErrorLogText(text);
    Require(lines == Lines(text), "the lines of the text");
    for (const std::string& line : lines) CheckRow(line);

    // Through a file, with a limit taken from the first byte: the last limit bytes from their
    // first whole line.
    const std::size_t limit = size == 0 ? 1 : 1 + data[0] % 64;
    const std::string path = ScratchFolder() + "/Corvane_ErrorLog.txt";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    const ErrorLogLines read = ReadErrorLogLines(path, limit);
    Require(!read.failed, "a regular file reads");
    std::string_view tail(text);
    if (tail.size() > limit) {
        const bool atLineStart = text[text.size() - limit - 1] == '\n';
        tail = tail.substr(text.size() - limit);
        if (!atLineStart) {
            const std::size_t lf = tail.find('\n');
            tail.remove_prefix(lf == std::string_view::npos ? tail.size() : lf + 1);
        }
    }
    Require(read.lines == Lines(tail), "the lines of a cut log");
    return 0;
}
