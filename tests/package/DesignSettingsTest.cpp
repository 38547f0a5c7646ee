#include "KVDesignSettings.h"

#include "ScopedEnv.h"
#include "TempFolder.h"
#include "rtl/Registry.h"
#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace dclkorv;
using rtl::String;

namespace {

// A settings folder named by a per-user registry of its own.
class DesignSettingsTest : public ::testing::Test {
protected:
  DesignSettingsTest() : Config("XDG_CONFIG_HOME", Temp.File("config")) {
    std::filesystem::create_directories(Temp.Path() / "settings");
    rtl::TRegistry reg;
    reg.OpenKey("Software\\Korvane", true);
    reg.WriteString("RootDir", SettingsDir());
  }
  String SettingsDir() const { return Temp.File("settings"); }
  String IniPath() const { return Temp.File("settings/korv.ini"); }
  void WriteIni(const String& text) const { std::ofstream(IniPath()) << text; }
  String ReadIni() const { return rtl::FileExists(IniPath()) ? rtl::ReadFileToString(IniPath()) : String(); }

  TTempFolder Temp;
  TScopedEnv Config;
};

String Items(int first, int last) {
  String s;
  for (int i = first; i <= last; ++i) s += rtl::Format("Item{:02d}=db{}\n", i, i);
  return s;
}

}  // namespace

TEST(DesignSettingsRoot, WithoutARegistryKeyTheFileIsInTheCurrentFolder) {
  TTempFolder temp;
  TScopedEnv config("XDG_CONFIG_HOME", temp.File("config"));
  TDesignSettings settings;
  EXPECT_EQ(settings.RootDir(), ".");
  EXPECT_EQ(settings.FileName(), "./korv.ini");
  EXPECT_FALSE(std::filesystem::exists(temp.File("config/korvane")));  // nothing created
}

TEST_F(DesignSettingsTest, ARootDirNamingNoFolderFallsBackToTheCurrentFolder) {
  rtl::TRegistry reg;
  reg.OpenKey("Software\\Korvane", true);
  reg.WriteString("RootDir", Temp.File("missing"));
  EXPECT_EQ(TDesignSettings().RootDir(), ".");
}

TEST_F(DesignSettingsTest, RecentListReadsUpToItsCapacityAndTheFirstGap) {
  WriteIni("[RecentDatabases]\n" + Items(0, 9));
  EXPECT_EQ(TDesignSettings().RecentDatabases()->Count(), 8);

  WriteIni("[RecentDatabases]\nMaxCount=3\nItem00=a\nItem02=c\n");
  TDesignSettings gap;
  EXPECT_EQ(gap.RecentDatabases()->Text(), "a\n");

  WriteIni("[RecentDatabases]\nMaxCount=-2\nItem00=a\n");
  TDesignSettings negative;
  EXPECT_EQ(negative.RecentDatabases()->Count(), 0);
  negative.AddLastUsedDatabase("b");
  negative.SaveAll();
  EXPECT_EQ(ReadIni().find("MaxCount"), String::npos);  // a negative capacity is not written back
}

TEST_F(DesignSettingsTest, AddingMovesOrInsertsAtTheFrontKeepingStoredCase) {
  WriteIni("[RecentDatabases]\nItem00=one\nItem01=two\nItem02=Three\n");
  TDesignSettings settings;
  settings.AddLastUsedDatabase("THREE");
  EXPECT_EQ(settings.RecentDatabases()->Text(), "Three\none\ntwo\n");
  settings.AddLastUsedDatabase("new");
  settings.AddLastUsedDatabase("new");
  settings.AddLastUsedDatabase("");
  EXPECT_EQ(settings.RecentDatabases()->Text(), "new\nThree\none\ntwo\n");
}

TEST_F(DesignSettingsTest, SavingPastTheCapacityWritesEveryEntryAndTheNextRunReadsEight) {
  WriteIni("[RecentDatabases]\nMaxCount=0\n" + Items(0, 7));
  {
    TDesignSettings settings;
    settings.AddLastUsedDatabase("x1");
    settings.AddLastUsedDatabase("x2");
    settings.AddLastUsedDatabase("x3");
    settings.SaveAll();
  }
  String ini = ReadIni();
  EXPECT_NE(ini.find("Item10=db7"), String::npos);
  EXPECT_EQ(ini.find("MaxCount"), String::npos);
  TDesignSettings next;
  EXPECT_EQ(next.RecentDatabases()->Count(), 8);
  EXPECT_EQ(next.RecentDatabases()->Get(0), "x3");
}

// A long list under a huge capacity loads and saves in one pass over the file (each entry
// looked up on its own took minutes at this size).
TEST_F(DesignSettingsTest, ALongListLoadsAndSavesWhole) {
  constexpr int kItems = 200000;
  WriteIni("[RecentDatabases]\nMaxCount=1000000\n" + Items(0, kItems - 1) + "\n[Keep]\nk=v\n");
  {
    TDesignSettings settings;
    ASSERT_EQ(settings.RecentDatabases()->Count(), kItems);
    EXPECT_EQ(settings.RecentDatabases()->Get(kItems - 1), "db" + std::to_string(kItems - 1));
    settings.AddLastUsedDatabase("db5");
    settings.SaveAll();
  }
  const String ini = ReadIni();
  EXPECT_EQ(ini.rfind("[RecentDatabases]\nItem00=db5\nItem01=db0\n", 0), 0u) << ini.substr(0, 100);
  EXPECT_NE(ini.find("Item199999=db199999\nMaxCount=1000000\n\n[Keep]\nk=v\n"), String::npos);
  TDesignSettings next;
  EXPECT_EQ(next.RecentDatabases()->Count(), kItems);
}

TEST_F(DesignSettingsTest, ARunThatNeverTouchesTheListLeavesTheFileAlone) {
  WriteIni("[RecentDatabases]\nItem00=a\nMaxCount=12\n");
  String before = ReadIni();
  { TDesignSettings().SaveAll(); }
  EXPECT_EQ(ReadIni(), before);
  {
    TDesignSettings settings;
    settings.AddLastUsedDatabase("a");  // loads first, so nothing stored is lost
    settings.SaveAll();
  }
  EXPECT_NE(ReadIni().find("MaxCount=12"), String::npos);
  EXPECT_NE(ReadIni().find("Item00=a"), String::npos);
}

TEST_F(DesignSettingsTest, DefaultParamsAreReloadedWhileEmptyAndSavedExactly) {
  TDesignSettings settings;
  EXPECT_EQ(settings.DbParams()->Count(), 0);
  WriteIni("[TKVDatabase_Params]\nOLD=1\n");
  EXPECT_EQ(settings.DbParams()->Text(), "OLD=1\n");  // read again because it was empty

  rtl::TStringList list({"A=1", "B=x=y"});
  settings.SaveDbParams(&list);
  EXPECT_EQ(settings.DbParams()->Text(), "A=1\nB=x=y\n");
  TDesignSettings next;
  EXPECT_EQ(next.DbParams()->Text(), "A=1\nB=x=y\n");
}

TEST_F(DesignSettingsTest, AFailedParamsSaveKeepsTheOldFileAndList) {
  rtl::TStringList first({"A=1"});
  TDesignSettings settings;
  settings.SaveDbParams(&first);
  String before = ReadIni();
  // The file's place taken by a folder: the replacement cannot land.
  std::filesystem::rename(IniPath(), Temp.File("kept.ini"));
  std::filesystem::create_directories(IniPath() + "/blocker");
  rtl::TStringList second({"B=2"});
  EXPECT_ANY_THROW(settings.SaveDbParams(&second));
  EXPECT_EQ(settings.DbParams()->Text(), "A=1\n");
  std::filesystem::remove_all(IniPath());
  std::filesystem::rename(Temp.File("kept.ini"), IniPath());
  EXPECT_EQ(ReadIni(), before);

  if (::geteuid() != 0) {  // permission bits do not stop the superuser
    std::filesystem::permissions(SettingsDir(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(settings.SaveDbParams(&second), rtl::EIniFileException);
    std::filesystem::permissions(SettingsDir(), std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadIni(), before);
  }
}

TEST_F(DesignSettingsTest, TheDefaultServerTypeIsSeenByTheNextLoad) {
  korv::TKVServerType saved = korv::DefServerType;
  {
    TDesignSettings settings;
    EXPECT_EQ(settings.ReadDefaultServerType(), korv::DefServerType);
    settings.WriteDefaultServerType(korv::TKVServerType::stPostgreSQL);
    EXPECT_EQ(korv::DefServerType, korv::TKVServerType::stPostgreSQL);
  }
  korv::DefServerType = korv::TKVServerType::stSQLite;
  EXPECT_EQ(TDesignSettings().ReadDefaultServerType(), korv::TKVServerType::stPostgreSQL);
  EXPECT_NE(ReadIni().find("ServerType=PostgreSQL"), String::npos);
  WriteIni("[TKVDatabase]\nServerType=Oracle\n");
  EXPECT_EQ(TDesignSettings().ReadDefaultServerType(), korv::TKVServerType::stSQLite);
  korv::DefServerType = saved;
}

TEST_F(DesignSettingsTest, TheSQLEditorSwitchIsReadOnce) {
  WriteIni("[SQLEditor]\nEnabled=0\n");
  TDesignSettings settings;
  EXPECT_FALSE(settings.SQLEditor());
  WriteIni("[SQLEditor]\nEnabled=1\n");
  EXPECT_FALSE(settings.SQLEditor());
  EXPECT_TRUE(TDesignSettings().SQLEditor());
  WriteIni("[SQLEditor]\nEnabled=false\n");
  EXPECT_TRUE(TDesignSettings().SQLEditor());
}
