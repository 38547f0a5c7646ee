// The Firebird driver and a database component on a real Firebird server (scripts/fb-cluster
// exports KORV_FB_*): databases created and opened over the network as the test user, the
// catalogue read there, and the server's refusals (a wrong password, an unknown user, a missing
// database, no server) reported as it gives them. Each test creates a database file of its own
// in the server's data folder and removes it afterwards.
#include "korv/KVDatabase.h"
#include "korv/KVSession.h"
#include "korv/drivers/Registry.h"
#include "korv/firebird/FbDatabase.h"
#include "rtl/Exceptions.h"

#include "FbTestServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

using namespace korv;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const char* const kRefusedLogin =
    "Your user name and password are not defined. Ask your database administrator to set up a Firebird login.";

std::string ConnectError(const drivers::ConnectionSpec& spec) {
  try {
    drivers::GetDriver(TKVServerType::stFirebird).Connect(spec);
  } catch (const rtl::EDatabaseError& e) {
    return e.Message();
  }
  return "(connected)";
}

class FirebirdServerTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto server = korvtest::TFbTestServer::FromEnvironment();
    if (!server) KORV_SKIP_OR_FAIL(korvtest::kNoFbTestServer);
    Server = *server;
    File = korvtest::TFbTestServer::FreshFile("lib");
    Spec = SpecFor(Server.User, Server.Password);
    drivers::firebird::CreateDatabase(Spec);
    Created = true;
  }
  void TearDown() override {
    // The server closes the file with its last attachment; the folder is this machine's.
    if (Created) std::filesystem::remove(Server.DataDir + "/" + File);
  }

  drivers::ConnectionSpec SpecFor(const std::string& User, const std::string& Password) const {
    drivers::ConnectionSpec spec;
    spec.RemoteDatabase = Server.Address(File);
    spec.Params = {{"USER NAME", User}, {"PASSWORD", Password}};
    return spec;
  }

  korvtest::TFbTestServer Server;
  std::string File;
  drivers::ConnectionSpec Spec;
  bool Created = false;
};

TEST_F(FirebirdServerTest, ADatabaseCreatedOnTheServerIsOpenedAndItsCatalogueRead) {
  auto db = drivers::GetDriver(TKVServerType::stFirebird).Connect(Spec);
  db->Execute(
      "CREATE TABLE ORDER_LINE (ORDER_NO INTEGER NOT NULL, LINE_NO SMALLINT NOT NULL, QTY NUMERIC(9,2),"
      " CONSTRAINT PK_ORDER_LINE PRIMARY KEY (ORDER_NO, LINE_NO))");
  db->Execute("CREATE TABLE \"Notes\" (\"Id\" INTEGER NOT NULL PRIMARY KEY, BODY VARCHAR(200))");
  db->Execute(
      "CREATE PROCEDURE LINE_COUNT (ORDER_NO INTEGER) RETURNS (LINES INTEGER) AS\n"
      "BEGIN\n  SELECT COUNT(*) FROM ORDER_LINE WHERE ORDER_NO = :ORDER_NO INTO :LINES;\n  SUSPEND;\nEND");

  EXPECT_THAT(db->TableNames("", false), ElementsAre("Notes", "ORDER_LINE"));
  EXPECT_THAT(db->ColumnNames("order_line"), ElementsAre("ORDER_NO", "LINE_NO", "QTY"));
  EXPECT_THAT(db->ColumnNames("\"Notes\""), ElementsAre("Id", "BODY"));
  const auto keys = db->IndexInfo("ORDER_LINE");
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].ColumnName, "ORDER_NO");
  EXPECT_EQ(keys[1].ColumnName, "LINE_NO");
  EXPECT_EQ(keys[0].IndexType & 4, 4) << "the primary key's index";
  EXPECT_THAT(db->ProcedureNames(), ElementsAre("LINE_COUNT"));
  EXPECT_EQ(db->DescribeProcedure("LINE_COUNT").size(), 2u);

  // Creating it again is refused by the server, and what it holds stays.
  EXPECT_THROW(drivers::firebird::CreateDatabase(Spec), rtl::EDatabaseError);
  EXPECT_THAT(db->TableNames("", false), ElementsAre("Notes", "ORDER_LINE"));
}

TEST_F(FirebirdServerTest, RefusalsAreTheServersMessageUnderTheDatabasesAddress) {
  const std::string prefix = "Cannot open Firebird database \"" + Server.Address(File) + "\": ";
  EXPECT_EQ(ConnectError(SpecFor(Server.User, "wrong")), prefix + kRefusedLogin);
  EXPECT_EQ(ConnectError(SpecFor("NO_SUCH_USER", Server.Password)), prefix + kRefusedLogin);

  // A database the server does not have: named, and not created by connecting.
  drivers::ConnectionSpec missing = Spec;
  missing.RemoteDatabase = Server.Address("missing.fdb");
  EXPECT_THAT(ConnectError(missing), HasSubstr("\"" + Server.Address("missing.fdb") + "\": "));
  EXPECT_THAT(ConnectError(missing), HasSubstr("No such file or directory"));
  EXPECT_FALSE(std::filesystem::exists(Server.DataDir + "/missing.fdb"));

  // A port where no server listens.
  drivers::ConnectionSpec nobody = Spec;
  nobody.RemoteDatabase = Server.Host + "/1:" + Server.Database;
  EXPECT_THAT(ConnectError(nobody), HasSubstr("Unable to complete network request to host"));
}

TEST_F(FirebirdServerTest, TheLoginDialogsPasswordOpensTheServerAndAWrongOneIsRefused) {
  const auto saved = Sessions->LoginHook();
  std::string answer = Server.Password;
  int asked = 0;
  Sessions->SetLoginHook([&](TKVDatabase*, rtl::TStrings* login) {
    ++asked;
    login->SetValues("PASSWORD", answer);
    return true;
  });
  TKVDatabase db(nullptr);
  db.SetDatabaseName("SERVER");
  db.SetServerType(TKVServerType::stFirebird);
  db.SetRemoteDatabase(Server.Address(File));
  db.Params()->Add("USER NAME=" + Server.User);  // no password: the prompt is on, so it asks
  db.Open();
  EXPECT_TRUE(db.Connected());
  db.Close();

  answer = "wrong";
  try {
    db.Open();
    ADD_FAILURE() << "connected";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("Cannot connect to database 'SERVER': "));
    EXPECT_THAT(e.Message(), HasSubstr(kRefusedLogin));
  }
  Sessions->SetLoginHook(saved);
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(db.Connected());
}

}  // namespace
