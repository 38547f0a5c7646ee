// The database properties dialog as the database editor drives it: filled from a real database
// component, shown through the scripted user interface, read back into the component.
#include "korv/KVDatabase.h"
#include "korv/KVDatabaseEditDlg.h"
#include "vcl/Gestures.h"
#include "vcl/HeadlessUI.h"

#include <gtest/gtest.h>

using namespace korv;
using namespace vcl;
using Lines = std::vector<rtl::String>;

namespace {

struct DatabaseEditDlgTest : ::testing::Test {
  TScriptedUserInterface UI;
  TUserInterfaceScope Scope{&UI};
  std::unique_ptr<TKVDatabaseEditDlg> Dlg = TKVDatabaseEditDlg::Create(Application, 0);

  int Show(TScriptedUserInterface::TGestureScript Script) {
    UI.QueueForm("TKVDatabaseEditDlg", std::move(Script));
    const int result = Dlg->ShowModal();
    EXPECT_TRUE(UI.AllConsumed());
    return result;
  }
};

}  // namespace

TEST_F(DatabaseEditDlgTest, NewDialogOffersTheLibrarysServerTypesAndANewDatabasesValues) {
  const TKVServerType saved = DefServerType;
  DefServerType = TKVServerType::stPostgreSQL;
  Dlg->SetDatabaseName("stale");
  Dlg->LoadData(nullptr);
  DefServerType = saved;
  EXPECT_EQ(Dlg->cbServerType->Items()->ToVector(), (Lines{"SQLite", "PostgreSQL", "Firebird", "MariaDB"}));
  EXPECT_EQ(Dlg->GetServerType(), TKVServerType::stPostgreSQL);
  EXPECT_EQ(Dlg->GetDatabaseName(), "");
  EXPECT_TRUE(Dlg->GetKeepConnection() && Dlg->GetLoginPrompt());
  EXPECT_FALSE(Dlg->GetDefaultDatabase() || Dlg->GetStoreConnected());
  EXPECT_EQ(Dlg->GetParams()->Count(), 0);
  // Nothing to call yet: the default buttons wait for their handlers.
  EXPECT_FALSE(Dlg->btLoadDefaults->Enabled() || Dlg->btSaveDefaults->Enabled() ||
               Dlg->btSaveDefaultSrvType->Enabled());

  rtl::TStringList start({"USER NAME=bob"});
  Dlg->LoadData(&start);
  EXPECT_EQ(Dlg->GetParams()->ToVector(), (Lines{"USER NAME=bob"}));
}

TEST_F(DatabaseEditDlgTest, ValuesOfADatabaseGoInShowAndComeBackEdited) {
  TKVDatabase db(nullptr);
  db.SetDatabaseName("SHOP");
  db.SetServerType(TKVServerType::stSQLite);
  db.SetRemoteDatabase("shop.db");
  db.SetKeepConnection(false);
  db.Params()->SetText("TIMEOUT=5\nMODE=rw\n");
  db.SetDesignOptions({TKVDesignDBOption::ddoStoreConnected});

  Dlg->LoadData(nullptr);
  Dlg->SetDatabaseName(db.DatabaseName());
  Dlg->SetServerType(db.ServerType());
  Dlg->SetRemoteDatabase(db.RemoteDatabase());
  Dlg->SetKeepConnection(db.KeepConnection());
  Dlg->SetLoginPrompt(db.LoginPrompt());
  Dlg->SetDefaultDatabase(db.DesignOptions().Contains(TKVDesignDBOption::ddoDefaultDatabase));
  Dlg->SetStoreConnected(db.DesignOptions().Contains(TKVDesignDBOption::ddoStoreConnected));
  Dlg->SetParams(db.Params());
  db.Params()->Clear();  // the dialog holds a copy

  EXPECT_EQ(Show([](TGestureDriver& d) {
              auto* f = rtl::As<TKVDatabaseEditDlg>(d.Form());
              EXPECT_EQ(f->edDatabaseName->Text(), "SHOP");
              EXPECT_EQ(f->cbServerType->Text(), "SQLite");
              EXPECT_EQ(f->cbRemoteDatabase->Text(), "shop.db");
              EXPECT_FALSE(f->cbKeepConnection->Checked());
              EXPECT_TRUE(f->cbLoginPrompt->Checked() && f->cbStoreConnected->Checked());
              EXPECT_EQ(f->meParams->Lines()->ToVector(), (Lines{"TIMEOUT=5", "MODE=rw"}));
              d.Type("edDatabaseName", "SALES");
              d.Choose("cbServerType", "PostgreSQL");
              d.Type("cbRemoteDatabase", "db.example:5433/sales");
              d.Check("cbKeepConnection", true);
              d.Check("cbLoginPrompt", false);
              d.Check("cbDefaultDatabase", true);
              d.Check("cbStoreConnected", false);
              d.Type("meParams", "USER NAME=alice\nSSLMODE=require");
              d.Click("btOk");
            }),
            mrOk);
  EXPECT_EQ(Dlg->GetDatabaseName(), "SALES");
  EXPECT_EQ(Dlg->GetServerType(), TKVServerType::stPostgreSQL);
  EXPECT_EQ(Dlg->GetRemoteDatabase(), "db.example:5433/sales");
  EXPECT_TRUE(Dlg->GetKeepConnection() && Dlg->GetDefaultDatabase());
  EXPECT_FALSE(Dlg->GetLoginPrompt() || Dlg->GetStoreConnected());
  db.SetParams(Dlg->GetParams());
  EXPECT_EQ(db.Params()->ToVector(), (Lines{"USER NAME=alice", "SSLMODE=require"}));

  EXPECT_EQ(Show([](TGestureDriver& d) { d.Escape(); }), mrCancel);
}

TEST_F(DatabaseEditDlgTest, HistoryIsTheCallersListShownInItsOrderAndLeftAlone) {
  rtl::TStringList history({"zeta.db", "alpha.db"});
  Dlg->LoadData(nullptr);
  Dlg->SetRemoteDatabase("mine.db");
  Dlg->SetRemoteDatabaseHistory(&history);
  history.Add("middle.db");  // read again when the dialog shows
  EXPECT_EQ(Dlg->GetRemoteDatabaseHistory(), &history);

  Show([](TGestureDriver& d) {
    auto* f = rtl::As<TKVDatabaseEditDlg>(d.Form());
    EXPECT_EQ(f->cbRemoteDatabase->Items()->ToVector(), (Lines{"zeta.db", "alpha.db", "middle.db"}));
    EXPECT_EQ(f->cbRemoteDatabase->Text(), "mine.db");
    d.Choose("cbRemoteDatabase", "alpha.db");
    d.Click("btOk");
  });
  EXPECT_EQ(Dlg->GetRemoteDatabase(), "alpha.db");
  Dlg.reset();
  EXPECT_EQ(history.ToVector(), (Lines{"zeta.db", "alpha.db", "middle.db"}));
}

TEST_F(DatabaseEditDlgTest, DefaultButtonsCallTheirHandlersWithTheButton) {
  rtl::TStringList savedParams({"USER NAME=default"});
  TKVServerType savedType = TKVServerType::stSQLite;
  std::vector<rtl::TObject*> senders;
  Dlg->LoadData(nullptr);
  Dlg->SetOnLoadDefaultParamsClick([&](rtl::TObject* s) {
    senders.push_back(s);
    Dlg->SetParams(&savedParams);
  });
  Dlg->SetOnSaveDefaultParamsClick([&](rtl::TObject* s) {
    senders.push_back(s);
    savedParams.Assign(Dlg->GetParams());
  });
  Dlg->SetOnSaveDefaultSrvTypeClick([&](rtl::TObject* s) {
    senders.push_back(s);
    savedType = Dlg->GetServerType();
  });

  Show([](TGestureDriver& d) {
    auto* f = rtl::As<TKVDatabaseEditDlg>(d.Form());
    d.Click("btLoadDefaults");
    EXPECT_EQ(f->meParams->Lines()->ToVector(), (Lines{"USER NAME=default"}));
    d.Type("meParams", "USER NAME=carol");
    d.Click("btSaveDefaults");
    d.Choose("cbServerType", "PostgreSQL");
    d.Click("btSaveDefaultSrvType");
    d.Escape();
  });
  EXPECT_EQ(savedParams.ToVector(), (Lines{"USER NAME=carol"}));
  EXPECT_EQ(savedType, TKVServerType::stPostgreSQL);
  EXPECT_EQ(senders, (std::vector<rtl::TObject*>{Dlg->btLoadDefaults, Dlg->btSaveDefaults, Dlg->btSaveDefaultSrvType}));
}

TEST_F(DatabaseEditDlgTest, LoadDefaultsFallsBackToTheDefaultParamsSource) {
  Dlg->LoadData(nullptr);
  Dlg->SetGetDefaultParams([](rtl::TStrings* list) { list->SetText("A=1\nB=2"); });
  EXPECT_TRUE(Dlg->btLoadDefaults->Enabled());
  EXPECT_FALSE(Dlg->btSaveDefaults->Enabled());
  Show([](TGestureDriver& d) {
    d.Click("btLoadDefaults");
    d.Click("btOk");
  });
  EXPECT_EQ(Dlg->GetParams()->ToVector(), (Lines{"A=1", "B=2"}));
}

TEST_F(DatabaseEditDlgTest, EllipsisEditsTheRemoteDatabaseForTheChosenServerType) {
  Dlg->LoadData(nullptr);
  Dlg->SetServerType(TKVServerType::stPostgreSQL);
  Dlg->SetRemoteDatabase("db.example/sales");
  UI.QueueForm("TKVPostgreSQLDatabaseDlg", [](TGestureDriver& d) {
    d.Type("edPort", "5433");
    d.Click("btOk");
  });
  Show([](TGestureDriver& d) {
    d.Click("btRemoteDatabase");
    d.Click("btOk");
  });
  EXPECT_EQ(Dlg->GetRemoteDatabase(), "db.example:5433/sales");
}
