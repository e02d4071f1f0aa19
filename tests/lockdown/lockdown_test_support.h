#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "lockdown/desktop_policy.h"
#include "lockdown/lockdown_store.h"
#include "platform/settings/global_settings.h"
#include "support/temp_folder.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {

// Keeps the options in memory and records every write as "where\name=value"
// ("HKCU:key\name=hex" or "Security\name=text"); the value names in
// `refused` answer false and store nothing; `raising` throws.
class RecordingLockdownStore : public LockdownStore {
public:
    bool WritePolicyValue(std::string_view keyPath, std::string_view valueName, std::uint32_t value) override {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(value));
        return Write("HKCU:" + std::string(keyPath), std::string(valueName), hex);
    }
    std::string ReadPolicyValue(std::string_view keyPath, std::string_view valueName,
                                std::string_view defaultText) override {
        return Read("HKCU:" + std::string(keyPath), std::string(valueName), defaultText);
    }
    bool SaveMachineValue(std::string_view section, std::string_view valueName, std::string_view text) override {
        return Write(std::string(section), std::string(valueName), std::string(text));
    }
    std::string GetMachineValue(std::string_view section, std::string_view valueName,
                                std::string_view defaultText) override {
        return Read(std::string(section), std::string(valueName), defaultText);
    }

    std::vector<std::string> writes;  // in order, refused ones included
    std::map<std::pair<std::string, std::string>, std::string> values;
    std::set<std::string> refused;
    std::set<std::string> raising;

private:
    bool Write(const std::string& where, const std::string& name, const std::string& text) {
        writes.push_back(where + "\\" + name + "=" + text);
        if (raising.count(name)) throw std::runtime_error("store gone");
        if (refused.count(name)) return false;
        values[{where, name}] = text;
        return true;
    }
    std::string Read(const std::string& where, const std::string& name, std::string_view defaultText) const {
        const auto found = values.find({where, name});
        return found == values.end() ? std::string(defaultText) : found->second;
    }
};

// Records each option the desktop was told of; every option has an effect
// unless listed in noEffect.
class RecordingDesktopPolicy : public DesktopPolicy {
public:
    void OptionWritten(std::int32_t option, bool on) override { calls.emplace_back(option, on); }
    bool HasEffect(std::int32_t option) override { return !noEffect.contains(option); }
    std::vector<std::pair<std::int32_t, bool>> calls;
    std::set<std::int32_t> noEffect;
};

// A made-up machine as the real desktop policy sees it: the programs on its
// PATH, whether the GNOME schemas are installed (every key of them but
// missingKeys) and the session's variables (which desktop runs). The commands
// the policy would start are kept in `commands` (reads are not); the desktop
// keys they set live in `keys` ("gsettings SCHEMA KEY" or "kdeglobals KEY";
// a GNOME key never set reads "false"), the kept values in `kept`.
struct FakeDesktopMachine {
    std::set<std::string> programs;
    bool gnomeSchemas = true;
    std::set<std::string> missingKeys;
    std::map<std::string, std::string> session;
    std::vector<std::vector<std::string>> commands;
    std::map<std::string, std::string> keys;
    std::map<std::string, std::string> kept;

    std::unique_ptr<DesktopPolicy> Policy() {
        DesktopTools tools;
        tools.run = [this](const std::vector<std::string>& argv) {
            commands.push_back(argv);
            if (argv[0] == "gsettings") {
                const std::string name = "gsettings " + argv[2] + " " + argv[3];
                if (argv[1] == "set") keys[name] = argv[4];
                else keys.erase(name);
            } else {
                const std::string name = "kdeglobals " + argv[6];
                if (argv[7] == "--delete") keys.erase(name);
                else keys[name] = argv[7];
            }
        };
        tools.read = [this](const std::vector<std::string>& argv) -> std::optional<std::string> {
            if (argv[0] == "gsettings") {
                const auto found = keys.find("gsettings " + argv[2] + " " + argv[3]);
                return found == keys.end() ? std::string("false") : found->second;
            }
            const auto found = keys.find("kdeglobals " + argv[6]);
            return found == keys.end() ? argv[8] : found->second;
        };
        tools.programFound = [this](const std::string& program) { return programs.contains(program); };
        tools.schemaHasKey = [this](const std::string&, const std::string& key) {
            return gnomeSchemas && !missingKeys.contains(key);
        };
        tools.sessionVariable = [this](const std::string& name) {
            const auto found = session.find(name);
            return found == session.end() ? std::string() : found->second;
        };
        tools.kept = [this](const std::string& name) {
            const auto found = kept.find(name);
            return found == kept.end() ? std::string() : found->second;
        };
        tools.keep = [this](const std::string& name, const std::string& text) {
            if (text.empty()) kept.erase(name);
            else kept[name] = text;
        };
        return MakeDesktopPolicy(std::move(tools));
    }
};

inline FakeDesktopMachine MachineWith(std::set<std::string> programs, bool gnomeSchemas,
                                      std::map<std::string, std::string> session = {}) {
    FakeDesktopMachine machine;
    machine.programs = std::move(programs);
    machine.gnomeSchemas = gnomeSchemas;
    machine.session = std::move(session);
    return machine;
}
inline FakeDesktopMachine GnomeAndKdeMachine(const char* running = "GNOME") {
    return MachineWith({"gsettings", "kwriteconfig6", "kwriteconfig5"}, true, {{"XDG_CURRENT_DESKTOP", running}});
}
inline FakeDesktopMachine GnomeOnlyMachine() { return MachineWith({"gsettings"}, true, {{"XDG_CURRENT_DESKTOP", "GNOME"}}); }
inline FakeDesktopMachine KdeOnlyMachine(const char* writer = "kwriteconfig6") {
    return MachineWith({writer}, false, {{"XDG_CURRENT_DESKTOP", "KDE"}});
}
inline FakeDesktopMachine BareMachine() { return MachineWith({}, false, {{"XDG_CURRENT_DESKTOP", "openbox"}}); }

// A registry of its own in a temporary folder, the desktop replaced by the
// recording one, and the global settings at their defaults.
class LockdownTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("CORVANE_REGISTRY_DIR", folder_.Path().c_str(), 1);
        previousPolicy_ = SetDesktopPolicy(desktop);
        gActionAfterLogout = false;
        gLogoutAction = 0;
        gResetLockdownOptionsAtNextLogin = false;
        gLanguage = 0;
    }
    void TearDown() override {
        SetDesktopPolicy(previousPolicy_);
        SetLockdownStore(nullptr);
    }

    // Puts the recording store in place of the registry.
    std::shared_ptr<RecordingLockdownStore> UseRecordingStore() {
        auto store = std::make_shared<RecordingLockdownStore>();
        SetLockdownStore(store);
        return store;
    }

    test_support::TempFolder folder_;
    std::shared_ptr<RecordingDesktopPolicy> desktop = std::make_shared<RecordingDesktopPolicy>();

private:
    std::shared_ptr<DesktopPolicy> previousPolicy_;
};

}  // namespace corvane::testing
