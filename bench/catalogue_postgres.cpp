// Catalogue calls of the PostgreSQL driver against a large schema, each next to the same query
// sent straight through libpq: the driver should cost at most half as much again.
// Needs a server (eval "$(scripts/pg-cluster start DIR)"); without KORV_PG_* it skips.
// The schema korv_bench (10,000 tables and one of 1,600 columns) is built on the first run and
// kept for the next ones.
#include "korv/postgres/PgCatalogSql.h"
#include "korv/drivers/Registry.h"
#include "rtl/Exceptions.h"

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace korv::drivers;
namespace sql = korv::drivers::postgres::sql;

namespace {

constexpr int TableCount = 10000;
constexpr int WideColumns = 1600;  // the server's limit
constexpr const char* SchemaMark = "korv bench schema 1";

using TPGconnPtr = std::unique_ptr<PGconn, decltype(&PQfinish)>;
using TPGresultPtr = std::unique_ptr<PGresult, decltype(&PQclear)>;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

TPGresultPtr Exec(PGconn* conn, const std::string& text) {
  TPGresultPtr result(PQexec(conn, text.c_str()), PQclear);
  const auto status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
    throw rtl::EDatabaseError(PQresultErrorMessage(result.get()));
  return result;
}

void BuildSchema(PGconn* conn) {
  const auto mark = Exec(conn,
                         "SELECT pg_catalog.obj_description(oid, 'pg_namespace') "
                         "FROM pg_catalog.pg_namespace WHERE nspname = 'korv_bench'");
  if (PQntuples(mark.get()) == 1 && std::string(PQgetvalue(mark.get(), 0, 0)) == SchemaMark) return;
  std::fprintf(stderr, "building schema korv_bench (%d tables, one of %d columns)...\n", TableCount, WideColumns);
  Exec(conn, "DROP SCHEMA IF EXISTS korv_bench CASCADE");
  Exec(conn, "CREATE SCHEMA korv_bench");
  std::string batch;
  for (int i = 1; i <= TableCount; ++i) {
    batch += fmt::format(
        "CREATE TABLE korv_bench.t{:05} (id int PRIMARY KEY, code text UNIQUE, "
        "name text, amount numeric);",
        i);
    if (i % 200 == 0) {  // one transaction per batch keeps the lock table small
      Exec(conn, batch);
      batch.clear();
    }
  }
  std::string wide = "CREATE TABLE korv_bench.wide (";
  for (int c = 1; c <= WideColumns; ++c) wide += fmt::format("{}c{:04} int", c > 1 ? ", " : "", c);
  Exec(conn, wide + ", PRIMARY KEY (c0001))");
  Exec(conn, "CREATE UNIQUE INDEX wide_u ON korv_bench.wide (c0002, c0003)");
  Exec(conn, "CREATE INDEX wide_a ON korv_bench.wide (c0100, c0200, c0300)");
  Exec(conn, "CREATE INDEX wide_i ON korv_bench.wide (c1600) INCLUDE (c1599)");
  Exec(conn, "ANALYZE");
  Exec(conn, fmt::format("COMMENT ON SCHEMA korv_bench IS '{}'", SchemaMark));
}

// The direct side: the driver's query text and parameters, the values read as the driver reads
// them, nothing else.
void RunDirect(benchmark::State& state, PGconn* conn, const char* text, const std::vector<const char*>& params) {
  std::size_t rows = 0;
  for (auto _ : state) {
    TPGresultPtr result(
        PQexecParams(conn, text, static_cast<int>(params.size()), nullptr, params.data(), nullptr, nullptr, 0),
        PQclear);
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
      state.SkipWithError(PQresultErrorMessage(result.get()));
      return;
    }
    std::vector<std::string> values;
    rows = static_cast<std::size_t>(PQntuples(result.get()));
    for (int r = 0; r < PQntuples(result.get()); ++r)
      for (int c = 0; c < PQnfields(result.get()); ++c)
        values.emplace_back(PQgetvalue(result.get(), r, c), static_cast<std::size_t>(PQgetlength(result.get(), r, c)));
    benchmark::DoNotOptimize(values);
  }
  state.counters["rows"] = static_cast<double>(rows);
}

template <class Call>
void RunDriver(benchmark::State& state, Call call) {
  std::size_t rows = 0;
  for (auto _ : state) {
    auto result = call();
    rows = result.size();
    benchmark::DoNotOptimize(result);
  }
  state.counters["rows"] = static_cast<double>(rows);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const std::string host = Env("KORV_PG_HOST"), port = Env("KORV_PG_PORT"), user = Env("KORV_PG_USER"),
                    password = Env("KORV_PG_PASSWORD"), database = Env("KORV_PG_DATABASE");
  if (port.empty() || user.empty() || database.empty()) {
    std::puts(
        "bench_catalogue_postgres: skipped, no PostgreSQL server "
        "(eval \"$(scripts/pg-cluster start DIR)\" sets KORV_PG_*)");
    return 0;
  }

  ConnectionSpec spec;
  spec.RemoteDatabase = fmt::format("{}:{}/{}", host, port, database);
  spec.Params = {{"USER NAME", user}, {"PASSWORD", password}};
  std::unique_ptr<Connection> driver;
  try {
    driver = GetDriver(korv::TKVServerType::stPostgreSQL).Connect(spec);
  } catch (const rtl::EDatabaseError& e) {
    std::printf("bench_catalogue_postgres: skipped, %s\n", e.what());
    return 0;
  }
  const char* keys[] = {"host", "port", "user", "password", "dbname", nullptr};
  const char* values[] = {host.c_str(), port.c_str(), user.c_str(), password.c_str(), database.c_str(), nullptr};
  TPGconnPtr direct(PQconnectdbParams(keys, values, 0), PQfinish);
  if (PQstatus(direct.get()) != CONNECTION_OK) {
    std::printf("bench_catalogue_postgres: skipped, %s", PQerrorMessage(direct.get()));
    return 0;
  }
  BuildSchema(direct.get());
  // Both sides see the schema on the search path, so names come back unqualified.
  driver->Execute("SET search_path = korv_bench");
  Exec(direct.get(), "SET search_path = korv_bench");

  Connection* conn = driver.get();
  PGconn* pg = direct.get();
  std::vector<benchmark::internal::Benchmark*> benchmarks;
  auto add = [&](const std::string& name, auto body) {
    benchmarks.push_back(benchmark::RegisterBenchmark(name.c_str(), body));
  };
  add("TableNames/driver", [conn](benchmark::State& s) { RunDriver(s, [&] { return conn->TableNames("", false); }); });
  add("TableNames/libpq", [pg](benchmark::State& s) { RunDirect(s, pg, sql::TableNames, {"", "false"}); });
  for (const char* table : {"wide", "t05000"}) {
    add(fmt::format("ColumnNames/{}/driver", table),
        [conn, table](benchmark::State& s) { RunDriver(s, [&] { return conn->ColumnNames(table); }); });
    add(fmt::format("ColumnNames/{}/libpq", table), [pg, table](benchmark::State& s) {
      RunDirect(s, pg, sql::ColumnNames, {nullptr, nullptr, table, nullptr, nullptr, table});
    });
    add(fmt::format("IndexInfo/{}/driver", table),
        [conn, table](benchmark::State& s) { RunDriver(s, [&] { return conn->IndexInfo(table); }); });
    add(fmt::format("IndexInfo/{}/libpq", table), [pg, table](benchmark::State& s) {
      RunDirect(s, pg, sql::IndexInfo, {nullptr, nullptr, table, nullptr, nullptr, table});
    });
  }
  // The server does the work, so wall time is what counts.
  for (auto* b : benchmarks) b->UseRealTime()->Unit(benchmark::kMicrosecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
