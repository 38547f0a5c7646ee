// The library's components in form files: registered by name, written with their published
// properties, read back whole; Connected written only with ddoStoreConnected.
#include "LibraryFixture.h"

#include "korv/KVMonitor.h"
#include "korv/KVQuery.h"
#include "korv/KVSQLBaseServer.h"
#include "korv/KVScript.h"
#include "korv/KVStoredProc.h"
#include "korv/KVTable.h"
#include "korv/KVUpdateSQL.h"
#include "rtl/FormReader.h"
#include "rtl/FormWriter.h"

using namespace korv;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class ComponentStreamingTest : public korvtest::TLibraryTest {
protected:
  template <class T>
  static T* Find(rtl::TComponent& root, const char* name) {
    return rtl::As<T>(root.FindComponent(name));
  }
};

TEST_F(ComponentStreamingTest, EveryComponentClassIsRegisteredWithItsPublishedProperties) {
  for (const char* name :
       {"TKVSession", "TKVDatabase", "TKVDataSet", "TKVQuery", "TKVMacroQuery", "TKVStoredProc", "TKVTable",
        "TKVDataSetUpdateObject", "TKVUpdateSQL", "TKVScript", "TKVMonitor", "TKVSQLBaseServer"})
    EXPECT_NE(rtl::GetClass(name), nullptr) << name;

  const rtl::TPropInfo* type = rtl::GetClass("TKVDatabase")->FindProp("ServerType");
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(type->PropType->EnumNames,
            (std::vector<std::string>{"stSQLite", "stPostgreSQL", "stFirebird", "stMariaDB"}));
  const rtl::TPropInfo* options = rtl::GetClass("TKVDatabase")->FindProp("DesignOptions");
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(options->PropType->CompType->EnumNames,
            (std::vector<std::string>{"ddoDefaultDatabase", "ddoStoreConnected"}));
  for (const char* prop : {"DatabaseName", "SessionName", "UpdateObject", "Active"})
    EXPECT_NE(rtl::GetClass("TKVQuery")->FindProp(prop), nullptr) << prop;
}

TEST_F(ComponentStreamingTest, ModuleRoundTripKeepsPropertiesAndLinks) {
  auto root = std::make_unique<rtl::TDataModule>(nullptr);
  root->SetName("Shop");
  auto* session = new TKVSession(root.get());
  session->SetName("Session1");
  session->SetSessionName("ShopSession");
  auto* db = new TKVDatabase(root.get());
  db->SetName("Database1");
  db->SetDatabaseName("SHOP");
  db->SetSessionName("ShopSession");
  db->SetRemoteDatabase("shop.db");
  db->Params()->Add("BusyTimeout=100");
  db->SetKeepConnection(false);
  db->SetDesignOptions({TKVDesignDBOption::ddoDefaultDatabase});
  auto* query = new TKVQuery(root.get());
  query->SetName("Query1");
  query->SetDatabaseName("SHOP");
  query->SetSessionName("ShopSession");
  query->SQL()->Add("select * from ORDERS");
  query->SQL()->Add("where CODE = :code");
  query->ParamByName("code")->SetValue("it's");
  auto* update = new TKVUpdateSQL(root.get());
  update->SetName("UpdateSQL1");
  update->ModifySQL()->Add("update ORDERS set NOTE = :NOTE where CODE = :OLD_CODE");
  query->SetUpdateObject(update);
  auto* table = new TKVTable(root.get());
  table->SetName("Table1");
  table->SetTableName("ORDERS");
  table->SetIndexFieldNames("CODE");
  auto* proc = new TKVStoredProc(root.get());
  proc->SetName("StoredProc1");
  proc->SetStoredProcName("ADD_ORDER");
  auto* server = new TKVSQLBaseServer(root.get());
  server->SetName("Server1");
  server->SetPassword("secret");
  auto* monitor = new TKVMonitor(root.get());
  monitor->SetName("Monitor1");
  monitor->SetMaxLines(10);

  const std::string text = rtl::WriteModule(root.get());
  EXPECT_THAT(text, HasSubstr("object Database1: TKVDatabase"));
  EXPECT_THAT(text, HasSubstr("ServerType = stSQLite"));
  EXPECT_THAT(text, HasSubstr("DesignOptions = [ddoDefaultDatabase]"));
  EXPECT_THAT(text, HasSubstr("KeepConnection = False"));
  EXPECT_THAT(text, Not(HasSubstr("LoginPrompt"))) << "defaults are not written";
  EXPECT_THAT(text, HasSubstr("UpdateObject = UpdateSQL1"));
  EXPECT_THAT(text, Not(HasSubstr("Connected =")));
  root.reset();

  auto back = rtl::ReadModule(text, "Shop.dfm");
  auto* db2 = Find<TKVDatabase>(*back, "Database1");
  EXPECT_EQ(db2->DatabaseName(), "SHOP");
  EXPECT_EQ(db2->Params()->Values("BusyTimeout"), "100");
  EXPECT_FALSE(db2->KeepConnection());
  EXPECT_TRUE(db2->DesignOptions().Contains(TKVDesignDBOption::ddoDefaultDatabase));
  EXPECT_EQ(Sessions->FindSession("shopsession"), Find<TKVSession>(*back, "Session1"));
  EXPECT_EQ(Sessions->FindSession("ShopSession")->FindDatabase("shop"), db2);
  auto* q2 = Find<TKVQuery>(*back, "Query1");
  EXPECT_EQ(q2->SQL()->Count(), 2);
  EXPECT_EQ(q2->ParamByName("code")->Value(), "it's");
  auto* u2 = Find<TKVUpdateSQL>(*back, "UpdateSQL1");
  EXPECT_EQ(q2->UpdateObject(), u2);
  EXPECT_EQ(u2->DataSet(), q2);
  EXPECT_EQ(u2->GetSQLIndex(1)->Count(), 1);
  EXPECT_EQ(Find<TKVTable>(*back, "Table1")->IndexFieldNames(), "CODE");
  EXPECT_EQ(Find<TKVStoredProc>(*back, "StoredProc1")->StoredProcName(), "ADD_ORDER");
  EXPECT_EQ(Find<TKVSQLBaseServer>(*back, "Server1")->Password(), "secret");
  EXPECT_EQ(Find<TKVMonitor>(*back, "Monitor1")->MaxLines(), 10);
  EXPECT_EQ(rtl::WriteModule(back.get()), text) << "written again unchanged";
}

// Parameters and macros a module holds empty beside their markers stay empty: written as "<>",
// since reading the SQL alone would make them again.
TEST_F(ComponentStreamingTest, EmptyParamsBesideMarkersStayEmpty) {
  const rtl::String text =
      "object M: TDataModule\n"
      "  object Q: TKVMacroQuery\n"
      "    SQL.Strings = (\n"
      "      'select * from &T where A = :A')\n"
      "    Params = <>\n"
      "    Macros = <>\n"
      "  end\n"
      "  object Plain: TKVQuery\n"
      "    SQL.Strings = (\n"
      "      'select 1')\n"
      "  end\n"
      "end\n";
  auto root = rtl::ReadModule(text, "m.dfm");
  EXPECT_EQ(Find<TKVMacroQuery>(*root, "Q")->Params()->Count(), 0);
  EXPECT_EQ(rtl::WriteModule(root.get()), text);
  auto again = rtl::ReadModule(rtl::WriteModule(root.get()), "m.dfm");
  EXPECT_EQ(rtl::WriteModule(again.get()), text);
}

TEST_F(ComponentStreamingTest, ConnectedIsStoredOnlyWithStoreConnectedAndReconnectsOnLoad) {
  auto root = std::make_unique<rtl::TDataModule>(nullptr);
  root->SetName("Shop");
  auto* db = new TKVDatabase(root.get());
  db->SetName("Database1");
  db->SetDatabaseName("STREAMED");
  db->SetRemoteDatabase(Temp.File("shop.db"));
  db->Open();
  auto* table = new TKVTable(root.get());
  table->SetName("Table1");
  table->SetDatabaseName("STREAMED");
  table->SetTableName("ORDERS");
  table->Open();
  EXPECT_THAT(rtl::WriteModule(root.get()), Not(HasSubstr("Connected =")));
  db->SetDesignOptions({TKVDesignDBOption::ddoStoreConnected});
  const std::string text = rtl::WriteModule(root.get());
  EXPECT_THAT(text, HasSubstr("Connected = True"));
  db->Close();
  EXPECT_THAT(rtl::WriteModule(root.get()), Not(HasSubstr("Connected =")));
  root.reset();

  auto back = rtl::ReadModule(text, "Shop.dfm");
  EXPECT_TRUE(Find<TKVDatabase>(*back, "Database1")->Connected());
  EXPECT_TRUE(Find<TKVTable>(*back, "Table1")->Active()) << "Active read before the table's other properties";
  back.reset();

  // A module whose database cannot reconnect still opens in the designer, and says why.
  std::string moved = text;
  moved.replace(moved.find("shop.db"), 7, "gone.db");
  std::vector<std::string> reported;
  Sessions->SetLoadErrorHandler(
      [&](rtl::TComponent* c, const std::exception& e) { reported.push_back(c->Name() + ": " + e.what()); });
  rtl::TFormReadOptions designing;
  designing.Designing = true;
  auto opened = rtl::ReadModule(moved, "Shop.dfm", designing);
  Sessions->SetLoadErrorHandler(nullptr);
  ASSERT_EQ(reported.size(), 2u) << "the database, then the table that needs it";
  EXPECT_THAT(reported[0], HasSubstr("gone.db"));
  EXPECT_THAT(reported[1], HasSubstr("Table1"));
  EXPECT_FALSE(Find<TKVDatabase>(*opened, "Database1")->Connected());
  opened.reset();

  EXPECT_ANY_THROW(rtl::ReadModule(moved, "Shop.dfm")) << "outside the designer the failure stands";

  // The same for a data set that cannot reopen.
  const std::string withTable =
      "object Shop: TDataModule\n"
      "  object Table1: TKVTable\n"
      "    Active = True\n"
      "    DatabaseName = 'NOWHERE'\n"
      "    TableName = 'ORDERS'\n"
      "  end\n"
      "end\n";
  reported.clear();
  Sessions->SetLoadErrorHandler(
      [&](rtl::TComponent* c, const std::exception& e) { reported.push_back(c->Name() + ": " + e.what()); });
  auto module = rtl::ReadModule(withTable, "Shop.dfm", designing);
  Sessions->SetLoadErrorHandler(nullptr);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_THAT(reported[0], HasSubstr("NOWHERE"));
  EXPECT_FALSE(Find<TKVTable>(*module, "Table1")->Active());
}

}  // namespace
