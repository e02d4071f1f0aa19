#pragma once

// Damage to a machine hive and what reading it may give, shared by the
// registry hive fuzz target and the ordinary tests that keep every input it
// once failed on. Plain code: no test framework, no abort.

#include <sqlite3.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/core/text.h"
#include "platform/settings/registry_access.h"
#include "platform/settings/registry_hive.h"
#include "platform/settings/registry_store.h"

namespace corvane::hive_damage {

using Written = std::tuple<std::string, std::string, std::int32_t, std::string>;  // path, name, type, data

inline const std::vector<Written>& Values() {
    static const std::vector<Written> values = {
        {"Software\\Pellix\\Corvane\\Global", "Login Caption", REG_SZ, std::string("Welcome\0", 8)},
        {"Software\\Pellix\\Corvane\\Global", "Client Port", REG_SZ, std::string("1001\0", 5)},
        {"Software\\Pellix\\Corvane\\Global", "Data Path", REG_SZ, std::string("/srv/corvane\0", 13)},
        {"Software\\Pellix\\Corvane\\Global", "Require Login", REG_SZ, std::string("True\0", 5)},
        {"Software\\Pellix\\Corvane\\Global", "", REG_SZ, std::string("default\0", 8)},
        {"Software\\Pellix\\Corvane\\Security", "NoRun", REG_DWORD, std::string("\x01\0\0\0", 4)},
        {"Software\\Pellix\\Corvane\\Security", "NoClose", REG_DWORD, std::string("\0\0\0\0", 4)},
        {"Software\\Pellix\\Corvane\\Security", "Blob", REG_BINARY, std::string(300, '\xA5')},
        {"Software\\Pellix\\Corvane\\Form Metrics\\frmMain", "Height", REG_SZ, std::string("4000\0", 5)},
        {"Software\\Pellix\\Corvane\\Form Metrics\\frmMain", "Width", REG_SZ, std::string("6000\0", 5)},
        {"Software\\Classes\\.txt", "", REG_SZ, std::string("txtfile\0", 8)},
    };
    return values;
}

inline std::string Folded(const std::string& s) { return text::ToLower(s); }

// Every key path (folded) with the names of the subkeys written below it.
inline const std::map<std::string, std::set<std::string>>& Subkeys() {
    static const auto subkeys = [] {
        std::map<std::string, std::set<std::string>> found;
        for (const auto& [path, name, type, data] : Values()) {
            std::string at;
            for (const auto& part : SplitRegistryPath(path)) {
                found[Folded(at)].insert(part);
                at += (at.empty() ? "" : "\\") + part;
            }
        }
        return found;
    }();
    return subkeys;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes the values into the machine hive (of CORVANE_REGISTRY_DIR) and
// returns the hive file with everything folded into it, no log beside it;
// empty when that failed.
inline std::string BuildSeedHive() {
    for (const auto& [path, name, type, data] : Values()) {
        RegKey key = 0;
        if (registry_store::CreateKey(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return {};
        const auto rc = registry_store::SetValue(key, name, type, data);
        registry_store::CloseKey(key);
        if (rc != ERROR_SUCCESS) return {};
    }
    const std::string hive = registry_store::HivePath(HKEY_LOCAL_MACHINE);
    sqlite3* db = nullptr;
    const bool folded = sqlite3_open(hive.c_str(), &db) == SQLITE_OK &&
                        sqlite3_exec(db, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return folded ? ReadBytes(hive) : std::string();
}

inline bool IsWritten(const std::string& path, const std::string& name, std::int32_t type, const std::string& data) {
    for (const auto& [p, n, t, d] : Values())
        if (Folded(p) == Folded(path) && n == name && t == type && d == data) return true;
    return false;
}

// What the key's listing shows that was never written there; "" for nothing.
inline std::string CheckListing(const std::string& path) {
    RegKey key = 0;
    if (registry_store::OpenKey(HKEY_LOCAL_MACHINE, path, KEY_READ, &key) != ERROR_SUCCESS) return {};
    std::string wrong;
    for (std::uint32_t i = 0; i < 64 && wrong.empty(); ++i) {
        std::string name;
        std::int32_t type = 0;
        std::string data;
        std::uint32_t room = 1 << 16;
        if (registry_store::EnumValue(key, i, &name, &type, &data, &room) != ERROR_SUCCESS) break;
        if (!IsWritten(path, name, type, data)) wrong = "listed value " + path + "\\" + name;
    }
    const auto known = Subkeys().find(Folded(path));
    for (std::uint32_t i = 0; i < 64 && wrong.empty(); ++i) {
        std::string name;
        if (registry_store::EnumKey(key, i, &name) != ERROR_SUCCESS) break;
        if (known == Subkeys().end() || !known->second.count(name)) wrong = "listed subkey " + path + "\\" + name;
    }
    registry_store::CloseKey(key);
    return wrong;
}

// Puts the seed hive in place with damage: each record of three bytes sets
// the byte at a 16-bit offset (modulo the size) to a value. Then reads every
// value once written, lists every key, and writes one more value. "" when
// everything read was written (or failed); else the first wrong answer.
inline std::string Replay(const std::string& seed, const std::uint8_t* data, std::size_t size) {
    std::string bytes = seed;
    for (std::size_t i = 0; i + 3 <= size; i += 3) {
        const std::size_t offset = ((std::size_t{data[i]} << 8) | data[i + 1]) % bytes.size();
        bytes[offset] = static_cast<char>(data[i + 2]);
    }
    const std::string hive = registry_store::HivePath(HKEY_LOCAL_MACHINE);
    for (const char* suffix : {"-wal", "-shm", "-journal"}) ::unlink((hive + suffix).c_str());
    std::ofstream(hive, std::ios::binary | std::ios::trunc) << bytes;

    for (const auto& [path, name, type, expected] : Values()) {
        RegKey key = 0;
        if (registry_store::OpenKey(HKEY_LOCAL_MACHINE, path, KEY_READ, &key) != ERROR_SUCCESS) continue;
        std::int32_t found = 0;
        std::string read;
        const bool wrong = ReadValueBytes(key, name, &found, &read) == ERROR_SUCCESS && !IsWritten(path, name, found, read);
        registry_store::CloseKey(key);
        if (wrong) return "value " + path + "\\" + name;
    }
    for (const auto& [folded, children] : Subkeys())
        if (auto wrong = CheckListing(folded); !wrong.empty()) return wrong;
    for (const auto& [path, name, type, expected] : Values())
        if (auto wrong = CheckListing(path); !wrong.empty()) return wrong;

    RegKey key = 0;
    if (registry_store::CreateKey(HKEY_LOCAL_MACHINE, "Software\\Pellix\\Corvane\\Global", KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return {};
    const std::string value("written now\0", 12);
    std::string wrong;
    if (registry_store::SetValue(key, "Fresh", REG_SZ, value) == ERROR_SUCCESS) {
        std::int32_t found = 0;
        std::string read;
        if (ReadValueBytes(key, "Fresh", &found, &read) == ERROR_SUCCESS && (found != REG_SZ || read != value))
            wrong = "value written after the damage";
    }
    registry_store::CloseKey(key);
    return wrong;
}

}  // namespace corvane::hive_damage
