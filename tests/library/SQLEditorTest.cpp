// The SQL dialog on a real query: what OK, Cancel and "Code Editor..." do to the query's SQL and
// what the code-editor callback is told.
#include "korv/KVQuery.h"
#include "korv/KVSQLEditor.h"
#include "vcl/Gestures.h"
#include "vcl/HeadlessUI.h"

#include <gtest/gtest.h>

#include <optional>

using namespace korv;
using namespace vcl;
using Lines = std::vector<rtl::String>;

namespace {

struct SQLEditorTest : ::testing::Test {
  SQLEditorTest() { Query.SQL()->SetText("select ID\nfrom CUSTOMER"); }

  bool Edit(TScriptedUserInterface::TGestureScript Script, TKVCodeEditorCallback Callback = nullptr) {
    UI.QueueForm("TKVSQLEditorDlg", std::move(Script));
    const bool result = ShowSQLEditor("Form1.Query1.SQL", &Query, std::move(Callback));
    EXPECT_TRUE(UI.AllConsumed());
    return result;
  }

  TScriptedUserInterface UI;
  TUserInterfaceScope Scope{&UI};
  TKVQuery Query{nullptr};
};

// What the code-editor callback was handed, and whether the dialog had gone by then.
struct TCodeEditorCall {
  Lines Text;
  bool Modified = false;
  int OpenForms = -1;
};

}  // namespace

TEST_F(SQLEditorTest, OkWritesAChangedTextOnly) {
  EXPECT_TRUE(Edit([](TGestureDriver& d) {
    EXPECT_EQ(d.Form()->Caption(), "Form1.Query1.SQL");
    EXPECT_EQ(d.Form()->ActiveControl()->Name(), "meSQL");
    EXPECT_EQ(rtl::As<TKVSQLEditorDlg>(d.Form())->meSQL->Lines()->ToVector(), (Lines{"select ID", "from CUSTOMER"}));
    d.Type("meSQL", "select NAME\nfrom CUSTOMER\nwhere ID = :ID");
    d.Click("btOk");
  }));
  EXPECT_EQ(Query.SQL()->ToVector(), (Lines{"select NAME", "from CUSTOMER", "where ID = :ID"}));

  // Typed and typed back: nothing changed.
  EXPECT_FALSE(Edit([](TGestureDriver& d) {
    d.Type("meSQL", "select 1");
    d.Type("meSQL", "select NAME\nfrom CUSTOMER\nwhere ID = :ID");
    d.Click("btOk");
  }));
}

TEST_F(SQLEditorTest, CancelLeavesTheQueryAlone) {
  EXPECT_FALSE(Edit([](TGestureDriver& d) {
    d.Type("meSQL", "delete from CUSTOMER");
    d.Escape();
  }));
  EXPECT_EQ(Query.SQL()->ToVector(), (Lines{"select ID", "from CUSTOMER"}));
}

TEST_F(SQLEditorTest, CodeEditorGetsTheTextAndWhetherItChangedAfterTheDialogIsGone) {
  std::optional<TCodeEditorCall> call;
  auto callback = [&](rtl::TStrings* text, bool modified) {
    call = TCodeEditorCall{text->ToVector(), modified, Screen->ModalFormCount()};
  };
  EXPECT_FALSE(Edit([](TGestureDriver& d) { d.Click("btCodeEditor"); }, callback));
  ASSERT_TRUE(call);
  EXPECT_EQ(call->Text, (Lines{"select ID", "from CUSTOMER"}));
  EXPECT_FALSE(call->Modified);
  EXPECT_EQ(call->OpenForms, 0);

  call.reset();
  EXPECT_FALSE(Edit(
      [](TGestureDriver& d) {
        d.Type("meSQL", "select TEL from CUSTOMER");
        d.Click("btCodeEditor");
      },
      callback));
  ASSERT_TRUE(call);
  EXPECT_EQ(call->Text, (Lines{"select TEL from CUSTOMER"}));
  EXPECT_TRUE(call->Modified);
  EXPECT_EQ(Query.SQL()->ToVector(), (Lines{"select ID", "from CUSTOMER"})) << "the code editor takes it from here";
}

TEST_F(SQLEditorTest, WithoutACallbackThereIsNoCodeEditorButton) {
  EXPECT_FALSE(Edit([](TGestureDriver& d) {
    EXPECT_THROW(d.Click("btCodeEditor"), EGestureError);
    d.Escape();
  }));
  EXPECT_THROW(ShowSQLEditor("x", nullptr, nullptr), EInvalidOperation);
}
