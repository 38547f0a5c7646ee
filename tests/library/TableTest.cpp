// Table components: field and index definitions read from the catalogue, and the fields of the
// current index.
#include "LibraryFixture.h"

#include "korv/KVTable.h"

using namespace korv;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class TableTest : public korvtest::TLibraryTest {
protected:
  TableTest() : Db(ShopDatabase()) {
    Table.SetName("Table1");
    Table.SetDatabaseName("SHOP");
  }

  std::vector<std::string> IndexFieldNames() {
    std::vector<std::string> names;
    for (int i = 0; i < Table.GetIndexFieldCount(); ++i) names.push_back(Table.GetIndexField(i)->FieldName());
    return names;
  }

  std::unique_ptr<TKVDatabase> Db;
  TKVTable Table{nullptr};
};

TEST_F(TableTest, OpenReadsFieldAndIndexDefinitions) {
  Table.SetTableName("ORDERS");
  Table.Open();
  ASSERT_TRUE(Table.Active());
  std::vector<std::string> fields;
  for (int i = 0; i < Table.FieldDefs()->Count(); ++i) fields.push_back(Table.FieldDefs()->Items(i)->Name());
  EXPECT_THAT(fields, ElementsAre("CUST_ID", "BRANCH_ID", "CODE", "AMOUNT", "NOTE"));

  rtl::TIndexDefs* defs = Table.IndexDefs();
  ASSERT_EQ(defs->Count(), 4);
  const rtl::TIndexDef* pk = defs->Find("sqlite_autoindex_ORDERS_1");
  EXPECT_EQ(pk->Fields(), "CUST_ID;BRANCH_ID");
  EXPECT_EQ(pk->Options(), (rtl::TIndexOptions{rtl::TIndexOption::ixPrimary, rtl::TIndexOption::ixUnique}));
  EXPECT_EQ(defs->Find("ORDERS_NOTE")->Fields(), "NOTE;AMOUNT");
  EXPECT_EQ(defs->Find("ORDERS_NOTE")->Options(), rtl::TIndexOptions{rtl::TIndexOption::ixUnique});
  EXPECT_TRUE(defs->Find("ORDERS_AMOUNT")->Options().Empty());

  EXPECT_THAT(IndexFieldNames(), ElementsAre("CUST_ID", "BRANCH_ID")) << "no index named: the primary key";
  Table.SetIndexName("orders_note");
  EXPECT_THAT(IndexFieldNames(), ElementsAre("NOTE", "AMOUNT"));
  Table.SetIndexFieldNames("code; amount");
  EXPECT_THAT(IndexFieldNames(), ElementsAre("CODE", "AMOUNT")) << "IndexFieldNames win over IndexName";
  EXPECT_EQ(Table.GetIndexField(0)->FieldName(), "CODE") << "the table's own field, as it spells it";
  EXPECT_THROW(Table.GetIndexField(2), rtl::EDatabaseError);
  Table.SetIndexFieldNames("NOPE");
  EXPECT_THROW(Table.GetIndexField(0), rtl::EDatabaseError);
  Table.SetIndexFieldNames("");
  Table.SetIndexName("NO_SUCH_INDEX");
  EXPECT_THROW(Table.GetIndexFieldCount(), rtl::EDatabaseError);
}

TEST_F(TableTest, RowidPrimaryKeyIsThePrimaryIndex) {
  Table.SetTableName("customer");
  Table.Open();
  ASSERT_EQ(Table.IndexDefs()->Count(), 1);
  EXPECT_EQ(Table.IndexDefs()->Items(0)->Name(), "PRIMARY");
  EXPECT_TRUE(Table.IndexDefs()->Items(0)->Options().Contains(rtl::TIndexOption::ixPrimary));
  EXPECT_THAT(IndexFieldNames(), ElementsAre("ID"));
}

TEST_F(TableTest, MissingTableIsAnErrorNamingIt) {
  Table.SetTableName("NO_SUCH");
  try {
    Table.Open();
    FAIL();
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("NO_SUCH"));
    EXPECT_THAT(e.Message(), HasSubstr("Table1"));
  }
  EXPECT_FALSE(Table.Active());
  Table.SetTableName("");
  EXPECT_THROW(Table.Open(), rtl::EDatabaseError);
}

TEST_F(TableTest, ChangingTheTableClosesItAndMasterSourceIsClearedWhenItGoes) {
  Table.SetTableName("ORDERS");
  Table.Open();
  Table.SetTableName("CUSTOMER");
  EXPECT_FALSE(Table.Active());

  auto source = std::make_unique<rtl::TDataSource>(nullptr);
  Table.SetMasterSource(source.get());
  Table.SetMasterFields("ID");
  EXPECT_EQ(Table.MasterSource(), source.get());
  source.reset();
  EXPECT_EQ(Table.MasterSource(), nullptr);
}

}  // namespace
