#include "session/shell/start_up_with_windows.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/core/environment.h"
#include "platform/core/program_title.h"
#include "platform/settings/settings_store.h"

namespace corvane {
namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class XdgAutostartEntry : public AutostartEntry {
public:
    void Write(bool enabled, const std::string& programPath) override {
        if (!environment::Variable("CORVANE_TEST").empty()) return;
        std::string config = environment::Variable("XDG_CONFIG_HOME");
        if (config.empty()) {
            const std::string home = environment::Variable("HOME");
            if (home.empty()) return;
            config = home + "/.config";
        }
        const std::filesystem::path folder = std::filesystem::path(config) / "autostart";
        const std::filesystem::path file = folder / "corvane.desktop";
        std::error_code ec;
        if (!enabled && !std::filesystem::exists(file, ec)) return;
        std::filesystem::create_directories(folder, ec);
        std::ostringstream text;
        text << "[Desktop Entry]\nType=Application\nName=Corvane Standard\n"
             << "Exec=\"" << programPath << "\"\n"
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
