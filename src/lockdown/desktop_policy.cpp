#include "lockdown/desktop_policy.h"

#include <unistd.h>

#include <array>
#include <filesystem>
#include <sstream>

#include "lockdown/lockdown_options.h"
#include "platform/core/environment.h"
#include "platform/system/process_spawn.h"

namespace corvane {
namespace {

struct MappedSwitch {
    std::int32_t option;
    DesktopSwitch desktopSwitch;
};

constexpr std::array<MappedSwitch, 6> kSwitches = {{
    {kNoRun, {"org.gnome.desktop.lockdown", "disable-command-line", "true"}},
    {kNoLogoff, {"org.gnome.desktop.lockdown", "disable-log-out", "true"}},
    {kDisableLockWorkstation, {"org.gnome.desktop.lockdown", "disable-lock-screen", "true"}},
    {kDisableChangePassword, {"org.gnome.desktop.lockdown", "user-administration-disabled", "true"}},
    {kNoDriveTypeAutoRun, {"org.gnome.desktop.media-handling", "autorun-never", "true"}},
    {kNoRecentDocsMenu, {"org.gnome.desktop.privacy", "remember-recent-files", "false"}},
}};

std::vector<std::string> SearchList(const std::string& list, const char* fallback) {
    std::vector<std::string> folders;
    std::stringstream in(list.empty() ? std::string(fallback) : list);
    for (std::string folder; std::getline(in, folder, ':');)
        if (!folder.empty()) folders.push_back(folder);
    return folders;
}

bool GsettingsOnPath() {
    for (const auto& folder : SearchList(environment::Variable("PATH"), "/usr/local/bin:/usr/bin:/bin"))
        if (::access((folder + "/gsettings").c_str(), X_OK) == 0) return true;
    return false;
}

bool SchemaInstalled(const std::string& schema) {
    std::error_code ec;
    for (const auto& folder : SearchList(environment::Variable("XDG_DATA_DIRS"), "/usr/local/share:/usr/share"))
        if (std::filesystem::exists(folder + "/glib-2.0/schemas/" + schema + ".gschema.xml", ec)) return true;
    return false;
}

void StartCommand(const std::vector<std::string>& argv) {
    // Tests never change the desktop of the machine they run on.
    if (!environment::Variable("CORVANE_TEST").empty()) return;
    SpawnProcess(argv);
}

class GsettingsDesktopPolicy final : public DesktopPolicy {
public:
    GsettingsDesktopPolicy(CommandRunner runner, SchemaCheck schemaInstalled, std::function<bool()> programFound)
        : runner_(runner ? std::move(runner) : CommandRunner(StartCommand)),
          schemaInstalled_(schemaInstalled ? std::move(schemaInstalled) : SchemaCheck(SchemaInstalled)),
          programFound_(programFound ? std::move(programFound) : std::function<bool()>(GsettingsOnPath)) {}

    void OptionWritten(std::int32_t option, bool on) override {
        const DesktopSwitch* target = DesktopSwitchFor(option);
        if (!target || !programFound_() || !schemaInstalled_(target->schema)) return;
        if (on) runner_({"gsettings", "set", target->schema, target->key, target->lockingValue});
        else runner_({"gsettings", "reset", target->schema, target->key});
    }

private:
    CommandRunner runner_;
    SchemaCheck schemaInstalled_;
    std::function<bool()> programFound_;
};

std::shared_ptr<DesktopPolicy>& Current() {
    static std::shared_ptr<DesktopPolicy> current;
    return current;
}

}  // namespace

const DesktopSwitch* DesktopSwitchFor(std::int32_t option) {
    for (const auto& mapped : kSwitches)
        if (mapped.option == option) return &mapped.desktopSwitch;
    return nullptr;
}

std::unique_ptr<DesktopPolicy> MakeGsettingsDesktopPolicy(CommandRunner runner, SchemaCheck schemaInstalled,
                                                          std::function<bool()> programFound) {
    return std::make_unique<GsettingsDesktopPolicy>(std::move(runner), std::move(schemaInstalled),
                                                    std::move(programFound));
}

DesktopPolicy& CurrentDesktopPolicy() {
    if (!Current()) Current() = MakeGsettingsDesktopPolicy();
    return *Current();
}

std::shared_ptr<DesktopPolicy> SetDesktopPolicy(std::shared_ptr<DesktopPolicy> policy) {
    auto previous = std::move(Current());
    Current() = std::move(policy);
    return previous;
}

}  // namespace corvane
