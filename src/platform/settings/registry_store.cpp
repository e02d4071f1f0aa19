#include "platform/settings/registry_store.h"

#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "platform/core/environment.h"
#include "platform/settings/registry_hive.h"
#include "platform/core/text.h"

namespace corvane::registry_store {
namespace {

constexpr std::uint32_t kDelete = 0x10000;
constexpr std::uint32_t kWriteDac = 0x40000;
constexpr std::uint32_t kWriteOwner = 0x80000;
constexpr std::uint32_t kWriteRights =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | kDelete | kWriteDac | kWriteOwner;
constexpr std::uint32_t kAllRights = 0xFFFFFFFFu;

bool IsRoot(RegKey key) {
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_USERS;
}

const passwd* CurrentAccount() { return getpwuid(geteuid()); }

std::string HomeFolder() {
    if (auto home = environment::Variable("HOME"); !home.empty()) return home;
    if (const passwd* pw = CurrentAccount(); pw && pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

std::string UserName() {
    if (const passwd* pw = CurrentAccount(); pw && pw->pw_name && *pw->pw_name) return pw->pw_name;
    return std::to_string(geteuid());
}

// An XDG base folder: the variable when it holds an absolute path.
std::string XdgFolder(const char* variable, const char* fallback) {
    auto dir = environment::Variable(variable);
    if (!dir.empty() && dir.front() == '/') return dir;
    return HomeFolder() + fallback;
}

std::string MachineFolder() {
    if (auto dir = environment::Variable("CORVANE_REGISTRY_DIR"); !dir.empty()) return dir;
    namespace fs = std::filesystem;
    const std::string system = "/var/lib/corvane";
    std::error_code ec;
    // An existing machine hive is used even when only readable: its values
    // still apply, and writes are refused rather than sent elsewhere.
    if (fs::exists(system + "/machine.db", ec)) return system;
    const bool usable = fs::exists(system, ec) ? ::access(system.c_str(), W_OK) == 0
                                               : ::access("/var/lib", W_OK) == 0;
    if (usable) return system;
    return XdgFolder("XDG_DATA_HOME", "/.local/share") + "/corvane";
}

std::string UserHive() {
    if (auto dir = environment::Variable("CORVANE_REGISTRY_DIR"); !dir.empty())
        return dir + "/user-" + UserName() + ".db";
    return XdgFolder("XDG_CONFIG_HOME", "/.config") + "/corvane/registry.db";
}

// The keys below which a root's keys live inside its hive.
std::vector<std::string> RootPrefix(RegKey root) {
    if (root == HKEY_CLASSES_ROOT) return {"Software", "Classes"};
    return {};
}

struct OpenedKey {
    std::string path;
    std::unique_ptr<RegistryHive> hive;
    std::int64_t id = 0;
    std::uint32_t access = 0;
};

std::mutex gTableMutex;
std::map<RegKey, std::shared_ptr<OpenedKey>> gTable;
RegKey gNextHandle = 1;

// Where the key behind a handle lives; for a root, a fresh connection is
// made for the one operation.
struct Lease {
    std::shared_ptr<OpenedKey> key;
};

// Opens the hive of a root or handle and finds the key itself. For a root
// with a prefix that does not exist yet, reading answers not found and
// writing creates the prefix.
std::int32_t Acquire(RegKey handle, bool forWriting, Lease* lease) {
    if (IsRoot(handle)) {
        auto key = std::make_shared<OpenedKey>();
        key->path = HivePath(handle);
        key->access = kAllRights;
        if (auto rc = RegistryHive::Open(key->path, forWriting, &key->hive); rc != ERROR_SUCCESS) return rc;
        const auto prefix = RootPrefix(handle);
        if (!prefix.empty()) {
            const auto rc = forWriting ? key->hive->CreatePath(0, prefix, &key->id, nullptr)
                                       : key->hive->FindPath(0, prefix, &key->id);
            if (rc != ERROR_SUCCESS) return rc;
        }
        lease->key = std::move(key);
        return ERROR_SUCCESS;
    }
    std::lock_guard lock(gTableMutex);
    const auto it = gTable.find(handle);
    if (it == gTable.end()) return ERROR_INVALID_HANDLE;
    lease->key = it->second;
    return ERROR_SUCCESS;
}

RegKey Register(std::shared_ptr<OpenedKey> key) {
    std::lock_guard lock(gTableMutex);
    while (gTable.count(gNextHandle) || gNextHandle <= 0) gNextHandle = gNextHandle <= 0 ? 1 : gNextHandle + 1;
    const RegKey handle = gNextHandle++;
    gTable.emplace(handle, std::move(key));
    return handle;
}

// A new connection to the parent's hive, for writing or reading.
std::int32_t OpenBelow(RegKey parent, bool forWriting, std::shared_ptr<OpenedKey>* result) {
    Lease lease;
    if (IsRoot(parent)) {
        if (auto rc = Acquire(parent, forWriting, &lease); rc != ERROR_SUCCESS) return rc;
        *result = std::move(lease.key);
        return ERROR_SUCCESS;
    }
    if (auto rc = Acquire(parent, false, &lease); rc != ERROR_SUCCESS) return rc;
    auto key = std::make_shared<OpenedKey>();
    key->path = lease.key->path;
    key->id = lease.key->id;
    if (auto rc = RegistryHive::Open(key->path, forWriting, &key->hive); rc != ERROR_SUCCESS) return rc;
    *result = std::move(key);
    return ERROR_SUCCESS;
}

// A handle answers only for the rights it was opened with.
std::int32_t NeedRights(const OpenedKey& key, std::uint32_t rights) {
    return (key.access & rights) == rights ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

std::int32_t OfferData(const std::string& bytes, std::string* data, std::uint32_t* size) {
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (data) {
        const std::uint32_t room = size ? *size : 0;
        if (needed > room) {
            if (size) *size = needed;
            return ERROR_MORE_DATA;
        }
        *data = bytes;
    }
    if (size) *size = needed;
    return ERROR_SUCCESS;
}

}  // namespace

std::string HivePath(RegKey root) {
    if (root == HKEY_LOCAL_MACHINE || root == HKEY_CLASSES_ROOT) return MachineFolder() + "/machine.db";
    if (root == HKEY_USERS) return MachineFolder() + "/users.db";
    if (root == HKEY_CURRENT_USER) return UserHive();
    return {};
}

std::int32_t OpenKey(RegKey parent, std::string_view subKey, std::uint32_t access, RegKey* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    std::shared_ptr<OpenedKey> key;
    if (auto rc = OpenBelow(parent, (access & kWriteRights) != 0, &key); rc != ERROR_SUCCESS) return rc;
    if (auto rc = key->hive->FindPath(key->id, SplitRegistryPath(subKey), &key->id); rc != ERROR_SUCCESS)
        return rc;
    key->access = access;
    *result = Register(std::move(key));
    return ERROR_SUCCESS;
}

std::int32_t CreateKey(RegKey parent, std::string_view subKey, std::uint32_t access, RegKey* result,
                       bool* created) {
    if (!result) return ERROR_INVALID_PARAMETER;
    std::shared_ptr<OpenedKey> key;
    auto rc = OpenBelow(parent, true, &key);
    if (rc == ERROR_ACCESS_DENIED && (access & kWriteRights) == 0) {
        // Without write rights an existing key can still be opened to read.
        if (created) *created = false;
        return OpenKey(parent, subKey, access, result);
    }
    if (rc != ERROR_SUCCESS) return rc;
    rc = key->hive->CreatePath(key->id, SplitRegistryPath(subKey), &key->id, created);
    if (rc != ERROR_SUCCESS) return rc;
    key->access = access;
    *result = Register(std::move(key));
    return ERROR_SUCCESS;
}

std::int32_t CloseKey(RegKey key) {
    if (IsRoot(key)) return ERROR_SUCCESS;
    std::shared_ptr<OpenedKey> closing;
    {
        std::lock_guard lock(gTableMutex);
        const auto it = gTable.find(key);
        if (it == gTable.end()) return ERROR_INVALID_HANDLE;
        closing = std::move(it->second);
        gTable.erase(it);
    }
    return ERROR_SUCCESS;
}

std::int32_t QueryValue(RegKey key, std::string_view name, std::int32_t* type, std::string* data,
                        std::uint32_t* size) {
    Lease lease;
    if (auto rc = Acquire(key, false, &lease); rc != ERROR_SUCCESS) return rc;
    if (auto rc = NeedRights(*lease.key, KEY_QUERY_VALUE); rc != ERROR_SUCCESS) return rc;
    std::int32_t found = REG_NONE;
    std::string bytes;
    if (auto rc = lease.key->hive->GetValue(lease.key->id, name, &found, &bytes); rc != ERROR_SUCCESS) return rc;
    if (type) *type = found;
    return OfferData(bytes, data, size);
}

std::int32_t SetValue(RegKey key, std::string_view name, std::int32_t type, std::string_view data) {
    Lease lease;
    if (auto rc = Acquire(key, true, &lease); rc != ERROR_SUCCESS) return rc;
    if (auto rc = NeedRights(*lease.key, KEY_SET_VALUE); rc != ERROR_SUCCESS) return rc;
    return lease.key->hive->PutValue(lease.key->id, name, type, data);
}

std::int32_t SetValues(RegKey root, const std::vector<ValueWrite>& writes) {
    if (!IsRoot(root)) return ERROR_INVALID_HANDLE;
    Lease lease;
    if (auto rc = Acquire(root, true, &lease); rc != ERROR_SUCCESS) return rc;
    RegistryHive& hive = *lease.key->hive;
    return hive.Batch([&]() -> std::int32_t {
        for (const auto& write : writes) {
            std::int64_t id = 0;
            if (auto rc = hive.CreatePath(lease.key->id, SplitRegistryPath(write.path), &id, nullptr);
                rc != ERROR_SUCCESS)
                return rc;
            if (auto rc = hive.PutValue(id, write.name, write.type, write.data); rc != ERROR_SUCCESS) return rc;
        }
        return ERROR_SUCCESS;
    });
}

std::int32_t EnumValue(RegKey key, std::uint32_t index, std::string* name, std::int32_t* type, std::string* data,
                       std::uint32_t* size) {
    Lease lease;
    if (auto rc = Acquire(key, false, &lease); rc == ERROR_FILE_NOT_FOUND) {
        return ERROR_NO_MORE_ITEMS;  // a root whose keys do not exist yet
    } else if (rc != ERROR_SUCCESS) {
        return rc;
    }
    if (auto rc = NeedRights(*lease.key, KEY_QUERY_VALUE); rc != ERROR_SUCCESS) return rc;
    std::string foundName;
    std::int32_t foundType = REG_NONE;
    std::string bytes;
    if (auto rc = lease.key->hive->ValueAt(lease.key->id, index, &foundName, &foundType, &bytes);
        rc != ERROR_SUCCESS)
        return rc;
    if (name) *name = foundName;
    if (type) *type = foundType;
    return OfferData(bytes, data, size);
}

std::int32_t EnumKey(RegKey key, std::uint32_t index, std::string* name) {
    Lease lease;
    if (auto rc = Acquire(key, false, &lease); rc == ERROR_FILE_NOT_FOUND) {
        return ERROR_NO_MORE_ITEMS;
    } else if (rc != ERROR_SUCCESS) {
        return rc;
    }
    if (auto rc = NeedRights(*lease.key, KEY_ENUMERATE_SUB_KEYS); rc != ERROR_SUCCESS) return rc;
    std::string found;
    if (auto rc = lease.key->hive->SubkeyAt(lease.key->id, index, &found); rc != ERROR_SUCCESS) return rc;
    if (name) *name = found;
    return ERROR_SUCCESS;
}

std::int32_t DeleteValue(RegKey key, std::string_view name) {
    Lease lease;
    if (auto rc = Acquire(key, true, &lease); rc != ERROR_SUCCESS) return rc;
    if (auto rc = NeedRights(*lease.key, KEY_SET_VALUE); rc != ERROR_SUCCESS) return rc;
    return lease.key->hive->RemoveValue(lease.key->id, name);
}

std::int32_t DeleteKey(RegKey parent, std::string_view subKey) {
    std::shared_ptr<OpenedKey> key;
    if (auto rc = OpenBelow(parent, true, &key); rc != ERROR_SUCCESS) return rc;
    return key->hive->RemoveKey(key->id, SplitRegistryPath(subKey));
}

std::int32_t ConnectRegistry(std::string_view computer, RegKey root, RegKey* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    if (!IsRoot(root)) return ERROR_INVALID_HANDLE;
    auto name = text::Trim(computer);
    while (!name.empty() && name.front() == '\\') name.erase(0, 1);
    if (!name.empty() && !text::Equals(name, environment::ComputerName())) return ERROR_BAD_NETPATH;
    *result = root;
    return ERROR_SUCCESS;
}

}  // namespace corvane::registry_store
