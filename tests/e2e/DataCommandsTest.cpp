// korv data and the statement checks (updatesql --check/--try, and data/check in scripts) on the
// example shop's SQLite file: field definitions with the driver's types, rows with NULL apart
// from an empty string, and the database's verdict on each update statement.
#include "KorvRun.h"

#include <nlohmann/json.hpp>

namespace {

class DataCommandsTest : public TKorvTest {
protected:
  // The example, with a fourth customer whose city is NULL and whose telephone is empty.
  void SetUp() override {
    CopyExample();
    Exec("INSERT INTO CUSTOMER VALUES (4, 'Dune Press', NULL, '', NULL)");
  }
  void Exec(const std::string& Sql) { BuildDatabase("shop.db", Sql); }
  std::string Query(const std::string& Sql) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(Temp.File("shop.db").c_str(), &db), SQLITE_OK);
    std::string result;
    sqlite3_exec(
        db, Sql.c_str(),
        [](void* out, int n, char** values, char**) {
          auto& s = *static_cast<std::string*>(out);
          for (int i = 0; i < n; ++i) s += (i ? "|" : "") + std::string(values[i] ? values[i] : "NULL");
          s += "\n";
          return 0;
        },
        &result, nullptr);
    sqlite3_close(db);
    return result;
  }
  // The example's Shop.dfm with CustomersUpdate holding the given statements.
  void WriteUpdateObject(const std::string& Modify, const std::string& Insert, const std::string& Delete) {
    std::string module = ReadSource("examples/Shop.dfm");
    const std::string empty = "  object CustomersUpdate: TKVUpdateSQL\n  end\n";
    const std::size_t at = module.find(empty);
    ASSERT_NE(at, std::string::npos);
    auto lines = [](const std::string& Sql) {
      std::string text, line;
      std::istringstream in(Sql);
      while (std::getline(in, line)) {
        std::string quoted;
        for (char c : line) quoted += c == '\'' ? std::string("''") : std::string(1, c);
        text += (text.empty() ? "" : "\n") + ("      '" + quoted + "'");
      }
      return text;
    };
    module.replace(at, empty.size(),
                   "  object CustomersUpdate: TKVUpdateSQL\n    ModifySQL.Strings = (\n" + lines(Modify) +
                       ")\n    InsertSQL.Strings = (\n" + lines(Insert) + ")\n    DeleteSQL.Strings = (\n" +
                       lines(Delete) + ")\n  end\n");
    Write("Shop.dfm", module);
  }
};

const char* const kCustomerFields =
    "Field    Type       Size  Required\n"
    "-------  ---------  ----  --------\n"
    "CUST_NO  ftInteger  0     no\n"
    "NAME     ftString   40    yes\n"
    "CITY     ftString   30    no\n"
    "PHONE    ftString   20    no\n"
    "\n";

}  // namespace

TEST_F(DataCommandsTest, DataPrintsFieldsAndRowsWithNullApartFromEmpty) {
  TKorvResult r = Korv({"data", "Shop.dfm", "Customers"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, std::string(kCustomerFields) +
                       "CUST_NO  NAME          CITY   PHONE\n"
                       "-------  ------------  -----  -------------\n"
                       "1        Alder Books   Leeds  0113 496 0001\n"
                       "2        Birch & Co    York   01904 496 002\n"
                       "3        Cedar Crafts  Hull   01482 496 003\n"
                       "4        Dune Press    NULL   ''\n"
                       "(4 rows)\n");

  // A numeric column: its precision and scale from the declared type.
  r = Korv({"data", "Shop.dfm", "Parts", "--limit", "1"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_NE(r.Out.find("PRICE        ftFMTBcd  10,2  yes\n"), std::string::npos) << r;
  EXPECT_NE(r.Out.find("\nP-100    Notebook, A5  3.5\n(1 of 3 rows)\n"), std::string::npos) << r;
  EXPECT_EQ(Read("Shop.dfm"), ReadSource("examples/Shop.dfm"));  // only read
}

TEST_F(DataCommandsTest, DataAsJsonKeepsNullAndEmptyApartAndCountsEveryRow) {
  TKorvResult r = Korv({"data", "Shop.dfm", "Customers", "--json", "--limit", "0"});
  ASSERT_EQ(r.Exit, 0) << r;
  auto j = nlohmann::json::parse(r.Out);
  EXPECT_EQ(j["rows"].size(), 0u);
  EXPECT_EQ(j["total"], 4);

  r = Korv({"data", "Shop.dfm", "Customers", "--json"});
  ASSERT_EQ(r.Exit, 0) << r;
  j = nlohmann::json::parse(r.Out);
  ASSERT_EQ(j["fields"].size(), 4u);
  EXPECT_EQ(
      j["fields"][1],
      nlohmann::json({{"name", "NAME"}, {"type", "ftString"}, {"size", 40}, {"precision", 0}, {"required", true}}));
  ASSERT_EQ(j["rows"].size(), 4u);
  EXPECT_EQ(j["rows"][3], nlohmann::json({"4", "Dune Press", nullptr, ""}));
  EXPECT_EQ(j["total"], 4);
}

TEST_F(DataCommandsTest, DataRefusesWhatIsNoDataSetAndBadLimits) {
  TKorvResult r = Korv({"data", "Shop.dfm", "ShopDB"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "korv: ShopDB is a TKVDatabase, not a data set\n");
  r = Korv({"data", "Shop.dfm", "Nobody"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_NE(r.Err.find("No component named Nobody"), std::string::npos) << r;
  r = Korv({"data", "Shop.dfm", "Customers", "--limit", "-1"});
  EXPECT_EQ(r.Exit, 2) << r;

  // A query the database refuses: the database's message, and nothing printed.
  Exec("DROP TABLE CUSTOMER");
  r = Korv({"data", "Shop.dfm", "Customers"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Out, "");
  EXPECT_NE(r.Err.find("no such table: CUSTOMER"), std::string::npos) << r;
}

TEST_F(DataCommandsTest, DataInAScriptTakesTheSelectionAndLeavesTheDataSetClosed) {
  TKorvResult r = RunScript(
      "open Shop.dfm\n"
      "select Customers\n"
      "data --limit 1\n"
      "get Active\n"
      "data Parts --limit 0\n"
      "data ShopDB\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Out, std::string(kCustomerFields) +
                       "CUST_NO  NAME         CITY   PHONE\n"
                       "-------  -----------  -----  -------------\n"
                       "1        Alder Books  Leeds  0113 496 0001\n"
                       "(1 of 4 rows)\n"
                       "False\n"
                       "Field        Type      Size  Required\n"
                       "-----------  --------  ----  --------\n"
                       "PART_NO      ftString  12    no\n"
                       "DESCRIPTION  ftString  60    yes\n"
                       "PRICE        ftFMTBcd  10,2  yes\n"
                       "\n"
                       "PART_NO  DESCRIPTION  PRICE\n"
                       "-------  -----------  -----\n"
                       "(0 of 3 rows)\n");
  EXPECT_EQ(r.Err, "script.korv:6: ShopDB is a TKVDatabase, not a data set\n");

  r = RunScript("open Shop.dfm\ndata\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_NE(r.Err.find("script.korv:2: "), std::string::npos) << r;
}

TEST_F(DataCommandsTest, CheckPreparesGeneratedStatementsAndTriesTheModifyRolledBack) {
  const std::string before = Read("Shop.dfm");
  TKorvResult r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--table", "CUSTOMER", "--table-fields",
                        "--primary-keys", "--fields", "NAME,CITY,TEL", "--check", "--try"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out,
            "RefreshSQL: ok\n"
            "ModifySQL: ok\n"
            "InsertSQL: ok\n"
            "DeleteSQL: ok\n"
            "Try: ModifySQL would change 1 row for the first row of Customers (rolled back)\n");
  EXPECT_EQ(Read("Shop.dfm"), before);  // generated for the check only, never saved

  // With the e-mail column too, the modify has a parameter no field of the query fills: the
  // statements prepare, the try says why it cannot run.
  r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--table", "CUSTOMER", "--table-fields", "--primary-keys",
            "--check", "--try"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_NE(r.Out.find("DeleteSQL: ok\nTry: error: "), std::string::npos) << r;
  EXPECT_NE(r.Out.find("parameter E-MAIL is not a field of the data set"), std::string::npos) << r;
  EXPECT_EQ(r.Err, "");

  // A modify that finds no row for the first one: the try says so and fails; nothing changed.
  WriteUpdateObject("update CUSTOMER set NAME = :NAME\nwhere CUST_NO = :OLD_CUST_NO + 100",
                    "insert into CUSTOMER (NAME) values (:NAME)", "delete from CUSTOMER where CUST_NO = :OLD_CUST_NO");
  r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--check", "--try"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_NE(r.Out.find("Try: ModifySQL would change 0 rows for the first row of Customers (rolled back)\n"),
            std::string::npos)
      << r;

  // A modify that changes the row: the change is rolled back.
  WriteUpdateObject("update CUSTOMER set NAME = 'Tried'\nwhere CUST_NO = :OLD_CUST_NO",
                    "insert into CUSTOMER (NAME) values (:NAME)", "delete from CUSTOMER where CUST_NO = :OLD_CUST_NO");
  r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--check", "--try"});
  EXPECT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(Query("select NAME from CUSTOMER where CUST_NO = 1"), "Alder Books\n");

  r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--try"});
  EXPECT_EQ(r.Exit, 2) << r;
  EXPECT_EQ(r.Err, "korv: --try goes with --check\n");
}

TEST_F(DataCommandsTest, CheckShowsTheDatabasesMessageAndPositionForABrokenStatement) {
  WriteUpdateObject("update CUSTOMER\nst NAME = :NAME\nwhere CUST_NO = :OLD_CUST_NO",
                    "insert into CUSTOMER (NAME, CITY)\nvalues (:NAME, :CITY",
                    "delete from CUSTOMER where CUST_NUM = :OLD_CUST_NO");
  const std::string before = Read("Shop.dfm");
  TKorvResult r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--check", "--try"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Out,
            "RefreshSQL: empty\n"
            "ModifySQL: error at line 2, column 1: near \"st\": syntax error\n"
            "InsertSQL: error: incomplete input\n"
            "DeleteSQL: error at line 1, column 28: no such column: CUST_NUM\n"
            "Try: skipped, ModifySQL did not prepare\n");
  EXPECT_EQ(r.Err, "");

  r = Korv({"updatesql", "Shop.dfm", "CustomersUpdate", "--check", "--json"});
  EXPECT_EQ(r.Exit, 1) << r;
  const auto j = nlohmann::json::parse(r.Out);
  EXPECT_EQ(j["RefreshSQL"], nlohmann::json({{"result", "empty"}}));
  EXPECT_EQ(j["DeleteSQL"], nlohmann::json({{"result", "error"},
                                            {"message", "no such column: CUST_NUM"},
                                            {"position", 28},
                                            {"line", 1},
                                            {"column", 28}}));
  EXPECT_EQ(Read("Shop.dfm"), before);

  // In a script: check prints the same verdicts, and the line fails.
  r = RunScript("open Shop.dfm\ncheck CustomersUpdate\necho not reached\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_NE(r.Out.find("ModifySQL: error at line 2, column 1: near \"st\": syntax error\n"), std::string::npos) << r;
  EXPECT_EQ(r.Out.find("not reached"), std::string::npos) << r;
  EXPECT_EQ(r.Err, "script.korv:2: CustomersUpdate: not every statement passed\n");

  r = RunScript("open Shop.dfm\ncheck Customers\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "script.korv:2: Customers is a TKVQuery, not an update object (TKVUpdateSQL)\n");
}
