// Logins with their logouts from 16 workstations at once, as the login and the logout write
// them, with their flushes, beside the same run without flushes and beside SQLite making the
// same changes. Each iteration of a workstation is a login after one mistyped password: the
// refused attempt (its account read, its count raised by one in place, its user-log record
// appended), the login (the count back to 0, its session record appended) and the logout
// (the session record closed in place): one flush per booking and one per logout.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "accounts_folder.h"
#include "bench_support.h"
#include "logs/log_writers.h"
#include "platform/core/clock.h"
#include "recordstore/user.h"
#include "sqlite_side.h"

namespace corvane {
namespace {

constexpr int kWorkstations = 16;

std::string Login(int workstation) { return "pupil" + std::to_string(workstation); }

const std::string& SessionFolder() {
    static const std::string folder = bench::AccountsFolder("sessions", kWorkstations);
    return folder;
}

// One attempt of login booked as the login books it; the session record it appended.
UserLogEntry Attempt(User& user, const std::string& login, bool success) {
    if (!user.Load(login)) return {};
    if (!user.BookFields([&](User& account) { account.SetFailedLogins(success ? 0 : account.FailedLogins() + 1); }))
        return {};
    return WriteUserLogEntry(login, &user, success);
}

// Argument: 1 with flushes, 0 with every flush skipped.
void Session_Workstations16(benchmark::State& state) {
    static bench::InDataFolder* in = nullptr;
    static std::unique_ptr<bench::CountIo> io;
    if (state.thread_index() == 0) {
        in = new bench::InDataFolder(SessionFolder());
        bench::SkipFlushes(state.range(0) == 0);
        io = std::make_unique<bench::CountIo>();
    }
    const std::string login = Login(state.thread_index());
    User user;
    for (auto _ : state) {
        const bool refused = Attempt(user, login, false).logID > 0;
        const UserLogEntry session = Attempt(user, login, true);
        if (!refused || session.logID <= 0 || !CloseUserLogEntry(session)) {
            state.SkipWithError("a login or logout wrote nothing");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0) {
        io->Report(state, static_cast<double>(state.threads()));
        io.reset();
        bench::SkipFlushes(false);
        delete in;
        in = nullptr;
    }
}

// The same changes in SQLite (WAL, a flush at every commit), each workstation a connection
// of its own: each attempt reads its account and then, in one transaction, sets its count
// and inserts its session row; the logout updates that row. A writer that finds another
// writing waits as SQLite's busy timeout waits.
void Sqlite_Workstations16(benchmark::State& state) {
    const std::string path = bench::RootFolder() + "/sessions.db";
    static std::unique_ptr<bench::CountIo> io;
    if (state.thread_index() == 0) {
        for (const char* part : {"", "-wal", "-shm"}) std::filesystem::remove(path + part);
        bench::SqliteDb db(path);
        db.Exec("CREATE TABLE users (login TEXT PRIMARY KEY, name TEXT, failed INTEGER, locked INTEGER)");
        db.Exec("CREATE TABLE userlog (id INTEGER PRIMARY KEY, login TEXT, name TEXT, app TEXT, computer TEXT,"
                " login_stamp REAL, logout_stamp REAL, failed INTEGER, active INTEGER, invalid INTEGER,"
                " deleted INTEGER)");
        db.Exec("BEGIN");
        for (int n = 0; n < kWorkstations; ++n)
            db.Exec("INSERT INTO users VALUES ('" + Login(n) + "', 'Pupil " + std::to_string(n) + "', 0, 0)");
        if (!db.Exec("COMMIT")) state.SkipWithError(db.Error().c_str());
        io = std::make_unique<bench::CountIo>();
    }
    const std::string login = Login(state.thread_index());
    std::unique_ptr<bench::SqliteDb> db;
    sqlite3_stmt *read = nullptr, *book = nullptr, *append = nullptr, *close = nullptr;
    for (auto _ : state) {
        if (!db) {  // opened once every workstation has passed the start, so the tables stand
            db = std::make_unique<bench::SqliteDb>(path);
            read = db->Prepare("SELECT * FROM users WHERE login = ?1");
            book = db->Prepare("UPDATE users SET failed = CASE WHEN ?2 THEN 0 ELSE failed + 1 END WHERE login = ?1");
            append = db->Prepare("INSERT INTO userlog (login, name, app, computer, login_stamp, logout_stamp,"
                                 " failed, active, invalid, deleted) VALUES (?1, 'Pupil', 'Corvane Standard',"
                                 " 'WS', ?3, 0, NOT ?2, ?2, 0, 0)");
            close = db->Prepare("UPDATE userlog SET logout_stamp = ?2, active = 0 WHERE id = ?1");
        }
        bool ok = true;
        std::int64_t session = 0;
        for (const int success : {0, 1}) {
            for (sqlite3_stmt* s : {read, book, append}) {
                sqlite3_bind_text(s, 1, login.c_str(), -1, SQLITE_TRANSIENT);
                if (s != read) sqlite3_bind_int(s, 2, success);
            }
            sqlite3_bind_double(append, 3, clock::Now());
            ok = ok && db->Run(read) && db->Exec("BEGIN IMMEDIATE") && db->Run(book) && db->Run(append) &&
                 db->Exec("COMMIT");
            session = db->LastRow();
        }
        sqlite3_bind_int64(close, 1, session);
        sqlite3_bind_double(close, 2, clock::Now());
        if (!ok || !db->Run(close)) {
            state.SkipWithError(db->Error().c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0) {
        io->Report(state, static_cast<double>(state.threads()));
        io.reset();
    }
}

BENCHMARK(Session_Workstations16)->Arg(1)->Arg(0)->Threads(kWorkstations)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Sqlite_Workstations16)->Threads(kWorkstations)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane
