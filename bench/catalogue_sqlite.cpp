// Catalogue calls of the SQLite driver next to the same queries sent straight through the C API,
// on a database of 10,000 tables plus one table of 2,000 columns with 20 indexes. The database is
// built once per run in a temporary folder.
#include "korv/drivers/Registry.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
    throw std::runtime_error(error ? error : "sqlite error");
}

struct TBenchDatabase {
  std::filesystem::path Folder;
  std::string File;
  std::unique_ptr<korv::drivers::Connection> Driver;
  sqlite3* Direct = nullptr;

  TBenchDatabase() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korv-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
      throw std::runtime_error("no temporary folder");
    Folder = pattern;
    File = (Folder / "catalogue.db").string();

    sqlite3* db = nullptr;
    sqlite3_open_v2(File.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::string sql = "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN;";
    for (int t = 0; t < 10000; ++t) {
      const auto n = std::to_string(t);
      sql += "CREATE TABLE T" + n + " (ID INTEGER PRIMARY KEY, CODE TEXT UNIQUE, NAME TEXT, AMOUNT REAL);"
             "CREATE INDEX T" + n + "_NAME ON T" + n + " (NAME);";
    }
    sql += "CREATE TABLE WIDE (ID INTEGER PRIMARY KEY";
    for (int c = 1; c < 2000; ++c)
      sql += ", C" + std::to_string(c) + " TEXT";
    sql += ");";
    for (int i = 0; i < 20; ++i) {
      const auto a = std::to_string(i * 50 + 1), b = std::to_string(i * 50 + 2), c = std::to_string(i * 50 + 3);
      sql += std::string(i % 2 ? "CREATE UNIQUE INDEX" : "CREATE INDEX") + " WIDE_IX" + std::to_string(i) +
             " ON WIDE (C" + a + ", C" + b + ", C" + c + ");";
    }
    sql += "COMMIT;";
    Exec(db, sql);
    sqlite3_close_v2(db);

    korv::drivers::ConnectionSpec spec;
    spec.RemoteDatabase = File;
    Driver = korv::drivers::GetDriver(korv::TKVServerType::stSQLite).Connect(spec);
    sqlite3_open_v2(File.c_str(), &Direct, SQLITE_OPEN_READWRITE, nullptr);
    Exec(Direct, "SELECT count(*) FROM sqlite_schema");
  }
  ~TBenchDatabase() {
    Driver.reset();
    sqlite3_close_v2(Direct);
    std::error_code ec;
    std::filesystem::remove_all(Folder, ec);
  }
};

TBenchDatabase& Db() {
  static TBenchDatabase db;
  return db;
}

// The query prepared once, as the driver keeps its own; each run binds, steps and copies out.
struct TDirectQuery {
  sqlite3_stmt* Stmt = nullptr;
  explicit TDirectQuery(const char* sql) {
    if (sqlite3_prepare_v2(Db().Direct, sql, -1, &Stmt, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(Db().Direct));
  }
  ~TDirectQuery() { sqlite3_finalize(Stmt); }
};

void BM_Driver_TableNames(benchmark::State& state) {
  auto& db = Db();
  for (auto _ : state) {
    auto names = db.Driver->TableNames("", false);
    benchmark::DoNotOptimize(names.data());
  }
}

void BM_Direct_TableNames(benchmark::State& state) {
  TDirectQuery q("SELECT name FROM main.sqlite_schema WHERE type IN ('table','view') AND name LIKE ?1 ESCAPE '\\'"
                 " AND (?2 OR name NOT LIKE 'sqlite\\_%' ESCAPE '\\') ORDER BY name");
  for (auto _ : state) {
    std::vector<std::string> names;
    sqlite3_bind_text(q.Stmt, 1, "%", 1, SQLITE_STATIC);
    sqlite3_bind_int(q.Stmt, 2, 0);
    while (sqlite3_step(q.Stmt) == SQLITE_ROW)
      names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(q.Stmt, 0)));
    sqlite3_reset(q.Stmt);
    benchmark::DoNotOptimize(names.data());
  }
}

void BM_Driver_ColumnNames_Wide(benchmark::State& state) {
  auto& db = Db();
  for (auto _ : state) {
    auto names = db.Driver->ColumnNames("WIDE");
    benchmark::DoNotOptimize(names.data());
  }
}

void BM_Direct_ColumnNames_Wide(benchmark::State& state) {
  TDirectQuery q("SELECT name FROM pragma_table_xinfo(?1, ?2) WHERE hidden IN (0,2,3) ORDER BY cid");
  for (auto _ : state) {
    std::vector<std::string> names;
    sqlite3_bind_text(q.Stmt, 1, "WIDE", 4, SQLITE_STATIC);
    sqlite3_bind_null(q.Stmt, 2);
    while (sqlite3_step(q.Stmt) == SQLITE_ROW)
      names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(q.Stmt, 0)));
    sqlite3_reset(q.Stmt);
    benchmark::DoNotOptimize(names.data());
  }
}

void BM_Driver_IndexInfo_Wide(benchmark::State& state) {
  auto& db = Db();
  for (auto _ : state) {
    auto rows = db.Driver->IndexInfo("WIDE");
    benchmark::DoNotOptimize(rows.data());
  }
}

void BM_Direct_IndexInfo_Wide(benchmark::State& state) {
  TDirectQuery q(
      "SELECT il.name AS INDEX_NAME, ii.name AS COLUMN_NAME,"
      " (CASE il.origin WHEN 'pk' THEN 4 ELSE 0 END) | (CASE WHEN il.\"unique\" THEN 2 ELSE 0 END) AS INDEX_TYPE,"
      " il.partial, ii.seqno"
      " FROM pragma_index_list(?1, ?2) AS il JOIN pragma_index_info(il.name, ?2) AS ii"
      " UNION ALL"
      " SELECT 'PRIMARY', ti.name, 6, 0, ti.pk - 1 FROM pragma_table_info(?1, ?2) AS ti"
      " WHERE ti.pk > 0 AND NOT EXISTS (SELECT 1 FROM pragma_index_list(?1, ?2) WHERE origin = 'pk')"
      " ORDER BY 1, 5");
  struct TRow {
    std::string Index, Column;
    int Type;
  };
  for (auto _ : state) {
    std::vector<TRow> rows;
    sqlite3_bind_text(q.Stmt, 1, "WIDE", 4, SQLITE_STATIC);
    sqlite3_bind_null(q.Stmt, 2);
    while (sqlite3_step(q.Stmt) == SQLITE_ROW) {
      auto text = [&](int i) {
        auto* t = reinterpret_cast<const char*>(sqlite3_column_text(q.Stmt, i));
        return std::string(t ? t : "");
      };
      rows.push_back({text(0), text(1), sqlite3_column_int(q.Stmt, 2)});
    }
    sqlite3_reset(q.Stmt);
    benchmark::DoNotOptimize(rows.data());
  }
}

} // namespace

BENCHMARK(BM_Driver_TableNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Direct_TableNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Driver_ColumnNames_Wide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Direct_ColumnNames_Wide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Driver_IndexInfo_Wide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Direct_IndexInfo_Wide)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
