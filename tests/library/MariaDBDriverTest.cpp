// The MariaDB driver against a real server: scripts/mariadb-cluster starts one and exports
// KORV_MARIADB_*. Each test works in a database of its own (and a second one for owner-qualified
// names), made and dropped by the fixture; the test user may create databases named korv_test*.
#include "MdbTestServer.h"

#include "korv/KVCommon.h"
#include "korv/drivers/Registry.h"
#include "rtl/Exceptions.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace korv::drivers;
using korv::TKVServerType;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

using korvtest::TMdbTestServer;

ConnectionSpec Spec(const TMdbTestServer& Server, const std::string& Db = {}) {
  ConnectionSpec spec;
  spec.RemoteDatabase = Server.Address(Db);
  spec.Params = {{"USER NAME", Server.User}, {"PASSWORD", Server.Password}};
  return spec;
}

std::string ConnectError(const ConnectionSpec& spec) {
  try {
    GetDriver(TKVServerType::stMariaDB).Connect(spec);
  } catch (const rtl::EDatabaseError& e) {
    return e.Message();
  }
  return "(connected)";
}

class MariaDBDriverTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto server = TMdbTestServer::FromEnvironment();
    if (!server) KORV_SKIP_OR_FAIL(korvtest::kNoMdbTestServer);
    Server = *server;
    std::random_device random;
    Db = fmt::format("korv_test_{:08x}", random());
    Other = Db + "_other";
    try {
      auto admin = GetDriver(TKVServerType::stMariaDB).Connect(Spec(Server));
      admin->Execute("CREATE DATABASE " + Db);
      admin->Execute("CREATE DATABASE " + Other);
      Conn = GetDriver(TKVServerType::stMariaDB).Connect(Spec(Server, Db));
    } catch (const rtl::EDatabaseError& e) {
      KORV_SKIP_OR_FAIL("MariaDB test server unreachable: " << e.Message());
    }
  }

  void TearDown() override {
    if (!Conn) return;
    Conn->Execute("DROP DATABASE IF EXISTS " + Db);
    Conn->Execute("DROP DATABASE IF EXISTS " + Other);
  }

  void Sql(const std::string& statement) { Conn->Execute(statement); }

  TMdbTestServer Server;
  std::unique_ptr<Connection> Conn;
  std::string Db, Other;
};

TEST_F(MariaDBDriverTest, TableNamesListTablesAndViewsOfTheCurrentDatabase) {
  Sql("CREATE TABLE customer (id int)");
  Sql("CREATE TABLE Customer (id int)");  // table names heed letter case here
  Sql("CREATE VIEW v_customer AS SELECT id FROM customer");
  Sql("CREATE INDEX customer_ix ON customer (id)");
  Sql("CREATE TABLE " + Other + ".orders (id int)");

  EXPECT_THAT(Conn->TableNames("", false), ElementsAre("Customer", "customer", "v_customer"));
  EXPECT_THAT(Conn->TableNames("v%", false), ElementsAre("v_customer"));
  EXPECT_THAT(Conn->TableNames("ord%", true), IsEmpty());
}

TEST_F(MariaDBDriverTest, ColumnNamesFollowOrdinalPositionAndOwnerQualifiedNames) {
  Sql("CREATE TABLE customer (id int, gone int, name text, `Tel` text)");
  Sql("ALTER TABLE customer DROP COLUMN gone");
  Sql("ALTER TABLE customer ADD COLUMN city text FIRST");
  Sql("CREATE TABLE " + Other + ".customer (other_id int)");
  Sql("CREATE VIEW v AS SELECT name, id FROM customer");

  const std::vector<std::string> expected{"city", "id", "name", "Tel"};
  EXPECT_EQ(Conn->ColumnNames("customer"), expected);
  EXPECT_EQ(Conn->ColumnNames("`customer`"), expected);
  EXPECT_EQ(Conn->ColumnNames(Db + ".customer"), expected);
  EXPECT_EQ(Conn->ColumnNames("`" + Db + "` . `customer`"), expected);
  EXPECT_THAT(Conn->ColumnNames(Other + ".customer"), ElementsAre("other_id"));
  EXPECT_THAT(Conn->ColumnNames("v"), ElementsAre("name", "id"));

  for (const char* unknown : {"nothing", "CUSTOMER", "customer_ix", "a.b.customer", "`open", "", "customer."})
    EXPECT_THAT(Conn->ColumnNames(unknown), IsEmpty()) << unknown;
}

TEST_F(MariaDBDriverTest, IndexInfoMarksPrimaryAndUniqueKeysInIndexOrder) {
  Sql("CREATE TABLE line (a int, b int, c varchar(10), d varchar(10), e int, PRIMARY KEY (b, a),"
      " UNIQUE KEY line_cd (c, d), KEY line_e (e))");
  std::vector<std::string> rows;
  for (const auto& row : Conn->IndexInfo("line"))
    rows.push_back(fmt::format("{} {} {}", row.IndexName, row.ColumnName, row.IndexType));
  EXPECT_THAT(rows, ElementsAre("PRIMARY b 6", "PRIMARY a 6", "line_cd c 2", "line_cd d 2", "line_e e 0"));

  EXPECT_EQ(Conn->IndexInfo(Db + ".line").size(), rows.size());
  EXPECT_THAT(Conn->IndexInfo("nothing"), IsEmpty());
  EXPECT_THAT(Conn->IndexInfo(Other + ".line"), IsEmpty());
}

TEST_F(MariaDBDriverTest, ProceduresAndFunctionsAreListedAndDescribed) {
  Sql("CREATE PROCEDURE close_order(IN order_no int, OUT total decimal(10,2), INOUT note varchar(40))"
      " BEGIN SET total = order_no * 2; SET note = CONCAT(note, '!'); END");
  Sql("CREATE FUNCTION add_tax(amount decimal(10,2)) RETURNS decimal(10,2) DETERMINISTIC RETURN amount * 1.2");
  Sql("CREATE PROCEDURE " + Other + ".hidden() BEGIN END");

  EXPECT_THAT(Conn->ProcedureNames(), ElementsAre("add_tax", "close_order"));
  auto describe = [&](const std::string& name) {
    std::vector<std::string> rows;
    for (const auto& p : Conn->DescribeProcedure(name))
      rows.push_back(fmt::format("{} {} {}", p.Name, p.TypeName, static_cast<int>(p.Direction)));
    return rows;
  };
  EXPECT_THAT(describe("close_order"),
              ElementsAre("order_no int(11) 0", "total decimal(10,2) 1", "note varchar(40) 2"));
  EXPECT_THAT(describe("ADD_TAX"), ElementsAre("Result decimal(10,2) 3", "amount decimal(10,2) 0"));
  EXPECT_THAT(describe(Other + ".hidden"), IsEmpty());

  for (const char* unknown : {"nothing", "hidden", "a.b.c"}) {
    try {
      Conn->DescribeProcedure(unknown);
      ADD_FAILURE() << unknown << " described";
    } catch (const rtl::EDatabaseError& e) {
      EXPECT_EQ(e.Message(), fmt::format("Procedure \"{}\" not found", unknown));
    }
  }
}

TEST_F(MariaDBDriverTest, DescribeStatementNamesBaseTablesAndColumns) {
  Sql("CREATE TABLE customer (id int PRIMARY KEY, tel text, `Name` text)");
  Sql("CREATE TABLE " + Other + ".orders (id int, customer_id int)");
  Sql("CREATE VIEW v_customer AS SELECT id, tel FROM customer");

  auto describe = [&](const std::string& sql) {
    std::vector<std::string> rows;
    for (const auto& f : Conn->DescribeStatement(sql))
      rows.push_back(fmt::format("{}={}.{}", f.FieldName, f.TableName, f.ColumnName));
    return rows;
  };
  EXPECT_THAT(describe("select TEL as PHONE, `Name` from customer c"),
              ElementsAre("PHONE=customer.tel", "Name=customer.Name"));
  EXPECT_THAT(describe("select c.id, o.*, c.id + 1 as next, 42 k from customer c join " + Other +
                       ".orders o on o.customer_id = c.id"),
              ElementsAre("id=customer.id", "id=" + Other + ".orders.id",
                          "customer_id=" + Other + ".orders.customer_id", "next=.", "k=."));
  EXPECT_THAT(describe("select tel from v_customer"), ElementsAre("tel=v_customer.tel"));
  EXPECT_THAT(describe("update customer set tel = '1'"), IsEmpty());
  EXPECT_THAT(describe("drop table customer"), IsEmpty());  // prepared, never run
  EXPECT_THAT(Conn->ColumnNames("customer"), ElementsAre("id", "tel", "Name"));

  try {
    Conn->DescribeStatement("select nothing from customer");
    ADD_FAILURE() << "an unknown column described";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Unknown column 'nothing' in 'SELECT'");
  }
}

TEST_F(MariaDBDriverTest, HostileNamesDoNoHarm) {
  Sql("CREATE TABLE t (id int)");
  const std::vector<std::string> names{"x`; drop table t; --",  "it's",       "a.b",     "with blank", "Ünïcødé",
                                       "x'); drop table t; --", "semi;colon", "dq\"uote"};
  for (const auto& name : names)
    Sql(fmt::format("CREATE TABLE {} ({} int PRIMARY KEY)", korv::QuoteMariaDBName(name, true),
                    korv::QuoteMariaDBName(name + "_c", true)));

  // Every listed name, as a user would write it, reaches its table in every catalogue call and
  // in a statement.
  const auto listed = Conn->TableNames("", false);
  EXPECT_EQ(listed.size(), names.size() + 1);
  for (const auto& name : names) {
    const std::string written = korv::QuoteMariaDBName(name, false);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), written), 1) << written;
    ASSERT_THAT(Conn->ColumnNames(written), ElementsAre(name + "_c")) << written;
    EXPECT_EQ(Conn->IndexInfo(written).at(0).ColumnName, name + "_c");
    const auto origin = Conn->DescribeStatement("select * from " + written);
    EXPECT_EQ(origin.at(0).TableName, name);
    EXPECT_THROW(Conn->DescribeProcedure(written), rtl::EDatabaseError);
  }
  EXPECT_THAT(Conn->TableNames("%'%", false), ElementsAre("`it's`", "`x'); drop table t; --`"));
  EXPECT_THROW(Conn->Execute("select 1; drop table t"), rtl::EDatabaseError);  // one statement a call
  EXPECT_THROW(Conn->DescribeStatement("select 1; drop table t"), rtl::EDatabaseError);
  EXPECT_THAT(Conn->ColumnNames("t"), ElementsAre("id"));
}

TEST_F(MariaDBDriverTest, TraceSeesEveryStatementSent) {
  std::vector<std::string> traced;
  auto spec = Spec(Server, Db);
  spec.OnTrace = [&](const std::string& sql) { traced.push_back(sql); };
  auto conn = GetDriver(TKVServerType::stMariaDB).Connect(spec);
  conn->TableNames("", false);
  conn->DescribeStatement("select 1 as one");
  ASSERT_EQ(traced.size(), 2u);
  EXPECT_THAT(traced[0], HasSubstr("information_schema.TABLES"));
  EXPECT_EQ(traced[1], "select 1 as one");
}

TEST_F(MariaDBDriverTest, ConnectionParametersAndFailures) {
  auto spec = Spec(Server, Db);
  spec.Params = {{"user name", Server.User},
                 {"Password", Server.Password},
                 {"connect-timeout", "5"},
                 {"ssl-mode", "disabled"},
                 {"charset", "utf8mb4"}};
  EXPECT_NO_THROW(GetDriver(TKVServerType::stMariaDB).Connect(spec));

  // "/database": the local server, through its socket.
  if (!Server.Socket.empty()) {
    spec = Spec(Server);
    spec.RemoteDatabase = "/" + Db;
    spec.Params.push_back({"socket", Server.Socket});
    EXPECT_NO_THROW(GetDriver(TKVServerType::stMariaDB).Connect(spec));
  }

  spec = Spec(Server, Db);
  spec.Params.push_back({"charset", "no_such_charset"});
  EXPECT_THAT(ConnectError(spec), HasSubstr("no_such_charset"));
  spec = Spec(Server, Db);
  spec.Params.push_back({"ssl-mode", "sometimes"});
  EXPECT_EQ(ConnectError(spec),
            "ssl-mode \"sometimes\" is not one of DISABLED, PREFERRED, REQUIRED, VERIFY_CA, VERIFY_IDENTITY");
  spec = Spec(Server, Db);
  spec.Params.push_back({"connect-timeout", "soon"});
  EXPECT_EQ(ConnectError(spec), "connect-timeout \"soon\" is not a number of seconds");

  spec = Spec(Server, Db);
  spec.Params[1].second = "wrong";
  EXPECT_EQ(ConnectError(spec), fmt::format("Cannot connect to MariaDB database \"{}\": Access denied for user "
                                            "'{}'@'127.0.0.1' (using password: YES)",
                                            spec.RemoteDatabase, Server.User));

  spec = Spec(Server, "korv_test_no_such_db");
  EXPECT_EQ(ConnectError(spec), fmt::format("Cannot connect to MariaDB database \"{}\": Unknown database "
                                            "'korv_test_no_such_db'",
                                            spec.RemoteDatabase));

  // Nothing listens on port 1 (the client's message ends in the system's error number).
  spec = Spec(Server, Db);
  spec.RemoteDatabase = fmt::format("{}:1/{}", Server.Host, Db);
  EXPECT_THAT(ConnectError(spec), HasSubstr(fmt::format("Cannot connect to MariaDB database \"{}\": Can't connect "
                                                        "to server on '{}'",
                                                        spec.RemoteDatabase, Server.Host)));
}

TEST(MariaDBDriverAddressTest, MalformedRemoteDatabaseSaysWhatIsExpected) {
  for (const char* bad : {"", "localhost", "localhost:3306", "localhost/", "host:port/db", "host:0/db", "host:70000/db",
                          ":3306/db", "[::1/db", "[::1]x/db", "[]:1/db", "host/db/x"}) {
    ConnectionSpec spec;
    spec.RemoteDatabase = bad;
    EXPECT_EQ(ConnectError(spec), fmt::format("\"{}\" is not a MariaDB database: expected host[:port]/database, "
                                              "or /database for the local server",
                                              bad))
        << bad;
  }
}

}  // namespace
