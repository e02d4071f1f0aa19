#include "platform/settings/registry_hive.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <set>
#include <utility>

#include "platform/core/cp1252.h"
#include "platform/core/raised_error.h"
#include "platform/core/text.h"
#include "platform/settings/registry_row_sum.h"
#include "platform/settings/registry_store.h"

namespace corvane {
namespace {

constexpr int kBusyTimeoutMs = 15000;
constexpr int kFormatVersion = 2;

// The file's tables; "entries" holds the values ("values" is a keyword).
// Every row carries a check sum of its own contents (see RowSums).
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS keys("
    " id INTEGER PRIMARY KEY,"
    " parent INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " folded TEXT NOT NULL,"
    " sum INTEGER NOT NULL DEFAULT 0,"
    " UNIQUE(parent, folded));"
    "CREATE TABLE IF NOT EXISTS entries("
    " id INTEGER PRIMARY KEY,"
    " key INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " folded TEXT NOT NULL,"
    " type INTEGER NOT NULL,"
    " data BLOB NOT NULL,"
    " sum INTEGER NOT NULL DEFAULT 0,"
    " UNIQUE(key, folded));"
    "PRAGMA user_version = 2;";

// A hive of the first format gains the sums.
constexpr const char* kAddSums =
    "ALTER TABLE keys ADD COLUMN sum INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE entries ADD COLUMN sum INTEGER NOT NULL DEFAULT 0;";

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

// A keys row selected as id, parent, name, folded, sum.
bool KeyRowIsWhole(const Statement& row) {
    return row.Int(4) == KeyRowSum(row.Int(0), row.Int(1), row.Text(2), row.Text(3));
}

// An entries row selected as key, name, folded, type, data, sum.
bool EntryRowIsWhole(const Statement& row) {
    return row.Int(5) ==
           EntryRowSum(row.Int(0), row.Text(1), row.Text(2), static_cast<std::int32_t>(row.Int(3)), row.Blob(4));
}

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

// The hive and the files SQLite keeps beside it must be regular files (or
// missing): opening a FIFO would wait for a writer forever, and a device
// would be read as endless data.
bool OnlyRegularFiles(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        struct stat st {};
        if (::stat((path + suffix).c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return false;
    }
    return true;
}

// Damage in a cell is reported as corruption instead of being read as data,
// and a hive whose pages do not hold together is refused as a whole.
int CheckStructure(sqlite3* db) {
    int rc = sqlite3_exec(db, "PRAGMA cell_size_check = ON", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
    Statement check(db, "PRAGMA quick_check(1)");
    rc = check.Step();
    if (rc != SQLITE_ROW) return rc;
    return check.Text(0) == "ok" ? SQLITE_OK : SQLITE_CORRUPT;
}

std::mutex gDamageMutex;
registry_store::HiveDamageReport gDamageReport;
std::set<std::string> gReportedHives;

// Once per hive and run: its values now read as missing.
void ReportDamage(const std::string& path) {
    registry_store::HiveDamageReport report;
    {
        std::lock_guard lock(gDamageMutex);
        if (!gReportedHives.insert(path).second) return;
        report = gDamageReport;
    }
    const RaisedError error(ERROR_REGISTRY_CORRUPT, "Registry",
                            "The registry hive " + path +
                                " is damaged: its settings read as their defaults and nothing is written to it.");
    if (report) report(error, "RegistryStore.OpenHive");
    else std::fprintf(stderr, "%s\n", error.Description().c_str());
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

namespace registry_store {

HiveDamageReport SetHiveDamageReport(HiveDamageReport report) {
    std::lock_guard lock(gDamageMutex);
    gReportedHives.clear();
    return std::exchange(gDamageReport, std::move(report));
}

}  // namespace registry_store

std::int32_t RegistryHive::Map(int rc) const {
    const std::int32_t result = MapSqliteError(rc);
    if (result == ERROR_REGISTRY_CORRUPT) ReportDamage(path_);
    return result;
}

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
    if (!OnlyRegularFiles(path)) return ERROR_ACCESS_DENIED;
    // A damaged file is refused as it is opened; its settings then read as
    // their defaults.
    const auto refuse = [&](sqlite3* db, int rc) {
        sqlite3_close(db);
        const std::int32_t result = MapSqliteError(rc);
        if (result == ERROR_REGISTRY_CORRUPT) ReportDamage(path);
        return result;
    };
    if (!forWriting) {
        if (!fs::exists(path, ec)) {
            hive->reset(new RegistryHive(nullptr, false, path));
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
        if (rc == SQLITE_OK) rc = CheckStructure(db);
        if (rc != SQLITE_OK) return refuse(db, rc);
        auto* opened = new RegistryHive(db, false, path);
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
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        rc = CheckStructure(db);
    }
    if (rc != SQLITE_OK) return refuse(db, rc);
    // In WAL mode every commit stays atomic; the log is flushed to disk at
    // checkpoints rather than on each of the many small settings writes.
    sqlite3_exec(db, "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr);
    // Keep the log files when the last writer closes, so that readers who may
    // not create files in the folder can still open the hive.
    int persist = 1;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);

    std::unique_ptr<RegistryHive> opened(new RegistryHive(db, true, path));
    int version = 0;
    rc = UserVersion(db, &version);
    if (rc != SQLITE_OK) return opened->Map(rc);
    if (version > kFormatVersion) return ERROR_ACCESS_DENIED;  // a newer program's hive
    if (version != kFormatVersion) {
        rc = sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return opened->Map(rc);
        if (auto upgraded = opened->Transaction([&] { return opened->Upgrade(); }); upgraded != ERROR_SUCCESS)
            return upgraded;
    }
    opened->hasTables_ = true;
    *hive = std::move(opened);
    return ERROR_SUCCESS;
}

// Inside the writer's transaction, so that of two processes upgrading at
// once the second finds the work done.
std::int32_t RegistryHive::Upgrade() {
    int version = 0;
    if (const int rc = UserVersion(db_, &version); rc != SQLITE_OK) return Map(rc);
    if (version == kFormatVersion) return ERROR_SUCCESS;
    if (version == 1) {
        if (const int rc = sqlite3_exec(db_, kAddSums, nullptr, nullptr, nullptr); rc != SQLITE_OK) return Map(rc);
        Statement keys(db_, "SELECT id, parent, name, folded FROM keys");
        int step = SQLITE_ROW;
        while ((step = keys.Step()) == SQLITE_ROW) {
            Statement set(db_, "UPDATE keys SET sum = ? WHERE id = ?");
            set.Bind(1, KeyRowSum(keys.Int(0), keys.Int(1), keys.Text(2), keys.Text(3))).Bind(2, keys.Int(0));
            if (const int rc = set.Step(); rc != SQLITE_DONE) return Map(rc);
        }
        if (step != SQLITE_DONE) return Map(step);
        Statement entries(db_, "SELECT id, key, name, folded, type, data FROM entries");
        while ((step = entries.Step()) == SQLITE_ROW) {
            Statement set(db_, "UPDATE entries SET sum = ? WHERE id = ?");
            set.Bind(1, EntryRowSum(entries.Int(1), entries.Text(2), entries.Text(3),
                                    static_cast<std::int32_t>(entries.Int(4)), entries.Blob(5)))
                .Bind(2, entries.Int(0));
            if (const int rc = set.Step(); rc != SQLITE_DONE) return Map(rc);
        }
        if (step != SQLITE_DONE) return Map(step);
    }
    return Map(sqlite3_exec(db_, kSchema, nullptr, nullptr, nullptr));
}

RegistryHive::~RegistryHive() { sqlite3_close(db_); }

std::int32_t RegistryHive::Transaction(const std::function<std::int32_t()>& body) {
    if (!db_ || !writable_) return ERROR_ACCESS_DENIED;
    if (!sqlite3_get_autocommit(db_)) return body();  // inside a batch
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return Map(rc);
    const std::int32_t result = body();
    if (result != ERROR_SUCCESS) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return result;
    }
    rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return Map(rc);
    }
    return ERROR_SUCCESS;
}

// The row is read from the table itself and must be the one asked for:
// an index that points elsewhere is damage too.
std::int32_t RegistryHive::ChildOf(std::int64_t parent, const std::string& folded, std::int64_t* id) {
    if (!hasTables_) return ERROR_FILE_NOT_FOUND;
    Statement st(db_, "SELECT id, parent, name, folded, sum FROM keys WHERE parent = ? AND folded = ?");
    st.Bind(1, parent).Bind(2, folded);
    const int rc = st.Step();
    if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
    if (rc != SQLITE_ROW) return Map(rc);
    if (!KeyRowIsWhole(st) || st.Int(1) != parent || st.Text(3) != folded) return Map(SQLITE_CORRUPT);
    *id = st.Int(0);
    return ERROR_SUCCESS;
}


std::int32_t RegistryHive::CheckKey(std::int64_t id) {
    if (id == 0) return ERROR_SUCCESS;
    if (!hasTables_) return ERROR_KEY_DELETED;
    Statement st(db_, "SELECT id, parent, name, folded, sum FROM keys WHERE id = ?");
    st.Bind(1, id);
    const int rc = st.Step();
    if (rc == SQLITE_DONE) return ERROR_KEY_DELETED;
    if (rc != SQLITE_ROW) return Map(rc);
    return KeyRowIsWhole(st) && st.Int(0) == id ? ERROR_SUCCESS : Map(SQLITE_CORRUPT);
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
            if (const int step = insert.Step(); step != SQLITE_DONE) return Map(step);
            const std::int64_t parent = at;
            at = sqlite3_last_insert_rowid(db_);
            Statement sum(db_, "UPDATE keys SET sum = ? WHERE id = ?");
            sum.Bind(1, KeyRowSum(at, parent, part, folded)).Bind(2, at);
            if (const int step = sum.Step(); step != SQLITE_DONE) return Map(step);
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
    const std::string folded = FoldRegistryName(NormalizeRegistryName(name));
    Statement st(db_, "SELECT key, name, folded, type, data, sum FROM entries WHERE key = ? AND folded = ?");
    st.Bind(1, key).Bind(2, folded);
    const int rc = st.Step();
    if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
    if (rc != SQLITE_ROW) return Map(rc);
    if (!EntryRowIsWhole(st) || st.Int(0) != key || st.Text(2) != folded) return Map(SQLITE_CORRUPT);
    *type = static_cast<std::int32_t>(st.Int(3));
    *data = st.Blob(4);
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::PutValue(std::int64_t key, std::string_view name, std::int32_t type,
                                    std::string_view data) {
    const std::string normalized = NormalizeRegistryName(name);
    return Transaction([&]() -> std::int32_t {
        if (auto rc = CheckKey(key); rc != ERROR_SUCCESS) return rc;
        // An existing value keeps its name as first written and its place in
        // the listing order.
        const std::string folded = FoldRegistryName(normalized);
        Statement kept(db_, "SELECT name FROM entries WHERE key = ? AND folded = ?");
        kept.Bind(1, key).Bind(2, folded);
        const int found = kept.Step();
        if (found != SQLITE_ROW && found != SQLITE_DONE) return Map(found);
        const std::string stored = found == SQLITE_ROW ? kept.Text(0) : normalized;
        Statement st(db_,
                     "INSERT INTO entries(key, name, folded, type, data, sum) VALUES(?, ?, ?, ?, ?, ?) "
                     "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data, "
                     "sum = excluded.sum");
        st.Bind(1, key).Bind(2, normalized).Bind(3, folded).Bind(4, type).BindBlob(5, data);
        st.Bind(6, EntryRowSum(key, stored, folded, type, data));
        const int rc = st.Step();
        return rc == SQLITE_DONE ? ERROR_SUCCESS : Map(rc);
    });
}

std::int32_t RegistryHive::RemoveValue(std::int64_t key, std::string_view name) {
    return Transaction([&]() -> std::int32_t {
        if (auto rc = CheckKey(key); rc != ERROR_SUCCESS) return rc;
        Statement st(db_, "DELETE FROM entries WHERE key = ? AND folded = ?");
        st.Bind(1, key).Bind(2, FoldRegistryName(NormalizeRegistryName(name)));
        const int rc = st.Step();
        if (rc != SQLITE_DONE) return Map(rc);
        return sqlite3_changes(db_) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

std::int32_t RegistryHive::ValueAt(std::int64_t key, std::uint32_t index, std::string* name, std::int32_t* type,
                                   std::string* data) {
    if (auto rc = CheckKey(key); rc != ERROR_SUCCESS) return rc;
    if (!hasTables_) return ERROR_NO_MORE_ITEMS;
    Statement st(db_,
                 "SELECT key, name, folded, type, data, sum FROM entries WHERE key = ? ORDER BY id LIMIT 1 OFFSET ?");
    st.Bind(1, key).Bind(2, static_cast<std::int64_t>(index));
    const int rc = st.Step();
    if (rc == SQLITE_DONE) return ERROR_NO_MORE_ITEMS;
    if (rc != SQLITE_ROW) return Map(rc);
    if (!EntryRowIsWhole(st) || st.Int(0) != key) return Map(SQLITE_CORRUPT);
    *name = st.Text(1);
    *type = static_cast<std::int32_t>(st.Int(3));
    *data = st.Blob(4);
    return ERROR_SUCCESS;
}

std::int32_t RegistryHive::SubkeyAt(std::int64_t key, std::uint32_t index, std::string* name) {
    if (auto rc = CheckKey(key); rc != ERROR_SUCCESS) return rc;
    if (!hasTables_) return ERROR_NO_MORE_ITEMS;
    Statement st(db_,
                 "SELECT id, parent, name, folded, sum FROM keys WHERE parent = ? ORDER BY folded LIMIT 1 OFFSET ?");
    st.Bind(1, key).Bind(2, static_cast<std::int64_t>(index));
    const int rc = st.Step();
    if (rc == SQLITE_DONE) return ERROR_NO_MORE_ITEMS;
    if (rc != SQLITE_ROW) return Map(rc);
    if (!KeyRowIsWhole(st) || st.Int(1) != key) return Map(SQLITE_CORRUPT);
    *name = st.Text(2);
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
        if (step != SQLITE_DONE) return Map(step);
        Statement values(db_, "DELETE FROM entries WHERE key = ?");
        values.Bind(1, id);
        if (const int rc = values.Step(); rc != SQLITE_DONE) return Map(rc);
        Statement key(db_, "DELETE FROM keys WHERE id = ?");
        key.Bind(1, id);
        if (const int rc = key.Step(); rc != SQLITE_DONE) return Map(rc);
        return ERROR_SUCCESS;
    });
}

}  // namespace corvane
