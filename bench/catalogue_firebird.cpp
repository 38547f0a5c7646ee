// Catalogue calls of the Firebird driver on a database file of the embedded engine, each next to
// the same query sent straight through the client library's ISC calls (prepare, bind the names
// as text, fetch every row, copy every value): the driver should cost at most half as much again.
// The database (1,000 tables with a primary key, a unique column and an index, and one of 1,000
// columns) is built in a temporary folder on each run and removed after.
#include "korv/drivers/Registry.h"
#include "korv/firebird/FbCatalogSql.h"
#include "korv/firebird/FbDatabase.h"
#include "rtl/Exceptions.h"

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <ibase.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace korv::drivers;
namespace sql = korv::drivers::firebird::sql;

namespace {

constexpr int TableCount = 1000;
constexpr int WideColumns = 1000;

[[noreturn]] void Fail(const ISC_STATUS* status) {
  char line[512];
  const ISC_STATUS* at = status;
  std::string text;
  while (fb_interpret(line, sizeof line, &at) > 0) text += std::string(line) + "; ";
  throw rtl::EDatabaseError(text);
}

// The direct side: one read-only transaction, the statement prepared, the names bound as text,
// every row fetched and every value copied out, everything freed again.
std::size_t RunDirectOnce(isc_db_handle* db, const char* text, const std::vector<std::string>& params) {
  ISC_STATUS_ARRAY status;
  isc_tr_handle tr = 0;
  const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_wait};
  if (isc_start_transaction(status, &tr, 1, db, sizeof tpb, tpb)) Fail(status);
  isc_stmt_handle stmt = 0;
  if (isc_dsql_allocate_statement(status, db, &stmt)) Fail(status);
  std::vector<char> outArea(XSQLDA_LENGTH(8)), inArea(XSQLDA_LENGTH(8));
  auto* out = reinterpret_cast<XSQLDA*>(outArea.data());
  auto* in = reinterpret_cast<XSQLDA*>(inArea.data());
  out->version = in->version = SQLDA_VERSION1;
  out->sqln = in->sqln = 8;
  if (isc_dsql_prepare(status, &tr, &stmt, 0, text, SQL_DIALECT_V6, out)) Fail(status);
  if (isc_dsql_describe_bind(status, &stmt, SQL_DIALECT_V6, in)) Fail(status);
  std::vector<short> inds(16, 0);
  for (int i = 0; i < in->sqld; ++i) {
    in->sqlvar[i].sqltype = SQL_TEXT | 1;
    in->sqlvar[i].sqllen = static_cast<ISC_SHORT>(params[i].size());
    in->sqlvar[i].sqldata = const_cast<char*>(params[i].data());
    in->sqlvar[i].sqlind = &inds[i];
  }
  std::vector<std::vector<char>> buffers(out->sqld);
  for (int i = 0; i < out->sqld; ++i) {
    XSQLVAR& v = out->sqlvar[i];
    buffers[i].resize(v.sqllen + 2);
    v.sqldata = buffers[i].data();
    v.sqlind = &inds[8 + i];
  }
  if (isc_dsql_execute(status, &tr, &stmt, SQL_DIALECT_V6, in->sqld ? in : nullptr)) Fail(status);
  std::size_t rows = 0;
  std::vector<std::string> values;
  while (isc_dsql_fetch(status, &stmt, SQL_DIALECT_V6, out) == 0) {
    ++rows;
    for (int i = 0; i < out->sqld; ++i) {
      const XSQLVAR& v = out->sqlvar[i];
      if ((v.sqltype & ~1) == SQL_VARYING)
        values.emplace_back(v.sqldata + 2, *reinterpret_cast<const unsigned short*>(v.sqldata));
      else if ((v.sqltype & ~1) == SQL_LONG)
        values.push_back(std::to_string(*reinterpret_cast<const ISC_LONG*>(v.sqldata)));
      else
        values.emplace_back(v.sqldata, v.sqllen);
    }
  }
  benchmark::DoNotOptimize(values);
  isc_dsql_free_statement(status, &stmt, DSQL_drop);
  isc_commit_transaction(status, &tr);
  return rows;
}

void RunDirect(benchmark::State& state, isc_db_handle* db, const char* text, const std::vector<std::string>& params) {
  std::size_t rows = 0;
  for (auto _ : state) rows = RunDirectOnce(db, text, params);
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

void BuildSchema(Connection& db) {
  std::fprintf(stderr, "building %d tables and one of %d columns...\n", TableCount, WideColumns);
  for (int i = 1; i <= TableCount; ++i) {
    db.Execute(fmt::format("CREATE TABLE T{:05} (ID INTEGER NOT NULL PRIMARY KEY, CODE VARCHAR(20) UNIQUE,"
                           " NAME VARCHAR(40), AMOUNT NUMERIC(18,2))", i));
    db.Execute(fmt::format("CREATE INDEX T{:05}_NAME ON T{:05} (NAME)", i, i));
  }
  std::string wide = "CREATE TABLE WIDE (";
  for (int c = 1; c <= WideColumns; ++c) wide += fmt::format("{}C{:04} INTEGER{}", c > 1 ? ", " : "", c, c == 1 ? " NOT NULL" : "");
  db.Execute(wide + ", PRIMARY KEY (C0001))");
  db.Execute("CREATE UNIQUE INDEX WIDE_U ON WIDE (C0002, C0003)");
  db.Execute("CREATE INDEX WIDE_A ON WIDE (C0100, C0200, C0300)");
}

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::string folder = (std::filesystem::temp_directory_path() / "korv-bench-XXXXXX").string();
  if (!::mkdtemp(folder.data())) return 1;
  struct TRemove {
    std::string Path;
    ~TRemove() { std::filesystem::remove_all(Path); }
  } remove{folder};

  ConnectionSpec spec;
  spec.RemoteDatabase = folder + "/bench.fdb";
  std::unique_ptr<Connection> driver;
  isc_db_handle direct = 0;
  try {
    firebird::CreateDatabase(spec);
    driver = GetDriver(korv::TKVServerType::stFirebird).Connect(spec);
    BuildSchema(*driver);
    // The direct side attaches as the driver does: the embedded engine, as SYSDBA, in UTF8.
    std::string dpb{isc_dpb_version1, isc_dpb_user_name, 6};
    dpb += "SYSDBA";
    dpb += std::string{isc_dpb_lc_ctype, 4} + "UTF8";
    ISC_STATUS_ARRAY status;
    if (isc_attach_database(status, 0, spec.RemoteDatabase.c_str(), &direct, static_cast<short>(dpb.size()), dpb.data()))
      Fail(status);
  } catch (const rtl::EDatabaseError& e) {
    std::printf("bench_catalogue_firebird: %s\n", e.what());
    return 1;
  }

  Connection* conn = driver.get();
  isc_db_handle* db = &direct;
  std::vector<benchmark::internal::Benchmark*> benchmarks;
  auto add = [&](const std::string& name, auto body) {
    benchmarks.push_back(benchmark::RegisterBenchmark(name.c_str(), body));
  };
  add("TableNames/driver", [conn](benchmark::State& s) { RunDriver(s, [&] { return conn->TableNames("", false); }); });
  add("TableNames/isc", [db](benchmark::State& s) { RunDirect(s, db, sql::TableNames, {"", "", "0"}); });
  for (const char* table : {"WIDE", "T00500"}) {
    const std::vector<std::string> names{table, table, table};
    add(fmt::format("ColumnNames/{}/driver", table),
        [conn, table](benchmark::State& s) { RunDriver(s, [&] { return conn->ColumnNames(table); }); });
    add(fmt::format("ColumnNames/{}/isc", table),
        [db, names](benchmark::State& s) { RunDirect(s, db, sql::ColumnNames, names); });
    add(fmt::format("IndexInfo/{}/driver", table),
        [conn, table](benchmark::State& s) { RunDriver(s, [&] { return conn->IndexInfo(table); }); });
    add(fmt::format("IndexInfo/{}/isc", table),
        [db, names](benchmark::State& s) { RunDirect(s, db, sql::IndexInfo, names); });
  }
  for (auto* b : benchmarks) b->UseRealTime()->Unit(benchmark::kMicrosecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  driver.reset();
  ISC_STATUS_ARRAY status;
  isc_detach_database(status, &direct);
  return 0;
}
