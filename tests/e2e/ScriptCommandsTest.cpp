#include "KorvRun.h"

namespace {

class ScriptCommandsTest : public TKorvTest {};

// Two sessions, a database in the first and a query on it.
const char* const kWiredModule =
    "object Wired: TDataModule\n"
    "  object S1: TKVSession\n"
    "    SessionName = 'One'\n"
    "  end\n"
    "  object S2: TKVSession\n"
    "    SessionName = 'Two'\n"
    "  end\n"
    "  object Db: TKVDatabase\n"
    "    DatabaseName = 'Main'\n"
    "    SessionName = 'One'\n"
    "    ServerType = stSQLite\n"
    "  end\n"
    "  object Q: TKVQuery\n"
    "    DatabaseName = 'Main'\n"
    "    SessionName = 'One'\n"
    "  end\n"
    "end\n";

}  // namespace

TEST_F(ScriptCommandsTest, ModuleCommandsBuildSaveCloseAndReopenAModule) {
  TKorvResult r = RunScript(
      "# a new module, built as the developer does\n"
      "new TOrdersModule Orders\n"
      "add TKVSession\n"
      "add TKVDatabase OrdersDB\n"
      "set DatabaseName Main\n"
      "set SessionName \"Sales Team\"\n"
      "rename KVSession1 Sales\n"
      "select Sales\n"
      "set SessionName \"Sales Team\"\n"
      "add TKVQuery\n"
      "add TKVQuery\n"
      "delete KVQuery1\n"
      "save orders.dfm\n"
      "close\n"
      "open orders.dfm\n"
      "tree\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out,
            "KVSession1\n"
            "KVQuery1\n"
            "KVQuery2\n"
            "Orders\n"
            "  Default {KVSession}\n"
            "    ! <?> {Unknown}\n"
            "      ! <?> {KVQuery2}\n"
            "        Params\n"
            "  Sales Team {Sales}\n"
            "    SQLite | <UnknownDatabase> {OrdersDB}\n");
  EXPECT_EQ(Read("orders.dfm"),
            "object Orders: TOrdersModule\n"
            "  object Sales: TKVSession\n"
            "    SessionName = 'Sales Team'\n"
            "  end\n"
            "  object OrdersDB: TKVDatabase\n"
            "    DatabaseName = 'Main'\n"
            "    SessionName = 'Sales Team'\n"
            "    ServerType = stSQLite\n"
            "  end\n"
            "  object KVQuery2: TKVQuery\n"
            "  end\n"
            "end\n");
}

TEST_F(ScriptCommandsTest, InspectorCommandsReadAndWritePropertiesThroughTheirEditors) {
  CopyExample();
  TKorvResult r = RunScript(
      "open Shop.dfm\n"
      "select ShopDB\n"
      "get RemoteDatabase\n"
      "values ServerType\n"
      "set LoginPrompt True\n"
      "get LoginPrompt\n"
      "edit Params\n"
      "type meParams \"USER NAME=shop\\nTIMEOUT=5\"\n"
      "click btOk\n"
      "print ShopDB.Params\n"
      "print Customers.SQL\n"
      "print Customers.UpdateObject\n"
      "select Customers\n"
      "values DatabaseName\n"
      "select Customers Parts\n"
      "get DatabaseName\n"
      "props\n"
      "props --verbose\n");
  ASSERT_EQ(r.Exit, 0) << r;
  const std::string expectedStart =
      "shop.db\n"
      "stFirebird\n"
      "stMariaDB\n"
      "stPostgreSQL\n"
      "stSQLite\n"
      "True\n";
  EXPECT_EQ(r.Out.substr(0, expectedStart.size()), expectedStart) << r;
  EXPECT_EQ(r.Out.find("Form KVParamsEditorDlg"), std::string::npos) << r;  // a dialog prints on "show" only
  EXPECT_NE(r.Out.find("USER NAME=shop\nTIMEOUT=5\n"
                       "select CUST_NO, NAME, CITY, TEL as PHONE from CUSTOMER\n"
                       "CustomersUpdate\n"
                       "ShopData\n"
                       "ShopData\n"),
            std::string::npos)
      << r;
  // Both selected components show the properties they share, one a line, aligned, with the
  // inspector's buttons as marks; the editors only when asked for.
  EXPECT_NE(r.Out.find("ShopData\n"
                       "Tag          = 0\n"
                       "Active       = False  [v]\n"
                       "DatabaseName = ShopData  [v]\n"
                       "SessionName  = Shop  [v]\n"
                       "UpdateObject =   [v]\n"
                       "Tag          = 0  (TIntegerProperty [paMultiSelect,paRevertable])\n"),
            std::string::npos)
      << r;
  EXPECT_NE(r.Out.find("DatabaseName = ShopData  [v]  (TKVDatabaseNameProperty"), std::string::npos) << r;
  EXPECT_EQ(r.Out.find("TableName"), std::string::npos) << r;

  // Enumerations take the names the library shows; a set lists its members; a wrong value says
  // which are right.
  r = RunScript(
      "open Shop.dfm\n"
      "select ShopDB\n"
      "set ServerType PostgreSQL\n"
      "get ServerType\n"
      "values DesignOptions\n"
      "set DesignOptions.ddoDefaultDatabase True\n"
      "get DesignOptions\n"
      "props\n"
      "set ServerType Oracle\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_TRUE(
      r.Out.starts_with("stPostgreSQL\n"
                        "ddoDefaultDatabase\n"
                        "ddoStoreConnected\n"
                        "[ddoDefaultDatabase]\n"))
      << r;
  EXPECT_NE(r.Out.find("\nParams         = (TStringList)  [...]\n"), std::string::npos) << r;
  EXPECT_NE(r.Out.find("\nDesignOptions  = [ddoDefaultDatabase]  [+]\n"), std::string::npos) << r;
  EXPECT_EQ(r.Err,
            "script.korv:9: ServerType: 'Oracle' is not a TKVServerType; use stSQLite, stPostgreSQL, "
            "stFirebird or stMariaDB\n");
}

TEST_F(ScriptCommandsTest, TheOpenDialogStartsInTheModulesFolderAndStoresNamesRelativeToIt) {
  // The module in a folder of its own, korv started beside it.
  std::filesystem::create_directories(Temp.File("mod/conf"));
  Write("mod/Shop.dfm", ReadSource("examples/Shop.dfm"));
  Write("mod/conf/conn.params", "TIMEOUT=5\n");
  Write("mod/other.params", "TIMEOUT=6\n");
  Write("elsewhere.params", "TIMEOUT=7\n");
  TKorvResult r = RunScript(
      "open mod/Shop.dfm\n"
      "select ShopDB\n"
      "answer conf/conn.params\n"
      "edit ParamsFileName\n"
      "get ParamsFileName\n"
      "answer " +
      Temp.File("mod/other.params") +
      "\n"
      "edit ParamsFileName\n"
      "get ParamsFileName\n"
      "answer " +
      Temp.File("elsewhere.params") +
      "\n"
      "edit ParamsFileName\n"
      "get ParamsFileName\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, "conf/conn.params\nother.params\n" + Temp.File("elsewhere.params") + "\n") << r;
}

TEST_F(ScriptCommandsTest, VerbsAndDoubleClickRunTheComponentEditor) {
  CopyExample();
  TKorvResult r = RunScript(
      "open Shop.dfm\n"
      "select ShopMonitor\n"
      "verbs\n"
      "verb 0\n"
      "show\n"
      "click btOk\n"
      "select Parts\n"
      "verbs\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out.substr(0, 19), "0: Korvane 2.0.0\nFo") << r;
  EXPECT_NE(r.Out.find("Form KVAboutDlg: TKVAboutDlg \"About Korvane\"\n"), std::string::npos) << r;
  EXPECT_NE(r.Out.find("0: Korvane 2.0.0\n1: -\n2: "), std::string::npos) << r;

  // By caption, as the menu reads it: without "&" or "...", in any letter case, quoted or not.
  for (const char* verb : {"\"UpdateSQL Editor\"", "\"&updatesql editor...\""}) {
    r = RunScript(std::string("open Shop.dfm\nselect CustomersUpdate\nverb ") + verb + "\nshow\nclick btCancel\n");
    ASSERT_EQ(r.Exit, 0) << verb << r;
    EXPECT_NE(r.Out.find("TKVUpdateSQLEditForm"), std::string::npos) << verb << r;
  }
  r = RunScript("open Shop.dfm\nselect ShopMonitor\nverb korvane\n");  // a first word alone is no caption
  EXPECT_EQ(r.Exit, 1) << r;
}

TEST_F(ScriptCommandsTest, TreeCommandsDragNodesAndDropFromThePalette) {
  Write("Wired.dfm", kWiredModule);
  TKorvResult r = RunScript(
      "open Wired.dfm\n"
      "dragover Main Two\n"
      "dragover Main Q\n"
      "drag Main Two\n"
      "print Db.SessionName\n"
      "print Q.SessionName\n"
      "palettedrop TKVDatabase One\n"
      "print KVDatabase1.SessionName\n"
      "tree\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out,
            "yes\n"
            "no\n"
            "Two\n"
            "Two\n"
            "KVDatabase1\n"
            "One\n"
            "Wired\n"
            "  One {S1}\n"
            "    ! SQLite | <UnknownDatabase> {KVDatabase1}\n"
            "  Two {S2}\n"
            "    SQLite | <UnknownDatabase> {Db}\n"
            "      ! <?> {Q}\n"
            "        Params\n");
}

TEST_F(ScriptCommandsTest, ANodeNameThatFitsSeveralNodesIsRefusedWithTheirPaths) {
  Write("Wired.dfm", kWiredModule);
  TKorvResult r = RunScript(
      "open Wired.dfm\n"
      "select S2\n"
      "set SessionName Main\n"
      "drag Main One\n"
      "echo not reached\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Out, "");
  EXPECT_EQ(r.Err, "script.korv:4: Several nodes are named Main: Wired\\S2, Wired\\S1\\Db (name one by its path)\n");

  // A path names one of them.
  r = RunScript(
      "open Wired.dfm\n"
      "select S2\n"
      "set SessionName Main\n"
      "drag Wired\\S1\\Db Wired\\S2\n"
      "print Db.SessionName\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, "Main\n");
}

TEST_F(ScriptCommandsTest, SavingOverAnotherFileAsksFirst) {
  Write("Other.dfm", "keep me\n");
  TKorvResult r = RunScript(
      "new TDataModule Orders\n"
      "answer no\n"
      "save Other.dfm\n"
      "answer yes\n"
      "save Other.dfm\n"
      "add TKVSession\n"
      "save Other.dfm\n");  // its own file now: no question
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out,
            "Message (Confirmation):\n"
            "  Other.dfm already exists.\n"
            "  Do you want to replace it?\n"
            "Buttons: Yes No\n"
            "Answered: no\n"
            "Not saved: Other.dfm is kept\n"
            "Message (Confirmation):\n"
            "  Other.dfm already exists.\n"
            "  Do you want to replace it?\n"
            "Buttons: Yes No\n"
            "Answered: yes\n"
            "KVSession1\n");
  EXPECT_EQ(Read("Other.dfm"),
            "object Orders: TDataModule\n"
            "  object KVSession1: TKVSession\n"
            "  end\n"
            "end\n");

  // Unanswered, the script stops at the question and the file stays.
  Write("Other.dfm", "keep me\n");
  r = RunScript("new TDataModule Orders\nsave Other.dfm\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(Read("Other.dfm"), "keep me\n");
}

TEST_F(ScriptCommandsTest, TheCodeEditorTakesAStringListAndSavesItBack) {
  CopyExample();
  TKorvResult r = RunScript(
      "open Shop.dfm\n"
      "select Customers\n"
      "edit --alt SQL\n"
      "modules\n"
      "module type dfm.ShopModule.Customers.SQL \"select NAME\\nfrom CUSTOMER\"\n"
      "modules\n"
      "print Customers.SQL\n"
      "module save dfm.ShopModule.Customers.SQL\n"
      "print Customers.SQL\n"
      "module type dfm.ShopModule.Customers.SQL \"select 1\"\n"
      "answer no\n"
      "module close dfm.ShopModule.Customers.SQL\n"
      "modules\n"
      "print Customers.SQL\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out,
            "dfm.ShopModule.Customers.SQL\n"
            "dfm.ShopModule.Customers.SQL (modified)\n"
            "select CUST_NO, NAME, CITY, TEL as PHONE from CUSTOMER\n"
            "select NAME\n"
            "from CUSTOMER\n"
            "Message (Confirmation):\n"
            "  Save changes to dfm.ShopModule.Customers.SQL?\n"
            "Buttons: Yes No Cancel\n"
            "Answered: no\n"
            "select NAME\n"
            "from CUSTOMER\n");
}

TEST_F(ScriptCommandsTest, ArgumentsStandForDollarNumbers) {
  CopyExample();
  TKorvResult r = RunScript("open $1\necho $0 \"${2}\" $2x\nprint $3.SessionName\n", {"Shop.dfm", "a b", "ShopDB"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, "script.korv a b a bx\nShop\n");

  r = RunScript("echo $1\necho $2\n", {"only"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Out, "only\n");
  EXPECT_EQ(r.Err, "script.korv:2: The script uses $2 but was given 1 argument\n");
}

// A word in single quotes is a Pascal string: blanks kept, a doubled quote standing for one;
// in double quotes or inside a word a single quote is only itself.
TEST_F(ScriptCommandsTest, SingleQuotedWordsArePascalStrings) {
  CopyExample();
  TKorvResult r = RunScript(
      "open Shop.dfm\nselect Parts\nset TableName 'It''s  a part'\nprint Parts.TableName\n"
      "echo \"'x'\" don't\nset TableName ''\nprint Parts.TableName\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, "It's  a part\n'x' don't\n\n");

  r = RunScript("echo 'unclosed\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "script.korv:1: Unclosed quote: 'unclosed\n");
  r = RunScript("echo 'a'b\n");
  EXPECT_EQ(r.Err, "script.korv:1: A blank must follow the quoted word 'a'\n");
}
