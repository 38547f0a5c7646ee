// The data-set base: sessions and databases it leads to, what it tells of a SELECT statement,
// and how opening and closing it connects and disconnects its database.
#include "LibraryFixture.h"

#include "korv/KVQuery.h"
#include "korv/KVTable.h"

using namespace korv;
using korvtest::Lines;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class DataSetTest : public korvtest::TLibraryTest {
protected:
  void Parse(TKVDataSet& ds, const std::string& sql) {
    Fields.Clear();
    Tables.Clear();
    ds.ParseFieldInfoFromSQL(sql, &Fields, &Tables, nullptr);
  }
  rtl::TStringList Fields, Tables;
};

TEST_F(DataSetTest, FieldAndTableInfoFromAliasesAndJoins) {
  TKVQuery q(nullptr);
  Parse(q,
        "select c.ID, c.NAME as CNAME, o.AMOUNT, 1+2 as EXPR from CUSTOMER c"
        " join main.ORDERS o on o.CUST_ID = c.ID");
  EXPECT_THAT(Lines(Tables), ElementsAre("c=CUSTOMER", "o=main.ORDERS"));
  EXPECT_THAT(Lines(Fields), ElementsAre("ID=CUSTOMER.ID", "CNAME=CUSTOMER.NAME", "AMOUNT=main.ORDERS.AMOUNT"));

  Parse(q, "select ID, TEL PHONE from \"CUSTOMER\"");
  EXPECT_THAT(Lines(Tables), ElementsAre("\"CUSTOMER\"=\"CUSTOMER\""));
  EXPECT_THAT(Lines(Fields), ElementsAre("ID=\"CUSTOMER\".ID", "PHONE=\"CUSTOMER\".TEL"));
  EXPECT_EQ(Tables.Values("\"CUSTOMER\""), "\"CUSTOMER\"");

  Parse(q, "update CUSTOMER set NAME = 'x'");
  EXPECT_THAT(Lines(Fields), IsEmpty());
  EXPECT_THAT(Lines(Tables), IsEmpty());
}

TEST_F(DataSetTest, TablesComeInTheSpellingOfTheServerThatFoldsBareNames) {
  TKVQuery q(nullptr);
  q.SetDatabaseName("SHOP");
  const std::string sql = "select n.NoteId, n.Body from OrderNotes n, Public.\"OrderLines\" l";
  Parse(q, sql);  // no database: as written
  EXPECT_THAT(Lines(Tables), ElementsAre("n=OrderNotes", "l=Public.\"OrderLines\""));

  auto db = ShopDatabase();  // never connected: the server type alone decides
  db->SetServerType(TKVServerType::stPostgreSQL);
  Parse(q, sql);
  EXPECT_THAT(Lines(Tables), ElementsAre("n=ordernotes", "l=public.\"OrderLines\""));
  EXPECT_THAT(Lines(Fields), ElementsAre("NoteId=ordernotes.NoteId", "Body=ordernotes.Body"));
  db->SetServerType(TKVServerType::stFirebird);
  Parse(q, sql);
  EXPECT_THAT(Lines(Tables), ElementsAre("n=ORDERNOTES", "l=PUBLIC.\"OrderLines\""));
  db->SetServerType(TKVServerType::stSQLite);
  Parse(q, sql);
  EXPECT_THAT(Lines(Tables), ElementsAre("n=OrderNotes", "l=Public.\"OrderLines\""));
}

TEST_F(DataSetTest, StarsExpandOnlyWhenTheDatabaseIsConnected) {
  auto db = ShopDatabase();
  TKVQuery q(nullptr);
  q.SetDatabaseName("SHOP");
  const std::string sql = "select o.CODE, c.*, o.NOTE from CUSTOMER c, ORDERS o";

  Parse(q, sql);
  EXPECT_THAT(Lines(Fields), ElementsAre("CODE=ORDERS.CODE", "NOTE=ORDERS.NOTE"));
  EXPECT_FALSE(db->Connected()) << "parsing connects nothing";

  db->Open();
  Parse(q, sql);
  EXPECT_THAT(Lines(Fields), ElementsAre("CODE=ORDERS.CODE", "ID=CUSTOMER.ID", "NAME=CUSTOMER.NAME", "TEL=CUSTOMER.TEL",
                                         "NOTE=ORDERS.NOTE"));
  Parse(q, "select * from CUSTOMER C2");
  EXPECT_THAT(Lines(Fields), ElementsAre("ID=CUSTOMER.ID", "NAME=CUSTOMER.NAME", "TEL=CUSTOMER.TEL"));

  // Another database may be named for the expansion.
  TKVQuery loose(nullptr);
  Fields.Clear();
  loose.ParseFieldInfoFromSQL("select * from CUSTOMER", &Fields, nullptr, db.get());
  EXPECT_EQ(Fields.Count(), 3);
}

TEST_F(DataSetTest, SessionAndDatabaseLookup) {
  TKVQuery q(nullptr);
  q.SetName("Query1");
  EXPECT_EQ(q.GetDBSession(), Session);
  EXPECT_EQ(q.FindDatabase(), nullptr);
  EXPECT_FALSE(q.IsObjOwnerSupported());
  EXPECT_TRUE(q.PSIsSQLBased());

  q.SetSessionName("Ghost");
  try {
    q.GetDBSession();
    FAIL();
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("Ghost"));
  }
  EXPECT_FALSE(q.IsObjOwnerSupported());
  try {
    q.Open();
    FAIL();
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("Ghost"));
  }

  auto db = ShopDatabase();
  q.SetSessionName("");
  q.SetDatabaseName("shop");
  EXPECT_EQ(q.FindDatabase(), db.get());
  EXPECT_TRUE(q.IsObjOwnerSupported());

  // With no DatabaseName, the session's default database.
  q.SetDatabaseName("");
  EXPECT_EQ(q.FindDatabase(), nullptr);
  db->SetDesignOptions({TKVDesignDBOption::ddoDefaultDatabase});
  EXPECT_EQ(q.FindDatabase(), db.get());
}

TEST_F(DataSetTest, OpeningConnectsTheDatabaseAndClosingLeavesItAsItWas) {
  auto db = ShopDatabase();
  db->SetKeepConnection(false);
  TKVTable t1(nullptr), t2(nullptr);
  for (auto* t : {&t1, &t2}) {
    t->SetDatabaseName("SHOP");
    t->SetTableName("CUSTOMER");
  }
  t1.Open();
  t2.Open();
  EXPECT_TRUE(db->Connected());
  EXPECT_EQ(t1.Database(), db.get());
  t1.Close();
  EXPECT_TRUE(db->Connected()) << "t2 still uses it";
  t2.Close();
  EXPECT_FALSE(db->Connected());

  db->SetKeepConnection(true);
  t1.Open();
  t1.Close();
  EXPECT_TRUE(db->Connected());

  // A data set that fails to open leaves no trace on its database.
  db->Close();
  db->SetKeepConnection(false);
  t1.SetTableName("NO_SUCH");
  EXPECT_THROW(t1.Open(), rtl::EDatabaseError);
  EXPECT_FALSE(t1.Active());
  EXPECT_EQ(db->DataSetCount(), 0);
  EXPECT_FALSE(db->Connected());

  // A database destroyed under an open data set closes it.
  t1.SetTableName("CUSTOMER");
  t1.Open();
  db.reset();
  EXPECT_FALSE(t1.Active());
  EXPECT_EQ(t1.Database(), nullptr);
}

}  // namespace
