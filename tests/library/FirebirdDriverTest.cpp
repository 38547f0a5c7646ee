// The Firebird driver on databases the embedded engine creates in a temporary folder: no server.
#include "korv/drivers/Registry.h"
#include "korv/firebird/FbAddress.h"
#include "korv/firebird/FbDatabase.h"
#include "rtl/Exceptions.h"

#include "TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace korv::drivers;
using korv::TKVServerType;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace korv::drivers {
bool operator==(const IndexColumn& a, const IndexColumn& b) {
  return a.IndexName == b.IndexName && a.ColumnName == b.ColumnName && a.IndexType == b.IndexType;
}
bool operator==(const FieldOrigin& a, const FieldOrigin& b) {
  return a.FieldName == b.FieldName && a.TableName == b.TableName && a.ColumnName == b.ColumnName;
}
void PrintTo(const IndexColumn& c, std::ostream* os) {
  *os << c.IndexName << "/" << c.ColumnName << "/" << c.IndexType;
}
void PrintTo(const FieldOrigin& f, std::ostream* os) {
  *os << f.FieldName << "/" << f.TableName << "/" << f.ColumnName;
}
}  // namespace korv::drivers

namespace {

const char* const kSchema[] = {
    "CREATE TABLE CUSTOMER (CUST_NO INTEGER NOT NULL, NAME VARCHAR(40) NOT NULL, CITY VARCHAR(30),"
    " TEL CHAR(12), CONSTRAINT PK_CUSTOMER PRIMARY KEY (CUST_NO))",
    "CREATE INDEX IX_CUST_CITY ON CUSTOMER (CITY)",
    "CREATE UNIQUE INDEX UX_CUST_TEL ON CUSTOMER (TEL)",
    "CREATE TABLE ORDER_LINE (ORDER_NO INTEGER NOT NULL, LINE_NO SMALLINT NOT NULL, QTY NUMERIC(9,2),"
    " CONSTRAINT PK_ORDER_LINE PRIMARY KEY (ORDER_NO, LINE_NO))",
    "CREATE TABLE CODES (CODE VARCHAR(10) NOT NULL, CONSTRAINT UQ_CODE UNIQUE (CODE))",
    "CREATE TABLE \"OrderLines\" (\"Id\" INTEGER NOT NULL, \"Note\" VARCHAR(10),"
    " CONSTRAINT \"PK_OrderLines\" PRIMARY KEY (\"Id\"))",
    "CREATE VIEW V_CUST AS SELECT CUST_NO, NAME FROM CUSTOMER",
    "CREATE PROCEDURE ORDER_TOTAL (ORDER_NO INTEGER) RETURNS (TOTAL NUMERIC(18,2), LINES INTEGER) AS\n"
    "BEGIN\n"
    "  SELECT SUM(QTY), COUNT(*) FROM ORDER_LINE WHERE ORDER_NO = :ORDER_NO INTO :TOTAL, :LINES;\n"
    "  SUSPEND;\n"
    "END",
};

std::string ConnectError(const ConnectionSpec& spec) {
  try {
    GetDriver(TKVServerType::stFirebird).Connect(spec);
  } catch (const rtl::EDatabaseError& e) {
    return e.Message();
  }
  return "(connected)";
}

class FirebirdDriverTest : public ::testing::Test {
protected:
  void SetUp() override {
    Spec.RemoteDatabase = "shop.fdb";  // relative: taken from BaseDir, as a module's folder
    Spec.BaseDir = Folder.Path().string();
    firebird::CreateDatabase(Spec);
    Db = GetDriver(TKVServerType::stFirebird).Connect(Spec);
    for (const char* ddl : kSchema) Db->Execute(ddl);
  }

  std::vector<std::vector<std::string>> Rows(const std::string& sql, const std::vector<ParamValue>& params = {}) {
    auto statement = Db->Prepare(sql);
    auto cursor = statement->Open(params);
    std::vector<std::vector<std::string>> rows;
    while (cursor->Next()) {
      auto& row = rows.emplace_back();
      for (int i = 0; i < static_cast<int>(cursor->Fields().size()); ++i) {
        const CellView cell = cursor->Cell(i);
        switch (cell.Type) {
        case CellView::Kind::Null: row.push_back("NULL"); break;
        case CellView::Kind::Integer: row.push_back("i" + std::to_string(cell.Integer)); break;
        case CellView::Kind::Float: row.push_back("f" + std::to_string(cell.Float)); break;
        case CellView::Kind::Text: row.push_back(std::string(cell.Text)); break;
        case CellView::Kind::Blob: row.push_back("b" + std::string(cell.Text)); break;
        }
      }
    }
    return rows;
  }

  static ParamValue Text(std::string value) { return {std::move(value), rtl::TFieldType::ftUnknown}; }

  TTempFolder Folder;
  ConnectionSpec Spec;
  std::unique_ptr<Connection> Db;
};

TEST_F(FirebirdDriverTest, TableNamesListTablesAndViewsAndSystemTablesOnlyWhenAsked) {
  EXPECT_THAT(Db->TableNames("", false), ElementsAre("CODES", "CUSTOMER", "ORDER_LINE", "OrderLines", "V_CUST"));
  EXPECT_THAT(Db->TableNames("CU%", false), ElementsAre("CUSTOMER"));
  EXPECT_THAT(Db->TableNames("RDB$REL%", false), IsEmpty());
  EXPECT_THAT(Db->TableNames("RDB$RELATION%", true),
              ElementsAre("RDB$RELATIONS", "RDB$RELATION_CONSTRAINTS", "RDB$RELATION_FIELDS"));
}

TEST_F(FirebirdDriverTest, ColumnNamesInPositionOrderForNamesAsStoredOrAsWrittenInSQL) {
  EXPECT_THAT(Db->ColumnNames("CUSTOMER"), ElementsAre("CUST_NO", "NAME", "CITY", "TEL"));
  EXPECT_THAT(Db->ColumnNames("customer"), ElementsAre("CUST_NO", "NAME", "CITY", "TEL"));
  EXPECT_THAT(Db->ColumnNames("V_CUST"), ElementsAre("CUST_NO", "NAME"));
  EXPECT_THAT(Db->ColumnNames("\"OrderLines\""), ElementsAre("Id", "Note"));
  EXPECT_THAT(Db->ColumnNames("OrderLines"), ElementsAre("Id", "Note"));
  EXPECT_THAT(Db->ColumnNames("orderlines"), IsEmpty());
  EXPECT_THAT(Db->ColumnNames("NO_SUCH_TABLE"), IsEmpty());
}

TEST_F(FirebirdDriverTest, IndexInfoMarksPrimaryKeysAndUniqueIndexesAndConstraints) {
  EXPECT_THAT(Db->IndexInfo("CUSTOMER"),
              ElementsAre(IndexColumn{"IX_CUST_CITY", "CITY", 0}, IndexColumn{"PK_CUSTOMER", "CUST_NO", 6},
                          IndexColumn{"UX_CUST_TEL", "TEL", 2}));
  EXPECT_THAT(Db->IndexInfo("order_line"),
              ElementsAre(IndexColumn{"PK_ORDER_LINE", "ORDER_NO", 6}, IndexColumn{"PK_ORDER_LINE", "LINE_NO", 6}));
  EXPECT_THAT(Db->IndexInfo("CODES"), ElementsAre(IndexColumn{"UQ_CODE", "CODE", 2}));
  EXPECT_THAT(Db->IndexInfo("\"OrderLines\""), ElementsAre(IndexColumn{"PK_OrderLines", "Id", 6}));
  EXPECT_THAT(Db->IndexInfo("V_CUST"), IsEmpty());
  EXPECT_THAT(Db->IndexInfo("NO_SUCH_TABLE"), IsEmpty());
}

TEST_F(FirebirdDriverTest, ProceduresAndTheirInputAndOutputParameters) {
  EXPECT_THAT(Db->ProcedureNames(), ElementsAre("ORDER_TOTAL"));
  const auto params = Db->DescribeProcedure("order_total");
  ASSERT_EQ(params.size(), 3u);
  EXPECT_EQ(params[0].Name, "ORDER_NO");
  EXPECT_EQ(params[0].TypeName, "INTEGER");
  EXPECT_EQ(params[0].Direction, ParamDirection::Input);
  EXPECT_EQ(params[1].Name, "TOTAL");
  EXPECT_EQ(params[1].TypeName, "NUMERIC(18,2)");
  EXPECT_EQ(params[1].Direction, ParamDirection::Output);
  EXPECT_EQ(params[2].Name, "LINES");
  EXPECT_EQ(params[2].Direction, ParamDirection::Output);
  try {
    Db->DescribeProcedure("NO_SUCH_PROC");
    FAIL() << "no error";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Procedure \"NO_SUCH_PROC\" not found");
  }
  EXPECT_TRUE(Db->ProcedureDescriptionsAvailable());
  EXPECT_FALSE(Db->SupportsObjOwner());
  EXPECT_FALSE(GetDriver(TKVServerType::stFirebird).SupportsObjOwner());
}

TEST_F(FirebirdDriverTest, DescribeStatementNamesEachFieldsTableAndColumn) {
  EXPECT_THAT(Db->DescribeStatement("select TEL as PHONE, c.NAME, CUST_NO + 1 as NEXT_NO from CUSTOMER c"),
              ElementsAre(FieldOrigin{"PHONE", "CUSTOMER", "TEL"}, FieldOrigin{"NAME", "CUSTOMER", "NAME"},
                          FieldOrigin{"NEXT_NO", "", ""}));
  // A view's column names the view, as the engine reports it (SQLite would name the base table).
  EXPECT_THAT(Db->DescribeStatement("select NAME from V_CUST"), ElementsAre(FieldOrigin{"NAME", "V_CUST", "NAME"}));
  EXPECT_THAT(Db->DescribeStatement("select \"Note\" from \"OrderLines\""),
              ElementsAre(FieldOrigin{"Note", "OrderLines", "Note"}));
  EXPECT_THROW(Db->DescribeStatement("select NOPE from CUSTOMER"), rtl::EDatabaseError);
}

TEST_F(FirebirdDriverTest, FieldTypesFromTheSQLTypes) {
  Db->Execute(
      "CREATE TABLE TYPES (S SMALLINT NOT NULL, I INTEGER, B BIGINT, N NUMERIC(5,2), D DECIMAL(15,4), F FLOAT,"
      " DP DOUBLE PRECISION, C CHAR(3), V VARCHAR(20) NOT NULL, DT DATE, TM TIME, TS TIMESTAMP, BO BOOLEAN,"
      " MT BLOB SUB_TYPE TEXT, BN BLOB, OC CHAR(4) CHARACTER SET OCTETS)");
  auto statement = Db->Prepare("select T.*, S + 1 as S1 from TYPES T");
  using rtl::TFieldType;
  struct TExpected {
    const char* Name;
    TFieldType Type;
    int Size, Precision;
    bool Required;
  };
  const TExpected expected[] = {
      {"S", TFieldType::ftSmallint, 0, 0, true},   {"I", TFieldType::ftInteger, 0, 0, false},
      {"B", TFieldType::ftLargeint, 0, 0, false},  {"N", TFieldType::ftFMTBcd, 2, 5, false},
      {"D", TFieldType::ftFMTBcd, 4, 15, false},   {"F", TFieldType::ftSingle, 0, 0, false},
      {"DP", TFieldType::ftFloat, 0, 0, false},    {"C", TFieldType::ftFixedChar, 3, 0, false},
      {"V", TFieldType::ftString, 20, 0, true},    {"DT", TFieldType::ftDate, 0, 0, false},
      {"TM", TFieldType::ftTime, 0, 0, false},     {"TS", TFieldType::ftDateTime, 0, 0, false},
      {"BO", TFieldType::ftBoolean, 0, 0, false},  {"MT", TFieldType::ftMemo, 0, 0, false},
      {"BN", TFieldType::ftBlob, 0, 0, false},     {"OC", TFieldType::ftBytes, 4, 0, false},
      {"S1", TFieldType::ftLargeint, 0, 0, false},
  };
  const auto& fields = statement->Fields();
  ASSERT_EQ(fields.size(), std::size(expected));
  for (std::size_t i = 0; i < fields.size(); ++i) {
    SCOPED_TRACE(expected[i].Name);
    EXPECT_EQ(fields[i].Name, expected[i].Name);
    EXPECT_EQ(fields[i].DataType, expected[i].Type);
    EXPECT_EQ(fields[i].Size, expected[i].Size);
    EXPECT_EQ(fields[i].Precision, expected[i].Precision);
    EXPECT_EQ(fields[i].Required, expected[i].Required);
  }
  EXPECT_EQ(fields[0].TableName, "TYPES");
  EXPECT_EQ(fields[16].TableName, "");
}

TEST_F(FirebirdDriverTest, RowsAndNumberedParametersWhereARepeatedNumberBindsTwice) {
  auto insert = Db->Prepare("insert into CUSTOMER (CUST_NO, NAME, CITY, TEL) values (?1, ?2, ?3, ?4)");
  EXPECT_EQ(insert->Execute({Text("1"), Text("Kim"), Text("Oslo"), Text("555")}), 1);
  EXPECT_EQ(insert->Execute({Text("2"), Text("Ana's"), {std::nullopt, rtl::TFieldType::ftString}, Text("556")}), 1);
  EXPECT_EQ(insert->Execute({Text("3"), Text("Oslo"), Text("Bergen"), {}}), 1);
  EXPECT_THAT(
      Rows("select CUST_NO, NAME, CITY, TEL from CUSTOMER where CITY = ?1 or NAME = ?1 order by 1", {Text("Oslo")}),
      ElementsAre(ElementsAre("i1", "Kim", "Oslo", "555         "), ElementsAre("i3", "Oslo", "Bergen", "NULL")));
  EXPECT_THAT(Rows("select NAME from CUSTOMER where CITY is null"), ElementsAre(ElementsAre("Ana's")));
  // A bare "?" counts on from the highest number before it.
  EXPECT_THAT(Rows("select count(*) from CUSTOMER where CUST_NO > ? and CUST_NO < ?", {Text("1"), Text("3")}),
              ElementsAre(ElementsAre("i1")));
  // A marker inside a string, a quoted name or a comment is text.
  EXPECT_THAT(Rows("select '?1' as \"?2\" /* ?3 */ from RDB$DATABASE -- ?4"), ElementsAre(ElementsAre("?1")));
  auto update = Db->Prepare("update CUSTOMER set CITY = ?1 where CITY = ?1 or CUST_NO = ?2");
  EXPECT_EQ(update->Execute({Text("Oslo"), Text("2")}), 2);
  EXPECT_THROW(update->Execute({Text("Oslo")}), rtl::EDatabaseError);
}

TEST_F(FirebirdDriverTest, ValuesOfEveryTypeReadAndWriteAsText) {
  Db->Execute(
      "CREATE TABLE VALS (ID INTEGER NOT NULL PRIMARY KEY, N NUMERIC(9,2), NN NUMERIC(18,4), DP DOUBLE PRECISION,"
      " DT DATE, TM TIME, TS TIMESTAMP, BO BOOLEAN, MT BLOB SUB_TYPE TEXT, BN BLOB, U VARCHAR(10))");
  auto insert = Db->Prepare("insert into VALS values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
  const std::string binary("\x00\x01\xFF", 3);
  EXPECT_EQ(insert->Execute({Text("1"),
                             Text("12.5"),
                             Text("-0.0012"),
                             Text("2.25"),
                             Text("2024-02-29"),
                             Text("13:14:15.5"),
                             Text("2024-02-29 13:14:15"),
                             {"True", rtl::TFieldType::ftBoolean},
                             Text(std::string(40000, 'x')),
                             {binary, rtl::TFieldType::ftBlob},
                             Text("Grüße")}),
            1);
  const auto rows = Rows("select N, NN, DP, DT, TM, TS, BO, char_length(MT), BN, U from VALS");
  EXPECT_THAT(rows, ElementsAre(ElementsAre("12.50", "-0.0012", "f2.250000", "2024-02-29", "13:14:15.5",
                                            "2024-02-29 13:14:15", "i1", "i40000", "b" + binary, "Grüße")));
  EXPECT_THAT(Rows("select MT from VALS")[0][0], std::string(40000, 'x'));
  EXPECT_THROW(insert->Execute({Text("2"), {}, {}, {}, {}, {}, {}, Text("maybe"), {}, {}, {}}), rtl::EDatabaseError);
}

TEST_F(FirebirdDriverTest, TransactionsOfTheConnectionAndAutocommitOutsideThem) {
  EXPECT_FALSE(Db->InTransaction());
  Db->StartTransaction();
  EXPECT_TRUE(Db->InTransaction());
  EXPECT_THROW(Db->StartTransaction(), rtl::EDatabaseError);
  Db->Execute("insert into CODES values ('A')");
  Db->Execute("SAVEPOINT S1");
  Db->Execute("insert into CODES values ('B')");
  Db->Execute("ROLLBACK TO SAVEPOINT S1");
  EXPECT_THAT(Rows("select CODE from CODES"), ElementsAre(ElementsAre("A")));
  Db->Rollback();
  EXPECT_FALSE(Db->InTransaction());
  EXPECT_THAT(Rows("select CODE from CODES"), IsEmpty());
  EXPECT_THROW(Db->Commit(), rtl::EDatabaseError);

  Db->StartTransaction();
  Db->Execute("insert into CODES values ('C')");
  Db->Commit();
  Db->Execute("insert into CODES values ('D')");  // commits on its own
  auto other = GetDriver(TKVServerType::stFirebird).Connect(Spec);
  auto statement = other->Prepare("select CODE from CODES order by 1");
  auto cursor = statement->Open({});
  ASSERT_TRUE(cursor->Next());
  EXPECT_EQ(cursor->Cell(0).Text, "C");
  // An update applied while the cursor reads commits at once; the cursor reads on.
  other->Execute("delete from CODES where CODE = 'C'");
  ASSERT_TRUE(cursor->Next());
  EXPECT_EQ(cursor->Cell(0).Text, "D");
  EXPECT_FALSE(cursor->Next());
  EXPECT_THAT(Rows("select CODE from CODES"), ElementsAre(ElementsAre("D")));
}

TEST_F(FirebirdDriverTest, CursorsOfTheUsersTransactionReadOnAfterItEnds) {
  Db->Execute("insert into CODES values ('A')");
  Db->StartTransaction();
  Db->Execute("insert into CODES values ('B')");
  auto statement = Db->Prepare("select CODE from CODES order by 1");
  auto cursor = statement->Open({});
  ASSERT_TRUE(cursor->Next());
  EXPECT_EQ(cursor->Cell(0).Text, "A");
  Db->Commit();
  EXPECT_FALSE(Db->InTransaction());
  // The next transaction is a new one while the cursor still reads in the old one's context.
  Db->StartTransaction();
  Db->Execute("insert into CODES values ('C')");
  auto rolledBack = Db->Prepare("select CODE from CODES where CODE = 'C'");
  auto readsC = rolledBack->Open({});
  Db->Rollback();
  ASSERT_TRUE(cursor->Next());
  EXPECT_EQ(cursor->Cell(0).Text, "B");
  EXPECT_FALSE(cursor->Next());
  EXPECT_FALSE(readsC->Next()) << "rolled back before it was read";
  cursor.reset();
  readsC.reset();
  EXPECT_THAT(Rows("select CODE from CODES order by 1"), ElementsAre(ElementsAre("A"), ElementsAre("B")));
  Db->StartTransaction();  // the old ones ended with their last cursors
  Db->Commit();
}

TEST_F(FirebirdDriverTest, CheckStatementGivesTheServersMessageAndThePositionInTheTextGiven) {
  EXPECT_TRUE(Db->CheckStatement("select NAME from CUSTOMER where CUST_NO = ?12").Ok);
  const std::string sql = "select NAME from CUSTOMER where CUST_NO = ?12 and\n and NAME = ?1";
  const StatementCheck check = Db->CheckStatement(sql);
  EXPECT_FALSE(check.Ok);
  EXPECT_THAT(check.Message, HasSubstr("Token unknown - line 2, column 2"));
  EXPECT_EQ(check.Position, static_cast<int>(sql.find("\n and") + 3));
  const StatementCheck missing = Db->CheckStatement("select NOPE from CUSTOMER");
  EXPECT_FALSE(missing.Ok);
  EXPECT_THAT(missing.Message, HasSubstr("Column unknown: NOPE"));
  EXPECT_THAT(Db->TableNames("CUSTOMER", false), ElementsAre("CUSTOMER"));  // nothing was changed
}

TEST_F(FirebirdDriverTest, HostileNamesAreBoundAndLeaveTheDatabaseUntouched) {
  for (const std::string& name :
       std::vector<std::string>{"CUSTOMER'; DROP TABLE CUSTOMER; --", "\"CUSTOMER\"\"; DROP TABLE CODES", "' OR ''='",
                                std::string(300, 'A')}) {
    SCOPED_TRACE(name);
    EXPECT_THAT(Db->ColumnNames(name), IsEmpty());
    EXPECT_THAT(Db->IndexInfo(name), IsEmpty());
    EXPECT_THAT(Db->TableNames(name, true), IsEmpty());
    EXPECT_THROW(Db->DescribeProcedure(name), rtl::EDatabaseError);
  }
  EXPECT_THAT(Db->TableNames("", false), ElementsAre("CODES", "CUSTOMER", "ORDER_LINE", "OrderLines", "V_CUST"));
}

TEST_F(FirebirdDriverTest, ConnectionFailuresNameTheFileAndTheReason) {
  ConnectionSpec missing = Spec;
  missing.RemoteDatabase = "missing.fdb";
  const std::string missingFile = Folder.File("missing.fdb");
  EXPECT_EQ(ConnectError(missing), "Cannot open Firebird database \"" + missingFile + "\": the file does not exist");
  EXPECT_FALSE(std::filesystem::exists(missingFile));  // connecting never creates a database

  {
    std::ofstream file(Folder.File("text.fdb"));
    for (int i = 0; i < 4096; ++i) file << "this is not a database\n";  // longer than a page
  }
  ConnectionSpec text = Spec;
  text.RemoteDatabase = Folder.File("text.fdb");
  EXPECT_THAT(ConnectError(text), HasSubstr("Cannot open Firebird database \"" + Folder.File("text.fdb") + "\": "));
  EXPECT_THAT(ConnectError(text), HasSubstr("is not a valid database"));

  ConnectionSpec none;
  EXPECT_EQ(ConnectError(none), "Cannot open a Firebird database: no database file or server is given");
  // Creating what exists already is refused, and the database stays.
  EXPECT_THROW(firebird::CreateDatabase(Spec), rtl::EDatabaseError);
  EXPECT_THAT(Db->TableNames("CODES", false), ElementsAre("CODES"));
}

TEST(FirebirdAddress, ServerAddressesAndDatabaseFiles) {
  using korv::drivers::firebird::IsServerAddress;
  EXPECT_TRUE(IsServerAddress("db.example:/var/lib/firebird/shop.fdb"));
  EXPECT_TRUE(IsServerAddress("db.example/3051:shop"));
  EXPECT_TRUE(IsServerAddress("inet://db.example/shop"));
  EXPECT_FALSE(IsServerAddress("shop.fdb"));
  EXPECT_FALSE(IsServerAddress("/data/sh:op.fdb"));
  EXPECT_FALSE(IsServerAddress("./a:b.fdb"));
  EXPECT_FALSE(IsServerAddress("C:\\data\\shop.fdb"));
  EXPECT_FALSE(IsServerAddress("host/port:shop"));
}

TEST(FirebirdEmbedded, TheEngineKeepsItsLockFilesInAFolderOfThisProcess) {
  TTempFolder folder;
  ConnectionSpec spec;
  spec.RemoteDatabase = folder.File("lock.fdb");
  firebird::CreateDatabase(spec);
  auto db = GetDriver(TKVServerType::stFirebird).Connect(spec);
  const char* lock = std::getenv("FIREBIRD_LOCK");
  ASSERT_NE(lock, nullptr);
  EXPECT_TRUE(std::filesystem::is_directory(lock));
  EXPECT_THAT(std::string(lock), HasSubstr("korv-firebird-"));
}

}  // namespace
