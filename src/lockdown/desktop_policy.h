#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

// The user's desktop, where it has a real switch for a lockdown option. Every
// option write that took is passed on here; the registry values stay the
// record the windows read.
class DesktopPolicy {
public:
    virtual ~DesktopPolicy() = default;
    virtual void OptionWritten(std::int32_t option, bool on) = 0;
};

// One desktop switch: a GSettings schema and key, and the value that locks.
struct DesktopSwitch {
    const char* schema;
    const char* key;
    const char* lockingValue;
};

// The switch an option maps to; null for an option the desktop has none for.
const DesktopSwitch* DesktopSwitchFor(std::int32_t option);

// Starts a command from its argument list (never through a shell).
using CommandRunner = std::function<void(const std::vector<std::string>& argv)>;
// Whether the named GSettings schema is installed.
using SchemaCheck = std::function<bool(const std::string& schema)>;

// Sets the switch through "gsettings set SCHEMA KEY VALUE" when an option is
// switched on and "gsettings reset SCHEMA KEY" when it is switched off, when
// gsettings is on the PATH and the schema is installed. The defaults start
// the real program and look in $XDG_DATA_DIRS/glib-2.0/schemas; the real
// runner starts nothing while CORVANE_TEST is set.
std::unique_ptr<DesktopPolicy> MakeGsettingsDesktopPolicy(CommandRunner runner = {}, SchemaCheck schemaInstalled = {},
                                                          std::function<bool()> programFound = {});

// The policy in use; SetDesktopPolicy(nullptr) restores the gsettings one.
// Returns the policy installed before.
DesktopPolicy& CurrentDesktopPolicy();
std::shared_ptr<DesktopPolicy> SetDesktopPolicy(std::shared_ptr<DesktopPolicy> policy);

}  // namespace corvane
