// Form files: reading and writing a large generated module.
//
// The module: 10,000 components with a few properties each, one of them holding a 1,000-line
// SQL.Strings. Reports bytes per second each way (file to syntax tree, file to components,
// components to file) and the peak of heap memory in use while reading, as a multiple of the
// file size, beside what the module read holds afterwards (the rest of the peak is the
// reader's); in the text format (binary:0) and the binary one (binary:1), whose times compare
// directly (the same module in each).
#include "rtl/FormBinary.h"
#include "rtl/FormParser.h"
#include "rtl/FormReader.h"
#include "rtl/FormWriter.h"
#include "rtl/Strings.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdlib>
#include <new>

// ---- heap accounting --------------------------------------------------------------------
namespace {
size_t GInUse = 0;
size_t GPeak = 0;
}  // namespace

void* operator new(size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  GInUse += malloc_usable_size(p);
  if (GInUse > GPeak) GPeak = GInUse;
  return p;
}
// The replaced operator new takes its memory from malloc, so free is the matching release.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
  if (!p) return;
  GInUse -= malloc_usable_size(p);
  std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

using namespace rtl;

class TBenchQuery : public TComponent {
  RTL_CLASS(TBenchQuery, TComponent)
  explicit TBenchQuery(TComponent* AOwner) : TComponent(AOwner) {}
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v) { FCaption = v; }
  int Left() const { return FLeft; }
  void SetLeft(int v) { FLeft = v; }
  int Top() const { return FTop; }
  void SetTop(int v) { FTop = v; }
  bool Active() const { return FActive; }
  void SetActive(bool v) { FActive = v; }
  TStrings* SQL() const { return FSQL.get(); }
  void SetSQL(TStrings* v) { FSQL->Assign(v); }
  TComponent* Link() const { return FLink; }
  void SetLink(TComponent* v) { FLink = v; }

private:
  String FCaption;
  int FLeft = 0, FTop = 0;
  bool FActive = false;
  std::unique_ptr<TStringList> FSQL = std::make_unique<TStringList>();
  TComponent* FLink = nullptr;
};

TClass TBenchQuery::StaticClass() {
  static TClass info = ClassBuilder<TBenchQuery>("TBenchQuery")
                           .StrProp("Caption", &TBenchQuery::Caption, &TBenchQuery::SetCaption)
                           .IntProp("Left", &TBenchQuery::Left, &TBenchQuery::SetLeft)
                           .IntProp("Top", &TBenchQuery::Top, &TBenchQuery::SetTop)
                           .BoolProp("Active", &TBenchQuery::Active, &TBenchQuery::SetActive)
                           .ObjProp<TStrings>("SQL", &TBenchQuery::SQL, &TBenchQuery::SetSQL)
                           .RefProp<TComponent>("Link", &TBenchQuery::Link, &TBenchQuery::SetLink)
                           .Build();
  return info;
}

const String& TextModule() {
  static const String text = [] {
    RegisterClass(TBenchQuery::StaticClass());
    TDataModule root(nullptr);
    root.SetName("Big");
    for (int i = 0; i < 10000; ++i) {
      auto* q = new TBenchQuery(&root);
      q->SetName("Query" + std::to_string(i));
      q->SetCaption("Customers of region " + std::to_string(i % 97) + " \xC3\xA0 jour");
      q->SetLeft(i % 800);
      q->SetTop(i / 800 * 48);
      q->SetActive(i % 3 == 0);
      if (i > 0) q->SetLink(root.Components(i - 1));
      if (i == 0)
        for (int l = 0; l < 1000; ++l)
          q->SQL()->Add("select c.id, c.name, c.city from customers c where c.id = " + std::to_string(l));
    }
    return WriteModule(&root);
  }();
  return text;
}

TDfmFormat FormatOf(const benchmark::State& state) {
  return state.range(0) ? TDfmFormat::dfBinary : TDfmFormat::dfText;
}

const String& Module(TDfmFormat Format) {
  static const String binary = PrintFormBinary(ParseFormText(TextModule(), "Big.dfm"));
  return Format == TDfmFormat::dfText ? TextModule() : binary;
}

void BM_Parse(benchmark::State& state) {
  const TDfmFormat format = FormatOf(state);
  const String& text = Module(format);
  for (auto _ : state)
    benchmark::DoNotOptimize(format == TDfmFormat::dfText ? ParseFormText(text, "Big.dfm")
                                                          : ParseFormBinary(text, "Big.dfm"));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Parse)->ArgName("binary")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReadModule(benchmark::State& state) {
  const String& text = Module(FormatOf(state));
  size_t peak = 0, kept = 0;
  for (auto _ : state) {
    size_t base = GInUse;
    GPeak = base;
    auto root = ReadModule(text, "Big.dfm");
    peak = std::max(peak, GPeak - base);
    kept = GInUse - base;
    benchmark::DoNotOptimize(root.get());
    state.PauseTiming();  // destroying the module is not reading it
    root.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
  state.counters["peak_x_file"] = static_cast<double>(peak) / static_cast<double>(text.size());
  // What the module read holds once reading is done: the part of the peak that is not the reader's.
  state.counters["module_x_file"] = static_cast<double>(kept) / static_cast<double>(text.size());
}
BENCHMARK(BM_ReadModule)->ArgName("binary")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_WriteModule(benchmark::State& state) {
  const TDfmFormat format = FormatOf(state);
  const String& text = Module(format);
  auto root = ReadModule(text, "Big.dfm");
  size_t written = 0;
  size_t peak = 0;
  for (auto _ : state) {
    size_t base = GInUse;
    GPeak = base;
    String out = WriteModule(root.get(), format);
    peak = std::max(peak, GPeak - base);
    written = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  if (written != text.size()) state.SkipWithError("the module did not write back to the same size");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
  state.counters["peak_x_file"] = static_cast<double>(peak) / static_cast<double>(text.size());
}
BENCHMARK(BM_WriteModule)->ArgName("binary")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
