// Catalogue calls of the SQLite driver next to the same queries sent straight through the C API,
// on a database of 10,000 tables plus one table of 2,000 columns with 20 indexes. The database is
// built once per run in a temporary folder.
#include "SQLiteCatalogueBench.h"
#include "korv/drivers/Registry.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct TBenchDatabase {
  korvbench::TCatalogueFile File;
  std::unique_ptr<korv::drivers::Connection> Driver;
  korvbench::TDirectCatalogue Direct{File.File()};

  TBenchDatabase() {
    korv::drivers::ConnectionSpec spec;
    spec.RemoteDatabase = File.File();
    Driver = korv::drivers::GetDriver(korv::TKVServerType::stSQLite).Connect(spec);
  }
};

TBenchDatabase& Db() {
  static TBenchDatabase db;
  return db;
}

void BM_Driver_TableNames(benchmark::State& state) {
  auto& db = Db();
  for (auto _ : state) {
    auto names = db.Driver->TableNames("", false);
    benchmark::DoNotOptimize(names.data());
  }
}

void BM_Direct_TableNames(benchmark::State& state) {
  auto& db = Db();
  for (auto _ : state) {
    auto names = db.Direct.TableNames();
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
  auto& db = Db();
  for (auto _ : state) {
    auto names = db.Direct.ColumnNames("WIDE");
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
  auto& db = Db();
  for (auto _ : state) {
    auto rows = db.Direct.IndexInfo("WIDE");
    benchmark::DoNotOptimize(rows.data());
  }
}

}  // namespace

BENCHMARK(BM_Driver_TableNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Direct_TableNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Driver_ColumnNames_Wide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Direct_ColumnNames_Wide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Driver_IndexInfo_Wide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Direct_IndexInfo_Wide)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
