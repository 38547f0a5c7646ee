// Catalogue calls of the Firebird driver on a database file of the embedded engine, each next to
// the same query sent straight through the client library's ISC calls (bind the names as text,
// fetch every row, copy every value), prepared on every call and prepared once as the driver
// keeps its catalogue statements: the driver should cost at most half as much again.
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

// The direct side: a statement prepared with the names bound as text; each run in a read-only
// transaction of its own, every row fetched and every value copied out.
class TDirect {
public:
  // Prepared: the statement is prepared once, as the driver keeps its catalogue statements;
  // else again (and freed) on every run.
  TDirect(isc_db_handle* Db, const char* Text, std::vector<std::string> Params, bool Prepared)
      : FDb(Db), FText(Text), FParams(std::move(Params)), FPrepared(Prepared) {
    if (FPrepared) {
      Transaction tr(FDb);
      Prepare(tr.Handle);
    }
  }
  ~TDirect() {
    ISC_STATUS_ARRAY status;
    if (FStmt) isc_dsql_free_statement(status, &FStmt, DSQL_drop);
  }

  std::size_t Run() {
    Transaction tr(FDb);
    if (!FPrepared) Prepare(tr.Handle);
    ISC_STATUS_ARRAY status;
    if (isc_dsql_execute(status, &tr.Handle, &FStmt, SQL_DIALECT_V6, In()->sqld ? In() : nullptr)) Fail(status);
    std::size_t rows = 0;
    std::vector<std::string> values;
    while (isc_dsql_fetch(status, &FStmt, SQL_DIALECT_V6, Out()) == 0) {
      ++rows;
      for (int i = 0; i < Out()->sqld; ++i) {
        const XSQLVAR& v = Out()->sqlvar[i];
        if ((v.sqltype & ~1) == SQL_VARYING)
          values.emplace_back(v.sqldata + 2, *reinterpret_cast<const unsigned short*>(v.sqldata));
        else if ((v.sqltype & ~1) == SQL_LONG)
          values.push_back(std::to_string(*reinterpret_cast<const ISC_LONG*>(v.sqldata)));
        else
          values.emplace_back(v.sqldata, v.sqllen);
      }
    }
    benchmark::DoNotOptimize(values);
    isc_dsql_free_statement(status, &FStmt, FPrepared ? DSQL_close : DSQL_drop);
    if (!FPrepared) FStmt = 0;
    return rows;
  }

private:
  struct Transaction {
    isc_tr_handle Handle = 0;
    explicit Transaction(isc_db_handle* Db) {
      ISC_STATUS_ARRAY status;
      const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_wait};
      if (isc_start_transaction(status, &Handle, 1, Db, sizeof tpb, tpb)) Fail(status);
    }
    ~Transaction() {
      ISC_STATUS_ARRAY status;
      isc_commit_transaction(status, &Handle);
    }
  };
  XSQLDA* Out() { return reinterpret_cast<XSQLDA*>(FOutArea.data()); }
  XSQLDA* In() { return reinterpret_cast<XSQLDA*>(FInArea.data()); }
  void Prepare(isc_tr_handle& Tr) {
    ISC_STATUS_ARRAY status;
    if (isc_dsql_allocate_statement(status, FDb, &FStmt)) Fail(status);
    Out()->version = In()->version = SQLDA_VERSION1;
    Out()->sqln = In()->sqln = 8;
    if (isc_dsql_prepare(status, &Tr, &FStmt, 0, FText, SQL_DIALECT_V6, Out())) Fail(status);
    if (isc_dsql_describe_bind(status, &FStmt, SQL_DIALECT_V6, In())) Fail(status);
    for (int i = 0; i < In()->sqld; ++i) {
      In()->sqlvar[i].sqltype = SQL_TEXT | 1;
      In()->sqlvar[i].sqllen = static_cast<ISC_SHORT>(FParams[i].size());
      In()->sqlvar[i].sqldata = const_cast<char*>(FParams[i].data());
      In()->sqlvar[i].sqlind = &FInds[i];
    }
    FBuffers.assign(Out()->sqld, {});
    for (int i = 0; i < Out()->sqld; ++i) {
      XSQLVAR& v = Out()->sqlvar[i];
      FBuffers[i].resize(v.sqllen + 2);
      v.sqldata = FBuffers[i].data();
      v.sqlind = &FInds[8 + i];
    }
  }

  isc_db_handle* FDb;
  const char* FText;
  std::vector<std::string> FParams;
  bool FPrepared;
  isc_stmt_handle FStmt = 0;
  std::vector<char> FOutArea = std::vector<char>(XSQLDA_LENGTH(8)), FInArea = std::vector<char>(XSQLDA_LENGTH(8));
  std::vector<std::vector<char>> FBuffers;
  std::vector<short> FInds = std::vector<short>(16, 0);
};

void RunDirect(benchmark::State& state, isc_db_handle* db, const char* text, const std::vector<std::string>& params,
               bool prepared) {
  TDirect direct(db, text, params, prepared);
  std::size_t rows = 0;
  for (auto _ : state) rows = direct.Run();
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
    db.Execute(
        fmt::format("CREATE TABLE T{:05} (ID INTEGER NOT NULL PRIMARY KEY, CODE VARCHAR(20) UNIQUE,"
                    " NAME VARCHAR(40), AMOUNT NUMERIC(18,2))",
                    i));
    db.Execute(fmt::format("CREATE INDEX T{:05}_NAME ON T{:05} (NAME)", i, i));
  }
  std::string wide = "CREATE TABLE WIDE (";
  for (int c = 1; c <= WideColumns; ++c)
    wide += fmt::format("{}C{:04} INTEGER{}", c > 1 ? ", " : "", c, c == 1 ? " NOT NULL" : "");
  db.Execute(wide + ", PRIMARY KEY (C0001))");
  db.Execute("CREATE UNIQUE INDEX WIDE_U ON WIDE (C0002, C0003)");
  db.Execute("CREATE INDEX WIDE_A ON WIDE (C0100, C0200, C0300)");
}

}  // namespace

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
    if (isc_attach_database(status, 0, spec.RemoteDatabase.c_str(), &direct, static_cast<short>(dpb.size()),
                            dpb.data()))
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
  // Each direct query twice: prepared on every call, and prepared once as the driver keeps it.
  auto addDirect = [&](const std::string& name, const char* text, std::vector<std::string> params) {
    add(name + "/isc", [=](benchmark::State& s) { RunDirect(s, db, text, params, false); });
    add(name + "/isc-prepared", [=](benchmark::State& s) { RunDirect(s, db, text, params, true); });
  };
  addDirect("TableNames", sql::TableNames, {"", "", "0"});
  for (const char* table : {"WIDE", "T00500"}) {
    const std::vector<std::string> names{table, table, table};
    add(fmt::format("ColumnNames/{}/driver", table),
        [conn, table](benchmark::State& s) { RunDriver(s, [&] { return conn->ColumnNames(table); }); });
    addDirect(fmt::format("ColumnNames/{}", table), sql::ColumnNames, names);
    add(fmt::format("IndexInfo/{}/driver", table),
        [conn, table](benchmark::State& s) { RunDriver(s, [&] { return conn->IndexInfo(table); }); });
    addDirect(fmt::format("IndexInfo/{}", table), sql::IndexInfo, names);
  }
  for (auto* b : benchmarks) b->UseRealTime()->Unit(benchmark::kMicrosecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  driver.reset();
  ISC_STATUS_ARRAY status;
  isc_detach_database(status, &direct);
  return 0;
}
