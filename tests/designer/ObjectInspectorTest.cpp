#include "DesignTestClasses.h"

#include "designer/ObjectInspector.h"
#include "designer/OpenModule.h"
#include "designintf/Registry.h"

#include <gtest/gtest.h>

namespace inspectortest {

using namespace designer;
using namespace designtest;
using designintf::TPropertyAttribute;

// A drop-down of session names for SessionName of databases.
class TSessionNameProperty : public designintf::TStringProperty {
  DESIGN_CLASS(TSessionNameProperty, designintf::TStringProperty)
  using TStringProperty::TStringProperty;
  designintf::TPropertyAttributes GetAttributes() override {
    return {TPropertyAttribute::paValueList, TPropertyAttribute::paSortList, TPropertyAttribute::paMultiSelect};
  }
  void GetValues(const designintf::TGetStrProc& Proc) override {
    for (const char* s : {"Zeta", "alpha", "Beta"}) Proc(s);
  }
};
DESIGN_CLASS_IMPL(TSessionNameProperty)

class ObjectInspectorTest : public ::testing::Test {
protected:
  void SetUp() override {
    designintf::ClearRegistrations();
    auto root = std::make_unique<rtl::TDataModule>(nullptr);
    root->SetName("Module1");
    Module = std::make_unique<TOpenModule>(std::move(root), "Module1.dfm");
    Db1 = As<TTestDatabase>(Module->CreateComponent(TTestDatabase::StaticClass(), "Db1"));
    Db2 = As<TTestDatabase>(Module->CreateComponent(TTestDatabase::StaticClass(), "Db2"));
    Db2->SetTimeout(60);
    Module->SetSelections({Db1});
  }
  void TearDown() override { designintf::ClearRegistrations(); }

  static std::vector<String> Paths(const std::vector<TInspectorRow>& rows) {
    std::vector<String> p;
    for (const auto& r : rows) p.push_back(r.Path);
    return p;
  }

  std::unique_ptr<TOpenModule> Module;
  TTestDatabase* Db1;
  TTestDatabase* Db2;
};

TEST_F(ObjectInspectorTest, RowsShowEditorsValuesAndCategories) {
  designintf::RegisterPropertyEditor(rtl::TypeInfoString(), TTestDatabase::StaticClass(), "SessionName",
                                     TSessionNameProperty::StaticClass());
  designintf::RegisterPropertiesInCategory(designintf::sDatabaseCategoryName, TTestDatabase::StaticClass(),
                                           {"*Name", "Connected"});
  TObjectInspector inspector(*Module);
  auto rows = inspector.Rows();
  EXPECT_EQ(Paths(rows), (std::vector<String>{"Name", "Tag", "Connected", "DatabaseName", "Kind", "Options", "Params",
                                              "SessionName", "Timeout"}));
  const auto& session = rows[7];
  EXPECT_EQ(session.EditorClass, "TSessionNameProperty");
  EXPECT_EQ(session.Categories, std::vector<String>{"Database"});
  EXPECT_EQ(rows[0].Categories, std::vector<String>{"Database"});  // Name matches *Name
  EXPECT_EQ(rows[8].Categories, std::vector<String>{"Miscellaneous"});
  EXPECT_EQ(rows[8].Value, "30");

  auto expanded = inspector.Rows(true);
  EXPECT_EQ(Paths(expanded)[6], "Options.doPooled");
  EXPECT_EQ(expanded[6].Level, 1);
  EXPECT_EQ(expanded[6].Value, "False");

  auto json = inspector.ToJson();
  EXPECT_EQ(json[7]["editor"], "TSessionNameProperty");
  EXPECT_EQ(json[7]["attributes"], "[paValueList,paMultiSelect,paSortList]");
}

TEST_F(ObjectInspectorTest, MultiSelectionHidesTheNameAndDifferingValues) {
  TObjectInspector inspector(*Module);
  inspector.SetSelection({Db1, Db2});
  auto rows = inspector.Rows();
  EXPECT_EQ(Paths(rows).front(), "Tag");
  auto timeout = std::find_if(rows.begin(), rows.end(), [](const auto& r) { return r.Name == "Timeout"; });
  EXPECT_FALSE(timeout->AllEqual);
  EXPECT_EQ(timeout->Value, "");
  EXPECT_THROW(inspector.SetValue("Name", "X"), rtl::EPropertyError);  // not shown for two
  const int before = Module->ModifiedCount();
  inspector.SetValue("Timeout", "15");
  EXPECT_EQ(Db1->Timeout(), 15);
  EXPECT_EQ(Db2->Timeout(), 15);
  EXPECT_EQ(Module->ModifiedCount(), before + 1);
  inspector.SetValue("options.dotraced", "True");
  EXPECT_TRUE(Db2->Options().Contains(TDbOption::doTraced));
}

TEST_F(ObjectInspectorTest, ValueListsCompletionAndReadOnlyRefusal) {
  designintf::RegisterPropertyEditor(rtl::TypeInfoString(), TTestDatabase::StaticClass(), "SessionName",
                                     TSessionNameProperty::StaticClass());
  TObjectInspector inspector(*Module);
  EXPECT_EQ(inspector.GetValues("SessionName"), (std::vector<String>{"alpha", "Beta", "Zeta"}));
  EXPECT_EQ(inspector.GetValues("Kind"), (std::vector<String>{"dkCloud", "dkLocal", "dkRemote"}));
  EXPECT_TRUE(inspector.GetValues("DatabaseName").empty());
  EXPECT_EQ(inspector.Complete("SessionName", "be"), "Beta");
  EXPECT_EQ(inspector.Complete("Kind", "DKR"), "dkRemote");
  EXPECT_EQ(inspector.Complete("Kind", "x"), std::nullopt);
  EXPECT_EQ(inspector.Complete("DatabaseName", "a"), std::nullopt);  // no value list
  EXPECT_THROW(inspector.SetValue("Params", "x"), rtl::EPropertyError);
  EXPECT_THROW(inspector.SetValue("Options", "[doPooled]"), rtl::EPropertyError);
  EXPECT_THROW(inspector.Editor("Nothing"), rtl::EPropertyError);
  inspector.Edit("Connected");
  EXPECT_TRUE(Db1->Connected());
}

}  // namespace inspectortest
