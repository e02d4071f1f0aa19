#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace corvane {

// One open connection to one hive file. Keys are numbered; 0 is the hive's
// top. Every change outside a Batch runs in its own immediate transaction, so writers from
// several processes queue behind each other instead of losing a write.
// Results are the registry store's codes (ERROR_SUCCESS ...).
class RegistryHive {
public:
    // Opens the hive at path. For writing, the file and its folder are
    // created when missing and a file this process may not write answers
    // ERROR_ACCESS_DENIED. For reading, a missing file is an empty hive.
    static std::int32_t Open(const std::string& path, bool forWriting, std::unique_ptr<RegistryHive>* hive);

    ~RegistryHive();
    RegistryHive(const RegistryHive&) = delete;
    RegistryHive& operator=(const RegistryHive&) = delete;

    bool Writable() const { return writable_; }

    // The key at the end of the path below from; ERROR_FILE_NOT_FOUND when a
    // part is missing.
    std::int32_t FindPath(std::int64_t from, const std::vector<std::string>& parts, std::int64_t* id);

    // The same, creating the missing parts in one transaction.
    std::int32_t CreatePath(std::int64_t from, const std::vector<std::string>& parts, std::int64_t* id,
                            bool* created);

    // ERROR_SUCCESS while the key exists, ERROR_KEY_DELETED once it is gone.
    std::int32_t CheckKey(std::int64_t id);

    std::int32_t GetValue(std::int64_t key, std::string_view name, std::int32_t* type, std::string* data);
    std::int32_t PutValue(std::int64_t key, std::string_view name, std::int32_t type, std::string_view data);
    std::int32_t RemoveValue(std::int64_t key, std::string_view name);
    std::int32_t ValueAt(std::int64_t key, std::uint32_t index, std::string* name, std::int32_t* type,
                         std::string* data);
    std::int32_t SubkeyAt(std::int64_t key, std::uint32_t index, std::string* name);

    // Deletes the key at the end of the path below parent, refusing one that
    // has subkeys.
    std::int32_t RemoveKey(std::int64_t parent, const std::vector<std::string>& parts);

    // Runs several changes as one transaction: other connections see all of
    // them or none. The changes inside join it instead of committing alone;
    // an error from body undoes every one of them.
    std::int32_t Batch(const std::function<std::int32_t()>& body) { return Transaction(body); }

private:
    RegistryHive(sqlite3* db, bool writable, std::string path)
        : db_(db), writable_(writable), path_(std::move(path)) {}

    std::int32_t ChildOf(std::int64_t parent, const std::string& folded, std::int64_t* id);
    std::int32_t Transaction(const std::function<std::int32_t()>& body);
    std::int32_t Upgrade();
    // The store's code for an SQLite result; damage is reported as well.
    std::int32_t Map(int rc) const;

    sqlite3* db_;  // null: the file does not exist yet
    bool writable_;
    std::string path_;
    bool hasTables_ = false;
};

// A key name as the store keeps it: cut at a NUL and limited to the
// characters Windows-1252 can hold.
std::string NormalizeRegistryName(std::string_view name);

// The form names are compared in.
std::string FoldRegistryName(std::string_view normalized);

// A path split at backslashes, empty parts dropped, each part normalized.
std::vector<std::string> SplitRegistryPath(std::string_view path);

}  // namespace corvane
