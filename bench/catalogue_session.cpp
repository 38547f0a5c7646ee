// The session-level catalogue calls (GetTableNames, GetFieldNames) and a database's
// GetSchemaInfo, next to the same queries sent straight through the sqlite3 C API, on a database
// of 10,000 tables plus one table of 2,000 columns with 20 indexes. The database is built once
// per run in a temporary folder; the database component stays connected (KeepConnection), as in
// the designer, so each figure is one call on a live connection.
#include "SQLiteCatalogueBench.h"
#include "korv/KVDatabase.h"
#include "korv/KVSession.h"
#include "rtl/Strings.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct TBenchDatabase {
  korvbench::TCatalogueFile File;
  std::unique_ptr<korv::TKVDatabase> Database;
  korvbench::TDirectCatalogue Direct{File.File()};

  TBenchDatabase() {
    Database = std::make_unique<korv::TKVDatabase>(nullptr);
    Database->SetDatabaseName("BENCH");
    Database->SetServerType(korv::TKVServerType::stSQLite);
    Database->SetRemoteDatabase(File.File());
    Database->Open();
  }
};

TBenchDatabase& Db() {
  static TBenchDatabase db;
  return db;
}

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
  auto& db = Db();
  std::size_t rows = 0;
  for (auto _ : state) {
    auto names = db.Direct.TableNames();
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
  auto& db = Db();
  for (auto _ : state) {
    auto names = db.Direct.ColumnNames("WIDE");
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
  auto& db = Db();
  std::size_t rows = 0;
  for (auto _ : state) {
    auto info = db.Direct.IndexInfo("WIDE");
    rows = info.size();
    benchmark::DoNotOptimize(info.data());
  }
  state.counters["rows"] = static_cast<double>(rows);
}

}  // namespace

BENCHMARK(BM_Session_GetTableNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Direct_TableNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Session_GetFieldNames_Wide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Direct_ColumnNames_Wide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Database_GetSchemaInfo_Indexes_Wide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Direct_IndexInfo_Wide)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
