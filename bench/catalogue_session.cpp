// The session-level catalogue calls (GetTableNames, GetFieldNames) and a database's
// GetSchemaInfo, next to the same queries sent straight through the sqlite3 C API, on a database
// of 10,000 tables plus one table of 2,000 columns with 20 indexes. The database is built once
// per run in a temporary folder; the database component stays connected (KeepConnection), as in
// the designer, so each figure is one call on a live connection.
#include "korv/KVDatabase.h"
#include "korv/KVSession.h"
#include "rtl/Strings.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
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
  std::unique_ptr<korv::TKVDatabase> Database;
  sqlite3* Direct = nullptr;

  TBenchDatabase() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korv-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
    Folder = pattern;
    const std::string file = (Folder / "catalogue.db").string();

    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::string sql = "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN;";
    for (int t = 0; t < 10000; ++t) {
      const auto n = std::to_string(t);
      sql += "CREATE TABLE T" + n + " (ID INTEGER PRIMARY KEY, CODE TEXT UNIQUE, NAME TEXT, AMOUNT REAL);"
             "CREATE INDEX T" + n + "_NAME ON T" + n + " (NAME);";
    }
    sql += "CREATE TABLE WIDE (ID INTEGER PRIMARY KEY";
    for (int c = 1; c < 2000; ++c) sql += ", C" + std::to_string(c) + " TEXT";
    sql += ");";
    for (int i = 0; i < 20; ++i) {
      const auto a = std::to_string(i * 50 + 1), b = std::to_string(i * 50 + 2), c = std::to_string(i * 50 + 3);
      sql += std::string(i % 2 ? "CREATE UNIQUE INDEX" : "CREATE INDEX") + " WIDE_IX" + std::to_string(i) +
             " ON WIDE (C" + a + ", C" + b + ", C" + c + ");";
    }
    sql += "COMMIT;";
    Exec(db, sql);
    sqlite3_close_v2(db);

    Database = std::make_unique<korv::TKVDatabase>(nullptr);
    Database->SetDatabaseName("BENCH");
    Database->SetServerType(korv::TKVServerType::stSQLite);
    Database->SetRemoteDatabase(file);
    Database->Open();
    sqlite3_open_v2(file.c_str(), &Direct, SQLITE_OPEN_READWRITE, nullptr);
    Exec(Direct, "SELECT count(*) FROM sqlite_schema");
  }
  ~TBenchDatabase() {
    Database.reset();
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
  std::string Text(int i) const {
    auto* t = reinterpret_cast<const char*>(sqlite3_column_text(Stmt, i));
    return t ? t : "";
  }
};

void BM_Session_GetTableNames(benchmark::State& state) {
  Db();
  rtl::TStringList list;
  for (auto _ : state) {
    list.Clear();
    korv::Session->GetTableNames("BENCH", "", false, &list);
    benchmark::DoNotOptimize(list.Count());
  }
  state.counters["rows"] = list.Count();
}

void BM_Direct_TableNames(benchmark::State& state) {
  TDirectQuery q("SELECT name FROM main.sqlite_schema WHERE type IN ('table','view') AND name LIKE ?1 ESCAPE '\\'"
                 " AND (?2 OR name NOT LIKE 'sqlite\\_%' ESCAPE '\\') ORDER BY name");
  std::size_t rows = 0;
  for (auto _ : state) {
    std::vector<std::string> names;
    sqlite3_bind_text(q.Stmt, 1, "%", 1, SQLITE_STATIC);
    sqlite3_bind_int(q.Stmt, 2, 0);
    while (sqlite3_step(q.Stmt) == SQLITE_ROW) names.push_back(q.Text(0));
    sqlite3_reset(q.Stmt);
    rows = names.size();
    benchmark::DoNotOptimize(names.data());
  }
  state.counters["rows"] = static_cast<double>(rows);
}

void BM_Session_GetFieldNames_Wide(benchmark::State& state) {
  Db();
  rtl::TStringList list;
  for (auto _ : state) {
    list.Clear();
    korv::Session->GetFieldNames("BENCH", "WIDE", &list);
    benchmark::DoNotOptimize(list.Count());
  }
  state.counters["rows"] = list.Count();
}

void BM_Direct_ColumnNames_Wide(benchmark::State& state) {
  TDirectQuery q("SELECT name FROM pragma_table_xinfo(?1, ?2) WHERE hidden IN (0,2,3) ORDER BY cid");
  for (auto _ : state) {
    std::vector<std::string> names;
    sqlite3_bind_text(q.Stmt, 1, "WIDE", 4, SQLITE_STATIC);
    sqlite3_bind_null(q.Stmt, 2);
    while (sqlite3_step(q.Stmt) == SQLITE_ROW) names.push_back(q.Text(0));
    sqlite3_reset(q.Stmt);
    benchmark::DoNotOptimize(names.data());
  }
}

void BM_Database_GetSchemaInfo_Indexes_Wide(benchmark::State& state) {
  auto& db = Db();
  int rows = 0;
  for (auto _ : state) {
    auto rs = db.Database->GetSchemaInfo(korv::TKVSchemaType::stIndexes, "WIDE");
    rows = rs->RecordCount();
    benchmark::DoNotOptimize(rs.get());
  }
  state.counters["rows"] = rows;
}

void BM_Direct_IndexInfo_Wide(benchmark::State& state) {
  TDirectQuery q(
      "SELECT il.name AS INDEX_NAME, ii.name AS COLUMN_NAME,"
      " (CASE il.origin WHEN 'pk' THEN 4 ELSE 0 END)"
      " | (CASE WHEN il.\"unique\" AND NOT il.partial THEN 2 ELSE 0 END) AS INDEX_TYPE,"
      " ii.seqno AS SEQNO"
      " FROM pragma_index_list(?1, ?2) AS il JOIN pragma_index_info(il.name, ?2) AS ii"
      " UNION ALL"
      " SELECT 'PRIMARY', ti.name, 6, ti.pk - 1 FROM pragma_table_info(?1, ?2) AS ti"
      " WHERE ti.pk > 0 AND NOT EXISTS (SELECT 1 FROM pragma_index_list(?1, ?2) WHERE origin = 'pk')"
      " ORDER BY 1, 4");
  struct TRow {
    std::string Index, Column;
    int Type;
  };
  for (auto _ : state) {
    std::vector<TRow> rows;
    sqlite3_bind_text(q.Stmt, 1, "WIDE", 4, SQLITE_STATIC);
    sqlite3_bind_null(q.Stmt, 2);
    while (sqlite3_step(q.Stmt) == SQLITE_ROW) rows.push_back({q.Text(0), q.Text(1), sqlite3_column_int(q.Stmt, 2)});
    sqlite3_reset(q.Stmt);
    benchmark::DoNotOptimize(rows.data());
  }
}

} // namespace

BENCHMARK(BM_Session_GetTableNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Direct_TableNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Session_GetFieldNames_Wide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Direct_ColumnNames_Wide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Database_GetSchemaInfo_Indexes_Wide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Direct_IndexInfo_Wide)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
