// A big module through the designer: open, object tree, save and close of a generated data
// module of 1,250 to 80,000 components, with the package loaded as korv loads it.
//
// The module holds units of ten components: a session (every tenth unit; a table in the
// others), a database of that session, and four queries each with its update object. Each
// phase is reported in milliseconds, and the whole in microseconds per component, so that
// growth beyond linear shows as a rising per-component figure.
//
// Each size first runs one untimed cycle: the biggest sizes run a single timed iteration, and a
// first cycle pays for faulting in the heap that later ones reuse, so without it the largest
// module alone would be measured cold. Timings on a shared machine drift over minutes; to
// compare sizes, interleave repetitions of them in one run:
//   bench_module --benchmark_filter='BM_Module/(40000|80000)$' --benchmark_repetitions=15
//                --benchmark_enable_random_interleaving=true
#include "designer/ObjectTree.h"
#include "designer/OpenModule.h"
#include "designer/PackageLoader.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string GeneratedModule(int Components) {
  std::string t = "object BigModule: TBigModule\n";
  for (int u = 0; u * 10 < Components; ++u) {
    const std::string s = "S" + std::to_string(u / 10);
    const std::string db = "DB" + std::to_string(u);
    if (u % 10 == 0) {
      t += "  object Session" + std::to_string(u / 10) + ": TKVSession\n    SessionName = '" + s + "'\n  end\n";
    } else {
      t += "  object Table" + std::to_string(u) + ": TKVTable\n    DatabaseName = '" + db + "'\n    SessionName = '" +
           s + "'\n    TableName = 'PART'\n  end\n";
    }
    t += "  object Database" + std::to_string(u) + ": TKVDatabase\n    DatabaseName = '" + db +
         "'\n    SessionName = '" + s + "'\n    ServerType = stSQLite\n    RemoteDatabase = 'db" + std::to_string(u) +
         ".db'\n    LoginPrompt = False\n  end\n";
    for (int q = 0; q < 4; ++q) {
      const std::string n = std::to_string(u * 4 + q);
      t += "  object Query" + n + ": TKVQuery\n    DatabaseName = '" + db + "'\n    SessionName = '" + s +
           "'\n    UpdateObject = Update" + n +
           "\n    SQL.Strings = (\n      'select ID, NAME, CITY from CUSTOMER where REGION = " + n + "')\n  end\n";
      t += "  object Update" + n +
           ": TKVUpdateSQL\n    ModifySQL.Strings = (\n      'update CUSTOMER set NAME = :NAME'\n" +
           "      'where ID = :OLD_ID')\n  end\n";
    }
  }
  return t + "end\n";
}

struct TPackage {
  designer::TPackageLoader Loader;
  TPackage() { Loader.LoadPackage(designer::DefaultPackageFileName()); }
};

void EnsurePackage() { static TPackage package; }

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_Module(benchmark::State& state) {
  EnsurePackage();
  const int n = static_cast<int>(state.range(0));
  const fs::path dir = fs::temp_directory_path() / ("bench_module." + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / "Big.dfm";
  const fs::path saved = dir / "Saved.dfm";
  { std::ofstream(file, std::ios::binary) << GeneratedModule(n); }
  // One open, tree, save and close; the phases' milliseconds are added to Phases.
  size_t lines = 0;
  auto cycle = [&](double(&Phases)[4]) {
    auto t0 = Clock::now();
    auto module = designer::TOpenModule::Open(file.string());
    auto t1 = Clock::now();
    {
      designer::TObjectTree tree(*module);
      lines = tree.Print().size();
    }
    auto t2 = Clock::now();
    module->SaveAs(saved.string());
    auto t3 = Clock::now();
    module.reset();
    auto t4 = Clock::now();
    Phases[0] += Ms(t1 - t0);
    Phases[1] += Ms(t2 - t1);
    Phases[2] += Ms(t3 - t2);
    Phases[3] += Ms(t4 - t3);
  };
  double warmUp[4] = {};
  cycle(warmUp);
  double phases[4] = {};
  for (auto _ : state) cycle(phases);
  benchmark::DoNotOptimize(lines);
  const double it = static_cast<double>(state.iterations());
  state.counters["open_ms"] = phases[0] / it;
  state.counters["tree_ms"] = phases[1] / it;
  state.counters["save_ms"] = phases[2] / it;
  state.counters["close_ms"] = phases[3] / it;
  state.counters["us_per_component"] = (phases[0] + phases[1] + phases[2] + phases[3]) * 1000.0 / it / n;
  if (fs::file_size(saved) != fs::file_size(file)) state.SkipWithError("the saved module differs in size");
  fs::remove_all(dir);
}
BENCHMARK(BM_Module)->Arg(1250)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Arg(40000)->Arg(80000)->Unit(
    benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
