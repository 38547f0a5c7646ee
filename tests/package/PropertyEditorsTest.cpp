// The package's name-list and dialog property editors as the designer's object inspector uses
// them: an open data module over SQLite databases built in a temporary folder, design settings
// from a korv.ini of the test's own, the scripted user interface and the designer's module
// services for the code-editor paths.
#include "KVDialogProperties.h"
#include "KVNameListProperties.h"
#include "KVReg.h"

#include "ScopedEnv.h"
#include "TempFolder.h"

#include "designer/ModuleServices.h"
#include "designer/ObjectInspector.h"
#include "designer/OpenModule.h"
#include "designintf/HostDialogs.h"
#include "designintf/Registry.h"
#include "korv/Korv.h"
#include "korv/KVParamsEditor.h"
#include "korv/KVRemoteDatabaseInput.h"
#include "korv/KVSQLEditor.h"
#include "rtl/Registry.h"
#include "vcl/Gestures.h"
#include "vcl/HeadlessUI.h"
#include "vcl/Platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace dclkorv;
using designintf::TPropertyAttribute;
using designintf::TPropertyAttributes;
using rtl::String;
using vcl::TGestureDriver;

namespace {

using Lines = std::vector<String>;

constexpr const char* kPackage = "PropertyEditorTests";

// CUSTOMER's AUTOINCREMENT makes the system table sqlite_sequence.
constexpr const char* kShopSchema = R"(
  CREATE TABLE CUSTOMER (ID INTEGER PRIMARY KEY AUTOINCREMENT, NAME TEXT);
  CREATE TABLE ORDERS (ID INTEGER PRIMARY KEY, CUST_ID INTEGER, AMOUNT REAL);
  INSERT INTO CUSTOMER (NAME) VALUES ('first');
)";

// Notes how the open dialog was set before it answers.
class TOpenDialogProbe : public vcl::TScriptedUserInterface {
public:
  String Filter, FileName;
  int FilterIndex = 0;
  vcl::TOpenOptions Options;
  int Count = 0;

  std::optional<String> ExecuteOpenDialog(vcl::TOpenDialog* Dialog) override {
    if (Count++ == 0) {
      Filter = Dialog->Filter();
      FileName = Dialog->FileName();
      FilterIndex = Dialog->FilterIndex();
      Options = Dialog->Options();
    }
    return TScriptedUserInterface::ExecuteOpenDialog(Dialog);
  }
};

// Host dialogs that note the collection editors opened.
class TRecordingDialogs : public designintf::IHostDialogs {
public:
  struct TCall {
    rtl::TComponent* Component;
    rtl::TCollection* Collection;
    String PropertyName;
    designintf::TColOptions Options;
  };
  void ShowFieldsEditor(designintf::IDesigner*, rtl::TComponent*, designintf::TDSDesignerClass) override {
    ADD_FAILURE() << "fields editor opened";
  }
  void ShowCollectionEditor(designintf::IDesigner*, designintf::TCollectionEditorClass, rtl::TComponent* Component,
                            rtl::TCollection* Collection, const String& PropertyName,
                            designintf::TColOptions Options) override {
    Calls.push_back({Component, Collection, PropertyName, Options});
  }
  bool ExecuteFieldLinkDesigner(designintf::TFieldLinkProperty&) override {
    ADD_FAILURE() << "field-link designer opened";
    return false;
  }
  bool EditStrings(designintf::IDesigner*, rtl::TPersistent*, const String&, rtl::TStrings*) override {
    ADD_FAILURE() << "host string-list editor opened";
    return false;
  }
  std::vector<TCall> Calls;
};

class PropertyEditorsTest : public ::testing::Test {
protected:
  PropertyEditorsTest() : Config("XDG_CONFIG_HOME", Temp.File("config")) {
    std::filesystem::create_directories(Temp.Path() / "settings");
    rtl::TRegistry reg;
    reg.OpenKey("Software\\Korvane", true);
    reg.WriteString("RootDir", Temp.File("settings"));
    PreviousDialogs = designintf::SetHostDialogs(&Dialogs);
    MakeDatabase("shop.db", kShopSchema);
    MakeDatabase("archive.db", "CREATE TABLE OLD_ORDERS (ID INTEGER);");

    Database = AddDatabase("Database1", "SHOP", "shop.db");
    Module->SetSelections({Database});
  }
  ~PropertyEditorsTest() override {
    Module.reset();
    DesignSettings.reset();
    designintf::UnregisterPackage(kPackage);
    designintf::SetHostDialogs(PreviousDialogs);
    korv::DefServerType = SavedServerType;
  }

  // Settings from a korv.ini holding Ini, then the package's property editors registered.
  void Register(const String& Ini = {}) {
    std::ofstream(Temp.File("settings/korv.ini")) << Ini;
    DesignSettings = std::make_unique<TDesignSettings>();
    designintf::TPackageRegistrationScope scope(kPackage);
    RegisterPropertyEditors();
    RegisterDialogPropertyEditors();
  }

  void MakeDatabase(const String& File, const String& Schema) {
    std::ofstream(Temp.File(File));  // an empty file is an empty database
    korv::TKVDatabase setup(nullptr);
    setup.SetDatabaseName("SETUP");
    setup.SetServerType(korv::TKVServerType::stSQLite);
    setup.SetRemoteDatabase(Temp.File(File));
    setup.Execute(Schema);
  }

  static std::unique_ptr<designer::TOpenModule> NewModule(const TTempFolder& Folder) {
    auto root = std::make_unique<rtl::TDataModule>(nullptr);
    root->SetName("DataModule1");
    return std::make_unique<designer::TOpenModule>(std::move(root), Folder.File("DataModule1.dfm"));
  }

  template <class T>
  T* Create(const String& Name) {
    return rtl::As<T>(Module->CreateComponent(T::StaticClass(), Name));
  }
  korv::TKVDatabase* AddDatabase(const String& Name, const String& DatabaseName, const String& File) {
    auto* db = Create<korv::TKVDatabase>(Name);
    db->SetDatabaseName(DatabaseName);
    db->SetServerType(korv::TKVServerType::stSQLite);
    db->SetRemoteDatabase(Temp.File(File));
    return db;
  }

  // The inspector on Selection; Modified calls are counted from here.
  designer::TObjectInspector& Inspect(const designintf::TDesignerSelections& Selection) {
    Inspector.SetSelection(Selection);
    NewModifiedCalls();
    return Inspector;
  }
  // The editor's candidates as it hands them over, before the inspector sorts them.
  Lines RawValues(const String& Path) {
    Lines out;
    Inspector.Editor(Path)->GetValues([&](const String& s) { out.push_back(s); });
    return out;
  }
  // Modified calls since the last call of this.
  int NewModifiedCalls() {
    const int count = Module->ModifiedCount() - SeenModified;
    SeenModified = Module->ModifiedCount();
    return count;
  }
  Lines History() const { return DesignSettings->RecentDatabases()->ToVector(); }

  // The code-editor module of a property of the data module, nil when none is open.
  std::shared_ptr<designer::TTextModule> TextModule(const String& ComponentAndProperty) {
    auto m = Services.Services().FindTextModule("dfm.DataModule1." + ComponentAndProperty);
    return m && !m->IsClosed() ? m : nullptr;
  }

  TTempFolder Temp;
  TScopedEnv Config;
  TOpenDialogProbe UI;
  vcl::TUserInterfaceScope Scope{&UI};
  designer::TDesignerServices Services;
  TRecordingDialogs Dialogs;
  designintf::IHostDialogs* PreviousDialogs = nullptr;
  std::unique_ptr<designer::TOpenModule> Module = NewModule(Temp);
  designer::TObjectInspector Inspector{*Module};
  korv::TKVDatabase* Database = nullptr;
  int SeenModified = 0;
  korv::TKVServerType SavedServerType = korv::DefServerType;
};

const designer::TInspectorRow* FindRow(const std::vector<designer::TInspectorRow>& Rows, const String& Name) {
  for (const auto& r : Rows)
    if (r.Name == Name) return &r;
  return nullptr;
}

}  // namespace

// ------------------------------------------------------------------ registration

TEST_F(PropertyEditorsTest, EachPropertyGetsItsEditorAndAttributes) {
  Register();
  auto* query = Create<korv::TKVQuery>("Query1");
  auto* proc = Create<korv::TKVStoredProc>("StoredProc1");
  auto* table = Create<korv::TKVTable>("Table1");
  auto* script = Create<korv::TKVScript>("Script1");

  using A = TPropertyAttribute;
  const TPropertyAttributes nameList{A::paValueList, A::paMultiSelect, A::paSortList};
  const TPropertyAttributes stringList{A::paMultiSelect, A::paReadOnly, A::paDialog};
  struct TExpect {
    rtl::TComponent* Component;
    const char* Property;
    const char* Editor;
    TPropertyAttributes Attributes;
  };
  for (const TExpect& e : std::vector<TExpect>{
           {Database,
            "Connected",
            "TKVDatabaseConnectedProperty",
            {A::paMultiSelect, A::paValueList, A::paSortList, A::paRevertable}},
           {Database, "RemoteDatabase", "TKVDatabaseProperty", {A::paValueList, A::paDialog}},
           {Database, "SessionName", "TKVSessionNameProperty", nameList},
           {Database, "ParamsFileName", "TKVFileNameProperty", {A::paDialog, A::paRevertable}},
           {Database, "Params", "TKVDatabaseParamsProperty", stringList},
           {query, "DatabaseName", "TKVDatabaseNameProperty", nameList},
           {query, "SessionName", "TKVSessionNameProperty", nameList},
           {query, "Params", "TKVQueryParamsProperty", {A::paDialog, A::paMultiSelect}},
           {query, "SQL", "TKVQuerySQLProperty", stringList},
           {proc, "StoredProcName", "TKVStoredProcNameProperty", nameList},
           {proc, "Params", "TKVStoredProcParamsProperty", {A::paDialog, A::paMultiSelect}},
           {table, "TableName", "TKVTableNameProperty", nameList},
           {table, "MasterFields", "TKVTableFieldLinkProperty", {A::paDialog, A::paRevertable}},
           {script, "DatabaseName", "TKVDatabaseNameProperty", nameList},
           {script, "SessionName", "TKVSessionNameProperty", nameList},
       }) {
    SCOPED_TRACE(e.Component->Name() + "." + e.Property);
    const auto rows = Inspect({e.Component}).Rows();
    const designer::TInspectorRow* row = FindRow(rows, e.Property);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->EditorClass, e.Editor);
    EXPECT_EQ(row->Attributes, e.Attributes);
  }
}

TEST_F(PropertyEditorsTest, WithTheSQLEditorSwitchOffTheHostEditsTheSQL) {
  Register("[SQLEditor]\nEnabled=0\n");
  auto* query = Create<korv::TKVQuery>("Query1");
  const auto rows = Inspect({query}).Rows();
  EXPECT_EQ(FindRow(rows, "SQL")->EditorClass, "TStringListProperty");
  EXPECT_EQ(FindRow(rows, "Params")->EditorClass, "TKVQueryParamsProperty");
}

// ------------------------------------------------------------------ name lists

TEST_F(PropertyEditorsTest, SessionNamesAreEverySessionInSessionsOrder) {
  Register();
  Create<korv::TKVSession>("Session1")->SetSessionName("Zeta");
  Create<korv::TKVSession>("Session2")->SetSessionName("alpha");
  auto* query = Create<korv::TKVQuery>("Query1");
  query->SetSessionName("alpha");  // the component's own name filters nothing

  for (rtl::TComponent* c : std::vector<rtl::TComponent*>{Database, query, Create<korv::TKVScript>("Script1")}) {
    SCOPED_TRACE(c->Name());
    Inspect({c});
    EXPECT_EQ(RawValues("SessionName"), (Lines{"Default", "Zeta", "alpha"}));
    EXPECT_EQ(Inspector.GetValues("SessionName"), (Lines{"alpha", "Default", "Zeta"}));  // sorted by the host
  }
  // Any name can still be typed.
  Inspect({query}).SetValue("SessionName", "Later");
  EXPECT_EQ(query->SessionName(), "Later");
}

TEST_F(PropertyEditorsTest, DatabaseNamesComeFromTheComponentsOwnSession) {
  Register();
  Create<korv::TKVSession>("Session1")->SetSessionName("Reports");
  AddDatabase("Database2", "ARCHIVE", "archive.db")->SetSessionName("Reports");
  AddDatabase("Database3", "AUDIT", "archive.db")->SetSessionName("Reports");
  auto* script = Create<korv::TKVScript>("Script1");
  script->SetSessionName("Reports");
  auto* query = Create<korv::TKVQuery>("Query1");

  EXPECT_EQ(Inspect({script}).GetValues("DatabaseName"), (Lines{"ARCHIVE", "AUDIT"}));
  EXPECT_EQ(Inspect({query}).GetValues("DatabaseName"), Lines{"SHOP"});
  query->SetSessionName("Reports");
  EXPECT_EQ(Inspect({query}).GetValues("DatabaseName"), (Lines{"ARCHIVE", "AUDIT"}));
  // Several selected: the first one's session answers.
  auto* other = Create<korv::TKVQuery>("Query2");
  EXPECT_EQ(Inspect({other, query}).GetValues("DatabaseName"), Lines{"SHOP"});
  // A session that does not exist is the library's error.
  query->SetSessionName("Nowhere");
  EXPECT_THROW(Inspect({query}).GetValues("DatabaseName"), rtl::EDatabaseError);
}

TEST_F(PropertyEditorsTest, TableNamesLeaveSystemTablesOutAndSQLiteHasNoProcedures) {
  Register();
  auto* table = Create<korv::TKVTable>("Table1");
  table->SetDatabaseName("SHOP");
  EXPECT_EQ(Inspect({table}).GetValues("TableName"), (Lines{"CUSTOMER", "ORDERS"}));
  auto* proc = Create<korv::TKVStoredProc>("StoredProc1");
  proc->SetDatabaseName("SHOP");
  EXPECT_EQ(Inspect({proc}).GetValues("StoredProcName"), Lines{});
  // Each drop-down asks the catalogue again.
  Database->Execute("CREATE TABLE LATER (ID INTEGER)");
  EXPECT_EQ(Inspect({table}).GetValues("TableName"), (Lines{"CUSTOMER", "LATER", "ORDERS"}));
}

TEST_F(PropertyEditorsTest, TableNamesCompleteOnlyWhileTheTablesDatabaseIsConnected) {
  Register();
  auto* table = Create<korv::TKVTable>("Table1");
  Inspect({table});
  auto autoFill = [&] { return Inspector.Editor("TableName")->AutoFill(); };

  table->SetSessionName("Nowhere");
  table->SetDatabaseName("SHOP");
  EXPECT_FALSE(autoFill()) << "no such session";
  table->SetSessionName("");
  table->SetDatabaseName("MISSING");
  EXPECT_FALSE(autoFill()) << "no such database in the session";
  table->SetDatabaseName("SHOP");
  ASSERT_FALSE(Database->Connected());
  EXPECT_FALSE(autoFill()) << "database not connected";
  EXPECT_EQ(Inspector.Complete("TableName", "cu"), std::nullopt);
  EXPECT_FALSE(Database->Connected()) << "asking does not connect";

  Database->Open();
  EXPECT_TRUE(autoFill());
  EXPECT_EQ(Inspector.Complete("TableName", "cu"), "CUSTOMER");
}

// ------------------------------------------------------------------ remote databases

TEST_F(PropertyEditorsTest, AnEmptyHistoryOffersOnlyThePlaceholderWhichIsNeverStored) {
  Register();
  Database->SetRemoteDatabase("shop.db");
  Inspect({Database});
  EXPECT_EQ(Inspector.GetValues("RemoteDatabase"), Lines{"<history list>"});

  Inspector.SetValue("RemoteDatabase", "<history list>");
  EXPECT_EQ(Database->RemoteDatabase(), "shop.db");
  EXPECT_EQ(NewModifiedCalls(), 0);
  // Only the exact text is refused.
  Inspector.SetValue("RemoteDatabase", "<History List>");
  EXPECT_EQ(Database->RemoteDatabase(), "<History List>");
  EXPECT_EQ(NewModifiedCalls(), 1);
}

TEST_F(PropertyEditorsTest, TheHistoryIsOfferedInItsOwnOrderForOneDatabaseOnly) {
  Register("[RecentDatabases]\nItem00=zeta.db\nItem01=alpha.db\nItem02=mid.db\n");
  EXPECT_EQ(Inspect({Database}).GetValues("RemoteDatabase"), (Lines{"zeta.db", "alpha.db", "mid.db"}));
  Inspector.SetValue("RemoteDatabase", "alpha.db");
  EXPECT_EQ(Database->RemoteDatabase(), "alpha.db");

  auto* second = AddDatabase("Database2", "ARCHIVE", "archive.db");
  EXPECT_EQ(FindRow(Inspect({Database, second}).Rows(), "RemoteDatabase"), nullptr);
}

TEST_F(PropertyEditorsTest, TheEllipsisAsksTheLibrarysInputDialog) {
  Register();
  const String shop = Database->RemoteDatabase();
  Inspect({Database});
  UI.QueueForm("TKVSQLiteDatabaseDlg", [&](TGestureDriver& d) {
    EXPECT_EQ(rtl::As<korv::TKVSQLiteDatabaseDlg>(d.Form())->edDatabaseFile->Text(), shop);
    d.Click("btCancel");
  });
  Inspector.Edit("RemoteDatabase");
  EXPECT_EQ(Database->RemoteDatabase(), shop);
  EXPECT_EQ(NewModifiedCalls(), 0);

  UI.QueueForm("TKVSQLiteDatabaseDlg", [&](TGestureDriver& d) {
    d.Type("edDatabaseFile", Temp.File("archive.db"));
    d.Click("btOk");
  });
  Inspector.Edit("RemoteDatabase");
  EXPECT_EQ(Database->RemoteDatabase(), Temp.File("archive.db"));
  EXPECT_EQ(NewModifiedCalls(), 1);
  EXPECT_EQ(History(), Lines{}) << "choosing is not connecting";
  EXPECT_TRUE(UI.AllConsumed());
}

TEST_F(PropertyEditorsTest, ConnectingRecordsTheFirstSelectedDatabaseOnly) {
  Register();
  auto* archive = AddDatabase("Database2", "ARCHIVE", "archive.db");
  Inspect({archive, Database}).SetValue("Connected", "true");
  EXPECT_TRUE(archive->Connected());
  EXPECT_TRUE(Database->Connected());
  EXPECT_EQ(History(), Lines{Temp.File("archive.db")});
  EXPECT_EQ(NewModifiedCalls(), 1);

  Inspector.SetValue("Connected", "False");
  EXPECT_FALSE(archive->Connected());
  EXPECT_EQ(History(), Lines{Temp.File("archive.db")});

  Inspect({Database}).SetValue("Connected", "TRUE");
  EXPECT_EQ(History(), (Lines{Temp.File("shop.db"), Temp.File("archive.db")}));
}

TEST_F(PropertyEditorsTest, AFailedConnectionRecordsNothing) {
  Register();
  auto* missing = AddDatabase("Database2", "MISSING", "missing.db");
  Inspect({missing});
  EXPECT_THROW(Inspector.SetValue("Connected", "True"), rtl::EDatabaseError);
  EXPECT_FALSE(missing->Connected());
  EXPECT_EQ(History(), Lines{});
  EXPECT_FALSE(std::filesystem::exists(Temp.File("missing.db")));
}

// ------------------------------------------------------------------ parameter collections

TEST_F(PropertyEditorsTest, ParameterCollectionsShowTheirClassAndOpenTheCollectionEditor) {
  Register();
  auto* empty = Create<korv::TKVQuery>("Query1");
  auto* full = Create<korv::TKVQuery>("Query2");
  full->SQL()->SetText("select * from CUSTOMER where ID = :ID and NAME = :NAME");
  ASSERT_EQ(full->ParamCount(), 2);
  auto* proc = Create<korv::TKVStoredProc>("StoredProc1");
  EXPECT_EQ(FindRow(Inspect({empty}).Rows(), "Params")->Value, "(TParams)");
  EXPECT_EQ(FindRow(Inspect({full}).Rows(), "Params")->Value, "(TParams)");
  EXPECT_EQ(FindRow(Inspect({proc}).Rows(), "Params")->Value, "(TParams)");

  // The first selected query's parameters, none to be added, deleted or moved; the collection
  // editor reports its own changes.
  Inspect({full, empty}).Edit("Params");
  ASSERT_EQ(Dialogs.Calls.size(), 1u);
  EXPECT_EQ(Dialogs.Calls[0].Component, full);
  EXPECT_EQ(Dialogs.Calls[0].Collection, full->Params());
  EXPECT_EQ(Dialogs.Calls[0].PropertyName, "Params");
  EXPECT_EQ(Dialogs.Calls[0].Options, designintf::TColOptions{});
  EXPECT_EQ(NewModifiedCalls(), 0);
}

// ------------------------------------------------------------------ parameters file

TEST_F(PropertyEditorsTest, TheParamsFileDialogStartsOnTheCurrentNameAndTakesOnlyAnExistingFile) {
  Register();
  std::ofstream(Temp.File("conn.ini")) << "[x]\n";
  Database->SetParamsFileName(Temp.File("old.ini"));
  const int owned = vcl::Application->ComponentCount();
  Inspect({Database});

  // A name that names no file is refused and the dialog asks again; then cancelled.
  UI.QueueOpenDialog(Temp.File("missing.ini"));
  UI.QueueAnswer(vcl::mrOk);
  UI.QueueOpenDialog(std::nullopt);
  Inspector.Edit("ParamsFileName");
  EXPECT_EQ(UI.FileName, Temp.File("old.ini"));
  EXPECT_EQ(UI.Filter, "Ini-files (*.ini)|*.INI|Text files (*.txt)|*.TXT|All files (*.*)|*.*");
  EXPECT_EQ(UI.FilterIndex, 1);
  EXPECT_TRUE(UI.Options.Contains(vcl::ofPathMustExist));
  EXPECT_TRUE(UI.Options.Contains(vcl::ofFileMustExist));
  EXPECT_EQ(UI.Messages().size(), 1u);
  EXPECT_EQ(Database->ParamsFileName(), Temp.File("old.ini"));
  EXPECT_EQ(NewModifiedCalls(), 0);

  UI.QueueOpenDialog(Temp.File("conn.ini"));
  Inspector.Edit("ParamsFileName");
  EXPECT_EQ(Database->ParamsFileName(), Temp.File("conn.ini"));
  EXPECT_EQ(NewModifiedCalls(), 1);
  EXPECT_TRUE(UI.AllConsumed());
  EXPECT_EQ(vcl::Application->ComponentCount(), owned) << "the dialog is freed";
}

// ------------------------------------------------------------------ connection parameters

TEST_F(PropertyEditorsTest, TheParamsDialogWritesBackOnlyWhatItChanged) {
  Register();
  Database->Params()->SetText("BusyTimeout=5\n");
  rtl::TStrings* own = Database->Params();
  Inspect({Database});

  UI.QueueForm("TKVParamsEditorDlg", [](TGestureDriver& d) {
    d.Type("meParams", "BusyTimeout=9");
    d.Click("btCancel");
  });
  Inspector.Edit("Params");
  EXPECT_EQ(Database->Params()->ToVector(), Lines{"BusyTimeout=5"});
  EXPECT_EQ(NewModifiedCalls(), 0);

  UI.QueueForm("TKVParamsEditorDlg", [](TGestureDriver& d) {
    d.Type("meParams", "BusyTimeout=9\nReadOnly=1");
    d.Click("btOk");
  });
  Inspector.Edit("Params");
  EXPECT_EQ(Database->Params(), own);
  EXPECT_EQ(Database->Params()->ToVector(), (Lines{"BusyTimeout=9", "ReadOnly=1"}));
  EXPECT_EQ(NewModifiedCalls(), 1);
  EXPECT_TRUE(UI.AllConsumed());
}

TEST_F(PropertyEditorsTest, TheParamsDialogsDefaultsAreTheDesignSettings) {
  Register("[TKVDatabase_Params]\nBusyTimeout=100\nReadOnly=1\n");
  Database->Params()->SetText("BusyTimeout=5\n");
  UI.QueueForm("TKVParamsEditorDlg", [](TGestureDriver& d) {
    d.Click("btDefaults");
    d.Click("btOk");
  });
  Inspect({Database}).Edit("Params");
  EXPECT_EQ(Database->Params()->ToVector(), (Lines{"BusyTimeout=100", "ReadOnly=1"}));

  // Called directly: a nil list is ignored, a list is replaced.
  auto editor = Inspector.Editor("Params");
  auto* params = dynamic_cast<TKVDatabaseParamsProperty*>(editor.get());
  ASSERT_NE(params, nullptr);
  params->GetDefaultParams(nullptr);
  rtl::TStringList list;
  list.SetText("USER NAME=x\nOTHER=1\nMORE=2\n");
  params->GetDefaultParams(&list);
  EXPECT_EQ(list.ToVector(), (Lines{"BusyTimeout=100", "ReadOnly=1"}));
}

TEST_F(PropertyEditorsTest, TheParamsDialogHandsChangedLinesToTheCodeEditor) {
  Register();
  Database->Params()->SetText("BusyTimeout=5\n");
  UI.QueueForm("TKVParamsEditorDlg", [](TGestureDriver& d) {
    d.Type("meParams", "BusyTimeout=7");
    d.Click("btCodeEditor");
  });
  Inspect({Database}).Edit("Params");
  auto module = TextModule("Database1.Params");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->Text(), "BusyTimeout=7\n");
  EXPECT_TRUE(module->IsModified());
  EXPECT_EQ(Database->Params()->ToVector(), Lines{"BusyTimeout=5"}) << "the code editor carries the change";
  EXPECT_EQ(NewModifiedCalls(), 0);
}

// With Alt held down, or with the list already open in the code editor, no dialog is shown:
// the scripted interface has no form queued and would fail on one.
TEST_F(PropertyEditorsTest, AltOpensTheParamsInTheCodeEditorAndAnOpenModuleComesToTheFront) {
  Register();
  Database->Params()->SetText("BusyTimeout=5\n");
  Inspect({Database});
  UI.SetKeyDown(vcl::VK_MENU, true);
  Inspector.Edit("Params");
  auto module = TextModule("Database1.Params");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->Text(), "BusyTimeout=5\n");
  EXPECT_FALSE(module->IsModified());
  const int shown = module->ShowCount();

  Inspector.Edit("Params");  // Alt still down
  UI.SetKeyDown(vcl::VK_MENU, false);
  Inspector.Edit("Params");
  EXPECT_EQ(module->ShowCount(), shown + 2);
  EXPECT_EQ(Services.Services().TextModules().size(), 1u);
  EXPECT_EQ(NewModifiedCalls(), 0);
}

// ------------------------------------------------------------------ SQL

TEST_F(PropertyEditorsTest, TheSQLDialogIsCaptionedRootQueryPropertyAndReportsAChange) {
  Register();
  auto* query = Create<korv::TKVQuery>("Query1");
  query->SQL()->SetText("select * from CUSTOMER");
  NewModifiedCalls();
  Inspect({query});

  UI.QueueForm("TKVSQLEditorDlg", [](TGestureDriver& d) {
    EXPECT_EQ(d.Form()->Caption(), "DataModule1.Query1.SQL");
    d.Type("meSQL", "select * from ORDERS");
    d.Click("btCancel");
  });
  Inspector.Edit("SQL");
  EXPECT_EQ(query->SQL()->ToVector(), Lines{"select * from CUSTOMER"});
  EXPECT_EQ(NewModifiedCalls(), 0);

  UI.QueueForm("TKVSQLEditorDlg", [](TGestureDriver& d) {
    d.Type("meSQL", "select * from ORDERS");
    d.Click("btOk");
  });
  Inspector.Edit("SQL");
  EXPECT_EQ(query->SQL()->ToVector(), Lines{"select * from ORDERS"});
  EXPECT_EQ(NewModifiedCalls(), 1);
  EXPECT_TRUE(UI.AllConsumed());
}

TEST_F(PropertyEditorsTest, AltOpensTheSQLInTheCodeEditorAndAnOpenModuleComesToTheFront) {
  Register();
  auto* query = Create<korv::TKVQuery>("Query1");
  query->SQL()->SetText("select * from CUSTOMER");
  NewModifiedCalls();
  Inspect({query});

  UI.SetKeyDown(vcl::VK_MENU, true);
  Inspector.Edit("SQL");
  UI.SetKeyDown(vcl::VK_MENU, false);
  auto module = TextModule("Query1.SQL");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->Text(), "select * from CUSTOMER\n");
  EXPECT_FALSE(module->IsModified());

  const int shown = module->ShowCount();
  Inspector.Edit("SQL");
  EXPECT_EQ(module->ShowCount(), shown + 1);

  // The dialog's code-editor button, once the module has closed, opens it marked changed.
  ASSERT_TRUE(module->CloseModule(true));
  UI.QueueForm("TKVSQLEditorDlg", [](TGestureDriver& d) {
    d.Type("meSQL", "select 1");
    d.Click("btCodeEditor");
  });
  Inspector.Edit("SQL");
  auto reopened = TextModule("Query1.SQL");
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->Text(), "select 1\n");
  EXPECT_TRUE(reopened->IsModified());
  EXPECT_EQ(query->SQL()->ToVector(), Lines{"select * from CUSTOMER"});
  EXPECT_EQ(NewModifiedCalls(), 0);
}
