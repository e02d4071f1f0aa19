#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <map>
#include <memory>
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

// Records each option the desktop was told of.
class RecordingDesktopPolicy : public DesktopPolicy {
public:
    void OptionWritten(std::int32_t option, bool on) override { calls.emplace_back(option, on); }
    std::vector<std::pair<std::int32_t, bool>> calls;
};

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
