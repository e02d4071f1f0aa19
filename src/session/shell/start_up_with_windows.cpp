#include "session/shell/start_up_with_windows.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/core/environment.h"
#include "platform/core/program_title.h"
#include "platform/settings/settings_store.h"
#include "platform/system/desktop_opener.h"

namespace corvane {
namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The folders a start decides by, other than the program folder (always
// named, since without it the program's own folder would be used).
constexpr const char* kFolderVariables[] = {"CORVANE_REGISTRY_DIR", "CORVANE_STATE_DIR", "CORVANE_RUNTIME_DIR",
                                            "CORVANE_COMPUTER_NAME"};

std::string Absolute(const std::string& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

class XdgAutostartEntry : public AutostartEntry {
public:
    void Write(bool enabled, const std::string& programPath) override {
        if (!environment::Variable("CORVANE_TEST").empty()) return;
        if (environment::Variable("XDG_CONFIG_HOME").empty() && environment::Variable("HOME").empty()) return;
        const std::filesystem::path file = AutostartEntryPaths(DesktopPlaces::FromEnvironment()).front();
        const std::filesystem::path folder = file.parent_path();
        std::error_code ec;
        if (!enabled && !std::filesystem::exists(file, ec)) return;
        std::filesystem::create_directories(folder, ec);
        std::ostringstream text;
        text << "[Desktop Entry]\nType=Application\nName=Corvane Standard\n"
             << "Exec=" << EscapeKeyFileValue(DesktopExecLine(AutostartCommand(programPath))) << "\n"
             << "Hidden=" << (enabled ? "false" : "true") << "\n"
             << "X-GNOME-Autostart-enabled=" << (enabled ? "true" : "false") << "\n";
        std::ofstream(file, std::ios::trunc) << text.str();
    }
};

std::shared_ptr<AutostartEntry>& Entry() {
    static std::shared_ptr<AutostartEntry> entry = MakeXdgAutostartEntry();
    return entry;
}

}  // namespace

std::vector<std::string> AutostartCommand(const std::string& programPath) {
    std::vector<std::string> argv{"/usr/bin/env", "CORVANE_PROGRAM_DIR=" + Absolute(environment::ProgramFolder())};
    for (const char* name : kFolderVariables) {
        const std::string value = environment::Variable(name);
        if (value.empty()) continue;
        const bool folder = std::string_view(name).substr(std::string_view(name).size() - 4) == "_DIR";
        argv.push_back(std::string(name) + "=" + (folder ? Absolute(value) : value));
    }
    argv.push_back(programPath);
    return argv;
}

std::string DesktopExecLine(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& argument : argv) {
        if (!line.empty()) line += ' ';
        const bool quote =
            argument.empty() || argument.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string::npos;
        if (quote) line += '"';
        for (const char c : argument) {
            if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) line += '\\';
            line += c;
            // A field code's sign stands for itself doubled.
            if (c == '%') line += '%';
        }
        if (quote) line += '"';
    }
    return line;
}

std::string EscapeKeyFileValue(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\r') out += "\\r";
        else if (c == ' ' && i == 0) out += "\\s";
        else out += c;
    }
    return out;
}

std::unique_ptr<AutostartEntry> MakeXdgAutostartEntry() { return std::make_unique<XdgAutostartEntry>(); }

void SetAutostartEntry(std::shared_ptr<AutostartEntry> entry) {
    Entry() = entry ? std::move(entry) : std::shared_ptr<AutostartEntry>(MakeXdgAutostartEntry());
}

std::string ProgramPathName() {
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

void SetStartUpWithWindows(bool Enabled) {
    const std::string path = ProgramPathName();
    WriteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, kProgramTitle, Enabled ? path : std::string(), REG_SZ);
    Entry()->Write(Enabled, path);
}

}  // namespace corvane
