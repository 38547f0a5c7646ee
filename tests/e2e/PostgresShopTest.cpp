// korv on the example shop built on a real PostgreSQL server (scripts/pg-cluster exports
// KORV_PG_*): the example script that points ShopPg.dfm at the server, and `korv updatesql` on
// the module. Each test builds examples/shop-postgres.sql in a schema of its own, which the
// module's parameters file puts alone on the search path; the password lives only in that file.
#include "KorvRun.h"
#include "PgTestServer.h"

#include <libpq-fe.h>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <random>

namespace {

using korvtest::Env;

// The lines of Text from the one after the line Start up to the next empty line.
std::vector<std::string> Section(const std::string& Text, const std::string& Start) {
  std::vector<std::string> lines;
  std::size_t at = Text.find(Start + "\n");
  if (at == std::string::npos) return lines;
  std::istringstream in(Text.substr(at + Start.size() + 1));
  for (std::string line; std::getline(in, line) && !line.empty();) lines.push_back(line);
  return lines;
}

void IgnoreNotice(void*, const char*) {}

class PostgresShopTest : public TKorvTest {
protected:
  void SetUp() override {
    if (Env("KORV_PG_PORT").empty() || Env("KORV_PG_USER").empty() || Env("KORV_PG_DATABASE").empty())
      KORV_SKIP_OR_FAIL(korvtest::kNoPGTestServer);
    Address = fmt::format("{}:{}/{}", Env("KORV_PG_HOST"), Env("KORV_PG_PORT"), Env("KORV_PG_DATABASE"));
    const std::string host = Env("KORV_PG_HOST"), port = Env("KORV_PG_PORT"), user = Env("KORV_PG_USER"),
                      password = Env("KORV_PG_PASSWORD"), database = Env("KORV_PG_DATABASE");
    const char* keys[] = {"host", "port", "user", "password", "dbname", nullptr};
    const char* values[] = {host.c_str(), port.c_str(), user.c_str(), password.c_str(), database.c_str(), nullptr};
    Conn = PQconnectdbParams(keys, values, 0);
    if (PQstatus(Conn) != CONNECTION_OK)
      KORV_SKIP_OR_FAIL("PostgreSQL test server unreachable: " << PQerrorMessage(Conn));
    PQsetNoticeProcessor(Conn, IgnoreNotice, nullptr);  // DROP ... CASCADE tells what it drops
    std::random_device random;
    Schema = fmt::format("korv_e2e_{:08x}", random());
    Exec("CREATE SCHEMA " + Schema + "; SET search_path = " + Schema + ";\n" +
         ReadSource("examples/shop-postgres.sql"));
    WriteParams(password);
  }
  void TearDown() override {
    if (!Schema.empty()) Exec("DROP SCHEMA IF EXISTS " + Schema + " CASCADE");
    PQfinish(Conn);
  }

  void Exec(const std::string& Sql) {
    PGresult* result = PQexec(Conn, Sql.c_str());
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
    ASSERT_TRUE(ok) << PQresultErrorMessage(result);
    PQclear(result);
  }
  // The parameters file the module names: readable by its owner only.
  void WriteParams(const std::string& Password) {
    WritePrivate("pg.params", "USER NAME=" + Env("KORV_PG_USER") + "\nPASSWORD=" + Password +
                                  "\noptions=-c search_path=" + Schema + "\n");
  }
  // ShopPg.dfm as the example script leaves it: on this server, with the parameters file.
  void WritePointedModule() {
    WritePointedExample("examples/ShopPg.dfm", "ShopPg.dfm", "    RemoteDatabase = 'localhost:5432/shop'\n", Address,
                        "pg.params");
  }

  PGconn* Conn = nullptr;
  std::string Schema, Address;
};

const char* const kCustomerStatements = R"(== The statements it generated
-- ModifySQL
update customer
set
  name = :name,
  city = :city,
  tel = :phone,
  "E-MAIL" = :"E-MAIL"
where
  cust_no = :OLD_cust_no
-- InsertSQL
insert into customer
  (name, city, tel, "E-MAIL")
values
  (:name, :city, :phone, :"E-MAIL")
-- DeleteSQL
delete from customer
where
  cust_no = :OLD_cust_no
-- RefreshSQL
select name, city, tel as phone, "E-MAIL"
from customer
where
  cust_no = :OLD_cust_no
)";

}  // namespace

TEST_F(PostgresShopTest, TheExampleScriptPointsTheModuleAtTheServerAndWritesTheCustomerStatements) {
  Write("ShopPg.dfm", ReadSource("examples/ShopPg.dfm"));
  TKorvResult r =
      Korv({"run", std::string(KORV_SOURCE_DIR) + "/examples/shop-postgres.korv", "ShopPg.dfm", Address, "pg.params"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_NE(r.Out.find("\n    PostgreSQL | " + Address + " {ShopDB}\n"), std::string::npos) << r.Out;

  // The names the search path finds, in the inspector's order; other tests' schemas come qualified.
  std::vector<std::string> offered;
  for (const std::string& name :
       Section(r.Out, "== What the server offers: tables for Parts, procedures for CloseOrder"))
    if (name.find('.') == std::string::npos) offered.push_back(name);
  EXPECT_EQ(offered,
            (std::vector<std::string>{"\"ORDER\"", "audit_log", "customer", "order_line", "part", "close_order"}));

  const std::size_t statements = r.Out.find("== The statements it generated");
  ASSERT_NE(statements, std::string::npos) << r.Out;
  EXPECT_EQ(r.Out.substr(statements), kCustomerStatements);

  // Saved: the server's address and the parameters file's name, never the password.
  const std::string saved = Read("ShopPg.dfm");
  EXPECT_NE(saved.find("    RemoteDatabase = '" + Address + "'\n    ParamsFileName = 'pg.params'\n"), std::string::npos)
      << saved;
  EXPECT_NE(saved.find("      '  cust_no = :OLD_cust_no')"), std::string::npos) << saved;
  if (!Env("KORV_PG_PASSWORD").empty()) {
    EXPECT_EQ(saved.find(Env("KORV_PG_PASSWORD")), std::string::npos);
  }
}

TEST_F(PostgresShopTest, UpdatesqlReadsKeysAndColumnsOfQuotedAndCompositeKeyedTables) {
  WritePointedModule();
  const std::string before = Read("ShopPg.dfm");

  // "ORDER" keeps its capitals on the server: Get Table Fields asks for ORDER without the quotes
  // and still finds it.
  TKorvResult r = Korv({"updatesql", "ShopPg.dfm", "CustomersUpdate", "--table", "\"ORDER\"", "--table-fields",
                        "--primary-keys", "--fields", "cust_no,status", "--dry-run"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, R"(-- RefreshSQL
select cust_no, status
from "ORDER"
where
  order_no = :OLD_order_no

-- ModifySQL
update "ORDER"
set
  cust_no = :cust_no,
  status = :status
where
  order_no = :OLD_order_no

-- InsertSQL
insert into "ORDER"
  (cust_no, status)
values
  (:cust_no, :status)

-- DeleteSQL
delete from "ORDER"
where
  order_no = :OLD_order_no
)");

  r = Korv({"updatesql", "ShopPg.dfm", "CustomersUpdate", "--table", "order_line", "--table-fields", "--primary-keys",
            "--dry-run", "--json"});
  ASSERT_EQ(r.Exit, 0) << r;
  const auto statements = nlohmann::json::parse(r.Out);
  EXPECT_EQ(statements["ModifySQL"],
            "update order_line\nset\n  order_no = :order_no,\n  line_no = :line_no,\n  part_no = :part_no,\n"
            "  qty = :qty\nwhere\n  order_no = :OLD_order_no and\n  line_no = :OLD_line_no\n");
  EXPECT_EQ(Read("ShopPg.dfm"), before);  // a dry run saves nothing

  // A wrong password: the command fails, saying which database and why, and saves nothing.
  WriteParams("wrong");
  r = Korv({"updatesql", "ShopPg.dfm", "CustomersUpdate", "--table", "part", "--table-fields", "--dry-run"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_NE(r.Err.find("Cannot connect to database 'ShopData'"), std::string::npos) << r;
  EXPECT_NE(r.Err.find("password authentication failed"), std::string::npos) << r;
  EXPECT_EQ(Read("ShopPg.dfm"), before);

  // No password at all: the login dialog would ask, and a one-shot command cannot answer it.
  Write("pg.params", "USER NAME=" + Env("KORV_PG_USER") + "\noptions=-c search_path=" + Schema + "\n");
  r = Korv({"updatesql", "ShopPg.dfm", "CustomersUpdate", "--table", "part", "--table-fields", "--dry-run"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err,
            "korv: updatesql --table-fields: connecting ShopData needs a password: put PASSWORD in its "
            "Params or ParamsFileName, or answer the login dialog in korv design\n");
  EXPECT_EQ(Read("ShopPg.dfm"), before);
}

TEST_F(PostgresShopTest, DataShowsTheServersTypesAndNullApartFromEmpty) {
  WritePointedModule();
  Exec("INSERT INTO customer VALUES (4, 'Dune Press', '', NULL, NULL)");
  TKorvResult r = Korv({"data", "ShopPg.dfm", "Customers"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out,
            "Field    Type       Size  Required\n"
            "-------  ---------  ----  --------\n"
            "cust_no  ftInteger  0     yes\n"
            "name     ftString   40    yes\n"
            "city     ftString   30    no\n"
            "phone    ftString   20    no\n"
            "\n"
            "cust_no  name          city   phone\n"
            "-------  ------------  -----  -------------\n"
            "1        Alder Books   Leeds  0113 496 0001\n"
            "2        Birch & Co    York   01904 496 002\n"
            "3        Cedar Crafts  Hull   01482 496 003\n"
            "4        Dune Press    ''     NULL\n"
            "(4 rows)\n");

  r = Korv({"data", "ShopPg.dfm", "Parts", "--json", "--limit", "1"});
  ASSERT_EQ(r.Exit, 0) << r;
  const auto j = nlohmann::json::parse(r.Out);
  EXPECT_EQ(
      j["fields"][2],
      nlohmann::json({{"name", "price"}, {"type", "ftFMTBcd"}, {"size", 2}, {"precision", 10}, {"required", true}}));
  EXPECT_EQ(j["rows"], nlohmann::json::array({nlohmann::json::array({"P-100", "Notebook, A5", "3.50"})}));
  EXPECT_EQ(j["total"], 3);
}

TEST_F(PostgresShopTest, UpdatesqlQuotesMixedCaseNamesThatTheServerWouldFold) {
  WritePointedModule();
  Exec("CREATE TABLE \"OrderNotes\" (\"NoteId\" integer PRIMARY KEY, \"Body\" text, note_kind text)");
  // Without Quote Field Names, the names the server would fold are quoted all the same (the
  // parameters, which the library reads itself, are not); the box's table, typed bare as the
  // catalogue spells it or quoted as a statement writes it, finds it.
  for (const char* table : {"OrderNotes", "\"OrderNotes\""}) {
    TKorvResult r = Korv({"updatesql", "ShopPg.dfm", "CustomersUpdate", "--table", table, "--table-fields",
                          "--primary-keys", "--dry-run", "--json"});
    ASSERT_EQ(r.Exit, 0) << r;
    EXPECT_EQ(nlohmann::json::parse(r.Out)["ModifySQL"],
              "update \"OrderNotes\"\nset\n  \"NoteId\" = :NoteId,\n  \"Body\" = :Body,\n"
              "  note_kind = :note_kind\nwhere\n  \"NoteId\" = :OLD_NoteId\n")
        << table;
    r = Korv({"updatesql", "ShopPg.dfm", "CustomersUpdate", "--table", table, "--table-fields", "--primary-keys",
              "--check"});
    EXPECT_EQ(r.Out, "RefreshSQL: ok\nModifySQL: ok\nInsertSQL: ok\nDeleteSQL: ok\n") << table;
  }
}

TEST_F(PostgresShopTest, UpdatesqlCheckPreparesOnTheServerAndReportsItsErrorsWithPositions) {
  WritePointedModule();
  TKorvResult r = Korv({"updatesql", "ShopPg.dfm", "CustomersUpdate", "--table", "customer", "--table-fields",
                        "--primary-keys", "--fields", "name,city,tel", "--check", "--try"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out,
            "RefreshSQL: ok\n"
            "ModifySQL: ok\n"
            "InsertSQL: ok\n"
            "DeleteSQL: ok\n"
            "Try: ModifySQL would change 1 row for the first row of Customers (rolled back)\n");

  // Broken statements: the server's message, at the line and column of the statement as written
  // (its :name markers, not the $n the server saw).
  std::string module = Read("ShopPg.dfm");
  const std::string empty = "  object CustomersUpdate: TKVUpdateSQL\n  end\n";
  const std::size_t at = module.find(empty);
  ASSERT_NE(at, std::string::npos);
  module.replace(at, empty.size(),
                 "  object CustomersUpdate: TKVUpdateSQL\n"
                 "    ModifySQL.Strings = (\n"
                 "      'update customer'\n"
                 "      'st name = :name'\n"
                 "      'where cust_no = :OLD_cust_no')\n"
                 "    InsertSQL.Strings = (\n"
                 "      'insert into customer (name, city)'\n"
                 "      'values (:name, :city')\n"
                 "    DeleteSQL.Strings = (\n"
                 "      'delete from customer where cust_num = :OLD_cust_no')\n"
                 "  end\n");
  Write("ShopPg.dfm", module);
  r = Korv({"updatesql", "ShopPg.dfm", "CustomersUpdate", "--check", "--try"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Out,
            "RefreshSQL: empty\n"
            "ModifySQL: error at line 2, column 4: syntax error at or near \"name\"\n"
            "InsertSQL: error at line 2, column 21: syntax error at end of input\n"
            "DeleteSQL: error at line 1, column 28: column \"cust_num\" does not exist\n"
            "Try: skipped, ModifySQL did not prepare\n");
  EXPECT_EQ(r.Err, "");
}
