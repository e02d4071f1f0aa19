#include "platform/settings/registry.h"
#include "platform/core/program_title.h"

#include <cmath>
#include <cstdio>

#include "platform/core/cp1252.h"
#include "platform/core/raised_error.h"
#include "platform/settings/registry_access.h"
#include "platform/core/text.h"
#include "platform/settings/value_text.h"

namespace corvane {
namespace {

std::string HandleIndexKey(RegKey handle) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "_H%X", static_cast<unsigned>(handle));
    return buf;
}

std::vector<std::string> SplitMultiString(std::string_view bytes) {
    std::vector<std::string> parts(1);
    for (char c : bytes) {
        if (c == '\0') parts.emplace_back();
        else parts.back().push_back(c);
    }
    for (auto& p : parts) p = cp1252::ToUtf8(p);
    return parts;
}

std::string JoinMultiString(const std::vector<std::string>& parts) {
    std::string bytes;
    for (const auto& p : parts) {
        bytes += cp1252::FromUtf8(p);
        bytes.push_back('\0');
    }
    bytes.push_back('\0');
    return bytes;
}

std::string StringBytes(std::string_view textUtf8) {
    std::string bytes = cp1252::FromUtf8(textUtf8);
    bytes.push_back('\0');
    return bytes;
}

std::int32_t VariantToLong(const Variant& v) {
    if (const auto* b = std::get_if<bool>(&v)) return *b ? -1 : 0;
    if (const auto* n = std::get_if<std::uint8_t>(&v)) return *n;
    if (const auto* n = std::get_if<std::int16_t>(&v)) return *n;
    if (const auto* n = std::get_if<std::int32_t>(&v)) return *n;
    if (const auto* d = std::get_if<double>(&v)) {
        const double r = std::nearbyint(*d);
        if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw OverflowError(kProgramTitle);
        return static_cast<std::int32_t>(r);
    }
    if (IsEmpty(v)) return 0;
    return TextToLong(VariantText(v));
}

// The text of the first length - 1 bytes, as a listed REG_SZ shows.
std::string ListedText(std::string_view bytes, std::size_t drop) {
    return bytes.size() > drop ? cp1252::ToUtf8(bytes.substr(0, bytes.size() - drop)) : std::string();
}

std::string CutAtNul(std::string text) {
    Registry::TrimNull(text);
    return text;
}

}  // namespace

Registry::~Registry() {
    for (const auto& [name, handle] : openKeys_) registry_store::CloseKey(handle);
}

void Registry::SaveKey() { success_ = SetRegistryValue(keyRoot_, keyName_, subKeyRef_, keyValue_, keyValueType_); }

void Registry::GetKey() {
    std::string text = QueryRegistryValue(keyRoot_, keyName_, subKeyRef_, keyValueType_);
    success_ = text::ToUpper(text::TrimSpaces(text)) != "FAIL";
    keyValue_ = std::move(text);
}

bool Registry::CreateKey(RegKey hKey, std::string_view strKeyName) {
    RegKey key = 0;
    if (registry_store::CreateKey(hKey, strKeyName, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    registry_store::CloseKey(key);
    return true;
}

bool Registry::DeleteKey(RegKey hKey, std::string_view strKeyName) {
    return registry_store::DeleteKey(hKey, strKeyName) == ERROR_SUCCESS;
}

bool Registry::DelSubKeyRef(RegKey hKey, std::string_view strKeyName, std::string_view strSubKeyRef) {
    RegKey key = 0;
    if (registry_store::OpenKey(hKey, strKeyName, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    const bool deleted = registry_store::DeleteValue(key, strSubKeyRef) == ERROR_SUCCESS;
    registry_store::CloseKey(key);
    return deleted;
}

std::vector<std::string> Registry::ListKeys(RegKey hKey, std::string_view strKeyName) {
    std::vector<std::string> names;
    RegKey key = 0;
    if (registry_store::OpenKey(hKey, strKeyName, KEY_READ, &key) != ERROR_SUCCESS) return names;
    std::string name;
    for (std::uint32_t i = 0; registry_store::EnumKey(key, i, &name) == ERROR_SUCCESS; ++i) names.push_back(name);
    registry_store::CloseKey(key);
    return names;
}

bool Registry::ValueExists(RegKey keyRoot, std::string_view keyName, std::string_view szValue) {
    RegKey key = 0;
    if (registry_store::OpenKey(keyRoot, keyName, KEY_READ, &key) != ERROR_SUCCESS) return false;
    std::uint32_t size = 0;
    const auto rc = registry_store::QueryValue(key, szValue, nullptr, nullptr, &size);
    registry_store::CloseKey(key);
    return rc == ERROR_SUCCESS && size != 0;
}

bool Registry::KeyExists(RegKey keyRoot, std::string_view keyName) {
    RegKey key = 0;
    if (registry_store::OpenKey(keyRoot, keyName, KEY_READ, &key) != ERROR_SUCCESS) return false;
    registry_store::CloseKey(key);
    return true;
}

Variant Registry::GetValue(RegKey keyRoot, std::string_view keyName, std::string_view szValue,
                           const std::optional<Variant>& DefaultValue, std::int32_t* lpType) {
    RegKey key = 0;
    if (registry_store::OpenKey(keyRoot, keyName, KEY_READ, &key) != ERROR_SUCCESS) return {};
    std::int32_t type = REG_NONE;
    std::string bytes;
    const auto rc = ReadValueBytes(key, szValue, &type, &bytes);
    registry_store::CloseKey(key);
    if (rc != ERROR_SUCCESS || bytes.empty()) return DefaultValue.value_or(Variant{});
    if (lpType) *lpType = type;
    switch (type) {
        case REG_SZ: return ListedText(bytes, bytes.back() == '\0' ? 1 : 0);
        case REG_EXPAND_SZ: return CutAtNul(ExpandEnvironmentText(cp1252::ToUtf8(bytes)));
        case REG_BINARY:
            if (bytes.size() == 4) return DwordFromBytes(bytes);
            if (bytes.size() == 2) return static_cast<std::int16_t>(DwordFromBytes(bytes));
            if (bytes.size() == 1) return static_cast<std::uint8_t>(bytes[0]);
            return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        case REG_DWORD: return DwordFromBytes(bytes);
        case REG_MULTI_SZ: return SplitMultiString(bytes);
        default: return cp1252::ToUtf8(bytes);
    }
}

std::int32_t Registry::SetValue(RegKey keyRoot, std::string_view keyName, std::string_view szValue,
                                const Variant& vData) {
    RegKey key = 0;
    if (registry_store::OpenKey(keyRoot, keyName, KEY_WRITE, &key) != ERROR_SUCCESS) return 0;
    struct Encoded { std::int32_t type; std::string bytes; };
    const auto oneByte = [](int b) { return Encoded{REG_BINARY, std::string(1, static_cast<char>(b))}; };
    const auto wholeNumber = [&](std::int32_t n) {
        return n >= 0 && n <= 255 ? oneByte(n) : Encoded{REG_DWORD, DwordBytes(n)};
    };
    std::optional<Encoded> encoded;
    if (const auto* list = std::get_if<std::vector<std::string>>(&vData)) encoded = Encoded{REG_MULTI_SZ, JoinMultiString(*list)};
    else if (const auto* s = std::get_if<std::string>(&vData)) encoded = Encoded{REG_SZ, StringBytes(*s)};
    else if (const auto* b = std::get_if<std::uint8_t>(&vData)) encoded = oneByte(*b);
    else if (const auto* n = std::get_if<std::int16_t>(&vData)) encoded = wholeNumber(*n);
    else if (const auto* n = std::get_if<std::int32_t>(&vData)) encoded = wholeNumber(*n);
    else if (const auto* flag = std::get_if<bool>(&vData)) encoded = oneByte(*flag ? 1 : 0);
    else if (std::holds_alternative<double>(vData)) encoded = Encoded{REG_SZ, StringBytes(VariantText(vData))};
    else if (const auto* raw = std::get_if<std::vector<std::uint8_t>>(&vData))
        encoded = Encoded{REG_BINARY, std::string(raw->begin(), raw->end())};
    std::int32_t rc = ERROR_SUCCESS;
    if (encoded) rc = registry_store::SetValue(key, szValue, encoded->type, encoded->bytes);
    registry_store::CloseKey(key);
    return rc;
}

Variant Registry::ReadRemoteRegistryValue(std::string_view sRemoteComputer, RegKey hKey, std::string_view ValueName,
                                          std::optional<std::string> KeyPath) {
    RegKey remote = 0;
    if (registry_store::ConnectRegistry(sRemoteComputer, hKey, &remote) != ERROR_SUCCESS)
        return std::string("Error!");
    RegKey key = 0;
    if (registry_store::OpenKey(remote, KeyPath.value_or(keyName_), KEY_READ, &key) != ERROR_SUCCESS) return {};
    std::int32_t type = REG_NONE;
    std::string bytes;
    const auto rc = ReadValueBytes(key, ValueName, &type, &bytes);
    registry_store::CloseKey(key);
    if (rc != ERROR_SUCCESS) return {};
    switch (type) {
        case REG_SZ: return bytes.empty() ? Variant{} : Variant{ListedText(bytes, 1)};
        case REG_EXPAND_SZ:
            return bytes.empty() ? Variant{} : Variant{ExpandEnvironmentText(ListedText(bytes, 1))};
        case REG_BINARY: return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        case REG_DWORD: return DwordFromBytes(bytes);
        case REG_MULTI_SZ:
            if (bytes.empty() || bytes.front() == '\0') return {};
            return ListedText(bytes, 2);
        default: return {};
    }
}

bool Registry::WriteRemoteRegistryValue(std::string_view sRemoteComputer, RegKey hKey, std::string_view ValueName,
                                        const Variant& Value, std::int32_t DType,
                                        std::optional<std::string> KeyPath) {
    RegKey remote = 0;
    if (registry_store::ConnectRegistry(sRemoteComputer, hKey, &remote) != ERROR_SUCCESS) return false;
    RegKey key = 0;
    if (registry_store::OpenKey(remote, KeyPath.value_or(keyName_), KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    std::int32_t rc = ERROR_SUCCESS;
    switch (DType) {
        case REG_SZ:
        case REG_EXPAND_SZ:
        case REG_MULTI_SZ: rc = registry_store::SetValue(key, ValueName, DType, cp1252::FromUtf8(VariantText(Value))); break;
        case REG_BINARY:
            if (const auto* raw = std::get_if<std::vector<std::uint8_t>>(&Value))
                rc = registry_store::SetValue(key, ValueName, DType, std::string(raw->begin(), raw->end()));
            else
                rc = registry_store::SetValue(key, ValueName, DType, cp1252::FromUtf8(VariantText(Value)));
            break;
        case REG_DWORD: rc = registry_store::SetValue(key, ValueName, DType, DwordBytes(VariantToLong(Value))); break;
        default: break;
    }
    registry_store::CloseKey(key);
    return rc == ERROR_SUCCESS;
}

RegKey Registry::OpenKey(RegKey uKey, std::string_view szSubKey, bool fMustExist, std::string_view vntIndexKey) {
    RegKey handle = 0;
    if (fMustExist) {
        if (registry_store::OpenKey(uKey, szSubKey, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) return -1;
        registry_store::CloseKey(handle);
    }
    if (registry_store::CreateKey(uKey, szSubKey, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) return -1;
    std::string index = vntIndexKey.empty() ? HandleIndexKey(handle) : text::ToLower(vntIndexKey);
    // An index key already in use would lose track of the handle; keep it
    // under its number instead so that it is still closed in the end.
    if (openKeys_.count(index)) index = HandleIndexKey(handle);
    openKeys_[text::ToLower(index)] = handle;
    return handle;
}

void Registry::CloseKey(RegKey handle) {
    for (auto it = openKeys_.begin(); it != openKeys_.end();) {
        if (it->second == handle) it = openKeys_.erase(it);
        else ++it;
    }
    registry_store::CloseKey(handle);
}

void Registry::CloseKey(std::string_view indexKey) {
    const auto it = openKeys_.find(text::ToLower(indexKey));
    if (it == openKeys_.end()) return;
    const RegKey handle = it->second;
    openKeys_.erase(it);
    registry_store::CloseKey(handle);
}

std::string Registry::TrimNull(std::string& Item) {
    if (const auto nul = Item.find('\0'); nul != std::string::npos) Item.erase(nul);
    return Item;
}

RegistryValues Registry::EnumValues(RegKey hKey, std::string_view KeyName) {
    RegistryValues values;
    RegKey key = hKey;
    const bool opened = !KeyName.empty();
    if (opened && registry_store::OpenKey(hKey, KeyName, KEY_READ, &key) != ERROR_SUCCESS) return values;
    abort_ = false;
    for (std::uint32_t index = 0; !abort_; ++index) {
        std::string name;
        std::int32_t type = REG_NONE;
        std::string bytes;
        std::uint32_t size = 4096;
        auto rc = registry_store::EnumValue(key, index, &name, &type, &bytes, &size);
        if (rc == ERROR_MORE_DATA) rc = registry_store::EnumValue(key, index, &name, &type, &bytes, &size);
        if (rc != ERROR_SUCCESS) break;
        auto value = std::make_shared<RegistryValue>();
        value->SetValueName(text::Trim(name));
        value->SetDefault(value->ValueName().empty());
        value->SetDataType(type);
        switch (type) {
            case REG_SZ: value->SetValue(ListedText(bytes, 1)); break;
            case REG_EXPAND_SZ: value->SetValue(CutAtNul(ExpandEnvironmentText(ListedText(bytes, 1)))); break;
            case REG_BINARY: {
                std::string hex;
                char pair[4];
                for (unsigned char b : bytes) {
                    std::snprintf(pair, sizeof pair, "%02X", b);
                    if (!hex.empty()) hex += ' ';
                    hex += pair;
                }
                value->SetValue(hex);
                break;
            }
            case REG_DWORD: value->SetValue(DwordFromBytes(bytes)); break;
            case REG_MULTI_SZ: {
                std::string joined = ListedText(bytes, 2);
                for (char& c : joined)
                    if (c == '\0') c = ',';
                value->SetValue(joined);
                break;
            }
            default: break;
        }
        values.Add(value);
        if (ValueEnumerated) ValueEnumerated(*value);
    }
    if (opened) registry_store::CloseKey(key);
    return values;
}

}  // namespace corvane
