// Database components: connecting through the driver, what a failure says, what disconnects them,
// the login hook and the index information of GetSchemaInfo, on real SQLite files.
#include "LibraryFixture.h"

#include "korv/KVTable.h"

#include <filesystem>
#include <functional>
#include <fstream>

using namespace korv;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class DatabaseTest : public korvtest::TLibraryTest {};

struct TIndexRow {
  std::string Index, Column;
  int Type;
  bool operator==(const TIndexRow&) const = default;
};
void PrintTo(const TIndexRow& r, std::ostream* os) { *os << r.Index << "/" << r.Column << "/" << r.Type; }

std::vector<TIndexRow> IndexRows(TKVDatabase& db, const std::string& table) {
  auto rs = db.GetSchemaInfo(TKVSchemaType::stIndexes, table);
  EXPECT_NE(rs, nullptr);
  std::vector<TIndexRow> rows;
  if (!rs) return rows;
  for (; !rs->Eof(); rs->Next())
    rows.push_back({rs->FieldByName("INDEX_NAME")->AsString(), rs->FieldByName("COLUMN_NAME")->AsString(),
                    rs->FieldByName("index_type")->AsInteger()});
  return rows;
}

TEST_F(DatabaseTest, ConnectsToTheFileTakenFromBaseDir) {
  auto db = ShopDatabase();
  EXPECT_EQ(db->ServerType(), TKVServerType::stSQLite);
  EXPECT_TRUE(db->KeepConnection());
  EXPECT_TRUE(db->LoginPrompt());
  db->SetConnected(true);
  EXPECT_TRUE(db->Connected());
  db->Execute("CREATE TABLE EXTRA (X); INSERT INTO EXTRA VALUES (1);");
  rtl::TStringList names;
  Session->GetTableNames("SHOP", "EXTRA", false, &names);
  EXPECT_EQ(names.Count(), 1);
  db->Close();
  EXPECT_FALSE(db->Connected());
}

TEST_F(DatabaseTest, ConnectFailuresNameTheDatabaseAndCreateNothing) {
  auto db = ShopDatabase("Ledger");
  db->SetRemoteDatabase("missing.db");
  try {
    db->Open();
    FAIL() << "a missing file connected";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("Ledger"));
    EXPECT_THAT(e.Message(), HasSubstr("missing.db"));
  }
  EXPECT_FALSE(db->Connected());
  EXPECT_FALSE(std::filesystem::exists(Temp.File("missing.db")));

  std::ofstream(Temp.File("broken.db")) << "this is no database, just text that is long enough to look like a header";
  db->SetRemoteDatabase("broken.db");
  try {
    db->Open();
    FAIL() << "a broken file connected";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("Ledger"));
  }
  EXPECT_FALSE(db->Connected());

  db->SetRemoteDatabase("");
  EXPECT_THROW(db->Open(), rtl::EDatabaseError);
}

TEST_F(DatabaseTest, ChangingWhatTheConnectionIsMadeOfDisconnectsAndClosesDataSets) {
  auto db = ShopDatabase();
  TKVTable table(nullptr);
  table.SetDatabaseName("SHOP");
  table.SetTableName("CUSTOMER");
  table.Open();
  ASSERT_TRUE(db->Connected());
  EXPECT_EQ(db->DataSetCount(), 1);

  db->SetKeepConnection(false);  // not a connection property
  db->SetLoginPrompt(false);
  EXPECT_TRUE(db->Connected());
  rtl::TStringList same;
  same.Assign(db->Params());
  db->SetParams(&same);  // unchanged
  EXPECT_TRUE(db->Connected());

  rtl::TStringList params;
  params.Add("BusyTimeout=100");
  db->SetParams(&params);
  EXPECT_FALSE(db->Connected());
  EXPECT_FALSE(table.Active());
  EXPECT_EQ(db->DataSetCount(), 0);

  for (auto change : std::vector<std::function<void()>>{
           [&] { db->SetRemoteDatabase("./shop.db"); }, [&] { db->SetServerType(TKVServerType::stPostgreSQL); },
           [&] { db->SetDatabaseName("SHOP2"); }, [&] { db->SetSessionName("Other"); }}) {
    db->SetServerType(TKVServerType::stSQLite);
    db->SetSessionName("");
    db->SetDatabaseName("SHOP");
    db->Open();
    change();
    EXPECT_FALSE(db->Connected());
  }
}

TEST_F(DatabaseTest, ParamsFileAddsParametersThatParamsOverride) {
  std::ofstream(Temp.File("conn.ini")) << "ReadOnly=True\nBusyTimeout=50\n";
  auto db = ShopDatabase();
  db->SetParamsFileName("conn.ini");
  db->Open();
  EXPECT_THROW(db->Execute("CREATE TABLE T (X)"), rtl::EDatabaseError) << "read-only from the file";
  db->Close();

  db->Params()->Add("ReadOnly=False");
  db->Open();
  EXPECT_NO_THROW(db->Execute("CREATE TABLE T (X)"));
  db->Close();

  db->SetParamsFileName("nowhere.ini");
  try {
    db->Open();
    FAIL();
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("nowhere.ini"));
  }
}

TEST_F(DatabaseTest, LoginHookIsAskedOnlyWhenAServerNeedsAPasswordThatIsMissing) {
  int asked = 0;
  // The library's own login dialog is installed at load; it comes back after the test.
  struct TRestoreHook {
    TKVSessionList::TLoginHook Saved = Sessions->LoginHook();
    ~TRestoreHook() { Sessions->SetLoginHook(Saved); }
  } restore;
  Sessions->SetLoginHook([&](TKVDatabase* db, rtl::TStrings* login) {
    ++asked;
    EXPECT_EQ(db->DatabaseName(), "PG");
    EXPECT_EQ(login->Values("USER NAME"), "alice");
    EXPECT_GE(login->IndexOfName("PASSWORD"), 0);
    return false;
  });

  auto sqlite = ShopDatabase();
  sqlite->Open();
  EXPECT_EQ(asked, 0) << "SQLite wants no password";

  TKVDatabase pg(nullptr);
  pg.SetDatabaseName("PG");
  pg.SetServerType(TKVServerType::stPostgreSQL);
  pg.SetRemoteDatabase("127.0.0.1:1/none");
  pg.Params()->Add("USER NAME=alice");
  try {
    pg.Open();
    FAIL() << "a cancelled login connected";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("cancelled"));
    EXPECT_THAT(e.Message(), HasSubstr("PG"));
  }
  EXPECT_EQ(asked, 1);

  pg.SetLoginPrompt(false);
  EXPECT_THROW(pg.Open(), rtl::EDatabaseError);  // nothing listens on port 1
  pg.SetLoginPrompt(true);
  pg.Params()->Add("PASSWORD=secret");
  EXPECT_THROW(pg.Open(), rtl::EDatabaseError);
  EXPECT_EQ(asked, 1);
}

TEST_F(DatabaseTest, IndexInformationForCompositeUniqueAndRowidKeys) {
  auto db = ShopDatabase();
  db->SetKeepConnection(false);
  const auto orders = IndexRows(*db, "ORDERS");
  EXPECT_FALSE(db->Connected()) << "connected for the call only";
  EXPECT_THAT(orders, ElementsAre(TIndexRow{"ORDERS_AMOUNT", "AMOUNT", 0}, TIndexRow{"ORDERS_CODE", "CODE", 2},
                                  TIndexRow{"ORDERS_NOTE", "NOTE", 2}, TIndexRow{"ORDERS_NOTE", "AMOUNT", 2},
                                  TIndexRow{"sqlite_autoindex_ORDERS_1", "CUST_ID", 6},
                                  TIndexRow{"sqlite_autoindex_ORDERS_1", "BRANCH_ID", 6}));
  EXPECT_THAT(IndexRows(*db, "CUSTOMER"), ElementsAre(TIndexRow{"PRIMARY", "ID", 6}));
  EXPECT_THAT(IndexRows(*db, "\"CUSTOMER\""), ElementsAre(TIndexRow{"PRIMARY", "ID", 6})) << "quoted as typed";
  EXPECT_THAT(IndexRows(*db, "NO_SUCH"), ElementsAre());

  EXPECT_EQ(db->GetSchemaInfo(TKVSchemaType::stNone, "ORDERS"), nullptr);
  auto rs = db->GetSchemaInfo(TKVSchemaType::stColumns, "CUSTOMER");
  ASSERT_EQ(rs->RecordCount(), 3);
  EXPECT_EQ(rs->FieldByName("COLUMN_NAME")->AsString(), "ID");
  EXPECT_THROW(rs->FieldByName("INDEX_TYPE"), rtl::EDatabaseError);
  rs->Next();
  rs->Next();
  rs->Next();
  EXPECT_TRUE(rs->Eof());
  EXPECT_TRUE(rs->FieldByName("COLUMN_NAME")->IsNull());
}

}  // namespace
