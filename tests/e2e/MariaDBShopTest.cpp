// korv on the example shop built on a real MariaDB server (scripts/mariadb-cluster exports
// KORV_MARIADB_*): the example script that points ShopMdb.dfm at the server, and `korv updatesql`
// on the module. Each test builds examples/shop-mariadb.sql in a database of its own; the
// password lives only in the module's parameters file.
#include "KorvRun.h"
#include "MdbTestServer.h"

#include <mysql.h>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <random>
#include <sstream>

namespace {

using korvtest::Env;

// The statements of a script as the mariadb client reads it: each ends in the delimiter, which a
// DELIMITER line changes (so that a procedure body keeps its own semicolons).
std::vector<std::string> ScriptStatements(const std::string& Script) {
  std::vector<std::string> statements;
  std::string delimiter = ";", current;
  std::istringstream in(Script);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("DELIMITER ", 0) == 0) {
      delimiter = line.substr(10);
      continue;
    }
    if (line.rfind("--", 0) == 0) continue;
    current += line + "\n";
    const std::size_t end = current.rfind(delimiter);
    if (end != std::string::npos && current.find_first_not_of(" \n", end + delimiter.size()) == std::string::npos) {
      statements.push_back(current.substr(0, end));
      current.clear();
    }
  }
  return statements;
}

class MariaDBShopTest : public TKorvTest {
protected:
  void SetUp() override {
    const auto server = korvtest::TMdbTestServer::FromEnvironment();
    if (!server) KORV_SKIP_OR_FAIL(korvtest::kNoMdbTestServer);
    Server = *server;
    std::random_device random;
    Db = fmt::format("korv_test_e{:08x}", random());
    Address = Server.Address(Db);
    Conn = mysql_init(nullptr);
    if (!mysql_real_connect(Conn, Server.Host.c_str(), Server.User.c_str(), Server.Password.c_str(),
                            Server.Database.c_str(), static_cast<unsigned>(std::stoul(Server.Port)), nullptr, 0))
      KORV_SKIP_OR_FAIL("MariaDB test server unreachable: " << mysql_error(Conn));
    Exec("CREATE DATABASE " + Db);
    Exec("USE " + Db);
    for (const auto& statement : ScriptStatements(ReadSource("examples/shop-mariadb.sql"))) Exec(statement);
    WriteParams(Server.Password);
  }
  void TearDown() override {
    if (Conn && !Db.empty()) mysql_query(Conn, ("DROP DATABASE IF EXISTS " + Db).c_str());
    if (Conn) mysql_close(Conn);
  }

  void Exec(const std::string& Sql) {
    ASSERT_EQ(mysql_real_query(Conn, Sql.data(), Sql.size()), 0) << mysql_error(Conn) << "\n" << Sql;
  }
  void WriteParams(const std::string& Password) {
    WritePrivate("mariadb.params", "USER NAME=" + Server.User + "\nPASSWORD=" + Password + "\n");
  }
  // ShopMdb.dfm as the example script leaves it: on this server, with the parameters file.
  void WritePointedModule() {
    WritePointedExample("examples/ShopMdb.dfm", "ShopMdb.dfm", "    RemoteDatabase = 'localhost:3306/shop'\n", Address,
                        "mariadb.params");
  }

  korvtest::TMdbTestServer Server;
  MYSQL* Conn = nullptr;
  std::string Db, Address;
};

const char* const kCustomerStatements = R"(== The statements it generated
-- ModifySQL
update customer
set
  name = :name,
  city = :city,
  tel = :phone,
  `E-MAIL` = :`E-MAIL`
where
  cust_no = :OLD_cust_no
-- InsertSQL
insert into customer
  (name, city, tel, `E-MAIL`)
values
  (:name, :city, :phone, :`E-MAIL`)
-- DeleteSQL
delete from customer
where
  cust_no = :OLD_cust_no
-- RefreshSQL
select name, city, tel as phone, `E-MAIL`
from customer
where
  cust_no = :OLD_cust_no
)";

}  // namespace

TEST_F(MariaDBShopTest, TheExampleScriptPointsTheModuleAtTheServerAndWritesTheCustomerStatements) {
  Write("ShopMdb.dfm", ReadSource("examples/ShopMdb.dfm"));
  TKorvResult r = Korv(
      {"run", std::string(KORV_SOURCE_DIR) + "/examples/shop-mariadb.korv", "ShopMdb.dfm", Address, "mariadb.params"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_NE(r.Out.find("\n    MariaDB | " + Address + " {ShopDB}\n"), std::string::npos) << r.Out;
  // The drop-downs of TableName and StoredProcName: the server's tables, ORDER as it must be written.
  EXPECT_NE(r.Out.find("== What the server offers: tables for Parts, procedures for CloseOrder\n"
                       "`ORDER`\naudit_log\ncustomer\norder_line\npart\nclose_order\n\n"),
            std::string::npos)
      << r.Out;
  const std::size_t statements = r.Out.find("== The statements it generated");
  ASSERT_NE(statements, std::string::npos) << r.Out;
  EXPECT_EQ(r.Out.substr(statements), kCustomerStatements);

  const std::string saved = Read("ShopMdb.dfm");
  EXPECT_NE(saved.find("    RemoteDatabase = '" + Address + "'\n    ParamsFileName = 'mariadb.params'\n"),
            std::string::npos)
      << saved;
  EXPECT_EQ(saved.find(Server.Password), std::string::npos);
}

TEST_F(MariaDBShopTest, UpdatesqlReadsKeysOfReservedAndCompositeKeyedTablesAndChecksOnTheServer) {
  WritePointedModule();
  const std::string before = Read("ShopMdb.dfm");
  TKorvResult r = Korv({"updatesql", "ShopMdb.dfm", "CustomersUpdate", "--table", "`ORDER`", "--table-fields",
                        "--primary-keys", "--fields", "cust_no,status", "--dry-run"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, R"(-- RefreshSQL
select cust_no, status
from `ORDER`
where
  order_no = :OLD_order_no

-- ModifySQL
update `ORDER`
set
  cust_no = :cust_no,
  status = :status
where
  order_no = :OLD_order_no

-- InsertSQL
insert into `ORDER`
  (cust_no, status)
values
  (:cust_no, :status)

-- DeleteSQL
delete from `ORDER`
where
  order_no = :OLD_order_no
)");

  r = Korv({"updatesql", "ShopMdb.dfm", "CustomersUpdate", "--table", "order_line", "--table-fields", "--primary-keys",
            "--dry-run", "--json"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(nlohmann::json::parse(r.Out)["ModifySQL"],
            "update order_line\nset\n  order_no = :order_no,\n  line_no = :line_no,\n  part_no = :part_no,\n"
            "  qty = :qty\nwhere\n  order_no = :OLD_order_no and\n  line_no = :OLD_line_no\n");
  EXPECT_EQ(Read("ShopMdb.dfm"), before);

  r = Korv({"updatesql", "ShopMdb.dfm", "CustomersUpdate", "--table", "customer", "--table-fields", "--primary-keys",
            "--fields", "name,city,tel", "--check", "--try"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out,
            "RefreshSQL: ok\n"
            "ModifySQL: ok\n"
            "InsertSQL: ok\n"
            "DeleteSQL: ok\n"
            "Try: ModifySQL would change 1 row for the first row of Customers (rolled back)\n");

  // A wrong password: the command fails, saying which database and why, and saves nothing.
  WriteParams("wrong");
  r = Korv({"updatesql", "ShopMdb.dfm", "CustomersUpdate", "--table", "part", "--table-fields", "--dry-run"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_NE(r.Err.find("Cannot connect to database 'ShopData'"), std::string::npos) << r;
  EXPECT_NE(r.Err.find("Access denied for user '" + Server.User + "'"), std::string::npos) << r;
  EXPECT_EQ(Read("ShopMdb.dfm"), before);
}

TEST_F(MariaDBShopTest, DataShowsTheServersTypes) {
  WritePointedModule();
  TKorvResult r = Korv({"data", "ShopMdb.dfm", "Parts", "--json", "--limit", "1"});
  ASSERT_EQ(r.Exit, 0) << r;
  const auto j = nlohmann::json::parse(r.Out);
  EXPECT_EQ(
      j["fields"][2],
      nlohmann::json({{"name", "price"}, {"type", "ftFMTBcd"}, {"size", 2}, {"precision", 10}, {"required", true}}));
  EXPECT_EQ(j["rows"], nlohmann::json::array({nlohmann::json::array({"P-100", "Notebook, A5", "3.50"})}));
  EXPECT_EQ(j["total"], 3);
}
