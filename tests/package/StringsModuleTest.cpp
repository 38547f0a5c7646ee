// The code-editor bridge against the designer's module services: the module a component's
// string-list property opens as, its text and marks, finding it again under the lookup name,
// and closing it with the developer's answer.
#include "EditorTestFixture.h"

#include "KVStringsModule.h"

#include "toolsapi/StringsFileSystem.h"

using namespace editortest;
using namespace dclkorv;

namespace {

class StringsModuleTest : public EditorFixture {
protected:
  StringsModuleTest() {
    Query = CreateDataSet<korv::TKVQuery>("Query1");
    Query->SQL()->SetText("select *\nfrom CUSTOMER");
    // Whether each module showed already marked as changed.
    Services.Services().SetCodeEditor([this](designer::TTextModule& m) { ShownModified.push_back(m.IsModified()); });
  }

  std::shared_ptr<designer::TTextModule> Find(const String& Name) { return Services.Services().FindTextModule(Name); }

  korv::TKVQuery* Query = nullptr;
  std::vector<bool> ShownModified;
};

}  // namespace

TEST_F(StringsModuleTest, ModuleNamesNeedANamedRootOwningTheComponent) {
  auto* q = Module.get();
  EXPECT_EQ(StringsModuleFileName(q, Query, "SQL"), "dfm.DataModule1.Query1.SQL");
  EXPECT_EQ(StringsModuleLookupName(q, Query, "SQL"), "DataModule1.Query1.SQL");

  korv::TKVQuery loose(nullptr);
  loose.SetName("Loose");
  EXPECT_EQ(StringsModuleFileName(q, &loose, "SQL"), "");
  EXPECT_EQ(StringsModuleFileName(q, Query->SQL(), "SQL"), "");  // not a component
  EXPECT_EQ(StringsModuleFileName(nullptr, Query, "SQL"), "");
  Module->GetRoot()->SetName("");
  EXPECT_EQ(StringsModuleFileName(q, Query, "SQL"), "");
  EXPECT_EQ(StringsModuleLookupName(q, Query, "SQL"), "");
}

TEST_F(StringsModuleTest, OpeningHandsTheTextToTheStringsFileSystem) {
  OpenStringsModule(Module.get(), Query, "SQL", Query->SQL(), false);
  auto module = Find("dfm.DataModule1.Query1.SQL");
  ASSERT_TRUE(module);
  EXPECT_EQ(module->Text(), "select *\nfrom CUSTOMER\n");
  EXPECT_EQ(module->GetFileSystem(), toolsapi::sTStringsFileSystem);
  EXPECT_EQ(ShownModified, std::vector<bool>{false});

  auto* entry = toolsapi::StringsFileSystem->FindEntry("dfm.DataModule1.Query1.SQL");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->Component(), Query);
  EXPECT_EQ(entry->PropName(), "SQL");
  EXPECT_GT(entry->DiskAge(), 0);

  // Saving the module carries its text into the property and tells the designer.
  NewModifiedCalls();
  module->ReplaceText("select ID\nfrom CUSTOMER\n");
  module->Save(false, false);
  EXPECT_EQ(Query->SQL()->ToVector(), (Lines{"select ID", "from CUSTOMER"}));
  EXPECT_EQ(NewModifiedCalls(), 1);
}

TEST_F(StringsModuleTest, AChangedTextIsMarkedBeforeItShows) {
  rtl::TStringList edited;
  edited.SetText("select 1");
  OpenStringsModule(Module.get(), Query, "SQL", &edited, true);
  auto module = Find("dfm.DataModule1.Query1.SQL");
  ASSERT_TRUE(module);
  EXPECT_EQ(module->Text(), "select 1\n");
  EXPECT_EQ(ShownModified, std::vector<bool>{true});

  rtl::TStringList empty;
  OpenStringsModule(Module.get(), Database, "Params", &empty, false);
  auto params = Find("dfm.DataModule1.Database1.Params");
  ASSERT_TRUE(params);
  EXPECT_EQ(params->Text(), "");
}

TEST_F(StringsModuleTest, ShowAndCloseFindTheOpenModule) {
  EXPECT_FALSE(ShowStringsModule(Module.get(), Query, "SQL"));
  EXPECT_TRUE(CloseStringsModule(Module.get(), Query, "SQL"));

  OpenStringsModule(Module.get(), Query, "SQL", Query->SQL(), false);
  auto module = Find("dfm.DataModule1.Query1.SQL");
  ASSERT_TRUE(module);
  EXPECT_TRUE(ShowStringsModule(Module.get(), Query, "SQL"));
  EXPECT_EQ(module->ShowCount(), 2);
  EXPECT_FALSE(ShowStringsModule(Module.get(), Query, "Params"));  // another property

  // Unchanged: it closes without a question.
  EXPECT_TRUE(CloseStringsModule(Module.get(), Query, "SQL"));
  EXPECT_TRUE(module->IsClosed());
  EXPECT_FALSE(ShowStringsModule(Module.get(), Query, "SQL"));
  EXPECT_TRUE(UI.Log().empty());
}

TEST_F(StringsModuleTest, ClosingAChangedModuleFollowsTheDevelopersAnswer) {
  auto open = [this] {
    OpenStringsModule(Module.get(), Query, "SQL", Query->SQL(), false);
    auto module = Find("dfm.DataModule1.Query1.SQL");
    module->ReplaceText("select 2\n");
    return module;
  };
  auto module = open();
  UI.QueueAnswer(vcl::mrCancel, "Save changes to dfm.DataModule1.Query1.SQL?");
  EXPECT_FALSE(CloseStringsModule(Module.get(), Query, "SQL"));
  EXPECT_FALSE(module->IsClosed());
  EXPECT_TRUE(ShowStringsModule(Module.get(), Query, "SQL"));

  UI.QueueAnswer(vcl::mrNo);
  EXPECT_TRUE(CloseStringsModule(Module.get(), Query, "SQL"));
  EXPECT_TRUE(module->IsClosed());
  EXPECT_EQ(Query->SQL()->ToVector(), (Lines{"select *", "from CUSTOMER"}));

  module = open();
  UI.QueueAnswer(vcl::mrYes);
  EXPECT_TRUE(CloseStringsModule(Module.get(), Query, "SQL"));
  EXPECT_TRUE(module->IsClosed());
  EXPECT_EQ(Query->SQL()->ToVector(), Lines{"select 2"});
  EXPECT_TRUE(UI.AllConsumed());
}

TEST_F(StringsModuleTest, AComponentOutsideTheRootHasNoModuleToFind) {
  korv::TKVQuery loose(nullptr);
  loose.SetName("Query1");  // the same name as the module's own query
  OpenStringsModule(Module.get(), Query, "SQL", Query->SQL(), true);
  EXPECT_FALSE(ShowStringsModule(Module.get(), &loose, "SQL"));
  EXPECT_TRUE(CloseStringsModule(Module.get(), &loose, "SQL"));  // no question asked
  EXPECT_FALSE(Find("dfm.DataModule1.Query1.SQL")->IsClosed());

  // Opening still asks for a module, which gets a name of the host's choosing and no property.
  const int before = Services.Services().GetModuleCount();
  OpenStringsModule(Module.get(), &loose, "SQL", loose.SQL(), false);
  EXPECT_EQ(Services.Services().GetModuleCount(), before + 1);
  EXPECT_EQ(toolsapi::StringsFileSystem->FindEntry(""), nullptr);
}

TEST_F(StringsModuleTest, WithoutModuleServicesEveryRoutineRaises) {
  auto saved = toolsapi::BorlandIDEServices;
  toolsapi::BorlandIDEServices = nullptr;
  EXPECT_THROW(OpenStringsModule(Module.get(), Query, "SQL", Query->SQL(), false), rtl::EIntfCastError);
  EXPECT_THROW(ShowStringsModule(Module.get(), Query, "SQL"), rtl::EIntfCastError);
  EXPECT_THROW(CloseStringsModule(Module.get(), Query, "SQL"), rtl::EIntfCastError);
  toolsapi::BorlandIDEServices = saved;
}
