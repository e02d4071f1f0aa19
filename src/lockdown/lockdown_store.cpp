#include "lockdown/lockdown_store.h"

#include <cstdio>

#include "platform/settings/settings_store.h"

namespace corvane {
namespace {

class RegistryLockdownStore final : public LockdownStore {
public:
    bool WritePolicyValue(std::string_view keyPath, std::string_view valueName, std::uint32_t value) override {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(value));
        return WriteRegistryValue(HKEY_CURRENT_USER, keyPath, valueName, hex, REG_DWORD);
    }
    std::string ReadPolicyValue(std::string_view keyPath, std::string_view valueName,
                                std::string_view defaultText) override {
        return ReadRegistryValue(HKEY_CURRENT_USER, keyPath, valueName, defaultText);
    }
    bool SaveMachineValue(std::string_view section, std::string_view valueName, std::string_view text) override {
        return WriteRegistryValue(HKEY_LOCAL_MACHINE, SettingsKeyPath(section), valueName, text, REG_SZ);
    }
    std::string GetMachineValue(std::string_view section, std::string_view valueName,
                                std::string_view defaultText) override {
        return GetMachineSetting(section, valueName, defaultText);
    }
};

std::shared_ptr<LockdownStore>& Current() {
    static std::shared_ptr<LockdownStore> current;
    return current;
}

}  // namespace

std::unique_ptr<LockdownStore> MakeRegistryLockdownStore() { return std::make_unique<RegistryLockdownStore>(); }

LockdownStore& CurrentLockdownStore() {
    if (!Current()) Current() = MakeRegistryLockdownStore();
    return *Current();
}

std::shared_ptr<LockdownStore> SetLockdownStore(std::shared_ptr<LockdownStore> store) {
    auto previous = std::move(Current());
    Current() = std::move(store);
    return previous;
}

}  // namespace corvane
