// Data sets on the private PostgreSQL server (scripts/pg-cluster): types from OIDs and
// modifiers, rows read through a server-side cursor, parameters, applied updates, stored
// functions and statement checks. Each test works in a schema of its own.
#include "PgTestServer.h"

#include "korv/KVBoundStatement.h"
#include "korv/KVDatabase.h"
#include "korv/KVQuery.h"
#include "korv/KVStoredProc.h"
#include "korv/KVUpdateSQL.h"
#include "korv/KVSession.h"
#include "rtl/Rtti.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using namespace korv;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

using korvtest::Env;

class PostgresDataTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!korvtest::TPGTestServer::FromEnvironment()) KORV_SKIP_OR_FAIL(korvtest::kNoPGTestServer);
    std::random_device random;
    Schema = fmt::format("korv_data_{:08x}", random());
    Db = Database("PG");
    Db->Execute("CREATE SCHEMA " + Schema);
    Db->Execute("SET search_path = " + Schema);
  }

  void TearDown() override {
    if (Db) Db->Execute("DROP SCHEMA IF EXISTS " + Schema + " CASCADE");
  }

  std::unique_ptr<TKVDatabase> Database(const std::string& name) {
    auto db = std::make_unique<TKVDatabase>(nullptr);
    db->SetDatabaseName(name);
    db->SetServerType(TKVServerType::stPostgreSQL);
    db->SetLoginPrompt(false);
    db->SetRemoteDatabase(fmt::format("{}:{}/{}", Env("KORV_PG_HOST"), Env("KORV_PG_PORT"), Env("KORV_PG_DATABASE")));
    db->Params()->Add("USER NAME=" + Env("KORV_PG_USER"));
    db->Params()->Add("PASSWORD=" + Env("KORV_PG_PASSWORD"));
    if (!Schema.empty()) db->Params()->Add("options=-c search_path=" + Schema);
    db->Open();
    return db;
  }

  std::unique_ptr<TKVQuery> Query(const std::string& sql) {
    auto q = std::make_unique<TKVQuery>(nullptr);
    q->SetDatabaseName("PG");
    q->SQL()->SetText(sql);
    return q;
  }

  std::string Schema;
  std::unique_ptr<TKVDatabase> Db;
};

std::string Describe(const rtl::TFieldDef& d) {
  return fmt::format("{} {} {} {}{}", d.Name(),
                     rtl::GetEnumName(rtl::TypeInfo_TFieldType(), static_cast<int>(d.DataType())), d.Size(),
                     d.Precision(), d.Required() ? " required" : "");
}

TEST_F(PostgresDataTest, TypesComeFromOidsAndModifiers) {
  Db->Execute(
      "CREATE TABLE t (a int2, b int4 NOT NULL, c int8, d numeric(10,2), e float4, f float8, g text,"
      " h varchar(30), i char(4), j bool, k date, l time, m timestamp, n timestamptz, o bytea, p uuid,"
      " q json, r jsonb, s int4[], u numeric)");
  Db->Execute(
      "INSERT INTO t VALUES (1, 2, 3, 4.5, 0.5, 0.25, 'x', 'y', 'z', true, '2024-03-01', '09:12',"
      " '2024-03-01 09:12:30', '2024-03-01 09:12:30+00', '\\x00ff', 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11',"
      " '{}', '{}', '{1,2}', NULL)");
  auto q = Query("select * from t");
  q->Open();
  std::vector<std::string> seen;
  for (int i = 0; i < q->FieldDefs()->Count(); ++i) seen.push_back(Describe(*q->FieldDefs()->Items(i)));
  EXPECT_THAT(seen, ElementsAre("a ftSmallint 0 0", "b ftInteger 0 0 required", "c ftLargeint 0 0", "d ftFMTBcd 2 10",
                                "e ftSingle 0 0", "f ftFloat 0 0", "g ftMemo 0 0", "h ftString 30 0",
                                "i ftFixedChar 4 0", "j ftBoolean 0 0", "k ftDate 0 0", "l ftTime 0 0",
                                "m ftDateTime 0 0", "n ftTimeStampOffset 0 0", "o ftBlob 0 0", "p ftGuid 38 0",
                                "q ftMemo 0 0", "r ftMemo 0 0", "s ftMemo 0 0", "u ftFMTBcd 0 0"));
  EXPECT_EQ(q->FieldByName("c")->AsLargeInt(), 3);
  EXPECT_DOUBLE_EQ(q->FieldByName("d")->AsFloat(), 4.5);
  EXPECT_TRUE(q->FieldByName("j")->AsBoolean());
  EXPECT_EQ(q->FieldByName("j")->AsString(), "True");
  EXPECT_EQ(DateTimeToISO(q->FieldByName("m")->AsDateTime()), "2024-03-01 09:12:30");
  EXPECT_EQ(q->FieldByName("s")->AsString(), "{1,2}");
  EXPECT_TRUE(q->FieldByName("u")->IsNull());
  EXPECT_EQ(q->FieldByName("i")->AsString(), "z   ");
}

TEST_F(PostgresDataTest, ManyRowsComeInBatchesWhileOtherStatementsRun) {
  Db->Execute("CREATE TABLE big AS SELECT g AS id, 'row ' || g AS name FROM generate_series(1, 5000) g");
  auto q = Query("select id, name from big where id > :min order by id");
  q->ParamByName("min")->SetValue("0");
  q->SetWindowRows(10);
  q->Open();
  EXPECT_EQ(q->RecordCount(), 5000);
  int rows = 0;
  long sum = 0;
  for (; !q->Eof(); q->Next()) {
    ++rows;
    sum += q->FieldByName("id")->AsInteger();
    if (rows == 1500) Db->Execute("UPDATE big SET name = 'x' WHERE id = 1");  // between two batches
  }
  EXPECT_EQ(rows, 5000);
  EXPECT_EQ(sum, 5000L * 5001 / 2);
  q->First();
  EXPECT_EQ(q->FieldByName("name")->AsString(), "x") << "read again from the start";
}

TEST_F(PostgresDataTest, UpdatesApplyAndAConcurrentChangeRollsBack) {
  Db->Execute("CREATE TABLE customer (cust_no int PRIMARY KEY, name varchar(40) NOT NULL, \"E-MAIL\" text)");
  Db->Execute("INSERT INTO customer VALUES (1, 'Alder', 'a@x'), (2, 'Birch', NULL)");
  auto q = Query("select cust_no, name, \"E-MAIL\" from customer order by cust_no");
  TKVUpdateSQL update(nullptr);
  update.SetName("CustomersUpdate");
  update.ModifySQL()->SetText(
      "update customer set name = :name, \"E-MAIL\" = :\"E-MAIL\" where cust_no = :OLD_cust_no");
  update.InsertSQL()->SetText("insert into customer values (:cust_no, :name, :\"E-MAIL\")");
  update.DeleteSQL()->SetText("delete from customer where cust_no = :OLD_cust_no");
  q->SetUpdateObject(&update);
  q->Open();
  q->Edit();
  q->FieldByName("E-MAIL")->SetAsString("new@x");
  q->Post();
  q->Append();
  q->FieldByName("cust_no")->SetAsInteger(3);
  q->FieldByName("name")->SetAsString("Cedar");
  q->Post();

  auto other = Database("OTHER");
  other->Execute("DELETE FROM customer WHERE cust_no = 2");
  q->First();
  q->Next();
  q->Edit();
  q->FieldByName("name")->SetAsString("lost?");
  EXPECT_THROW(q->Post(), rtl::EDatabaseError);
  EXPECT_FALSE(Db->InTransaction());
  q->Cancel();

  auto check =
      Query("select cust_no || ':' || name || ':' || coalesce(\"E-MAIL\", 'NULL') as r from customer order by 1");
  check->Open();
  std::vector<std::string> rows;
  for (; !check->Eof(); check->Next()) rows.push_back(check->FieldByName("r")->AsString());
  EXPECT_THAT(rows, ElementsAre("1:Alder:new@x", "3:Cedar:NULL"));
}

TEST_F(PostgresDataTest, StoredFunctionsGiveTheirRows) {
  Db->Execute(
      "CREATE FUNCTION upto(n int) RETURNS TABLE (i int, sq int) LANGUAGE sql AS"
      " $$ SELECT g, g * g FROM generate_series(1, n) g $$");
  TKVStoredProc proc(nullptr);
  proc.SetDatabaseName("PG");
  proc.SetStoredProcName("upto");
  proc.Prepare();
  proc.ParamByName("n")->SetValue("3");
  proc.Open();
  std::vector<int> squares;
  for (; !proc.Eof(); proc.Next()) squares.push_back(proc.FieldByName("sq")->AsInteger());
  EXPECT_THAT(squares, ElementsAre(1, 4, 9));
}

TEST_F(PostgresDataTest, ChecksPrepareWithoutRunningAndPointAtTheError) {
  Db->Execute("CREATE TABLE c (id int, name text)");
  EXPECT_TRUE(CheckBoundSQL(*Db, "update c set name = :name where id = :OLD_id").Ok);
  const auto bad = CheckBoundSQL(*Db, "update c set name = :name\nwhere idd = :OLD_id");
  EXPECT_FALSE(bad.Ok);
  EXPECT_THAT(bad.Message, HasSubstr("idd"));
  EXPECT_EQ(bad.Position, 33) << "the position in the text as written, markers and all";
  Db->StartTransaction();
  EXPECT_FALSE(CheckBoundSQL(*Db, "select nope from c").Ok);
  Db->Execute("INSERT INTO c VALUES (1, 'kept')");  // the transaction survived the failed check
  Db->Commit();
  auto q = Query("select name from c");
  q->Open();
  EXPECT_EQ(q->FieldByName("name")->AsString(), "kept");
}

}  // namespace
