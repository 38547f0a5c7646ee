// Catalogue calls of the MariaDB driver against a large database, each next to the same query
// sent straight through libmariadb as a prepared statement: the driver should cost at most half
// as much again. Needs a server (eval "$(scripts/mariadb-cluster start DIR)"); without
// KORV_MARIADB_* it skips. The database korv_test_bench (2,000 tables and one of 1,000 columns)
// is built on the first run and kept for the next ones.
#include "korv/mariadb/MdbCatalogSql.h"
#include "korv/drivers/Registry.h"
#include "rtl/Exceptions.h"

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <mysql.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace korv::drivers;
namespace sql = korv::drivers::mariadb::sql;

namespace {

constexpr int TableCount = 2000;
constexpr int WideColumns = 1000;  // InnoDB takes at most 1017
constexpr const char* BenchDb = "korv_test_bench";
constexpr const char* SchemaMark = "korv bench schema 1";

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

void Exec(MYSQL* conn, const std::string& text) {
  if (mysql_real_query(conn, text.data(), text.size())) throw rtl::EDatabaseError(mysql_error(conn));
  if (MYSQL_RES* result = mysql_store_result(conn)) mysql_free_result(result);
}

bool Marked(MYSQL* conn) {
  if (mysql_query(conn,
                  "SELECT TABLE_COMMENT FROM information_schema.TABLES WHERE TABLE_SCHEMA = 'korv_test_bench'"
                  " AND TABLE_NAME = 'mark'"))
    return false;
  MYSQL_RES* result = mysql_store_result(conn);
  MYSQL_ROW row = result ? mysql_fetch_row(result) : nullptr;
  const bool marked = row && row[0] && std::string(row[0]) == SchemaMark;
  if (result) mysql_free_result(result);
  return marked;
}

void BuildDatabase(MYSQL* conn) {
  if (Marked(conn)) return;
  std::fprintf(stderr, "building database %s (%d tables, one of %d columns)...\n", BenchDb, TableCount, WideColumns);
  Exec(conn, fmt::format("DROP DATABASE IF EXISTS {}", BenchDb));
  Exec(conn, fmt::format("CREATE DATABASE {}", BenchDb));
  Exec(conn, fmt::format("USE {}", BenchDb));
  for (int i = 1; i <= TableCount; ++i)
    Exec(conn, fmt::format("CREATE TABLE t{:05} (id int PRIMARY KEY, code varchar(20) UNIQUE, name text,"
                           " amount decimal(10,2))",
                           i));
  std::string wide = "CREATE TABLE wide (";
  for (int c = 1; c <= WideColumns; ++c) wide += fmt::format("{}c{:04} int", c > 1 ? ", " : "", c);
  Exec(conn, wide + ", PRIMARY KEY (c0001), UNIQUE KEY wide_u (c0002, c0003), KEY wide_a (c0100, c0200, c0300))");
  Exec(conn, fmt::format("CREATE TABLE mark (x int) COMMENT '{}'", SchemaMark));
}

// The direct side: the driver's query text prepared once, its parameters bound, every value read
// as text, nothing else.
class TDirect {
public:
  TDirect(MYSQL* conn, const char* text) : FStmt(mysql_stmt_init(conn)) {
    if (mysql_stmt_prepare(FStmt, text, std::char_traits<char>::length(text)))
      throw rtl::EDatabaseError(mysql_stmt_error(FStmt));
  }
  ~TDirect() { mysql_stmt_close(FStmt); }

  std::vector<std::string> Run(const std::vector<std::optional<std::string>>& params) {
    std::vector<MYSQL_BIND> in(params.size(), MYSQL_BIND{});
    std::vector<my_bool> nulls(params.size());
    std::vector<unsigned long> lengths(params.size());
    for (std::size_t i = 0; i < params.size(); ++i) {
      nulls[i] = !params[i];
      lengths[i] = params[i] ? params[i]->size() : 0;
      in[i].buffer_type = params[i] ? MYSQL_TYPE_STRING : MYSQL_TYPE_NULL;
      in[i].buffer = params[i] ? const_cast<char*>(params[i]->data()) : nullptr;
      in[i].length = &lengths[i];
      in[i].is_null = &nulls[i];
    }
    if (!in.empty()) mysql_stmt_bind_param(FStmt, in.data());
    if (mysql_stmt_execute(FStmt) || mysql_stmt_store_result(FStmt)) throw rtl::EDatabaseError(mysql_stmt_error(FStmt));
    const unsigned columns = mysql_stmt_field_count(FStmt);
    std::vector<MYSQL_BIND> out(columns, MYSQL_BIND{});
    std::vector<std::string> buffers(columns, std::string(256, '\0'));
    std::vector<unsigned long> outLengths(columns);
    std::vector<my_bool> outNulls(columns);
    for (unsigned c = 0; c < columns; ++c) {
      out[c].buffer_type = MYSQL_TYPE_STRING;
      out[c].buffer = buffers[c].data();
      out[c].buffer_length = buffers[c].size();
      out[c].length = &outLengths[c];
      out[c].is_null = &outNulls[c];
    }
    mysql_stmt_bind_result(FStmt, out.data());
    std::vector<std::string> values;
    while (mysql_stmt_fetch(FStmt) == 0)
      for (unsigned c = 0; c < columns; ++c) values.emplace_back(buffers[c].data(), outLengths[c]);
    mysql_stmt_free_result(FStmt);
    return values;
  }

private:
  MYSQL_STMT* FStmt;
};

template <class Call>
void Run(benchmark::State& state, Call call) {
  std::size_t rows = 0;
  for (auto _ : state) {
    auto result = call();
    rows = result.size();
    benchmark::DoNotOptimize(result);
  }
  state.counters["values"] = static_cast<double>(rows);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const std::string host = Env("KORV_MARIADB_HOST"), port = Env("KORV_MARIADB_PORT"), user = Env("KORV_MARIADB_USER"),
                    password = Env("KORV_MARIADB_PASSWORD");
  if (port.empty() || user.empty()) {
    std::puts(
        "bench_catalogue_mariadb: skipped, no MariaDB server "
        "(eval \"$(scripts/mariadb-cluster start DIR)\" sets KORV_MARIADB_*)");
    return 0;
  }
  MYSQL* direct = mysql_init(nullptr);
  if (!mysql_real_connect(direct, host.c_str(), user.c_str(), password.c_str(), nullptr,
                          static_cast<unsigned>(std::stoul(port)), nullptr, 0)) {
    std::printf("bench_catalogue_mariadb: skipped, %s\n", mysql_error(direct));
    return 0;
  }
  BuildDatabase(direct);
  Exec(direct, fmt::format("USE {}", BenchDb));

  ConnectionSpec spec;
  spec.RemoteDatabase = fmt::format("{}:{}/{}", host, port, BenchDb);
  spec.Params = {{"USER NAME", user}, {"PASSWORD", password}};
  std::unique_ptr<Connection> driver = GetDriver(korv::TKVServerType::stMariaDB).Connect(spec);
  Connection* conn = driver.get();

  TDirect tables(direct, sql::TableNames), columns(direct, sql::ColumnNames), indexes(direct, sql::IndexInfo);
  std::vector<benchmark::internal::Benchmark*> benchmarks;
  auto add = [&](const std::string& name, auto body) {
    benchmarks.push_back(benchmark::RegisterBenchmark(name.c_str(), body));
  };
  add("TableNames/driver", [conn](benchmark::State& s) { Run(s, [&] { return conn->TableNames("", false); }); });
  add("TableNames/libmariadb", [&tables](benchmark::State& s) {
    Run(s, [&] { return tables.Run({std::string(), std::string(), std::string("0")}); });
  });
  for (const char* table : {"wide", "t01000"}) {
    add(fmt::format("ColumnNames/{}/driver", table),
        [conn, table](benchmark::State& s) { Run(s, [&] { return conn->ColumnNames(table); }); });
    add(fmt::format("ColumnNames/{}/libmariadb", table), [&columns, table](benchmark::State& s) {
      Run(s, [&] { return columns.Run({std::nullopt, std::string(table)}); });
    });
    add(fmt::format("IndexInfo/{}/driver", table),
        [conn, table](benchmark::State& s) { Run(s, [&] { return conn->IndexInfo(table); }); });
    add(fmt::format("IndexInfo/{}/libmariadb", table), [&indexes, table](benchmark::State& s) {
      Run(s, [&] { return indexes.Run({std::nullopt, std::string(table)}); });
    });
  }
  // The server does the work, so wall time is what counts.
  for (auto* b : benchmarks) b->UseRealTime()->Unit(benchmark::kMicrosecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  driver.reset();
  mysql_close(direct);
  return 0;
}
