// The connection-parameters dialog on a database's own parameter list: OK, Cancel, the
// defaults and the code editor.
#include "korv/KVDatabase.h"
#include "korv/KVParamsEditor.h"
#include "vcl/Gestures.h"
#include "vcl/HeadlessUI.h"

#include <gtest/gtest.h>

#include <optional>

using namespace korv;
using namespace vcl;
using Lines = std::vector<rtl::String>;

namespace {

struct ParamsEditorTest : ::testing::Test {
  ParamsEditorTest() { Db.Params()->SetText("USER NAME=alice\nTIMEOUT=5"); }

  bool Edit(TScriptedUserInterface::TGestureScript Script, TKVCodeEditorCallback CodeEditor = nullptr,
            TKVDefaultParamsCallback Defaults = nullptr) {
    UI.QueueForm("TKVParamsEditorDlg", std::move(Script));
    const bool result = ShowDatabaseParamsEditor(Db.Params(), std::move(CodeEditor), std::move(Defaults));
    EXPECT_TRUE(UI.AllConsumed());
    return result;
  }

  TScriptedUserInterface UI;
  TUserInterfaceScope Scope{&UI};
  TKVDatabase Db{nullptr};
};

}  // namespace

TEST_F(ParamsEditorTest, OkWritesChangedLinesIntoTheCallersList) {
  rtl::TStrings* own = Db.Params();
  EXPECT_TRUE(Edit([](TGestureDriver& d) {
    EXPECT_EQ(rtl::As<TKVParamsEditorDlg>(d.Form())->meParams->Lines()->ToVector(),
              (Lines{"USER NAME=alice", "TIMEOUT=5"}));
    d.Type("meParams", "USER NAME=bob\nTIMEOUT=5");
    d.Click("btOk");
  }));
  EXPECT_EQ(Db.Params(), own);
  EXPECT_EQ(Db.Params()->Values("USER NAME"), "bob");

  EXPECT_FALSE(Edit([](TGestureDriver& d) { d.Click("btOk"); })) << "untouched";
  EXPECT_FALSE(Edit([](TGestureDriver& d) {
    d.Type("meParams", "");
    d.Click("btCancel");
  }));
  EXPECT_EQ(Db.Params()->ToVector(), (Lines{"USER NAME=bob", "TIMEOUT=5"}));
}

TEST_F(ParamsEditorTest, DefaultsReplaceTheLinesThroughTheCallback) {
  auto defaults = [](rtl::TStrings* list) { list->SetText("USER NAME=postgres\nSSLMODE=disable"); };
  EXPECT_TRUE(Edit(
      [](TGestureDriver& d) {
        d.Click("btDefaults");
        EXPECT_EQ(rtl::As<TKVParamsEditorDlg>(d.Form())->meParams->Lines()->ToVector(),
                  (Lines{"USER NAME=postgres", "SSLMODE=disable"}));
        d.Click("btOk");
      },
      nullptr, defaults));
  EXPECT_EQ(Db.Params()->ToVector(), (Lines{"USER NAME=postgres", "SSLMODE=disable"}));

  // Without a source of defaults (or a code editor) the buttons are not offered.
  Edit([](TGestureDriver& d) {
    EXPECT_THROW(d.Click("btDefaults"), EGestureError);
    EXPECT_THROW(d.Click("btCodeEditor"), EGestureError);
    d.Escape();
  });
}

TEST_F(ParamsEditorTest, CodeEditorGetsTheLinesAndTheChangedFlag) {
  std::optional<std::pair<Lines, bool>> call;
  auto codeEditor = [&](rtl::TStrings* lines, bool modified) { call.emplace(lines->ToVector(), modified); };
  EXPECT_FALSE(Edit(
      [](TGestureDriver& d) {
        d.Type("meParams", "USER NAME=dave");
        d.Click("btCodeEditor");
      },
      codeEditor));
  ASSERT_TRUE(call);
  EXPECT_EQ(call->first, (Lines{"USER NAME=dave"}));
  EXPECT_TRUE(call->second);
  EXPECT_EQ(Db.Params()->ToVector(), (Lines{"USER NAME=alice", "TIMEOUT=5"}));

  EXPECT_FALSE(Edit([](TGestureDriver& d) { d.Click("btCodeEditor"); }, codeEditor));
  EXPECT_FALSE(call->second);
}
