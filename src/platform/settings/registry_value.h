#pragma once

#include <cstdint>
#include <string>

#include "platform/settings/variant.h"

namespace corvane {

class RegistryValues;

// One value listed from a key: its name, type and data.
class RegistryValue {
public:
    const Variant& Value() const { return value_; }
    void SetValue(Variant value) { value_ = std::move(value); }

    // Stored only.
    bool AutoSet() const { return autoSet_; }
    void SetAutoSet(bool value) { autoSet_ = value; }

    // True for the key's unnamed value.
    bool Default() const { return default_; }
    void SetDefault(bool value) { default_ = value; }

    std::int32_t ParentKey() const { return parentKey_; }
    RegistryValues* Parent() const { return parent_; }

    const std::string& ValueName() const { return valueName_; }
    void SetValueName(std::string name) { valueName_ = std::move(name); }

    std::int32_t DataType() const { return dataType_; }

    // Value becomes Empty.
    void Clear() { value_ = std::monostate{}; }

    // The type's name: "String", "DWord", ... (Friendly) or "SZ", "DWORD", ...
    std::string GetTypeWord(bool Friendly) const;

    // Set by the code that lists values.
    void SetParentKey(std::int32_t key) { parentKey_ = key; }
    void SetParentCollection(RegistryValues* parent) { parent_ = parent; }
    void SetDataType(std::int32_t type) { dataType_ = type; }

private:
    Variant value_;
    bool autoSet_ = true;
    bool default_ = false;
    std::int32_t parentKey_ = 0;
    RegistryValues* parent_ = nullptr;
    std::string valueName_;
    std::int32_t dataType_ = 0;
};

}  // namespace corvane
