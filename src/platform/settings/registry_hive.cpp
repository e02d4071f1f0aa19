#include "platform/settings/registry_hive.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/core/cp1252.h"
#include "platform/settings/registry_store.h"
#include "platform/core/text.h"

namespace corvane {
namespace {

constexpr int kBusyTimeoutMs = 15000;
constexpr int kFormatVersion = 1;

// The file's tables; "entries" holds the values ("values" is a keyword).
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS keys("
    " id INTEGER PRIMARY KEY,"
    " parent INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " folded TEXT NOT NULL,"
    " UNIQUE(parent, folded));"
    "CREATE TABLE IF NOT EXISTS entries("
    " id INTEGER PRIMARY KEY,"
    " key INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " folded TEXT NOT NULL,"
    " type INTEGER NOT NULL,"
    " data BLOB NOT NULL,"
    " UNIQUE(key, folded));"
    "PRAGMA user_version = 1;";

std::int32_t MapSqliteError(int rc) {
    switch (rc & 0xFF) {
        case SQLITE_OK:
        case SQLITE_DONE:
        case SQLITE_ROW: return ERROR_SUCCESS;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
        case SQLITE_CANTOPEN: return ERROR_ACCESS_DENIED;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_FORMAT: return ERROR_REGISTRY_CORRUPT;
        default: return ERROR_REGISTRY_IO_FAILED;
    }
}

// One prepared statement, finalized when it goes out of scope.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        rc_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int Prepared() const { return rc_; }
    Statement& Bind(int i, std::int64_t v) {
        sqlite3_bind_int64(stmt_, i, v);
        return *this;
    }
    Statement& Bind(int i, std::string_view v) {
        sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& BindBlob(int i, std::string_view v) {
        // A zero-length blob must still be a blob, not NULL.
        sqlite3_bind_blob(stmt_, i, v.empty() ? "" : v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    int Step() { return rc_ == SQLITE_OK ? sqlite3_step(stmt_) : rc_; }
    std::int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
    std::string Text(int col) const {
        const auto* p = sqlite3_column_text(stmt_, col);
        return p ? std::string(reinterpret_cast<const char*>(p), sqlite3_column_bytes(stmt_, col)) : "";
    }
    std::string Blob(int col) const {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, col));
        return p ? std::string(p, sqlite3_column_bytes(stmt_, col)) : "";
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
    int rc_;
};

std::string UriPath(const std::string& path) {
    std::string uri = "file:";
    for (unsigned char c : path) {
        if (c == '?' || c == '#' || c == '%' || c < 0x20) {
            static const char hex[] = "0123456789ABCDEF";
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri + "?immutable=1";
}

// 1 when both tables exist, 0 when the file holds none yet, or an error.
int ProbeTables(sqlite3* db, bool* hasTables) {
    Statement probe(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('keys', 'entries')");
    const int rc = probe.Step();
    if (rc != SQLITE_ROW) return rc;
    *hasTables = probe.Int(0) == 2;
    return SQLITE_OK;
}

int UserVersion(sqlite3* db, int* version) {
    Statement st(db, "PRAGMA user_version");
    const int rc = st.Step();
    if (rc != SQLITE_ROW) return rc;
    *version = static_cast<int>(st.Int(0));
    return SQLITE_OK;
}

// A new hive is made complete under a temporary name and then linked into
// place. A database file that is still empty while another process already
// writes its log would have that log thrown away by the next opener, taking
// committed values with it.
std::int32_t CreateHiveFile(const std::string& path, bool replaceEmpty) {
    std::string temp = path + ".new-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return ERROR_ACCESS_DENIED;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    (void)::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::int32_t result = MapSqliteError(rc);
    if (result == ERROR_SUCCESS) {
        // Losing the race to another creator is fine: its hive is as good.
        const int placed = replaceEmpty ? ::rename(temp.c_str(), path.c_str()) : ::link(temp.c_str(), path.c_str());
        if (placed != 0 && errno != EEXIST) result = ERROR_ACCESS_DENIED;
    }
    ::unlink(temp.c_str());
    return result;
}

}  // namespace

std::string NormalizeRegistryName(std::string_view name) {
    if (const auto nul = name.find('\0'); nul != std::string_view::npos) name = name.substr(0, nul);
    return cp1252::ToUtf8(cp1252::FromUtf8(name));
}

std::string FoldRegistryName(std::string_view normalized) { return text::ToLower(normalized); }

std::vector<std::string> SplitRegistryPath(std::string_view path) {
    if (const auto nul = path.find('\0'); nul != std::string_view::npos) path = path.substr(0, nul);
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        auto end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) parts.push_back(NormalizeRegistryName(path.substr(start, end - start)));
        start = end + 1;
    }
    return parts;
}

std::int32_t RegistryHive::Open(const std::string& path, bool forWriting, std::unique_ptr<RegistryHive>* hive) {
    namespace fs = std::filesystem;
    std::error_code ec;
    hive->reset();
    if (!forWriting) {
        if (!fs::exists(path, ec)) {
            hive->reset(new RegistryHive(nullptr, false));
            return ERROR_SUCCESS;
        }
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        bool hasTables = false;
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(db, kBusyTimeoutMs);
            rc = ProbeTables(db, &hasTables);
        }
        const int primary = rc & 0xFF;
        if (rc != SQLITE_OK && primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB && primary != SQLITE_BUSY) {
            // A reader without write rights on the folder cannot set up the
            // shared-memory file of a hive whose writers have all gone; the
            // file itself is then complete and can be read as it stands.
            sqlite3_close(db);
            db = nullptr;
            rc = sqlite3_open_v2(UriPath(path).c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
            if (rc == SQLITE_OK) rc = ProbeTables(db, &hasTables);
        }
        if (rc != SQLITE_OK) {
            sqlite3_close(db);
            return MapSqliteError(rc);
        }
        auto* opened = new RegistryHive(db, false);
        opened->hasTables_ = hasTables;
        hive->reset(opened);
        return ERROR_SUCCESS;
    }

    const fs::path file(path);
    if (file.has_parent_path()) {
        fs::create_directories(file.parent_path(), ec);
        if (ec) return ERROR_ACCESS_DENIED;
    }
    if (fs::exists(file, ec)) {
        if (::access(path.c_str(), W_OK) != 0) return ERROR_ACCESS_DENIED;
        if (fs::file_size(file, ec) == 0 && !ec) {
            if (auto rc = CreateHiveFile(path, true); rc != ERROR_SUCCESS) return rc;
        }
    } else if (auto rc = CreateHiveFile(path, false); rc != ERROR_SUCCESS) {
        return rc;
    }
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK && sqlite3_db_readonly(db, "main") == 1) rc = SQLITE_READONLY;
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return MapSqliteError(rc);
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // In WAL mode every commit stays atomic; the log is flushed to disk at
    // checkpoints rather than on each of the many small settings writes.
    sqlite3_exec(db, "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr);
    // Keep the log files when the last writer closes, so that readers who may
    // not create files in the folder can still open the hive.
    int persist = 1;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);

    std::unique_ptr<RegistryHive> opened(new RegistryHive(db, true));
    int version = 0;
    rc = UserVersion(db, &version);
    if (rc == SQLITE_OK && version > kFormatVersion) return ERROR_ACCESS_DENIED;  // a newer program's hive
    if (rc == SQLITE_OK && version != kFormatVersion) {
        rc = sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) {
            rc = static_cast<int>(opened->Transaction([&] {
                return MapSqliteError(sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr));
            }));
            if (rc != ERROR_SUCCESS) return rc;
        }
    }
    if (rc != SQLITE_OK) return MapSqliteError(rc);
    opened->hasTables_ = true;
    *hive = std::move(opened);
    return ERROR_SUCCESS;
}

RegistryHive::~RegistryHive() { sqlite3_close(db_); }

std::int32_t RegistryHive::Transaction(const std::function<std::int32_t()>& body) {
    if (!db_ || !writable_) return ERROR_ACCESS_DENIED;
    if (!sqlite3_get_autocommit(db_)) return body();  // inside a batch
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return MapSqliteError(rc);
    const std::int32_t result = body();
    if (result != ERROR_SUCCESS) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return result;
    }
    rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return MapSqliteError(rc);
    }
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::ChildOf(std::int64_t parent, const std::string& folded, std::int64_t* id) {
    if (!hasTables_) return ERROR_FILE_NOT_FOUND;
    Statement st(db_, "SELECT id FROM keys WHERE parent = ? AND folded = ?");
    st.Bind(1, parent).Bind(2, folded);
    const int rc = st.Step();
    if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
    if (rc != SQLITE_ROW) return MapSqliteError(rc);
    *id = st.Int(0);
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::CheckKey(std::int64_t id) {
    if (id == 0) return ERROR_SUCCESS;
    if (!hasTables_) return ERROR_KEY_DELETED;
    Statement st(db_, "SELECT 1 FROM keys WHERE id = ?");
    st.Bind(1, id);
    const int rc = st.Step();
    if (rc == SQLITE_DONE) return ERROR_KEY_DELETED;
    return rc == SQLITE_ROW ? ERROR_SUCCESS : MapSqliteError(rc);
}

std::int32_t RegistryHive::FindPath(std::int64_t from, const std::vector<std::string>& parts, std::int64_t* id) {
    if (auto rc = CheckKey(from); rc != ERROR_SUCCESS) return rc;
    std::int64_t at = from;
    for (const auto& part : parts) {
        if (auto rc = ChildOf(at, FoldRegistryName(part), &at); rc != ERROR_SUCCESS) return rc;
    }
    *id = at;
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::CreatePath(std::int64_t from, const std::vector<std::string>& parts, std::int64_t* id,
                                      bool* created) {
    bool made = false;
    std::int64_t at = from;
    const auto rc = Transaction([&]() -> std::int32_t {
        if (auto check = CheckKey(from); check != ERROR_SUCCESS) return check;
        for (const auto& part : parts) {
            const std::string folded = FoldRegistryName(part);
            const auto found = ChildOf(at, folded, &at);
            if (found == ERROR_SUCCESS) continue;
            if (found != ERROR_FILE_NOT_FOUND) return found;
            Statement insert(db_, "INSERT INTO keys(parent, name, folded) VALUES(?, ?, ?)");
            insert.Bind(1, at).Bind(2, part).Bind(3, folded);
            if (const int step = insert.Step(); step != SQLITE_DONE) return MapSqliteError(step);
            at = sqlite3_last_insert_rowid(db_);
            made = true;
        }
        return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    *id = at;
    if (created) *created = made;
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::GetValue(std::int64_t key, std::string_view name, std::int32_t* type, std::string* data) {
    if (auto rc = CheckKey(key); rc != ERROR_SUCCESS) return rc;
    if (!hasTables_) return ERROR_FILE_NOT_FOUND;
    Statement st(db_, "SELECT type, data FROM entries WHERE key = ? AND folded = ?");
    st.Bind(1, key).Bind(2, FoldRegistryName(NormalizeRegistryName(name)));
    const int rc = st.Step();
    if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
    if (rc != SQLITE_ROW) return MapSqliteError(rc);
    *type = static_cast<std::int32_t>(st.Int(0));
    *data = st.Blob(1);
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::PutValue(std::int64_t key, std::string_view name, std::int32_t type,
                                    std::string_view data) {
    const std::string normalized = NormalizeRegistryName(name);
    return Transaction([&]() -> std::int32_t {
        if (auto rc = CheckKey(key); rc != ERROR_SUCCESS) return rc;
        // An existing value keeps its name as first written and its place in
        // the listing order.
        Statement st(db_,
                     "INSERT INTO entries(key, name, folded, type, data) VALUES(?, ?, ?, ?, ?) "
                     "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
        st.Bind(1, key).Bind(2, normalized).Bind(3, FoldRegistryName(normalized)).Bind(4, type).BindBlob(5, data);
        const int rc = st.Step();
        return rc == SQLITE_DONE ? ERROR_SUCCESS : MapSqliteError(rc);
    });
}

std::int32_t RegistryHive::RemoveValue(std::int64_t key, std::string_view name) {
    return Transaction([&]() -> std::int32_t {
        if (auto rc = CheckKey(key); rc != ERROR_SUCCESS) return rc;
        Statement st(db_, "DELETE FROM entries WHERE key = ? AND folded = ?");
        st.Bind(1, key).Bind(2, FoldRegistryName(NormalizeRegistryName(name)));
        const int rc = st.Step();
        if (rc != SQLITE_DONE) return MapSqliteError(rc);
        return sqlite3_changes(db_) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

std::int32_t RegistryHive::ValueAt(std::int64_t key, std::uint32_t index, std::string* name, std::int32_t* type,
                                   std::string* data) {
    if (auto rc = CheckKey(key); rc != ERROR_SUCCESS) return rc;
    if (!hasTables_) return ERROR_NO_MORE_ITEMS;
    Statement st(db_, "SELECT name, type, data FROM entries WHERE key = ? ORDER BY id LIMIT 1 OFFSET ?");
    st.Bind(1, key).Bind(2, static_cast<std::int64_t>(index));
    const int rc = st.Step();
    if (rc == SQLITE_DONE) return ERROR_NO_MORE_ITEMS;
    if (rc != SQLITE_ROW) return MapSqliteError(rc);
    *name = st.Text(0);
    *type = static_cast<std::int32_t>(st.Int(1));
    *data = st.Blob(2);
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::SubkeyAt(std::int64_t key, std::uint32_t index, std::string* name) {
    if (auto rc = CheckKey(key); rc != ERROR_SUCCESS) return rc;
    if (!hasTables_) return ERROR_NO_MORE_ITEMS;
    Statement st(db_, "SELECT name FROM keys WHERE parent = ? ORDER BY folded LIMIT 1 OFFSET ?");
    st.Bind(1, key).Bind(2, static_cast<std::int64_t>(index));
    const int rc = st.Step();
    if (rc == SQLITE_DONE) return ERROR_NO_MORE_ITEMS;
    if (rc != SQLITE_ROW) return MapSqliteError(rc);
    *name = st.Text(0);
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::RemoveKey(std::int64_t parent, const std::vector<std::string>& parts) {
    if (parts.empty()) return ERROR_INVALID_PARAMETER;
    return Transaction([&]() -> std::int32_t {
        std::int64_t id = 0;
        if (auto rc = FindPath(parent, parts, &id); rc != ERROR_SUCCESS) return rc;
        Statement children(db_, "SELECT 1 FROM keys WHERE parent = ? LIMIT 1");
        children.Bind(1, id);
        const int step = children.Step();
        if (step == SQLITE_ROW) return ERROR_ACCESS_DENIED;
        if (step != SQLITE_DONE) return MapSqliteError(step);
        Statement values(db_, "DELETE FROM entries WHERE key = ?");
        values.Bind(1, id);
        if (const int rc = values.Step(); rc != SQLITE_DONE) return MapSqliteError(rc);
        Statement key(db_, "DELETE FROM keys WHERE id = ?");
        key.Bind(1, id);
        if (const int rc = key.Step(); rc != SQLITE_DONE) return MapSqliteError(rc);
        return ERROR_SUCCESS;
    });
}

}  // namespace corvane
