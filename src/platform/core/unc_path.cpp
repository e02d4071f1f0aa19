#include "platform/core/unc_path.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "platform/core/text.h"

namespace corvane {
namespace {

// The mount table writes blanks and backslashes in names as octal escapes.
std::string Unescape(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            field.substr(i + 1, 3).find_first_not_of("01234567") == std::string_view::npos) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string> Fields(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> fields;
    for (std::string f; in >> f;) fields.push_back(f);
    return fields;
}

bool IsUnc(std::string_view path) { return path.size() > 2 && path.substr(0, 2) == "\\\\"; }

}  // namespace

std::string MountedFolderOf(std::string_view uncPath, std::string_view mountTable) {
    if (!IsUnc(uncPath)) return {};
    // "\\srv\share" and what follows it.
    const std::size_t serverEnd = uncPath.find('\\', 2);
    if (serverEnd == std::string_view::npos) return {};
    const std::size_t shareEnd = uncPath.find('\\', serverEnd + 1);
    std::string source = "//" + std::string(uncPath.substr(2, serverEnd - 2)) + "/" +
                         std::string(uncPath.substr(serverEnd + 1, shareEnd == std::string_view::npos
                                                                       ? std::string_view::npos
                                                                       : shareEnd - serverEnd - 1));
    std::string rest = shareEnd == std::string_view::npos ? "" : std::string(uncPath.substr(shareEnd));
    for (char& c : rest)
        if (c == '\\') c = '/';
    std::istringstream lines{std::string(mountTable)};
    for (std::string line; std::getline(lines, line);) {
        const auto fields = Fields(line);
        std::size_t dash = 0;
        while (dash < fields.size() && fields[dash] != "-") ++dash;
        if (dash < 5 || dash + 2 >= fields.size()) continue;
        const std::string& type = fields[dash + 1];
        if (type != "cifs" && type != "smb3") continue;
        std::string mounted = Unescape(fields[dash + 2]);
        while (mounted.size() > 2 && mounted.back() == '/') mounted.pop_back();
        if (!text::Equals(mounted, source)) continue;
        // A mount of a folder inside the share ("root" other than "/") is not the share.
        if (fields[3] != "/") continue;
        return Unescape(fields[4]) + rest;
    }
    return {};
}

std::string ResolveUncPath(const std::string& path) {
    if (!IsUnc(path)) return path;
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream table;
    table << in.rdbuf();
    const std::string folder = MountedFolderOf(path, table.str());
    return folder.empty() ? path : folder;
}

}  // namespace corvane
