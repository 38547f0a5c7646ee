// The gesture driver on a shown form: focus and exit order, closing through OnCloseQuery,
// default and cancel buttons, choices, menus, and gestures that must be refused.
#include "TestForm.h"

#include "vcl/HeadlessUI.h"

#include <gtest/gtest.h>

using namespace vcl;
using Log = std::vector<std::string>;

namespace {

class GesturesTest : public ::testing::Test {
protected:
  // Shows the test form and runs Script on it; the form stays for inspection.
  int Show(std::function<void(TGestureDriver&)> Script) {
    UI.QueueForm("TTestForm", std::move(Script));
    Form->Log.clear();
    return Form->ShowModal();
  }
  std::string ErrorOf(const std::function<void(TGestureDriver&)>& gesture) {
    std::string message;
    Form->Get<TPageControl>("pcPages")->SetActivePageIndex(0);
    Show([&](TGestureDriver& d) {
      try {
        gesture(d);
      } catch (const EGestureError& e) {
        message = e.Message();
      }
      d.Escape();
    });
    return message;
  }

  TScriptedUserInterface UI;
  TUserInterfaceScope Scope{&UI};
  std::unique_ptr<TTestForm> Form = CreateForm<TTestForm>(Application);
};

}  // namespace

TEST_F(GesturesTest, AClickMovesTheFocusFirstSoTheEditLandsBeforeTheClick) {
  int result = Show([](TGestureDriver& d) {
    d.Page("pcPages", "Text");
    d.Type("meText", "select *\nfrom T");
    d.Choose("rgrKind", "modify");
    d.Click("btOk");
  });
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(Form->Log, (Log{"pcPages.Change tsText", "meText.Change", "meText.Exit", "rgrKind.Click 1", "btOk.Click",
                            "FormCloseQuery 1"}));
  EXPECT_EQ(Form->Get<TMemo>("meText")->Lines()->Count(), 2);
  EXPECT_EQ(Form->ActiveControl(), Form->Get<TButton>("btOk"));
}

TEST_F(GesturesTest, AVetoKeepsTheFormOpenWithItsState) {
  Form->AllowClose = false;
  int result = Show([this](TGestureDriver& d) {
    d.Type("edName", "abc");
    d.Click("btOk");
    EXPECT_FALSE(d.Closed());
    EXPECT_EQ(Form->ModalResult(), mrNone);
    EXPECT_EQ(Form->Get<TEdit>("edName")->Text(), "abc");
    Form->AllowClose = true;
    d.CloseBox();
  });
  EXPECT_EQ(result, mrCancel);
  EXPECT_EQ(Form->Log, (Log{"edName.Change abc", "btOk.Click", "FormCloseQuery 1", "FormCloseQuery 2"}));
}

TEST_F(GesturesTest, EnterClicksTheDefaultButtonAndEscTheCancelButtonWithoutMovingTheFocus) {
  EXPECT_EQ(Show([](TGestureDriver& d) { d.Enter(); }), mrOk);
  EXPECT_EQ(Form->Log, (Log{"btOk.Click", "FormCloseQuery 1"}));
  EXPECT_EQ(Form->ActiveControl(), Form->Get<TComboBox>("cbTable"));
  EXPECT_EQ(Show([](TGestureDriver& d) { d.Escape(); }), mrCancel);
  EXPECT_EQ(Form->Log, (Log{"FormCloseQuery 2"}));
}

TEST_F(GesturesTest, EnterInAMemoTypesALineAndOnAFocusedButtonClicksIt) {
  Show([this](TGestureDriver& d) {
    d.Page("pcPages", "Text");
    d.Focus("meText");
    d.Enter();
    EXPECT_EQ(Form->Get<TMemo>("meText")->Lines()->Count(), 1);
    d.Page("pcPages", "Options");
    d.Focus("btAction");
    d.Enter();
    d.Escape();
  });
  EXPECT_EQ(Form->Log, (Log{"pcPages.Change tsText", "meText.Change", "meText.Exit", "pcPages.Change tsOptions",
                            "btAction.Click", "FormCloseQuery 2"}));
}

TEST_F(GesturesTest, CodeDrivenChangesFireWhatThePlatformFires) {
  auto* cb = Form->Get<TComboBox>("cbTable");
  auto* lb = Form->Get<TListBox>("lbFields");
  Form->Log.clear();
  cb->SetItemIndex(0);
  cb->SetText("OTHER");
  lb->SetSelected(1, true);
  lb->SelectAll();
  Form->Get<TPageControl>("pcPages")->SetActivePageIndex(1);
  EXPECT_TRUE(Form->Log.empty());
  EXPECT_EQ(cb->ItemIndex(), -1);
  EXPECT_EQ(lb->SelCount(), 3);

  // Edits, memos, check boxes and radio groups tell of changes made by code.
  Form->Get<TEdit>("edName")->SetText("x");
  Form->Get<TEdit>("edName")->SetText("x");
  Form->Get<TMemo>("meText")->Lines()->Add("line");
  Form->Get<TCheckBox>("cbQuoted")->SetChecked(true);
  Form->Get<TRadioGroup>("rgrKind")->SetItemIndex(1);
  Form->Get<TRadioGroup>("rgrKind")->SetItemIndex(1);
  EXPECT_EQ(Form->Log, (Log{"edName.Change x", "meText.Change", "cbQuoted.Click on", "rgrKind.Click 1"}));
}

TEST_F(GesturesTest, UserChoicesFireTheirEvents) {
  Show([this](TGestureDriver& d) {
    d.Choose("cbTable", "customer");  // letter case ignored
    d.ChooseIndex("cbTable", 1);
    d.Type("cbTable", "NEW");
    d.Pick("lbFields", {"ID", "2"});
    auto* lb = Form->Get<TListBox>("lbFields");
    EXPECT_TRUE(lb->Selected(0) && !lb->Selected(1) && lb->Selected(2));
    d.Pick("lbFields", {"name"});
    EXPECT_EQ(lb->SelCount(), 1);
    d.Check("cbQuoted", true);
    d.Check("cbQuoted", true);  // already ticked: nothing happens
    d.Click("cbQuoted");
    d.Escape();
  });
  EXPECT_EQ(Form->Log, (Log{"cbTable.Change CUSTOMER", "cbTable.Change ORDERS", "cbTable.Change NEW", "lbFields.Click",
                            "lbFields.Click", "cbQuoted.Click on", "cbQuoted.Click off", "FormCloseQuery 2"}));
  EXPECT_EQ(Form->Get<TComboBox>("cbTable")->ItemIndex(), -1);
}

TEST_F(GesturesTest, APopupMenuKnowsTheControlItWasOpenedOn) {
  Show([](TGestureDriver& d) {
    d.Menu("lbFields", "Select All");
    d.Escape();
  });
  EXPECT_EQ(Form->Log, (Log{"miSelectAll.Click on lbFields", "FormCloseQuery 2"}));
  EXPECT_EQ(Form->Get<TListBox>("lbFields")->SelCount(), 3);
  EXPECT_EQ(Form->ActiveControl(), Form->Get<TComboBox>("cbTable"));  // a right click moves no focus
}

TEST_F(GesturesTest, MouseDownReportsButtonShiftAndPlace) {
  Show([](TGestureDriver& d) {
    d.MouseDown("lblLink", mbRight, {}, 3, 4);
    d.MouseDown("lblLink", mbLeft, {ssShift}, 1, 2);
    d.Escape();
  });
  EXPECT_EQ(Form->Log, (Log{"lblLink.MouseDown 1 3,4", "lblLink.MouseDown 0 shift 1,2", "FormCloseQuery 2"}));
}

TEST_F(GesturesTest, GesturesOnUnusableControlsAreRefusedNamingThem) {
  EXPECT_EQ(ErrorOf([](TGestureDriver& d) { d.Click("btDisabled"); }), "Button btDisabled is disabled");
  EXPECT_EQ(ErrorOf([](TGestureDriver& d) { d.Type("meText", "x"); }),
            "Memo meText is on a hidden page: page tsText \"Text\" is not shown");
  EXPECT_EQ(ErrorOf([](TGestureDriver& d) {
              d.Page("pcPages", "Text");
              d.Type("edHidden", "x");
            }),
            "Edit edHidden is not visible");
  EXPECT_EQ(ErrorOf([](TGestureDriver& d) { d.Click("btNowhere"); }), "Form TestForm has no control named btNowhere");
  EXPECT_EQ(ErrorOf([](TGestureDriver& d) { d.Choose("cbTable", "NOPE"); }), "Combo box cbTable has no item \"NOPE\"");
  EXPECT_EQ(ErrorOf([](TGestureDriver& d) { d.Check("btAction", true); }),
            "Control btAction is a button, not a check box");
  EXPECT_EQ(ErrorOf([](TGestureDriver& d) { d.Menu("cbTable", "Select All"); }), "Combo box cbTable has no popup menu");

  // Controls inside a disabled container are disabled too.
  Form->Get<TGroupBox>("gbxGen")->SetEnabled(false);
  EXPECT_EQ(ErrorOf([](TGestureDriver& d) { d.Click("btAction"); }),
            "Button btAction is disabled: group box gbxGen that holds it is disabled");
  Form->Get<TMenuItem>("miClearAll")->SetEnabled(false);
  Form->Get<TGroupBox>("gbxGen")->SetEnabled(true);
  EXPECT_EQ(ErrorOf([](TGestureDriver& d) { d.Menu("lbFields", "clear all"); }),
            "Menu item miClearAll \"Clear All\" is disabled");
  EXPECT_TRUE(Form->Log.back() == "FormCloseQuery 2");
}

TEST_F(GesturesTest, AClickWhoseExitHandlerDisablesTheButtonDoesNotClick) {
  Form->Get<TMemo>("meText")->OnExit = [this](rtl::TObject*) { Form->Get<TButton>("btOk")->SetEnabled(false); };
  Show([this](TGestureDriver& d) {
    d.Page("pcPages", "Text");
    d.Focus("meText");
    d.Click("btOk");
    EXPECT_FALSE(d.Closed());
    Form->Get<TButton>("btOk")->SetEnabled(true);
    d.Click("btOk");
  });
  EXPECT_EQ(Form->Log, (Log{"pcPages.Change tsText", "btOk.Click", "FormCloseQuery 1"}));
}

TEST_F(GesturesTest, ShowingAgainStartsFromANewModalResult) {
  EXPECT_EQ(Show([](TGestureDriver& d) { d.Click("btOk"); }), mrOk);
  EXPECT_EQ(Show([](TGestureDriver& d) { d.CloseBox(); }), mrCancel);
  EXPECT_THROW(Show([](TGestureDriver& d) { d.Type("edName", "late"); }), EUserInterfaceError);
}
