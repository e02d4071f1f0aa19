#include "platform/system/desktop_opener.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QMimeDatabase>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

#include "platform/core/environment.h"
#include "platform/core/text.h"
#include "platform/system/process_spawn.h"

namespace corvane {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = std::min(text.find(separator, start), text.size());
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string ApplicationsFolder(const std::string& dataDir) { return dataDir + "/applications"; }

bool ValidUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUtf8() ==
           QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string_view SkipBlanks(std::string_view line) {
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) line.remove_prefix(1);
    return line;
}

// "[name]" with only spaces or tabs after it; no brackets or control
// characters inside.
std::optional<std::string> GroupName(std::string_view line) {
    if (line.empty() || line.front() != '[') return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    for (const char c : line.substr(close + 1))
        if (c != ' ' && c != '\t') return std::nullopt;
    const std::string_view name = line.substr(1, close - 1);
    if (name.empty()) return std::nullopt;
    for (const char c : name)
        if (c == '[' || std::iscntrl(static_cast<unsigned char>(c))) return std::nullopt;
    return std::string(name);
}

// A key: no '=', '[' or ']' except one trailing "[locale]", no space at
// either end.
bool KeyName(std::string_view key) {
    const auto plain = key.find_first_of("=[]");
    const std::string_view base = key.substr(0, plain);
    if (base.empty() || base.front() == ' ' || base.back() == ' ') return false;
    if (plain == std::string_view::npos) return true;
    if (key[plain] != '[' || key.back() != ']' || key.size() - plain < 3) return false;
    for (const char c : key.substr(plain + 1, key.size() - plain - 2))
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.' && c != '@' &&
            static_cast<unsigned char>(c) < 0x80)
            return false;
    return true;
}

KeyFile ReadKeyFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseKeyFile(text).value_or(KeyFile{});
}

// A string value's escapes (\s \n \t \r \\) undone.
std::string Unescape(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        out += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
    }
    return out;
}

std::optional<std::string> FindProgram(const std::string& name, const DesktopPlaces& places) {
    if (name.empty()) return std::nullopt;
    if (name.find('/') != std::string::npos) {
        // Only a full path means one file whatever the working folder.
        if (name.front() == '/' && IsExecutableFile(name)) return name;
        return std::nullopt;
    }
    for (const auto& dir : places.path) {
        if (dir.empty() || dir.front() != '/') continue;
        const std::string candidate = dir + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
    }
    return std::nullopt;
}

// A desktop file id names applications/<id>, or a file in a subfolder with
// "-" for the folder's slash.
std::optional<std::string> FindDesktopFile(const std::string& id, const DesktopPlaces& places) {
    if (id.empty() || id.find('/') != std::string::npos || id.find("..") != std::string::npos)
        return std::nullopt;
    for (const auto& dir : places.dataDirs) {
        std::string relative = id;
        for (std::size_t dash = 0;; ++dash) {
            const std::string candidate = ApplicationsFolder(dir) + "/" + relative;
            struct stat st {};
            if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return candidate;
            dash = relative.find('-', dash);
            if (dash == std::string::npos) break;
            relative[dash] = '/';
        }
    }
    return std::nullopt;
}

// The command an installed application runs for the target, or empty.
std::vector<std::string> CommandOf(const std::string& id, const std::string& target,
                                   const DesktopPlaces& places) {
    const auto file = FindDesktopFile(id, places);
    if (!file) return {};
    const KeyFile entry = ReadKeyFile(*file);
    const auto group = entry.find("Desktop Entry");
    if (group == entry.end()) return {};
    const auto& keys = group->second;
    const auto value = [&](const char* key) {
        const auto found = keys.find(key);
        return found == keys.end() ? std::string() : found->second;
    };
    if (value("Hidden") == "true") return {};
    if (!value("Type").empty() && value("Type") != "Application") return {};
    if (!value("TryExec").empty() && !FindProgram(Unescape(value("TryExec")), places)) return {};
    std::vector<std::string> argv = ExpandExecLine(Unescape(value("Exec")), target);
    if (argv.empty()) return {};
    const auto program = FindProgram(argv.front(), places);
    if (!program) return {};
    argv.front() = *program;
    return argv;
}

// The association lists in the order they count: the desktop's own list
// before the common one in each config folder, then in each data folder's
// applications, then the older defaults.list there.
std::vector<KeyFile> AssociationLists(const DesktopPlaces& places) {
    std::vector<KeyFile> lists;
    for (const auto& path : AssociationListPaths(places)) lists.push_back(ReadKeyFile(path));
    return lists;
}

std::vector<std::string> Listed(const KeyFile& list, const char* group, const std::string& type) {
    const auto g = list.find(group);
    if (g == list.end()) return {};
    const auto entry = g->second.find(type);
    return entry == g->second.end() ? std::vector<std::string>{} : Split(entry->second, ';');
}

}  // namespace

std::vector<std::string> AssociationListPaths(const DesktopPlaces& places) {
    std::vector<std::string> paths;
    const auto add = [&](const std::string& dir) {
        for (const auto& desktop : places.desktops) paths.push_back(dir + "/" + desktop + "-mimeapps.list");
        paths.push_back(dir + "/mimeapps.list");
    };
    for (const auto& dir : places.configDirs) add(dir);
    for (const auto& dir : places.dataDirs) add(ApplicationsFolder(dir));
    for (const auto& dir : places.dataDirs) paths.push_back(ApplicationsFolder(dir) + "/defaults.list");
    return paths;
}

std::vector<std::string> OpenerReadPlaces(const DesktopPlaces& places) {
    std::vector<std::string> read;
    for (const auto& dir : places.configDirs)
        for (const auto& path : AssociationListPaths(DesktopPlaces{{dir}, {}, places.desktops, {}}))
            read.push_back(path);
    // Each applications folder whole: its lists, its cache and every entry in it or below.
    for (const auto& dir : places.dataDirs) read.push_back(ApplicationsFolder(dir));
    // The MIME database a document's type comes from (QMimeDatabase reads each data folder's).
    for (const auto& dir : places.dataDirs) read.push_back(dir + "/mime");
    return read;
}

std::vector<std::string> AutostartEntryPaths(const DesktopPlaces& places) {
    std::vector<std::string> paths;
    for (const auto& dir : places.configDirs) paths.push_back(dir + "/autostart/corvane.desktop");
    return paths;
}

std::optional<KeyFile> ParseKeyFile(std::string_view text) {
    if (!ValidUtf8(text)) return std::nullopt;
    KeyFile groups;
    std::optional<std::string> group;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = SkipBlanks(line);
        if (line.empty() || line.front() == '#') continue;
        if (auto name = GroupName(line)) {
            group = std::move(*name);
            groups[*group];
            continue;
        }
        // Anything else must be a key of a group: a page's markup around
        // key lines makes the whole file unreadable.
        const auto equals = line.find('=');
        if (!group || equals == std::string_view::npos) return std::nullopt;
        std::string_view key = line.substr(0, equals);
        while (!key.empty() && std::isspace(static_cast<unsigned char>(key.back()))) key.remove_suffix(1);
        if (!KeyName(key)) return std::nullopt;
        // The first of a repeated key counts.
        groups[*group].emplace(std::string(key), std::string(text::TrimSpaces(line.substr(equals + 1))));
    }
    return groups;
}

DesktopPlaces DesktopPlaces::FromEnvironment() {
    const auto variable = [](const char* name, const std::string& fallback) {
        const std::string value = environment::Variable(name);
        return value.empty() ? fallback : value;
    };
    const std::string home = environment::Variable("HOME");
    DesktopPlaces places;
    places.configDirs.push_back(variable("XDG_CONFIG_HOME", home + "/.config"));
    for (auto& dir : Split(variable("XDG_CONFIG_DIRS", "/etc/xdg"), ':')) places.configDirs.push_back(std::move(dir));
    places.dataDirs.push_back(variable("XDG_DATA_HOME", home + "/.local/share"));
    for (auto& dir : Split(variable("XDG_DATA_DIRS", "/usr/local/share:/usr/share"), ':'))
        places.dataDirs.push_back(std::move(dir));
    for (const auto& desktop : Split(environment::Variable("XDG_CURRENT_DESKTOP"), ':'))
        places.desktops.push_back(Lower(desktop));
    places.path = Split(environment::Variable("PATH"), ':');
    return places;
}

std::vector<std::string> DocumentTypes(const std::string& target) {
    if (target.empty()) return {};
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromStdString(target));
        if (!type.isValid()) return {};
        std::vector<std::string> types{type.name().toStdString()};
        // Any file is a stream of bytes: no reason to hand it to whatever opens those.
        for (const auto& parent : type.allAncestors())
            if (parent != QLatin1String("application/octet-stream")) types.push_back(parent.toStdString());
        return types;
    }
    const auto colon = target.find(':');
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(target.front())))
        return {};
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = target[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return {};
    }
    return {"x-scheme-handler/" + Lower(target.substr(0, colon))};
}

std::vector<std::string> ResolveDesktopCommand(const std::string& target,
                                               const std::vector<std::string>& types,
                                               const DesktopPlaces& places) {
    const std::vector<KeyFile> lists = AssociationLists(places);
    for (const auto& type : types) {
        for (const auto& list : lists)
            for (const auto& id : Listed(list, "Default Applications", type))
                if (auto argv = CommandOf(id, target, places); !argv.empty()) return argv;
        std::vector<std::string> removed;
        for (const auto& list : lists)
            for (auto& id : Listed(list, "Removed Associations", type)) removed.push_back(std::move(id));
        std::vector<std::string> others;
        for (const auto& list : lists)
            for (auto& id : Listed(list, "Added Associations", type)) others.push_back(std::move(id));
        for (const auto& dir : places.dataDirs)
            for (auto& id : Listed(ReadKeyFile(ApplicationsFolder(dir) + "/mimeinfo.cache"), "MIME Cache", type))
                others.push_back(std::move(id));
        for (const auto& id : others) {
            if (std::find(removed.begin(), removed.end(), id) != removed.end()) continue;
            if (auto argv = CommandOf(id, target, places); !argv.empty()) return argv;
        }
    }
    return {};
}

std::vector<std::string> ExpandExecLine(const std::string& exec, const std::string& target) {
    std::vector<std::string> argv;
    bool targetPlaced = false;
    bool targetInProgram = false;
    std::string current;
    bool inWord = false;
    bool quoted = false;
    bool dropWord = false;  // the word was only a field code that adds nothing
    const auto endWord = [&] {
        if (inWord && !dropWord) argv.push_back(std::move(current));
        current.clear();
        inWord = false;
        dropWord = false;
    };
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < exec.size()) {
                current += exec[++i];
            } else {
                current += c;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            endWord();
        } else if (c == '%') {
            if (i + 1 == exec.size()) return {};
            const char code = exec[++i];
            if (code == '%') {
                current += '%';
                inWord = true;
            } else if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
                current += target;
                inWord = true;
                targetPlaced = true;
                if (argv.empty()) targetInProgram = true;
            } else if (std::string_view("ickdDnNvm").find(code) != std::string_view::npos) {
                if (!inWord) dropWord = true;
                inWord = true;
            } else {
                return {};
            }
        } else {
            if (dropWord) dropWord = false;
            current += c;
            inWord = true;
        }
    }
    if (quoted) return {};
    endWord();
    // The program itself never comes from the target.
    if (argv.empty() || targetInProgram) return {};
    if (!targetPlaced) argv.push_back(target);
    return argv;
}

}  // namespace corvane
