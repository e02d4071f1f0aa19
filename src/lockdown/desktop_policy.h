#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvane {

// The user's desktop, where it has a real switch for a lockdown option. Every
// option write that took is passed on here (option 11 for the drive mask, on
// while any drive is hidden); the registry values stay the record the windows
// read.
class DesktopPolicy {
public:
    virtual ~DesktopPolicy() = default;
    virtual void OptionWritten(std::int32_t option, bool on) = 0;
    // Whether writing the option changes anything on the desktop that runs
    // this session: one of its switches belongs to that desktop, and that
    // desktop's tool and key are installed.
    virtual bool HasEffect(std::int32_t option) = 0;
};

enum class DesktopKind {
    kGnome,  // GSettings: group is the schema
    kKde,    // KDE Plasma: group is a group of the user's kdeglobals
};

// One desktop switch and the value that locks.
struct DesktopSwitch {
    DesktopKind desktop;
    const char* group;
    const char* key;
    const char* lockingValue;
};

// The switches an option maps to, GNOME's first; empty for an option no
// desktop has one for.
std::span<const DesktopSwitch> DesktopSwitchesFor(std::int32_t option);

// Runs a command from its argument list to its end (never through a shell).
using CommandRunner = std::function<void(const std::vector<std::string>& argv)>;
// Runs a command to its end (never through a shell); what it printed on
// standard output, or nothing when it could not run or failed.
using CommandReader = std::function<std::optional<std::string>(const std::vector<std::string>& argv)>;

// What the policy asks of the machine; an empty member takes the real one.
struct DesktopTools {
    // The real runner and reader start nothing while CORVANE_TEST is set.
    CommandRunner run;
    CommandReader read;
    // Whether a program of that name is on the PATH.
    std::function<bool(const std::string& program)> programFound;
    // Whether the GSettings schema is installed (a SCHEMA.gschema.xml in a
    // glib-2.0/schemas folder of $XDG_DATA_DIRS) and declares the key.
    std::function<bool(const std::string& schema, const std::string& key)> schemaHasKey;
    // A variable of the session's environment (XDG_CURRENT_DESKTOP and the
    // desktops' own session variables).
    std::function<std::string(const std::string& name)> sessionVariable;
    // The value a desktop key held before the program first changed it, kept
    // under a name of the key; "" when nothing is kept. The real ones keep it
    // in the machine settings, section "Desktop Values".
    std::function<std::string(const std::string& name)> kept;
    std::function<void(const std::string& name, const std::string& text)> keep;
};

// The desktop that runs this session, as the session declares it: the first
// entry of XDG_CURRENT_DESKTOP naming GNOME or KDE, else KDE_FULL_SESSION or
// GNOME_DESKTOP_SESSION_ID; nothing for any other desktop (openbox, Xfce...).
std::optional<DesktopKind> RunningDesktop(const std::function<std::string(const std::string&)>& variable);

// Switching on: before the program first changes a key it keeps the value it
// found (GNOME "gsettings get", KDE "kreadconfig6/5" or that the key is
// absent), then on GNOME "gsettings set SCHEMA KEY VALUE", on KDE Plasma
// "kwriteconfig6 --file kdeglobals --group GROUP --key KEY VALUE"
// (kwriteconfig5 where 6 is missing), each where its tool and key are
// installed. Switching off touches only keys the program changed and puts
// back what it kept: GNOME "gsettings reset" and, when the key then reads
// otherwise, "gsettings set" with the kept value; KDE the kept value or
// "--delete" where the key was absent. Then the kept value is forgotten.
// Every command has ended before the next one starts.
std::unique_ptr<DesktopPolicy> MakeDesktopPolicy(DesktopTools tools = {});

// The policy in use; SetDesktopPolicy(nullptr) restores the real one.
// Returns the policy installed before.
DesktopPolicy& CurrentDesktopPolicy();
std::shared_ptr<DesktopPolicy> SetDesktopPolicy(std::shared_ptr<DesktopPolicy> policy);

}  // namespace corvane
