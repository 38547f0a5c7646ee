// The component editors as the designer uses them: the editor the registrations give for each
// component of an open data module, its menu with the SQL editor switch off and on, what its
// verbs and a double-click open (about box, fields editor, collection editor, UpdateSQL editor,
// SQL dialog) and when the designer is told of a change.
#include "EditorTestFixture.h"

#include "KVStringsModule.h"
#include "KVUpdSEd.h"

#include "korv/KVSQLEditor.h"
#include "vcl/Gestures.h"

#include <fmt/format.h>

#include <cstdlib>
#include <unistd.h>

using namespace editortest;
using namespace dclkorv;
using designintf::TColOption;
using designintf::TColOptions;
using vcl::TGestureDriver;

namespace {

class ComponentEditorsTest : public EditorFixture {
protected:
  // Runs Action expecting the about box, which the developer closes.
  template <class F>
  void ExpectAboutBox(F&& Action) {
    UI.QueueForm("TKVAboutDlg", [](TGestureDriver& d) { d.Escape(); });
    Action();
    EXPECT_TRUE(UI.AllConsumed()) << "no about box";
  }
};

const String kAbout = GetProductCaption();

}  // namespace

TEST_F(ComponentEditorsTest, MenusFollowTheSQLEditorSwitch) {
  auto* query = CreateDataSet<korv::TKVQuery>("Query1");
  auto* macroQuery = CreateDataSet<korv::TKVMacroQuery>("MacroQuery1");
  auto* table = CreateDataSet<korv::TKVTable>("Table1");
  auto* storedProc = CreateDataSet<korv::TKVStoredProc>("StoredProc1");
  auto* update = Create<korv::TKVUpdateSQL>("UpdateSQL1");
  const String fields = korv::SDatasetDesignerVerb;

  for (bool on : {false, true}) {
    SCOPED_TRACE(on ? "switch on" : "switch off");
    UseSettings(on);
    auto q = EditorFor(query);
    EXPECT_EQ(q->ClassName(), "TKVQueryEditor");
    Lines queryVerbs{kAbout, "-", fields, korv::SBindVerb};
    if (on) queryVerbs.push_back(korv::SEditSQLVerb);
    EXPECT_EQ(Verbs(*q), queryVerbs);
    // Index 4 keeps its caption when the count hides it; past it there is none.
    EXPECT_EQ(q->GetVerb(4), korv::SEditSQLVerb);
    EXPECT_EQ(q->GetVerb(5), "");

    auto m = EditorFor(macroQuery);
    EXPECT_EQ(m->ClassName(), "TKVMacroQueryEditor");
    Lines macroVerbs = queryVerbs;
    macroVerbs.push_back(korv::SBindMacrosVerb);
    EXPECT_EQ(Verbs(*m), macroVerbs);
    EXPECT_EQ(m->GetVerb(m->GetVerbCount()), "");

    EXPECT_EQ(Verbs(*EditorFor(table)), (Lines{kAbout, "-", fields}));
    EXPECT_EQ(EditorFor(table)->ClassName(), "TKVDataSetEditor");
    EXPECT_EQ(Verbs(*EditorFor(storedProc)), (Lines{kAbout, "-", fields, korv::SBindVerb}));
    EXPECT_EQ(Verbs(*EditorFor(update)), (Lines{kAbout, "-", korv::SUpdateSQLEditor}));
    EXPECT_EQ(Verbs(*EditorFor(Database)), (Lines{kAbout, "-", korv::SEditDatabaseVerb, korv::SBindVerb}));
  }
  // Without settings there is no SQL editor.
  DesignSettings.reset();
  EXPECT_EQ(EditorFor(query)->GetVerbCount(), 4);
}

TEST_F(ComponentEditorsTest, EveryComponentClassGetsItsEditor) {
  struct TRow {
    rtl::TClass Class;
    const char* Editor;
  };
  const TRow rows[] = {
      {korv::TKVSession::StaticClass(), "TKVDefaultEditor"},
      {korv::TKVDatabase::StaticClass(), "TKVDatabaseEditor"},
      {korv::TKVTable::StaticClass(), "TKVDataSetEditor"},
      {korv::TKVQuery::StaticClass(), "TKVQueryEditor"},
      {korv::TKVMacroQuery::StaticClass(), "TKVMacroQueryEditor"},
      {korv::TKVStoredProc::StaticClass(), "TKVStoredProcEditor"},
      {korv::TKVUpdateSQL::StaticClass(), "TKVUpdateSQLEditor"},
      {korv::TKVScript::StaticClass(), "TKVScriptEditor"},
      {korv::TKVMonitor::StaticClass(), "TKVDefaultEditor"},
      {korv::TKVSQLBaseServer::StaticClass(), "TKVDefaultEditor"},
  };
  for (const TRow& row : rows)
    EXPECT_EQ(designintf::GetComponentEditorClass(row.Class)->Name, row.Editor) << row.Class->Name;
}

TEST_F(ComponentEditorsTest, DefaultEditorsShowTheAboutBoxOnADoubleClick) {
  auto* session = Create<korv::TKVSession>("Session1");
  session->SetSessionName("S1");
  auto* script = Create<korv::TKVScript>("Script1");
  auto* monitor = Create<korv::TKVMonitor>("Monitor1");
  auto* server = Create<korv::TKVSQLBaseServer>("SQLBaseServer1");
  UseSettings(true);
  NewModifiedCalls();
  for (rtl::TComponent* c : std::vector<rtl::TComponent*>{session, script, monitor, server}) {
    SCOPED_TRACE(c->Name());
    auto editor = EditorFor(c);
    EXPECT_EQ(Verbs(*editor), Lines{kAbout});
    ExpectAboutBox([&] { editor->Edit(); });
    ExpectAboutBox([&] { editor->ExecuteVerb(0); });
    editor->ExecuteVerb(1);  // past the menu: nothing shows
    EXPECT_EQ(editor->GetVerb(1), "");
    EXPECT_EQ(editor->GetVerb(3), "");
  }
  EXPECT_EQ(NewModifiedCalls(), 0);
}

TEST_F(ComponentEditorsTest, DataSetsOpenTheFieldsEditorOnADoubleClick) {
  UseSettings(true);
  std::vector<rtl::TComponent*> dataSets{
      CreateDataSet<korv::TKVTable>("Table1"), CreateDataSet<korv::TKVQuery>("Query1"),
      CreateDataSet<korv::TKVMacroQuery>("MacroQuery1"), CreateDataSet<korv::TKVStoredProc>("StoredProc1")};
  NewModifiedCalls();
  for (rtl::TComponent* ds : dataSets) {
    SCOPED_TRACE(ds->Name());
    auto editor = EditorFor(ds);
    Dialogs.Calls.clear();
    editor->Edit();
    editor->ExecuteVerb(2);
    ASSERT_EQ(Dialogs.Calls.size(), 2u);
    EXPECT_EQ(Dialogs.Calls[0].Kind, "fields");
    EXPECT_EQ(Dialogs.Calls[0].Component, ds);
    ExpectAboutBox([&] { editor->ExecuteVerb(0); });
    editor->ExecuteVerb(1);  // the separator
    EXPECT_EQ(Dialogs.Calls.size(), 2u);
  }
  // The table editor has nothing past its three verbs.
  auto table = EditorFor(dataSets[0]);
  table->ExecuteVerb(3);
  EXPECT_EQ(table->GetVerb(3), "");
  EXPECT_EQ(Dialogs.Calls.size(), 2u);
  EXPECT_EQ(NewModifiedCalls(), 0);
}

TEST_F(ComponentEditorsTest, UpdateObjectOpensTheUpdateSQLEditorAndReportsOnlyAcceptedEdits) {
  auto* update = Create<korv::TKVUpdateSQL>("UpdateSQL1");
  auto editor = EditorFor(update);
  NewModifiedCalls();

  UI.QueueForm("TKVUpdateSQLEditForm", [](TGestureDriver& d) { d.Escape(); });
  editor->Edit();
  EXPECT_TRUE(UI.AllConsumed());
  EXPECT_EQ(NewModifiedCalls(), 0);

  UI.QueueForm("TKVUpdateSQLEditForm", [](TGestureDriver& d) {
    d.Page("pcUpdateSQL", "SQL");
    d.Type("meSQLText", "select 2");
    d.Click("btOk");
  });
  UI.QueueAnswer(vcl::mrYes);  // the modify statement is blank: go on
  editor->ExecuteVerb(2);
  EXPECT_TRUE(UI.AllConsumed());
  EXPECT_EQ(update->GetSQLIndex(0)->ToVector(), Lines{"select 2"});
  EXPECT_EQ(NewModifiedCalls(), 1);

  editor->ExecuteVerb(1);
  editor->ExecuteVerb(3);
  EXPECT_EQ(editor->GetVerb(3), "");
  EXPECT_EQ(NewModifiedCalls(), 0);
}

TEST_F(ComponentEditorsTest, EditorsOnAComponentOfTheWrongClassOpenNothing) {
  UseSettings(true);
  auto* table = CreateDataSet<korv::TKVTable>("Table1");
  auto* query = CreateDataSet<korv::TKVQuery>("Query1");
  auto* session = Create<korv::TKVSession>("Session1");
  session->SetSessionName("S1");

  // Every index casts first, the about verb included.
  TKVQueryEditor queryEditor(table, Module.get());
  for (int i : {0, 2, 3, 4}) EXPECT_THROW(queryEditor.ExecuteVerb(i), rtl::EInvalidCast) << i;
  EXPECT_THROW(queryEditor.Edit(), rtl::EInvalidCast);
  TKVStoredProcEditor procEditor(query, Module.get());
  EXPECT_THROW(procEditor.ExecuteVerb(3), rtl::EInvalidCast);
  EXPECT_THROW(procEditor.ExecuteVerb(0), rtl::EInvalidCast);

  // The macro query editor casts only for its macros; the rest goes through the query editor.
  TKVMacroQueryEditor macroEditor(query, Module.get());
  EXPECT_THROW(macroEditor.ExecuteVerb(5), rtl::EInvalidCast);
  macroEditor.ExecuteVerb(3);  // the parameters of a plain query
  ASSERT_EQ(Dialogs.Calls.size(), 1u);
  Dialogs.Calls.clear();

  TKVDatabaseEditor dbEditor(session, Module.get());
  EXPECT_THROW(dbEditor.ExecuteVerb(2), rtl::EInvalidCast);
  EXPECT_THROW(dbEditor.ExecuteVerb(3), rtl::EInvalidCast);
  EXPECT_THROW(dbEditor.Edit(), rtl::EInvalidCast);
  TKVUpdateSQLEditor updateEditor(query, Module.get());
  EXPECT_THROW(updateEditor.Edit(), rtl::EInvalidCast);

  EXPECT_TRUE(Dialogs.Calls.empty());
  EXPECT_TRUE(UI.Log().empty());  // no dialog and no message showed
}

TEST_F(ComponentEditorsTest, QueryBindVerbsEditExistingItemsOnlyAndNeverReportAChange) {
  UseSettings(false);
  auto* query = CreateDataSet<korv::TKVQuery>("Query1");
  query->SQL()->SetText("select * from T where A = :A and B = :B");
  auto* macroQuery = CreateDataSet<korv::TKVMacroQuery>("MacroQuery1");
  macroQuery->SQL()->SetText("select * from &TAB where A = :A");
  NewModifiedCalls();

  EditorFor(query)->ExecuteVerb(3);
  auto macroEditor = EditorFor(macroQuery);
  macroEditor->ExecuteVerb(3);
  macroEditor->ExecuteVerb(4);  // the macros, with the switch off

  ASSERT_EQ(Dialogs.Calls.size(), 3u);
  const auto& params = Dialogs.Calls[0];
  EXPECT_EQ(params.Kind, "collection");
  EXPECT_EQ(params.Component, query);
  EXPECT_EQ(params.Collection, query->Params());
  EXPECT_EQ(params.PropertyName, "Params");
  EXPECT_EQ(params.Options, TColOptions{});
  EXPECT_EQ(Dialogs.Calls[1].Collection, macroQuery->Params());
  const auto& macros = Dialogs.Calls[2];
  EXPECT_EQ(macros.Component, macroQuery);
  EXPECT_EQ(macros.Collection, macroQuery->Macros());
  EXPECT_EQ(macros.PropertyName, "Macros");
  EXPECT_EQ(macros.Options, TColOptions{});
  EXPECT_EQ(NewModifiedCalls(), 0);

  // With the switch on the macros move to index 5 and index 4 is the SQL dialog.
  UseSettings(true);
  Dialogs.Calls.clear();
  macroEditor->ExecuteVerb(5);
  ASSERT_EQ(Dialogs.Calls.size(), 1u);
  EXPECT_EQ(Dialogs.Calls[0].PropertyName, "Macros");
  UI.QueueForm("TKVSQLEditorDlg", [](TGestureDriver& d) { d.Escape(); });
  macroEditor->ExecuteVerb(4);
  EXPECT_TRUE(UI.AllConsumed());
}

TEST_F(ComponentEditorsTest, StoredProcParametersAllowAddingWhereTheServerDescribesNone) {
  auto* proc = CreateDataSet<korv::TKVStoredProc>("StoredProc1");
  proc->SetStoredProcName("NO_SUCH_PROC");
  proc->Params()->CreateParam(rtl::TFieldType::ftInteger, "ID", rtl::TParamType::ptInput);
  auto editor = EditorFor(proc);
  NewModifiedCalls();
  const TColOptions addDelete{TColOption::coAdd, TColOption::coDelete};

  // Not connected: parameters are listed by hand.
  editor->ExecuteVerb(3);
  ASSERT_EQ(Dialogs.Calls.size(), 1u);
  EXPECT_EQ(Dialogs.Calls[0].Component, proc);
  EXPECT_EQ(Dialogs.Calls[0].Collection, proc->Params());
  EXPECT_EQ(Dialogs.Calls[0].PropertyName, "Params");
  EXPECT_EQ(Dialogs.Calls[0].Options, addDelete);

  // Connected: fixed when the server describes procedures, which SQLite does not.
  Database->SetConnected(true);
  ASSERT_TRUE(IsDataSetDatabaseConnected(proc));
  editor->ExecuteVerb(3);
  ASSERT_EQ(Dialogs.Calls.size(), 2u);
  EXPECT_EQ(Dialogs.Calls[1].Options, proc->DescriptionsAvailable() ? TColOptions{} : addDelete);
  EXPECT_FALSE(proc->Prepared());
  EXPECT_EQ(NewModifiedCalls(), 0);

  // A procedure without parameters is prepared first; the server's error reaches the caller
  // and no editor opens.
  proc->Params()->Clear();
  EXPECT_THROW(editor->ExecuteVerb(3), rtl::EDatabaseError);
  EXPECT_EQ(Dialogs.Calls.size(), 2u);
}

TEST_F(ComponentEditorsTest, DataSetDatabaseLookups) {
  auto* proc = CreateDataSet<korv::TKVStoredProc>("StoredProc1");
  EXPECT_EQ(FindStoredProcDatabase(proc), Database);
  EXPECT_FALSE(IsDataSetDatabaseConnected(proc));
  Database->SetConnected(true);
  EXPECT_TRUE(IsDataSetDatabaseConnected(proc));

  proc->SetDatabaseName("OTHER");
  EXPECT_EQ(FindStoredProcDatabase(proc), nullptr);
  EXPECT_FALSE(IsDataSetDatabaseConnected(proc));
  proc->SetSessionName("NoSuchSession");
  EXPECT_FALSE(IsDataSetDatabaseConnected(proc));
  EXPECT_THROW(FindStoredProcDatabase(proc), rtl::EDatabaseError);

  EXPECT_EQ(GetDesignerRootName(Module.get()), "DataModule1");
}

TEST_F(ComponentEditorsTest, EditSQLTitlesTheDialogAndReportsAcceptedChanges) {
  UseSettings(false);
  auto* query = CreateDataSet<korv::TKVQuery>("Query1");
  query->SQL()->SetText("select 1");
  auto editor = EditorFor(query);
  NewModifiedCalls();

  // Hidden by the count, index 4 still runs the dialog.
  UI.QueueForm("TKVSQLEditorDlg", [](TGestureDriver& d) {
    EXPECT_EQ(d.Form()->Caption(), "DataModule1.Query1.SQL");
    d.Type("meSQL", "select 2");
    d.Click("btOk");
  });
  editor->ExecuteVerb(4);
  EXPECT_TRUE(UI.AllConsumed());
  EXPECT_EQ(query->SQL()->ToVector(), Lines{"select 2"});
  EXPECT_EQ(NewModifiedCalls(), 1);

  UI.QueueForm("TKVSQLEditorDlg", [](TGestureDriver& d) {
    d.Type("meSQL", "select 3");
    d.Escape();
  });
  editor->ExecuteVerb(4);
  EXPECT_EQ(query->SQL()->ToVector(), Lines{"select 2"});
  EXPECT_EQ(NewModifiedCalls(), 0);
}

TEST_F(ComponentEditorsTest, EditSQLCanHandTheTextToTheCodeEditor) {
  UseSettings(true);
  auto* query = CreateDataSet<korv::TKVQuery>("Query1");
  query->SQL()->SetText("select 1");
  auto editor = EditorFor(query);
  NewModifiedCalls();

  UI.QueueForm("TKVSQLEditorDlg", [](TGestureDriver& d) {
    d.Type("meSQL", "select 2\nfrom T");
    d.Click("btCodeEditor");
  });
  editor->ExecuteVerb(4);
  auto module = Services.Services().FindTextModule("dfm.DataModule1.Query1.SQL");
  ASSERT_TRUE(module);
  EXPECT_EQ(module->Text(), "select 2\nfrom T\n");
  EXPECT_TRUE(module->IsModified());
  EXPECT_EQ(module->ShowCount(), 1);
  EXPECT_EQ(query->SQL()->ToVector(), Lines{"select 1"});  // until the module is saved
  EXPECT_EQ(NewModifiedCalls(), 0);

  // The next Edit SQL closes the module first: a refusal opens nothing.
  UI.QueueAnswer(vcl::mrCancel, "Save changes to dfm.DataModule1.Query1.SQL?");
  editor->ExecuteVerb(4);
  EXPECT_TRUE(UI.AllConsumed());
  EXPECT_FALSE(module->IsClosed());

  // Saving on the way out carries the text into the property before the dialog shows it.
  UI.QueueAnswer(vcl::mrYes);
  UI.QueueForm("TKVSQLEditorDlg", [](TGestureDriver& d) {
    EXPECT_EQ(rtl::As<korv::TKVSQLEditorDlg>(d.Form())->meSQL->Lines()->ToVector(), (Lines{"select 2", "from T"}));
    d.Escape();
  });
  editor->ExecuteVerb(4);
  EXPECT_TRUE(UI.AllConsumed());
  EXPECT_TRUE(module->IsClosed());
  EXPECT_FALSE(Services.Services().FindModule("DataModule1.Query1.SQL"));
}

// A procedure the server describes, on the PostgreSQL server the test scripts start
// (scripts/pg-cluster exports KORV_PG_*).
TEST_F(ComponentEditorsTest, StoredProcParametersOfADescribingServerAreFixedWhileConnected) {
  auto env = [](const char* name) {
    const char* value = std::getenv(name);
    return String(value ? value : "");
  };
  if (env("KORV_PG_PORT").empty() || env("KORV_PG_USER").empty() || env("KORV_PG_DATABASE").empty())
    GTEST_SKIP() << "no PostgreSQL server: KORV_PG_PORT, KORV_PG_USER and KORV_PG_DATABASE are not set";

  auto* pg = Create<korv::TKVDatabase>("PgDatabase");
  pg->SetDatabaseName("PG");
  pg->SetServerType(korv::TKVServerType::stPostgreSQL);
  pg->SetRemoteDatabase(env("KORV_PG_HOST") + ":" + env("KORV_PG_PORT") + "/" + env("KORV_PG_DATABASE"));
  pg->Params()->SetText("USER NAME=" + env("KORV_PG_USER") + "\nPASSWORD=" + env("KORV_PG_PASSWORD"));
  pg->SetLoginPrompt(false);
  pg->SetKeepConnection(false);
  const String schema = fmt::format("kv_editors_{}", ::getpid());
  pg->Execute("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
  pg->Execute("CREATE SCHEMA " + schema);
  pg->Execute("CREATE FUNCTION " + schema + ".add_one(a integer) RETURNS integer AS 'select a + 1' LANGUAGE sql");
  struct TDropSchema {
    korv::TKVDatabase* Db;
    String Schema;
    ~TDropSchema() {
      try {
        Db->Execute("DROP SCHEMA IF EXISTS " + Schema + " CASCADE");
      } catch (...) {
      }
    }
  } drop{pg, schema};

  auto* proc = Create<korv::TKVStoredProc>("StoredProc1");
  proc->SetDatabaseName("PG");
  proc->SetStoredProcName(schema + ".add_one");
  auto editor = EditorFor(proc);
  NewModifiedCalls();

  // No parameters yet: prepared for the verb (connecting only for that), left unprepared, and
  // editable by hand while the database is not connected.
  ASSERT_EQ(proc->GetParamsCount(), 0);
  editor->ExecuteVerb(3);
  ASSERT_EQ(Dialogs.Calls.size(), 1u);
  EXPECT_EQ(Dialogs.Calls[0].Options, (TColOptions{TColOption::coAdd, TColOption::coDelete}));
  EXPECT_GT(proc->GetParamsCount(), 0);
  EXPECT_FALSE(proc->Prepared());
  EXPECT_FALSE(pg->Connected());

  // Connected and described: fixed. A procedure prepared before is unprepared after.
  pg->SetKeepConnection(true);
  pg->SetConnected(true);
  proc->Prepare();
  editor->ExecuteVerb(3);
  ASSERT_EQ(Dialogs.Calls.size(), 2u);
  EXPECT_EQ(Dialogs.Calls[1].Options, TColOptions{});
  EXPECT_FALSE(proc->Prepared());
  EXPECT_EQ(NewModifiedCalls(), 0);
}
