// The recent-databases list of the design settings: loading a long list (each ItemNN looked
// up in the section read once) and saving it back, at sizes that show the growth.
#include "KVDesignSettings.h"

#include "rtl/Registry.h"
#include "rtl/SysUtils.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace dclkorv;
using rtl::String;

namespace {

namespace fs = std::filesystem;

// A settings folder with a korv.ini of Items entries under MaxCount 1,000,000.
class TSettingsFolder {
public:
  explicit TSettingsFolder(int Items) {
    FDir = fs::temp_directory_path() / ("bench-settings-" + std::to_string(::getpid()));
    fs::remove_all(FDir);
    fs::create_directories(FDir / "settings");
    ::setenv("XDG_CONFIG_HOME", (FDir / "config").c_str(), 1);
    rtl::TRegistry reg;
    reg.OpenKey("Software\\Korvane", true);
    reg.WriteString("RootDir", (FDir / "settings").string());
    String text = "[RecentDatabases]\nMaxCount=1000000\n";
    for (int i = 0; i < Items; ++i) text += rtl::Format("Item{:02d}=/data/db{}.db\n", i, i);
    rtl::WriteFileAtomic((FDir / "settings" / "korv.ini").string(), text);
  }
  ~TSettingsFolder() { fs::remove_all(FDir); }

private:
  fs::path FDir;
};

void BM_LoadRecentDatabases(benchmark::State& State) {
  TSettingsFolder folder(static_cast<int>(State.range(0)));
  for (auto _ : State) {
    TDesignSettings settings;
    benchmark::DoNotOptimize(settings.RecentDatabases()->Count());
  }
  State.SetComplexityN(State.range(0));
}
BENCHMARK(BM_LoadRecentDatabases)->Arg(4000)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_LoadAndSaveRecentDatabases(benchmark::State& State) {
  TSettingsFolder folder(static_cast<int>(State.range(0)));
  for (auto _ : State) {
    TDesignSettings settings;
    settings.AddLastUsedDatabase("/data/new.db");
    settings.SaveAll();
  }
  State.SetComplexityN(State.range(0));
}
BENCHMARK(BM_LoadAndSaveRecentDatabases)
    ->Arg(4000)
    ->Arg(50000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace

BENCHMARK_MAIN();
