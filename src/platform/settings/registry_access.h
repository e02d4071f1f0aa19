#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/settings/registry_store.h"
#include "platform/settings/variant.h"

namespace corvane {

// Plain procedures over the registry store. None raises for a registry
// failure; every value travels as text:
//   REG_SZ     the stored text (one trailing NUL dropped on reading)
//   REG_DWORD  upper-case hexadecimal without prefix or leading zeros
//              (-1 reads "FFFFFFFF"); written through HexToLong ("10" is 16)
//   others     read as "", written as nothing (and counted a success)
// A value that cannot be read is the text "Fail".

// Reads the whole value, however long, opening the key only to read.
// type is set only when data was read.
std::string QueryRegistryValue(RegKey root, std::string_view path, std::string_view name, std::int32_t& type);

// Creates the key when missing and writes the value by type. On failure the
// value becomes the empty text and the result is false.
bool SetRegistryValue(RegKey root, std::string_view path, std::string_view name, Variant& value,
                      std::int32_t type);

// The bytes SetValueData stores for a value of type REG_SZ or REG_DWORD;
// false for any other type, which stores nothing.
bool EncodeValueData(std::int32_t type, const Variant& value, std::string* bytes);

// Writes one value into an open key; the store's result code (0 success).
// Types other than REG_SZ and REG_DWORD write nothing and answer 0.
std::int32_t SetValueData(RegKey key, std::string_view name, std::int32_t type, const Variant& value);

// A value's text: REG_SZ as stored, REG_DWORD in decimal, other types "".
// False (and "") when the value cannot be read.
bool ReadRegistryString(RegKey root, std::string_view path, std::string_view name, std::string& text);

// The whole data of a value in an open key, however long.
std::int32_t ReadValueBytes(RegKey key, std::string_view name, std::int32_t* type, std::string* bytes);

// %NAME% replaced by the environment variable's value; unknown names stay.
std::string ExpandEnvironmentText(std::string_view text);

// A DWORD's 4 little-endian bytes (missing bytes count as 0), and back.
std::int32_t DwordFromBytes(std::string_view bytes);
std::string DwordBytes(std::int32_t value);

}  // namespace corvane
