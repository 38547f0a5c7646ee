// The text user interface: the printed form, commands read from a stream, message boxes and
// the open dialog answered from it, and running out of input.
#include "TestForm.h"

#include "vcl/Dialogs.h"
#include "vcl/FormText.h"
#include "vcl/HeadlessUI.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace vcl;

namespace {

struct TextUITest : ::testing::Test {
  std::istringstream In;
  std::ostringstream Out;
  TTextUserInterface UI{In, Out};
  TUserInterfaceScope Scope{&UI};
  std::unique_ptr<TTestForm> Form = CreateForm<TTestForm>(Application);

  void Input(const std::string& text) {
    In.str(text);
    In.clear();
  }
};

const char* const ShownForm = R"(Form TestForm: TTestForm "Test Dialog"
  pcPages: page control, pages ["Options"] "Text"
    tsOptions: page "Options"
      gbxGen: group box "Generation"
        cbTable: combo box "ORDERS"
          ( ) CUSTOMER
          (*) ORDERS
        btDisabled: button "Disabled" (disabled)
        btAction: button "Action"
        lbFields: list box, multiple selection, menu pmFields
          [ ] ID
          [ ] NAME
          [ ] CITY
        cbQuoted: check box "Quote Names" off
        edName: edit ""
        lblTable: label "Table Name:"
  pnlButtons: panel
    btOk: button "OK" [default]
    btCancel: button "Cancel" [cancel]
  imgLogo: image, picture
  lblLink: label "Home Page"
  bvLine: bevel
  Menu pmFields: "Select All" "Clear All"
  Focus: cbTable
)";

}  // namespace

TEST_F(TextUITest, PrintsTheFormAndRunsCommandsUntilItCloses) {
  Input(
      "pick lbFields ID CITY\n"
      "check cbQuoted on\n"
      "click btDisabled\n"
      "bogus\n"
      "page pcPages Text\n"
      "type meText \"select *\\nfrom T\"\n"
      "show\n"
      "click btOk\n"
      "left over\n");
  EXPECT_EQ(Form->ShowModal(), mrOk);
  std::string out = Out.str();
  ASSERT_EQ(out.substr(0, std::string(ShownForm).size()), ShownForm) << out;
  std::string rest = out.substr(std::string(ShownForm).size());
  EXPECT_EQ(rest.substr(0, rest.find("Form TestForm")),
            "Error: Button btDisabled is disabled\nError: Unknown command \"bogus\"\n");
  EXPECT_NE(rest.find("  pcPages: page control, pages \"Options\" [\"Text\"]\n"
                      "    tsText: page \"Text\"\n"
                      "      meText: memo\n"
                      "        | select *\n"
                      "        | from T\n"
                      "      rgrKind: radio group \"Kind\"\n"
                      "        (*) Refresh\n"
                      "        ( ) Modify\n"),
            std::string::npos)
      << rest;
  EXPECT_NE(rest.find("  Focus: meText\n"), std::string::npos);  // as shown before the click
  EXPECT_TRUE(rest.ends_with("Closed TestForm: mrOk\n")) << rest;
  std::string left;
  std::getline(In, left);
  EXPECT_EQ(left, "left over");
  EXPECT_EQ(FormToText(Form.get()).find("[x] ID"), std::string::npos);  // the list box is on the page not shown
  Form->Get<TPageControl>("pcPages")->SetActivePageIndex(0);
  EXPECT_NE(FormToText(Form.get()).find("[x] ID\n          [ ] NAME\n          [x] CITY"), std::string::npos);
}

TEST_F(TextUITest, AnErrorEscapingAHandlerIsPrintedAndTheFormGoesOn) {
  Form->Get<TButton>("btAction")->OnClick = [](rtl::TObject*) { throw rtl::EDatabaseError("no connection"); };
  Input("click btAction\nescape\n");
  EXPECT_EQ(Form->ShowModal(), mrCancel);
  EXPECT_NE(Out.str().find("Error: no connection\nClosed TestForm: mrCancel\n"), std::string::npos) << Out.str();
}

TEST_F(TextUITest, MessageBoxesAreAnsweredByButtonName) {
  Input("maybe\nno\n");
  EXPECT_EQ(MessageDlg("SQL not generated.\nContinue?", mtConfirmation, {mbYes, mbNo, mbCancel}, 0), mrNo);
  EXPECT_EQ(Out.str(),
            "Message (Confirmation):\n"
            "  SQL not generated.\n"
            "  Continue?\n"
            "Buttons: Yes No Cancel\n"
            "Error: answer one of: Yes No Cancel\n"
            "Answered: No\n");
}

TEST_F(TextUITest, TheOpenDialogTakesAFileAFilterOrACancel) {
  TOpenDialog dlg(nullptr);
  dlg.SetFilter("Ini-files (*.ini)|*.INI|All files (*.*)|*.*");
  dlg.SetInitialDir("/tmp");
  Input("filter 2\nfile some name.txt\ncancel\n");
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), "/tmp/some name.txt");
  EXPECT_EQ(dlg.FilterIndex(), 2);
  EXPECT_FALSE(dlg.Execute());
  EXPECT_NE(Out.str().find("  Filter 1: Ini-files (*.ini) [*.INI] (chosen)\n"), std::string::npos) << Out.str();
}

TEST_F(TextUITest, TheOpenDialogListsTheFilesOfItsFolder) {
  TTempFolder dir;
  for (const char* name : {"a.ini", "b.INI", "c.txt"}) std::ofstream(dir.File(name)) << "x";
  TOpenDialog dlg(nullptr);
  dlg.SetTitle("Pick");
  dlg.SetFilter("Ini-files (*.ini)|*.ini");
  dlg.SetInitialDir(dir.Path().string());
  Input("cancel\n");
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(Out.str(),
            "Open dialog \"Pick\"\n"
            "  File name: \"\"\n"
            "  Folder: \"" +
                dir.Path().string() +
                "\"\n"
                "  Files: \"a.ini\", \"b.INI\"\n"
                "  Filter 1: Ini-files (*.ini) [*.ini] (chosen)\n"
                "Answer: file NAME, filter N or cancel\n");
}

TEST_F(TextUITest, InputThatEndsWhileAFormWaitsIsAnError) {
  Input("type edName abc\n");
  try {
    Form->ShowModal();
    FAIL() << "no error";
  } catch (const EUserInterfaceError& e) {
    EXPECT_STREQ(e.what(), "The input ended while form TestForm waited for an answer");
  }
  EXPECT_FALSE(Form->Showing());
  Input("");
  EXPECT_THROW(MessageDlg("x", mtError, {mbOK}, 0), EUserInterfaceError);
}

TEST_F(TextUITest, OpeningAnAddressIsPrinted) {
  UI.SetOpenAddressResult(false);
  EXPECT_FALSE(UI.OpenAddress("https://example.org/"));
  EXPECT_EQ(Out.str(), "Open address: https://example.org/ (failed)\n");
}
