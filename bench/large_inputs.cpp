// Inputs that once made hours of work out of a few megabytes: 100,000 components inserted
// outside loading, 100,000 kept unknown properties on one component written back, and the
// object-tree node of a collection of 100,000 items. Each is measured at growing sizes, with
// the time per element, so that anything beyond linear shows.
#include "designintf/Sprigs.h"
#include "rtl/Collection.h"
#include "rtl/Component.h"
#include "rtl/FormReader.h"
#include "rtl/FormWriter.h"

#include <benchmark/benchmark.h>

namespace {

using namespace rtl;

// The time per element, shown beside the total.
void PerElement(benchmark::State& state) {
  state.counters["per_element"] = benchmark::Counter(
      static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Components made one by one under a live owner, as a designer or a program makes them.
void BM_InsertComponents(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TComponent root(nullptr);
    for (int i = 0; i < n; ++i) new TComponent(&root);
    benchmark::DoNotOptimize(root.ComponentCount());
    state.PauseTiming();
    root.DestroyComponents();
    state.ResumeTiming();
  }
  PerElement(state);
}
BENCHMARK(BM_InsertComponents)->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A component whose every property the reader kept as written.
void BM_WriteKeptProperties(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  RegisterClass(TComponent::StaticClass());
  String text = "object Mod: TComponent\n  object C: TComponent\n";
  for (int i = 0; i < n; ++i) text += "    P" + std::to_string(i % 13) + " = " + std::to_string(i) + "\n";
  text += "  end\nend\n";
  auto root = ReadModule(text, "Kept.dfm");
  size_t size = 0;
  for (auto _ : state) size = WriteModule(root.get()).size();
  if (size != text.size()) state.SkipWithError("the module did not write back to the same size");
  PerElement(state);
}
BENCHMARK(BM_WriteKeptProperties)->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The node of a collection making one child per item, twice (a placement pass repeats it).
void BM_CollectionSprigChildren(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TCollection items(TCollectionItem::StaticClass());
  for (int i = 0; i < n; ++i) items.Add();
  for (auto _ : state) {
    designintf::TCollectionSprig node(&items, "Items");
    node.FigureChildren();
    node.FigureChildren();
    benchmark::DoNotOptimize(node.Count());
  }
  PerElement(state);
}
BENCHMARK(BM_CollectionSprigChildren)->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
