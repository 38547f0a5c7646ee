#include "KorvRun.h"

namespace {

// The example shop's database and a module with a query on its orders, for a detail table of
// order lines to follow.
class MasterDetailTest : public TKorvTest {
protected:
  void SetUp() override {
    BuildDatabase("shop.db", ReadSource("examples/shop.sql"));
    Write("Orders.dfm",
          "object OrdersModule: TDataModule\n"
          "  object ShopSession: TKVSession\n"
          "    SessionName = 'Shop'\n"
          "  end\n"
          "  object ShopDB: TKVDatabase\n"
          "    DatabaseName = 'ShopData'\n"
          "    SessionName = 'Shop'\n"
          "    RemoteDatabase = 'shop.db'\n"
          "  end\n"
          "  object Orders: TKVQuery\n"
          "    DatabaseName = 'ShopData'\n"
          "    SessionName = 'Shop'\n"
          "    SQL.Strings = (\n"
          "      'select ORDER_NO from \"ORDER\" order by ORDER_NO')\n"
          "  end\n"
          "end\n");
  }
};

}  // namespace

TEST_F(MasterDetailTest, TheHostsDataSourceComesAfterThePackagesPage) {
  TKorvResult r = Korv({"palette"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_TRUE(r.Out.ends_with("Data Access\n  TDataSource       -  no bitmap\n")) << r;
  EXPECT_EQ(r.Out.find("Data Access"), r.Out.rfind("Data Access"));
}

TEST_F(MasterDetailTest, ADetailTableFollowsItsMasterThroughADataSource) {
  TKorvResult r = RunScript(
      "open Orders.dfm\n"
      "add TDataSource OrdersSource\n"
      "set DataSet Orders\n"
      "add TKVTable Lines\n"
      "set SessionName Shop\n"
      "set DatabaseName ShopData\n"
      "set TableName ORDER_LINE\n"
      "values IndexName\n"
      "values IndexFieldNames\n"
      "values MasterSource\n"
      "set MasterSource OrdersSource\n"
      "set MasterFields ORDER_NO\n"
      "select Orders\n"
      "set Active True\n"
      "data Lines\n"
      "save\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out,
            "sqlite_autoindex_ORDER_LINE_1\n"
            "ORDER_NO;LINE_NO\n"
            "OrdersSource\n"
            "Field     Type       Size  Required\n"
            "--------  ---------  ----  --------\n"
            "ORDER_NO  ftInteger  0     yes\n"
            "LINE_NO   ftInteger  0     yes\n"
            "PART_NO   ftString   12    yes\n"
            "QTY       ftInteger  0     yes\n"
            "\n"
            "ORDER_NO  LINE_NO  PART_NO  QTY\n"
            "--------  -------  -------  ---\n"
            "1001      1        P-100    10\n"
            "1001      2        P-300    4\n"
            "(2 rows)\n");
  const std::string saved = Read("Orders.dfm");
  EXPECT_NE(saved.find("  object OrdersSource: TDataSource\n"
                       "    DataSet = Orders\n"
                       "  end\n"
                       "  object Lines: TKVTable\n"
                       "    DatabaseName = 'ShopData'\n"
                       "    SessionName = 'Shop'\n"
                       "    MasterFields = 'ORDER_NO'\n"
                       "    MasterSource = OrdersSource\n"
                       "    TableName = 'ORDER_LINE'\n"
                       "  end\n"),
            std::string::npos)
      << saved;

  // The saved module opens again with its links.
  r = RunScript("open Orders.dfm\nselect Lines\nget MasterSource\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, "OrdersSource\n");
}

TEST_F(MasterDetailTest, WrongMastersAndIndexesAreRefusedByName) {
  TKorvResult r = RunScript(
      "open Orders.dfm\n"
      "add TKVTable Lines\n"
      "set MasterSource Orders\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "script.korv:3: MasterSource must name a TDataSource; Orders is a TKVQuery\n");

  r = RunScript(
      "open Orders.dfm\n"
      "add TKVTable Lines\n"
      "set SessionName Shop\n"
      "set DatabaseName ShopData\n"
      "set TableName ORDER_LINE\n"
      "set IndexName NOPE\n"
      "set Active True\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "script.korv:7: Lines: Index 'NOPE' not found in table 'ORDER_LINE'\n");
}
