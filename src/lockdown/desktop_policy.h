#pragma once

#include <cstdint>
#include <functional>
#include <memory>
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
    // Whether writing the option changes anything on this machine: one of its
    // switches belongs to a desktop whose tools are installed.
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

// Starts a command from its argument list (never through a shell).
using CommandRunner = std::function<void(const std::vector<std::string>& argv)>;

// What the policy asks of the machine; an empty member takes the real one.
struct DesktopTools {
    // The real runner starts nothing while CORVANE_TEST is set.
    CommandRunner run;
    // Whether a program of that name is on the PATH.
    std::function<bool(const std::string& program)> programFound;
    // Whether the GSettings schema is installed (a SCHEMA.gschema.xml in a
    // glib-2.0/schemas folder of $XDG_DATA_DIRS) and declares the key.
    std::function<bool(const std::string& schema, const std::string& key)> schemaHasKey;
};

// On GNOME "gsettings set SCHEMA KEY VALUE" when an option is switched on and
// "gsettings reset SCHEMA KEY" when it is switched off, for each switch whose
// schema and key are installed, when gsettings is on the PATH. On KDE Plasma
// "kwriteconfig6 --file kdeglobals --group GROUP --key KEY VALUE" and
// "... --key KEY --delete" (kwriteconfig5 where 6 is missing).
std::unique_ptr<DesktopPolicy> MakeDesktopPolicy(DesktopTools tools = {});

// The policy in use; SetDesktopPolicy(nullptr) restores the real one.
// Returns the policy installed before.
DesktopPolicy& CurrentDesktopPolicy();
std::shared_ptr<DesktopPolicy> SetDesktopPolicy(std::shared_ptr<DesktopPolicy> policy);

}  // namespace corvane
