#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace corvane {

// Where the lockdown options are kept: DWORD policy values under the current
// user's policy keys and text values of the machine settings. Writes answer
// whether the value took; reads answer the default when nothing can be read.
// Tests install a recording store; the registry store is in force otherwise.
class LockdownStore {
public:
    virtual ~LockdownStore() = default;

    // A REG_DWORD under HKEY_CURRENT_USER\keyPath.
    virtual bool WritePolicyValue(std::string_view keyPath, std::string_view valueName, std::uint32_t value) = 0;
    // The value as the registry layer reads it (a DWORD as upper-case
    // hexadecimal text), or defaultText.
    virtual std::string ReadPolicyValue(std::string_view keyPath, std::string_view valueName,
                                        std::string_view defaultText) = 0;

    // A text value of the machine settings, section given.
    virtual bool SaveMachineValue(std::string_view section, std::string_view valueName, std::string_view text) = 0;
    virtual std::string GetMachineValue(std::string_view section, std::string_view valueName,
                                        std::string_view defaultText) = 0;
};

// The store over the program's registry.
std::unique_ptr<LockdownStore> MakeRegistryLockdownStore();

// The store in use; SetLockdownStore(nullptr) restores the registry store.
// Returns the store installed before.
LockdownStore& CurrentLockdownStore();
std::shared_ptr<LockdownStore> SetLockdownStore(std::shared_ptr<LockdownStore> store);

}  // namespace corvane
