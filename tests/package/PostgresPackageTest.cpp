// The package against a real PostgreSQL server, as against SQLite: the session's catalogue calls,
// the UpdateSQL editor, the name-list property editors, the stored procedure's bind verb and the
// connection failures, all on a database of the open data module whose RemoteDatabase is
// host:port/database. scripts/pg-cluster starts the server and exports KORV_PG_*. Each test works
// in a schema of its own, first on the connection's search path, and in a second schema with a
// mixed-case name off it; both are dropped afterwards.
#include "EditorTestFixture.h"

#include "KVUpdSEd.h"

#include "designer/ObjectInspector.h"
#include "korv/KVCommon.h"
#include "korv/KVConsts.h"
#include "korv/drivers/Driver.h"
#include "vcl/Gestures.h"

#include "PgTestServer.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <random>

using namespace editortest;
using namespace dclkorv;
using designintf::TColOption;
using designintf::TColOptions;
using korv::TKVServerType;
using rtl::TParamType;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using vcl::TGestureDriver;

namespace {

using korvtest::Env;

String Quoted(const String& Name) {
  String quoted = "\"";
  for (char c : Name) quoted += (c == '"') ? String("\"\"") : String(1, c);
  return quoted + "\"";
}

Lines Items(const vcl::TListBox* ListBox) { return ListBox->Items()->ToVector(); }

Lines SelectedItems(const vcl::TListBox* ListBox) {
  Lines out;
  for (int i = 0; i < ListBox->Items()->Count(); ++i)
    if (ListBox->Selected(i)) out.push_back(ListBox->Items()->Get(i));
  return out;
}

TKVUpdateSQLEditForm* Dialog(TGestureDriver& d) { return rtl::As<TKVUpdateSQLEditForm>(d.Form()); }

// The statement with its parameters (:NAME, :"NAME") as the server's own markers $1, $2 ...,
// one number per distinct name, so that the server can prepare it.
String WithServerMarkers(const String& Statement) {
  String out;
  std::vector<String> names;
  for (std::size_t i = 0; i < Statement.size(); ++i) {
    if (Statement[i] != ':') {
      out += Statement[i];
      continue;
    }
    String name;
    std::size_t j = i + 1;
    if (j < Statement.size() && Statement[j] == '"') {
      for (++j; j < Statement.size(); ++j) {
        if (Statement[j] != '"') {
          name += Statement[j];
        } else if (j + 1 < Statement.size() && Statement[j + 1] == '"') {
          name += '"';
          ++j;
        } else {
          ++j;
          break;
        }
      }
    } else {
      while (j < Statement.size() && (std::isalnum(static_cast<unsigned char>(Statement[j])) || Statement[j] == '_' ||
                                      static_cast<unsigned char>(Statement[j]) >= 0x80))
        name += Statement[j++];
    }
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) it = names.insert(names.end(), name);
    out += fmt::format("${}", it - names.begin() + 1);
    i = j - 1;
  }
  return out;
}

class PostgresPackageTest : public EditorFixture {
protected:
  void SetUp() override {
    Host = Env("KORV_PG_HOST");
    Port = Env("KORV_PG_PORT");
    User = Env("KORV_PG_USER");
    Password = Env("KORV_PG_PASSWORD");
    DbName = Env("KORV_PG_DATABASE");
    if (Port.empty() || User.empty() || DbName.empty()) KORV_SKIP_OR_FAIL(korvtest::kNoPGTestServer);

    Setup.SetDatabaseName("PGSETUP");
    Setup.SetServerType(TKVServerType::stPostgreSQL);
    Setup.SetRemoteDatabase(Address());
    Setup.Params()->SetText("USER NAME=" + User + "\nPASSWORD=" + Password);
    Setup.SetLoginPrompt(false);
    try {
      Setup.Open();
    } catch (const rtl::EDatabaseError& e) {
      KORV_SKIP_OR_FAIL("PostgreSQL test server unreachable: " << e.Message());
    }
    std::random_device random;
    const unsigned id = random();
    Schema = fmt::format("korv_pkg_{:08x}", id);
    Sales = fmt::format("Korv_Sales_{:08x}", id);
    Sql("CREATE SCHEMA " + Schema);
    Sql("CREATE SCHEMA " + Quoted(Sales));
    Sql("SET search_path = " + Schema);

    UseSettings(false);
    {
      designintf::TPackageRegistrationScope scope(kTestPackage);
      RegisterPropertyEditors();
      RegisterDialogPropertyEditors();
    }
    Pg = Create<korv::TKVDatabase>("PgDatabase");
    Pg->SetDatabaseName("PG");
    Pg->SetServerType(TKVServerType::stPostgreSQL);
    Pg->SetRemoteDatabase(Address());
    Pg->Params()->SetText(ConnectionParams(Password));
    Pg->SetLoginPrompt(false);
    Pg->SetKeepConnection(false);  // each catalogue call connects for itself
  }

  void TearDown() override {
    if (!Setup.Connected() || Schema.empty()) return;
    if (Pg) Pg->Close();
    Sql("DROP SCHEMA IF EXISTS " + Schema + " CASCADE");
    Sql("DROP SCHEMA IF EXISTS " + Quoted(Sales) + " CASCADE");
  }

  String Address(const String& PortText = {}, const String& Database = {}) const {
    return fmt::format("{}:{}/{}", Host, PortText.empty() ? Port : PortText, Database.empty() ? DbName : Database);
  }
  // The module database's parameters: this test's schema alone on the search path.
  String ConnectionParams(const String& PasswordText) const {
    return "USER NAME=" + User + "\nPASSWORD=" + PasswordText + "\noptions=-c search_path=" + Schema;
  }

  void Sql(const String& Statement) { Setup.Execute(Statement); }

  // The shop tables: order lines with mixed-case names, a composite primary key and a unique
  // index; customers with a unique e-mail; an archive in the mixed-case schema, keyed only by a
  // unique index.
  void BuildShop() {
    Sql("CREATE TABLE customer (cust_no int PRIMARY KEY, name text NOT NULL, tel text, \"E-MAIL\" text UNIQUE)");
    Sql("CREATE TABLE \"OrderLines\" (\"OrderNo\" int, \"LineNo\" int, \"PartNo\" text, \"Qty\" int, "
        "PRIMARY KEY (\"OrderNo\", \"LineNo\"))");
    Sql("CREATE UNIQUE INDEX \"OrderLines_Part\" ON \"OrderLines\" (\"OrderNo\", \"PartNo\")");
    Sql("CREATE VIEW open_lines AS SELECT * FROM \"OrderLines\" WHERE \"Qty\" > 0");
    Sql("CREATE TABLE " + Quoted(Sales) + ".\"Archive\" (id int NOT NULL, note text, \"Region\" text)");
    Sql("CREATE UNIQUE INDEX archive_id ON " + Quoted(Sales) + ".\"Archive\" (id)");
  }

  // Names this test made: those the search path finds (only this test's schema), and those of
  // its second schema. Other tests fill the same database at the same time.
  Lines Mine(const Lines& Names) const {
    Lines mine;
    for (const String& name : Names)
      if (korv::SplitObjName(name).size() == 1 || name.rfind(Quoted(Sales) + ".", 0) == 0) mine.push_back(name);
    return mine;
  }

  // Empty when the server prepares the statement (without running it), else its complaint.
  String ServerRejects(const Lines& Statement) {
    String text;
    for (const String& line : Statement) text += line + "\n";
    try {
      Setup.Connection().DescribeStatement(WithServerMarkers(text));
    } catch (const rtl::EDatabaseError& e) {
      return e.Message() + "\n" + text;
    }
    return "";
  }

  // An update object bound to a query on the PostgreSQL database.
  korv::TKVUpdateSQL* UpdateObjectFor(const String& SQL, int Number = 1) {
    auto* query = Create<korv::TKVQuery>(fmt::format("Query{}", Number));
    query->SetDatabaseName("PG");
    query->SQL()->SetText(SQL);
    auto* update = Create<korv::TKVUpdateSQL>(fmt::format("UpdateSQL{}", Number));
    query->SetUpdateObject(update);
    return update;
  }
  // Opens the UpdateSQL editor by a double-click, with Script as the developer's gestures.
  void EditUpdateSQL(korv::TKVUpdateSQL* Update, vcl::TScriptedUserInterface::TGestureScript Script) {
    UI.QueueForm("TKVUpdateSQLEditForm", std::move(Script));
    EditorFor(Update)->Edit();
    EXPECT_TRUE(UI.AllConsumed());
  }

  designer::TObjectInspector& Inspect(rtl::TComponent* Component) {
    Inspector.SetSelection({Component});
    return Inspector;
  }
  // A drop-down's candidates as the editor hands them over, before the inspector sorts them.
  Lines RawValues(const String& Property) {
    Lines out;
    Inspector.Editor(Property)->GetValues([&](const String& s) { out.push_back(s); });
    return out;
  }

  String Host, Port, User, Password, DbName, Schema, Sales;
  korv::TKVDatabase Setup{nullptr};
  korv::TKVDatabase* Pg = nullptr;
  designer::TObjectInspector Inspector{*Module};
};

}  // namespace

TEST_F(PostgresPackageTest, SessionCatalogueCallsAnswerFromTheServer) {
  BuildShop();
  korv::TKVSession* session = korv::Session;
  rtl::TStringList list;

  session->GetTableNames("PG", "", false, &list);
  EXPECT_THAT(Mine(list.ToVector()),
              ElementsAre("\"OrderLines\"", "customer", "open_lines", Quoted(Sales) + ".\"Archive\""));
  list.Clear();
  session->GetTableNames("PG", "pg_cl%", true, &list);
  EXPECT_THAT(Mine(list.ToVector()), ElementsAre("pg_class"));  // system tables only when asked
  list.Clear();
  session->GetTableNames("PG", "cust%", false, &list);
  EXPECT_THAT(Mine(list.ToVector()), ElementsAre("customer"));

  // Columns in column order. Names in SQL spelling fold to lower case; a name whose quotes were
  // taken off still finds its mixed-case table when the folded name finds none.
  auto fields = [&](const String& Table) {
    rtl::TStringList names;
    session->GetFieldNames("PG", Table, &names);
    return names.ToVector();
  };
  const Lines lineColumns{"OrderNo", "LineNo", "PartNo", "Qty"};
  EXPECT_THAT(fields("CUSTOMER"), ElementsAre("cust_no", "name", "tel", "E-MAIL"));
  EXPECT_EQ(fields("\"OrderLines\""), lineColumns);
  EXPECT_EQ(fields("OrderLines"), lineColumns);
  EXPECT_EQ(fields(Schema + ".OrderLines"), lineColumns);
  EXPECT_THAT(fields(Sales + ".Archive"), ElementsAre("id", "note", "Region"));
  EXPECT_THAT(fields(Quoted(Sales) + ".\"Archive\""), ElementsAre("id", "note", "Region"));
  EXPECT_THAT(fields("orderlines"), IsEmpty());  // no such table, and no guessing at case
  EXPECT_THAT(fields("\"orderlines\""), IsEmpty());
  EXPECT_THAT(fields("Archive"), IsEmpty());  // off the search path

  // When the folded name finds a table, the server's reading wins.
  Sql("CREATE TABLE orderlines (lower_only int)");
  EXPECT_THAT(fields("OrderLines"), ElementsAre("lower_only"));
  EXPECT_EQ(fields("\"OrderLines\""), lineColumns);

  Sql("CREATE FUNCTION add_tax(amount numeric) RETURNS numeric LANGUAGE sql AS 'SELECT amount * 1.2'");
  Sql("CREATE PROCEDURE bump(INOUT counter int) LANGUAGE sql AS 'SELECT counter + 1'");
  Sql("CREATE FUNCTION " + Quoted(Sales) + ".archive_all() RETURNS void LANGUAGE sql AS ''");
  list.Clear();
  session->GetStoredProcNames("PG", &list);
  EXPECT_THAT(Mine(list.ToVector()), ElementsAre("add_tax", "bump", Quoted(Sales) + ".archive_all"));

  // Index rows as Select Primary Keys reads them: primary key 6 (primary and unique), unique 2.
  auto indexRows = [&](const String& Table) {
    Lines rows;
    auto info = Pg->GetSchemaInfo(korv::TKVSchemaType::stIndexes, Table);
    for (; info && !info->Eof(); info->Next())
      rows.push_back(fmt::format("{} {} {}", info->FieldByName("INDEX_NAME")->AsString(),
                                 info->FieldByName("COLUMN_NAME")->AsString(),
                                 info->FieldByName("INDEX_TYPE")->AsInteger()));
    return rows;
  };
  EXPECT_THAT(indexRows("\"OrderLines\""), ElementsAre("OrderLines_Part OrderNo 2", "OrderLines_Part PartNo 2",
                                                       "OrderLines_pkey OrderNo 6", "OrderLines_pkey LineNo 6"));
  EXPECT_THAT(indexRows(Quoted(Sales) + ".\"Archive\""), ElementsAre("archive_id id 2"));
  EXPECT_THAT(indexRows("nothing"), IsEmpty());

  // Every call connected for itself and let go afterwards.
  EXPECT_FALSE(Pg->Connected());
}

TEST_F(PostgresPackageTest, UpdateSQLEditorWritesStatementsTheServerTakesForAMixedCaseTable) {
  BuildShop();
  auto* update = UpdateObjectFor(
      "select l.\"OrderNo\", l.\"LineNo\", l.\"PartNo\", l.\"Qty\" as \"Quantity\"\n"
      "from \"OrderLines\" l");
  NewModifiedCalls();
  EditUpdateSQL(update, [&](TGestureDriver& d) {
    auto* f = Dialog(d);
    EXPECT_EQ(f->cbTableName->Text(), "\"OrderLines\"");
    EXPECT_EQ(f->FindFieldAlias("\"OrderLines\"", "Qty"), "Quantity");
    d.Click("btGetTableFields");  // asks for OrderLines: the quotes come off first
    EXPECT_EQ(Items(f->lbKeyFields), (Lines{"OrderNo", "LineNo", "PartNo", "Qty"}));
    EXPECT_EQ(SelectedItems(f->lbUpdateFields), Items(f->lbUpdateFields));
    d.Click("btSelectPrimKeys");  // the composite primary key, not the unique index
    EXPECT_EQ(SelectedItems(f->lbKeyFields), (Lines{"OrderNo", "LineNo"}));
    d.Pick("lbUpdateFields", {"PartNo", "Qty"});
    d.Check("cbQuotedFields", true);
    d.Click("btGenerateSQL");
    d.Click("btOk");
  });
  const Lines modify{"update \"OrderLines\"",         "set",   "  \"PartNo\" = :\"PartNo\",",
                     "  \"Qty\" = :\"Quantity\"",     "where", "  \"OrderNo\" = :\"OLD_OrderNo\" and",
                     "  \"LineNo\" = :\"OLD_LineNo\""};
  EXPECT_EQ(update->GetSQLIndex(1)->ToVector(), modify);
  EXPECT_EQ(update->GetSQLIndex(2)->ToVector(), (Lines{"insert into \"OrderLines\"", "  (\"PartNo\", \"Qty\")",
                                                       "values", "  (:\"PartNo\", :\"Quantity\")"}));
  EXPECT_EQ(update->GetSQLIndex(0)->ToVector(),
            (Lines{"select \"PartNo\", \"Qty\" as \"Quantity\"\r\nfrom \"OrderLines\"", "where",
                   "  \"OrderNo\" = :\"OLD_OrderNo\" and", "  \"LineNo\" = :\"OLD_LineNo\""}));
  for (int kind = 0; kind < 4; ++kind) EXPECT_EQ(ServerRejects(update->GetSQLIndex(kind)->ToVector()), "") << kind;
  EXPECT_EQ(NewModifiedCalls(), 1);

  // The name typed without quotes: the table's columns and keys still come back, and only a
  // name that matches in neither spelling gets the message.
  EditUpdateSQL(update, [&](TGestureDriver& d) {
    auto* f = Dialog(d);
    d.Type("cbTableName", "OrderLines");
    d.Click("btGetTableFields");
    d.Click("btSelectPrimKeys");
    EXPECT_EQ(SelectedItems(f->lbKeyFields), (Lines{"OrderNo", "LineNo"}));
    UI.QueueAnswer(vcl::mrOk, fmt::format(fmt::runtime(korv::SSQLDataSetOpen), "orderlines"));
    d.Type("cbTableName", "orderlines");
    d.Click("btGetTableFields");
    EXPECT_EQ(Items(f->lbKeyFields), (Lines{"OrderNo", "LineNo", "PartNo", "Qty"}));
    d.Click("btCancel");
  });
}

TEST_F(PostgresPackageTest, AnOwnerQualifiedTableKeepsItsOwnerInTheEditor) {
  BuildShop();
  const String table = Quoted(Sales) + ".\"Archive\"";
  auto* update = UpdateObjectFor("select a.id, a.note as remark from " + table + " a");
  ASSERT_TRUE(rtl::As<korv::TKVQuery>(update->DataSet())->IsObjOwnerSupported());
  EditUpdateSQL(update, [&](TGestureDriver& d) {
    auto* f = Dialog(d);
    EXPECT_EQ(f->cbTableName->Text(), table);
    d.Click("btGetTableFields");
    EXPECT_EQ(Items(f->lbKeyFields), (Lines{"id", "note", "Region"}));
    d.Click("btSelectPrimKeys");  // no primary key: the unique index
    EXPECT_EQ(SelectedItems(f->lbKeyFields), Lines{"id"});
    d.Pick("lbUpdateFields", {"note"});
    d.Click("btGenerateSQL");
    d.Click("btOk");
  });
  EXPECT_EQ(update->GetSQLIndex(1)->ToVector(),
            (Lines{"update " + table, "set", "  note = :remark", "where", "  id = :OLD_id"}));
  EXPECT_EQ(update->GetSQLIndex(3)->ToVector(), (Lines{"delete from " + table, "where", "  id = :OLD_id"}));
  for (int kind = 0; kind < 4; ++kind) EXPECT_EQ(ServerRejects(update->GetSQLIndex(kind)->ToVector()), "") << kind;
}

TEST_F(PostgresPackageTest, NameListEditorsOfferTheServersNames) {
  BuildShop();
  Sql("CREATE FUNCTION add_tax(amount numeric, rate numeric DEFAULT 0.2) RETURNS numeric "
      "LANGUAGE sql AS 'SELECT amount * (1 + rate)'");
  Sql("CREATE PROCEDURE bump(INOUT counter int, step int) LANGUAGE sql AS 'SELECT counter + step'");
  Sql("CREATE FUNCTION twice(int) RETURNS int LANGUAGE sql AS 'SELECT $1 * 2'");
  Sql("CREATE FUNCTION twice(text) RETURNS text LANGUAGE sql AS 'SELECT $1 || $1'");

  auto* table = CreateDataSet<korv::TKVTable>("Table1");
  table->SetDatabaseName("PG");
  Inspect(table);
  const Lines values = RawValues("TableName");
  EXPECT_THAT(Mine(values), ElementsAre("\"OrderLines\"", "customer", "open_lines", Quoted(Sales) + ".\"Archive\""));
  EXPECT_EQ(std::count(values.begin(), values.end(), "pg_class"), 0);
  EXPECT_FALSE(Inspector.Editor("TableName")->AutoFill()) << "not connected";
  Pg->Open();
  EXPECT_TRUE(Inspector.Editor("TableName")->AutoFill());
  EXPECT_EQ(Inspector.Complete("TableName", "cus"), "customer");
  // A listed name opens the table as it is.
  Inspector.SetValue("TableName", "\"OrderLines\"");
  table->Open();
  EXPECT_EQ(table->FieldCount(), 4);
  table->Close();
  Pg->Close();

  auto* proc = CreateDataSet<korv::TKVStoredProc>("StoredProc1");
  proc->SetDatabaseName("PG");
  Inspect(proc);
  EXPECT_THAT(Mine(RawValues("StoredProcName")), ElementsAre("add_tax", "bump", "twice(integer)", "twice(text)"));

  auto* query = CreateDataSet<korv::TKVQuery>("Query1");
  EXPECT_EQ(Inspect(query).GetValues("DatabaseName"), (Lines{"PG", "PGSETUP", "SHOP"}));

  // Connecting through the inspector records the server's address in the history.
  Inspect(Pg).SetValue("Connected", "True");
  EXPECT_TRUE(Pg->Connected());
  EXPECT_EQ(Inspector.GetValues("RemoteDatabase"), Lines{Address()});
}

TEST_F(PostgresPackageTest, BindVerbShowsTheParametersTheServerDescribes) {
  Sql("CREATE FUNCTION add_tax(amount numeric, rate numeric DEFAULT 0.2) RETURNS numeric "
      "LANGUAGE sql AS 'SELECT amount * (1 + rate)'");
  Sql("CREATE FUNCTION split_name(full_name text, OUT first text, OUT last text) "
      "LANGUAGE sql AS 'SELECT full_name, full_name'");
  Sql("CREATE PROCEDURE bump(INOUT counter int, step int) LANGUAGE sql AS 'SELECT counter + step'");
  auto* proc = CreateDataSet<korv::TKVStoredProc>("StoredProc1");
  proc->SetDatabaseName("PG");
  auto editor = EditorFor(proc);
  NewModifiedCalls();
  auto params = [&] {
    Lines out;
    for (int i = 0; i < proc->Params()->Count(); ++i) {
      const rtl::TParam* p = proc->Params()->Items(i);
      out.push_back(
          fmt::format("{} {} {}", p->Name(), static_cast<int>(p->ParamType()), static_cast<int>(p->DataType())));
    }
    return out;
  };
  const int in = static_cast<int>(TParamType::ptInput), out = static_cast<int>(TParamType::ptOutput);
  const int inOut = static_cast<int>(TParamType::ptInputOutput), result = static_cast<int>(TParamType::ptResult);
  const int bcd = static_cast<int>(rtl::TFieldType::ftBCD), str = static_cast<int>(rtl::TFieldType::ftString),
            integer = static_cast<int>(rtl::TFieldType::ftInteger);

  // Not connected: described for the verb, left unprepared, and open to adding and deleting.
  struct TCase {
    const char* Name;
    Lines Params;
  };
  for (const TCase& c :
       {TCase{"add_tax",
              {fmt::format("Result {} {}", result, bcd), fmt::format("amount {} {}", in, bcd),
               fmt::format("rate {} {}", in, bcd)}},
        TCase{"split_name",
              {fmt::format("full_name {} {}", in, str), fmt::format("first {} {}", out, str),
               fmt::format("last {} {}", out, str)}},
        TCase{"BUMP", {fmt::format("counter {} {}", inOut, integer), fmt::format("step {} {}", in, integer)}}}) {
    SCOPED_TRACE(c.Name);
    Dialogs.Calls.clear();
    proc->SetStoredProcName(c.Name);
    editor->ExecuteVerb(3);
    EXPECT_EQ(params(), c.Params);
    ASSERT_EQ(Dialogs.Calls.size(), 1u);
    EXPECT_EQ(Dialogs.Calls[0].Collection, proc->Params());
    EXPECT_EQ(Dialogs.Calls[0].Options, (TColOptions{TColOption::coAdd, TColOption::coDelete}));
    EXPECT_FALSE(proc->Prepared());
    EXPECT_FALSE(Pg->Connected());
  }

  // Connected: the server's description is the list, fixed.
  Dialogs.Calls.clear();
  Pg->Open();
  editor->ExecuteVerb(3);
  ASSERT_EQ(Dialogs.Calls.size(), 1u);
  EXPECT_EQ(Dialogs.Calls[0].Options, TColOptions{});
  EXPECT_EQ(NewModifiedCalls(), 0);

  // A name the server does not know is its error, naming the procedure.
  proc->SetStoredProcName("no_such_proc");
  try {
    editor->ExecuteVerb(3);
    ADD_FAILURE() << "an unknown procedure described";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("\"no_such_proc\" not found"));
  }
}

TEST_F(PostgresPackageTest, ConnectionFailuresSayWhichDatabaseAndWhy) {
  BuildShop();
  auto tableNamesError = [&] {
    rtl::TStringList list;
    try {
      korv::Session->GetTableNames("PG", "", false, &list);
    } catch (const rtl::EDatabaseError& e) {
      return e.Message();
    }
    return String("(listed)");
  };
  struct TCase {
    const char* What;
    std::function<void()> Break;
    const char* Reason;
  };
  const TCase cases[] = {
      {"wrong port", [&] { Pg->SetRemoteDatabase(Address("1")); }, "port 1 failed"},
      {"wrong password", [&] { Pg->Params()->SetText(ConnectionParams("wrong")); }, "password authentication failed"},
      {"missing database", [&] { Pg->SetRemoteDatabase(Address({}, "no_such_db")); },
       "database \"no_such_db\" does not exist"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    Pg->SetRemoteDatabase(Address());
    Pg->Params()->SetText(ConnectionParams(Password));
    c.Break();
    const String error = tableNamesError();
    EXPECT_THAT(error, HasSubstr("Cannot connect to database 'PG'"));
    EXPECT_THAT(error, HasSubstr(c.Reason));

    // Through the inspector: the error reaches the developer and nothing enters the history.
    EXPECT_THROW(Inspect(Pg).SetValue("Connected", "True"), rtl::EDatabaseError);
    EXPECT_FALSE(Pg->Connected());
    EXPECT_THAT(DesignSettings->RecentDatabases()->ToVector(), IsEmpty());
  }

  // Through the UpdateSQL editor: Get Table Fields passes the error on and keeps the lists.
  auto* update = UpdateObjectFor("select cust_no, name from customer");
  EditUpdateSQL(update, [&](TGestureDriver& d) {
    auto* f = Dialog(d);
    EXPECT_THROW(d.Click("btGetTableFields"), rtl::EDatabaseError);
    EXPECT_EQ(Items(f->lbKeyFields), (Lines{"cust_no", "name"}));
    d.Click("btCancel");
  });

  // No password in the parameters: the login dialog asks for it, and with it the database opens.
  Pg->SetRemoteDatabase(Address());
  Pg->Params()->SetText("USER NAME=" + User + "\noptions=-c search_path=" + Schema);
  Pg->SetLoginPrompt(true);
  UI.QueueForm("TKVLoginDlg", [&](TGestureDriver& d) {
    d.Type("edPassword", Password);
    d.Click("btOk");
  });
  rtl::TStringList list;
  korv::Session->GetTableNames("PG", "cust%", false, &list);
  EXPECT_THAT(Mine(list.ToVector()), ElementsAre("customer"));
  EXPECT_TRUE(UI.AllConsumed());
}

TEST_F(PostgresPackageTest, HostileNamesPassThroughTheEditorsAsNames) {
  Sql("CREATE TABLE sentinel (id int)");
  // Get Table Fields takes quotes and apostrophes off the name first: a name that still reads as
  // one (a doubled quote left single) finds its table; the others get the message. Column names
  // carry no dot: the statements would take the part before it for a table.
  struct TCase {
    String Table;
    String AfterQuoteRemoval;  // empty: Get Table Fields finds the table
    String Column;             // the stem of the column names
  };
  const std::vector<TCase> cases{
      {"x\"; drop table sentinel; --", "x\"; drop table sentinel; --", "x\"; drop table sentinel; --"},
      {"it's", "its", "it's"},
      {"a.b", "a.b", "a,b"},
      {"with blank", "with blank", "with blank"},
      {"Ünïcødé", "", "Ünïcødé"},
      {"MiXed\"Quote", "", "MiXed\"Quote"},
  };
  for (const TCase& c : cases)
    Sql(fmt::format("CREATE TABLE {} ({} int PRIMARY KEY, {} text)", Quoted(c.Table), Quoted(c.Column + "_id"),
                    Quoted(c.Column + "_note")));

  auto* table = CreateDataSet<korv::TKVTable>("Table1");
  table->SetDatabaseName("PG");
  Lines listed = Mine(Inspect(table).GetValues("TableName"));
  listed.erase(std::remove(listed.begin(), listed.end(), "sentinel"), listed.end());
  ASSERT_EQ(listed.size(), cases.size());

  Pg->Open();  // so that the query's "*" is read from the catalogue
  int number = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Table);
    const String name = Quoted(c.Table);
    ASSERT_NE(std::find(listed.begin(), listed.end(), name), listed.end());
    auto* update = UpdateObjectFor("select * from " + name, ++number);
    const Lines columns{c.Column + "_id", c.Column + "_note"};
    EditUpdateSQL(update, [&](TGestureDriver& d) {
      auto* f = Dialog(d);
      EXPECT_EQ(f->cbTableName->Text(), name);
      EXPECT_EQ(Items(f->lbKeyFields), columns);
      if (!c.AfterQuoteRemoval.empty())
        UI.QueueAnswer(vcl::mrOk, fmt::format(fmt::runtime(korv::SSQLDataSetOpen), c.AfterQuoteRemoval));
      d.Click("btGetTableFields");
      EXPECT_EQ(Items(f->lbKeyFields), columns);
      d.Click("btSelectPrimKeys");
      EXPECT_EQ(SelectedItems(f->lbKeyFields), Lines{columns[0]});
      d.Pick("lbUpdateFields", {columns[1]});
      d.Check("cbQuotedFields", true);
      d.Click("btGenerateSQL");
      d.Click("btOk");
    });
    EXPECT_EQ(update->GetSQLIndex(1)->ToVector(),
              (Lines{"update " + name, "set", fmt::format("  {} = :{}", Quoted(columns[1]), Quoted(columns[1])),
                     "where", fmt::format("  {} = :{}", Quoted(columns[0]), Quoted("OLD_" + columns[0]))}));
    for (int kind = 0; kind < 4; ++kind) EXPECT_EQ(ServerRejects(update->GetSQLIndex(kind)->ToVector()), "") << kind;
  }
  Pg->Close();
  rtl::TStringList fields;
  korv::Session->GetFieldNames("PG", "sentinel", &fields);
  EXPECT_THAT(fields.ToVector(), ElementsAre("id"));  // nothing that came with a name was run
}
