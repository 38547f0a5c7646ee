#include "KorvRun.h"

#include <nlohmann/json.hpp>

namespace {

class OneShotCommandsTest : public TKorvTest {};

const char* const kRegeneratedStatements =
    "-- RefreshSQL\n"
    "select \"NAME\", \"CITY\", \"TEL\" as \"PHONE\"\n"
    "from \"CUSTOMER\"\n"
    "where\n"
    "  \"CUST_NO\" = :\"OLD_CUST_NO\"\n"
    "\n"
    "-- ModifySQL\n"
    "update \"CUSTOMER\"\n"
    "set\n"
    "  \"NAME\" = :\"NAME\",\n"
    "  \"CITY\" = :\"CITY\",\n"
    "  \"TEL\" = :\"PHONE\"\n"
    "where\n"
    "  \"CUST_NO\" = :\"OLD_CUST_NO\"\n"
    "\n"
    "-- InsertSQL\n"
    "insert into \"CUSTOMER\"\n"
    "  (\"NAME\", \"CITY\", \"TEL\")\n"
    "values\n"
    "  (:\"NAME\", :\"CITY\", :\"PHONE\")\n"
    "\n"
    "-- DeleteSQL\n"
    "delete from \"CUSTOMER\"\n"
    "where\n"
    "  \"CUST_NO\" = :\"OLD_CUST_NO\"\n";

}  // namespace

TEST_F(OneShotCommandsTest, VersionHelpAndUsage) {
  TKorvResult r = Korv({"--version"});
  EXPECT_EQ(r.Exit, 0);
  EXPECT_EQ(r.Out, "korv 2.0.0\n");
  for (const char* sub : {"run", "design", "tree", "palette", "packages", "updatesql", "config"}) {
    r = Korv({sub, "--help"});
    EXPECT_EQ(r.Exit, 0) << sub;
    EXPECT_NE(r.Out.find("Usage:"), std::string::npos) << sub << r;
  }
  r = Korv({"frobnicate"});
  EXPECT_EQ(r.Exit, 2) << r;
  r = Korv({});
  EXPECT_EQ(r.Exit, 2) << r;
}

TEST_F(OneShotCommandsTest, TreeOfAModuleAsTextAndJson) {
  CopyExample();
  TKorvResult r = Korv({"tree", "Shop.dfm"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_NE(r.Out.find("ShopModule\n"), std::string::npos) << r;
  EXPECT_NE(r.Out.find("\n  Shop {ShopSession}\n    SQLite | shop.db {ShopDB}\n"), std::string::npos) << r;

  r = Korv({"tree", "Shop.dfm", "--json"});
  ASSERT_EQ(r.Exit, 0) << r;
  auto tree = nlohmann::json::parse(r.Out);
  EXPECT_EQ(tree["caption"], "ShopModule");
  bool sessionFound = false;
  for (const auto& child : tree["children"])
    if (child["caption"] == "Shop {ShopSession}") {
      sessionFound = true;
      EXPECT_EQ(child["item"], "TKVSession");
      EXPECT_EQ(child["children"][0]["caption"], "SQLite | shop.db {ShopDB}");
    }
  EXPECT_TRUE(sessionFound) << r.Out;
  EXPECT_EQ(Korv({"tree", "Shop.dfm", "--json"}).Out, r.Out);  // deterministic
}

TEST_F(OneShotCommandsTest, AClassNoPackageRegistersIsReportedOnOpeningAndKeptOnSave) {
  const std::string module =
      "object ShopModule: TShopModule\n"
      "  object Orders: TKVQery\n"
      "    SQL.Strings = (\n"
      "      'select * from ORDERS')\n"
      "  end\n"
      "end\n";
  Write("Shop.dfm", module);
  TKorvResult r = Korv({"tree", "Shop.dfm"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Err, "korv: warning: Shop.dfm:2: class TKVQery is not registered; the component is kept as written\n");
  EXPECT_NE(r.Out.find("Orders"), std::string::npos) << r;

  r = RunScript("open Shop.dfm\nselect ShopModule\nset Tag 1\nsave\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_NE(
      Read("Shop.dfm").find("  object Orders: TKVQery\n    SQL.Strings = (\n      'select * from ORDERS')\n  end\n"),
      std::string::npos)
      << Read("Shop.dfm");
}

TEST_F(OneShotCommandsTest, PaletteAndPackagesReportTheLoadedPackage) {
  TKorvResult r = Korv({"palette"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out.substr(0, r.Out.find('\n') + 1), "Korvane\n");
  EXPECT_NE(r.Out.find("  TKVSession        DclKorv200  bitmap TKVSESSION 24x24, 4 bpp\n"), std::string::npos) << r;

  r = Korv({"palette", "--json"});
  ASSERT_EQ(r.Exit, 0) << r;
  auto palette = nlohmann::json::parse(r.Out);
  ASSERT_EQ(palette.size(), 11u);
  // The host's own page comes after the package's.
  EXPECT_EQ(palette[10]["page"], "Data Access");
  EXPECT_EQ(palette[10]["class"], "TDataSource");
  EXPECT_EQ(palette[10]["package"], "");
  EXPECT_EQ(palette[10]["bitmap"], nullptr);
  const char* const classes[] = {"TKVSession", "TKVDatabase",  "TKVQuery",  "TKVMacroQuery", "TKVStoredProc",
                                 "TKVTable",   "TKVUpdateSQL", "TKVScript", "TKVMonitor",    "TKVSQLBaseServer"};
  for (size_t i = 0; i < 10; ++i) {
    EXPECT_EQ(palette[i]["page"], "Korvane");
    EXPECT_EQ(palette[i]["class"], classes[i]);
    EXPECT_EQ(palette[i]["package"], "DclKorv200");
    EXPECT_EQ(palette[i]["bitmap"]["width"], 24);
    EXPECT_EQ(palette[i]["bitmap"]["height"], 24);
    EXPECT_EQ(palette[i]["bitmap"]["bitsPerPixel"], 4);
  }

  r = Korv({"packages", "--json"});
  ASSERT_EQ(r.Exit, 0) << r;
  auto packages = nlohmann::json::parse(r.Out);
  ASSERT_EQ(packages.size(), 1u);
  EXPECT_EQ(packages[0]["name"], "DclKorv200");
  EXPECT_EQ(packages[0]["description"], "Korvane Components");
  EXPECT_EQ(packages[0]["requires"], nlohmann::json({"Korv200", "dcldb200", "rtl200"}));
  EXPECT_EQ(packages[0]["contains"], nlohmann::json({"KVAbout", "KVUpdSEd", "KVReg"}));
  EXPECT_EQ(packages[0]["version"], "2.0.0");
  EXPECT_EQ(std::filesystem::path(packages[0]["file"].get<std::string>()).filename(), "libDclKorv200.so");

  r = Korv({"packages"});
  EXPECT_NE(r.Out.find("DclKorv200: Korvane Components\n  version:  Korvane 2.0.0\n"), std::string::npos) << r;
}

TEST_F(OneShotCommandsTest, APackageThatCannotBeLoadedIsReported) {
  TKorvResult r = Korv({"--package", "nowhere/libDclKorv200.so", "palette"});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "korv: Cannot load package nowhere/libDclKorv200.so: no such file\n");
  Write("libFake.so", "no library\n");
  r = Korv({"palette", "--package", "libFake.so"});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err.rfind("korv: Cannot load package libFake.so: ", 0), 0u) << r;
}

TEST_F(OneShotCommandsTest, UpdateSQLGeneratesFromTheTableAndSaves) {
  CopyExample();
  const std::string before = Read("Shop.dfm");
  TKorvResult r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--table", "CUSTOMER", "--table-fields",
                        "--primary-keys", "--fields", "NAME,CITY,TEL", "--quote", "--dry-run"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, kRegeneratedStatements);
  EXPECT_EQ(Read("Shop.dfm"), before);  // a dry run saves nothing

  r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--keys", "CUST_NO", "--dry-run", "--json"});
  ASSERT_EQ(r.Exit, 0) << r;
  auto statements = nlohmann::json::parse(r.Out);
  EXPECT_EQ(statements["DeleteSQL"], "delete from CUSTOMER\nwhere\n  CUST_NO = :OLD_CUST_NO\n");

  r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--table", "ORDER_LINE", "--table-fields", "--primary-keys"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, "Saved Shop.dfm\n");
  const std::string saved = Read("Shop.dfm");
  EXPECT_NE(saved.find("      'delete from ORDER_LINE'\n      'where'\n      '  ORDER_NO = :OLD_ORDER_NO and'\n"
                       "      '  LINE_NO = :OLD_LINE_NO')"),
            std::string::npos)
      << saved;
}

TEST_F(OneShotCommandsTest, UpdateSQLFailuresNameTheOptionAndSaveNothing) {
  CopyExample();
  const std::string before = Read("Shop.dfm");
  TKorvResult r = Korv({"updatesql", "Shop.dfm", "Customers", "--dry-run"});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "korv: Customers is a TKVQuery, not an update object (TKVUpdateSQL)\n");
  r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--keys", "FOO"});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "korv: updatesql --keys: List box lbKeyFields has no item \"FOO\"\n");
  r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--table", "NOPE", "--table-fields"});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err,
            "korv: updatesql --table-fields: Get Table Fields: Unable to determine the field names of table NOPE\n");
  // Without fields chosen the editor's defaults are not saved, only shown.
  r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--table", "PART", "--quote"});
  EXPECT_EQ(r.Exit, 2);
  EXPECT_EQ(r.Err,
            "korv: updatesql saves only fields chosen: give --table-fields, --primary-keys, --keys or "
            "--fields (--dry-run prints the editor's defaults)\n");
  r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--dry-run"});
  EXPECT_EQ(r.Exit, 0) << r;
  EXPECT_TRUE(r.Out.starts_with("-- RefreshSQL\nselect CUST_NO, NAME, CITY, PHONE\n")) << r;
  EXPECT_EQ(Read("Shop.dfm"), before);
}

TEST_F(OneShotCommandsTest, ConfigRootDirWritesThePerUserRegistry) {
  // A folder that does not exist is made only when asked for.
  TKorvResult r = Korv({"config", "root-dir", "settings"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "korv: There is no folder " + Temp.File("settings") + ": give --create to make it\n");
  EXPECT_FALSE(Exists("config/korvane/registry.ini"));
  r = Korv({"config", "show"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, "Registry: " + Temp.File("config/korvane/registry.ini") +
                       "\nRootDir: not set (the current folder)\nSettings: " + Temp.File("korv.ini") +
                       " (not written yet)\n");

  r = Korv({"config", "root-dir", "settings", "--create"});
  ASSERT_EQ(r.Exit, 0) << r;
  const std::string registry = Read("config/korvane/registry.ini");
  EXPECT_NE(registry.find("[Software\\Korvane]"), std::string::npos) << registry;
  EXPECT_NE(registry.find("RootDir=" + Temp.File("settings") + "\n"), std::string::npos) << registry;
  EXPECT_TRUE(std::filesystem::is_directory(Temp.Path() / "settings"));

  // The package keeps its settings there from now on.
  CopyExample();
  r = RunScript("open Shop.dfm\nselect ShopDB\nset Connected True\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_NE(Read("settings/korv.ini").find("shop.db"), std::string::npos) << Read("settings/korv.ini");
  r = Korv({"config", "show"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, "Registry: " + Temp.File("config/korvane/registry.ini") + "\nRootDir = " + Temp.File("settings") +
                       "\nSettings: " + Temp.File("settings/korv.ini") + "\n  [RecentDatabases]\n");
}
