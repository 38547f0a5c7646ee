// Data sets on a Firebird database file opened by the embedded engine: field definitions,
// rows read while other statements run, named parameters on "?" markers, applied updates,
// a selectable procedure and statement checks, all through the library's components.
#include "korv/KVBoundStatement.h"
#include "korv/KVDatabase.h"
#include "korv/KVQuery.h"
#include "korv/KVStoredProc.h"
#include "korv/KVUpdateSQL.h"
#include "korv/KVSession.h"
#include "korv/firebird/FbDatabase.h"
#include "rtl/Rtti.h"

#include "TempFolder.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace korv;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class FirebirdDataTest : public ::testing::Test {
protected:
  void SetUp() override {
    drivers::ConnectionSpec spec;
    spec.RemoteDatabase = Folder.File("data.fdb");
    drivers::firebird::CreateDatabase(spec);
    Db = Database("FB");
  }

  std::unique_ptr<TKVDatabase> Database(const std::string& name) {
    auto db = std::make_unique<TKVDatabase>(nullptr);
    db->SetDatabaseName(name);
    db->SetServerType(TKVServerType::stFirebird);
    db->SetRemoteDatabase(Folder.File("data.fdb"));
    db->Open();  // a file: no login, even with the prompt on
    return db;
  }

  std::unique_ptr<TKVQuery> Query(const std::string& sql, const std::string& db = "FB") {
    auto q = std::make_unique<TKVQuery>(nullptr);
    q->SetDatabaseName(db);
    q->SQL()->SetText(sql);
    return q;
  }

  // The column R of each row.
  std::vector<std::string> Strings(const std::string& sql) {
    auto q = Query(sql);
    q->Open();
    std::vector<std::string> rows;
    for (; !q->Eof(); q->Next()) rows.push_back(q->FieldByName("R")->AsString());
    return rows;
  }

  TTempFolder Folder;
  std::unique_ptr<TKVDatabase> Db;
};

std::string Describe(const rtl::TFieldDef& d) {
  return fmt::format("{} {} {} {}{}", d.Name(),
                     rtl::GetEnumName(rtl::TypeInfo_TFieldType(), static_cast<int>(d.DataType())), d.Size(),
                     d.Precision(), d.Required() ? " required" : "");
}

TEST_F(FirebirdDataTest, FieldDefinitionsAndValuesOfEachType) {
  Db->Execute(
      "CREATE TABLE T (A SMALLINT, B INTEGER NOT NULL, C BIGINT, D NUMERIC(10,2), E FLOAT,"
      " F DOUBLE PRECISION, G BLOB SUB_TYPE TEXT, H VARCHAR(30), I CHAR(4), J BOOLEAN, K DATE, L TIME,"
      " M TIMESTAMP, O BLOB)");
  Db->Execute(
      "INSERT INTO T VALUES (1, 2, 3, 4.5, 0.5, 0.25, 'x', 'y', 'z', TRUE, '2024-03-01', '09:12',"
      " '2024-03-01 09:12:30', NULL)");
  auto q = Query("select * from T");
  q->Open();
  std::vector<std::string> seen;
  for (int i = 0; i < q->FieldDefs()->Count(); ++i) seen.push_back(Describe(*q->FieldDefs()->Items(i)));
  EXPECT_THAT(seen,
              ElementsAre("A ftSmallint 0 0", "B ftInteger 0 0 required", "C ftLargeint 0 0", "D ftFMTBcd 2 10",
                          "E ftSingle 0 0", "F ftFloat 0 0", "G ftMemo 0 0", "H ftString 30 0", "I ftFixedChar 4 0",
                          "J ftBoolean 0 0", "K ftDate 0 0", "L ftTime 0 0", "M ftDateTime 0 0", "O ftBlob 0 0"));
  EXPECT_EQ(q->FieldByName("C")->AsLargeInt(), 3);
  EXPECT_DOUBLE_EQ(q->FieldByName("D")->AsFloat(), 4.5);
  EXPECT_TRUE(q->FieldByName("J")->AsBoolean());
  EXPECT_EQ(DateTimeToISO(q->FieldByName("M")->AsDateTime()), "2024-03-01 09:12:30");
  EXPECT_EQ(q->FieldByName("G")->AsString(), "x");
  EXPECT_EQ(q->FieldByName("I")->AsString(), "z   ");
  EXPECT_TRUE(q->FieldByName("O")->IsNull());
}

TEST_F(FirebirdDataTest, NamedParametersMapOntoMarkersAndARepeatedNameBindsTwice) {
  Db->Execute("CREATE TABLE P (ID INTEGER, NAME VARCHAR(20))");
  auto insert = Query("insert into P values (:ID, :NAME)");
  for (int id = 1; id <= 3; ++id) {
    insert->ParamByName("ID")->SetValue(std::to_string(id));
    insert->ParamByName("NAME")->SetValue(id == 2 ? "two" : "other");
    insert->ExecSQL();
    EXPECT_EQ(insert->RowsAffected(), 1);
  }
  auto q = Query("select ID from P where ID = :N or ID = :N + 1 or NAME = ':N' order by ID");
  q->ParamByName("N")->SetValue("2");
  q->Open();
  std::vector<int> ids;
  for (; !q->Eof(); q->Next()) ids.push_back(q->FieldByName("ID")->AsInteger());
  EXPECT_THAT(ids, ElementsAre(2, 3));
}

TEST_F(FirebirdDataTest, ManyRowsReadWhileOtherStatementsCommit) {
  Db->Execute("CREATE TABLE BIG (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(20))");
  Db->Execute(
      "EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 3000) DO BEGIN"
      " INSERT INTO BIG VALUES (:I, 'row ' || :I); I = I + 1; END END");
  auto q = Query("select ID, NAME from BIG where ID > :MIN order by ID");
  q->ParamByName("MIN")->SetValue("0");
  q->SetWindowRows(10);
  q->Open();
  int rows = 0;
  long sum = 0;
  for (; !q->Eof(); q->Next()) {
    ++rows;
    sum += q->FieldByName("ID")->AsInteger();
    if (rows == 1500) Db->Execute("UPDATE BIG SET NAME = 'x' WHERE ID = 1");
  }
  EXPECT_EQ(rows, 3000);
  EXPECT_EQ(sum, 3000L * 3001 / 2);
  q->First();
  EXPECT_EQ(q->FieldByName("NAME")->AsString(), "x") << "read again from the start";
}

TEST_F(FirebirdDataTest, UpdatesApplyAndAChangeByAnotherConnectionIsRefused) {
  Db->Execute(
      "CREATE TABLE CUSTOMER (CUST_NO INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(40) NOT NULL, \"E-MAIL\" "
      "VARCHAR(40))");
  Db->Execute("INSERT INTO CUSTOMER VALUES (1, 'Alder', 'a@x')");
  Db->Execute("INSERT INTO CUSTOMER VALUES (2, 'Birch', NULL)");
  auto q = Query("select CUST_NO, NAME, \"E-MAIL\" from CUSTOMER order by CUST_NO");
  TKVUpdateSQL update(nullptr);
  update.SetName("CustomersUpdate");
  update.ModifySQL()->SetText(
      "update CUSTOMER set NAME = :NAME, \"E-MAIL\" = :\"E-MAIL\" where CUST_NO = :OLD_CUST_NO");
  update.InsertSQL()->SetText("insert into CUSTOMER values (:CUST_NO, :NAME, :\"E-MAIL\")");
  update.DeleteSQL()->SetText("delete from CUSTOMER where CUST_NO = :OLD_CUST_NO");
  q->SetUpdateObject(&update);
  q->Open();
  q->Edit();
  q->FieldByName("E-MAIL")->SetAsString("new@x");
  q->Post();
  q->Append();
  q->FieldByName("CUST_NO")->SetAsInteger(3);
  q->FieldByName("NAME")->SetAsString("Cedar");
  q->Post();

  auto other = Database("OTHER");
  other->Execute("DELETE FROM CUSTOMER WHERE CUST_NO = 2");
  q->First();
  q->Next();
  q->Edit();
  q->FieldByName("NAME")->SetAsString("lost?");
  EXPECT_THROW(q->Post(), rtl::EDatabaseError);
  EXPECT_FALSE(Db->InTransaction());
  q->Cancel();

  EXPECT_THAT(
      Strings("select CUST_NO || ':' || NAME || ':' || coalesce(\"E-MAIL\", 'NULL') as R from CUSTOMER order by 1"),
      ElementsAre("1:Alder:new@x", "3:Cedar:NULL"));
}

TEST_F(FirebirdDataTest, ASelectableProcedureGivesItsRows) {
  Db->Execute(
      "CREATE PROCEDURE UPTO (N INTEGER) RETURNS (I INTEGER, SQ INTEGER) AS BEGIN I = 1;"
      " WHILE (I <= N) DO BEGIN SQ = I * I; SUSPEND; I = I + 1; END END");
  TKVStoredProc proc(nullptr);
  proc.SetDatabaseName("FB");
  proc.SetStoredProcName("UPTO");
  proc.Prepare();
  proc.ParamByName("N")->SetValue("3");
  proc.Open();
  std::vector<int> squares;
  for (; !proc.Eof(); proc.Next()) squares.push_back(proc.FieldByName("SQ")->AsInteger());
  EXPECT_THAT(squares, ElementsAre(1, 4, 9));
}

TEST_F(FirebirdDataTest, ChecksPrepareWithoutRunningAndPointAtTheError) {
  Db->Execute("CREATE TABLE C (ID INTEGER, NAME VARCHAR(10))");
  EXPECT_TRUE(CheckBoundSQL(*Db, "update C set NAME = :NAME where ID = :OLD_ID").Ok);
  const auto bad = CheckBoundSQL(*Db, "update C set NAME = :NAME\nwhere ID = = :OLD_ID");
  EXPECT_FALSE(bad.Ok);
  EXPECT_THAT(bad.Message, HasSubstr("Token unknown"));
  EXPECT_EQ(bad.Position, 38) << "the position in the text as written, markers and all";
  Db->StartTransaction();
  EXPECT_FALSE(CheckBoundSQL(*Db, "select NOPE from C").Ok);
  Db->Execute("INSERT INTO C VALUES (1, 'kept')");  // the transaction survived the failed check
  Db->Commit();
  EXPECT_THAT(Strings("select NAME as R from C"), ElementsAre("kept"));
}

TEST_F(FirebirdDataTest, AServerAsksForALoginAndAFileDoesNot) {
  const auto saved = Sessions->LoginHook();
  std::vector<std::string> asked;
  Sessions->SetLoginHook([&](TKVDatabase* db, rtl::TStrings*) {
    asked.push_back(db->RemoteDatabase());
    return false;  // cancelled
  });
  TKVDatabase server(nullptr);
  server.SetDatabaseName("SERVER");
  server.SetServerType(TKVServerType::stFirebird);
  server.SetRemoteDatabase("127.0.0.1/1:/srv/shop.fdb");  // nothing listens there
  try {
    server.Open();
    ADD_FAILURE() << "connected";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Login to database 'SERVER' cancelled");
  }
  auto file = Database("FILE");  // LoginPrompt is on, yet no login is asked for a file
  Sessions->SetLoginHook(saved);
  EXPECT_EQ(asked, std::vector<std::string>{"127.0.0.1/1:/srv/shop.fdb"});
  EXPECT_TRUE(file->Connected());
}

}  // namespace
