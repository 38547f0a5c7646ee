// The database editor on a real TKVDatabase of an open data module: how the properties dialog
// is filled and written back, what its default-parameter and server-type buttons keep in the
// design settings, and the connection-parameters verb beside the code editor.
#include "EditorTestFixture.h"

#include "korv/KVDatabaseEditDlg.h"
#include "korv/KVParamsEditor.h"
#include "vcl/Gestures.h"

using namespace editortest;
using namespace dclkorv;
using korv::TKVDatabaseEditDlg;
using korv::TKVDesignDBOption;
using korv::TKVDesignDBOptions;
using korv::TKVServerType;
using vcl::TGestureDriver;

namespace {

// A query whose closing fails, so that disconnecting the database it is open on raises.
class TStubbornQuery : public korv::TKVQuery {
  RTL_CLASS(TStubbornQuery, korv::TKVQuery)
  using TKVQuery::TKVQuery;
  bool Refuse = true;

protected:
  void CloseCursor() override {
    if (Refuse) throw rtl::EDatabaseError("cannot close");
    TKVQuery::CloseCursor();
  }
};

class DatabaseEditorTest : public EditorFixture {
protected:
  DatabaseEditorTest() {
    Database->SetParams(nullptr);
    Database->Params()->SetText("USER NAME=sa\nTIMEOUT=5\n");
    Database->SetKeepConnection(false);
    Database->SetLoginPrompt(false);
    Database->SetDesignOptions(TKVDesignDBOptions{TKVDesignDBOption::ddoStoreConnected});
    Editor = std::make_unique<TKVDatabaseEditor>(Database, Module.get());
  }

  // Runs the properties dialog (verb 2) with Script acting in it.
  void EditWith(std::function<void(TKVDatabaseEditDlg*, TGestureDriver&)> Script) {
    UI.QueueForm("TKVDatabaseEditDlg",
                 [Script](TGestureDriver& d) { Script(rtl::As<TKVDatabaseEditDlg>(d.Form()), d); });
    const int owned = vcl::Application->ComponentCount();
    NewModifiedCalls();
    try {
      Editor->ExecuteVerb(2);
    } catch (...) {
      EXPECT_EQ(vcl::Application->ComponentCount(), owned);  // the dialog is gone on every path
      throw;
    }
    EXPECT_EQ(vcl::Application->ComponentCount(), owned);
    EXPECT_TRUE(UI.AllConsumed());
  }

  std::unique_ptr<TKVDatabaseEditor> Editor;
};

Lines ListOf(rtl::TStrings* s) { return s->ToVector(); }

}  // namespace

rtl::TClass TStubbornQuery::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TStubbornQuery>("TStubbornQuery").Build();
  return info;
}

TEST_F(DatabaseEditorTest, TheDialogShowsTheComponentAndCancelChangesNothing) {
  UseSettings(true, "[RecentDatabases]\nItem00=/data/a.db\nItem01=/data/b.db\n");
  EditWith([this](TKVDatabaseEditDlg* f, TGestureDriver& d) {
    EXPECT_EQ(f->GetDatabaseName(), "SHOP");
    EXPECT_EQ(f->GetServerType(), TKVServerType::stSQLite);
    EXPECT_EQ(f->GetRemoteDatabase(), Database->RemoteDatabase());
    EXPECT_EQ(f->GetRemoteDatabaseHistory(), DesignSettings->RecentDatabases());  // the list itself
    EXPECT_FALSE(f->GetKeepConnection());
    EXPECT_FALSE(f->GetLoginPrompt());
    EXPECT_FALSE(f->GetDefaultDatabase());
    EXPECT_TRUE(f->GetStoreConnected());
    EXPECT_EQ(ListOf(f->GetParams()), (Lines{"USER NAME=sa", "TIMEOUT=5"}));
    EXPECT_TRUE(f->btLoadDefaults->Enabled() && f->btSaveDefaults->Enabled() && f->btSaveDefaultSrvType->Enabled());
    d.Type("edDatabaseName", "OTHER");
    d.Check("cbKeepConnection", true);
    d.Escape();
  });
  EXPECT_EQ(Database->DatabaseName(), "SHOP");
  EXPECT_FALSE(Database->KeepConnection());
  EXPECT_EQ(NewModifiedCalls(), 0);
  EXPECT_EQ(ListOf(DesignSettings->RecentDatabases()), (Lines{"/data/a.db", "/data/b.db"}));  // not added to
}

TEST_F(DatabaseEditorTest, OkWritesEveryValueBackAndTellsTheDesignerOnce) {
  UseSettings(true);
  Database->SetDesignOptions(TKVDesignDBOptions{TKVDesignDBOption::ddoStoreConnected});
  EditWith([](TKVDatabaseEditDlg* f, TGestureDriver& d) {
    d.Type("edDatabaseName", "SALES");
    f->SetServerType(TKVServerType::stPostgreSQL);
    f->SetRemoteDatabase("db.example:5432/sales");
    d.Check("cbKeepConnection", true);
    d.Check("cbLoginPrompt", true);
    d.Check("cbDefaultDatabase", true);
    d.Check("cbStoreConnected", false);
    d.Type("meParams", "USER NAME=sales");
    d.Click("btOk");
  });
  EXPECT_EQ(Database->DatabaseName(), "SALES");
  EXPECT_EQ(Database->ServerType(), TKVServerType::stPostgreSQL);
  EXPECT_EQ(Database->RemoteDatabase(), "db.example:5432/sales");
  EXPECT_TRUE(Database->KeepConnection());
  EXPECT_TRUE(Database->LoginPrompt());
  EXPECT_EQ(Database->DesignOptions(), TKVDesignDBOptions{TKVDesignDBOption::ddoDefaultDatabase});
  EXPECT_EQ(ListOf(Database->Params()), Lines{"USER NAME=sales"});
  EXPECT_EQ(NewModifiedCalls(), 1);

  // A double-click is the same verb; both options the other way round.
  UI.QueueForm("TKVDatabaseEditDlg", [](TGestureDriver& d) {
    d.Check("cbDefaultDatabase", false);
    d.Check("cbStoreConnected", true);
    d.Click("btOk");
  });
  Editor->Edit();
  EXPECT_TRUE(UI.AllConsumed());
  EXPECT_EQ(Database->DesignOptions(), TKVDesignDBOptions{TKVDesignDBOption::ddoStoreConnected});
  EXPECT_EQ(NewModifiedCalls(), 1);
}

TEST_F(DatabaseEditorTest, ASetterThatRaisesLeavesTheLaterValuesUnwritten) {
  UseSettings(true);
  auto* query = CreateDataSet<TStubbornQuery>("Query1");
  query->SQL()->SetText("select 1 as A");
  query->Open();  // connects the database; changing where it connects to closes the query
  ASSERT_TRUE(Database->Connected());

  // Params, name and server type stay as they are; the remote database is the first change.
  try {
    EditWith([this](TKVDatabaseEditDlg* f, TGestureDriver& d) {
      f->SetRemoteDatabase(Temp.File("other.db"));
      d.Check("cbKeepConnection", true);
      d.Check("cbLoginPrompt", true);
      d.Check("cbDefaultDatabase", true);
      d.Click("btOk");
    });
    ADD_FAILURE() << "no error";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "cannot close");
  }
  EXPECT_EQ(Database->RemoteDatabase(), Temp.File("shop.db"));
  EXPECT_FALSE(Database->KeepConnection());
  EXPECT_FALSE(Database->LoginPrompt());
  EXPECT_EQ(Database->DesignOptions(), TKVDesignDBOptions{TKVDesignDBOption::ddoStoreConnected});
  EXPECT_EQ(NewModifiedCalls(), 0);

  query->Refuse = false;

  // The dialog is gone: its handlers no longer reach one.
  Editor->SaveDefaultSrvType(nullptr);
  EXPECT_EQ(ReadIni().find("ServerType"), String::npos);
}

TEST_F(DatabaseEditorTest, SavedDefaultsStayWhenTheDialogIsCancelled) {
  UseSettings(true, "[TKVDatabase_Params]\nUSER NAME=dflt\nROLE=reader\n");
  EditWith([](TKVDatabaseEditDlg* f, TGestureDriver& d) {
    d.Click("btLoadDefaults");
    EXPECT_EQ(ListOf(f->GetParams()), (Lines{"USER NAME=dflt", "ROLE=reader"}));
    d.Type("meParams", "USER NAME=new\nTIMEOUT=9");
    d.Click("btSaveDefaults");
    f->SetServerType(TKVServerType::stPostgreSQL);
    d.Click("btSaveDefaultSrvType");
    d.Escape();
  });
  EXPECT_EQ(ListOf(DesignSettings->DbParams()), (Lines{"USER NAME=new", "TIMEOUT=9"}));
  EXPECT_EQ(korv::DefServerType, TKVServerType::stPostgreSQL);
  EXPECT_NE(ReadIni().find("TIMEOUT=9"), String::npos);
  EXPECT_EQ(TDesignSettings().ReadDefaultServerType(), TKVServerType::stPostgreSQL);
  // The component is untouched.
  EXPECT_EQ(ListOf(Database->Params()), (Lines{"USER NAME=sa", "TIMEOUT=5"}));
  EXPECT_EQ(Database->ServerType(), TKVServerType::stSQLite);
  EXPECT_EQ(NewModifiedCalls(), 0);
}

TEST_F(DatabaseEditorTest, DefaultParamsReplaceAListAndIgnoreNil) {
  UseSettings(true, "[TKVDatabase_Params]\nUSER NAME=dflt\n");
  Editor->GetDefaultParams(nullptr);
  rtl::TStringList list;
  list.SetText("A=1\nB=2\n");
  Editor->GetDefaultParams(&list);
  EXPECT_EQ(ListOf(&list), Lines{"USER NAME=dflt"});

  rtl::TStringList none;
  DesignSettings->SaveDbParams(&none);
  Editor->GetDefaultParams(&list);
  EXPECT_EQ(list.Count(), 0);

  // Outside the dialog the button handlers do nothing.
  list.SetText("X=1\n");
  DesignSettings->SaveDbParams(&list);
  Editor->LoadDefaultParams(nullptr);
  Editor->SaveDefaultParams(nullptr);
  EXPECT_EQ(ListOf(DesignSettings->DbParams()), Lines{"X=1"});
}

TEST_F(DatabaseEditorTest, ParametersVerbEditsTheComponentsOwnList) {
  UseSettings(true, "[TKVDatabase_Params]\nUSER NAME=dflt\n");
  NewModifiedCalls();
  UI.QueueForm("TKVParamsEditorDlg", [](TGestureDriver& d) {
    d.Click("btDefaults");
    d.Click("btOk");
  });
  Editor->ExecuteVerb(3);
  EXPECT_TRUE(UI.AllConsumed());
  EXPECT_EQ(ListOf(Database->Params()), Lines{"USER NAME=dflt"});
  EXPECT_EQ(NewModifiedCalls(), 1);

  UI.QueueForm("TKVParamsEditorDlg", [](TGestureDriver& d) { d.Escape(); });
  Editor->ExecuteVerb(3);
  EXPECT_EQ(NewModifiedCalls(), 0);
}

TEST_F(DatabaseEditorTest, ParametersGoToTheCodeEditorAndAnOpenModuleClosesFirst) {
  UseSettings(true);
  UI.QueueForm("TKVParamsEditorDlg", [](TGestureDriver& d) { d.Click("btCodeEditor"); });
  Editor->ExecuteVerb(3);
  auto module = Services.Services().FindTextModule("dfm.DataModule1.Database1.Params");
  ASSERT_TRUE(module);
  EXPECT_EQ(module->Text(), "USER NAME=sa\nTIMEOUT=5\n");
  EXPECT_FALSE(module->IsModified());

  // Unchanged, the module closes without a question and the dialog opens.
  UI.QueueForm("TKVParamsEditorDlg", [](TGestureDriver& d) { d.Escape(); });
  Editor->ExecuteVerb(3);
  EXPECT_TRUE(UI.AllConsumed());
  EXPECT_TRUE(module->IsClosed());

  // A changed module the developer keeps open: no dialog.
  UI.QueueForm("TKVParamsEditorDlg", [](TGestureDriver& d) { d.Click("btCodeEditor"); });
  Editor->ExecuteVerb(3);
  module = Services.Services().FindTextModule("dfm.DataModule1.Database1.Params");
  ASSERT_TRUE(module);
  module->ReplaceText("USER NAME=edited\n");
  UI.QueueAnswer(vcl::mrCancel);
  Editor->ExecuteVerb(3);
  EXPECT_TRUE(UI.AllConsumed());
  EXPECT_FALSE(module->IsClosed());

  // Discarding the changes closes it and leaves the parameters as they were.
  UI.QueueAnswer(vcl::mrNo);
  UI.QueueForm("TKVParamsEditorDlg", [](TGestureDriver& d) {
    EXPECT_EQ(rtl::As<korv::TKVParamsEditorDlg>(d.Form())->meParams->Lines()->ToVector(),
              (Lines{"USER NAME=sa", "TIMEOUT=5"}));
    d.Escape();
  });
  Editor->ExecuteVerb(3);
  EXPECT_TRUE(UI.AllConsumed());
  EXPECT_TRUE(module->IsClosed());
}
