// Data sets on real SQLite files: field types, rows read through the cursor, parameters bound
// by name, applied updates inside transactions, scripts and the monitor.
#include "LibraryFixture.h"

#include "korv/KVMonitor.h"
#include "korv/KVQuery.h"
#include "korv/KVScript.h"
#include "korv/KVTable.h"
#include "korv/KVUpdateSQL.h"
#include "rtl/Rtti.h"

using namespace korv;
using namespace korvtest;
using rtl::TFieldType;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr const char* kTypesSchema = R"(
  CREATE TABLE T (
    ID INTEGER PRIMARY KEY, SMALL SMALLINT, BIG BIGINT, NAME VARCHAR(40) NOT NULL, CODE CHAR(3),
    NOTE TEXT, PRICE NUMERIC(10, 2), RATE REAL, PIC BLOB, BORN DATE, AT TIME, STAMP TIMESTAMP,
    DONE BOOLEAN, ODD WHATEVER);
  INSERT INTO T VALUES (1, 2, 3000000000, 'a', 'x', NULL, 3.5, 0.25, x'00ff', '2024-03-01', '09:12',
    '2024-03-01 09:12:30', 1, 7);
  INSERT INTO T (ID, NAME) VALUES (2, '');
)";

class DataRowsTest : public TLibraryTest {
protected:
  DataRowsTest() {
    MakeSQLiteFile(Temp.File("data.db"), kTypesSchema);
    Db = ShopDatabase();
  }

  std::unique_ptr<TKVQuery> Query(const std::string& sql) {
    auto q = std::make_unique<TKVQuery>(nullptr);
    q->SetName("Q");
    q->SetDatabaseName("SHOP");
    q->SQL()->SetText(sql);
    return q;
  }

  void Exec(const std::string& sql) { Db->Execute(sql); }

  std::vector<std::string> Column(TKVDataSet& ds, const std::string& field) {
    std::vector<std::string> values;
    for (ds.First(); !ds.Eof(); ds.Next()) values.push_back(ds.FieldByName(field)->AsString());
    return values;
  }

  std::unique_ptr<TKVDatabase> Db;
};

std::string TypeName(TFieldType t) { return rtl::GetEnumName(rtl::TypeInfo_TFieldType(), static_cast<int>(t)); }

TEST_F(DataRowsTest, DeclaredTypesMapByAffinityWithSizesPrecisionAndRequired) {
  Db->SetRemoteDatabase("data.db");
  auto q = Query("select *, ID + 1 as NEXT_ID, 'x' || NAME as LABEL from T");
  q->Open();
  std::vector<std::string> seen;
  for (int i = 0; i < q->FieldDefs()->Count(); ++i) {
    const rtl::TFieldDef* d = q->FieldDefs()->Items(i);
    seen.push_back(fmt::format("{} {} {} {}{}", d->Name(), TypeName(d->DataType()), d->Size(), d->Precision(),
                               d->Required() ? " required" : ""));
  }
  EXPECT_THAT(
      seen, ElementsAre("ID ftInteger 0 0", "SMALL ftSmallint 0 0", "BIG ftLargeint 0 0", "NAME ftString 40 0 required",
                        "CODE ftFixedChar 3 0", "NOTE ftMemo 0 0", "PRICE ftFMTBcd 2 10", "RATE ftFloat 0 0",
                        "PIC ftBlob 0 0", "BORN ftDate 0 0", "AT ftTime 0 0", "STAMP ftDateTime 0 0",
                        "DONE ftBoolean 0 0", "ODD ftFMTBcd 0 0", "NEXT_ID ftLargeint 0 0", "LABEL ftMemo 0 0"));

  EXPECT_EQ(q->FieldByName("BIG")->AsLargeInt(), 3000000000LL);
  EXPECT_THROW(q->FieldByName("BIG")->AsInteger(), rtl::EConvertError) << "too big for an int";
  EXPECT_DOUBLE_EQ(q->FieldByName("PRICE")->AsFloat(), 3.5);
  EXPECT_EQ(q->FieldByName("RATE")->AsString(), "0.25");
  EXPECT_EQ(q->FieldByName("PIC")->AsString(), std::string("\0\xff", 2));
  EXPECT_TRUE(q->FieldByName("DONE")->AsBoolean());
  EXPECT_EQ(q->FieldByName("DONE")->AsString(), "True");
  EXPECT_EQ(DateTimeToISO(q->FieldByName("BORN")->AsDateTime()), "2024-03-01");
  EXPECT_EQ(DateTimeToISO(q->FieldByName("STAMP")->AsDateTime()), "2024-03-01 09:12:30");
  EXPECT_NEAR(q->FieldByName("AT")->AsDateTime(), (9 * 60 + 12) / 1440.0, 1e-9);
  EXPECT_THROW(q->FieldByName("NAME")->AsDateTime(), rtl::EConvertError);

  q->Next();
  EXPECT_TRUE(q->FieldByName("NOTE")->IsNull());
  EXPECT_FALSE(q->FieldByName("NAME")->IsNull()) << "an empty string is not NULL";
  EXPECT_EQ(q->FieldByName("NAME")->AsString(), "");
  EXPECT_EQ(q->FieldByName("SMALL")->AsInteger(), 0);
  EXPECT_FALSE(q->FieldByName("DONE")->AsBoolean());
}

TEST_F(DataRowsTest, NavigationOverAWindowSmallerThanTheRows) {
  std::string sql =
      "WITH RECURSIVE N(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM N WHERE X < 10) "
      "INSERT INTO CUSTOMER (ID, NAME) SELECT X, 'c' || X FROM N";
  Exec(sql);
  auto q = Query("select ID, NAME from CUSTOMER order by ID");
  q->SetWindowRows(3);
  q->Open();
  EXPECT_TRUE(q->Bof());
  EXPECT_FALSE(q->Eof());
  EXPECT_EQ(q->RecordCount(), 10) << "counted by the server before the rows are read";
  EXPECT_EQ(q->RecNo(), 1);

  std::vector<int> forward;
  while (!q->Eof()) {
    forward.push_back(q->FieldByName("ID")->AsInteger());
    q->Next();
  }
  EXPECT_EQ(forward.size(), 10u);
  EXPECT_EQ(q->FieldByName("ID")->AsInteger(), 10) << "Next past the end stays on the last row";

  std::vector<int> backward;
  for (q->Last(); !q->Bof(); q->Prior()) backward.push_back(q->FieldByName("ID")->AsInteger());
  EXPECT_EQ(backward, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1})) << "back beyond the window reads again";
  EXPECT_EQ(q->RecNo(), 1);
  q->Last();
  q->First();
  EXPECT_EQ(q->FieldByName("NAME")->AsString(), "c1");
  EXPECT_EQ(q->RecordCount(), 10);

  auto empty = Query("select ID from CUSTOMER where ID < 0");
  empty->Open();
  EXPECT_TRUE(empty->Eof());
  EXPECT_TRUE(empty->Bof());
  EXPECT_TRUE(empty->IsEmpty());
  EXPECT_TRUE(empty->FieldByName("ID")->IsNull());
  EXPECT_EQ(empty->RecordCount(), 0);
  EXPECT_EQ(empty->RecNo(), 0);
  empty->Last();
  empty->Prior();
  EXPECT_TRUE(empty->Eof());
}

TEST_F(DataRowsTest, ParametersAreBoundByNameWithTypes) {
  Exec("INSERT INTO CUSTOMER VALUES (1, 'Alder', 'x:y'), (2, 'Birch', NULL), (3, 'Cedar', '3')");
  Exec("CREATE TABLE ODD (\"E-MAIL\" TEXT, \"my id\" INTEGER)");
  Exec("INSERT INTO ODD VALUES ('a@b', 1)");

  auto q = Query(
      "select NAME from CUSTOMER where (ID = :id or ID = :ID + 1) and TEL <> ':id' -- :nope\n"
      " and NAME <> /* :nope */ :who order by ID");
  EXPECT_EQ(q->ParamCount(), 2) << "a repeated name is one parameter; literals and comments hold none";
  q->ParamByName("id")->SetDataType(TFieldType::ftInteger);
  q->ParamByName("id")->SetValue("1");
  q->ParamByName("who")->SetValue("nobody");
  q->Open();
  EXPECT_THAT(Column(*q, "NAME"), ElementsAre("Alder")) << "Birch has a NULL TEL";

  auto odd = Query("select \"my id\" from ODD where \"E-MAIL\" = :\"E-MAIL\"");
  odd->ParamByName("E-MAIL")->SetValue("a@b");
  odd->Open();
  EXPECT_EQ(odd->FieldByName("my id")->AsInteger(), 1);

  auto del = Query("delete from CUSTOMER where ID >= :from");
  del->ParamByName("from")->SetValue("2");
  del->ParamByName("from")->SetDataType(TFieldType::ftInteger);
  EXPECT_THROW(del->Open(), rtl::EDatabaseError) << "a statement without rows is not opened";
  auto count = Query("select count(*) as N from CUSTOMER");
  count->Open();
  EXPECT_EQ(count->FieldByName("N")->AsInteger(), 3) << "and not run either";
  count->Close();
  del->ExecSQL();
  EXPECT_EQ(del->RowsAffected(), 2);
  count->Open();
  EXPECT_EQ(count->FieldByName("N")->AsInteger(), 1);

  rtl::TParams params;
  params.CreateParam(TFieldType::ftString, "n", rtl::TParamType::ptInput)->SetValue("Dune");
  EXPECT_EQ(Db->ExecSQL("insert into CUSTOMER (NAME) values (:n)", &params), 1);
  EXPECT_THROW(Db->ExecSQL("insert into CUSTOMER (NAME) values (:missing)", &params), rtl::EDatabaseError);
}

TEST_F(DataRowsTest, TransactionsCommitAndRollBack) {
  Db->Open();
  EXPECT_FALSE(Db->InTransaction());
  EXPECT_THROW(Db->Commit(), rtl::EDatabaseError);
  Db->StartTransaction();
  EXPECT_TRUE(Db->InTransaction());
  EXPECT_THROW(Db->StartTransaction(), rtl::EDatabaseError);
  Exec("INSERT INTO CUSTOMER VALUES (1, 'gone', NULL)");
  Db->Rollback();
  Db->StartTransaction();
  Exec("INSERT INTO CUSTOMER VALUES (2, 'kept', NULL)");
  Db->Commit();
  EXPECT_FALSE(Db->InTransaction());
  auto q = Query("select NAME from CUSTOMER");
  q->Open();
  EXPECT_THAT(Column(*q, "NAME"), ElementsAre("kept"));
}

class AppliedUpdatesTest : public DataRowsTest {
protected:
  AppliedUpdatesTest() {
    Exec("INSERT INTO CUSTOMER VALUES (1, 'Alder', '0113'), (2, 'Birch', '01904')");
    Customers = Query("select ID, NAME, TEL as PHONE from CUSTOMER order by ID");
    Update = std::make_unique<TKVUpdateSQL>(nullptr);
    Update->SetName("CustomersUpdate");
    Update->ModifySQL()->SetText("update CUSTOMER set NAME = :NAME, TEL = :PHONE where ID = :OLD_ID");
    Update->InsertSQL()->SetText("insert into CUSTOMER (ID, NAME, TEL) values (:ID, :NAME, :PHONE)");
    Update->DeleteSQL()->SetText("delete from CUSTOMER where ID = :OLD_ID");
    Customers->SetUpdateObject(Update.get());
    Customers->Open();
  }

  std::vector<std::string> Stored() {
    auto check = Query("select ID || ':' || NAME || ':' || coalesce(TEL, 'NULL') as ROW from CUSTOMER order by ID");
    check->Open();
    return Column(*check, "ROW");
  }

  std::unique_ptr<TKVQuery> Customers;
  std::unique_ptr<TKVUpdateSQL> Update;
};

TEST_F(AppliedUpdatesTest, PostAndDeleteRunTheUpdateStatements) {
  Customers->Next();
  Customers->Edit();
  EXPECT_EQ(Customers->State(), rtl::TDataSetState::dsEdit);
  Customers->FieldByName("NAME")->SetAsString("Birch & Co");
  Customers->FieldByName("PHONE")->Clear();
  Customers->Post();
  EXPECT_EQ(Customers->State(), rtl::TDataSetState::dsBrowse);
  EXPECT_EQ(Customers->FieldByName("NAME")->AsString(), "Birch & Co");
  EXPECT_THAT(Stored(), ElementsAre("1:Alder:0113", "2:Birch & Co:NULL"));
  EXPECT_FALSE(Db->InTransaction()) << "the data set's own transaction is committed";

  Customers->Append();
  Customers->FieldByName("ID")->SetAsInteger(3);
  Customers->FieldByName("NAME")->SetAsString("Cedar");
  Customers->Post();
  EXPECT_EQ(Customers->FieldByName("ID")->AsInteger(), 3);
  Customers->First();
  Customers->Delete();
  EXPECT_EQ(Customers->FieldByName("ID")->AsInteger(), 2) << "the next row takes the deleted one's place";
  EXPECT_THAT(Stored(), ElementsAre("2:Birch & Co:NULL", "3:Cedar:NULL"));

  Customers->Edit();
  Customers->FieldByName("NAME")->SetAsString("never");
  Customers->Cancel();
  EXPECT_EQ(Customers->FieldByName("NAME")->AsString(), "Birch & Co");
  EXPECT_THROW(Customers->FieldByName("NAME")->SetAsString("x"), rtl::EDatabaseError) << "not in edit mode";

  Customers->Insert();
  EXPECT_THROW(Customers->Post(), rtl::EDatabaseError) << "NAME is NOT NULL: the field is required";
  Customers->Cancel();

  // Emptied and opened again, the set takes a first row, and reads it back when opened anew.
  while (!Customers->IsEmpty()) Customers->Delete();
  Customers->Close();
  Customers->Open();
  EXPECT_TRUE(Customers->IsEmpty());
  Customers->Append();
  Customers->FieldByName("ID")->SetAsInteger(4);
  Customers->FieldByName("NAME")->SetAsString("Dogwood");
  Customers->Post();
  EXPECT_EQ(Customers->FieldByName("NAME")->AsString(), "Dogwood");
  Customers->Close();
  Customers->Open();
  EXPECT_EQ(Customers->FieldByName("ID")->AsInteger(), 4);
  EXPECT_THAT(Stored(), ElementsAre("4:Dogwood:NULL"));
}

TEST_F(AppliedUpdatesTest, ARowChangedByAnotherUserIsAnErrorAndNothingIsLost) {
  Exec("UPDATE CUSTOMER SET ID = 10 WHERE ID = 1");  // another user, after the row was read
  Customers->Edit();
  Customers->FieldByName("NAME")->SetAsString("mine");
  try {
    Customers->Post();
    FAIL() << "posted";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("CustomersUpdate.ModifySQL changed no row"));
    EXPECT_THAT(e.Message(), HasSubstr("changed or deleted by another user"));
  }
  EXPECT_FALSE(Db->InTransaction()) << "rolled back";
  EXPECT_EQ(Customers->State(), rtl::TDataSetState::dsEdit) << "the edit stays to fix or cancel";
  EXPECT_EQ(Customers->FieldByName("NAME")->AsString(), "mine");
  EXPECT_THAT(Stored(), ElementsAre("2:Birch:01904", "10:Alder:0113"));
  Customers->Cancel();

  // Inside the caller's transaction the failure undoes only its own statement.
  Update->ModifySQL()->SetText("update CUSTOMER set NAME = :NAME");  // no key: every row
  Db->StartTransaction();
  Exec("INSERT INTO CUSTOMER VALUES (5, 'callers', NULL)");
  Customers->Edit();
  Customers->FieldByName("NAME")->SetAsString("all");
  EXPECT_THROW(Customers->Post(), rtl::EDatabaseError) << "a statement changing many rows is refused";
  EXPECT_TRUE(Db->InTransaction());
  Db->Commit();
  EXPECT_THAT(Stored(), ElementsAre("2:Birch:01904", "5:callers:NULL", "10:Alder:0113"));
  Customers->Cancel();

  Update->ModifySQL()->SetText("update CUSTOMER set TEL = :\"E-MAIL\" where ID = :OLD_ID");
  Customers->Edit();
  try {
    Customers->Post();
    FAIL() << "posted";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("parameter E-MAIL is not a field")) << "never bound as NULL";
  }
  Customers->Cancel();

  auto readOnly = Query("select * from CUSTOMER");
  readOnly->Open();
  EXPECT_THROW(readOnly->Edit(), rtl::EDatabaseError);
}

TEST_F(DataRowsTest, TablesFollowTheirIndexAndMaster) {
  Exec("INSERT INTO CUSTOMER VALUES (1, 'b', NULL), (2, 'a', NULL)");
  Exec("INSERT INTO ORDERS VALUES (1, 1, 'x', 5, 'n1'), (2, 1, 'y', 3, 'n2'), (1, 2, 'z', 1, 'n3')");
  TKVTable orders(nullptr);
  orders.SetDatabaseName("SHOP");
  orders.SetTableName("ORDERS");
  orders.SetIndexName("ORDERS_AMOUNT");
  orders.Open();
  EXPECT_THAT(Column(orders, "CODE"), ElementsAre("z", "y", "x"));
  orders.Close();
  orders.SetIndexFieldNames("code");
  orders.Open();
  EXPECT_THAT(Column(orders, "CODE"), ElementsAre("x", "y", "z"));
  orders.Close();

  TKVTable customers(nullptr);
  customers.SetDatabaseName("SHOP");
  customers.SetTableName("CUSTOMER");
  customers.Open();
  EXPECT_THAT(Column(customers, "NAME"), ElementsAre("b", "a")) << "the primary key's order";
  customers.First();
  rtl::TDataSource source(nullptr);
  source.SetDataSet(&customers);
  orders.SetIndexFieldNames("CUST_ID;BRANCH_ID");
  orders.SetMasterSource(&source);
  orders.SetMasterFields("ID");
  orders.Open();
  EXPECT_THAT(Column(orders, "CODE"), ElementsAre("x", "z"));
  customers.Next();
  EXPECT_THAT(Column(orders, "CODE"), ElementsAre("y")) << "the detail follows its master";

  orders.Close();
  orders.SetIndexFieldNames("NOPE");
  EXPECT_THROW(orders.Open(), rtl::EDatabaseError);
}

TEST_F(DataRowsTest, ScriptsStopAtTheirFirstBadStatement) {
  TKVScript script(nullptr);
  script.SetName("Setup");
  script.SetDatabaseName("SHOP");
  script.SQL()->SetText(
      "insert into CUSTOMER values (1, 'semi;colon', NULL);\n"
      "-- a comment; with a semicolon\n"
      "insert into CUSTOMER values (2, 'two', NULL);\n"
      "insert into NOWHERE values (3);\n"
      "insert into CUSTOMER values (4, 'never', NULL);");
  try {
    script.ExecSQL();
    FAIL() << "ran";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("Setup: statement 3 failed: no such table: NOWHERE"));
  }
  auto q = Query("select NAME from CUSTOMER order by ID");
  q->Open();
  EXPECT_THAT(Column(*q, "NAME"), ElementsAre("semi;colon", "two"));
}

TEST_F(DataRowsTest, TheMonitorRecordsParametersAndTime) {
  TKVMonitor monitor(nullptr);
  monitor.SetActive(true);
  auto q = Query("select NAME from CUSTOMER where ID = :id and NAME <> :who");
  q->ParamByName("id")->SetValue("7");
  q->ParamByName("who")->SetValue("it's");
  q->Open();
  ASSERT_FALSE(monitor.Entries().empty());
  const TKVTraceEntry& entry = monitor.Entries().back();
  EXPECT_EQ(entry.SQL, "select NAME from CUSTOMER where ID = ?1 and NAME <> ?2\n");
  ASSERT_EQ(entry.Params.size(), 2u);
  EXPECT_EQ(entry.Params[1].first, "who");
  EXPECT_TRUE(entry.Timed);
  EXPECT_GE(entry.Milliseconds, 0);
  EXPECT_THAT(monitor.Lines()->Strings(monitor.Lines()->Count() - 1), HasSubstr("[id='7', who='it''s']  ("));
  EXPECT_EQ(monitor.Lines()->Count(), static_cast<int>(monitor.Entries().size()));
}

}  // namespace

TEST_F(DataRowsTest, FieldByNameIgnoresCaseAndTakesTheFirstOfNamesThatDifferOnlyInCase) {
  Db->SetRemoteDatabase("data.db");
  auto q = Query(
      "select ID as \"Größe\", NAME as n, CODE as N, ' 42 ' as PADDED, ' 2.5' as REALTEXT from T "
      "where ID = 1");
  q->Open();
  EXPECT_EQ(q->FieldByName("größe")->AsInteger(), 1);
  EXPECT_EQ(q->FieldByName("GRÖßE")->AsInteger(), 1);
  EXPECT_EQ(q->FieldByName("N")->AsString(), "a") << "the first field of that name, whatever its case";
  EXPECT_EQ(q->FieldByName("padded")->AsInteger(), 42) << "blanks around a number are no part of it";
  EXPECT_DOUBLE_EQ(q->FieldByName("RealText")->AsFloat(), 2.5);
  EXPECT_EQ(q->FindField("NA"), nullptr);
  EXPECT_EQ(q->FindField("IDX"), nullptr);
  EXPECT_THROW(q->FieldByName("Größer"), rtl::EDatabaseError);
}
