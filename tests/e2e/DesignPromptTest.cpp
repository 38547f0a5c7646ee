#include "KorvRun.h"

#include <sstream>

namespace {

class DesignPromptTest : public TKorvTest {};

}  // namespace

// Piped into the prompt, a session reads as a transcript: each prompt with the line typed.
TEST_F(DesignPromptTest, CommandsErrorsAndADialogAtThePrompt) {
  CopyExample();
  TKorvResult r = Korv({"design", "Shop.dfm"},
                       "select Parts\n"
                       "get TableName\n"
                       "get Nope\n"
                       "click btOk\n"
                       "select ShopMonitor\n"
                       "verb 0\n"
                       "click btNope\n"
                       "enter\n"
                       "set Tag 7\n"
                       "quit\n"
                       "quit --discard\n"
                       "echo not reached\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Err, "");
  const std::string start =
      "korv> select Parts\n"
      "korv> get TableName\n"
      "PART\n"
      "korv> get Nope\n"
      "Error: Parts (TKVTable) has no property Nope in the inspector\n"
      "korv> click btOk\n"
      "Error: click acts on a dialog, and no dialog is open\n"
      "korv> select ShopMonitor\n"
      "korv> verb 0\n"
      "Form KVAboutDlg: TKVAboutDlg \"About Korvane\"\n";
  EXPECT_EQ(r.Out.substr(0, start.size()), start) << r;
  const std::string end =
      "dialog> click btNope\n"
      "Error: Form KVAboutDlg has no control named btNope\n"
      "dialog> enter\n"
      "Closed KVAboutDlg: OK\n"
      "korv> set Tag 7\n"
      "korv> quit\n"
      "Error: ShopModule has unsaved changes: save it, or quit --discard\n"
      "korv> quit --discard\n";
  ASSERT_GE(r.Out.size(), end.size());
  EXPECT_EQ(r.Out.substr(r.Out.size() - end.size()), end) << r;
}

TEST_F(DesignPromptTest, MessageBoxesAreAskedAtThePromptUnlessAnswered) {
  CopyExample();
  TKorvResult r = Korv({"design", "Shop.dfm"},
                       "select Customers\n"
                       "edit --alt SQL\n"
                       "module type dfm.ShopModule.Customers.SQL \"select 1\"\n"
                       "module close dfm.ShopModule.Customers.SQL\n"
                       "maybe\n"
                       "yes\n"
                       "print Customers.SQL\n"
                       "help\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_NE(r.Out.find("korv> module close dfm.ShopModule.Customers.SQL\n"
                       "Message (Confirmation):\n"
                       "  Save changes to dfm.ShopModule.Customers.SQL?\n"
                       "Buttons: Yes No Cancel\n"
                       "answer> maybe\n"
                       "Error: answer one of: Yes No Cancel\n"
                       "answer> yes\n"
                       "Answered: Yes\n"
                       "korv> print Customers.SQL\n"
                       "select 1\n"
                       "korv> help\n"
                       "Commands:\n"),
            std::string::npos)
      << r;
  // The input ended with the module changed: nothing is saved, and the developer is told.
  EXPECT_EQ(r.Err, "korv: warning: the unsaved changes to ShopModule are dropped\n");
  EXPECT_EQ(Read("Shop.dfm"), ReadSource("examples/Shop.dfm"));
}

TEST_F(DesignPromptTest, HelpTellsHowToUseACommand) {
  TKorvResult r = Korv({"design"}, "help set\nhelp QUIT\nhelp click\nhelp frob\nhelp\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_NE(r.Out.find("korv> help set\n"
                       "set PROP VALUE\n"
                       "  type a value into a property\n"
                       "  Example: set DatabaseName ShopData\n"
                       "korv> help QUIT\n"
                       "quit [--discard]\n"
                       "  at the korv> prompt: leave (--discard: drop unsaved changes)\n"
                       "  Example: quit\n"
                       "korv> help click\n"
                       "Error: click acts on an open dialog: help at the dialog> prompt lists the dialog commands\n"
                       "korv> help frob\n"
                       "Error: Unknown command \"frob\" (help lists the commands)\n"),
            std::string::npos)
      << r;
  // The list names every command, quit too.
  EXPECT_NE(r.Out.find("\n  help [COMMAND]  "), std::string::npos) << r;
  EXPECT_NE(r.Out.find("\n  quit [--discard]  "), std::string::npos) << r;
}

TEST_F(DesignPromptTest, EachDialogGestureSaysWhatItDid) {
  CopyExample();
  TKorvResult r = Korv({"design", "Shop.dfm"},
                       "select CustomersUpdate\n"
                       "dblclick\n"
                       "tree\n"
                       "pick lbKeyFields CUST_NO\n"
                       "check cbQuotedFields on\n"
                       "menu lbKeyFields \"Clear All\"\n"
                       "click btGetTableFields\n"
                       "page pcUpdateSQL SQL\n"
                       "click btCancel\n");
  ASSERT_EQ(r.Exit, 0) << r;
  std::string lines;  // what the prompt answered, without the forms it printed
  std::istringstream out(r.Out);
  for (std::string line; std::getline(out, line);)
    if (line.starts_with("dialog> ") ||
        (!line.starts_with(" ") && !line.starts_with("Form ") && !line.starts_with("korv> ")))
      lines += line + "\n";
  EXPECT_EQ(lines,
            "dialog> tree\n"
            "Error: tree is no dialog command: form KVUpdateSQLEditForm is open; close it first (its OK or Cancel "
            "button, escape or close)\n"
            "dialog> pick lbKeyFields CUST_NO\n"
            "lbKeyFields: CUST_NO selected\n"
            "dialog> check cbQuotedFields on\n"
            "cbQuotedFields: on\n"
            "dialog> menu lbKeyFields \"Clear All\"\n"
            "lbKeyFields menu: Clear All; changed: lbKeyFields\n"
            "dialog> click btGetTableFields\n"
            "btGetTableFields clicked; changed: btDataSetDefaults, lbKeyFields, lbUpdateFields\n"
            "dialog> page pcUpdateSQL SQL\n"
            "page SQL\n"
            "dialog> click btCancel\n"
            "Closed KVUpdateSQLEditForm: Cancel\n");
}

TEST_F(DesignPromptTest, InputThatEndsInsideADialogFails) {
  CopyExample();
  TKorvResult r = Korv({"design", "Shop.dfm"}, "select CustomersUpdate\ndblclick\ntype cbTableName CUSTOMER\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "korv: The input ended while form KVUpdateSQLEditForm was open\n");

  r = Korv({"design", "nothing.dfm"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "korv: Cannot open nothing.dfm: no such file\n");
}
