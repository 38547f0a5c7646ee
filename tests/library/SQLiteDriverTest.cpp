// The SQLite driver against real database files that each test builds in a temporary folder.
#include "TempFolder.h"

#include "korv/drivers/Registry.h"
#include "rtl/Exceptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

using namespace korv::drivers;
using korv::TKVServerType;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

// A database file written through the C API, which, unlike the driver, may create files.
class TSQLiteFile {
public:
  explicit TSQLiteFile(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &FDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(FDb));
  }
  ~TSQLiteFile() { sqlite3_close_v2(FDb); }
  void Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(FDb, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::string message = error ? error : "?";
      sqlite3_free(error);
      throw std::runtime_error(message + " in " + sql);
    }
  }
  int Count(const std::string& table) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(FDb, ("SELECT count(*) FROM " + table).c_str(), -1, &stmt, nullptr);
    const int n = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return n;
  }

private:
  sqlite3* FDb = nullptr;
};

constexpr const char* kSchema = R"(
  CREATE TABLE CUSTOMER (ID INTEGER PRIMARY KEY, NAME TEXT NOT NULL, TEL TEXT, CITY TEXT);
  CREATE TABLE ORDERS (CUST_ID INTEGER, BRANCH_ID INTEGER, AMOUNT REAL, CODE TEXT,
    DOUBLED REAL GENERATED ALWAYS AS (AMOUNT * 2) VIRTUAL,
    PLUS_ONE REAL GENERATED ALWAYS AS (AMOUNT + 1) STORED,
    PRIMARY KEY (CUST_ID, BRANCH_ID));
  CREATE UNIQUE INDEX ORDERS_CODE ON ORDERS (CODE);
  CREATE INDEX ORDERS_AMOUNT ON ORDERS (AMOUNT);
  CREATE TABLE "Mixed Case" ("Col One" TEXT, "col""quote" TEXT, UNIQUE ("Col One"));
  CREATE TABLE NOKEYS (A, B);
  CREATE TABLE PARTIAL (A, B);
  CREATE UNIQUE INDEX PARTIAL_A ON PARTIAL (A) WHERE B IS NOT NULL;
  CREATE TABLE WORDS (K TEXT PRIMARY KEY, V) WITHOUT ROWID;
  CREATE TABLE COUNTER (ID INTEGER PRIMARY KEY AUTOINCREMENT, N);
  CREATE VIEW V_CUST AS SELECT ID, TEL AS PHONE, NAME || '!' AS SHOUT FROM CUSTOMER;
  INSERT INTO CUSTOMER VALUES (1, 'Ann', '555', 'Oslo');
  INSERT INTO COUNTER (N) VALUES (1);
)";

class SQLiteDriverTest : public ::testing::Test {
protected:
  TTempFolder Folder;
  std::string DbFile = Folder.File("test.db");

  void SetUp() override { TSQLiteFile(DbFile).Exec(std::string("BEGIN;") + kSchema + "COMMIT;"); }

  std::unique_ptr<Connection> Connect(const std::string& file, std::string baseDir = {},
                                      std::function<void(const std::string&)> trace = {}) {
    ConnectionSpec spec;
    spec.RemoteDatabase = file;
    spec.BaseDir = std::move(baseDir);
    spec.OnTrace = std::move(trace);
    return GetDriver(TKVServerType::stSQLite).Connect(spec);
  }
  std::unique_ptr<Connection> Connect() { return Connect(DbFile); }

  std::string ConnectError(const std::string& file) {
    try {
      Connect(file);
    } catch (const rtl::EDatabaseError& e) {
      return e.Message();
    }
    return "(connected)";
  }
};

// One identifier in double quotes, dots and all.
std::string Quoted(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::vector<std::string> IndexRows(const std::vector<IndexColumn>& rows) {
  std::vector<std::string> text;
  for (const auto& row : rows)
    text.push_back(row.IndexName + "/" + row.ColumnName + "/" + std::to_string(row.IndexType));
  return text;
}

TEST_F(SQLiteDriverTest, TableNamesListTablesAndViewsSystemTablesOnlyWhenAsked) {
  auto db = Connect();
  EXPECT_THAT(db->TableNames("", false),
              ElementsAre("COUNTER", "CUSTOMER", "Mixed Case", "NOKEYS", "ORDERS", "PARTIAL", "V_CUST", "WORDS"));
  auto all = db->TableNames("", true);
  EXPECT_EQ(all.size(), 9u);
  EXPECT_THAT(all, ::testing::Contains("sqlite_sequence"));
  // A LIKE pattern, letter case ignored; "\" escapes a wildcard.
  EXPECT_THAT(db->TableNames("c%", false), ElementsAre("COUNTER", "CUSTOMER"));
  EXPECT_THAT(db->TableNames("%\\_%", false), ElementsAre("V_CUST"));
  EXPECT_THAT(db->TableNames("sqlite%", false), IsEmpty());
}

TEST_F(SQLiteDriverTest, ColumnNamesInOrderWithGeneratedColumnsAndViews) {
  auto db = Connect();
  EXPECT_THAT(db->ColumnNames("CUSTOMER"), ElementsAre("ID", "NAME", "TEL", "CITY"));
  EXPECT_THAT(db->ColumnNames("customer"), ElementsAre("ID", "NAME", "TEL", "CITY"));
  EXPECT_THAT(db->ColumnNames("ORDERS"), ElementsAre("CUST_ID", "BRANCH_ID", "AMOUNT", "CODE", "DOUBLED", "PLUS_ONE"));
  EXPECT_THAT(db->ColumnNames("V_CUST"), ElementsAre("ID", "PHONE", "SHOUT"));
  EXPECT_THAT(db->ColumnNames("Mixed Case"), ElementsAre("Col One", "col\"quote"));
  EXPECT_THAT(db->ColumnNames("NO_SUCH_TABLE"), IsEmpty());
}

TEST_F(SQLiteDriverTest, QuotedAndOwnerQualifiedNames) {
  TSQLiteFile(Folder.File("other.db")).Exec("CREATE TABLE REMOTE (R1 INTEGER PRIMARY KEY, R2)");
  auto db = Connect();
  db->Execute("ATTACH DATABASE '" + Folder.File("other.db") + "' AS aux");
  EXPECT_THAT(db->ColumnNames("\"Mixed Case\""), ElementsAre("Col One", "col\"quote"));
  EXPECT_THAT(db->ColumnNames("main.CUSTOMER"), ElementsAre("ID", "NAME", "TEL", "CITY"));
  EXPECT_THAT(db->ColumnNames("MAIN.\"Mixed Case\""), ElementsAre("Col One", "col\"quote"));
  EXPECT_THAT(db->ColumnNames("aux.REMOTE"), ElementsAre("R1", "R2"));
  EXPECT_THAT(db->ColumnNames("main.REMOTE"), IsEmpty());
  EXPECT_THAT(db->ColumnNames("nosuchschema.CUSTOMER"), IsEmpty());
  EXPECT_THAT(IndexRows(db->IndexInfo("aux.REMOTE")), ElementsAre("PRIMARY/R1/6"));
  EXPECT_THAT(db->TableNames("R%", false), ElementsAre("aux.REMOTE"));
  // A table whose own name has a dot is found by that name before the dot is read as an owner.
  db->Execute("CREATE TABLE \"aux.REMOTE\" (DOTTED)");
  EXPECT_THAT(db->ColumnNames("aux.REMOTE"), ElementsAre("DOTTED"));
}

TEST_F(SQLiteDriverTest, IndexInfoReportsKeysInIndexThenColumnOrder) {
  auto db = Connect();
  // A rowid primary key has no index of its own and is still reported as primary and unique.
  EXPECT_THAT(IndexRows(db->IndexInfo("CUSTOMER")), ElementsAre("PRIMARY/ID/6"));
  EXPECT_THAT(IndexRows(db->IndexInfo("ORDERS")),
              ElementsAre("ORDERS_AMOUNT/AMOUNT/0", "ORDERS_CODE/CODE/2", "sqlite_autoindex_ORDERS_1/CUST_ID/6",
                          "sqlite_autoindex_ORDERS_1/BRANCH_ID/6"));
  EXPECT_THAT(IndexRows(db->IndexInfo("Mixed Case")), ElementsAre("sqlite_autoindex_Mixed Case_1/Col One/2"));
  EXPECT_THAT(IndexRows(db->IndexInfo("WORDS")), ElementsAre("sqlite_autoindex_WORDS_1/K/6"));
  EXPECT_THAT(db->IndexInfo("NOKEYS"), IsEmpty());
  // A partial unique index does not make its column unique over the table.
  EXPECT_THAT(IndexRows(db->IndexInfo("PARTIAL")), ElementsAre("PARTIAL_A/A/0"));
  EXPECT_THAT(db->IndexInfo("NO_SUCH_TABLE"), IsEmpty());
}

TEST_F(SQLiteDriverTest, DescribeStatementTellsOriginsWithoutRunning) {
  auto db = Connect();
  auto fields = db->DescribeStatement(
      "select c.TEL as PHONE, c.ID, c.ID + 1 as NEXT_ID, count(*) as N, o.* "
      "from CUSTOMER c join ORDERS o on o.CUST_ID = c.ID group by c.ID");
  std::vector<std::string> text;
  for (const auto& f : fields) text.push_back(f.FieldName + "=" + f.TableName + "." + f.ColumnName);
  EXPECT_THAT(text, ElementsAre("PHONE=CUSTOMER.TEL", "ID=CUSTOMER.ID", "NEXT_ID=.", "N=.", "CUST_ID=ORDERS.CUST_ID",
                                "BRANCH_ID=ORDERS.BRANCH_ID", "AMOUNT=ORDERS.AMOUNT", "CODE=ORDERS.CODE",
                                "DOUBLED=ORDERS.DOUBLED", "PLUS_ONE=ORDERS.PLUS_ONE"));
  // A view's column comes from its base table; an expression in the view from nowhere.
  fields = db->DescribeStatement("select PHONE, SHOUT from V_CUST");
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0].TableName + "." + fields[0].ColumnName, "CUSTOMER.TEL");
  EXPECT_EQ(fields[1].TableName, "");

  // Prepared only: a DELETE described deletes nothing.
  EXPECT_THAT(db->DescribeStatement("delete from CUSTOMER"), IsEmpty());
  EXPECT_THAT(db->DescribeStatement("  -- nothing\n"), IsEmpty());
  EXPECT_EQ(TSQLiteFile(DbFile).Count("CUSTOMER"), 1);
}

TEST_F(SQLiteDriverTest, MisspeltQuotedColumnIsAnErrorNotAString) {
  auto db = Connect();
  try {
    db->DescribeStatement("select \"TELX\" from CUSTOMER");
    FAIL() << "no error";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("no such column: TELX"));
  }
  EXPECT_THROW(db->Execute("insert into CUSTOMER (ID, NAME) values (9, \"Bob\")"), rtl::EDatabaseError);
}

TEST_F(SQLiteDriverTest, ProceduresDoNotExist) {
  auto db = Connect();
  EXPECT_THAT(db->ProcedureNames(), IsEmpty());
  EXPECT_FALSE(db->ProcedureDescriptionsAvailable());
  try {
    db->DescribeProcedure("GET_TOTALS");
    FAIL() << "no error";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("GET_TOTALS"));
    EXPECT_THAT(e.Message(), HasSubstr("no stored procedures"));
  }
}

TEST_F(SQLiteDriverTest, ExecuteRunsEveryStatementAndTracesWhatIsSent) {
  std::vector<std::string> sent;
  auto db = Connect(DbFile, {}, [&](const std::string& sql) { sent.push_back(sql); });
  ASSERT_EQ(sent.size(), 1u);  // the schema probe
  sent.clear();
  db->Execute("insert into NOKEYS values (1, 2); /* between */ insert into NOKEYS values (3, 4);  ");
  EXPECT_THAT(sent,
              ElementsAre("insert into NOKEYS values (1, 2);", "/* between */ insert into NOKEYS values (3, 4);"));
  EXPECT_EQ(TSQLiteFile(DbFile).Count("NOKEYS"), 2);
  sent.clear();
  db->ColumnNames("NOKEYS");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_THAT(sent[0], HasSubstr("pragma_table_xinfo('NOKEYS', NULL)"));
  EXPECT_THROW(db->Execute("insert into NO_SUCH_TABLE values (1)"), rtl::EDatabaseError);
}

TEST_F(SQLiteDriverTest, HostileNamesPassThroughEveryCallHarmlessly) {
  // clang-format off
  const std::vector<std::string> names = {
      "x\"; drop table CUSTOMER; --", "x'); drop table CUSTOMER; --", "a\"b", "'", "\"", "\"\"", ".", "a.b.c",
      "main.", ".CUSTOMER", "my table", "[CUSTOMER]; drop table CUSTOMER", "`x`", "naïve Ωmega", "%", "\\",
      std::string("nul\0byte", 8), "", "main.x\"; drop table CUSTOMER; --"};
  // clang-format on
  auto db = Connect();
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    EXPECT_NO_THROW(db->TableNames(name, true));
    EXPECT_NO_THROW(db->ColumnNames(name));
    EXPECT_NO_THROW(db->IndexInfo(name));
    EXPECT_THROW(db->DescribeProcedure(name), rtl::EDatabaseError);
  }
  EXPECT_EQ(TSQLiteFile(DbFile).Count("CUSTOMER"), 1);

  // Tables that bear such names answer to them, plain or quoted.
  for (const std::string name : {"x\"; drop table CUSTOMER; --", "naïve Ωmega", "a.b", "it's"}) {
    SCOPED_TRACE(name);
    const std::string quoted = Quoted(name);
    db->Execute("create table " + quoted + " (" + quoted + " integer primary key, \"second col\")");
    EXPECT_THAT(db->ColumnNames(name), ElementsAre(name, "second col"));
    EXPECT_THAT(db->ColumnNames(quoted), ElementsAre(name, "second col"));
    EXPECT_THAT(IndexRows(db->IndexInfo(name)), ElementsAre("PRIMARY/" + name + "/6"));
    EXPECT_THAT(db->TableNames(name, false), ElementsAre(name));
    auto fields = db->DescribeStatement("select * from " + quoted);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].TableName, name);
  }
  EXPECT_EQ(TSQLiteFile(DbFile).Count("CUSTOMER"), 1);
}

TEST_F(SQLiteDriverTest, RelativeFileIsTakenFromBaseDir) {
  auto db = Connect("test.db", Folder.Path().string());
  EXPECT_THAT(db->ColumnNames("NOKEYS"), ElementsAre("A", "B"));
}

TEST_F(SQLiteDriverTest, ReadOnlyParameterRefusesWrites) {
  ConnectionSpec spec;
  spec.RemoteDatabase = DbFile;
  spec.Params = {{"READONLY", "True"}};
  auto db = GetDriver(TKVServerType::stSQLite).Connect(spec);
  EXPECT_THAT(db->ColumnNames("NOKEYS"), ElementsAre("A", "B"));
  EXPECT_THROW(db->Execute("insert into NOKEYS values (1, 2)"), rtl::EDatabaseError);
}

TEST_F(SQLiteDriverTest, MissingFileIsAnErrorAndIsNotCreated) {
  const auto missing = Folder.File("missing.db");
  const auto message = ConnectError(missing);
  EXPECT_THAT(message, HasSubstr(missing));
  EXPECT_THAT(message, HasSubstr("does not exist"));
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_THAT(ConnectError(""), HasSubstr("no database file"));
}

TEST_F(SQLiteDriverTest, FileThatIsNotADatabaseFailsAtConnect) {
  const auto bad = Folder.File("notes.txt");
  std::ofstream(bad) << std::string(4096, 'x') << "this is not a database\n";
  const auto message = ConnectError(bad);
  EXPECT_THAT(message, HasSubstr(bad));
  EXPECT_THAT(message, HasSubstr("file is not a database"));
}

TEST_F(SQLiteDriverTest, LockedFileFailsAtConnect) {
  TSQLiteFile holder(DbFile);
  holder.Exec("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; INSERT INTO NOKEYS VALUES (1, 1);");
  const auto message = ConnectError(DbFile);
  EXPECT_THAT(message, HasSubstr(DbFile));
  EXPECT_THAT(message, HasSubstr("locked"));
  holder.Exec("ROLLBACK");
}

}  // namespace
