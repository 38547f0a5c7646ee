#include "KVUpdSQLGen.h"

#include <gtest/gtest.h>

using namespace dclkorv;
using rtl::String;
using rtl::TStringList;

namespace {

std::vector<TGenField> Fields(std::initializer_list<std::pair<const char*, bool>> list) {
  std::vector<TGenField> v;
  for (auto& [name, selected] : list) v.push_back({name, selected});
  return v;
}

struct Generated {
  TStringList Refresh, Modify, Insert, Delete;
};

std::unique_ptr<Generated> GenerateAll(const TUpdateSQLGenInputs& in) {
  auto g = std::make_unique<Generated>();
  TFieldAliasMap aliases(in.FieldInfo);
  TGenNames names(in, aliases);
  GenerateModifySQL(names, &g->Modify);
  GenerateInsertSQL(names, &g->Insert);
  GenerateDeleteSQL(names, &g->Delete);
  GenerateRefreshSQL(names, &g->Refresh);
  return g;
}

class CustomerExample : public ::testing::Test {
protected:
  CustomerExample()
      : Info({"CUST_NO=CUSTOMER.CUST_NO", "BRANCH_ID=CUSTOMER.BRANCH_ID", "NAME=CUSTOMER.NAME", "CITY=CUSTOMER.CITY",
              "PHONE=CUSTOMER.TEL"}) {
    In.TableText = "CUSTOMER";
    In.KeyFields = Fields({{"CUST_NO", true}, {"BRANCH_ID", true}});
    In.UpdateFields = Fields({{"NAME", true}, {"CITY", true}, {"TEL", true}});
    In.FieldInfo = &Info;
  }
  TStringList Info;
  TUpdateSQLGenInputs In;
};

}  // namespace

TEST_F(CustomerExample, GeneratesTheFourStatementsExactly) {
  auto g = GenerateAll(In);
  ASSERT_EQ(g->Refresh.Count(), 4);
  EXPECT_EQ(g->Refresh[0], "select NAME, CITY, TEL as PHONE\r\nfrom CUSTOMER");
  EXPECT_EQ(g->Refresh.Text(),
            "select NAME, CITY, TEL as PHONE\r\nfrom CUSTOMER\nwhere\n  CUST_NO = :OLD_CUST_NO and\n"
            "  BRANCH_ID = :OLD_BRANCH_ID\n");
  EXPECT_EQ(g->Modify.Text(),
            "update CUSTOMER\nset\n  NAME = :NAME,\n  CITY = :CITY,\n  TEL = :PHONE\nwhere\n"
            "  CUST_NO = :OLD_CUST_NO and\n  BRANCH_ID = :OLD_BRANCH_ID\n");
  EXPECT_EQ(g->Insert.Text(), "insert into CUSTOMER\n  (NAME, CITY, TEL)\nvalues\n  (:NAME, :CITY, :PHONE)\n");
  EXPECT_EQ(g->Delete.Text(),
            "delete from CUSTOMER\nwhere\n  CUST_NO = :OLD_CUST_NO and\n  BRANCH_ID = :OLD_BRANCH_ID\n");
}

TEST_F(CustomerExample, QuotingQuotesEveryNameAndTheWholeParameterName) {
  In.QuoteFields = true;
  auto g = GenerateAll(In);
  EXPECT_EQ(g->Refresh[0], "select \"NAME\", \"CITY\", \"TEL\" as \"PHONE\"\r\nfrom \"CUSTOMER\"");
  EXPECT_EQ(g->Modify.Text(),
            "update \"CUSTOMER\"\nset\n  \"NAME\" = :\"NAME\",\n  \"CITY\" = :\"CITY\",\n  \"TEL\" = :\"PHONE\"\n"
            "where\n  \"CUST_NO\" = :\"OLD_CUST_NO\" and\n  \"BRANCH_ID\" = :\"OLD_BRANCH_ID\"\n");
  EXPECT_EQ(
      g->Insert.Text(),
      "insert into \"CUSTOMER\"\n  (\"NAME\", \"CITY\", \"TEL\")\nvalues\n  (:\"NAME\", :\"CITY\", :\"PHONE\")\n");
}

TEST_F(CustomerExample, SingleAndEmptySelectionsWriteNoSeparators) {
  In.KeyFields = Fields({{"CUST_NO", false}, {"BRANCH_ID", true}});
  In.UpdateFields = Fields({{"NAME", false}, {"CITY", true}, {"TEL", false}});
  auto g = GenerateAll(In);
  EXPECT_EQ(g->Modify.Text(), "update CUSTOMER\nset\n  CITY = :CITY\nwhere\n  BRANCH_ID = :OLD_BRANCH_ID\n");

  In.KeyFields = Fields({{"CUST_NO", false}});
  In.UpdateFields = Fields({{"NAME", false}});
  auto h = GenerateAll(In);
  EXPECT_EQ(h->Modify.Text(), "update CUSTOMER\nset\nwhere\n");
  EXPECT_EQ(h->Refresh.Text(), "select \r\nfrom CUSTOMER\nwhere\n");
  EXPECT_EQ(h->Insert.Text(), "insert into CUSTOMER\n  ()\nvalues\n  ()\n");
  EXPECT_EQ(h->Delete.Text(), "delete from CUSTOMER\nwhere\n");
}

TEST_F(CustomerExample, ItemsAreTakenInListOrder) {
  In.UpdateFields = Fields({{"TEL", true}, {"NAME", true}});
  EXPECT_EQ(GenerateAll(In)->Insert[1], "  (TEL, NAME)");
}

TEST(FieldAliases, MatchTableAndColumnExactlyButNamesIgnoringCase) {
  TStringList info({"Name=CUSTOMER.NAME", "X=SALES.ORDERS.ORDER_NO", "Y=T.COL.", "Z=NODOT", "A=T.A", "a=T.B"});
  TFieldAliasMap m(&info);
  EXPECT_EQ(m.Find("CUSTOMER", "NAME"), "Name");
  EXPECT_EQ(m.Find("customer", "NAME"), "NAME");  // table text in another case finds nothing
  EXPECT_EQ(m.Find("CUSTOMER", "name"), "name");
  EXPECT_EQ(m.Find("SALES.ORDERS", "ORDER_NO"), "X");  // split at the last dot
  EXPECT_EQ(m.Find("T", "COL."), "Y");                 // a final dot stays in the column part
  EXPECT_EQ(m.Find("NODOT", ""), "");
  // Two lines whose names differ only in case both take the value of the first.
  EXPECT_EQ(m.Find("T", "A"), "A");
  EXPECT_EQ(m.Find("T", "B"), "B");
}

TEST(FieldAliases, ALineWithoutEqualsTakesTheValueOfTheFirstEmptyName) {
  // The empty-named line comes after the line that borrows its value: the borrowed entry is
  // still the first for its column.
  TStringList info({"NODOT", "X=T.C", "=T.C"});
  EXPECT_EQ(TFieldAliasMap(&info).Find("T", "C"), "");
  TStringList none({"NODOT", "X=T.C"});
  EXPECT_EQ(TFieldAliasMap(&none).Find("T", "C"), "X");
  EXPECT_EQ(TFieldAliasMap(nullptr).Find("T", "C"), "C");
}

TEST(GenNames, StatementsSharingTheirNamesReadAsEachMadeAlone) {
  TStringList info({"K2=T.K2", "ALIAS_B=T.B", "C=T.C"});
  TUpdateSQLGenInputs in;
  in.TableText = "T";
  in.KeyFields = Fields({{"K1", false}, {"K2", true}, {"B", true}});
  in.UpdateFields = Fields({{"A", false}, {"B", true}, {"select", true}});
  in.FieldInfo = &info;
  const TFieldAliasMap aliases(&info);
  for (bool quote : {false, true}) {
    in.QuoteFields = quote;
    auto shared = GenerateAll(in);
    Generated alone;
    GenerateModifySQL(in, aliases, &alone.Modify);
    GenerateInsertSQL(in, aliases, &alone.Insert);
    GenerateDeleteSQL(in, aliases, &alone.Delete);
    GenerateRefreshSQL(in, aliases, &alone.Refresh);
    EXPECT_EQ(shared->Modify.Text(), alone.Modify.Text());
    EXPECT_EQ(shared->Insert.Text(), alone.Insert.Text());
    EXPECT_EQ(shared->Delete.Text(), alone.Delete.Text());
    EXPECT_EQ(shared->Refresh.Text(), alone.Refresh.Text());
  }
  in.QuoteFields = false;
  auto g = GenerateAll(in);
  EXPECT_EQ(g->Modify.Text(),
            "update T\nset\n  B = :ALIAS_B,\n  \"select\" = :\"select\"\nwhere\n"
            "  K2 = :OLD_K2 and\n  B = :OLD_ALIAS_B\n");
  EXPECT_EQ(g->Refresh[0], "select B as ALIAS_B, \"select\"\r\nfrom T");
}

TEST(FieldAliases, AnAliasDifferingOnlyInCaseIsWrittenWithAs) {
  TStringList info({"Name=CUSTOMER.NAME"});
  TUpdateSQLGenInputs in;
  in.TableText = "CUSTOMER";
  in.KeyFields = Fields({{"ID", true}});
  in.UpdateFields = Fields({{"NAME", true}});
  in.FieldInfo = &info;
  auto g = GenerateAll(in);
  EXPECT_EQ(g->Refresh[0], "select NAME as Name\r\nfrom CUSTOMER");
  EXPECT_EQ(g->Modify[2], "  NAME = :Name");
}

TEST(StatementTable, OwnerPrefixDroppedOnlyWhenTheServerTakesNoOwners) {
  TUpdateSQLGenInputs in;
  in.TableText = "sales.ORDERS";
  in.KeyFields = Fields({{"ID", true}});
  in.UpdateFields = Fields({{"QTY", true}});
  EXPECT_EQ(GenerateAll(in)->Delete[0], "delete from ORDERS");
  in.ObjOwnerSupported = true;
  EXPECT_EQ(GenerateAll(in)->Delete[0], "delete from sales.ORDERS");
  in.QuoteFields = true;
  EXPECT_EQ(GenerateAll(in)->Delete[0], "delete from \"sales\".\"ORDERS\"");
}

TEST(Regeneration, ReplacesWhateverTheBufferHeld) {
  TStringList info;
  TUpdateSQLGenInputs in;
  in.TableText = "T";
  in.KeyFields = Fields({{"ID", true}});
  in.UpdateFields = Fields({{"V", true}});
  TStringList buffer({"hand edited", "text"});
  TFieldAliasMap aliases(&info);
  GenerateDeleteSQL(in, aliases, &buffer);
  TStringList again;
  GenerateDeleteSQL(in, aliases, &again);
  EXPECT_TRUE(buffer.Equals(&again));
  EXPECT_EQ(buffer.Text(), "delete from T\nwhere\n  ID = :OLD_ID\n");
}

// A list whose change handler raises: the error comes out of the generator (nothing ends the
// program), and the statement is in the list all the same.
TEST(Regeneration, AChangeHandlerThatRaisesIsReportedAndTheStatementStays) {
  TStringList info;
  TUpdateSQLGenInputs in;
  in.TableText = "T";
  in.KeyFields = Fields({{"ID", true}});
  in.UpdateFields = Fields({{"V", true}});
  TFieldAliasMap aliases(&info);
  TStringList buffer;
  int changes = 0;
  buffer.OnChange = [&](rtl::TObject*) {
    ++changes;
    throw rtl::Exception("the handler refused");
  };
  EXPECT_THROW(GenerateDeleteSQL(in, aliases, &buffer), rtl::Exception);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(buffer.Text(), "delete from T\nwhere\n  ID = :OLD_ID\n");
}
