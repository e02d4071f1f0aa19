#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/raised_error.h"

namespace corvane {

// The program keeps its settings and policy values in a registry of its own:
// keys below four roots, each key holding named, typed values. Every hive is
// one SQLite database file (see docs/registry-store.md):
//   HKEY_LOCAL_MACHINE  machine.db, shared by every user of the computer
//   HKEY_CLASSES_ROOT   the machine hive's "Software\Classes"
//   HKEY_USERS          users.db beside machine.db
//   HKEY_CURRENT_USER   one database per Linux user
// CORVANE_REGISTRY_DIR moves all of them into one folder (tests use it).

// A key handle: one of the predefined roots, or a key opened below one.
using RegKey = std::int32_t;

inline constexpr RegKey HKEY_CLASSES_ROOT = static_cast<RegKey>(0x80000000u);
inline constexpr RegKey HKEY_CURRENT_USER = static_cast<RegKey>(0x80000001u);
inline constexpr RegKey HKEY_LOCAL_MACHINE = static_cast<RegKey>(0x80000002u);
inline constexpr RegKey HKEY_USERS = static_cast<RegKey>(0x80000003u);

// Value types; the data of every type is kept as bytes.
inline constexpr std::int32_t REG_NONE = 0;
inline constexpr std::int32_t REG_SZ = 1;
inline constexpr std::int32_t REG_EXPAND_SZ = 2;
inline constexpr std::int32_t REG_BINARY = 3;
inline constexpr std::int32_t REG_DWORD = 4;
inline constexpr std::int32_t REG_DWORD_BIG_ENDIAN = 5;
inline constexpr std::int32_t REG_LINK = 6;
inline constexpr std::int32_t REG_MULTI_SZ = 7;

// Access rights asked for when a key is opened.
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr std::uint32_t KEY_NOTIFY = 0x0010;
inline constexpr std::uint32_t KEY_CREATE_LINK = 0x0020;
inline constexpr std::uint32_t KEY_READ = 0x20019;
inline constexpr std::uint32_t KEY_WRITE = 0x20006;
inline constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;

// Result codes of the store operations.
inline constexpr std::int32_t ERROR_SUCCESS = 0;
inline constexpr std::int32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::int32_t ERROR_ACCESS_DENIED = 5;
inline constexpr std::int32_t ERROR_INVALID_HANDLE = 6;
inline constexpr std::int32_t ERROR_BAD_NETPATH = 53;
inline constexpr std::int32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr std::int32_t ERROR_MORE_DATA = 234;
inline constexpr std::int32_t ERROR_NO_MORE_ITEMS = 259;
inline constexpr std::int32_t ERROR_REGISTRY_CORRUPT = 1015;
inline constexpr std::int32_t ERROR_REGISTRY_IO_FAILED = 1016;
inline constexpr std::int32_t ERROR_KEY_DELETED = 1018;

namespace registry_store {

// Key paths are backslash-separated below the given key; empty parts are
// skipped. Key and value names are compared without regard to case and kept
// as first written; text outside Windows-1252 becomes "?". Every operation
// takes effect at once and atomically, so several processes may share a hive.

// Opens an existing key. Access with any write right on a hive this process
// may not write answers ERROR_ACCESS_DENIED; such a hive can still be read.
std::int32_t OpenKey(RegKey parent, std::string_view subKey, std::uint32_t access, RegKey* result);

// Opens the key, creating it and any missing key above it first.
std::int32_t CreateKey(RegKey parent, std::string_view subKey, std::uint32_t access, RegKey* result,
                       bool* created = nullptr);

std::int32_t CloseKey(RegKey key);

// The value's type and bytes. With data null only the type and *size are
// given; otherwise *size is the room offered and a longer value answers
// ERROR_MORE_DATA with *size set to the room it needs.
std::int32_t QueryValue(RegKey key, std::string_view name, std::int32_t* type, std::string* data,
                        std::uint32_t* size);

std::int32_t SetValue(RegKey key, std::string_view name, std::int32_t type, std::string_view data);

// One value to write with SetValues: its key path below the root, name,
// type and bytes.
struct ValueWrite {
    std::string path;
    std::string name;
    std::int32_t type = REG_NONE;
    std::string data;
};

// Creates the keys and writes the values in the order given as one change
// of the root's hive: another process sees all of them or none. On failure
// nothing is written.
std::int32_t SetValues(RegKey root, const std::vector<ValueWrite>& writes);

// The value at a position, counting from 0 in the order the values were
// created; ERROR_NO_MORE_ITEMS past the last. Data room as QueryValue.
std::int32_t EnumValue(RegKey key, std::uint32_t index, std::string* name, std::int32_t* type,
                       std::string* data, std::uint32_t* size);

// The subkey at a position, in name order without regard to case.
std::int32_t EnumKey(RegKey key, std::uint32_t index, std::string* name);

std::int32_t DeleteValue(RegKey key, std::string_view name);

// Deletes a key with its values; a key that still has subkeys is refused
// with ERROR_ACCESS_DENIED.
std::int32_t DeleteKey(RegKey parent, std::string_view subKey);

// The root of another computer's registry: only this computer (an empty
// name, or its own name with or without leading backslashes) is reachable.
std::int32_t ConnectRegistry(std::string_view computer, RegKey root, RegKey* result);

// Told when a hive file proves damaged: every operation on it then fails
// with ERROR_REGISTRY_CORRUPT, so the settings read as their defaults. The
// error reporting installs one that writes the error log; until then the
// description goes to standard error. Each hive is told once per run (and
// again after a new report is installed). Returns the previous report.
using HiveDamageReport = std::function<void(const RaisedError& error, const std::string& place)>;
HiveDamageReport SetHiveDamageReport(HiveDamageReport report);

// The database file that holds a root's keys; "" for anything but a root.
std::string HivePath(RegKey root);

}  // namespace registry_store
}  // namespace corvane
