// The login dialog: installed as the sessions' login hook when the library loads, asked on the
// real connect path of a PostgreSQL database that has no password, and refusing the connection
// when cancelled.
#include "korv/KVDatabase.h"
#include "korv/KVLoginDialog.h"
#include "korv/KVSession.h"
#include "vcl/Gestures.h"
#include "vcl/HeadlessUI.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace korv;
using namespace vcl;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// Taken when the test program starts, before any test can change the hook.
const bool HookInstalledAtLoad = Sessions && static_cast<bool>(Sessions->LoginHook());

struct LoginDialogTest : ::testing::Test {
  LoginDialogTest() {
    Saved = Sessions->LoginHook();
    Pg.SetDatabaseName("PG");
    Pg.SetServerType(TKVServerType::stPostgreSQL);
    Pg.SetRemoteDatabase("127.0.0.1:1/none");  // nothing listens there
    Pg.Params()->Add("USER NAME=alice");
  }
  ~LoginDialogTest() override { Sessions->SetLoginHook(Saved); }

  // The message of the error that opening Pg raises.
  String OpenError() {
    try {
      Pg.Open();
    } catch (const rtl::EDatabaseError& e) {
      return e.Message();
    }
    return "(connected)";
  }

  TScriptedUserInterface UI;
  TUserInterfaceScope Scope{&UI};
  TKVSessionList::TLoginHook Saved;
  TKVDatabase Pg{nullptr};
};

}  // namespace

TEST_F(LoginDialogTest, IsTheLoginHookFromLoadAndCancellingRefusesTheConnection) {
  EXPECT_TRUE(HookInstalledAtLoad);
  Sessions->SetLoginHook(nullptr);
  InstallLoginDialog();
  UI.QueueForm("TKVLoginDlg", [](TGestureDriver& d) {
    auto* f = rtl::As<TKVLoginDlg>(d.Form());
    EXPECT_EQ(f->lblDatabase->Caption(), "Database: PG");
    EXPECT_EQ(f->edUserName->Text(), "alice");
    EXPECT_EQ(f->edPassword->PasswordChar(), "*");
    EXPECT_EQ(f->ActiveControl(), f->edPassword) << "the user name is known";
    d.Type("edPassword", "secret");
    d.Escape();
  });
  const String error = OpenError();
  EXPECT_THAT(error, HasSubstr("cancelled"));
  EXPECT_THAT(error, HasSubstr("PG"));
  EXPECT_FALSE(Pg.Connected());
  EXPECT_TRUE(UI.AllConsumed());
}

TEST_F(LoginDialogTest, OkHandsTheTypedNameAndPasswordToTheConnection) {
  String given;
  Sessions->SetLoginHook([&](TKVDatabase* db, rtl::TStrings* login) {
    const bool ok = KVLoginHook(db, login);
    given = login->Text();
    return ok;
  });
  UI.QueueForm("TKVLoginDlg", [](TGestureDriver& d) {
    d.Type("edUserName", "bob");
    d.Type("edPassword", "secret");
    d.Enter();
  });
  // The login passed: what fails now is reaching the server.
  EXPECT_THAT(OpenError(), Not(HasSubstr("cancelled")));
  EXPECT_EQ(given, "USER NAME=bob\nPASSWORD=secret\n");
  EXPECT_TRUE(UI.AllConsumed());

  // Asked directly with no user name, the dialog starts on it.
  rtl::TStringList login({"USER NAME=", "PASSWORD="});
  UI.QueueForm("TKVLoginDlg", [](TGestureDriver& d) {
    EXPECT_EQ(d.Form()->ActiveControl()->Name(), "edUserName");
    d.Click("btCancel");
  });
  EXPECT_FALSE(KVLoginHook(&Pg, &login));
  EXPECT_EQ(login.ToVector(), (std::vector<String>{"USER NAME=", "PASSWORD="}));
}

// Against the test server that scripts/pg-cluster starts, when one runs.
TEST_F(LoginDialogTest, ConnectsWithTheDialogsPasswordToARealServer) {
  auto env = [](const char* name) {
    const char* v = std::getenv(name);
    return String(v ? v : "");
  };
  if (env("KORV_PG_PORT").empty() || env("KORV_PG_USER").empty() || env("KORV_PG_DATABASE").empty())
    GTEST_SKIP() << "no PostgreSQL test server (KORV_PG_* not set)";
  InstallLoginDialog();
  Pg.SetRemoteDatabase(env("KORV_PG_HOST") + ":" + env("KORV_PG_PORT") + "/" + env("KORV_PG_DATABASE"));
  Pg.Params()->Clear();
  const String user = env("KORV_PG_USER"), password = env("KORV_PG_PASSWORD");
  UI.QueueForm("TKVLoginDlg", [&](TGestureDriver& d) {
    d.Type("edUserName", user);
    d.Type("edPassword", password);
    d.Click("btOk");
  });
  Pg.Open();
  EXPECT_TRUE(Pg.Connected());
  EXPECT_TRUE(UI.AllConsumed());
}
