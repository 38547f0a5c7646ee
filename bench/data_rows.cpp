// Reading 100,000 rows of five columns through a query's Next and FieldByName, next to the raw
// sqlite3_step loop and the raw libpq loop over the same rows: the data set should cost no more
// than twice as much. The PostgreSQL pair needs a server (eval "$(scripts/pg-cluster start DIR)");
// without KORV_PG_* it is skipped. Its table korv_bench_rows.items is built on the first run.
#include "korv/KVDatabase.h"
#include "korv/KVQuery.h"
#include "rtl/Exceptions.h"

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using namespace korv;

namespace {

constexpr int RowCount = 100000;
constexpr const char* Select = "select ID, NAME, CITY, AMOUNT, QTY from ITEMS";

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// ---------------------------------------------------------------- SQLite

const std::string& SQLiteFile() {
  static const std::string file = [] {
    const auto path = std::filesystem::temp_directory_path() / fmt::format("korv_bench_rows_{}.db", ::getpid());
    std::filesystem::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE ITEMS (ID INTEGER PRIMARY KEY, NAME VARCHAR(40), CITY VARCHAR(30), AMOUNT REAL, "
                 "QTY INTEGER);"
                 "WITH RECURSIVE N(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM N WHERE X < 100000) "
                 "INSERT INTO ITEMS SELECT X, 'customer ' || X, 'city ' || (X % 100), X * 0.5, X % 17 FROM N;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::atexit([] { std::filesystem::remove(SQLiteFile()); });
    return path.string();
  }();
  return file;
}

void BM_SQLiteRawStep(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(SQLiteFile().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  for (auto _ : state) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, Select, -1, &stmt, nullptr);
    long long sum = 0;
    std::size_t chars = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      sum += sqlite3_column_int64(stmt, 0);
      chars += std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1))).size();
      chars += std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2))).size();
      sum += static_cast<long long>(sqlite3_column_double(stmt, 3));
      sum += sqlite3_column_int64(stmt, 4);
    }
    sqlite3_finalize(stmt);
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(chars);
  }
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * RowCount);
}
BENCHMARK(BM_SQLiteRawStep)->Unit(benchmark::kMillisecond);

void ReadThroughQuery(benchmark::State& state, TKVDatabase& db) {
  TKVQuery q(nullptr);
  q.SetDatabaseName(db.DatabaseName());
  q.SQL()->SetText(Select);
  for (auto _ : state) {
    q.Open();
    long long sum = 0;
    std::size_t chars = 0;
    for (; !q.Eof(); q.Next()) {
      sum += q.FieldByName("ID")->AsLargeInt();
      chars += q.FieldByName("NAME")->AsString().size();
      chars += q.FieldByName("CITY")->AsString().size();
      sum += static_cast<long long>(q.FieldByName("AMOUNT")->AsFloat());
      sum += q.FieldByName("QTY")->AsInteger();
    }
    q.Close();
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(chars);
  }
  state.SetItemsProcessed(state.iterations() * RowCount);
}

void BM_SQLiteDataSet(benchmark::State& state) {
  TKVDatabase db(nullptr);
  db.SetDatabaseName("BENCH");
  db.SetServerType(TKVServerType::stSQLite);
  db.SetRemoteDatabase(SQLiteFile());
  db.Open();
  ReadThroughQuery(state, db);
}
BENCHMARK(BM_SQLiteDataSet)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- PostgreSQL

std::string PgConnInfo() {
  return fmt::format("host={} port={} dbname={} user={} password={}", Env("KORV_PG_HOST"), Env("KORV_PG_PORT"),
                     Env("KORV_PG_DATABASE"), Env("KORV_PG_USER"), Env("KORV_PG_PASSWORD"));
}

bool PgReady(benchmark::State& state) {
  if (Env("KORV_PG_PORT").empty()) {
    state.SkipWithError("no PostgreSQL server (KORV_PG_*)");
    return false;
  }
  static const bool built = [] {
    PGconn* conn = PQconnectdb(PgConnInfo().c_str());
    PGresult* r = PQexec(conn, "SELECT 1 FROM pg_catalog.pg_tables WHERE schemaname = 'korv_bench_rows'");
    const bool exists = PQntuples(r) == 1;
    PQclear(r);
    if (!exists) {
      PQclear(PQexec(conn, "CREATE SCHEMA IF NOT EXISTS korv_bench_rows"));
      PQclear(PQexec(conn,
                     "CREATE TABLE korv_bench_rows.items (id int PRIMARY KEY, name varchar(40), city "
                     "varchar(30), amount float8, qty int)"));
      PQclear(PQexec(conn,
                     "INSERT INTO korv_bench_rows.items SELECT g, 'customer ' || g, 'city ' || (g % 100),"
                     " g * 0.5, g % 17 FROM generate_series(1, 100000) g"));
    }
    PQfinish(conn);
    return true;
  }();
  return built;
}

void BM_PostgresRawLibpq(benchmark::State& state) {
  if (!PgReady(state)) return;
  PGconn* conn = PQconnectdb(PgConnInfo().c_str());
  const std::string sql = "select id, name, city, amount, qty from korv_bench_rows.items";
  for (auto _ : state) {
    PGresult* r = PQexec(conn, sql.c_str());
    long long sum = 0;
    std::size_t chars = 0;
    for (int row = 0, rows = PQntuples(r); row < rows; ++row) {
      sum += std::atoll(PQgetvalue(r, row, 0));
      chars += std::string(PQgetvalue(r, row, 1), static_cast<std::size_t>(PQgetlength(r, row, 1))).size();
      chars += std::string(PQgetvalue(r, row, 2), static_cast<std::size_t>(PQgetlength(r, row, 2))).size();
      sum += static_cast<long long>(std::atof(PQgetvalue(r, row, 3)));
      sum += std::atoi(PQgetvalue(r, row, 4));
    }
    PQclear(r);
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(chars);
  }
  PQfinish(conn);
  state.SetItemsProcessed(state.iterations() * RowCount);
}
BENCHMARK(BM_PostgresRawLibpq)->Unit(benchmark::kMillisecond);

void BM_PostgresDataSet(benchmark::State& state) {
  if (!PgReady(state)) return;
  TKVDatabase db(nullptr);
  db.SetDatabaseName("BENCHPG");
  db.SetServerType(TKVServerType::stPostgreSQL);
  db.SetLoginPrompt(false);
  db.SetRemoteDatabase(fmt::format("{}:{}/{}", Env("KORV_PG_HOST"), Env("KORV_PG_PORT"), Env("KORV_PG_DATABASE")));
  db.Params()->Add("USER NAME=" + Env("KORV_PG_USER"));
  db.Params()->Add("PASSWORD=" + Env("KORV_PG_PASSWORD"));
  db.Params()->Add("options=-c search_path=korv_bench_rows");
  db.Open();
  ReadThroughQuery(state, db);
}
BENCHMARK(BM_PostgresDataSet)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
