// The UpdateSQL editor as a developer uses it: opened by EditUpdateSQL on update objects bound to
// real queries over a SQLite database built in a temporary folder, driven through the scripted
// user interface.
#include "KVUpdSEd.h"

#include "TempFolder.h"

#include "korv/KVBoundStatement.h"
#include "korv/KVConsts.h"
#include "korv/KVDatabase.h"
#include "korv/KVQuery.h"
#include "korv/KVUpdateSQL.h"
#include "vcl/Gestures.h"
#include "vcl/HeadlessUI.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <fstream>

using namespace dclkorv;
using namespace vcl;
using korv::TKVUpdateSQL;
using rtl::String;

namespace {

using Lines = std::vector<String>;

// CUSTOMER: a rowid primary key. ORDERS: a composite primary key and a unique index. ITEMS: no
// primary key, two unique indexes (the catalogue lists ITEMS_A_EAN first). The odd table has a
// quote in its name, a column of blanks and a long column name.
constexpr const char* kSchema = R"(
  CREATE TABLE CUSTOMER (ID INTEGER PRIMARY KEY, NAME TEXT NOT NULL, TEL TEXT);
  CREATE TABLE ORDERS (CUST_ID INTEGER, BRANCH_ID INTEGER, CODE TEXT, AMOUNT REAL,
    PRIMARY KEY (CUST_ID, BRANCH_ID));
  CREATE UNIQUE INDEX ORDERS_CODE ON ORDERS (CODE);
  CREATE TABLE ITEMS (SKU TEXT, EAN TEXT, LABEL TEXT);
  CREATE UNIQUE INDEX ITEMS_B_SKU ON ITEMS (SKU);
  CREATE UNIQUE INDEX ITEMS_A_EAN ON ITEMS (EAN, LABEL);
  CREATE TABLE "Odd ""Name""" (id INTEGER PRIMARY KEY, "   " TEXT, "a much longer column name" TEXT);
)";

Lines Items(const TListBox* lb) { return lb->Items()->ToVector(); }

Lines SelectedItems(const TListBox* lb) {
  Lines out;
  for (int i = 0; i < lb->Items()->Count(); ++i)
    if (lb->Selected(i)) out.push_back(lb->Items()->Get(i));
  return out;
}

// A query that notes the screen cursor whenever its statement text is read.
class TCursorProbeQuery : public korv::TKVQuery {
  RTL_CLASS(TCursorProbeQuery, korv::TKVQuery)
  using TKVQuery::TKVQuery;
  mutable std::vector<TCursor> Seen;

protected:
  String ExpandedSQL() const override {
    Seen.push_back(Screen->Cursor());
    return TKVQuery::ExpandedSQL();
  }
};

rtl::TClass TCursorProbeQuery::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TCursorProbeQuery>("TCursorProbeQuery").Build();
  return info;
}

TKVUpdateSQLEditForm* Dialog(TGestureDriver& d) { return rtl::As<TKVUpdateSQLEditForm>(d.Form()); }

class UpdateSQLEditorTest : public ::testing::Test {
protected:
  UpdateSQLEditorTest() {
    std::ofstream(Temp.File("shop.db"));  // an empty file is an empty database
    korv::TKVDatabase setup(nullptr);
    setup.SetDatabaseName("SETUP");
    setup.SetServerType(korv::TKVServerType::stSQLite);
    setup.SetRemoteDatabase(Temp.File("shop.db"));
    setup.Execute(kSchema);
  }

  // The module: database SHOP, Query1 and UpdateSQL1 bound to it (Query1 on SQL, when given).
  void Build(std::unique_ptr<rtl::TComponent> Root, const String& SQL, const String& DatabaseName = "SHOP") {
    Module = std::move(Root);
    auto* db = new korv::TKVDatabase(Module.get());
    db->SetName("Database1");
    db->SetDatabaseName("SHOP");
    db->SetServerType(korv::TKVServerType::stSQLite);
    db->SetBaseDir(Temp.Path().string());
    db->SetRemoteDatabase("shop.db");
    Update = new TKVUpdateSQL(Module.get());
    Update->SetName("UpdateSQL1");
    if (SQL.empty()) return;
    Query = new korv::TKVQuery(Module.get());
    Query->SetName("Query1");
    Query->SetDatabaseName(DatabaseName);
    Query->SQL()->SetText(SQL);
    Update->SetDataSet(Query);
  }
  void BuildOnDataModule(const String& SQL, const String& DatabaseName = "SHOP") {
    auto dm = std::make_unique<rtl::TDataModule>(nullptr);
    dm->SetName("DataModule1");
    Build(std::move(dm), SQL, DatabaseName);
  }

  // Opens the editor with Script as the developer's gestures.
  bool Edit(TScriptedUserInterface::TGestureScript Script) {
    UI.QueueForm("TKVUpdateSQLEditForm", std::move(Script));
    bool result = EditUpdateSQL(Update);
    EXPECT_TRUE(UI.AllConsumed());
    return result;
  }

  // The object's four statements, one line each ("" for none).
  void SetStatements(const Lines& Texts) {
    for (int i = 0; i < 4; ++i) Update->GetSQLIndex(i)->SetText(Texts[static_cast<size_t>(i)]);
  }
  Lines Statement(int Index) const { return Update->GetSQLIndex(Index)->ToVector(); }

  TScriptedUserInterface UI;
  TUserInterfaceScope Scope{&UI};
  TTempFolder Temp;
  std::unique_ptr<rtl::TComponent> Module;
  TKVUpdateSQL* Update = nullptr;
  korv::TKVQuery* Query = nullptr;
};

}  // namespace

// ------------------------------------------------------------------ opening

// What the gestures of the other tests do not show: the frame, the focus order, the scroll bars.
TEST(UpdateSQLEditorForm, DescriptionGivesTheDialogsLayout) {
  auto f = CreateForm<TKVUpdateSQLEditForm>(Application);
  EXPECT_EQ(f->Name(), "KVUpdateSQLEditForm");
  EXPECT_EQ(f->Caption(), "UpdateSQL Editor");
  EXPECT_EQ(std::make_pair(f->ClientWidth(), f->ClientHeight()), std::make_pair(475, 280));
  EXPECT_EQ(f->BorderStyle(), bsDialog);
  EXPECT_EQ(f->Position(), poScreenCenter);
  EXPECT_EQ(f->Font()->Name(), "MS Sans Serif");
  EXPECT_EQ(f->Font()->Height(), -11);
  EXPECT_EQ(f->ActiveControl(), f->cbTableName);
  EXPECT_EQ(f->meSQLText->ScrollBars(), ssBoth);
  EXPECT_EQ(f->gbxGenSQL->TabList(),
            (std::vector<TWinControl*>{f->cbTableName, f->btGetTableFields, f->btDataSetDefaults, f->btSelectPrimKeys,
                                       f->btGenerateSQL, f->lbKeyFields, f->lbUpdateFields, f->cbQuotedFields}));
  EXPECT_EQ(f->tsSQL->TabList(), (std::vector<TWinControl*>{f->meSQLText, f->rgrStatementType}));
}

TEST_F(UpdateSQLEditorTest, TheQueryIsReadUnderTheHourglass) {
  BuildOnDataModule("");
  auto* probe = new TCursorProbeQuery(Module.get());
  probe->SetDatabaseName("SHOP");
  probe->SQL()->SetText("select ID from CUSTOMER");
  Update->SetDataSet(probe);
  probe->Seen.clear();
  Edit([](TGestureDriver& d) {
    EXPECT_EQ(Screen->Cursor(), crDefault);
    d.Escape();
  });
  ASSERT_FALSE(probe->Seen.empty());
  EXPECT_EQ(probe->Seen, std::vector<TCursor>(probe->Seen.size(), crHourGlass));
}

TEST_F(UpdateSQLEditorTest, CaptionNamesTheOwnerFormOnlyAndTheDataSet) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetName("Form1");
  Build(std::move(form), "select ID from CUSTOMER");
  const int before = Application->ComponentCount();
  String caption;
  auto readCaption = [&](TGestureDriver& d) {
    caption = d.Form()->Caption();
    d.Escape();
  };
  EXPECT_FALSE(Edit(readCaption));
  EXPECT_EQ(caption, "Form1.UpdateSQL1 (Query1)");

  BuildOnDataModule("select ID from CUSTOMER");
  Edit(readCaption);
  EXPECT_EQ(caption, "UpdateSQL1 (Query1)");
  EXPECT_EQ(Application->ComponentCount(), before);  // the dialog is gone
}

TEST_F(UpdateSQLEditorTest, WithoutADataSetOnlyHandEditsAreOffered) {
  BuildOnDataModule("");
  SetStatements({"select 1", "update T set A = 1", "", ""});
  EXPECT_TRUE(Edit([](TGestureDriver& d) {
    auto* f = Dialog(d);
    EXPECT_EQ(f->Caption(), String("UpdateSQL1 (") + korv::SNoDataSet + ")");
    EXPECT_FALSE(f->btGetTableFields->Enabled() || f->btSelectPrimKeys->Enabled() || f->btGenerateSQL->Enabled());
    d.Type("cbTableName", "CUSTOMER");  // a name alone does not make a data set
    EXPECT_FALSE(f->btGenerateSQL->Enabled());
    EXPECT_TRUE(Items(f->lbKeyFields).empty());
    d.Page("pcUpdateSQL", "SQL");
    EXPECT_EQ(f->meSQLText->Lines()->ToVector(), Lines{"select 1"});
    d.Type("meSQLText", "select 2");
    d.Click("btOk");
  }));
  EXPECT_EQ(Statement(0), Lines{"select 2"});
  EXPECT_EQ(Statement(1), Lines{"update T set A = 1"});

  // Only reachable from code: the button is disabled in this state.
  auto form = CreateForm<TKVUpdateSQLEditForm>(Application);
  form->SetUpdateSQL(Update);
  form->InitProperties();
  try {
    form->GetTableFieldsClick(nullptr);
    ADD_FAILURE() << "no assertion";
  } catch (const rtl::EAssertionFailed& e) {
    EXPECT_NE(e.Message().find("Assertion failure"), String::npos);
    EXPECT_NE(e.Message().find("src\\KVUpdSEd"), String::npos);
    EXPECT_NE(e.Message().find("542"), String::npos);
  }
}

TEST_F(UpdateSQLEditorTest, AQueryOfSeveralTablesOffersThemInOrderWithItsFieldsSelected) {
  BuildOnDataModule("select c.ID, c.NAME, o.CODE as ORDER_CODE\nfrom CUSTOMER c join ORDERS o on o.CUST_ID = c.ID");
  EXPECT_FALSE(Edit([](TGestureDriver& d) {
    auto* f = Dialog(d);
    EXPECT_EQ(f->cbTableName->Items()->ToVector(), (Lines{"CUSTOMER", "ORDERS"}));
    EXPECT_EQ(f->cbTableName->Text(), "CUSTOMER");
    EXPECT_EQ(SelectedItems(f->lbKeyFields), (Lines{"ID", "NAME", "ORDER_CODE"}));
    EXPECT_EQ(SelectedItems(f->lbUpdateFields), (Lines{"ID", "NAME", "ORDER_CODE"}));
    EXPECT_FALSE(f->btDataSetDefaults->Enabled());
    EXPECT_TRUE(f->btGetTableFields->Enabled() && f->btSelectPrimKeys->Enabled() && f->btGenerateSQL->Enabled());
    EXPECT_EQ(f->pcUpdateSQL->ActivePage(), f->tsOptions);
    EXPECT_EQ(f->rgrStatementType->ItemIndex(), 0);
    EXPECT_FALSE(f->cbQuotedFields->Checked());
    EXPECT_EQ(f->FindFieldAlias("ORDERS", "CODE"), "ORDER_CODE");
    EXPECT_EQ(f->FindFieldAlias("orders", "CODE"), "CODE");

    d.Type("cbTableName", " \t");
    EXPECT_FALSE(f->btGetTableFields->Enabled() || f->btSelectPrimKeys->Enabled() || f->btGenerateSQL->Enabled());
    d.Choose("cbTableName", "ORDERS");
    EXPECT_TRUE(f->btGenerateSQL->Enabled());
    EXPECT_EQ(Items(f->lbKeyFields).size(), 3u);  // a new table name loads nothing
    d.Click("btCancel");
  }));
}

// ------------------------------------------------------------------ statements and closing

TEST_F(UpdateSQLEditorTest, TypedTextLandsInTheBufferOfTheTypeShownWhileTyping) {
  BuildOnDataModule("select ID, NAME from CUSTOMER");
  SetStatements({"select R", "update M", "insert I", "delete D"});
  EXPECT_TRUE(Edit([](TGestureDriver& d) {
    auto* f = Dialog(d);
    d.Page("pcUpdateSQL", "SQL");
    EXPECT_EQ(f->meSQLText->Lines()->ToVector(), Lines{"select R"});
    d.Choose("rgrStatementType", "Modify");
    d.Type("meSQLText", "update CUSTOMER\nset NAME = :NAME");
    d.Choose("rgrStatementType", "Insert");
    EXPECT_EQ(f->meSQLText->Lines()->ToVector(), Lines{"insert I"});
    d.Type("meSQLText", "insert typed");
    d.Click("btOk");  // the focus leaves the text first
  }));
  EXPECT_EQ(Statement(0), Lines{"select R"});
  EXPECT_EQ(Statement(1), (Lines{"update CUSTOMER", "set NAME = :NAME"}));
  EXPECT_EQ(Statement(2), Lines{"insert typed"});
  EXPECT_EQ(Statement(3), Lines{"delete D"});
}

TEST_F(UpdateSQLEditorTest, GeneratingShowsTheSelectedTypeAndCancelKeepsTheObject) {
  BuildOnDataModule("select ID, NAME, TEL from CUSTOMER");
  SetStatements({"select R", "update M", "insert I", "delete D"});
  EXPECT_FALSE(Edit([](TGestureDriver& d) {
    auto* f = Dialog(d);
    d.Page("pcUpdateSQL", "SQL");
    d.Choose("rgrStatementType", "Modify");
    d.Type("meSQLText", "hand edit");
    d.Choose("rgrStatementType", "Delete");
    d.Page("pcUpdateSQL", "Options");
    d.Pick("lbKeyFields", {"ID"});
    d.Check("cbQuotedFields", true);
    d.Click("btGenerateSQL");
    EXPECT_EQ(f->pcUpdateSQL->ActivePage(), f->tsOptions);
    EXPECT_EQ(f->meSQLText->Lines()->ToVector(),
              (Lines{"delete from \"CUSTOMER\"", "where", "  \"ID\" = :\"OLD_ID\""}));
    EXPECT_EQ(f->SQLBuffer(1)->Get(0), "update \"CUSTOMER\"");  // the hand edit is replaced
    EXPECT_EQ(f->SQLBuffer(2)->Count(), 4);
    EXPECT_EQ(f->SQLBuffer(0)->Count(), 3);
    d.Click("btCancel");
  }));
  EXPECT_EQ(Statement(0), Lines{"select R"});
  EXPECT_EQ(Statement(1), Lines{"update M"});
  EXPECT_EQ(Statement(2), Lines{"insert I"});
  EXPECT_EQ(Statement(3), Lines{"delete D"});
}

TEST_F(UpdateSQLEditorTest, GeneratingNeedsAKeyAndAnUpdateField) {
  BuildOnDataModule("select ID, NAME from CUSTOMER");
  SetStatements({"", "update M", "", ""});
  Edit([this](TGestureDriver& d) {
    auto* f = Dialog(d);
    d.Menu("lbKeyFields", "Clear All");
    EXPECT_TRUE(SelectedItems(f->lbKeyFields).empty());
    EXPECT_EQ(SelectedItems(f->lbUpdateFields).size(), 2u);
    UI.QueueAnswer(mrOk, korv::SSQLGenSelect);
    d.Click("btGenerateSQL");
    d.Menu("lbKeyFields", "Select All");
    d.Menu("lbUpdateFields", "Clear All");
    UI.QueueAnswer(mrOk, korv::SSQLGenSelect);
    d.Click("btGenerateSQL");
    EXPECT_EQ(f->SQLBuffer(1)->ToVector(), Lines{"update M"});
    EXPECT_EQ(f->SQLBuffer(0)->Count(), 0);
    d.Escape();
  });
  EXPECT_EQ(UI.Messages().size(), 2u);
}

TEST_F(UpdateSQLEditorTest, OkWithABlankModifyStatementAsks) {
  BuildOnDataModule("select ID from CUSTOMER");
  SetStatements({"select R", "", "", ""});
  EXPECT_TRUE(Edit([this](TGestureDriver& d) {
    d.Page("pcUpdateSQL", "SQL");
    d.Choose("rgrStatementType", "Modify");
    d.Type("meSQLText", "  \n\t");  // blank lines count as empty
    UI.QueueAnswer(mrNo, korv::SSQLNotGenerated);
    d.Click("btOk");
    EXPECT_FALSE(d.Closed());
    UI.QueueAnswer(mrCancel, korv::SSQLNotGenerated);
    d.Click("btOk");
    EXPECT_FALSE(d.Closed());
    UI.QueueAnswer(mrYes, korv::SSQLNotGenerated);
    d.Click("btOk");
  }));
  EXPECT_EQ(UI.Messages().size(), 3u);
  EXPECT_EQ(Statement(0), Lines{"select R"});
  EXPECT_EQ(Statement(1), (Lines{"  ", "\t"}));
  EXPECT_TRUE(Statement(2).empty() && Statement(3).empty());
}

TEST_F(UpdateSQLEditorTest, ASecondOpeningStartsFromTheSavedStatementsAndTheDefaults) {
  BuildOnDataModule("select ID, NAME from CUSTOMER");
  EXPECT_TRUE(Edit([](TGestureDriver& d) {
    d.Pick("lbKeyFields", {"ID"});
    d.Pick("lbUpdateFields", {"NAME"});
    d.Check("cbQuotedFields", true);
    d.Click("btGenerateSQL");
    d.Page("pcUpdateSQL", "SQL");
    d.Choose("rgrStatementType", "Insert");
    d.Click("btOk");
  }));
  const Lines modify{"update \"CUSTOMER\"", "set", "  \"NAME\" = :\"NAME\"", "where", "  \"ID\" = :\"OLD_ID\""};
  EXPECT_EQ(Statement(1), modify);
  EXPECT_EQ(Statement(0), (Lines{"select \"NAME\"\r\nfrom \"CUSTOMER\"", "where", "  \"ID\" = :\"OLD_ID\""}));

  EXPECT_FALSE(Edit([&](TGestureDriver& d) {
    auto* f = Dialog(d);
    EXPECT_FALSE(f->cbQuotedFields->Checked());
    EXPECT_EQ(f->rgrStatementType->ItemIndex(), 0);
    EXPECT_EQ(f->pcUpdateSQL->ActivePage(), f->tsOptions);
    EXPECT_EQ(SelectedItems(f->lbKeyFields), (Lines{"ID", "NAME"}));
    EXPECT_EQ(f->SQLBuffer(1)->ToVector(), modify);
    EXPECT_EQ(f->meSQLText->Lines()->ToVector(),
              (Lines{"select \"NAME\"", "from \"CUSTOMER\"", "where", "  \"ID\" = :\"OLD_ID\""}));
    d.Escape();
  }));
}

// ------------------------------------------------------------------ table fields and keys

TEST_F(UpdateSQLEditorTest, TableFieldsAndCompositeKeyWithAliases) {
  BuildOnDataModule("select cust_id, branch_id, CODE as ORDER_CODE, AMOUNT from ORDERS");
  EXPECT_TRUE(Edit([](TGestureDriver& d) {
    auto* f = Dialog(d);
    d.Pick("lbUpdateFields", {"AMOUNT"});
    d.Click("btSelectPrimKeys");  // key items spelled in lower case are found
    EXPECT_EQ(SelectedItems(f->lbKeyFields), (Lines{"cust_id", "branch_id"}));
    EXPECT_EQ(SelectedItems(f->lbUpdateFields), Lines{"AMOUNT"});

    d.Click("btGetTableFields");
    EXPECT_EQ(Items(f->lbKeyFields), (Lines{"CUST_ID", "BRANCH_ID", "CODE", "AMOUNT"}));
    EXPECT_EQ(SelectedItems(f->lbUpdateFields), Items(f->lbUpdateFields));
    EXPECT_TRUE(f->btDataSetDefaults->Enabled());
    d.Click("btSelectPrimKeys");
    d.Pick("lbUpdateFields", {"CODE"});
    d.Click("btGenerateSQL");
    d.Click("btOk");
  }));
  EXPECT_EQ(Statement(1), (Lines{"update ORDERS", "set", "  CODE = :ORDER_CODE", "where",
                                 "  CUST_ID = :OLD_CUST_ID and", "  BRANCH_ID = :OLD_BRANCH_ID"}));
}

TEST_F(UpdateSQLEditorTest, FirstUniqueIndexWithoutPrimaryKeyAndRowidKey) {
  BuildOnDataModule("select SKU, EAN, LABEL from ITEMS");
  Edit([](TGestureDriver& d) {
    auto* f = Dialog(d);
    d.Click("btSelectPrimKeys");
    EXPECT_EQ(SelectedItems(f->lbKeyFields), (Lines{"EAN", "LABEL"}));
    d.Type("cbTableName", "CUSTOMER");
    d.Click("btSelectPrimKeys");  // ID is not in the list: nothing is selected
    EXPECT_TRUE(SelectedItems(f->lbKeyFields).empty());
    d.Click("btGetTableFields");
    d.Click("btSelectPrimKeys");
    EXPECT_EQ(SelectedItems(f->lbKeyFields), Lines{"ID"});
    EXPECT_EQ(SelectedItems(f->lbUpdateFields), (Lines{"ID", "NAME", "TEL"}));
    d.Escape();
  });
}

TEST_F(UpdateSQLEditorTest, QuotedTableNameBlankColumnAndHorizontalExtent) {
  BuildOnDataModule("select ID from CUSTOMER");
  Edit([](TGestureDriver& d) {
    auto* f = Dialog(d);
    // Quotes go, and of a doubled quote one stays: the table is Odd "Name".
    d.Type("cbTableName", "\"Odd \"\"Name\"\"\"");
    d.Click("btGetTableFields");
    EXPECT_EQ(Items(f->lbKeyFields), (Lines{"id", "", "a much longer column name"}));
    EXPECT_EQ(Items(f->lbUpdateFields), Items(f->lbKeyFields));
    const int width = THeadlessUserInterface::CharWidth(*f->lbKeyFields->Font());
    EXPECT_EQ(f->lbKeyFields->HorizontalExtent(), 26 * width);
    EXPECT_EQ(f->lbUpdateFields->HorizontalExtent(), 26 * width);
    d.Click("btSelectPrimKeys");  // asked with the quotes as typed
    EXPECT_EQ(SelectedItems(f->lbKeyFields), Lines{"id"});

    d.Click("btDataSetDefaults");
    EXPECT_EQ(Items(f->lbKeyFields), Lines{"ID"});
    EXPECT_FALSE(f->btDataSetDefaults->Enabled());
    d.Escape();
  });
}

TEST_F(UpdateSQLEditorTest, AMissingTableKeepsTheListsAllSelected) {
  BuildOnDataModule("select ID, NAME from CUSTOMER");
  Edit([this](TGestureDriver& d) {
    auto* f = Dialog(d);
    d.Menu("lbKeyFields", "Clear All");
    d.Type("cbTableName", "'NOPE'");
    UI.QueueAnswer(mrOk, fmt::format(fmt::runtime(korv::SSQLDataSetOpen), "NOPE"));
    d.Click("btGetTableFields");
    EXPECT_EQ(SelectedItems(f->lbKeyFields), (Lines{"ID", "NAME"}));
    EXPECT_TRUE(f->btDataSetDefaults->Enabled());
    d.Click("btSelectPrimKeys");  // no index rows either: every key item is deselected
    EXPECT_TRUE(SelectedItems(f->lbKeyFields).empty());
    d.Escape();
  });
  EXPECT_EQ(UI.Messages().size(), 1u);
}

TEST_F(UpdateSQLEditorTest, ADatabaseTheSessionDoesNotKnowChangesNothing) {
  BuildOnDataModule("select ID, NAME from CUSTOMER", "NOWHERE");
  Edit([](TGestureDriver& d) {
    auto* f = Dialog(d);
    d.Pick("lbKeyFields", {"NAME"});
    d.Click("btSelectPrimKeys");
    EXPECT_EQ(SelectedItems(f->lbKeyFields), Lines{"NAME"});
    d.Escape();
  });
  // Asking it for the table's fields is the library's error, passed on with the dialog gone.
  const int before = Application->ComponentCount();
  UI.QueueForm("TKVUpdateSQLEditForm", [](TGestureDriver& d) { d.Click("btGetTableFields"); });
  EXPECT_THROW(EditUpdateSQL(Update), rtl::EDatabaseError);
  EXPECT_EQ(Application->ComponentCount(), before);
}

// Tables and columns named with double quotes, semicolons, comment marks, a line break, letters
// beyond ASCII and 10,000 characters: the editor reads them, generates quoted statements the
// server prepares, and nothing else in the database is touched. (An apostrophe in a table name
// is taken off the typed name by Get Table Fields, as the editor does with every quote mark.)
TEST_F(UpdateSQLEditorTest, HostileNamesGiveStatementsTheServerPrepares) {
  auto quote = [](const String& Name) {
    String q = "\"";
    for (char c : Name) q += c == '"' ? String("\"\"") : String(1, c);
    return q + "\"";
  };
  const std::vector<String> tables = {
      "x\"; drop table CUSTOMER; --", "a /* b", "line\nbreak", "naïve Ωmega", "-- here", String(10000, 'T')};
  korv::TKVDatabase setup(nullptr);
  setup.SetDatabaseName("HOSTILE");
  setup.SetServerType(korv::TKVServerType::stSQLite);
  setup.SetRemoteDatabase(Temp.File("shop.db"));
  for (const String& t : tables)
    setup.Execute("create table " + quote(t) + " (" + quote(t + " key") + " integer primary key, " +
                  quote("v; drop table ORDERS --") + " text, " + quote(String(10000, 'c')) + " text)");

  for (const String& table : tables) {
    SCOPED_TRACE(table.substr(0, 40));
    BuildOnDataModule("select * from " + quote(table));
    ASSERT_TRUE(Edit([&](TGestureDriver& d) {
      d.Type("cbTableName", quote(table));
      d.Click("btGetTableFields");
      EXPECT_EQ(Items(Dialog(d)->lbKeyFields), (Lines{table + " key", "v; drop table ORDERS --", String(10000, 'c')}));
      d.Pick("lbKeyFields", {table + " key"});
      d.Check("cbQuotedFields", true);
      d.Click("btGenerateSQL");
      d.Click("btOk");
    }));
    for (int i = 0; i < 4; ++i) {
      const String sql = Update->GetSQLIndex(i)->Text();
      EXPECT_NO_THROW(korv::TKVBoundStatement(setup, sql)) << sql.substr(0, 200);
    }
    EXPECT_NE(Update->ModifySQL()->Text().find(quote(table + " key")), String::npos);
  }
  setup.Execute("select count(*) from CUSTOMER");
  setup.Execute("select count(*) from ORDERS");
}
