// The scripted user interface: scripts per form class or name, command scripts, queued
// answers, and the errors that replace waiting.
#include "TestForm.h"

#include "vcl/Dialogs.h"
#include "vcl/HeadlessUI.h"
#include "vcl/Platform.h"

#include <gtest/gtest.h>

using namespace vcl;

namespace {

struct ScriptedUITest : ::testing::Test {
  TScriptedUserInterface UI;
  TUserInterfaceScope Scope{&UI};
  std::unique_ptr<TTestForm> Form = CreateForm<TTestForm>(Application);

  std::string ErrorOf(const std::function<void()>& fn) {
    try {
      fn();
    } catch (const rtl::Exception& e) {
      return e.Message();
    }
    return "(no error)";
  }
};

}  // namespace

TEST_F(ScriptedUITest, ScriptsAreTakenInOrderByClassOrFormName) {
  UI.QueueForm("testform", {"choose cbTable CUSTOMER", "click btOk"});
  UI.QueueForm("TTestForm", {"# a comment", "", "menu lbFields Select All", "escape"});
  EXPECT_EQ(Form->ShowModal(), mrOk);
  EXPECT_EQ(Form->Get<TComboBox>("cbTable")->Text(), "CUSTOMER");
  EXPECT_EQ(Form->ShowModal(), mrCancel);
  EXPECT_EQ(Form->Get<TListBox>("lbFields")->SelCount(), 3);
  EXPECT_TRUE(UI.AllConsumed());
  EXPECT_EQ(UI.Log(), (std::vector<std::string>{"form TestForm: TTestForm", "form TestForm: TTestForm"}));
}

TEST_F(ScriptedUITest, AFormWithNothingQueuedIsAnErrorShowingTheForm) {
  std::string msg = ErrorOf([&] { Form->ShowModal(); });
  EXPECT_EQ(
      msg.rfind("Form TestForm (TTestForm) was shown with no gestures queued for it:\nForm TestForm: TTestForm", 0), 0u)
      << msg;
  EXPECT_FALSE(Form->Showing());
}

TEST_F(ScriptedUITest, AScriptThatLeavesItsFormOpenIsAnError) {
  UI.QueueForm("TTestForm", {"type edName abc"});
  std::string msg = ErrorOf([&] { Form->ShowModal(); });
  EXPECT_EQ(msg.rfind("Form TestForm (TTestForm) is still open after its gestures:\n", 0), 0u) << msg;
  EXPECT_NE(msg.find("edName: edit \"abc\""), std::string::npos);
}

TEST_F(ScriptedUITest, AFailingCommandNamesItself) {
  UI.QueueForm("TTestForm", {"check cbQuoted on", "click btDisabled", "click btOk"});
  EXPECT_EQ(ErrorOf([&] { Form->ShowModal(); }), "Button btDisabled is disabled (in \"click btDisabled\")");
  EXPECT_THROW(ParseGestureCommand("check cbQuoted maybe"), EGestureError);
  EXPECT_THROW(ParseGestureCommand("click"), EGestureError);
  EXPECT_THROW(ParseGestureCommand("enter now"), EGestureError);
  auto cmd = ParseGestureCommand("  pick lbFields 'A B' \"C\\\"D\" E");
  ASSERT_TRUE(cmd);
  EXPECT_EQ(cmd->Args, (std::vector<std::string>{"lbFields", "A B", "C\"D", "E"}));
  cmd = ParseGestureCommand("menu lbFields   Select All  ");
  EXPECT_EQ(cmd->Args, (std::vector<std::string>{"lbFields", "Select All"}));
}

TEST_F(ScriptedUITest, MessageBoxesTakeQueuedAnswersThatMustFitTheBox) {
  UI.QueueAnswer(mrYes, "generated");
  UI.QueueAnswer(mrOk, "generated");
  UI.QueueAnswer(mrRetry);
  EXPECT_EQ(MessageDlg("SQL not generated. Continue?", mtConfirmation, {mbYes, mbNo, mbCancel}, 0), mrYes);
  EXPECT_EQ(ErrorOf([] { MessageDlg("Something else", mtError, {mbOK}, 0); }),
            "The message box answered with mrOk was to say \"generated\", but it is:\n"
            "Message (Error):\n  Something else\nButtons: OK\n");
  EXPECT_EQ(ErrorOf([] { MessageDlg("Really?", mtWarning, {mbOK}, 0); }).substr(0, 51),
            "The answer mrRetry is none of the buttons (OK) of:\n");
  EXPECT_EQ(ErrorOf([] { MessageDlg("Lost", mtInformation, {mbOK}, 0); }),
            "A message box was shown with no answer queued:\nMessage (Information):\n  Lost\nButtons: OK\n");
  EXPECT_EQ(UI.Messages().size(), 4u);
}

TEST_F(ScriptedUITest, AMessageBoxFromAHandlerIsAnsweredWhileTheFormIsShown) {
  Form->OnCloseQuery = [this](rtl::TObject*, bool& CanClose) {
    CanClose = Form->ModalResult() != mrOk || MessageDlg("Close?", mtConfirmation, {mbYes, mbNo}, 0) == mrYes;
  };
  UI.QueueForm("TTestForm", {"click btOk", "click btOk"});
  UI.QueueAnswer(mrNo);
  UI.QueueAnswer(mrYes);
  EXPECT_EQ(Form->ShowModal(), mrOk);
  EXPECT_EQ(UI.Log().size(), 3u);
}

TEST_F(ScriptedUITest, KeysAddressesAndTextWidth) {
  EXPECT_EQ(GetAsyncKeyState(VK_MENU) & 0x8000, 0);
  UI.SetKeyDown(VK_MENU, true);
  EXPECT_NE(GetAsyncKeyState(VK_MENU) & 0x8000, 0);
  EXPECT_GT(ShellExecute(nullptr, "open", "mailto:someone@example.org", "", "", 0), 32);
  UI.SetOpenAddressResult(false);
  EXPECT_LE(ShellExecute(nullptr, "open", "https://example.org/", "", "", 0), 32);
  EXPECT_EQ(UI.OpenedAddresses(), (std::vector<std::string>{"mailto:someone@example.org", "https://example.org/"}));

  auto* lb = Form->Get<TListBox>("lbFields");
  EXPECT_EQ(lb->Canvas()->TextWidth("NAMEA"), 30);  // 6 pixels a character at height -11
  lb->Font()->SetStyle({fsBold});
  lb->Font()->SetHeight(-13);
  EXPECT_EQ(lb->Canvas()->TextWidth("Größe"), 5 * 8);  // characters, not bytes
}

TEST_F(ScriptedUITest, AFormShownFromAHandlerRunsItsOwnScriptAndBlocksTheOneBehind) {
  auto inner = CreateFormNew<TForm>(Application);
  inner->SetName("Inner");
  auto* ok = new TButton(inner.get());
  ok->SetName("btInnerOk");
  ok->SetParent(inner.get());
  ok->SetModalResult(mrOk);
  std::string blocked;
  Form->Get<TButton>("btAction")->OnClick = [&](rtl::TObject*) {
    EXPECT_EQ(inner->ShowModal(), mrOk);
    EXPECT_EQ(Screen->ActiveForm(), Form.get());
  };
  UI.QueueForm("Inner", [&](TGestureDriver& d) {
    TGestureDriver outer(Form.get());
    try {
      outer.Click("btOk");
    } catch (const EGestureError& e) {
      blocked = e.Message();
    }
    EXPECT_EQ(Screen->ModalFormCount(), 2);
    d.Enter();  // the focused button
  });
  UI.QueueForm("TTestForm", {"click btAction", "escape"});
  EXPECT_EQ(Form->ShowModal(), mrCancel);
  EXPECT_EQ(blocked, "Form TestForm is behind form Inner, which is shown over it");
  EXPECT_EQ(Screen->ActiveForm(), nullptr);
}
