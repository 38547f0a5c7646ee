#include "DesignTestClasses.h"

#include "designintf/ComponentEditors.h"
#include "designintf/PropertyEditors.h"
#include "designintf/Registry.h"
#include "designintf/Sprigs.h"

#include <gtest/gtest.h>

namespace regtest {

using namespace designintf;
using namespace designtest;

// Editors that differ only by class, to tell which registration won.
#define TEST_PROPERTY_EDITOR(TName, TBase) \
  class TName : public TBase {             \
    DESIGN_CLASS(TName, TBase)             \
    using TBase::TBase;                    \
  };                                       \
  DESIGN_CLASS_IMPL(TName)
TEST_PROPERTY_EDITOR(TEdA, TStringProperty)
TEST_PROPERTY_EDITOR(TEdB, TStringProperty)
TEST_PROPERTY_EDITOR(TEdC, TStringProperty)
TEST_PROPERTY_EDITOR(TEdStrings, TClassProperty)
TEST_PROPERTY_EDITOR(TEdPersistent, TClassProperty)

#define TEST_COMPONENT_EDITOR(TName)          \
  class TName : public TComponentEditor {     \
    DESIGN_CLASS(TName, TComponentEditor)     \
    using TComponentEditor::TComponentEditor; \
  };                                          \
  DESIGN_CLASS_IMPL(TName)
TEST_COMPONENT_EDITOR(TCompEdA)
TEST_COMPONENT_EDITOR(TCompEdB)
TEST_COMPONENT_EDITOR(TCompEdC)

#define TEST_SPRIG(TName)                   \
  class TName : public TComponentSprig {    \
    DESIGN_CLASS(TName, TComponentSprig)    \
    using TComponentSprig::TComponentSprig; \
  };                                        \
  DESIGN_CLASS_IMPL(TName)
TEST_SPRIG(TSprigA)
TEST_SPRIG(TSprigB)

class TNotAComponentSprig : public TTransientSprig {
  DESIGN_CLASS(TNotAComponentSprig, TTransientSprig)
  using TTransientSprig::TTransientSprig;
};
DESIGN_CLASS_IMPL(TNotAComponentSprig)

class RegistryTest : public ::testing::Test {
protected:
  void SetUp() override { ClearRegistrations(); }
  void TearDown() override { ClearRegistrations(); }

  static const rtl::TPropInfo* Prop(rtl::TClass c, const char* name) { return c->FindProp(name); }
  static String EditorFor(rtl::TClass c, const char* prop) { return GetEditorClass(Prop(c, prop), c)->Name; }
};

TEST_F(RegistryTest, ExactTypeBeatsAncestorTypeWhateverTheOrder) {
  const auto* strings = rtl::TStrings::StaticClass()->TypeInfo();
  const auto* persistent = rtl::TPersistent::StaticClass()->TypeInfo();
  RegisterPropertyEditor(strings, nullptr, "", TEdStrings::StaticClass());
  RegisterPropertyEditor(persistent, nullptr, "", TEdPersistent::StaticClass());
  EXPECT_EQ(EditorFor(TTestDatabase::StaticClass(), "Params"), "TEdStrings");

  ClearRegistrations();
  RegisterPropertyEditor(persistent, nullptr, "", TEdPersistent::StaticClass());
  RegisterPropertyEditor(strings, nullptr, "", TEdStrings::StaticClass());
  EXPECT_EQ(EditorFor(TTestDatabase::StaticClass(), "Params"), "TEdStrings");
  // An ancestor class type covers descendants: TParams is a TPersistent.
  EXPECT_EQ(EditorFor(TTestDataSet::StaticClass(), "Params"), "TEdPersistent");
}

TEST_F(RegistryTest, NamedBeatsUnnamedAndNameNeedsAClass) {
  const auto* s = rtl::TypeInfoString();
  RegisterPropertyEditor(s, TTestDatabase::StaticClass(), "databasename", TEdA::StaticClass());
  RegisterPropertyEditor(s, TTestDatabase::StaticClass(), "", TEdB::StaticClass());
  EXPECT_EQ(EditorFor(TTestDatabase::StaticClass(), "DatabaseName"), "TEdA");  // letter case ignored
  EXPECT_EQ(EditorFor(TTestDatabase::StaticClass(), "SessionName"), "TEdB");
  EXPECT_EQ(EditorFor(TTestDataSet::StaticClass(), "DatabaseName"), "TStringProperty");

  // With no component class the name is dropped: the editor serves every string property.
  RegisterPropertyEditor(s, nullptr, "DatabaseName", TEdC::StaticClass());
  EXPECT_EQ(EditorFor(TTestDataSet::StaticClass(), "IndexName"), "TEdC");
}

TEST_F(RegistryTest, DerivedComponentClassBeatsBaseAndNewestWinsAmongEquals) {
  const auto* s = rtl::TypeInfoString();
  RegisterPropertyEditor(s, TTestQuery::StaticClass(), "DatabaseName", TEdA::StaticClass());
  RegisterPropertyEditor(s, TTestDataSet::StaticClass(), "DatabaseName", TEdB::StaticClass());
  EXPECT_EQ(EditorFor(TTestQuery::StaticClass(), "DatabaseName"), "TEdA");
  EXPECT_EQ(EditorFor(TTestDataSet::StaticClass(), "DatabaseName"), "TEdB");

  RegisterPropertyEditor(s, TTestDataSet::StaticClass(), "DatabaseName", TEdC::StaticClass());
  EXPECT_EQ(EditorFor(TTestDataSet::StaticClass(), "DatabaseName"), "TEdC");
  EXPECT_EQ(EditorFor(TTestQuery::StaticClass(), "DatabaseName"), "TEdA");
}

TEST_F(RegistryTest, DefaultEditorsByKind) {
  rtl::TClass db = TTestDatabase::StaticClass(), ds = TTestDataSet::StaticClass();
  EXPECT_EQ(EditorFor(db, "Connected"), "TBoolProperty");
  EXPECT_EQ(EditorFor(db, "Kind"), "TEnumProperty");
  EXPECT_EQ(EditorFor(db, "Options"), "TSetProperty");
  EXPECT_EQ(EditorFor(db, "Timeout"), "TIntegerProperty");
  EXPECT_EQ(EditorFor(db, "Params"), "TStringListProperty");
  EXPECT_EQ(EditorFor(ds, "Params"), "TCollectionProperty");
  EXPECT_EQ(EditorFor(ds, "IndexDefs"), "TCollectionProperty");
  EXPECT_EQ(EditorFor(ds, "MasterSource"), "TComponentProperty");
  EXPECT_EQ(EditorFor(ds, "OnChange"), "TMethodProperty");
  EXPECT_EQ(EditorFor(db, "Name"), "TComponentNameProperty");
  // A registration for every string property leaves the component name alone.
  RegisterPropertyEditor(rtl::TypeInfoString(), nullptr, "", TEdA::StaticClass());
  EXPECT_EQ(EditorFor(db, "Name"), "TComponentNameProperty");
  EXPECT_EQ(EditorFor(db, "DatabaseName"), "TEdA");
}

TEST_F(RegistryTest, ComponentEditorIsTheMostDerivedRegistration) {
  EXPECT_EQ(GetComponentEditorClass(TTestQuery::StaticClass()), TDefaultEditor::StaticClass());
  RegisterComponentEditor(TTestDataSet::StaticClass(), TCompEdA::StaticClass());
  RegisterComponentEditor(TTestQuery::StaticClass(), TCompEdC::StaticClass());
  RegisterComponentEditor(rtl::TComponent::StaticClass(), TCompEdB::StaticClass());
  EXPECT_EQ(GetComponentEditorClass(TTestQuery::StaticClass())->Name, "TCompEdC");
  EXPECT_EQ(GetComponentEditorClass(TTestDataSet::StaticClass())->Name, "TCompEdA");
  EXPECT_EQ(GetComponentEditorClass(TTestButton::StaticClass())->Name, "TCompEdB");
  RegisterComponentEditor(TTestDataSet::StaticClass(), TCompEdB::StaticClass());
  EXPECT_EQ(GetComponentEditorClass(TTestDataSet::StaticClass())->Name, "TCompEdB");

  rtl::TComponent owner(nullptr);
  auto* q = new TTestQuery(&owner);
  auto editor = GetComponentEditor(q, nullptr);
  EXPECT_EQ(editor->ClassName(), "TCompEdC");
  EXPECT_EQ(editor->Component(), q);
}

TEST_F(RegistryTest, SprigClassIsTheNearestRegisteredAncestorNewestOnATie) {
  EXPECT_EQ(FindSprigClass(TTestQuery::StaticClass()), nullptr);
  RegisterSprigType(rtl::TDataSet::StaticClass(), TSprigA::StaticClass());
  RegisterSprigType(rtl::TComponent::StaticClass(), TSprigB::StaticClass());
  EXPECT_EQ(FindSprigClass(TTestQuery::StaticClass())->Name, "TSprigA");
  EXPECT_EQ(FindSprigClass(TTestSession::StaticClass())->Name, "TSprigB");
  RegisterSprigType(rtl::TDataSet::StaticClass(), TSprigB::StaticClass());
  EXPECT_EQ(FindSprigClass(TTestQuery::StaticClass())->Name, "TSprigB");
  RegisterSprigType(TTestQuery::StaticClass(), TNotAComponentSprig::StaticClass());
  EXPECT_EQ(FindSprigClass(TTestQuery::StaticClass())->Name, "TNotAComponentSprig");
  EXPECT_FALSE(FindSprigClass(TTestQuery::StaticClass())->InheritsFrom(TComponentSprig::StaticClass()));
}

TEST_F(RegistryTest, UnregisteringAPackageTakesOnlyItsRegistrations) {
  RegisterComponentEditor(TTestDataSet::StaticClass(), TCompEdA::StaticClass());
  rtl::RegisterClass(TTestSession::StaticClass());  // known by name before the package came
  {
    TPackageRegistrationScope scope("DclTest");
    EXPECT_EQ(CurrentRegistrationPackage(), "DclTest");
    RegisterComponents("Test", {TTestSession::StaticClass(), TTestQuery::StaticClass()});
    RegisterComponentEditor(TTestDataSet::StaticClass(), TCompEdB::StaticClass());
    RegisterPropertyEditor(rtl::TypeInfoString(), TTestDataSet::StaticClass(), "", TEdA::StaticClass());
    RegisterSprigType(TTestQuery::StaticClass(), TSprigA::StaticClass());
    RegisterPropertiesInCategory("Database", TTestDataSet::StaticClass(), {"DatabaseName"});
  }
  EXPECT_EQ(CurrentRegistrationPackage(), "");
  EXPECT_EQ(rtl::GetClass("ttestquery"), TTestQuery::StaticClass());
  EXPECT_EQ(FindPaletteClass("TTestSession"), TTestSession::StaticClass());
  EXPECT_EQ(GetComponentEditorClass(TTestDataSet::StaticClass())->Name, "TCompEdB");

  UnregisterPackage("DclTest");
  EXPECT_EQ(rtl::GetClass("TTestQuery"), nullptr);
  EXPECT_EQ(rtl::GetClass("TTestSession"), TTestSession::StaticClass());
  rtl::UnRegisterClass(TTestSession::StaticClass());
  EXPECT_TRUE(GetPaletteEntries().empty());
  EXPECT_EQ(GetComponentEditorClass(TTestDataSet::StaticClass())->Name, "TCompEdA");
  EXPECT_EQ(EditorFor(TTestDataSet::StaticClass(), "DatabaseName"), "TStringProperty");
  EXPECT_EQ(FindSprigClass(TTestQuery::StaticClass()), nullptr);
  EXPECT_EQ(GetPropertyCategories(TTestDataSet::StaticClass(), "DatabaseName"), std::vector<String>{"Miscellaneous"});
}

TEST_F(RegistryTest, ThePaletteListsTheHostsOwnPagesAfterThePackages) {
  RegisterComponents("Host", {TTestButton::StaticClass()});  // the host's, made first
  {
    TPackageRegistrationScope scope("DclTest");
    RegisterComponents("Test", {TTestSession::StaticClass(), TTestQuery::StaticClass()});
  }
  std::vector<String> order;
  for (const TPaletteEntry& e : GetPaletteEntries()) order.push_back(e.Page + "/" + e.ComponentClass->Name);
  EXPECT_EQ(order, (std::vector<String>{"Test/TTestSession", "Test/TTestQuery", "Host/TTestButton"}));
  UnregisterPackage("DclTest");
  ASSERT_EQ(GetPaletteEntries().size(), 1u);
  EXPECT_EQ(GetPaletteEntries()[0].Package, "");
}

TEST_F(RegistryTest, RecorderSeesEveryCallInOrder) {
  std::vector<String> rows;
  auto previous = SetRegistrationRecorder([&](const TRegistration& r) { rows.push_back(r.ToString()); });
  {
    TPackageRegistrationScope scope("DclTest");
    RegisterComponents("Test", {TTestSession::StaticClass(), TTestDatabase::StaticClass()});
    RegisterPropertyEditor(rtl::TypeInfoBoolean(), TTestDatabase::StaticClass(), "Connected", TEdA::StaticClass());
    RegisterPropertyEditor(rtl::TypeInfoString(), nullptr, "X", TEdB::StaticClass());
    RegisterComponentEditor(TTestSession::StaticClass(), TCompEdA::StaticClass());
    RegisterPropertiesInCategory(sDatabaseCategoryName, TTestDataSet::StaticClass(), {"*SQL", "DatabaseName"});
    RegisterSprigType(TTestSession::StaticClass(), TSprigA::StaticClass());
  }
  SetRegistrationRecorder(previous);
  EXPECT_EQ(rows, (std::vector<String>{
                      "RegisterComponents(\"Test\", [TTestSession, TTestDatabase])",
                      "RegisterPropertyEditor(Boolean, TTestDatabase, \"Connected\", TEdA)",
                      "RegisterPropertyEditor(string, nil, \"X\", TEdB)",
                      "RegisterComponentEditor(TTestSession, TCompEdA)",
                      "RegisterPropertiesInCategory(\"Database\", TTestDataSet, [\"*SQL\", \"DatabaseName\"])",
                      "RegisterSprigType(TTestSession, TSprigA)",
                  }));
}

TEST_F(RegistryTest, BadRegistrationsRaise) {
  EXPECT_THROW(RegisterPropertyEditor(nullptr, nullptr, "", TEdA::StaticClass()), ERegistrationError);
  EXPECT_THROW(RegisterPropertyEditor(rtl::TypeInfoString(), nullptr, "", nullptr), ERegistrationError);
  EXPECT_THROW(RegisterComponentEditor(nullptr, TCompEdA::StaticClass()), ERegistrationError);
  EXPECT_THROW(RegisterSprigType(TTestQuery::StaticClass(), nullptr), ERegistrationError);
  EXPECT_THROW(RegisterComponents("P", {nullptr}), ERegistrationError);
}

TEST_F(RegistryTest, CategoriesByWildcardAndClass) {
  RegisterPropertiesInCategory(sDatabaseCategoryName, TTestDatabase::StaticClass(), {"SessionName", "DatabaseName"});
  RegisterPropertiesInCategory(sDatabaseCategoryName, TTestQuery::StaticClass(), {"*sql"});
  RegisterPropertiesInCategory("Linkage", nullptr, {"Master?ource", "Database*"});
  EXPECT_EQ(GetPropertyCategories(TTestDatabase::StaticClass(), "DatabaseName"),
            (std::vector<String>{"Database", "Linkage"}));
  EXPECT_TRUE(IsPropertyInCategory("database", TTestQuery::StaticClass(), "SQL"));
  EXPECT_FALSE(IsPropertyInCategory("Database", TTestDataSet::StaticClass(), "SQL"));
  EXPECT_TRUE(IsPropertyInCategory("Linkage", TTestDataSet::StaticClass(), "MasterSource"));
  EXPECT_EQ(GetPropertyCategories(TTestDatabase::StaticClass(), "Timeout"), std::vector<String>{"Miscellaneous"});
}

TEST(MatchesMaskTest, Wildcards) {
  EXPECT_TRUE(MatchesMask("ModifySQL", "*SQL"));
  EXPECT_TRUE(MatchesMask("modifysql", "*SQL"));
  EXPECT_TRUE(MatchesMask("SQL", "*SQL"));
  EXPECT_FALSE(MatchesMask("SQLText", "*SQL"));
  EXPECT_TRUE(MatchesMask("SQLText", "*SQL*"));
  EXPECT_TRUE(MatchesMask("Params", "P?r*s"));
  EXPECT_FALSE(MatchesMask("Param", "P?r*s"));
  EXPECT_TRUE(MatchesMask("Größe", "GRÖ?E"));
  EXPECT_TRUE(MatchesMask("", "*"));
  EXPECT_FALSE(MatchesMask("", "?"));
}

}  // namespace regtest
