#include "DesignTestClasses.h"
#include "FakeDesigner.h"

#include "designintf/DBEditors.h"
#include "designintf/HostDialogs.h"
#include "designintf/PropertyEditors.h"
#include "designintf/Registry.h"

#include <gtest/gtest.h>

namespace proptest {

using namespace designintf;
using namespace designtest;

class PropertyEditorTest : public ::testing::Test {
protected:
  void SetUp() override {
    ClearRegistrations();
    Root.SetName("Module1");
    Db1 = new TTestDatabase(&Root);
    Db1->SetName("Db1");
    Db2 = new TTestDatabase(&Root);
    Db2->SetName("Db2");
    Query = new TTestQuery(&Root);
    Query->SetName("Query1");
  }

  // The editors the inspector would show for Selection, by property name.
  std::map<String, std::unique_ptr<TPropertyEditor>> Editors(const TDesignerSelections& Selection) {
    std::map<String, std::unique_ptr<TPropertyEditor>> result;
    GetComponentProperties(Selection, {}, &Designer, [&](std::unique_ptr<TPropertyEditor> e) {
      Names.push_back(e->GetName());
      result[e->GetName()] = std::move(e);
    });
    return result;
  }

  rtl::TDataModule Root{nullptr};
  TFakeDesigner Designer{&Root};
  TTestDatabase* Db1;
  TTestDatabase* Db2;
  TTestQuery* Query;
  std::vector<String> Names;
};

TEST_F(PropertyEditorTest, SingleSelectionShowsWritablePropertiesInOrder) {
  auto editors = Editors({Db1});
  // Version has no setter and is no object: not shown.
  EXPECT_EQ(Names, (std::vector<String>{"Name", "Tag", "Connected", "DatabaseName", "Kind", "Options", "Params",
                                        "SessionName", "Timeout"}));
  EXPECT_EQ(editors["Name"]->GetAttributes(), TPropertyAttributes{TPropertyAttribute::paNotNestable});
  EXPECT_EQ(editors["DatabaseName"]->GetAttributes(),
            (TPropertyAttributes{TPropertyAttribute::paMultiSelect, TPropertyAttribute::paRevertable}));
  EXPECT_EQ(editors["Params"]->GetValue(), "(TStringList)");
  EXPECT_EQ(editors["Params"]->GetAttributes(),
            (TPropertyAttributes{TPropertyAttribute::paMultiSelect, TPropertyAttribute::paReadOnly,
                                 TPropertyAttribute::paDialog}));
  EXPECT_EQ(editors["Options"]->GetValue(), "[]");
}

TEST_F(PropertyEditorTest, MultiSelectionKeepsSharedMultiSelectProperties) {
  Editors({Db1, Db2});
  EXPECT_EQ(Names, (std::vector<String>{"Tag", "Connected", "DatabaseName", "Kind", "Options", "Params", "SessionName",
                                        "Timeout"}));
  Names.clear();
  // Params is a string list on one and a collection on the other: different editors, dropped.
  Editors({Db1, Query});
  EXPECT_EQ(Names, (std::vector<String>{"Tag", "DatabaseName"}));
}

TEST_F(PropertyEditorTest, WriteGoesToEverySelectedComponentThenOneModified) {
  Db1->SetDatabaseName("same");
  Db2->SetDatabaseName("other");
  auto editors = Editors({Db1, Db2});
  auto& name = *editors["DatabaseName"];
  EXPECT_FALSE(name.AllEqual());
  EXPECT_EQ(name.GetVisualValue(), "");
  name.SetValue("main");
  EXPECT_EQ(Db1->DatabaseName(), "main");
  EXPECT_EQ(Db2->DatabaseName(), "main");
  EXPECT_EQ(Designer.ModifiedCount, 1);
  EXPECT_TRUE(name.AllEqual());
  EXPECT_EQ(name.GetVisualValue(), "main");
}

TEST_F(PropertyEditorTest, EnumerationsAndBooleans) {
  auto editors = Editors({Db1});
  auto& kind = *editors["Kind"];
  std::vector<String> values;
  kind.GetValues([&](const String& s) { values.push_back(s); });
  EXPECT_EQ(values, (std::vector<String>{"dkLocal", "dkRemote", "dkCloud"}));
  kind.SetValue("DKREMOTE");
  EXPECT_EQ(Db1->Kind(), TDbKind::dkRemote);
  EXPECT_THROW(kind.SetValue("dkNowhere"), rtl::EPropertyError);
  EXPECT_EQ(Db1->Kind(), TDbKind::dkRemote);
  // Double-click moves to the next value of the sorted list, wrapping round.
  kind.Edit();  // sorted: dkCloud, dkLocal, dkRemote
  EXPECT_EQ(Db1->Kind(), TDbKind::dkCloud);
  kind.Edit();
  EXPECT_EQ(Db1->Kind(), TDbKind::dkLocal);

  auto& connected = *editors["Connected"];
  values.clear();
  connected.GetValues([&](const String& s) { values.push_back(s); });
  EXPECT_EQ(values, (std::vector<String>{"False", "True"}));
  connected.Edit();
  EXPECT_TRUE(Db1->Connected());
  EXPECT_EQ(connected.GetValue(), "True");
}

TEST_F(PropertyEditorTest, IntegersAndReadOnlyProperties) {
  auto editors = Editors({Db1});
  editors["Timeout"]->SetValue(" 45 ");
  EXPECT_EQ(Db1->Timeout(), 45);
  EXPECT_THROW(editors["Timeout"]->SetValue("4x5"), rtl::EConvertError);
  EXPECT_EQ(Db1->Timeout(), 45);

  TStringProperty version(&Designer, 1);
  version.SetPropEntry(0, Db1, TTestDatabase::StaticClass()->FindProp("Version"));
  EXPECT_TRUE(version.GetAttributes().Contains(TPropertyAttribute::paReadOnly));
  EXPECT_THROW(version.SetValue("2.0"), rtl::EPropertyError);
  EXPECT_EQ(Designer.ModifiedCount, 1);
}

TEST_F(PropertyEditorTest, SetElementsChangeOnlyTheirOwnBitPerComponent) {
  Db1->SetOptions({TDbOption::doPooled});
  Db2->SetOptions({TDbOption::doTraced});
  auto editors = Editors({Db1, Db2});
  std::vector<std::unique_ptr<TPropertyEditor>> elements;
  editors["Options"]->GetProperties([&](std::unique_ptr<TPropertyEditor> e) { elements.push_back(std::move(e)); });
  ASSERT_EQ(elements.size(), 2u);
  EXPECT_EQ(elements[1]->GetName(), "doTraced");
  EXPECT_FALSE(elements[1]->AllEqual());
  elements[1]->SetValue("True");
  EXPECT_EQ(Db1->Options(), (TDbOptions{TDbOption::doPooled, TDbOption::doTraced}));
  EXPECT_EQ(Db2->Options(), TDbOptions{TDbOption::doTraced});
  EXPECT_EQ(Designer.ModifiedCount, 1);
  EXPECT_THROW(elements[0]->SetValue("maybe"), rtl::EPropertyError);
}

TEST_F(PropertyEditorTest, ComponentReferences) {
  auto editors = Editors({Query});
  auto& db = *editors["Database"];
  EXPECT_TRUE(db.GetAttributes().Contains(TPropertyAttribute::paValueList));
  std::vector<String> values;
  db.GetValues([&](const String& s) { values.push_back(s); });
  EXPECT_EQ(values, (std::vector<String>{"Db1", "Db2"}));
  db.SetValue("db2");
  EXPECT_EQ(Query->Database(), Db2);
  EXPECT_EQ(db.GetValue(), "Db2");
  EXPECT_THROW(db.SetValue("Query1"), rtl::EPropertyError);  // not a database
  EXPECT_THROW(db.SetValue("Nobody"), rtl::EPropertyError);
  EXPECT_EQ(Query->Database(), Db2);
  db.SetValue("");
  EXPECT_EQ(Query->Database(), nullptr);
}

TEST_F(PropertyEditorTest, EventsNameANewHandlerAfterComponentAndEvent) {
  auto editors = Editors({Query});
  auto& onChange = *editors["OnChange"];
  onChange.Edit();
  EXPECT_EQ(Query->OnChange.MethodName, "Query1Change");
  EXPECT_EQ(Designer.ShownMethods, std::vector<String>{"Query1Change"});
  EXPECT_THROW(onChange.SetValue("not valid"), rtl::EPropertyError);
}

TEST_F(PropertyEditorTest, NameIsRenamedThroughTheDesigner) {
  auto editors = Editors({Db1});
  EXPECT_THROW(editors["Name"]->SetValue("Db2"), rtl::EComponentError);
  editors["Name"]->SetValue("Main");
  EXPECT_EQ(Db1->Name(), "Main");
  EXPECT_EQ(Designer.ModifiedCount, 1);
}

// Host dialogs that answer as a test says.
class TFakeDialogs : public IHostDialogs {
public:
  void ShowFieldsEditor(IDesigner*, rtl::TComponent* DataSet, TDSDesignerClass DesignerClass) override {
    Log.push_back("fields " + DataSet->Name() + " " + DesignerClass->Name);
  }
  void ShowCollectionEditor(IDesigner*, TCollectionEditorClass, rtl::TComponent* Component, rtl::TCollection*,
                            const String& PropertyName, TColOptions Options) override {
    Log.push_back("collection " + Component->Name() + "." + PropertyName + " " + std::to_string(Options.Mask()));
  }
  bool ExecuteFieldLinkDesigner(TFieldLinkProperty& Editor) override {
    if (LinkAction) return LinkAction(Editor);
    return false;
  }
  bool EditStrings(IDesigner*, rtl::TPersistent*, const String& PropertyName, rtl::TStrings* Lines) override {
    Log.push_back("strings " + PropertyName + " " + std::to_string(Lines->Count()));
    if (!NewText) return false;
    Lines->SetText(*NewText);
    return true;
  }

  std::vector<String> Log;
  std::optional<String> NewText;
  std::function<bool(TFieldLinkProperty&)> LinkAction;
};

class DialogEditorTest : public PropertyEditorTest {
protected:
  void SetUp() override {
    PropertyEditorTest::SetUp();
    Previous = SetHostDialogs(&Dialogs);
  }
  void TearDown() override { SetHostDialogs(Previous); }
  TFakeDialogs Dialogs;
  IHostDialogs* Previous = nullptr;
};

TEST_F(DialogEditorTest, StringListDialogWritesBackOnlyWhenAccepted) {
  Db1->Params()->SetText("a=1\n");
  auto editors = Editors({Db1});
  editors["Params"]->Edit();
  EXPECT_EQ(Db1->Params()->Text(), "a=1\n");
  EXPECT_EQ(Designer.ModifiedCount, 0);
  Dialogs.NewText = "a=2\nb=3\n";
  editors["Params"]->Edit();
  EXPECT_EQ(Db1->Params()->Text(), "a=2\nb=3\n");
  EXPECT_EQ(Designer.ModifiedCount, 1);
  EXPECT_EQ(Dialogs.Log, (std::vector<String>{"strings Params 1", "strings Params 1"}));
}

TEST_F(DialogEditorTest, CollectionsAndFieldsEditorGoToTheHostDialogs) {
  auto editors = Editors({Query});
  editors["Params"]->Edit();
  TDataSetEditor dsEditor(Query, &Designer);
  EXPECT_EQ(dsEditor.GetVerbCount(), 1);
  dsEditor.Edit();
  ShowCollectionEditorClass(&Designer, TCollectionEditor::StaticClass(), Query, Query->Params(), "Params", {});
  EXPECT_EQ(Dialogs.Log, (std::vector<String>{"collection Query1.Params 7", "fields Query1 TDSDesigner",
                                              "collection Query1.Params 0"}));
  SetHostDialogs(nullptr);
  EXPECT_THROW(dsEditor.Edit(), EHostDialogsError);
}

TEST_F(DialogEditorTest, FieldLinkDesignerReadsAndWritesThroughTheEditor) {
  auto* source = new rtl::TDataSource(&Root);
  auto* master = new TTestDataSet(&Root);
  master->FieldDefs()->Add("ID", rtl::TFieldType::ftInteger);
  master->FieldDefs()->Add("NAME", rtl::TFieldType::ftString);
  source->SetDataSet(master);
  Query->SetMasterSource(source);
  Query->SQLBased = false;
  Query->IndexDefs()->Add("ByCustomer", "CUST_ID;ORDER_NO", {});
  Query->SetIndexName("ByCustomer");

  std::vector<String> seen;
  Dialogs.LinkAction = [&](TFieldLinkProperty& e) {
    rtl::TStringList fields, masterFields;
    e.GetFieldNamesForIndex(&fields);
    e.GetMasterFieldNames(&masterFields);
    seen = {fields.CommaText(), masterFields.CommaText(), e.IndexBased() ? "index" : "sql",
            e.IndexDefs()->Items(0)->Name()};
    e.SetMasterFields("ID");
    return true;
  };
  TFieldLinkProperty link(&Designer, 1);
  link.SetPropEntry(0, Query, TTestDataSet::StaticClass()->FindProp("MasterFields"));
  EXPECT_TRUE(link.GetAttributes().Contains(TPropertyAttribute::paDialog));
  link.Edit();
  EXPECT_EQ(seen, (std::vector<String>{"CUST_ID,ORDER_NO", "ID,NAME", "index", "ByCustomer"}));
  EXPECT_TRUE(link.Changed());
  EXPECT_EQ(Query->MasterFields(), "ID");
  EXPECT_EQ(Designer.ModifiedCount, 1);

  Dialogs.LinkAction = [](TFieldLinkProperty&) { return false; };
  link.Edit();
  EXPECT_FALSE(link.Changed());
  EXPECT_EQ(Designer.ModifiedCount, 1);
}

TEST_F(PropertyEditorTest, IndexNameListsTheIndexDefinitions) {
  Query->IndexDefs()->Add("ByName", "NAME", {});
  Query->IndexDefs()->Add("ByDate", "DATE;NAME", {});
  TIndexNameProperty names(&Designer, 1);
  names.SetPropEntry(0, Query, TTestDataSet::StaticClass()->FindProp("IndexName"));
  TIndexFieldNamesProperty fields(&Designer, 1);
  fields.SetPropEntry(0, Query, TTestDataSet::StaticClass()->FindProp("IndexFieldNames"));
  std::vector<String> a, b;
  names.GetValues([&](const String& s) { a.push_back(s); });
  fields.GetValues([&](const String& s) { b.push_back(s); });
  EXPECT_EQ(a, (std::vector<String>{"ByName", "ByDate"}));
  EXPECT_EQ(b, (std::vector<String>{"NAME", "DATE;NAME"}));
  EXPECT_TRUE(names.GetAttributes().Contains(TPropertyAttribute::paSortList));
}

// A component editor with two verbs.
class TTwoVerbEditor : public TComponentEditor {
  DESIGN_CLASS(TTwoVerbEditor, TComponentEditor)
  using TComponentEditor::TComponentEditor;
  int GetVerbCount() override { return 2; }
  String GetVerb(int Index) override { return Index == 0 ? "First" : "Second"; }
  void ExecuteVerb(int Index) override { Executed.push_back(Index); }
  std::vector<int> Executed;
};
DESIGN_CLASS_IMPL(TTwoVerbEditor)

TEST_F(PropertyEditorTest, ComponentEditorDefaults) {
  TComponentEditor base(Query, &Designer);
  EXPECT_EQ(base.GetVerbCount(), 0);
  EXPECT_EQ(base.GetVerb(0), "");
  base.Edit();  // no verbs: nothing
  EXPECT_EQ(base.GetDesigner(), &Designer);
  TTwoVerbEditor two(Query, &Designer);
  two.Edit();
  EXPECT_EQ(two.Executed, std::vector<int>{0});
  EXPECT_TRUE(TTwoVerbEditor::StaticClass()->InheritsFrom(TComponentEditor::StaticClass()));
  EXPECT_EQ(TTwoVerbEditor::StaticClass()->Create(Query, &Designer)->ClassName(), "TTwoVerbEditor");
}

TEST_F(PropertyEditorTest, DefaultEditorEditsTheMostTellingEvent) {
  auto* button = new TTestButton(&Root);
  button->SetName("Button1");
  TDefaultEditor editor(button, &Designer);
  editor.Edit();
  EXPECT_EQ(button->OnCreate.MethodName, "Button1Create");
  EXPECT_EQ(button->OnClick.MethodName, "");

  // Without a preferred event, the first one.
  TDefaultEditor dsEditor(Query, &Designer);
  dsEditor.Edit();
  EXPECT_EQ(Query->OnChange.MethodName, "Query1Change");
}

}  // namespace proptest
