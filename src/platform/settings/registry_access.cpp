#include "platform/settings/registry_access.h"

#include <cstdio>

#include "platform/core/cp1252.h"
#include "platform/core/environment.h"
#include "platform/settings/value_text.h"

namespace corvane {

std::int32_t DwordFromBytes(std::string_view bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return static_cast<std::int32_t>(value);
}

std::string DwordBytes(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
    return bytes;
}

std::int32_t ReadValueBytes(RegKey key, std::string_view name, std::int32_t* type, std::string* bytes) {
    // Ask for the size first, then for that much; a writer in another
    // process may grow the value in between, so ask again until it fits.
    std::uint32_t size = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::int32_t rc = registry_store::QueryValue(key, name, type, nullptr, &size);
        if (rc != ERROR_SUCCESS) return rc;
        rc = registry_store::QueryValue(key, name, type, bytes, &size);
        if (rc != ERROR_MORE_DATA) return rc;
    }
    return ERROR_MORE_DATA;
}

std::string QueryRegistryValue(RegKey root, std::string_view path, std::string_view name, std::int32_t& type) {
    RegKey key = 0;
    if (registry_store::OpenKey(root, path, KEY_READ, &key) != ERROR_SUCCESS) return "Fail";
    std::int32_t found = REG_NONE;
    std::string bytes;
    const std::int32_t rc = ReadValueBytes(key, name, &found, &bytes);
    registry_store::CloseKey(key);
    if (rc != ERROR_SUCCESS || bytes.empty()) return "Fail";
    if (bytes.back() == '\0') bytes.pop_back();
    type = found;
    if (found == REG_SZ) return cp1252::ToUtf8(bytes);
    if (found == REG_DWORD) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(DwordFromBytes(bytes)));
        return hex;
    }
    return {};
}

bool EncodeValueData(std::int32_t type, const Variant& value, std::string* bytes) {
    if (type == REG_SZ) {
        *bytes = cp1252::FromUtf8(VariantText(value));
        bytes->push_back('\0');
        return true;
    }
    if (type == REG_DWORD) {
        *bytes = DwordBytes(HexToLong(value));
        return true;
    }
    return false;
}

std::int32_t SetValueData(RegKey key, std::string_view name, std::int32_t type, const Variant& value) {
    std::string bytes;
    if (!EncodeValueData(type, value, &bytes)) return ERROR_SUCCESS;
    return registry_store::SetValue(key, name, type, bytes);
}

bool SetRegistryValue(RegKey root, std::string_view path, std::string_view name, Variant& value,
                      std::int32_t type) {
    RegKey key = 0;
    std::int32_t rc = registry_store::CreateKey(root, path, KEY_ALL_ACCESS, &key);
    if (rc == ERROR_SUCCESS) {
        rc = SetValueData(key, name, type, value);
        registry_store::CloseKey(key);
    }
    if (rc != ERROR_SUCCESS) {
        value = std::string();
        return false;
    }
    return true;
}

bool ReadRegistryString(RegKey root, std::string_view path, std::string_view name, std::string& text) {
    text.clear();
    RegKey key = 0;
    if (registry_store::OpenKey(root, path, KEY_READ, &key) != ERROR_SUCCESS) return false;
    std::int32_t type = REG_NONE;
    std::string bytes;
    const std::int32_t rc = ReadValueBytes(key, name, &type, &bytes);
    registry_store::CloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
    if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    if (type == REG_SZ) text = cp1252::ToUtf8(bytes);
    if (type == REG_DWORD) text = std::to_string(DwordFromBytes(bytes));
    return true;
}

std::string ExpandEnvironmentText(std::string_view text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto open = text.find('%', i);
        if (open == std::string_view::npos) break;
        const auto close = text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        out.append(text.substr(i, open - i));
        const std::string name(text.substr(open + 1, close - open - 1));
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value) {
            out += value;
            i = close + 1;
        } else {
            // Not a variable: keep the first "%" and look again from the second.
            out += '%';
            out.append(text.substr(open + 1, close - open - 1));
            i = close;
        }
    }
    out.append(text.substr(std::min(i, text.size())));
    return out;
}

}  // namespace corvane
