// The catalogue rename of Journal_CatalogueRename (journal_bench.cpp) made in SQLite (WAL, a
// flush at every commit): the same links, n of the old address among n of another, renamed
// and back, each one transaction. Second argument: 1 with an index on the address, 0 without
// (the record files have none; both are given).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench_support.h"
#include "sqlite_side.h"

namespace corvane {
namespace {

std::string RenameDatabase(int links, bool indexed) {
    const std::string path = bench::RootFolder() + "/rename" + std::to_string(links) + (indexed ? "i" : "") + ".db";
    if (std::filesystem::exists(path)) return path;
    bench::SqliteDb db(path);
    db.Exec("CREATE TABLE userwebsites (userlogin TEXT, url TEXT, active INTEGER, deleted INTEGER)");
    db.Exec("BEGIN");
    sqlite3_stmt* add = db.Prepare("INSERT INTO userwebsites VALUES (?1, ?2, 0, 0)");
    for (int i = 0; i < 2 * links; ++i) {
        const std::string user = "user" + std::to_string(i / 2);
        sqlite3_bind_text(add, 1, user.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(add, 2, i % 2 == 0 ? "https://old.example/" : "https://other.example/", -1, SQLITE_STATIC);
        db.Run(add);
    }
    db.Exec("COMMIT");
    if (indexed) db.Exec("CREATE INDEX userwebsites_url ON userwebsites (url)");
    return path;
}

void Sqlite_CatalogueRename(benchmark::State& state) {
    const int links = static_cast<int>(state.range(0));
    bench::SqliteDb db(RenameDatabase(links, state.range(1) != 0));
    sqlite3_stmt* rename = db.Prepare("UPDATE userwebsites SET url = ?2 WHERE url = ?1");
    const bench::CountIo io;
    const auto change = [&](const char* from, const char* to) {
        sqlite3_bind_text(rename, 1, from, -1, SQLITE_STATIC);
        sqlite3_bind_text(rename, 2, to, -1, SQLITE_STATIC);
        return db.Exec("BEGIN") && db.Run(rename) && db.Exec("COMMIT");
    };
    for (auto _ : state) {
        if (!change("https://old.example/", "https://new.example/") ||
            !change("https://new.example/", "https://old.example/")) {
            state.SkipWithError(db.Error().c_str());
            break;
        }
    }
    io.Report(state, 2.0);
}

BENCHMARK(Sqlite_CatalogueRename)
    ->ArgsProduct({{10, 1000, 10000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane
