// The ":name" parameter markers of a statement with 20,000 distinct parameters: finding and
// numbering them, and a query rebuilding its Params when its SQL is set, both in linear time
// (the figure for 40,000 should be about twice the one for 20,000).
#include "korv/KVQuery.h"

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <string>

using namespace korv;

namespace {

std::string WideInsert(int Params) {
  std::string sql = "insert into T values (";
  for (int i = 0; i < Params; ++i) sql += fmt::format("{}:P{}", i ? ", " : "", i);
  return sql + ")";
}

void BM_ParseParamNames(benchmark::State& state) {
  const std::string sql = WideInsert(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ParseParamNames(sql));
}
BENCHMARK(BM_ParseParamNames)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);

void BM_QueryParamsFromSQL(benchmark::State& state) {
  const std::string sql = WideInsert(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TKVQuery q(nullptr);
    q.SQL()->SetText(sql);
    benchmark::DoNotOptimize(q.ParamCount());
  }
}
BENCHMARK(BM_QueryParamsFromSQL)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
