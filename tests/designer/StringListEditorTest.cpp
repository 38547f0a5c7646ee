// The host's string-list editor on a query's SQL: through the inspector's default TStrings
// editor and directly, OK, Cancel and the code-editor route through the module services.
#include "DialogsFixture.h"

#include "designer/CodeEditor.h"
#include "designer/ModuleServices.h"
#include "designer/ObjectInspector.h"
#include "designer/StringListEditor.h"

#include <sstream>

namespace dialogstest {

using designer::TStringListEditorForm;
using vcl::TGestureDriver;

class StringListEditorTest : public TDialogsTest {
protected:
  StringListEditorTest() {
    Inspector.SetSelection({Query});
    Query->SQL()->SetText("select * from CUSTOMER");
  }

  bool EditSQL(rtl::TStrings* Lines) {
    return designintf::HostDialogs().EditStrings(Module.get(), Query, "SQL", Lines);
  }

  designer::TObjectInspector Inspector{*Module};
  designer::TDesignerServices Services;
  std::shared_ptr<designer::TScriptedCodeEditor> CodeEditor = std::make_shared<designer::TScriptedCodeEditor>();
};

TEST_F(StringListEditorTest, OkWritesTheChangedLinesBackThroughThePropertyEditor) {
  UI.QueueForm("TStringListEditorForm", [&](TGestureDriver& d) {
    auto* f = Form<TStringListEditorForm>(d);
    EXPECT_EQ(f->meLines->Lines()->ToVector(), (Lines{"select * from CUSTOMER"}));
    EXPECT_EQ(f->lblLineCount->Caption(), "1 line");
    d.Type("meLines", "select ID\nfrom CUSTOMER\nwhere ID > 1");
    EXPECT_EQ(f->lblLineCount->Caption(), "3 lines");
    d.Click("btOk");
  });
  int before = Module->ModifiedCount();
  Inspector.Edit("SQL");
  EXPECT_EQ(Query->SQL()->ToVector(), (Lines{"select ID", "from CUSTOMER", "where ID > 1"}));
  EXPECT_EQ(Module->ModifiedCount(), before + 1);
}

TEST_F(StringListEditorTest, OkWithoutAChangeAndCancelLeaveTheLinesAlone) {
  rtl::TStringList lines;
  lines.Assign(Query->SQL());
  // Typing the same text back is no change.
  UI.QueueForm("StringListEditor", {"type meLines select * from CUSTOMER", "click btOk"});
  EXPECT_FALSE(EditSQL(&lines));
  UI.QueueForm("StringListEditor", {"type meLines delete from CUSTOMER", "click btCancel"});
  EXPECT_FALSE(EditSQL(&lines));
  UI.QueueForm("StringListEditor", {"type meLines delete from CUSTOMER", "close"});
  EXPECT_FALSE(EditSQL(&lines));
  EXPECT_EQ(lines.ToVector(), (Lines{"select * from CUSTOMER"}));
  EXPECT_EQ(Module->ModifiedCount(), 0);
}

TEST_F(StringListEditorTest, CodeEditorButtonOpensTheDialogTextAsAModuleOfTheProperty) {
  designer::InstallCodeEditor(Services.Services(), CodeEditor);
  rtl::TStringList lines;
  lines.Assign(Query->SQL());
  UI.QueueForm("StringListEditor", {"type meLines select ID from CUSTOMER", "click btCodeEditor"});
  EXPECT_FALSE(EditSQL(&lines));
  EXPECT_EQ(lines.ToVector(), (Lines{"select * from CUSTOMER"}));

  auto module = Services.Services().FindTextModule("dfm.DataModule1.Query1.SQL");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->Text(), "select ID from CUSTOMER\n");
  EXPECT_TRUE(module->IsModified());  // the dialog's text was edited
  ASSERT_EQ(CodeEditor->Showings().size(), 1u);
  EXPECT_EQ(CodeEditor->Showings()[0].FileName, "dfm.DataModule1.Query1.SQL");
  // The dialog had closed before the code editor showed.
  EXPECT_EQ(vcl::Screen->ModalFormCount(), 0);

  // The property changes when the module is saved.
  EXPECT_EQ(Query->SQL()->ToVector(), (Lines{"select * from CUSTOMER"}));
  std::ostringstream out;
  designer::RunModuleCommand(Services.Services(), "module save DataModule1.Query1.SQL", out);
  EXPECT_EQ(Query->SQL()->ToVector(), (Lines{"select ID from CUSTOMER"}));

  // While the module is open, editing the property shows the module and no dialog.
  EXPECT_FALSE(EditSQL(&lines));
  EXPECT_EQ(CodeEditor->Showings().size(), 2u);
}

TEST_F(StringListEditorTest, UneditedTextOpensUnmarked) {
  designer::InstallCodeEditor(Services.Services(), CodeEditor);
  UI.QueueForm("StringListEditor", {"click btCodeEditor"});
  rtl::TStringList lines;
  lines.Assign(Query->SQL());
  EXPECT_FALSE(EditSQL(&lines));
  auto module = Services.Services().FindTextModule("DataModule1.Query1.SQL");
  ASSERT_NE(module, nullptr);
  EXPECT_FALSE(module->IsModified());
  EXPECT_EQ(module->Text(), "select * from CUSTOMER\n");
}

TEST_F(StringListEditorTest, CodeEditorIsOfferedOnlyForAPropertyOfTheModule) {
  korv::TKVQuery loose(nullptr);  // owned by no module
  loose.SetName("Loose");
  rtl::TStringList lines;
  UI.QueueForm("StringListEditor", [&](TGestureDriver& d) {
    EXPECT_FALSE(Form<TStringListEditorForm>(d)->btCodeEditor->Enabled());
    EXPECT_THROW(d.Click("btCodeEditor"), vcl::EGestureError);
    d.Click("btCancel");
  });
  EXPECT_FALSE(designintf::HostDialogs().EditStrings(Module.get(), &loose, "SQL", &lines));
  EXPECT_EQ(designer::StringListModuleName(Module.get(), &loose, "SQL"), "");
  EXPECT_THROW(designer::OpenStringListModule(Module.get(), &loose, "SQL", lines, false), rtl::EComponentError);
}

}  // namespace dialogstest
