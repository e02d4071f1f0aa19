#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::profile {

// The line structure of an INI file as the profile readers and writers share
// it (docs/ini-files.md). Bytes are Windows-1252 here.

enum class LineKind { Blank, Comment, Section, Key };

// One line of the file as bytes, with its own line ending ("" on a last
// line without one) so that untouched lines are written back unchanged.
struct Line {
    std::string content;
    std::string ending;
    LineKind kind = LineKind::Blank;
    std::string name;   // section or key name, trimmed
    std::string value;  // key value, trimmed
};

std::string_view TrimBlanks(std::string_view s);

// CR LF, LF alone and CR alone each end a line.
std::vector<Line> Parse(std::string_view bytes);

// A line the writer adds; always ended by CR LF.
Line NewLine(std::string content);

std::string Serialize(const std::vector<Line>& lines);

struct Range {
    std::size_t header;  // index of the [section] line
    std::size_t end;     // one past the section's last line
};

// Every section of that name (without regard to case), in file order.
std::vector<Range> SectionsNamed(const std::vector<Line>& lines, std::string_view name);

// A value without one pair of matching quotes around it.
std::string Unquote(std::string value);

}  // namespace corvane::profile
