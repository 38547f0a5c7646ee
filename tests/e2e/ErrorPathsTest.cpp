#include "KorvRun.h"

namespace {

// Each error a user can cause ends the script with exit code 1 and one line on standard
// error: the script, the line, what failed.
class ErrorPathsTest : public TKorvTest {
protected:
  void ExpectFailure(const std::string& Script, const std::string& Error) {
    SCOPED_TRACE(Script);
    TKorvResult r = RunScript(Script);
    EXPECT_EQ(r.Exit, 1) << r;
    EXPECT_EQ(r.Err, Error) << r;
  }
};

const char* const kUpdateEditorOpen =
    "open Shop.dfm\n"
    "select CustomersUpdate\n"
    "dblclick\n";

}  // namespace

TEST_F(ErrorPathsTest, FilesThatCannotBeReadNameFileAndPlace) {
  CopyExample();
  ExpectFailure("open nothing.dfm\n", "script.korv:1: Cannot open nothing.dfm: no such file\n");
  std::filesystem::create_directory(Temp.Path() / "folder.dfm");
  ExpectFailure("\n# a folder\nopen folder.dfm\n", "script.korv:3: Cannot open folder.dfm: it is a folder\n");
  Write("bad.dfm",
        "object M: TDataModule\n"
        "  object Q: TKVQuery\n"
        "    Active = \n"
        "  end\n"
        "end\n");
  ExpectFailure("open bad.dfm\n",
                "script.korv:1: bad.dfm:4:3: invalid value \"end\" for property Active: not a value of Boolean\n");
  Write("cut.dfm", "object M: TDataModule\n  object Q: TKVQuery\n");
  TKorvResult r = RunScript("open cut.dfm\n");
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err.rfind("script.korv:1: cut.dfm:", 0), 0u) << r;

  r = Korv({"run", "missing.korv"});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "korv: Cannot open missing.korv: no such file\n");
  r = Korv({"tree", "bad.dfm"});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "korv: bad.dfm:4:3: invalid value \"end\" for property Active: not a value of Boolean\n");
}

TEST_F(ErrorPathsTest, UnknownComponentsPropertiesVerbsAndClasses) {
  CopyExample();
  ExpectFailure("open Shop.dfm\nselect Nobody\n", "script.korv:2: No component named Nobody in ShopModule\n");
  ExpectFailure("open Shop.dfm\nprint Nobody.SQL\n", "script.korv:2: No component named Nobody in ShopModule\n");
  ExpectFailure("open Shop.dfm\nselect Parts\nget Nope\n",
                "script.korv:3: Parts (TKVTable) has no property Nope in the inspector\n");
  ExpectFailure("open Shop.dfm\nselect Parts\nset Active Maybe\n",
                "script.korv:3: Active: 'Maybe' is not a Boolean; use True or False\n");
  ExpectFailure("open Shop.dfm\nselect Parts\nverb 9\n",
                "script.korv:3: Parts (TKVTable) has no verb 9 (verbs 0 to 2)\n");
  ExpectFailure("open Shop.dfm\nselect Parts\nverb -1\n",
                "script.korv:3: Parts (TKVTable) has no verb -1 (verbs 0 to 2)\n");
  ExpectFailure("open Shop.dfm\nselect Parts\nverb \"Fields Designer\"\n",
                "script.korv:3: Parts (TKVTable) has no verb \"Fields Designer\" (its verbs: Korvane 2.0.0, Fields "
                "Editor)\n");
  ExpectFailure("open Shop.dfm\nselect Parts\nverb 1\n",
                "script.korv:3: Verb 1 of Parts (TKVTable) is a separator of the menu; it runs nothing\n");
  ExpectFailure("open Shop.dfm\nselect Parts\nverb -\n",
                "script.korv:3: Parts (TKVTable) has no verb \"-\" (its verbs: Korvane 2.0.0, Fields Editor)\n");
  ExpectFailure("open Shop.dfm\nadd TNope\n",
                "script.korv:2: No component class TNope on the palette (palette lists them)\n");
  ExpectFailure("open Shop.dfm\nadd TKVQuery Parts\n", "script.korv:2: A component named Parts already exists\n");
  ExpectFailure("open Shop.dfm\ndrag Parts Nowhere\n",
                "script.korv:2: No node Nowhere in the object tree of ShopModule\n");
  ExpectFailure("open Shop.dfm\ndelete ShopModule\n", "script.korv:2: The root of a module cannot be deleted\n");
  ExpectFailure("select Parts\n", "script.korv:1: No module is open (open FILE or new CLASS NAME first)\n");
}

TEST_F(ErrorPathsTest, DialogLinesNameTheControlOrItemThatIsNotThere) {
  CopyExample();
  ExpectFailure(std::string(kUpdateEditorOpen) + "click btNope\n",
                "script.korv:4: Form KVUpdateSQLEditForm has no control named btNope\n");
  ExpectFailure(std::string(kUpdateEditorOpen) + "pick lbKeyFields NOPE\n",
                "script.korv:4: List box lbKeyFields has no item \"NOPE\"\n");
  ExpectFailure(std::string(kUpdateEditorOpen) + "type cbTableName CUSTOMER\ntree\n",
                "script.korv:5: tree is no dialog command, and form KVUpdateSQLEditForm is open until a gesture "
                "closes it\n");
  ExpectFailure(std::string(kUpdateEditorOpen) + "# never closed\n",
                "script.korv:4: The script ended while form KVUpdateSQLEditForm (TKVUpdateSQLEditForm) was open\n");
  ExpectFailure("open Shop.dfm\nclick btOk\n", "script.korv:2: click acts on a dialog, and no dialog is open\n");
  // A table the database does not have: the editor's error box needs an answer.
  ExpectFailure(std::string(kUpdateEditorOpen) + "type cbTableName NOPE\nclick btGetTableFields\n",
                "script.korv:5: A message box shows \"Unable to determine the field names of table NOPE\" (OK), and "
                "no answer is queued for it\n");
  TKorvResult r = RunScript(std::string(kUpdateEditorOpen) +
                            "type cbTableName NOPE\nanswer ok\nclick btGetTableFields\nclick btCancel\necho closed\n");
  EXPECT_EQ(r.Exit, 0) << r;
  EXPECT_NE(r.Out.find("Answered: ok\nclosed\n"), std::string::npos) << r;
}

TEST_F(ErrorPathsTest, ADatabaseThatWillNotOpenSaysWhichAndWhy) {
  CopyExample();
  ExpectFailure("open Shop.dfm\nselect ShopDB\nset RemoteDatabase missing.db\nset Connected True\n",
                "script.korv:4: Cannot connect to database 'ShopData': Cannot open SQLite database \"" +
                    Temp.File("missing.db") + "\": the file does not exist\n");
  EXPECT_FALSE(Exists("missing.db"));

  // A module whose stored connection cannot be made still opens, with the database closed.
  Write("Stored.dfm",
        "object Stored: TDataModule\n"
        "  object Db: TKVDatabase\n"
        "    DatabaseName = 'Gone'\n"
        "    RemoteDatabase = 'gone.db'\n"
        "    Connected = True\n"
        "  end\n"
        "end\n");
  TKorvResult r = RunScript("open Stored.dfm\nprint Db.Connected\n");
  EXPECT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, "False\n");
  EXPECT_NE(r.Err.find("korv: warning: Db stays closed: Cannot connect to database 'Gone'"), std::string::npos) << r;
  EXPECT_FALSE(Exists("gone.db"));
}

TEST_F(ErrorPathsTest, RelativeDatabaseFilesAreTakenFromTheModulesFolder) {
  // Run from another folder: the example's shop.db is found beside Shop.dfm all the same.
  std::filesystem::create_directory(Temp.Path() / "shop");
  Write("shop/Shop.dfm", ReadSource("examples/Shop.dfm"));
  BuildDatabase("shop/shop.db", ReadSource("examples/shop.sql"));
  TKorvResult r = RunScript("open shop/Shop.dfm\nselect Customers\nset Active True\nprint Customers.Active\n");
  EXPECT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, "True\n");
  EXPECT_FALSE(Exists("shop.db"));
}

TEST_F(ErrorPathsTest, TheFirstFailingLineEndsTheRunAndNothingUnsavedIsWritten) {
  CopyExample();
  const std::string before = Read("Shop.dfm");
  TKorvResult r = RunScript(
      "open Shop.dfm\n"
      "select Parts\n"
      "set TableName ORDER_LINE\n"
      "echo changed\n"
      "set Nope 1\n"
      "save\n"
      "echo saved\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Out, "changed\n");
  EXPECT_EQ(r.Err, "script.korv:5: Parts (TKVTable) has no property Nope in the inspector\n");
  EXPECT_EQ(Read("Shop.dfm"), before);
}

TEST_F(ErrorPathsTest, AFailedSaveLeavesTheOldFile) {
  CopyExample();
  const std::string before = Read("Shop.dfm");
  Write("script.korv", std::string(kUpdateEditorOpen) +
                           "type cbTableName CUSTOMER\n"
                           "click btGetTableFields\n"
                           "click btSelectPrimKeys\n"
                           "click btGenerateSQL\n"
                           "click btOk\n"
                           "save\n");
  // Files may grow to 1 KiB only: the module, grown by its statements, cannot be written.
  TKorvResult r = Korv({"run", "script.korv"}, {}, "trap '' XFSZ; ulimit -f 1;");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "script.korv:9: Cannot write file \"Shop.dfm\": File too large\n");
  EXPECT_EQ(Read("Shop.dfm"), before);
  for (const auto& entry : std::filesystem::directory_iterator(Temp.Path()))
    EXPECT_EQ(entry.path().filename().string().rfind(".Shop.dfm", 0), std::string::npos) << entry.path();
}

TEST_F(ErrorPathsTest, MessageBoxesNeedAQueuedAnswerOfOneOfTheirButtons) {
  CopyExample();
  const std::string edited =
      "open Shop.dfm\n"
      "select Customers\n"
      "edit --alt SQL\n"
      "module type dfm.ShopModule.Customers.SQL \"select 1\"\n";
  ExpectFailure(edited + "module close dfm.ShopModule.Customers.SQL\n",
                "script.korv:5: A message box shows \"Save changes to dfm.ShopModule.Customers.SQL?\" (Yes No Cancel), "
                "and no answer is queued for it\n");
  ExpectFailure(edited + "answer maybe\nmodule close dfm.ShopModule.Customers.SQL\n",
                "script.korv:6: The answer \"maybe\" is none of the buttons of the message box \"Save changes to "
                "dfm.ShopModule.Customers.SQL?\" (Yes No Cancel)\n");
}

TEST_F(ErrorPathsTest, MalformedLinesAndModuleMisuse) {
  CopyExample();
  ExpectFailure("open Shop.dfm\necho \"unclosed\n", "script.korv:2: Unclosed quote: \"unclosed\n");
  ExpectFailure("open Shop.dfm\nselect Parts\nset Active\n", "script.korv:3: Usage: set PROP VALUE\n");
  ExpectFailure("open Shop.dfm\nfrobnicate\n",
                "script.korv:2: Unknown command \"frobnicate\" (help lists the commands)\n");
  ExpectFailure("new TOrders Orders\nsave\n", "script.korv:2: Orders has no file yet: save FILE\n");
  ExpectFailure("new TKVQuery Orders\n", "script.korv:1: TKVQuery is no data module class\n");
  ExpectFailure("open Shop.dfm\nselect Parts\nset Tag 3\nopen Shop.dfm\n",
                "script.korv:4: ShopModule has unsaved changes: save it, or close --discard first\n");
  TKorvResult r =
      RunScript("open Shop.dfm\nselect Parts\nset Tag 3\nclose --discard\nopen Shop.dfm\nprint Parts.Tag\n");
  EXPECT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, "0\n");
}
