#include "KVAbout.h"
#include "KVPackage.h"
#include "KVReg.h"

#include "ScopedEnv.h"
#include "TempFolder.h"
#include "designintf/Registry.h"
#include "korv/Korv.h"
#include "rtl/Registry.h"
#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

using namespace dclkorv;
using korv::TKVServerType;
using rtl::String;

namespace {

// A settings folder named by a per-user registry of its own; the registrations, the library's
// default server type and the package's state are put back afterwards.
class PackageFrameTest : public ::testing::Test {
protected:
  PackageFrameTest() : Config("XDG_CONFIG_HOME", Temp.File("config")) {
    std::filesystem::create_directories(Temp.Path() / "settings");
    rtl::TRegistry reg;
    reg.OpenKey("Software\\Korvane", true);
    reg.WriteString("RootDir", Temp.File("settings"));
  }
  ~PackageFrameTest() override {
    KorvPackageFinalize();
    designintf::SetRegistrationRecorder(nullptr);
    // Clearing also forgets the palette classes' names, which the library registered itself.
    const auto palette = designintf::GetPaletteEntries();
    designintf::ClearRegistrations();
    for (const auto& entry : palette) rtl::RegisterClass(entry.ComponentClass);
    korv::DefServerType = SavedServerType;
  }
  String IniPath() const { return Temp.File("settings/korv.ini"); }
  void WriteIni(const String& text) const { std::ofstream(IniPath()) << text; }
  String ReadIni() const { return rtl::FileExists(IniPath()) ? rtl::ReadFileToString(IniPath()) : String(); }

  TTempFolder Temp;
  TScopedEnv Config;
  TKVServerType SavedServerType = korv::DefServerType;
};

std::vector<String> Strings(const char* const* list) {
  std::vector<String> out;
  for (; *list; ++list) out.push_back(*list);
  return out;
}

uint32_t U32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t U16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

TEST(PackageInfo, DescribesADesignOnlyPackageOfThreeUnits) {
  const KorvPackageInfo* info = KorvPackageGetInfo();
  EXPECT_STREQ(info->Name, "DclKorv200");
  EXPECT_STREQ(info->Description, "Korvane Components");
  EXPECT_EQ(Strings(info->Requires), (std::vector<String>{"Korv200", "dcldb200", "rtl200"}));
  EXPECT_EQ(Strings(info->Contains), (std::vector<String>{"KVAbout", "KVUpdSEd", "KVReg"}));
  EXPECT_TRUE(info->DesignOnly);
}

TEST_F(PackageFrameTest, RegisterPutsThePaletteFirstThenTheCategories) {
  KorvPackageInitialize();
  std::vector<String> calls;
  // The editor and node rows between and after them: RegistrationTest.cpp.
  designintf::SetRegistrationRecorder([&](const designintf::TRegistration& r) {
    if (r.Kind == designintf::TRegistrationKind::rkComponents ||
        r.Kind == designintf::TRegistrationKind::rkPropertiesInCategory)
      calls.push_back(r.ToString());
  });
  KorvPackageRegister();

  EXPECT_EQ(calls, (std::vector<String>{
                       "RegisterComponents(\"Korvane\", [TKVSession, TKVDatabase, TKVQuery, TKVMacroQuery, "
                       "TKVStoredProc, TKVTable, TKVUpdateSQL, TKVScript, TKVMonitor, TKVSQLBaseServer])",
                       "RegisterPropertiesInCategory(\"Database\", TKVDatabase, [\"ServerType\", \"SessionName\", "
                       "\"DatabaseName\", \"RemoteDatabase\"])",
                       "RegisterPropertiesInCategory(\"Database\", TKVDataSet, [\"DatabaseName\"])",
                       "RegisterPropertiesInCategory(\"Database\", TKVDataSetUpdateObject, [\"*SQL\"])",
                   }));

  // What the designer then finds.
  auto palette = designintf::GetPaletteEntries();
  ASSERT_EQ(palette.size(), 10u);
  for (const auto& entry : palette) EXPECT_EQ(entry.Page, "Korvane");
  using designintf::IsPropertyInCategory;
  const char* db = designintf::sDatabaseCategoryName;
  EXPECT_TRUE(IsPropertyInCategory(db, korv::TKVDatabase::StaticClass(), "RemoteDatabase"));
  EXPECT_FALSE(IsPropertyInCategory(db, korv::TKVDatabase::StaticClass(), "Params"));
  EXPECT_TRUE(IsPropertyInCategory(db, korv::TKVMacroQuery::StaticClass(), "DatabaseName"));
  EXPECT_FALSE(IsPropertyInCategory(db, korv::TKVMacroQuery::StaticClass(), "SessionName"));
  EXPECT_TRUE(IsPropertyInCategory(db, korv::TKVUpdateSQL::StaticClass(), "ModifySQL"));
  EXPECT_TRUE(IsPropertyInCategory(db, korv::TKVUpdateSQL::StaticClass(), "RefreshSQL"));
}

TEST_F(PackageFrameTest, LoadingTakesTheSavedDefaultServerType) {
  korv::DefServerType = TKVServerType::stSQLite;
  WriteIni("[TKVDatabase]\nServerType=PostgreSQL\n");
  KorvPackageInitialize();
  EXPECT_EQ(korv::DefServerType, TKVServerType::stPostgreSQL);
  ASSERT_NE(DesignSettings, nullptr);
}

TEST_F(PackageFrameTest, LoadingWithNothingSavedLeavesTheServerTypeAlone) {
  korv::DefServerType = TKVServerType::stPostgreSQL;
  KorvPackageInitialize();
  EXPECT_EQ(korv::DefServerType, TKVServerType::stPostgreSQL);
  EXPECT_FALSE(rtl::FileExists(IniPath()));  // loading writes nothing
}

TEST_F(PackageFrameTest, UnloadingSavesOnceAndLeavesNoSettings) {
  EXPECT_EQ(DesignSettings, nullptr);
  KorvPackageInitialize();
  DesignSettings->AddLastUsedDatabase("first.db");
  KorvPackageFinalize();
  EXPECT_EQ(DesignSettings, nullptr);
  EXPECT_NE(ReadIni().find("Item00=first.db"), String::npos);

  // A second unload has nothing left to save.
  WriteIni("[Other]\nKey=1\n");
  KorvPackageFinalize();
  EXPECT_EQ(ReadIni(), "[Other]\nKey=1\n");

  // A new load starts afresh from the file.
  WriteIni("[RecentDatabases]\nItem00=second.db\n");
  KorvPackageInitialize();
  EXPECT_EQ(DesignSettings->RecentDatabases()->Text(), "second.db\n");
}

TEST_F(PackageFrameTest, SQLEditorSwitchNeedsTheSettings) {
  EXPECT_FALSE(SQLEditorEnabled());  // not loaded
  KorvPackageInitialize();
  EXPECT_TRUE(SQLEditorEnabled());  // on unless the file says otherwise
  KorvPackageFinalize();
  WriteIni("[SQLEditor]\nEnabled=0\n");
  KorvPackageInitialize();
  EXPECT_FALSE(SQLEditorEnabled());
}

TEST(PackageResources, TenPaletteBitmapsOf24By24In16Colours) {
  for (const char* name : {"TKVSESSION", "TKVDATABASE", "TKVQUERY", "TKVMACROQUERY", "TKVSTOREDPROC", "TKVTABLE",
                           "TKVUPDATESQL", "TKVSCRIPT", "TKVMONITOR", "TKVSQLBASESERVER"}) {
    SCOPED_TRACE(name);
    const KorvPackageResource* r = KorvPackageFindResource(name);
    ASSERT_NE(r, nullptr);
    EXPECT_STREQ(r->Name, name);
    EXPECT_STREQ(r->Type, "BITMAP");
    ASSERT_GE(r->Size, 54u);
    const unsigned char* d = r->Data;
    EXPECT_EQ(d[0], 'B');
    EXPECT_EQ(d[1], 'M');
    EXPECT_EQ(U32(d + 2), r->Size);                    // file size
    EXPECT_EQ(static_cast<int32_t>(U32(d + 18)), 24);  // width
    EXPECT_EQ(static_cast<int32_t>(U32(d + 22)), 24);  // height
    EXPECT_EQ(U16(d + 28), 4);                         // bits per pixel
    EXPECT_EQ(r->Size, U32(d + 10) + 24u * 12u);       // pixels: 24 rows of 12 bytes
  }
  // Resource names ignore letter case, as the platform's do.
  EXPECT_EQ(KorvPackageFindResource("tkvQuery"), KorvPackageFindResource("TKVQUERY"));
}

TEST(PackageResources, FormDescriptionsAndDescription) {
  const KorvPackageResource* about = KorvPackageFindResource("TKVABOUTDLG");
  ASSERT_NE(about, nullptr);
  EXPECT_STREQ(about->Type, "RCDATA");
  EXPECT_EQ(String(reinterpret_cast<const char*>(about->Data), about->Size),
            rtl::ReadFileToString(KORV_SOURCE_DIR "/resources/KVAbout.dfm"));
  const KorvPackageResource* editor = KorvPackageFindResource("TKVUPDATESQLEDITFORM");
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(String(reinterpret_cast<const char*>(editor->Data), editor->Size),
            rtl::ReadFileToString(KORV_SOURCE_DIR "/resources/KVUpdSEd.dfm"));

  const KorvPackageResource* description = KorvPackageFindResource("DESCRIPTION");
  ASSERT_NE(description, nullptr);
  EXPECT_STREQ(description->Type, "TEXT");
  EXPECT_EQ(String(reinterpret_cast<const char*>(description->Data), description->Size), "Korvane Components");

  EXPECT_EQ(KorvPackageFindResource("TKVDATASET"), nullptr);
  EXPECT_EQ(KorvPackageFindResource(""), nullptr);
  EXPECT_EQ(KorvPackageFindResource(nullptr), nullptr);
}

TEST(ProductCaption, ComesFromThePackageFilesVersionResource) {
  EXPECT_EQ(GetProductCaption(), "Korvane " KORV_PROJECT_VERSION);
  // This program carries no version resource, and a missing file has none either.
  static const int anchor = 0;
  const String program = korv::GetModuleFileNameStr(&anchor);
  ASSERT_FALSE(program.empty());
  EXPECT_NE(program, PackageFileName());
  EXPECT_EQ(ProductCaptionOf(program), "Korvane ");
  EXPECT_EQ(ProductCaptionOf("/nonexistent/libDclKorv200.so"), "Korvane ");
}
