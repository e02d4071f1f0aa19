#include "lockdown/desktop_policy.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <array>
#include <fstream>
#include <iterator>
#include <sstream>

#include "lockdown/lockdown_option.h"
#include "lockdown/lockdown_store.h"
#include "platform/core/environment.h"

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
constexpr std::array<MappedSwitch, 21> kSwitches = {{
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
    {kNoLogoff, {kKde, kKdeActions, "action/switch_user", "false"}},
    {kNoLogoff, {kKde, kKdeActions, "action/start_new_session", "false"}},
    {kNoDriveTypeAutoRun, {kGnome, kGnomeMedia, "autorun-never", "true"}},
    {kNoDriveTypeAutoRun, {kGnome, kGnomeMedia, "automount-open", "false"}},
    {kDisableLockWorkstation, {kGnome, kGnomeLockdown, "disable-lock-screen", "true"}},
    {kDisableLockWorkstation, {kKde, kKdeActions, "action/lock_screen", "false"}},
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

extern "C" char** environ;

// Starts the command with its standard output on `out` (-1: nowhere) and its
// errors nowhere; the process id, 0 when it could not start.
pid_t StartCommand(const std::vector<std::string>& argv, int out) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out >= 0) posix_spawn_file_actions_adddup2(&actions, out, 1);
    else posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : 0;
}

// Waits for the command's end; whether it succeeded.
bool Succeeded(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Tests never change the desktop of the machine they run on.
bool Guarded(const std::vector<std::string>& argv) {
    return !environment::Variable("CORVANE_TEST").empty() || argv.empty();
}

std::optional<std::string> ReadCommand(const std::vector<std::string>& argv) {
    if (Guarded(argv)) return std::nullopt;
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return std::nullopt;
    const pid_t pid = StartCommand(argv, out[1]);
    ::close(out[1]);
    std::string text;
    if (pid != 0) {
        char buffer[512];
        for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) != 0;) {
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) break;
            text.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(out[0]);
    if (pid == 0 || !Succeeded(pid)) return std::nullopt;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

// Each change has landed before the next command reads the key: a reset
// still running when the read starts would undo the value set after it.
void RunCommand(const std::vector<std::string>& argv) {
    if (Guarded(argv)) return;
    if (const pid_t pid = StartCommand(argv, -1)) Succeeded(pid);
}

constexpr const char* kKeptSection = "Desktop Values";
// What the kept text says: "=" and the value found, or that the key was absent.
constexpr char kFoundPrefix = '=';
constexpr const char* kWasAbsent = "-";
// What kreadconfig prints for a key that is not there.
constexpr const char* kAbsentMark = "\x1f(absent)";

class RealDesktopPolicy final : public DesktopPolicy {
public:
    explicit RealDesktopPolicy(DesktopTools tools) : tools_(std::move(tools)) {
        if (!tools_.run) tools_.run = RunCommand;
        if (!tools_.read) tools_.read = ReadCommand;
        if (!tools_.programFound) tools_.programFound = ProgramOnPath;
        if (!tools_.schemaHasKey) tools_.schemaHasKey = SchemaHasKey;
        if (!tools_.sessionVariable) tools_.sessionVariable = [](const std::string& name) { return environment::Variable(name.c_str()); };
        if (!tools_.kept)
            tools_.kept = [](const std::string& name) {
                return CurrentLockdownStore().GetMachineValue(kKeptSection, name, "");
            };
        if (!tools_.keep)
            tools_.keep = [](const std::string& name, const std::string& text) {
                CurrentLockdownStore().SaveMachineValue(kKeptSection, name, text);
            };
    }

    void OptionWritten(std::int32_t option, bool on) override {
        for (const DesktopSwitch& target : DesktopSwitchesFor(option)) {
            if (!Available(target)) continue;
            if (on) Lock(target);
            else Restore(target);
        }
    }

    bool HasEffect(std::int32_t option) override {
        const auto running = RunningDesktop(tools_.sessionVariable);
        if (!running) return false;
        const auto switches = DesktopSwitchesFor(option);
        return std::any_of(switches.begin(), switches.end(),
                           [&](const DesktopSwitch& s) { return s.desktop == *running && Available(s); });
    }

private:
    static std::string KeptName(const DesktopSwitch& target) {
        return std::string(target.desktop == kGnome ? "gsettings " : "kdeglobals ") + target.group + " " + target.key;
    }

    void Lock(const DesktopSwitch& target) {
        const std::string name = KeptName(target);
        // Only the first change keeps: later the key holds the program's own value.
        if (tools_.kept(name).empty()) {
            const auto found = Read(target);
            tools_.keep(name, found ? kFoundPrefix + *found : std::string(kWasAbsent));
        }
        Write(target, target.lockingValue);
    }

    void Restore(const DesktopSwitch& target) {
        const std::string name = KeptName(target);
        const std::string kept = tools_.kept(name);
        // A key the program never changed is the site's own: left alone.
        if (kept.empty()) return;
        const bool absent = kept.front() != kFoundPrefix;
        const std::string value = absent ? std::string() : kept.substr(1);
        if (target.desktop == kGnome) {
            // GSettings cannot tell a default from a value set to it: the reset
            // brings back the key's absence, and a value that differs from what
            // then reads is set again.
            tools_.run({"gsettings", "reset", target.group, target.key});
            if (!absent && Read(target) != value) Write(target, value);
        } else if (absent) {
            Write(target, {});
        } else {
            Write(target, value);
        }
        tools_.keep(name, "");
    }

    // The key's value, or nothing when it is absent (KDE) or cannot be read.
    std::optional<std::string> Read(const DesktopSwitch& target) {
        if (target.desktop == kGnome) return tools_.read({"gsettings", "get", target.group, target.key});
        std::string reader = KdeWriter();
        reader.replace(1, 5, "read");
        const auto text = tools_.read({reader, "--file", "kdeglobals", "--group", target.group, "--key",
                                       target.key, "--default", kAbsentMark});
        if (!text || *text == kAbsentMark) return std::nullopt;
        return text;
    }

    // Writes the value; for KDE an empty value deletes the key.
    void Write(const DesktopSwitch& target, const std::string& value) {
        if (target.desktop == kGnome) {
            tools_.run({"gsettings", "set", target.group, target.key, value});
            return;
        }
        tools_.run({KdeWriter(), "--file", "kdeglobals", "--group", target.group, "--key", target.key,
                    value.empty() ? std::string("--delete") : value});
    }

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

std::optional<DesktopKind> RunningDesktop(const std::function<std::string(const std::string&)>& variable) {
    std::stringstream declared(variable("XDG_CURRENT_DESKTOP"));
    for (std::string name; std::getline(declared, name, ':');) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
        if (name == "GNOME" || name.starts_with("GNOME-")) return kGnome;
        if (name == "KDE") return kKde;
    }
    if (!declared.str().empty()) return std::nullopt;
    if (variable("KDE_FULL_SESSION") == "true") return kKde;
    if (!variable("GNOME_DESKTOP_SESSION_ID").empty()) return kGnome;
    return std::nullopt;
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
