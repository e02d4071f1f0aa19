#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings/registry_store.h"
#include "platform/settings/registry_values.h"
#include "platform/settings/variant.h"

namespace corvane {

// The registry accessor. Either a property bag (set KeyRoot, KeyName,
// SubKeyRef, KeyValueType, KeyValue; call SaveKey or GetKey; read Success
// and KeyValue) or a set of methods taking the root and path. Nothing here
// raises for a registry failure; bad data (a bad index) still raises.
class Registry {
public:
    Registry() = default;
    ~Registry();  // closes every key still open through OpenKey
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Stops a running EnumValues after the value being reported.
    void AbortEnum() { abort_ = true; }

    const Variant& KeyValue() const { return keyValue_; }
    void SetKeyValue(Variant value) { keyValue_ = std::move(value); }
    // KeyValue as text ("" for Empty).
    std::string KeyValueText() const { return VariantText(keyValue_); }

    std::int32_t KeyValueType() const { return keyValueType_; }
    void SetKeyValueType(std::int32_t type) { keyValueType_ = type; }

    // Result of the last GetKey or SaveKey; false before the first.
    bool Success() const { return success_; }

    // Writes KeyValue as SubKeyRef of KeyRoot\KeyName, creating the key; a
    // failed save leaves KeyValue empty text.
    void SaveKey();

    // Reads SubKeyRef into KeyValue (text) and KeyValueType; Success is false
    // when the value cannot be read or its text, trimmed, is "fail" in any case.
    void GetKey();

    const std::string& SubKeyRef() const { return subKeyRef_; }
    void SetSubKeyRef(std::string name) { subKeyRef_ = std::move(name); }
    const std::string& KeyName() const { return keyName_; }
    void SetKeyName(std::string name) { keyName_ = std::move(name); }
    RegKey KeyRoot() const { return keyRoot_; }
    void SetKeyRoot(RegKey root) { keyRoot_ = root; }

    bool CreateKey(RegKey hKey, std::string_view strKeyName);
    bool DeleteKey(RegKey hKey, std::string_view strKeyName);
    bool DelSubKeyRef(RegKey hKey, std::string_view strKeyName, std::string_view strSubKeyRef);

    // Subkey names in the store's order; empty when the key cannot be opened.
    std::vector<std::string> ListKeys(RegKey hKey, std::string_view strKeyName);

    bool ValueExists(RegKey keyRoot, std::string_view keyName, std::string_view szValue);

    // The value's data by type (texts, expanded texts, numbers, bytes, a list
    // for REG_MULTI_SZ); DefaultValue (or Empty) when missing or empty.
    Variant GetValue(RegKey keyRoot, std::string_view keyName, std::string_view szValue,
                     const std::optional<Variant>& DefaultValue = std::nullopt, std::int32_t* lpType = nullptr);

    // Writes vData with a type chosen by its kind; the store's result code,
    // 0 without writing when the key cannot be opened for writing.
    std::int32_t SetValue(RegKey keyRoot, std::string_view keyName, std::string_view szValue, const Variant& vData);

    // Another computer's registry; only this computer can be reached. The
    // path defaults to KeyName. "Error!" when the computer cannot be reached.
    Variant ReadRemoteRegistryValue(std::string_view sRemoteComputer, RegKey hKey, std::string_view ValueName,
                                    std::optional<std::string> KeyPath = std::nullopt);
    bool WriteRemoteRegistryValue(std::string_view sRemoteComputer, RegKey hKey, std::string_view ValueName,
                                  const Variant& Value, std::int32_t DType,
                                  std::optional<std::string> KeyPath = std::nullopt);

    // Creates or opens a key and keeps its handle under vntIndexKey (or
    // "_H" and the handle in hexadecimal) until CloseKey; -1 on failure.
    RegKey OpenKey(RegKey uKey, std::string_view szSubKey, bool fMustExist = false,
                   std::string_view vntIndexKey = {});
    void CloseKey(RegKey handle);
    void CloseKey(std::string_view indexKey);

    bool KeyExists(RegKey keyRoot, std::string_view keyName);

    // Cuts Item before its first NUL and returns it.
    static std::string TrimNull(std::string& Item);

    // Every value of the key (hKey itself when KeyName is empty) in creation
    // order, reporting each to ValueEnumerated after adding it; an empty
    // collection when the key cannot be opened.
    RegistryValues EnumValues(RegKey hKey, std::string_view KeyName);

    std::function<void(RegistryValue&)> ValueEnumerated;

private:
    RegKey keyRoot_ = 0;
    std::string keyName_;
    std::string subKeyRef_;
    Variant keyValue_;
    std::int32_t keyValueType_ = REG_SZ;
    bool success_ = false;
    bool abort_ = false;
    std::map<std::string, RegKey> openKeys_;  // by folded index key
};

}  // namespace corvane
