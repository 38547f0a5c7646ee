// The fields editor and the collection editor, opened the way editors open them (designintf's
// ShowFieldsEditor, ShowCollectionEditorClass, the inspector's collection property) on
// components of a designed module over a real SQLite database.
#include "DialogsFixture.h"

#include "designer/CollectionEditor.h"
#include "designer/FieldsEditor.h"
#include "designer/ObjectInspector.h"
#include "designintf/ComponentEditors.h"

#include <sstream>

namespace dialogstest {

using designer::TCollectionEditorForm;
using designer::TFieldsEditorForm;
using designintf::TColOption;
using testing::HasSubstr;
using vcl::TGestureDriver;

using HostDialogsTest = TDialogsTest;

TEST_F(HostDialogsTest, InstallationPutsThePreviousDialogsBack) {
  designintf::IHostDialogs* outer = &designintf::HostDialogs();
  {
    auto inner = designer::InstallHostDialogs();
    EXPECT_EQ(&designintf::HostDialogs(), &inner->Dialogs());
  }
  EXPECT_EQ(&designintf::HostDialogs(), outer);
}

TEST_F(HostDialogsTest, FieldsEditorOpensAClosedTableForItsDefinitionsAndClosesItAgain) {
  Database->SetKeepConnection(false);  // so closing the table lets the database go too
  UI.QueueForm("TFieldsEditorForm", [&](TGestureDriver& d) {
    auto* f = Form<TFieldsEditorForm>(d);
    EXPECT_EQ(f->Caption(), "DataModule1.Customers Fields");
    EXPECT_EQ(Items(f->lbFields), (Lines{"ID", "NAME", "TEL"}));
    EXPECT_EQ(f->lblCount->Caption(), "3 fields");
    d.Choose("lbFields", "NAME");
    EXPECT_THAT(f->lblFieldInfo->Caption(), HasSubstr("NAME"));
    d.Click("btOk");
  });
  designintf::ShowFieldsEditor(Module.get(), Customers, nullptr);
  EXPECT_FALSE(Customers->Active());
  EXPECT_FALSE(Database->Connected());
  EXPECT_EQ(Module->ModifiedCount(), 0);
}

TEST_F(HostDialogsTest, FieldsEditorLeavesAnOpenDataSetOpen) {
  Database->Open();
  Query->SQL()->SetText("select ID, TEL from CUSTOMER");
  UI.QueueForm("FieldsEditor", [&](TGestureDriver& d) {
    EXPECT_EQ(Items(Form<TFieldsEditorForm>(d)->lbFields), (Lines{"ID", "TEL"}));
    d.Escape();
  });
  designintf::ShowFieldsEditor(Module.get(), Query, nullptr);
  EXPECT_FALSE(Query->Active());
  EXPECT_TRUE(Database->Connected());

  Customers->Open();
  UI.QueueForm("FieldsEditor", {"click btOk"});
  designintf::ShowFieldsEditor(Module.get(), Customers, nullptr);
  EXPECT_TRUE(Customers->Active());
}

TEST_F(HostDialogsTest, FieldsEditorSaysWhyTheDefinitionsCannotBeReadAndOpensNothing) {
  Customers->SetTableName("NO_SUCH_TABLE");
  Database->SetKeepConnection(false);
  UI.QueueAnswer(vcl::mrOk, "Cannot read the field definitions of Customers");
  designintf::ShowFieldsEditor(Module.get(), Customers, nullptr);
  ASSERT_EQ(UI.Messages().size(), 1u);
  EXPECT_THAT(UI.Messages()[0], HasSubstr("NO_SUCH_TABLE"));
  EXPECT_EQ(UI.Log().size(), 1u);  // the message box only
  EXPECT_FALSE(Customers->Active());
  EXPECT_FALSE(Database->Connected());
}

TEST_F(HostDialogsTest, CollectionEditorWithoutOptionsEditsItemsButNeverAddsDeletesOrMoves) {
  ASSERT_EQ(Query->Params()->Count(), 2);
  UI.QueueForm("TCollectionEditorForm", [&](TGestureDriver& d) {
    auto* f = Form<TCollectionEditorForm>(d);
    EXPECT_EQ(f->Caption(), "Editing Query1.Params");
    EXPECT_EQ(Items(f->lbItems), (Lines{"0 - ID", "1 - NAME"}));
    for (auto* b : {f->btAdd, f->btDelete, f->btMoveUp, f->btMoveDown}) EXPECT_FALSE(b->Enabled()) << b->Name();
    EXPECT_THROW(d.Click("btAdd"), vcl::EGestureError);

    d.Choose("lbItems", "1 - NAME");
    EXPECT_FALSE(f->btMoveUp->Enabled());
    d.ChooseIndex("lbProperties", PropertyRow(f->lbProperties, "Value"));
    d.Type("cbValue", "Smith");
    d.Click("btSet");
    EXPECT_EQ(f->lbProperties->Items()->Get(PropertyRow(f->lbProperties, "Value")), "Value=Smith");

    // An enumeration offers its value names.
    d.ChooseIndex("lbProperties", PropertyRow(f->lbProperties, "DataType"));
    EXPECT_GE(f->cbValue->Items()->IndexOf("ftInteger"), 0);
    d.Choose("cbValue", "ftInteger");
    d.Click("btSet");
    // The property's editor refuses a name the enumeration does not have.
    d.Type("cbValue", "ftNoSuchType");
    EXPECT_ANY_THROW(d.Click("btSet"));
    d.Click("btClose");
  });
  int before = Module->ModifiedCount();
  designintf::ShowCollectionEditorClass(Module.get(), nullptr, Query, Query->Params(), "Params", {});
  EXPECT_EQ(Query->Params()->Items(1)->Value(), "Smith");
  EXPECT_EQ(Query->Params()->Items(1)->DataType(), rtl::TFieldType::ftInteger);
  EXPECT_EQ(Query->Params()->Count(), 2);
  EXPECT_EQ(Module->ModifiedCount(), before + 2);
}

TEST_F(HostDialogsTest, CollectionPropertyAddsDeletesAndMovesItemsTellingTheDesigner) {
  designer::TObjectInspector inspector(*Module);
  inspector.SetSelection({Query});
  rtl::TParams* params = Query->Params();
  UI.QueueForm("CollectionEditor", [&](TGestureDriver& d) {
    auto* f = Form<TCollectionEditorForm>(d);
    EXPECT_TRUE(f->btAdd->Enabled());
    d.Choose("lbItems", "0");
    EXPECT_FALSE(f->btMoveUp->Enabled());
    EXPECT_TRUE(f->btMoveDown->Enabled());
    EXPECT_TRUE(f->btDelete->Enabled());

    d.Click("btAdd");
    ASSERT_EQ(params->Count(), 3);
    EXPECT_EQ(f->lbItems->ItemIndex(), 2);
    EXPECT_EQ(f->SelectedItem(), params->Items(2));
    EXPECT_FALSE(f->btMoveDown->Enabled());
    d.ChooseIndex("lbProperties", PropertyRow(f->lbProperties, "Name"));
    d.Type("cbValue", "CITY");
    d.Click("btSet");
    EXPECT_EQ(Items(f->lbItems), (Lines{"0 - ID", "1 - NAME", "2 - CITY"}));

    d.Click("btMoveUp");
    EXPECT_EQ(Items(f->lbItems), (Lines{"0 - ID", "1 - CITY", "2 - NAME"}));
    EXPECT_EQ(f->lbItems->ItemIndex(), 1);
    d.Choose("lbItems", "0 - ID");
    d.Click("btMoveDown");
    EXPECT_EQ(Items(f->lbItems), (Lines{"0 - CITY", "1 - ID", "2 - NAME"}));

    d.Choose("lbItems", "2 - NAME");
    d.Click("btDelete");
    EXPECT_EQ(Items(f->lbItems), (Lines{"0 - CITY", "1 - ID"}));
    EXPECT_EQ(f->lbItems->ItemIndex(), 1);  // the last one left
    d.Click("btDelete");
    d.Click("btDelete");
    EXPECT_TRUE(Items(f->lbItems).empty());
    EXPECT_FALSE(f->btDelete->Enabled());
    EXPECT_FALSE(f->btSet->Enabled());
    d.Click("btClose");
  });
  int before = Module->ModifiedCount();
  inspector.Edit("Params");
  EXPECT_EQ(params->Count(), 0);
  // add, set, two moves, three deletes
  EXPECT_EQ(Module->ModifiedCount(), before + 7);
}

TEST_F(HostDialogsTest, CollectionEditorWithoutADesignerStillSetsProperties) {
  UI.QueueForm("CollectionEditor", [&](TGestureDriver& d) {
    auto* f = Form<TCollectionEditorForm>(d);
    EXPECT_EQ(f->lbItems->ItemIndex(), 0);
    d.ChooseIndex("lbProperties", PropertyRow(f->lbProperties, "Value"));
    d.Type("cbValue", "7");
    d.Enter();  // Set is the default button
    d.Click("btClose");
  });
  designintf::ShowCollectionEditorClass(nullptr, nullptr, Query, Query->Params(), "Params", {TColOption::coAdd});
  EXPECT_EQ(Query->Params()->Items(0)->Value(), "7");
}

// A person at a terminal: the text backend prints each dialog and reads gestures.
TEST_F(HostDialogsTest, DialogsWorkAtATerminal) {
  std::istringstream in(
      "choose lbItems 1\nclick btClose\n"
      "choose lbFields TEL\nshow\nenter\n");
  std::ostringstream out;
  vcl::TTextUserInterface text(in, out);
  vcl::TUserInterfaceScope scope(&text);
  designintf::ShowCollectionEditorClass(Module.get(), nullptr, Query, Query->Params(), "Params", {});
  designintf::ShowFieldsEditor(Module.get(), Customers, nullptr);
  EXPECT_THAT(out.str(), HasSubstr("Form CollectionEditor: TCollectionEditorForm \"Editing Query1.Params\""));
  EXPECT_THAT(out.str(), HasSubstr("Form FieldsEditor: TFieldsEditorForm \"DataModule1.Customers Fields\""));
  EXPECT_THAT(out.str(), HasSubstr("TEL: ftMemo, size 0")) << "the driver's type of a TEXT column";
  EXPECT_EQ(out.str().find("Error"), std::string::npos);
}

}  // namespace dialogstest
