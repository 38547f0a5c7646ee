// Forms built from their descriptions: controls, properties, parents, event binding, creation
// and destruction order, and the embedding of a description file.
#include "TestForm.h"

#include "vcl/HeadlessUI.h"
#include "rtl/FormWriter.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vcl;

namespace {

class FormDescriptionTest : public ::testing::Test {
protected:
  TScriptedUserInterface UI;
  TUserInterfaceScope Scope{&UI};
};

class TNoDescriptionForm : public TForm {
  RTL_CLASS(TNoDescriptionForm, TForm)
  explicit TNoDescriptionForm(rtl::TComponent* AOwner) : TForm(AOwner) {}
};
rtl::TClass TNoDescriptionForm::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TNoDescriptionForm>("TNoDescriptionForm").Build();
  return info;
}

}  // namespace

TEST_F(FormDescriptionTest, EmbeddedTextIsTheFileWithAClosingZero) {
  extern const unsigned long TestFormDfm_size;
  EXPECT_EQ(std::strlen(TestFormDfm), TestFormDfm_size);
  EXPECT_EQ(std::string(TestFormDfm).rfind("object TestForm: TTestForm", 0), 0u);
}

TEST_F(FormDescriptionTest, BuildsControlsWithTheirPropertiesAndParents) {
  auto form = CreateForm<TTestForm>(Application);
  EXPECT_EQ(form->Name(), "TestForm");
  EXPECT_EQ(form->Owner(), Application);
  EXPECT_EQ(form->Caption(), "Test Dialog");
  EXPECT_EQ(form->BorderStyle(), bsDialog);
  EXPECT_EQ(form->ClientWidth(), 475);
  EXPECT_EQ(form->Position(), poScreenCenter);
  EXPECT_EQ(form->Color(), clBtnFace);
  EXPECT_EQ(form->Font()->Name(), "MS Sans Serif");

  auto* cb = form->Get<TComboBox>("cbTable");
  EXPECT_EQ(cb->Parent(), form->Get<TGroupBox>("gbxGen"));
  EXPECT_EQ(form->Get<TGroupBox>("gbxGen")->Parent(), form->Get<TTabSheet>("tsOptions"));
  EXPECT_EQ(cb->Items()->Count(), 2);
  EXPECT_EQ(cb->ItemIndex(), 1);  // read before its items, put into effect once loaded
  EXPECT_EQ(cb->Text(), "ORDERS");
  EXPECT_EQ(form->ActiveControl(), cb);

  auto* pc = form->Get<TPageControl>("pcPages");
  ASSERT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->ActivePage(), form->Get<TTabSheet>("tsOptions"));
  EXPECT_EQ(form->Get<TTabSheet>("tsText")->PageIndex(), 1);

  auto* lb = form->Get<TListBox>("lbFields");
  EXPECT_TRUE(lb->MultiSelect());
  EXPECT_EQ(lb->PopupMenu(), form->Get<TPopupMenu>("pmFields"));
  EXPECT_EQ(form->Get<TPopupMenu>("pmFields")->Items()->Count(), 2);
  EXPECT_EQ(form->Get<TMenuItem>("miClearAll")->Parent(), form->Get<TPopupMenu>("pmFields")->Items());

  auto* rg = form->Get<TRadioGroup>("rgrKind");
  EXPECT_EQ(rg->Columns(), 4);
  EXPECT_EQ(rg->ItemIndex(), 0);
  EXPECT_EQ(form->Get<TMemo>("meText")->ScrollBars(), ssBoth);
  EXPECT_FALSE(form->Get<TButton>("btDisabled")->Enabled());
  EXPECT_TRUE(form->Get<TButton>("btOk")->Default());
  EXPECT_EQ(form->Get<TButton>("btCancel")->ModalResult(), mrCancel);
  EXPECT_EQ(form->Get<TPanel>("pnlButtons")->Align(), alBottom);
  EXPECT_EQ(form->Get<TPanel>("pnlButtons")->BevelOuter(), bvNone);
  EXPECT_EQ(form->Get<TBevel>("bvLine")->Shape(), bsTopLine);

  // Names of colours, cursors and character sets; the picture's bytes.
  auto* link = form->Get<TLabel>("lblLink");
  EXPECT_EQ(link->Cursor(), crHandPoint);
  EXPECT_EQ(link->Font()->Color(), clNavy);
  EXPECT_EQ(link->Font()->Style(), TFontStyles{fsUnderline});
  EXPECT_FALSE(link->ParentFont());
  auto* img = form->Get<TImage>("imgLogo");
  EXPECT_TRUE(img->AutoSize() && img->Stretch());
  EXPECT_EQ(img->Picture()->GraphicClassName(), "TBitmap");
  EXPECT_EQ(img->Picture()->Data().size(), 11u);

  // Labels follow the form's font; a label with its own keeps it.
  EXPECT_EQ(form->Get<TLabel>("lblTable")->Font()->Name(), "MS Sans Serif");
  form->Font()->SetHeight(-13);
  EXPECT_EQ(form->Get<TLabel>("lblTable")->Font()->Height(), -13);
  EXPECT_EQ(link->Font()->Height(), -11);
}

TEST_F(FormDescriptionTest, TabOrderAndStreamingOrderFollowTheDescription) {
  auto form = CreateForm<TTestForm>(Application);
  auto* gbx = form->Get<TGroupBox>("gbxGen");
  std::vector<std::string> names;
  for (TWinControl* w : gbx->TabList()) names.push_back(w->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"cbTable", "btDisabled", "btAction", "lbFields", "cbQuoted", "edName"}));

  // Setting a tab order moves the control and renumbers the others.
  form->Get<TEdit>("edName")->SetTabOrder(0);
  EXPECT_EQ(form->Get<TEdit>("edName")->TabOrder(), 0);
  EXPECT_EQ(form->Get<TComboBox>("cbTable")->TabOrder(), 1);
  EXPECT_EQ(form->Get<TCheckBox>("cbQuoted")->TabOrder(), 5);

  // Controls without a window come first, then windowed ones, then the non-visual components.
  names.clear();
  form->GetChildren([&](rtl::TComponent* c) { names.push_back(c->Name()); }, form.get());
  EXPECT_EQ(names, (std::vector<std::string>{"imgLogo", "lblLink", "bvLine", "pcPages", "pnlButtons", "pmFields"}));
}

TEST_F(FormDescriptionTest, WritingTheFormKeepsWhatItRead) {
  auto form = CreateForm<TTestForm>(Application);
  std::string text = rtl::WriteModule(form.get());
  EXPECT_NE(text.find("object cbTable: TComboBox"), std::string::npos);
  EXPECT_NE(text.find("OnChange = cbTableChange"), std::string::npos);
  EXPECT_NE(text.find("ItemHeight = 13"), std::string::npos);
  EXPECT_NE(text.find("ImageIndex = 1"), std::string::npos);  // unknown to the model, kept
  EXPECT_EQ(text.find("object tsText: TTabSheet\n      Left"), std::string::npos);
  EXPECT_NE(text.find("07544269746D6170AABBCC"), std::string::npos);
  EXPECT_NE(text.find("PopupMenu = pmFields"), std::string::npos);
}

TEST_F(FormDescriptionTest, OnCreateRunsAfterLoadingAndOnDestroyBeforeTheControlsGo) {
  std::vector<std::string> log;
  {
    auto form = CreateForm<TTestForm>(Application);
    EXPECT_EQ(form->Log, std::vector<std::string>{"FormCreate"});
    form->DestroyLog = &log;
  }
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "FormDestroy with 23 components");
  EXPECT_EQ(Application->FindComponent("TestForm"), nullptr);
}

TEST_F(FormDescriptionTest, ASecondInstanceTakesAFreeName) {
  auto first = CreateForm<TTestForm>(Application);
  auto second = CreateForm<TTestForm>(Application);
  EXPECT_EQ(second->Name(), "TestForm_1");
}

TEST_F(FormDescriptionTest, ReadingCodeFiresNoEvents) {
  auto form = CreateForm<TTestForm>(Application);
  // ItemIndex, Text, Checked ... were all set while reading: only OnCreate ran.
  EXPECT_EQ(form->Log, std::vector<std::string>{"FormCreate"});
}

TEST_F(FormDescriptionTest, UnknownMethodIsAnErrorNamingItAndLeavesNothing) {
  TForm form(nullptr);
  std::string text = R"(object F: TForm
  Caption = 'x'
  object btGo: TButton
    Caption = 'Go'
    OnClick = btGoClick
  end
end
)";
  try {
    form.ReadDescription(text, "F.dfm");
    FAIL() << "no error";
  } catch (const rtl::EParserError& e) {
    std::string msg = e.Message();
    EXPECT_NE(msg.find("btGoClick"), std::string::npos) << msg;
    EXPECT_NE(msg.find("F.dfm:5:"), std::string::npos) << msg;
  }
  EXPECT_EQ(form.ComponentCount(), 0);
}

TEST_F(FormDescriptionTest, AFormClassWithoutADescriptionCannotBeCreatedFromOne) {
  EXPECT_THROW(CreateForm<TNoDescriptionForm>(nullptr), rtl::EClassNotFound);
  auto built = CreateFormNew<TNoDescriptionForm>(nullptr);
  auto* bt = new TButton(built.get());
  bt->SetParent(built.get());
  EXPECT_EQ(built->ControlCount(), 1);
}

TEST_F(FormDescriptionTest, ColourNamesInDescriptionsKeepErrorPositions) {
  TForm form(nullptr);
  std::string text = "object F: TForm\n  Color = clBtnFace\n  Font.Color = clNavy\n  Cursor = crBogus\nend\n";
  try {
    form.ReadDescription(text, "C.dfm");
    FAIL() << "no error";
  } catch (const rtl::EParserError& e) {
    EXPECT_NE(std::string(e.Message()).find("C.dfm:4:12"), std::string::npos) << e.Message();
  }
}
