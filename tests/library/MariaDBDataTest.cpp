// Data sets on the private MariaDB server (scripts/mariadb-cluster): field types from the result
// metadata, rows, parameters, applied updates, transactions, procedures with OUT parameters and
// statement checks. Each test works in a database of its own.
#include "MdbTestServer.h"

#include "korv/KVBoundStatement.h"
#include "korv/KVDatabase.h"
#include "korv/KVQuery.h"
#include "korv/KVResultSet.h"
#include "korv/KVSession.h"
#include "korv/KVStoredProc.h"
#include "korv/KVTable.h"
#include "korv/KVUpdateSQL.h"
#include "rtl/Rtti.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

using namespace korv;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

using korvtest::Env;

class MariaDBDataTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!korvtest::TMdbTestServer::FromEnvironment()) KORV_SKIP_OR_FAIL(korvtest::kNoMdbTestServer);
    std::random_device random;
    DbName = fmt::format("korv_test_d{:08x}", random());
    Database("SETUP", Env("KORV_MARIADB_DATABASE"))->Execute("CREATE DATABASE " + DbName);
    Db = Database("MDB", DbName);
  }

  void TearDown() override {
    if (Db) Db->Execute("DROP DATABASE IF EXISTS " + DbName);
  }

  std::unique_ptr<TKVDatabase> Database(const std::string& name, const std::string& database) {
    auto db = std::make_unique<TKVDatabase>(nullptr);
    db->SetDatabaseName(name);
    db->SetServerType(TKVServerType::stMariaDB);
    db->SetLoginPrompt(false);
    db->SetRemoteDatabase(fmt::format("{}:{}/{}", Env("KORV_MARIADB_HOST"), Env("KORV_MARIADB_PORT"), database));
    db->Params()->Add("USER NAME=" + Env("KORV_MARIADB_USER"));
    db->Params()->Add("PASSWORD=" + Env("KORV_MARIADB_PASSWORD"));
    db->Open();
    return db;
  }

  std::unique_ptr<TKVQuery> Query(const std::string& sql) {
    auto q = std::make_unique<TKVQuery>(nullptr);
    q->SetDatabaseName("MDB");
    q->SQL()->SetText(sql);
    return q;
  }

  // The values of column r of each row.
  std::vector<std::string> Strings(const std::string& sql) {
    auto q = Query(sql);
    q->Open();
    std::vector<std::string> rows;
    for (; !q->Eof(); q->Next()) rows.push_back(q->FieldByName("r")->AsString());
    return rows;
  }

  std::string DbName;
  std::unique_ptr<TKVDatabase> Db;
};

std::string Describe(const rtl::TFieldDef& d) {
  return fmt::format("{} {} {} {}{}", d.Name(),
                     rtl::GetEnumName(rtl::TypeInfo_TFieldType(), static_cast<int>(d.DataType())), d.Size(),
                     d.Precision(), d.Required() ? " required" : "");
}

TEST_F(MariaDBDataTest, TypesComeFromTheResultMetadata) {
  Db->Execute(
      "CREATE TABLE t (a tinyint(1), b int NOT NULL, c bigint, d decimal(10,2), e float, f double,"
      " g text, h varchar(30), i char(4), k date, l time, m datetime, n timestamp NULL, o blob,"
      " p json, q enum('red','green'), r set('x','y'), s smallint, u decimal(5,0) unsigned,"
      " v varbinary(8), w tinyint)");
  Db->Execute(
      "INSERT INTO t VALUES (1, 2, 3, 4.5, 0.5, 0.25, 'x', 'y', 'z', '2024-03-01', '09:12:00',"
      " '2024-03-01 09:12:30', NULL, x'00ff', '{\"k\": 1}', 'green', 'x,y', -7, 12345, x'0102', 100)");
  auto q = Query("select * from t");
  q->Open();
  std::vector<std::string> seen;
  for (int i = 0; i < q->FieldDefs()->Count(); ++i) seen.push_back(Describe(*q->FieldDefs()->Items(i)));
  EXPECT_THAT(seen, ElementsAre("a ftBoolean 0 0", "b ftInteger 0 0 required", "c ftLargeint 0 0", "d ftFMTBcd 2 10",
                                "e ftSingle 0 0", "f ftFloat 0 0", "g ftMemo 0 0", "h ftString 30 0",
                                "i ftFixedChar 4 0", "k ftDate 0 0", "l ftTime 0 0", "m ftDateTime 0 0",
                                "n ftDateTime 0 0", "o ftBlob 0 0", "p ftMemo 0 0", "q ftString 5 0", "r ftString 3 0",
                                "s ftSmallint 0 0", "u ftFMTBcd 0 5", "v ftVarBytes 8 0", "w ftSmallint 0 0"));
  EXPECT_TRUE(q->FieldByName("a")->AsBoolean());
  EXPECT_EQ(q->FieldByName("c")->AsLargeInt(), 3);
  EXPECT_DOUBLE_EQ(q->FieldByName("d")->AsFloat(), 4.5);
  EXPECT_DOUBLE_EQ(q->FieldByName("f")->AsFloat(), 0.25);
  EXPECT_EQ(DateTimeToISO(q->FieldByName("m")->AsDateTime()), "2024-03-01 09:12:30");
  EXPECT_TRUE(q->FieldByName("n")->IsNull());
  EXPECT_EQ(q->FieldByName("o")->AsString(), std::string("\x00\xff", 2));
  EXPECT_EQ(q->FieldByName("p")->AsString(), "{\"k\": 1}");
  EXPECT_EQ(q->FieldByName("q")->AsString(), "green");
  EXPECT_EQ(q->FieldByName("r")->AsString(), "x,y");
  EXPECT_EQ(q->FieldByName("s")->AsInteger(), -7);
  EXPECT_EQ(q->FieldByName("w")->AsInteger(), 100);
}

TEST_F(MariaDBDataTest, ParametersBindByNameAndLongValuesArriveWhole) {
  Db->Execute("CREATE TABLE p (id int PRIMARY KEY, note mediumtext, flag tinyint(1))");
  auto ins = Query("insert into p values (:id, :note, :flag)");
  const std::string longText(100000, 'q');
  ins->ParamByName("id")->SetValue("1");
  ins->ParamByName("note")->SetValue(longText);
  ins->ParamByName("flag")->SetDataType(rtl::TFieldType::ftBoolean);
  ins->ParamByName("flag")->SetValue("True");
  ins->ExecSQL();
  ins->ParamByName("id")->SetValue("2");
  ins->ParamByName("note")->Clear();
  ins->ParamByName("flag")->SetValue("False");
  ins->ExecSQL();

  // A name used twice binds twice; markers inside strings, quoted names and comments are text.
  auto q = Query("select id, note, flag, '?1 :id' as s from p where id = :id or id + 1 = :id # :id\n order by id");
  q->ParamByName("id")->SetValue("2");
  q->Open();
  EXPECT_EQ(q->RecordCount(), 2);
  EXPECT_EQ(q->FieldByName("note")->AsString(), longText);
  EXPECT_TRUE(q->FieldByName("flag")->AsBoolean());
  EXPECT_EQ(q->FieldByName("s")->AsString(), "?1 :id");
  q->Next();
  EXPECT_TRUE(q->FieldByName("note")->IsNull());
  EXPECT_FALSE(q->FieldByName("flag")->AsBoolean());
}

TEST_F(MariaDBDataTest, ManyRowsReadWhileOtherStatementsRun) {
  Db->Execute("CREATE TABLE big (id int PRIMARY KEY, name varchar(20))");
  Db->Execute("INSERT INTO big SELECT seq, CONCAT('row ', seq) FROM seq_1_to_5000");
  auto q = Query("select id, name from big where id > :min order by id");
  q->ParamByName("min")->SetValue("0");
  q->Open();
  int rows = 0;
  long sum = 0;
  for (; !q->Eof(); q->Next()) {
    ++rows;
    sum += q->FieldByName("id")->AsInteger();
    if (rows == 1500) Db->Execute("UPDATE big SET name = 'x' WHERE id = 1");
  }
  EXPECT_EQ(rows, 5000);
  EXPECT_EQ(sum, 5000L * 5001 / 2);
  q->Close();
  q->Open();
  EXPECT_EQ(q->FieldByName("name")->AsString(), "x");
}

TEST_F(MariaDBDataTest, UpdatesApplyAndAChangeByAnotherConnectionIsRefused) {
  Db->Execute("CREATE TABLE customer (cust_no int PRIMARY KEY, name varchar(40) NOT NULL, `E-MAIL` text)");
  Db->Execute("INSERT INTO customer VALUES (1, 'Alder', 'a@x'), (2, 'Birch', NULL)");
  auto q = Query("select cust_no, name, `E-MAIL` from customer order by cust_no");
  TKVUpdateSQL update(nullptr);
  update.SetName("CustomersUpdate");
  update.ModifySQL()->SetText("update customer set name = :name, `E-MAIL` = :`E-MAIL` where cust_no = :OLD_cust_no");
  update.InsertSQL()->SetText("insert into customer values (:cust_no, :name, :`E-MAIL`)");
  update.DeleteSQL()->SetText("delete from customer where cust_no = :OLD_cust_no");
  q->SetUpdateObject(&update);
  q->Open();
  q->Edit();
  q->FieldByName("E-MAIL")->SetAsString("new@x");
  q->Post();
  q->Edit();  // a row posted unchanged still counts as found
  q->Post();
  q->Append();
  q->FieldByName("cust_no")->SetAsInteger(3);
  q->FieldByName("name")->SetAsString("Cedar");
  q->Post();

  auto other = Database("OTHER", DbName);
  other->Execute("DELETE FROM customer WHERE cust_no = 2");
  q->First();
  q->Next();
  q->Edit();
  q->FieldByName("name")->SetAsString("lost?");
  EXPECT_THROW(q->Post(), rtl::EDatabaseError);
  EXPECT_FALSE(Db->InTransaction());
  q->Cancel();
  EXPECT_THAT(Strings("select concat(cust_no, ':', name, ':', coalesce(`E-MAIL`, 'NULL')) r from customer order by 1"),
              ElementsAre("1:Alder:new@x", "3:Cedar:NULL"));
}

TEST_F(MariaDBDataTest, TransactionsCommitAndRollBack) {
  Db->Execute("CREATE TABLE c (id int) ENGINE=InnoDB");
  EXPECT_FALSE(Db->InTransaction());
  Db->StartTransaction();
  EXPECT_TRUE(Db->InTransaction());
  Db->Execute("INSERT INTO c VALUES (1)");
  Db->Rollback();
  EXPECT_FALSE(Db->InTransaction());
  Db->StartTransaction();
  Db->Execute("INSERT INTO c VALUES (2)");
  Db->Commit();
  EXPECT_THAT(Strings("select id r from c"), ElementsAre("2"));
}

TEST_F(MariaDBDataTest, TablesOpenWithBacktickedNames) {
  Db->Execute("CREATE TABLE `order` (`key` int PRIMARY KEY, `select` varchar(10))");
  Db->Execute("INSERT INTO `order` VALUES (2, 'b'), (1, 'a')");
  TKVTable table(nullptr);
  table.SetDatabaseName("MDB");
  table.SetTableName("order");
  table.SetIndexFieldNames("key");
  table.Open();
  EXPECT_EQ(table.FieldByName("select")->AsString(), "a");
  table.Next();
  EXPECT_EQ(table.FieldByName("key")->AsInteger(), 2);
}

TEST_F(MariaDBDataTest, ProceduresTakeInAndGiveOutParametersAndFunctionsTheirValue) {
  Db->Execute(
      "CREATE PROCEDURE close_order(IN order_no int, OUT total decimal(10,2), INOUT note varchar(40))"
      " BEGIN SET total = order_no * 2.5; SET note = CONCAT(note, '!'); END");
  Db->Execute("CREATE FUNCTION add_tax(amount decimal(10,2)) RETURNS decimal(10,2) DETERMINISTIC RETURN amount * 1.2");
  TKVStoredProc proc(nullptr);
  proc.SetDatabaseName("MDB");
  proc.SetStoredProcName("close_order");
  proc.Prepare();
  ASSERT_EQ(proc.Params()->Count(), 3);
  EXPECT_EQ(proc.Params()->Items(1)->ParamType(), rtl::TParamType::ptOutput);
  EXPECT_EQ(proc.Params()->Items(2)->ParamType(), rtl::TParamType::ptInputOutput);
  proc.ParamByName("order_no")->SetValue("4");
  proc.ParamByName("note")->SetValue("done");
  proc.ExecProc();  // runs; its OUT values come as the row of an opened call
  proc.Open();
  EXPECT_DOUBLE_EQ(proc.FieldByName("total")->AsFloat(), 10.0);
  EXPECT_EQ(proc.FieldByName("note")->AsString(), "done!");
  proc.Close();

  TKVStoredProc func(nullptr);
  func.SetDatabaseName("MDB");
  func.SetStoredProcName("add_tax");
  func.Prepare();
  func.ParamByName("amount")->SetValue("10");
  func.Open();
  EXPECT_DOUBLE_EQ(func.FieldByName("Result")->AsFloat(), 12.0);
  EXPECT_THAT(Strings("select 1 r"), ElementsAre("1")) << "the connection is in step after the calls";
}

TEST_F(MariaDBDataTest, ChecksPrepareWithoutRunningAndPointAtTheError) {
  Db->Execute("CREATE TABLE c (id int, name text)");
  EXPECT_TRUE(CheckBoundSQL(*Db, "update c set name = :name where id = :OLD_id").Ok);
  const auto bad = CheckBoundSQL(*Db, "update c set name = :name\nwhere id = = :OLD_id");
  EXPECT_FALSE(bad.Ok);
  EXPECT_THAT(bad.Message, HasSubstr("You have an error in your SQL syntax"));
  EXPECT_EQ(bad.Position, 38) << "the position in the text as written, markers and all";
  Db->StartTransaction();
  EXPECT_FALSE(CheckBoundSQL(*Db, "select nope from c").Ok);
  Db->Execute("INSERT INTO c VALUES (1, 'kept')");  // the transaction survived the failed check
  Db->Commit();
  EXPECT_THAT(Strings("select name r from c"), ElementsAre("kept"));
}

TEST_F(MariaDBDataTest, AMissingPasswordAsksForALogin) {
  const auto saved = Sessions->LoginHook();
  std::vector<std::string> asked;
  Sessions->SetLoginHook([&](TKVDatabase* db, rtl::TStrings*) {
    asked.push_back(db->RemoteDatabase());
    return false;  // cancelled
  });
  TKVDatabase server(nullptr);
  server.SetDatabaseName("SERVER");
  server.SetServerType(TKVServerType::stMariaDB);
  server.SetRemoteDatabase("127.0.0.1:1/shop");  // nothing listens there
  try {
    server.Open();
    ADD_FAILURE() << "connected";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Login to database 'SERVER' cancelled");
  }
  Sessions->SetLoginHook(saved);
  EXPECT_EQ(asked, std::vector<std::string>{"127.0.0.1:1/shop"});
}

}  // namespace
