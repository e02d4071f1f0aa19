// Opens a machine hive whose file was damaged and reads every value it once
// held, lists every key's values and subkeys, then writes one more value.
// Whatever the damage, a value read is one that was written under that name
// (type and bytes alike), a listed name is one that was written, and the new
// value reads back as written; anything else must be an error.
// Input: records of three bytes, each setting the byte at a 16-bit offset of
// a known hive file to a value.
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
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

namespace rs = corvane::registry_store;
using corvane::RegKey;

namespace {

using Written = std::tuple<std::string, std::string, std::int32_t, std::string>;  // path, name, type, data

const std::vector<Written>& Values() {
    static const std::vector<Written> values = {
        {"Software\\Pellix\\Corvane\\Global", "Login Caption", corvane::REG_SZ, std::string("Welcome\0", 8)},
        {"Software\\Pellix\\Corvane\\Global", "Client Port", corvane::REG_SZ, std::string("1001\0", 5)},
        {"Software\\Pellix\\Corvane\\Global", "Data Path", corvane::REG_SZ, std::string("/srv/corvane\0", 13)},
        {"Software\\Pellix\\Corvane\\Global", "Require Login", corvane::REG_SZ, std::string("True\0", 5)},
        {"Software\\Pellix\\Corvane\\Global", "", corvane::REG_SZ, std::string("default\0", 8)},
        {"Software\\Pellix\\Corvane\\Security", "NoRun", corvane::REG_DWORD, std::string("\x01\0\0\0", 4)},
        {"Software\\Pellix\\Corvane\\Security", "NoClose", corvane::REG_DWORD, std::string("\0\0\0\0", 4)},
        {"Software\\Pellix\\Corvane\\Security", "Blob", corvane::REG_BINARY, std::string(300, '\xA5')},
        {"Software\\Pellix\\Corvane\\Form Metrics\\frmMain", "Height", corvane::REG_SZ, std::string("4000\0", 5)},
        {"Software\\Pellix\\Corvane\\Form Metrics\\frmMain", "Width", corvane::REG_SZ, std::string("6000\0", 5)},
        {"Software\\Classes\\.txt", "", corvane::REG_SZ, std::string("txtfile\0", 8)},
    };
    return values;
}

std::string Folded(const std::string& s) { return corvane::text::ToLower(s); }

struct Setup {
    std::string dir;
    std::string hive;
    std::string bytes;  // the undamaged file
    std::map<std::string, std::set<std::string>> subkeys;  // folded path -> child names
};

const Setup& TheSetup() {
    static const Setup setup = [] {
        Setup s;
        char dir[] = "/tmp/corvane-hive-fuzz-XXXXXX";
        if (!::mkdtemp(dir)) std::abort();
        s.dir = dir;
        ::setenv("CORVANE_REGISTRY_DIR", dir, 1);
        rs::SetHiveDamageReport([](const corvane::RaisedError&, const std::string&) {});  // damage is expected here
        s.hive = rs::HivePath(corvane::HKEY_LOCAL_MACHINE);
        for (const auto& [path, name, type, data] : Values()) {
            RegKey key = 0;
            if (rs::CreateKey(corvane::HKEY_LOCAL_MACHINE, path, corvane::KEY_ALL_ACCESS, &key) != 0) std::abort();
            if (rs::SetValue(key, name, type, data) != 0) std::abort();
            rs::CloseKey(key);
            std::string at;
            for (const auto& part : corvane::SplitRegistryPath(path)) {
                s.subkeys[Folded(at)].insert(part);
                at += (at.empty() ? "" : "\\") + part;
            }
        }
        // Everything into the one file, without a log beside it.
        sqlite3* db = nullptr;
        if (sqlite3_open(s.hive.c_str(), &db) != SQLITE_OK ||
            sqlite3_exec(db, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr) != SQLITE_OK)
            std::abort();
        sqlite3_close(db);
        std::ifstream in(s.hive, std::ios::binary);
        s.bytes.assign(std::istreambuf_iterator<char>(in), {});
        return s;
    }();
    return setup;
}

bool IsWritten(const std::string& path, const std::string& name, std::int32_t type, const std::string& data) {
    for (const auto& [p, n, t, d] : Values())
        if (Folded(p) == Folded(path) && n == name && t == type && d == data) return true;
    return false;
}

void CheckKey(const std::string& path) {
    RegKey key = 0;
    if (rs::OpenKey(corvane::HKEY_LOCAL_MACHINE, path, corvane::KEY_READ, &key) != 0) return;
    for (std::uint32_t i = 0; i < 64; ++i) {
        std::string name;
        std::int32_t type = 0;
        std::string data;
        std::uint32_t room = 1 << 16;
        if (rs::EnumValue(key, i, &name, &type, &data, &room) != 0) break;
        if (!IsWritten(path, name, type, data)) std::abort();
    }
    const auto known = TheSetup().subkeys.find(Folded(path));
    for (std::uint32_t i = 0; i < 64; ++i) {
        std::string name;
        if (rs::EnumKey(key, i, &name) != 0) break;
        if (known == TheSetup().subkeys.end() || !known->second.count(name)) std::abort();
    }
    rs::CloseKey(key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Setup& setup = TheSetup();
    std::string bytes = setup.bytes;
    for (std::size_t i = 0; i + 3 <= size; i += 3) {
        const std::size_t offset = ((std::size_t{data[i]} << 8) | data[i + 1]) % bytes.size();
        bytes[offset] = static_cast<char>(data[i + 2]);
    }
    for (const char* suffix : {"-wal", "-shm", "-journal"}) ::unlink((setup.hive + suffix).c_str());
    {
        std::ofstream(setup.hive, std::ios::binary | std::ios::trunc) << bytes;
    }

    for (const auto& [path, name, type, expected] : Values()) {
        RegKey key = 0;
        if (rs::OpenKey(corvane::HKEY_LOCAL_MACHINE, path, corvane::KEY_READ, &key) != 0) continue;
        std::int32_t found = 0;
        std::string read;
        if (corvane::ReadValueBytes(key, name, &found, &read) == 0 && !IsWritten(path, name, found, read))
            std::abort();
        rs::CloseKey(key);
    }
    for (const auto& [folded, children] : setup.subkeys) CheckKey(folded);
    for (const auto& [path, name, type, expected] : Values()) CheckKey(path);

    // A write on the damaged hive either fails or reads back.
    RegKey key = 0;
    const std::string fresh = "Software\\Pellix\\Corvane\\Global";
    if (rs::CreateKey(corvane::HKEY_LOCAL_MACHINE, fresh, corvane::KEY_ALL_ACCESS, &key) == 0) {
        const std::string value("written now\0", 12);
        if (rs::SetValue(key, "Fresh", corvane::REG_SZ, value) == 0) {
            std::int32_t found = 0;
            std::string read;
            if (corvane::ReadValueBytes(key, "Fresh", &found, &read) == 0 && (found != corvane::REG_SZ || read != value))
                std::abort();
        }
        rs::CloseKey(key);
    }
    return 0;
}
