// The real package DclKorv200 through the package loader, as korv loads it.
#include "designer/PackageLoader.h"
#include "designintf/Registry.h"
#include "korv/KVDatabase.h"
#include "korv/ServerTypes.h"
#include "rtl/Registry.h"
#include "rtl/SysUtils.h"

#include "ScopedEnv.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using rtl::String;

namespace {

class RealPackageLoadTest : public ::testing::Test {
protected:
  RealPackageLoadTest() : Config("XDG_CONFIG_HOME", Temp.File("config")) {
    std::filesystem::create_directories(Temp.Path() / "settings");
    rtl::TRegistry reg;
    reg.OpenKey("Software\\Korvane", true);
    reg.WriteString("RootDir", Temp.File("settings"));
  }
  ~RealPackageLoadTest() override { korv::DefServerType = Saved; }

  String Ini() const { return Temp.File("settings/korv.ini"); }
  void WriteIni(const String& text) const { std::ofstream(Ini()) << text; }

  TTempFolder Temp;
  TScopedEnv Config;
  korv::TKVServerType Saved = korv::DefServerType;
};

}  // namespace

TEST_F(RealPackageLoadTest, TheSavedDefaultServerTypeIsSetBeforeRegisterRuns) {
  WriteIni("[TKVDatabase]\nServerType=PostgreSQL\n");
  korv::DefServerType = korv::TKVServerType::stSQLite;
  std::vector<korv::TKVServerType> seen;
  std::vector<designintf::TRegistration> calls;
  auto previous = designintf::SetRegistrationRecorder([&](const designintf::TRegistration& r) {
    seen.push_back(korv::DefServerType);
    calls.push_back(r);
  });
  {
    designer::TPackageLoader loader;
    designer::TLoadedPackage& package = loader.LoadPackage(KORV_REAL_PACKAGE);
    EXPECT_EQ(package.Info().Name, "DclKorv200");
    EXPECT_EQ(package.Info().Description, "Korvane Components");
    EXPECT_TRUE(package.Info().DesignOnly);
    EXPECT_TRUE(package.FindResource("tkvquery").has_value());
    loader.UnloadPackage(package);
    // Nothing of the package stays registered once it is gone.
    for (const auto& entry : designintf::GetPaletteEntries()) EXPECT_NE(entry.Page, "Korvane");
  }
  designintf::SetRegistrationRecorder(previous);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().Kind, designintf::TRegistrationKind::rkComponents);
  EXPECT_EQ(calls.front().Page, "Korvane");
  EXPECT_EQ(calls.front().ComponentClasses.size(), 10u);
  for (korv::TKVServerType t : seen) EXPECT_EQ(t, korv::TKVServerType::stPostgreSQL);
}

TEST_F(RealPackageLoadTest, UnloadingLeavesAnUntouchedRecentListAsItWas) {
  WriteIni("; kept as written\n[RecentDatabases]\nItem00=a.db\nMaxCount=3\n");
  String before = rtl::ReadFileToString(Ini());
  {
    designer::TPackageLoader loader;
    loader.LoadPackage(KORV_REAL_PACKAGE);
  }  // the loader unloads what it loaded
  EXPECT_EQ(rtl::ReadFileToString(Ini()), before);
}

TEST_F(RealPackageLoadTest, ThePackageCanBeLoadedAgainAfterAnUnload) {
  designer::TPackageLoader loader;
  loader.UnloadPackage(loader.LoadPackage(KORV_REAL_PACKAGE));
  designer::TLoadedPackage& again = loader.LoadPackage(KORV_REAL_PACKAGE);
  EXPECT_EQ(again.Info().Name, "DclKorv200");
  // The library's classes stay known to form files while and after the package comes and goes.
  EXPECT_NE(rtl::GetClass("TKVQuery"), nullptr);
}
