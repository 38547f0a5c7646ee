// ParseSelectInfo on a select list of 2,000 columns, plain, aliased and qualified in turn.
#include "korv/KVCommon.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string WideSelect(int columns) {
  std::string sql = "select ";
  for (int i = 0; i < columns; ++i) {
    if (i) sql += ", ";
    const auto n = std::to_string(i);
    switch (i % 3) {
    case 0: sql += "C" + n; break;
    case 1: sql += "w.C" + n + " as A" + n; break;
    default: sql += "\"Col " + n + "\""; break;
    }
  }
  return sql + " from main.WIDE w where w.C1 = :P1 order by 1";
}

void BM_ParseSelectInfo_2000Columns(benchmark::State& state) {
  const std::string sql = WideSelect(2000);
  for (auto _ : state) {
    auto info = korv::ParseSelectInfo(sql);
    benchmark::DoNotOptimize(info.Fields.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sql.size()));
}

}  // namespace

BENCHMARK(BM_ParseSelectInfo_2000Columns)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
