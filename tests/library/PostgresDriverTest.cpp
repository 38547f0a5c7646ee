// The PostgreSQL driver against a real server: scripts/pg-cluster starts one and exports KORV_PG_*.
// Each test works in a schema of its own, made and dropped by the fixture and put first on the
// connection's search path; a second schema off the path holds what must come back qualified.
#include "PgTestServer.h"

#include "korv/KVCommon.h"
#include "korv/drivers/Registry.h"
#include "rtl/Exceptions.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace korv::drivers;
using korv::TKVServerType;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

using korvtest::TPGTestServer;

// The server's connection parameters, as a database component would give them.
ConnectionSpec Spec(const TPGTestServer& Server) {
  ConnectionSpec spec;
  spec.RemoteDatabase = Server.Address();
  spec.Params = {{"USER NAME", Server.User}, {"PASSWORD", Server.Password}};
  return spec;
}

std::string Quoted(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) quoted += (c == '"') ? "\"\"" : std::string(1, c);
  return quoted + "\"";
}

std::string ConnectError(const ConnectionSpec& spec) {
  try {
    GetDriver(TKVServerType::stPostgreSQL).Connect(spec);
  } catch (const rtl::EDatabaseError& e) {
    return e.Message();
  }
  return "(connected)";
}

class PostgresDriverTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto server = TPGTestServer::FromEnvironment();
    if (!server) KORV_SKIP_OR_FAIL(korvtest::kNoPGTestServer);
    Server = *server;
    try {
      Conn = GetDriver(TKVServerType::stPostgreSQL).Connect(Spec(Server));
    } catch (const rtl::EDatabaseError& e) {
      KORV_SKIP_OR_FAIL("PostgreSQL test server unreachable: " << e.Message());
    }
    std::random_device random;
    Schema = fmt::format("korv_test_{:08x}", random());
    Other = Schema + "_other";
    Conn->Execute("CREATE SCHEMA " + Schema);
    Conn->Execute("CREATE SCHEMA " + Other);
    Conn->Execute("SET search_path = " + Schema);
  }

  void TearDown() override {
    if (!Conn || Schema.empty()) return;
    Conn->Execute("DROP SCHEMA IF EXISTS " + Schema + " CASCADE");
    Conn->Execute("DROP SCHEMA IF EXISTS " + Other + " CASCADE");
  }

  void Sql(const std::string& statement) { Conn->Execute(statement); }

  // Other tests work in the same database at the same time: keep what this one made, that is
  // names on the search path (only this test's schema) and names in its second schema.
  std::vector<std::string> Mine(const std::vector<std::string>& names) const {
    std::vector<std::string> mine;
    // This test's schemas are the ones on the search path (names come unqualified) and Other;
    // tests running beside it on the same server have schemas of their own.
    for (const auto& name : names) {
      const auto parts = korv::SplitObjName(name);
      if (parts.size() == 1 || (parts.size() == 2 && parts[0] == Other)) mine.push_back(name);
    }
    return mine;
  }

  TPGTestServer Server;
  std::unique_ptr<Connection> Conn;
  std::string Schema, Other;
};

TEST_F(PostgresDriverTest, TableNamesListTablesAndViewsAsTheUserTypesThem) {
  Sql("CREATE TABLE customer (id int)");
  Sql("CREATE TABLE \"MixedCase\" (id int)");
  Sql("CREATE VIEW v_customer AS SELECT id FROM customer");
  Sql("CREATE SEQUENCE customer_seq");
  Sql("CREATE INDEX customer_ix ON customer (id)");
  Sql("CREATE TABLE " + Other + ".orders (id int)");

  const auto all = Mine(Conn->TableNames("", false));
  EXPECT_THAT(all, ElementsAre("\"MixedCase\"", "customer", "v_customer", Other + ".orders"));
  EXPECT_THAT(Mine(Conn->TableNames("cust%", false)), ElementsAre("customer"));
  EXPECT_THAT(Mine(Conn->TableNames("CUST%", false)), IsEmpty());  // the server's LIKE heeds case
  EXPECT_THAT(Mine(Conn->TableNames("ord%", false)), ElementsAre(Other + ".orders"));

  // System tables only when asked; pg_catalog is always on the search path.
  EXPECT_EQ(std::count(all.begin(), all.end(), "pg_class"), 0);
  const auto system = Conn->TableNames("pg_clas%", true);
  EXPECT_THAT(system, ElementsAre("pg_class"));
  EXPECT_THAT(Conn->TableNames("tables", true), ElementsAre("information_schema.tables"));
}

TEST_F(PostgresDriverTest, ColumnNamesFollowColumnOrderAndServerNameRules) {
  Sql("CREATE TABLE customer (id int, gone int, name text, \"Tel\" text)");
  Sql("ALTER TABLE customer DROP COLUMN gone");
  Sql("ALTER TABLE customer ADD COLUMN city text");
  Sql("CREATE TABLE \"MixedCase\" (\"Upper\" int)");
  Sql("CREATE TABLE mixedcase (lower int)");
  Sql("CREATE TABLE " + Other + ".customer (other_id int)");
  Sql("CREATE VIEW v AS SELECT name, id FROM customer");

  const std::vector<std::string> expected{"id", "name", "Tel", "city"};
  EXPECT_EQ(Conn->ColumnNames("customer"), expected);
  EXPECT_EQ(Conn->ColumnNames("CUSTOMER"), expected);  // unquoted names fold to lower case
  EXPECT_EQ(Conn->ColumnNames(Schema + ".customer"), expected);
  EXPECT_EQ(Conn->ColumnNames(" \"" + Schema + "\" . \"customer\" "), expected);
  EXPECT_EQ(Conn->ColumnNames(Server.Database + "." + Schema + ".customer"), expected);
  EXPECT_THAT(Conn->ColumnNames(Other + ".customer"), ElementsAre("other_id"));
  EXPECT_THAT(Conn->ColumnNames("\"MixedCase\""), ElementsAre("Upper"));
  EXPECT_THAT(Conn->ColumnNames("MixedCase"), ElementsAre("lower"));
  EXPECT_THAT(Conn->ColumnNames("v"), ElementsAre("name", "id"));

  // The server cuts names to 63 bytes; temporary tables come first on the search path.
  const std::string longName(70, 'L');
  Sql("CREATE TABLE " + longName + " (x int)");
  EXPECT_THAT(Conn->ColumnNames(longName), ElementsAre("x"));
  Sql("CREATE TEMP TABLE customer (temp_id int)");
  EXPECT_THAT(Conn->ColumnNames("customer"), ElementsAre("temp_id"));
  EXPECT_THAT(Conn->ColumnNames("pg_temp.customer"), ElementsAre("temp_id"));
  EXPECT_EQ(Conn->ColumnNames(Schema + ".customer"), expected);
  Sql("DROP TABLE pg_temp.customer");

  for (const char* unknown : {"nothing", "\"Customer\"", "customer_ix", "other_db.x.customer", "a.b.c.d", "\"open", "",
                              "cust omer", "customer."})
    EXPECT_THAT(Conn->ColumnNames(unknown), IsEmpty()) << unknown;
}

TEST_F(PostgresDriverTest, IndexInfoGivesKeyColumnsInIndexOrder) {
  Sql("CREATE TABLE line (a int, b int, c text, d text, e int, PRIMARY KEY (b, a))");
  Sql("CREATE UNIQUE INDEX line_c ON line (c) INCLUDE (d, e)");
  Sql("CREATE INDEX line_de ON line (e, d)");
  Sql("CREATE UNIQUE INDEX line_lower ON line (lower(d), e)");
  Sql("CREATE UNIQUE INDEX line_partial ON line (d) WHERE e > 0");

  std::vector<std::string> rows;
  for (const auto& row : Conn->IndexInfo("LINE"))
    rows.push_back(fmt::format("{} {} {}", row.IndexName, row.ColumnName, row.IndexType));
  EXPECT_THAT(rows, ElementsAre("line_c c 2", "line_de e 0", "line_de d 0", "line_lower e 0", "line_partial d 0",
                                "line_pkey b 6", "line_pkey a 6"));

  EXPECT_EQ(Conn->IndexInfo(Schema + ".line").size(), rows.size());
  EXPECT_THAT(Conn->IndexInfo("nothing"), IsEmpty());
  EXPECT_THAT(Conn->IndexInfo(Other + ".line"), IsEmpty());
}

TEST_F(PostgresDriverTest, ProceduresAreListedAndDescribed) {
  Sql("CREATE FUNCTION add_tax(amount numeric, rate numeric DEFAULT 0.2) RETURNS numeric "
      "LANGUAGE sql AS 'SELECT amount * (1 + rate)'");
  Sql("CREATE FUNCTION split_name(full_name text, OUT first text, OUT last text) "
      "LANGUAGE sql AS 'SELECT full_name, full_name'");
  Sql("CREATE PROCEDURE bump(INOUT counter int, step int) LANGUAGE plpgsql "
      "AS 'BEGIN counter := counter + step; END'");
  Sql("CREATE FUNCTION twice(int) RETURNS int LANGUAGE sql AS 'SELECT $1 * 2'");
  Sql("CREATE FUNCTION twice(text) RETURNS text LANGUAGE sql AS 'SELECT $1 || $1'");
  Sql("CREATE FUNCTION " + Other + ".hidden() RETURNS void LANGUAGE sql AS ''");
  Sql("CREATE FUNCTION on_change() RETURNS trigger LANGUAGE plpgsql AS 'BEGIN RETURN NEW; END'");

  EXPECT_THAT(Mine(Conn->ProcedureNames()),
              ElementsAre("add_tax", "bump", "split_name", "twice(integer)", "twice(text)", Other + ".hidden"));

  auto describe = [&](const std::string& name) {
    std::vector<std::string> rows;
    for (const auto& p : Conn->DescribeProcedure(name))
      rows.push_back(fmt::format("{} {} {}", p.Name, p.TypeName, static_cast<int>(p.Direction)));
    return rows;
  };
  EXPECT_THAT(describe("ADD_TAX"), ElementsAre("Result numeric 3", "amount numeric 0", "rate numeric 0"));
  EXPECT_THAT(describe("split_name"), ElementsAre("full_name text 0", "first text 1", "last text 1"));
  EXPECT_THAT(describe(Schema + ".bump"), ElementsAre("counter integer 2", "step integer 0"));
  EXPECT_THAT(describe("twice(integer)"), ElementsAre("Result integer 3", "$1 integer 0"));
  EXPECT_THAT(describe(Other + ".hidden"), IsEmpty());

  for (const char* unknown : {"nothing", "hidden", "nothing(int)", "\"Add_Tax\""}) {
    try {
      Conn->DescribeProcedure(unknown);
      ADD_FAILURE() << unknown << " described";
    } catch (const rtl::EDatabaseError& e) {
      EXPECT_THAT(e.Message(), HasSubstr(fmt::format("\"{}\"", unknown)));
    }
  }
  try {
    Conn->DescribeProcedure("twice");
    ADD_FAILURE() << "an overloaded name described";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("twice(integer), twice(text)"));
  }
}

TEST_F(PostgresDriverTest, DescribeStatementNamesBaseTablesAndColumns) {
  Sql("CREATE TABLE customer (id int PRIMARY KEY, tel text, \"Name\" text)");
  Sql("CREATE TABLE " + Other + ".orders (id int, customer_id int)");
  Sql("CREATE VIEW v_customer AS SELECT id, tel FROM customer");

  auto describe = [&](const std::string& sql) {
    std::vector<std::string> rows;
    for (const auto& f : Conn->DescribeStatement(sql))
      rows.push_back(fmt::format("{}={}.{}", f.FieldName, f.TableName, f.ColumnName));
    return rows;
  };
  EXPECT_THAT(describe("select TEL as PHONE, \"Name\" from CUSTOMER c"),
              ElementsAre("phone=customer.tel", "Name=customer.Name"));
  EXPECT_THAT(describe("select c.id, o.* , c.id + 1 as next, 42 k, count(*) over () n from "
                       "customer c join " +
                       Other + ".orders o on o.customer_id = c.id"),
              ElementsAre("id=customer.id", "id=" + Other + ".orders.id",
                          "customer_id=" + Other + ".orders.customer_id", "next=.", "k=.", "n=."));
  EXPECT_THAT(describe("select tel from v_customer"), ElementsAre("tel=v_customer.tel"));
  EXPECT_THAT(describe("select x.tel, c.ctid from (select * from customer) x, customer c"),
              ElementsAre("tel=customer.tel", "ctid=customer.ctid"));
  EXPECT_THAT(describe("update customer set tel = '1'"), IsEmpty());

  // Prepared, never run.
  EXPECT_THAT(describe("delete from customer returning id"), ElementsAre("id=customer.id"));
  EXPECT_THAT(describe("drop table customer"), IsEmpty());
  EXPECT_THAT(Conn->ColumnNames("customer"), ElementsAre("id", "tel", "Name"));

  try {
    Conn->DescribeStatement("select nothing from customer");
    ADD_FAILURE() << "an unknown column described";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("column \"nothing\" does not exist"));
  }
}

TEST_F(PostgresDriverTest, HostileNamesDoNoHarm) {
  Sql("CREATE TABLE t (id int)");
  const std::vector<std::string> names{"x\"; drop table t; --", "it's", "a.b", "with blank", "Ünïcødé",
                                       "x'); drop table t; --"};
  for (const auto& name : names)
    Sql(fmt::format("CREATE TABLE {} ({} int PRIMARY KEY)", Quoted(name), Quoted(name + "_c")));

  const auto listedNames = Mine(Conn->TableNames("", false));
  for (const auto& listed : listedNames) {
    if (listed == "t") continue;
    const auto columns = Conn->ColumnNames(listed);
    ASSERT_EQ(columns.size(), 1u) << listed;
    EXPECT_EQ(Conn->IndexInfo(listed).at(0).ColumnName, columns[0]);
    EXPECT_THAT(Conn->DescribeStatement("select * from " + listed).at(0).TableName, listed);
  }
  EXPECT_EQ(listedNames.size(), names.size() + 1);
  EXPECT_THAT(Mine(Conn->TableNames("%'%", false)), ElementsAre("\"it's\"", "\"x'); drop table t; --\""));

  // Hostile text where names are expected: nothing found, nothing run.
  for (const auto& name : names) {
    EXPECT_THAT(Conn->ColumnNames(name + "x"), IsEmpty());
    EXPECT_THROW(Conn->DescribeProcedure(name), rtl::EDatabaseError);
  }
  EXPECT_THROW(Conn->DescribeProcedure("f(int); drop table t; --"), rtl::EDatabaseError);
  EXPECT_THROW(Conn->Execute("select 1; drop table t"), rtl::EDatabaseError);
  EXPECT_THROW(Conn->DescribeStatement("select 1; drop table t"), rtl::EDatabaseError);
  EXPECT_THAT(Conn->ColumnNames("t"), ElementsAre("id"));
}

TEST_F(PostgresDriverTest, TraceSeesEveryStatementSent) {
  std::vector<std::string> traced;
  auto spec = Spec(Server);
  spec.OnTrace = [&](const std::string& sql) { traced.push_back(sql); };
  auto conn = GetDriver(TKVServerType::stPostgreSQL).Connect(spec);
  conn->TableNames("", false);
  conn->DescribeStatement("select 1 as one");
  ASSERT_EQ(traced.size(), 2u);
  EXPECT_THAT(traced[0], HasSubstr("pg_catalog.pg_class"));
  EXPECT_EQ(traced[1], "select 1 as one");
}

TEST_F(PostgresDriverTest, ConnectionParametersAndFailures) {
  // Parameter names ignore letter case; other parameters reach libpq as options.
  auto spec = Spec(Server);
  spec.Params = {{"user name", Server.User}, {"Password", Server.Password}, {"Application_Name", "korv tests"}};
  EXPECT_NO_THROW(GetDriver(TKVServerType::stPostgreSQL).Connect(spec));
  spec.Params.push_back({"no_such_option", "1"});
  EXPECT_THAT(ConnectError(spec), HasSubstr("invalid connection option \"no_such_option\""));

  // An empty host leaves the choice to libpq; here a socket folder given as a parameter.
  if (!Server.SocketDir.empty()) {
    spec = Spec(Server);
    spec.RemoteDatabase = fmt::format(":{}/{}", Server.Port, Server.Database);
    spec.Params.push_back({"host", Server.SocketDir});
    EXPECT_NO_THROW(GetDriver(TKVServerType::stPostgreSQL).Connect(spec));
  }

  spec = Spec(Server);
  spec.Params[1].second = "wrong";
  EXPECT_THAT(ConnectError(spec), HasSubstr("password authentication failed"));

  spec = Spec(Server);
  spec.RemoteDatabase = fmt::format("{}:{}/no_such_db", Server.Host, Server.Port);
  EXPECT_THAT(ConnectError(spec), HasSubstr("database \"no_such_db\" does not exist"));

  spec = Spec(Server);
  spec.RemoteDatabase = fmt::format("{}:1/{}", Server.Host, Server.Database);
  const std::string refused = ConnectError(spec);
  EXPECT_THAT(refused, HasSubstr("Cannot connect to PostgreSQL database"));
  EXPECT_THAT(refused, HasSubstr("port 1 failed"));
}

// Needs no server: the address is read before anything is sent.
TEST(PostgresDriverAddressTest, MalformedRemoteDatabaseSaysWhatIsExpected) {
  for (const char* bad : {"", "localhost", "localhost:5432", "localhost/", "host:port/db", "host:0/db", "host:70000/db",
                          "::1:5432/db", "[::1/db", "[::1]x/db", "bad host/db"}) {
    ConnectionSpec spec;
    spec.RemoteDatabase = bad;
    const std::string message = ConnectError(spec);
    EXPECT_THAT(message, HasSubstr("expected host[:port]/database")) << bad;
    EXPECT_THAT(message, HasSubstr(fmt::format("\"{}\"", bad)));
  }
}

}  // namespace
