// The table field-link editor: what the link designer is told from the temporary copy of the
// edited table, and what is written back, on a SQLite database built in a temporary folder. A
// fake link designer stands in for the designer's dialog.
#include "KVFieldLinkProperty.h"
#include "KVReg.h"

#include "TempFolder.h"

#include "designer/ObjectInspector.h"
#include "designer/OpenModule.h"
#include "designintf/HostDialogs.h"
#include "designintf/Registry.h"
#include "korv/KVConsts.h"
#include "korv/Korv.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace dclkorv;
using rtl::String;

namespace {

using Lines = std::vector<String>;

constexpr const char* kPackage = "FieldLinkTests";

// DETAIL's rowid key is the index the catalogue calls PRIMARY.
constexpr const char* kSchema = R"(
  CREATE TABLE MASTER (ID INTEGER PRIMARY KEY, NAME TEXT);
  CREATE TABLE DETAIL (ID INTEGER PRIMARY KEY, MASTER_ID INTEGER, CODE TEXT);
  CREATE INDEX DETAIL_MASTER ON DETAIL (MASTER_ID, CODE);
  CREATE UNIQUE INDEX DETAIL_CODE ON DETAIL (CODE);
)";

// A link designer that runs the test's script on the editor and answers with its result.
class TFakeLinkDesigner : public designintf::IHostDialogs {
public:
  std::function<bool(designintf::TFieldLinkProperty&)> Script;
  int Runs = 0;

  bool ExecuteFieldLinkDesigner(designintf::TFieldLinkProperty& Editor) override {
    ++Runs;
    return Script ? Script(Editor) : false;
  }
  void ShowFieldsEditor(designintf::IDesigner*, rtl::TComponent*, designintf::TDSDesignerClass) override {}
  void ShowCollectionEditor(designintf::IDesigner*, designintf::TCollectionEditorClass, rtl::TComponent*,
                            rtl::TCollection*, const String&, designintf::TColOptions) override {}
  bool EditStrings(designintf::IDesigner*, rtl::TPersistent*, const String&, rtl::TStrings*) override { return false; }
};

class FieldLinkPropertyTest : public ::testing::Test {
protected:
  FieldLinkPropertyTest() {
    PreviousDialogs = designintf::SetHostDialogs(&Designer);
    {
      designintf::TPackageRegistrationScope scope(kPackage);
      RegisterDialogPropertyEditors();
    }
    std::ofstream(Temp.File("shop.db"));
    {
      korv::TKVDatabase setup(nullptr);
      setup.SetDatabaseName("SETUP");
      setup.SetServerType(korv::TKVServerType::stSQLite);
      setup.SetRemoteDatabase(Temp.File("shop.db"));
      setup.Execute(kSchema);
    }
    auto root = std::make_unique<rtl::TDataModule>(nullptr);
    root->SetName("DataModule1");
    Module = std::make_unique<designer::TOpenModule>(std::move(root), Temp.File("DataModule1.dfm"));
    Database = Create<korv::TKVDatabase>("Database1");
    Database->SetDatabaseName("SHOP");
    Database->SetServerType(korv::TKVServerType::stSQLite);
    Database->SetRemoteDatabase(Temp.File("shop.db"));
    Database->SetKeepConnection(false);  // so that the copy's database is seen released
    Master = Create<korv::TKVTable>("Master");
    Master->SetDatabaseName("SHOP");
    Master->SetTableName("MASTER");
    auto* source = Create<rtl::TDataSource>("MasterSource");
    source->SetDataSet(Master);
    Detail = Create<korv::TKVTable>("Detail");
    Detail->SetDatabaseName("SHOP");
    Detail->SetTableName("DETAIL");
    Detail->SetMasterSource(source);
    Detail->SetMasterFields("ID");
  }
  ~FieldLinkPropertyTest() override {
    Module.reset();
    designintf::UnregisterPackage(kPackage);
    designintf::SetHostDialogs(PreviousDialogs);
  }

  template <class T>
  T* Create(const String& Name) {
    return rtl::As<T>(Module->CreateComponent(T::StaticClass(), Name));
  }

  // The ellipsis of Detail's MasterFields, with Script as the developer in the link designer.
  void EditLink(std::function<bool(designintf::TFieldLinkProperty&)> Script) {
    Designer.Script = std::move(Script);
    designer::TObjectInspector inspector(*Module);
    inspector.SetSelection({Detail});
    Modified = Module->ModifiedCount();
    inspector.Edit("MasterFields");
    Modified = Module->ModifiedCount() - Modified;
  }
  // Detail's link: MasterFields, IndexFieldNames, IndexName.
  Lines Link() const { return {Detail->MasterFields(), Detail->IndexFieldNames(), Detail->IndexName()}; }

  static Lines IndexFields(designintf::TFieldLinkProperty& Editor) {
    rtl::TStringList list;
    Editor.GetFieldNamesForIndex(&list);
    return list.ToVector();
  }

  TTempFolder Temp;
  TFakeLinkDesigner Designer;
  designintf::IHostDialogs* PreviousDialogs = nullptr;
  std::unique_ptr<designer::TOpenModule> Module;
  korv::TKVDatabase* Database = nullptr;
  korv::TKVTable* Master = nullptr;
  korv::TKVTable* Detail = nullptr;
  int Modified = 0;
};

}  // namespace

TEST_F(FieldLinkPropertyTest, TheDesignerSeesAnOpenCopyWithOneIndexPropertyAndTheLink) {
  Detail->SetIndexName("DETAIL_CODE");
  Detail->SetIndexFieldNames("MASTER_ID");
  EditLink([&](designintf::TFieldLinkProperty& e) {
    EXPECT_EQ(e.IndexFieldNames(), "MASTER_ID");
    EXPECT_EQ(e.IndexName(), "") << "index field names win; the index name is not copied";
    EXPECT_EQ(e.MasterFields(), "ID");
    EXPECT_EQ(IndexFields(e), Lines{"MASTER_ID"});
    EXPECT_FALSE(e.IndexBased()) << "SQLite is SQL-based";
    rtl::TIndexDefs* defs = e.IndexDefs();
    EXPECT_NE(defs, nullptr);
    if (defs) {
      EXPECT_NE(defs->Find("DETAIL_MASTER"), nullptr);
      EXPECT_NE(defs->Find("PRIMARY"), nullptr);
    }
    EXPECT_FALSE(Detail->Active()) << "the edited table is never opened";
    EXPECT_EQ(Database->DataSetCount(), 1);
    EXPECT_EQ(e.GetMasterDataSet(), Master);
    return false;
  });
  EXPECT_EQ(Designer.Runs, 1);
  EXPECT_EQ(Database->DataSetCount(), 0) << "the copy is gone";
  EXPECT_FALSE(Database->Connected());

  Detail->SetIndexFieldNames("");
  Detail->SetIndexName("DETAIL_MASTER");
  EditLink([&](designintf::TFieldLinkProperty& e) {
    EXPECT_EQ(e.IndexFieldNames(), "");
    EXPECT_EQ(e.IndexName(), "DETAIL_MASTER");
    EXPECT_EQ(IndexFields(e), (Lines{"MASTER_ID", "CODE"}));
    return false;
  });
}

TEST_F(FieldLinkPropertyTest, ACancelledDesignerWritesNothingBack) {
  Detail->SetIndexName("DETAIL_CODE");
  const Lines before = Link();
  EditLink([](designintf::TFieldLinkProperty& e) {
    e.SetMasterFields("NAME");
    e.SetIndexFieldNames("CODE");
    return false;
  });
  EXPECT_EQ(Link(), before);
  EXPECT_EQ(Modified, 0);
}

TEST_F(FieldLinkPropertyTest, AnAcceptedLinkWritesMasterFieldsAndTheNonEmptyIndexProperty) {
  // Index field names chosen: the table's index name is left as it was.
  Detail->SetIndexName("DETAIL_CODE");
  EditLink([](designintf::TFieldLinkProperty& e) {
    e.SetMasterFields("ID;NAME");
    e.SetIndexFieldNames("MASTER_ID;CODE");
    return true;
  });
  EXPECT_EQ(Link(), (Lines{"ID;NAME", "MASTER_ID;CODE", "DETAIL_CODE"}));
  EXPECT_GE(Modified, 1);
  EXPECT_EQ(Database->DataSetCount(), 0);

  // An index chosen by name: index field names the copy gave up do not stay behind it.
  EditLink([](designintf::TFieldLinkProperty& e) {
    e.SetIndexFieldNames("");
    e.SetIndexName("DETAIL_MASTER");
    return true;
  });
  EXPECT_EQ(Link(), (Lines{"ID;NAME", "", "DETAIL_MASTER"}));
}

TEST_F(FieldLinkPropertyTest, ThePrimaryIndexsDesignerNameSelectsItOnlyWhenExact) {
  Detail->SetIndexName("DETAIL_CODE");
  EditLink([](designintf::TFieldLinkProperty& e) {
    e.SetIndexName(korv::SPrimary);
    EXPECT_EQ(e.IndexName(), "");
    EXPECT_EQ(IndexFields(e), Lines{"ID"});
    return true;
  });
  EXPECT_EQ(Detail->IndexName(), "");

  // The catalogue's own name of the rowid key differs in letter case only: kept as an index name.
  EditLink([](designintf::TFieldLinkProperty& e) {
    e.SetIndexName("PRIMARY");
    EXPECT_EQ(e.IndexName(), "PRIMARY");
    return true;
  });
  EXPECT_EQ(Detail->IndexName(), "PRIMARY");
}

TEST_F(FieldLinkPropertyTest, ATableThatCannotOpenOrADesignerErrorChangesNothing) {
  Detail->SetTableName("NO_SUCH_TABLE");
  const Lines before = Link();
  EXPECT_THROW(EditLink([](designintf::TFieldLinkProperty&) {
                 ADD_FAILURE() << "the designer appeared";
                 return true;
               }),
               rtl::EDatabaseError);
  EXPECT_EQ(Designer.Runs, 0);
  EXPECT_EQ(Link(), before);
  EXPECT_EQ(Database->DataSetCount(), 0);

  Detail->SetTableName("DETAIL");
  EXPECT_THROW(EditLink([](designintf::TFieldLinkProperty& e) -> bool {
                 e.SetMasterFields("NAME");
                 throw rtl::EDatabaseError("the designer failed");
               }),
               rtl::EDatabaseError);
  EXPECT_EQ(Link(), before);
  EXPECT_EQ(Database->DataSetCount(), 0) << "the copy is freed on the error path too";
  EXPECT_FALSE(Database->Connected());

  // Outside Edit the editor has no table to answer from.
  designer::TObjectInspector inspector(*Module);
  inspector.SetSelection({Detail});
  auto editor = inspector.Editor("MasterFields");
  EXPECT_THROW(dynamic_cast<designintf::TFieldLinkProperty&>(*editor).GetIndexName(), rtl::EPropertyError);
}
