// Generating the four update statements for a wide table of 500 to 8,000 key and as many update
// fields (2,000 + 2,000 is the figure to keep under a millisecond), so that the time per field
// shows whether it stays linear; next to a literal transcription of the line-by-line lookup kept
// as the reference, whose cubic growth keeps it to the small sizes.
#include "KVUpdSQLGen.h"

#include "korv/KVCommon.h"

#include <benchmark/benchmark.h>

using namespace dclkorv;
using rtl::String;
using rtl::TStringList;

namespace {

struct Wide {
  TStringList Info;
  TUpdateSQLGenInputs In;
  explicit Wide(int Fields) {
    for (int i = 0; i < Fields; ++i) {
      String col = "COL_" + std::to_string(i);
      // Every tenth field is delivered under an alias.
      String name = (i % 10 == 0) ? "ALIAS_" + std::to_string(i) : col;
      Info.Add(name + "=WIDE_TABLE." + col);
      In.KeyFields.push_back({col, true});
      In.UpdateFields.push_back({col, true});
    }
    In.TableText = "WIDE_TABLE";
    In.FieldInfo = &Info;
  }
};

// The lookup as written: every line's value read through a name lookup, for every field.
String ReferenceFindFieldAlias(const rtl::TStrings* info, const String& table, const String& field) {
  for (int i = 0; i < info->Count(); ++i) {
    String name = info->Names(i);
    String value = info->Values(name);
    for (int p = static_cast<int>(value.size()) - 1; p >= 0; --p) {
      if (value[static_cast<size_t>(p)] == '.' && p < static_cast<int>(value.size()) - 1) {
        if (value.substr(static_cast<size_t>(p) + 1) == field && value.substr(0, static_cast<size_t>(p)) == table)
          return name;
        break;
      }
    }
  }
  return field;
}

// The time per field (in seconds, shown with its prefix: 600n is 600 ns), so that growth beyond
// linear shows as a rising figure.
void CountFields(benchmark::State& state) {
  state.counters["time_per_field"] = benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void FieldCounts(benchmark::internal::Benchmark* b) {
  b->ArgName("fields");
  for (int n : {500, 1000, 2000, 4000, 8000}) b->Arg(n);
}

void BM_GenerateFourStatements(benchmark::State& state) {
  Wide w(static_cast<int>(state.range(0)));
  TStringList refresh, modify, insert, del;
  for (auto _ : state) {
    // One "Generate SQL" click: the field information is read once for the four statements.
    TFieldAliasMap aliases(w.In.FieldInfo);
    TGenNames names(w.In, aliases);
    GenerateModifySQL(names, &modify);
    GenerateInsertSQL(names, &insert);
    GenerateDeleteSQL(names, &del);
    GenerateRefreshSQL(names, &refresh);
    benchmark::DoNotOptimize(refresh.Count());
  }
  CountFields(state);
}
BENCHMARK(BM_GenerateFourStatements)->Apply(FieldCounts)->Unit(benchmark::kMillisecond);

// The part of a click that reads the field information: the alias map alone.
void BM_FieldAliasMap(benchmark::State& state) {
  Wide w(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TFieldAliasMap aliases(w.In.FieldInfo);
    benchmark::DoNotOptimize(aliases.Find("WIDE_TABLE", "COL_10"));
  }
  CountFields(state);
}
BENCHMARK(BM_FieldAliasMap)->Apply(FieldCounts)->Unit(benchmark::kMillisecond);

// The four statements look a field's alias up six times per field (modify: update and key
// fields; insert: update fields; delete: key fields; refresh: update fields twice and key
// fields). Done literally that is cubic: this measures one of the six passes, so the reference
// for the four statements is six times the figure.
void BM_ReferenceLookupsOnePass(benchmark::State& state) {
  Wide w(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    size_t total = 0;
    for (int pass = 0; pass < 1; ++pass)
      for (const TGenField& f : w.In.UpdateFields)
        total += ReferenceFindFieldAlias(w.In.FieldInfo, w.In.TableText, f.Name).size();
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_ReferenceLookupsOnePass)
    ->ArgName("fields")
    ->Arg(250)
    ->Arg(500)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
