#pragma once

// SQLite beside the record files: one connection per workstation, in WAL mode with a flush at
// every commit (synchronous=FULL), as the yardstick of a change the record files make.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::bench {

class SqliteDb {
public:
    // Opens (or creates) the database at path in WAL mode with synchronous=FULL; a writer
    // waits up to ten seconds for another's commit (SQLite's busy timeout, which sleeps
    // between its tries).
    explicit SqliteDb(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK)
            Fail("open");
        sqlite3_busy_timeout(db_, 10000);
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=FULL");
    }
    ~SqliteDb() {
        for (sqlite3_stmt* s : statements_) sqlite3_finalize(s);
        sqlite3_close(db_);
    }
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // Runs sql (statements without parameters); false, with the error kept, on failure.
    bool Exec(const std::string& sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
        error_ = message ? message : "unknown";
        sqlite3_free(message);
        return false;
    }
    // A statement kept for the connection's life.
    sqlite3_stmt* Prepare(const std::string& sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) Fail("prepare");
        statements_.push_back(s);
        return s;
    }
    // Steps s to its end and resets it; false on an error.
    bool Run(sqlite3_stmt* s) {
        int r;
        while ((r = sqlite3_step(s)) == SQLITE_ROW) {
        }
        sqlite3_reset(s);
        if (r == SQLITE_DONE) return true;
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    std::int64_t LastRow() const { return sqlite3_last_insert_rowid(db_); }
    const std::string& Error() const { return error_; }

private:
    void Fail(const char* what) { error_ = std::string(what) + ": " + sqlite3_errmsg(db_); }

    sqlite3* db_ = nullptr;
    std::vector<sqlite3_stmt*> statements_;
    std::string error_;
};

}  // namespace corvane::bench
