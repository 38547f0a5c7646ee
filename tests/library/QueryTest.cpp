// Queries, macro queries and stored procedures: parameters found in the SQL text, the statement
// sent, and what the server tells of it.
#include "LibraryFixture.h"

#include "korv/KVQuery.h"
#include "korv/KVStoredProc.h"

using namespace korv;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class QueryTest : public korvtest::TLibraryTest {};

std::vector<std::string> ParamNames(const rtl::TParams& params) {
  std::vector<std::string> names;
  for (int i = 0; i < params.Count(); ++i) names.push_back(params.Items(i)->Name());
  return names;
}

TEST(ParamMarkers, OnlyMarkersOutsideLiteralsNamesAndComments) {
  EXPECT_THAT(ParseParamNames("select * from T where A = :a and B = :B and C = :A"), ElementsAre("a", "B"));
  EXPECT_THAT(ParseParamNames("select ':no', \":no\", x::int, [:no] -- :no\n from T /* :no */ where Y=:yes"),
              ElementsAre("yes"));
  EXPECT_THAT(ParseParamNames("select $$ :no $$, E'\\' :no', : spaced from T where Z = :\"Quoted Name\""),
              ElementsAre("Quoted Name"));
  EXPECT_THAT(ParseParamNames("select a::text::int, :p1::int from T"), ElementsAre("p1"));
  EXPECT_THAT(ParseParamNames("select 'unterminated :no"), IsEmpty());
  EXPECT_THAT(ParseMacroNames("select * from &tab where &cond and a && b and x&&y and '&no'"),
              ElementsAre("tab", "cond"));
}

TEST_F(QueryTest, ParamsAreRebuiltFromTheSQLKeepingTheValuesThatStay) {
  TKVQuery q(nullptr);
  q.SQL()->Add("select * from ORDERS where CUST_ID = :cust and CODE = :code");
  EXPECT_THAT(ParamNames(*q.Params()), ElementsAre("cust", "code"));
  EXPECT_EQ(q.Params()->Items(0)->ParamType(), rtl::TParamType::ptInput);
  q.ParamByName("CUST")->SetValue("7");
  q.ParamByName("code")->SetDataType(rtl::TFieldType::ftString);
  q.ParamByName("code")->SetValue("A1");

  rtl::TStringList sql;
  sql.Add("select * from ORDERS where CODE = :Code and NOTE = :note");
  q.SetSQL(&sql);
  EXPECT_THAT(ParamNames(*q.Params()), ElementsAre("Code", "note"));
  EXPECT_EQ(q.ParamByName("code")->Value(), "A1");
  EXPECT_EQ(q.ParamByName("code")->DataType(), rtl::TFieldType::ftString);
  EXPECT_TRUE(q.ParamByName("note")->IsNull());
  EXPECT_THROW(q.ParamByName("cust"), rtl::EDatabaseError);

  q.SetParamCheck(false);
  q.SQL()->Text();  // no change
  q.SQL()->SetText("select 1");
  EXPECT_EQ(q.ParamCount(), 2) << "ParamCheck off leaves Params alone";
}

TEST_F(QueryTest, OpenDescribesTheStatementWithoutRunningIt) {
  auto db = ShopDatabase();
  TKVQuery q(nullptr);
  q.SetDatabaseName("SHOP");
  q.SQL()->SetText("select c.ID, c.NAME as WHO, o.*, :p as P from CUSTOMER c join ORDERS o on o.CUST_ID = c.ID");
  q.Open();
  ASSERT_TRUE(q.Active());
  std::vector<std::string> names;
  for (int i = 0; i < q.FieldCount(); ++i) names.push_back(q.Fields(i)->FieldName());
  EXPECT_THAT(names, ElementsAre("ID", "WHO", "CUST_ID", "BRANCH_ID", "CODE", "AMOUNT", "NOTE", "P"));
  EXPECT_EQ(q.FieldDefs()->Count(), 8);

  q.SQL()->SetText("select ID, ID from CUSTOMER");
  EXPECT_FALSE(q.Active()) << "a new statement closes the query";
  q.Open();
  EXPECT_NE(q.FindField("ID_1"), nullptr) << "a repeated name is made unique";

  q.SQL()->SetText("select NOPE from CUSTOMER");
  EXPECT_THROW(q.Open(), rtl::EDatabaseError);
  q.SQL()->Clear();
  EXPECT_THROW(q.Open(), rtl::EDatabaseError);
}

TEST_F(QueryTest, StatementTextNumbersParametersForPostgreSQLAndExpandsMacros) {
  TKVDatabase pg(nullptr);
  pg.SetDatabaseName("PG");
  pg.SetServerType(TKVServerType::stPostgreSQL);
  TKVMacroQuery q(nullptr);
  q.SetDatabaseName("PG");
  q.SQL()->SetText("select * from &tab where A = :a and B = ':b' and C = :A and D = :d order by &ord");
  EXPECT_THAT(ParamNames(*q.Params()), ElementsAre("a", "d"));
  EXPECT_THAT(ParamNames(*q.GetMacros()), ElementsAre("tab", "ord"));
  q.MacroByName("tab")->SetValue("ORDERS");
  EXPECT_EQ(q.StatementText(), "select * from ORDERS where A = $1 and B = ':b' and C = $1 and D = $2 order by &ord\n");

  q.SQL()->SetText("select * from &TAB");
  EXPECT_EQ(q.MacroByName("tab")->Value(), "ORDERS") << "macro values stay like parameter values";
  pg.SetServerType(TKVServerType::stSQLite);
  q.SQL()->SetText("select * from &tab where A = :a");
  EXPECT_EQ(q.StatementText(), "select * from ORDERS where A = :a\n");
}

TEST_F(QueryTest, StoredProceduresArePreparedThroughTheDriver) {
  TKVStoredProc proc(nullptr);
  proc.SetName("Proc1");
  proc.SetStoredProcName("ADD_ORDER");
  EXPECT_FALSE(proc.DescriptionsAvailable()) << "no database";
  try {
    proc.Prepare();
    FAIL();
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("ADD_ORDER"));
  }

  auto db = ShopDatabase();
  proc.SetDatabaseName("SHOP");
  EXPECT_FALSE(proc.DescriptionsAvailable());
  try {
    proc.Prepare();
    FAIL() << "SQLite has no procedures";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("ADD_ORDER"));
  }
  EXPECT_FALSE(proc.Prepared());
  EXPECT_EQ(proc.GetParamsCount(), 0);
  EXPECT_THROW(proc.Open(), rtl::EDatabaseError);
  EXPECT_EQ(db->DataSetCount(), 0);

  proc.Params()->CreateParam(rtl::TFieldType::ftInteger, "X", rtl::TParamType::ptInput);
  EXPECT_EQ(proc.GetParamsCount(), 1);
  proc.SetStoredProcName("OTHER");
  EXPECT_EQ(proc.GetParamsCount(), 0) << "another procedure's parameters go with its name";
}

}  // namespace
