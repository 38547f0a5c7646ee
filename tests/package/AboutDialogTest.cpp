#include "KVAbout.h"

#include "vcl/FormText.h"
#include "vcl/Gestures.h"
#include "vcl/HeadlessUI.h"

#include <gtest/gtest.h>

using namespace dclkorv;
using namespace vcl;
using rtl::String;

namespace {

class AboutDialogTest : public ::testing::Test {
protected:
  // Shows the about box; Script acts on it and must close it.
  void ShowWith(std::function<void(TKVAboutDlg*, TGestureDriver&)> Script) {
    UI.QueueForm("TKVAboutDlg",
                 [Script](TGestureDriver& driver) { Script(rtl::As<TKVAboutDlg>(driver.Form()), driver); });
    const int owned = Application->ComponentCount();
    ShowAboutBox();
    EXPECT_EQ(Application->ComponentCount(), owned);  // freed again
    EXPECT_TRUE(UI.AllConsumed());
  }

  TScriptedUserInterface UI;
  TUserInterfaceScope Scope{&UI};
};

struct TExpectedControl {
  const char* Name;
  const char* Class;
  int Left, Top, Width, Height;
};

}  // namespace

TEST_F(AboutDialogTest, BuiltFromItsDescriptionAsLaidOut) {
  ShowWith([](TKVAboutDlg* dlg, TGestureDriver& driver) {
    EXPECT_EQ(dlg->Caption(), "About Korvane");
    EXPECT_EQ(dlg->BorderStyle(), bsDialog);
    EXPECT_EQ(dlg->BorderIcons(), TBorderIcons{biSystemMenu});
    EXPECT_EQ(dlg->ClientWidth(), 321);
    EXPECT_EQ(dlg->ClientHeight(), 186);
    EXPECT_EQ(dlg->Position(), poScreenCenter);
    EXPECT_FALSE(dlg->Scaled());

    const TExpectedControl expected[] = {
        {"imgLogo", "TImage", 3, 6, 100, 30},
        {"lblNotice", "TLabel", 22, 168, 273, 13},
        {"bvNotice", "TBevel", 6, 159, 307, 10},
        {"lblHome", "TLabel", 120, 72, 80, 13},
        {"lblOrder", "TLabel", 75, 114, 170, 13},
        {"lblProductName", "TLabel", 111, 6, 78, 16},
        {"lblVersion", "TLabel", 111, 27, 35, 13},
        {"lblSupport", "TLabel", 100, 93, 121, 13},
        {"lblLinks", "TLabel", 27, 51, 267, 13},
        {"lblOrderStandard", "TLabel", 9, 135, 131, 13},
        {"lblOrderProfessional", "TLabel", 180, 135, 131, 13},
        {"btOk", "TButton", 243, 6, 75, 25},
    };
    ASSERT_EQ(dlg->ComponentCount(), static_cast<int>(std::size(expected)));
    for (int i = 0; i < dlg->ComponentCount(); ++i) {
      auto* c = rtl::As<TControl>(dlg->Components(i));
      const TExpectedControl& e = expected[i];
      EXPECT_EQ(c->Name(), e.Name);
      EXPECT_EQ(c->ClassName(), e.Class) << e.Name;
      EXPECT_EQ((std::vector<int>{c->Left(), c->Top(), c->Width(), c->Height()}),
                (std::vector<int>{e.Left, e.Top, e.Width, e.Height}))
          << e.Name;
    }
    EXPECT_EQ(dlg->imgLogo->Picture()->GraphicClassName(), "TBitmap");
    EXPECT_EQ(dlg->lblHome->Font()->Color(), clNavy);
    EXPECT_EQ(dlg->lblHome->Cursor(), crHandPoint);
    EXPECT_TRUE(dlg->lblOrderProfessional->Font()->Style().Contains(fsUnderline));
    EXPECT_EQ(dlg->lblProductName->Font()->Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(dlg->bvNotice->Shape(), bsTopLine);
    EXPECT_EQ(dlg->lblNotice->Alignment(), taCenter);
    EXPECT_TRUE(dlg->btOk->Focused());
    driver.Enter();  // the default button closes it
    EXPECT_EQ(dlg->ModalResult(), mrOk);
  });
  EXPECT_EQ(KVAboutDlg, nullptr);
}

TEST_F(AboutDialogTest, ShowsTheVersionResourceOfThePackage) {
  ShowWith([](TKVAboutDlg* dlg, TGestureDriver& driver) {
    EXPECT_EQ(dlg->lblProductName->Caption(), "Korvane");
    EXPECT_EQ(dlg->lblVersion->Caption(), "Version " KORV_PROJECT_VERSION);
    EXPECT_EQ(dlg->lblNotice->Caption(), KVNoticeText);
    driver.Escape();
  });
}

TEST_F(AboutDialogTest, EachLinkOpensItsAddressWithTheLeftButtonOnly) {
  ShowWith([](TKVAboutDlg*, TGestureDriver& driver) {
    for (const char* link : {"lblHome", "lblSupport", "lblOrderStandard", "lblOrderProfessional"}) {
      driver.MouseDown(link, mbRight);
      driver.MouseDown(link, mbMiddle);
      driver.MouseDown(link, mbLeft, {ssLeft}, 5, 5);
    }
    driver.Click("btOk");
  });
  EXPECT_EQ(UI.OpenedAddresses(),
            (std::vector<String>{KVHomeAddress, KVSupportAddress, KVOrderStandardAddress, KVOrderProfessionalAddress}));
  EXPECT_TRUE(UI.Messages().empty());
}

TEST_F(AboutDialogTest, AFailedOpenShowsAnErrorAndTheDialogStays) {
  UI.SetOpenAddressResult(false);
  UI.QueueAnswer(mrOk, "Error opening following address: mailto:support@korvane.example");
  ShowWith([](TKVAboutDlg*, TGestureDriver& driver) {
    driver.MouseDown("lblSupport", mbLeft);
    EXPECT_FALSE(driver.Closed());
    driver.Click("btOk");
  });
  ASSERT_EQ(UI.Messages().size(), 1u);
  EXPECT_EQ(UI.Messages()[0], MessageBoxToText("Error opening following address: mailto:support@korvane.example",
                                               mtError, TMsgDlgButtons{mbOK}));
}

TEST_F(AboutDialogTest, TheDialogIsFreedWhenShowingFails) {
  const int owned = Application->ComponentCount();
  EXPECT_THROW(ShowAboutBox(), EUserInterfaceError);  // nothing queued for it
  EXPECT_EQ(Application->ComponentCount(), owned);
}
