#include "platform/settings/ini_lines.h"

#include "platform/core/text.h"

namespace corvane::profile {
namespace {

void Classify(Line& line) {
    const std::string_view t = TrimBlanks(line.content);
    if (t.empty()) {
        line.kind = LineKind::Blank;
    } else if (t.front() == ';') {
        line.kind = LineKind::Comment;
    } else if (t.front() == '[') {
        line.kind = LineKind::Section;
        const auto close = t.find(']');
        line.name = TrimBlanks(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    } else {
        line.kind = LineKind::Key;
        const auto eq = t.find('=');
        line.name = TrimBlanks(t.substr(0, eq));
        line.value = eq == std::string_view::npos ? std::string() : std::string(TrimBlanks(t.substr(eq + 1)));
    }
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::vector<Line> Parse(std::string_view bytes) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find_first_of("\r\n", start);
        Line line;
        if (end == std::string_view::npos) {
            line.content = bytes.substr(start);
            start = bytes.size();
        } else {
            line.content = bytes.substr(start, end - start);
            const bool crLf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
            line.ending = bytes.substr(end, crLf ? 2 : 1);
            start = end + line.ending.size();
        }
        Classify(line);
        lines.push_back(std::move(line));
    }
    return lines;
}

Line NewLine(std::string content) {
    Line line;
    line.content = std::move(content);
    line.ending = "\r\n";
    Classify(line);
    return line;
}

std::string Serialize(const std::vector<Line>& lines) {
    std::string out;
    for (const auto& l : lines) out += l.content + l.ending;
    return out;
}

std::vector<Range> SectionsNamed(const std::vector<Line>& lines, std::string_view name) {
    std::vector<Range> found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != LineKind::Section || !text::EqualsBytes(lines[i].name, name)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && lines[end].kind != LineKind::Section) ++end;
        found.push_back({i, end});
    }
    return found;
}

std::string Unquote(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace corvane::profile
