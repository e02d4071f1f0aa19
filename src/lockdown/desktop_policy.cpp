#include "lockdown/desktop_policy.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <sstream>

#include "lockdown/lockdown_options.h"
#include "platform/core/environment.h"
#include "platform/system/process_spawn.h"

namespace corvane {
namespace {

constexpr DesktopKind kGnome = DesktopKind::kGnome;
constexpr DesktopKind kKde = DesktopKind::kKde;
constexpr const char* kGnomeLockdown = "org.gnome.desktop.lockdown";
constexpr const char* kGnomeMedia = "org.gnome.desktop.media-handling";
constexpr const char* kKdeActions = "KDE Action Restrictions";

struct MappedSwitch {
    std::int32_t option;
    DesktopSwitch desktopSwitch;
};

// Sorted by option; an option's switches stand together. Only settings the
// desktops enforce themselves and that match the option's purpose are here.
constexpr std::array<MappedSwitch, 20> kSwitches = {{
    {kNoFolderOptions, {kKde, kKdeActions, "action/options_configure", "false"}},
    {kNoRecentDocsMenu, {kGnome, "org.gnome.desktop.privacy", "remember-recent-files", "false"}},
    {kNoRecentDocsMenu, {kKde, kKdeActions, "action/file_open_recent", "false"}},
    {kNoSetFolders, {kGnome, kGnomeLockdown, "disable-print-setup", "true"}},
    {kNoSetTaskbar, {kKde, kKdeActions, "plasma/plasmashell/unlockedDesktop", "false"}},
    {kNoRun, {kGnome, kGnomeLockdown, "disable-command-line", "true"}},
    {kNoRun, {kKde, kKdeActions, "run_command", "false"}},
    {kNoRun, {kKde, kKdeActions, "shell_access", "false"}},
    {kNoDrives, {kGnome, kGnomeMedia, "automount", "false"}},
    {kNoDrives, {kGnome, kGnomeLockdown, "mount-removable-storage-devices-as-read-only", "true"}},
    {kNoViewContextMenu, {kKde, kKdeActions, "action/properties", "false"}},
    {kNoLogoff, {kGnome, kGnomeLockdown, "disable-log-out", "true"}},
    {kNoLogoff, {kGnome, kGnomeLockdown, "disable-user-switching", "true"}},
    {kNoLogoff, {kKde, kKdeActions, "logout", "false"}},
    {kNoLogoff, {kKde, kKdeActions, "switch_user", "false"}},
    {kNoDriveTypeAutoRun, {kGnome, kGnomeMedia, "autorun-never", "true"}},
    {kNoDriveTypeAutoRun, {kGnome, kGnomeMedia, "automount-open", "false"}},
    {kDisableLockWorkstation, {kGnome, kGnomeLockdown, "disable-lock-screen", "true"}},
    {kDisableLockWorkstation, {kKde, kKdeActions, "lock_screen", "false"}},
    {kDisableChangePassword, {kGnome, kGnomeLockdown, "user-administration-disabled", "true"}},
}};

static_assert(std::is_sorted(kSwitches.begin(), kSwitches.end(),
                             [](const MappedSwitch& a, const MappedSwitch& b) { return a.option < b.option; }));

// The switches in option order, so that an option's run is one span.
constexpr std::array<DesktopSwitch, kSwitches.size()> kSwitchList = [] {
    std::array<DesktopSwitch, kSwitches.size()> list{};
    for (std::size_t i = 0; i < kSwitches.size(); ++i) list[i] = kSwitches[i].desktopSwitch;
    return list;
}();

std::vector<std::string> SearchList(const std::string& list, const char* fallback) {
    std::vector<std::string> folders;
    std::stringstream in(list.empty() ? std::string(fallback) : list);
    for (std::string folder; std::getline(in, folder, ':');)
        if (!folder.empty()) folders.push_back(folder);
    return folders;
}

bool ProgramOnPath(const std::string& program) {
    for (const auto& folder : SearchList(environment::Variable("PATH"), "/usr/local/bin:/usr/bin:/bin"))
        if (::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    return false;
}

bool SchemaHasKey(const std::string& schema, const std::string& key) {
    const std::string declaration = "<key name=\"" + key + "\"";
    for (const auto& folder : SearchList(environment::Variable("XDG_DATA_DIRS"), "/usr/local/share:/usr/share")) {
        std::ifstream file(folder + "/glib-2.0/schemas/" + schema + ".gschema.xml");
        if (!file) continue;
        const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        if (text.find(declaration) != std::string::npos) return true;
    }
    return false;
}

void StartCommand(const std::vector<std::string>& argv) {
    // Tests never change the desktop of the machine they run on.
    if (!environment::Variable("CORVANE_TEST").empty()) return;
    SpawnProcess(argv);
}

class RealDesktopPolicy final : public DesktopPolicy {
public:
    explicit RealDesktopPolicy(DesktopTools tools) : tools_(std::move(tools)) {
        if (!tools_.run) tools_.run = StartCommand;
        if (!tools_.programFound) tools_.programFound = ProgramOnPath;
        if (!tools_.schemaHasKey) tools_.schemaHasKey = SchemaHasKey;
    }

    void OptionWritten(std::int32_t option, bool on) override {
        for (const DesktopSwitch& target : DesktopSwitchesFor(option)) {
            if (target.desktop == kGnome) {
                if (!Available(target)) continue;
                if (on) tools_.run({"gsettings", "set", target.group, target.key, target.lockingValue});
                else tools_.run({"gsettings", "reset", target.group, target.key});
            } else {
                const std::string writer = KdeWriter();
                if (writer.empty()) continue;
                std::vector<std::string> argv = {writer, "--file", "kdeglobals", "--group", target.group,
                                                 "--key", target.key};
                argv.emplace_back(on ? target.lockingValue : "--delete");
                tools_.run(argv);
            }
        }
    }

    bool HasEffect(std::int32_t option) override {
        const auto switches = DesktopSwitchesFor(option);
        return std::any_of(switches.begin(), switches.end(), [this](const DesktopSwitch& s) { return Available(s); });
    }

private:
    bool Available(const DesktopSwitch& target) {
        if (target.desktop == kKde) return !KdeWriter().empty();
        return tools_.programFound("gsettings") && tools_.schemaHasKey(target.group, target.key);
    }

    // Plasma 6's writer where it is installed, else Plasma 5's; "" for neither.
    std::string KdeWriter() {
        for (const char* writer : {"kwriteconfig6", "kwriteconfig5"})
            if (tools_.programFound(writer)) return writer;
        return {};
    }

    DesktopTools tools_;
};

std::shared_ptr<DesktopPolicy>& Current() {
    static std::shared_ptr<DesktopPolicy> current;
    return current;
}

}  // namespace

std::span<const DesktopSwitch> DesktopSwitchesFor(std::int32_t option) {
    const auto [first, last] = std::equal_range(kSwitches.begin(), kSwitches.end(), MappedSwitch{option, {}},
                                                [](const MappedSwitch& a, const MappedSwitch& b) {
                                                    return a.option < b.option;
                                                });
    return std::span<const DesktopSwitch>(kSwitchList.data() + (first - kSwitches.begin()),
                                          static_cast<std::size_t>(last - first));
}

std::unique_ptr<DesktopPolicy> MakeDesktopPolicy(DesktopTools tools) {
    return std::make_unique<RealDesktopPolicy>(std::move(tools));
}

DesktopPolicy& CurrentDesktopPolicy() {
    if (!Current()) Current() = MakeDesktopPolicy();
    return *Current();
}

std::shared_ptr<DesktopPolicy> SetDesktopPolicy(std::shared_ptr<DesktopPolicy> policy) {
    auto previous = std::move(Current());
    Current() = std::move(policy);
    return previous;
}

}  // namespace corvane
