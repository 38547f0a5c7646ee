// korv on the example shop built by korv-fbcreate: the example script, `korv updatesql` and
// `korv data` on ShopFb.dfm, through the embedded engine on a database file, and on a real
// Firebird server (scripts/fb-cluster exports KORV_FB_*) with the password in a parameters file.
#include "FbTestServer.h"
#include "KorvRun.h"

#include <nlohmann/json.hpp>

namespace {

class FirebirdShopTest : public TKorvTest {
protected:
  void SetUp() override {
    Write("ShopFb.dfm", ReadSource("examples/ShopFb.dfm"));
    const std::string cmd = Quote(KORV_FBCREATE) + " " + Quote(Temp.File("shop.fdb")) + " " +
                            Quote(std::string(KORV_SOURCE_DIR) + "/examples/shop-firebird.sql");
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  }
};

const char* const kTour = R"(== The object tree
ShopModule
  CreateViews
  ! CustomersUpdate
  Shop {ShopSession}
    Firebird | shop.fdb {ShopDB}
      CLOSE_ORDER {CloseOrder}
        Params
      PART {Parts}
      select CUST_NO, NAME, CITY, TEL as PHONE from CUSTOMER {Customers}
        Params
  ShopMonitor

== What the database offers: tables for Parts, procedures for CloseOrder
AUDIT_LOG
CUSTOMER
ORDER_LINE
ORDERS
PART
CLOSE_ORDER

== The UpdateSQL editor on the customer query: the table's columns and key from the database

== The statements it generated
-- ModifySQL
update CUSTOMER
set
  NAME = :NAME,
  CITY = :CITY,
  TEL = :PHONE,
  "E-MAIL" = :"E-MAIL"
where
  CUST_NO = :OLD_CUST_NO
-- InsertSQL
insert into CUSTOMER
  (NAME, CITY, TEL, "E-MAIL")
values
  (:NAME, :CITY, :PHONE, :"E-MAIL")
-- DeleteSQL
delete from CUSTOMER
where
  CUST_NO = :OLD_CUST_NO
-- RefreshSQL
select NAME, CITY, TEL as PHONE, "E-MAIL"
from CUSTOMER
where
  CUST_NO = :OLD_CUST_NO
)";

}  // namespace

TEST_F(FirebirdShopTest, TheExampleScriptToursTheModuleAndWritesTheCustomerStatements) {
  TKorvResult r = Korv({"run", std::string(KORV_SOURCE_DIR) + "/examples/shop-firebird.korv", "ShopFb.dfm"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, kTour);
  EXPECT_NE(Read("ShopFb.dfm").find("      '  CUST_NO = :OLD_CUST_NO')"), std::string::npos);
}

TEST_F(FirebirdShopTest, UpdatesqlReadsTheCompositeKeyAndChecksOnTheEngine) {
  const std::string before = Read("ShopFb.dfm");
  // The table as the catalogue spells it. Get Table Fields also finds order_line (read as SQL, the
  // engine's ORDER_LINE), but the statements name what the box holds: "order_line", quoted.
  TKorvResult r = Korv({"updatesql", "ShopFb.dfm", "CustomersUpdate", "--table", "ORDER_LINE", "--table-fields",
                        "--primary-keys", "--dry-run", "--json"});
  ASSERT_EQ(r.Exit, 0) << r;
  const auto statements = nlohmann::json::parse(r.Out);
  EXPECT_EQ(statements["ModifySQL"],
            "update ORDER_LINE\nset\n  ORDER_NO = :ORDER_NO,\n  LINE_NO = :LINE_NO,\n  PART_NO = :PART_NO,\n"
            "  QTY = :QTY\nwhere\n  ORDER_NO = :OLD_ORDER_NO and\n  LINE_NO = :OLD_LINE_NO\n");
  r = Korv({"updatesql", "ShopFb.dfm", "CustomersUpdate", "--table", "order_line", "--table-fields", "--primary-keys",
            "--dry-run", "--json"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(nlohmann::json::parse(r.Out)["DeleteSQL"],
            "delete from \"order_line\"\nwhere\n  ORDER_NO = :OLD_ORDER_NO and\n  LINE_NO = :OLD_LINE_NO\n");
  EXPECT_EQ(Read("ShopFb.dfm"), before);  // a dry run saves nothing

  r = Korv({"updatesql", "ShopFb.dfm", "CustomersUpdate", "--table", "CUSTOMER", "--table-fields", "--primary-keys",
            "--fields", "NAME,CITY,TEL", "--check", "--try"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out,
            "RefreshSQL: ok\n"
            "ModifySQL: ok\n"
            "InsertSQL: ok\n"
            "DeleteSQL: ok\n"
            "Try: ModifySQL would change 1 row for the first row of Customers (rolled back)\n");
}

TEST_F(FirebirdShopTest, DataShowsTheEnginesTypesAndRows) {
  TKorvResult r = Korv({"data", "ShopFb.dfm", "Customers"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out,
            "Field    Type       Size  Required\n"
            "-------  ---------  ----  --------\n"
            "CUST_NO  ftInteger  0     yes\n"
            "NAME     ftString   40    yes\n"
            "CITY     ftString   30    no\n"
            "PHONE    ftString   20    no\n"
            "\n"
            "CUST_NO  NAME          CITY   PHONE\n"
            "-------  ------------  -----  -------------\n"
            "1        Alder Books   Leeds  0113 496 0001\n"
            "2        Birch & Co    York   01904 496 002\n"
            "3        Cedar Crafts  Hull   01482 496 003\n"
            "(3 rows)\n");

  r = Korv({"data", "ShopFb.dfm", "Parts", "--json", "--limit", "1"});
  ASSERT_EQ(r.Exit, 0) << r;
  const auto j = nlohmann::json::parse(r.Out);
  EXPECT_EQ(
      j["fields"][2],
      nlohmann::json({{"name", "PRICE"}, {"type", "ftFMTBcd"}, {"size", 2}, {"precision", 10}, {"required", true}}));
  EXPECT_EQ(j["rows"], nlohmann::json::array({nlohmann::json::array({"P-100", "Notebook, A5", "3.50"})}));
  EXPECT_EQ(j["total"], 3);
}

TEST_F(FirebirdShopTest, AMissingDatabaseFileIsAnErrorAndIsNotCreated) {
  std::filesystem::remove(Temp.File("shop.fdb"));
  TKorvResult r = Korv({"data", "ShopFb.dfm", "Customers"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_NE(r.Err.find("Cannot connect to database 'ShopData': Cannot open Firebird database \"" +
                       Temp.File("shop.fdb") + "\": the file does not exist"),
            std::string::npos)
      << r;
  EXPECT_FALSE(Exists("shop.fdb"));
}

namespace {

class FirebirdServerShopTest : public TKorvTest {
protected:
  void SetUp() override {
    const auto server = korvtest::TFbTestServer::FromEnvironment();
    if (!server) KORV_SKIP_OR_FAIL(korvtest::kNoFbTestServer);
    Server = *server;
    File = korvtest::TFbTestServer::FreshFile("shop");
    // korv-fbcreate takes the user from the client library's own ISC_USER and ISC_PASSWORD.
    const std::string cmd = "ISC_USER=" + Quote(Server.User) + " ISC_PASSWORD=" + Quote(Server.Password) + " " +
                            Quote(KORV_FBCREATE) + " " + Quote(Server.Address(File)) + " " +
                            Quote(std::string(KORV_SOURCE_DIR) + "/examples/shop-firebird.sql");
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    Created = true;
    WritePointedExample("examples/ShopFb.dfm", "ShopFb.dfm", "    RemoteDatabase = 'shop.fdb'\n", Server.Address(File),
                        "fb.params");
    WriteParams(Server.Password);
  }
  void TearDown() override {
    if (Created) std::filesystem::remove(Server.DataDir + "/" + File);
  }
  void WriteParams(const std::string& Password) {
    WritePrivate("fb.params", "USER NAME=" + Server.User + "\nPASSWORD=" + Password + "\n");
  }

  korvtest::TFbTestServer Server;
  std::string File;
  bool Created = false;
};

}  // namespace

TEST_F(FirebirdServerShopTest, UpdatesqlChecksOnTheServerAndAWrongPasswordSavesNothing) {
  const std::string before = Read("ShopFb.dfm");
  TKorvResult r = Korv({"updatesql", "ShopFb.dfm", "CustomersUpdate", "--table", "ORDER_LINE", "--table-fields",
                        "--primary-keys", "--dry-run", "--json"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(nlohmann::json::parse(r.Out)["DeleteSQL"],
            "delete from ORDER_LINE\nwhere\n  ORDER_NO = :OLD_ORDER_NO and\n  LINE_NO = :OLD_LINE_NO\n");

  r = Korv({"updatesql", "ShopFb.dfm", "CustomersUpdate", "--table", "CUSTOMER", "--table-fields", "--primary-keys",
            "--fields", "NAME,CITY,TEL", "--check", "--try"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out,
            "RefreshSQL: ok\n"
            "ModifySQL: ok\n"
            "InsertSQL: ok\n"
            "DeleteSQL: ok\n"
            "Try: ModifySQL would change 1 row for the first row of Customers (rolled back)\n");

  r = Korv({"data", "ShopFb.dfm", "Parts", "--json", "--limit", "1"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(nlohmann::json::parse(r.Out)["rows"],
            nlohmann::json::array({nlohmann::json::array({"P-100", "Notebook, A5", "3.50"})}));
  EXPECT_EQ(Read("ShopFb.dfm"), before);

  // A wrong password: the command fails, saying which database and why, and saves nothing.
  WriteParams("wrong");
  r = Korv({"updatesql", "ShopFb.dfm", "CustomersUpdate", "--table", "PART", "--table-fields", "--dry-run"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_NE(r.Err.find("Cannot connect to database 'ShopData': Cannot open Firebird database \"" +
                       Server.Address(File) + "\": Your user name and password are not defined."),
            std::string::npos)
      << r;
  EXPECT_EQ(Read("ShopFb.dfm"), before);

  // No password at all: the login dialog would ask, and a one-shot command cannot answer it.
  Write("fb.params", "USER NAME=" + Server.User + "\n");
  r = Korv({"updatesql", "ShopFb.dfm", "CustomersUpdate", "--table", "PART", "--table-fields", "--dry-run"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err,
            "korv: updatesql --table-fields: connecting ShopData needs a password: put PASSWORD in its "
            "Params or ParamsFileName, or answer the login dialog in korv design\n");
  EXPECT_EQ(Read("ShopFb.dfm"), before);
}
