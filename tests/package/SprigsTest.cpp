// The package's object-tree nodes, through the designer's tree builder on modules read from
// form-file text: placement, captions, problem marks, drag and drop and palette drops.
#include "KVDataSetSprigs.h"
#include "KVReg.h"
#include "KVSessionSprigs.h"

#include "designer/ObjectTree.h"
#include "designer/OpenModule.h"
#include "designintf/Registry.h"
#include "korv/Korv.h"
#include "rtl/FormReader.h"

#include <gtest/gtest.h>

using namespace dclkorv;
using designintf::TSprig;
using korv::TKVDatabase;
using korv::TKVDataSet;
using rtl::String;

namespace {

// Sessions: Reports, Archive and an unnamed one. Databases: two of the default session (one
// naming it in capitals), one of Reports (in lower case), one of a session with no component, one
// unnamed. Data sets: of databases that exist, that are missing, that sit under another session.
const char* const ModuleText = R"(object Module1: TDataModule
  object Session1: TKVSession
    SessionName = 'Reports'
  end
  object Session2: TKVSession
    SessionName = 'Archive'
  end
  object Session3: TKVSession
  end
  object Database1: TKVDatabase
    DatabaseName = 'Main'
    RemoteDatabase = 'main.db'
  end
  object Database2: TKVDatabase
    DatabaseName = 'Aux'
    SessionName = 'DEFAULT'
  end
  object Database3: TKVDatabase
    DatabaseName = 'Sales'
    SessionName = 'reports'
    ServerType = stPostgreSQL
    RemoteDatabase = 'db.example:5432/sales'
  end
  object Database4: TKVDatabase
    DatabaseName = 'Lost'
    SessionName = 'Nowhere'
  end
  object Database5: TKVDatabase
    SessionName = 'Archive'
  end
  object Table1: TKVTable
    DatabaseName = 'main'
    TableName = 'customers'
  end
  object Table2: TKVTable
    DatabaseName = 'Missing'
    TableName = 'orders'
  end
  object Table3: TKVTable
    DatabaseName = 'Missing'
    SessionName = 'default'
  end
  object Query1: TKVQuery
    DatabaseName = 'Missing'
    SessionName = 'Reports'
    SQL.Strings = (
      'select * from orders')
  end
  object Query2: TKVQuery
    DatabaseName = 'Main'
    SessionName = 'Reports'
    SQL.Strings = (
      'select id, name'
      'from customers')
  end
  object StoredProc1: TKVStoredProc
    DatabaseName = 'Sales'
    SessionName = 'Reports'
    StoredProcName = 'close_month'
  end
  object Query3: TKVQuery
    DatabaseName = 'Lost'
    SessionName = 'Nowhere'
    SQL.Strings = (
      ''
      'select 1')
  end
  object Query4: TKVQuery
  end
  object UpdateSQL1: TKVUpdateSQL
    RefreshSQL.Strings = (
      'select * from t where id = :id')
  end
  object UpdateSQL2: TKVUpdateSQL
    DeleteSQL.Strings = (
      'delete from t where id = :OLD_id')
  end
end
)";

class SprigsTest : public ::testing::Test {
protected:
  SprigsTest() {
    designintf::ClearRegistrations();
    RegisterSprigs();
  }
  ~SprigsTest() override {
    Tree.reset();
    Module.reset();
    designintf::ClearRegistrations();
    designintf::GShowClassNameInTreeView = false;
  }

  void Open(const String& Text) {
    rtl::TFormReadOptions options;
    options.Designing = true;
    Module = std::make_unique<designer::TOpenModule>(rtl::ReadModule(Text, "Module1.dfm", options), "Module1.dfm");
    Tree = std::make_unique<designer::TObjectTree>(*Module);
  }

  // The tree as the designer prints it, without the data sets' collection nodes.
  String Print() {
    String out;
    PrintNode(Tree->Root(), 0, out);
    return out;
  }
  static void PrintNode(TSprig* node, int level, String& out) {
    if (dynamic_cast<designintf::TCollectionSprig*>(node)) return;
    out += String(static_cast<size_t>(level) * 2, ' ') + (node->AnyProblems() ? "! " : "") + node->Caption() + "\n";
    for (int i = 0; i < node->Count(); ++i) PrintNode(node->Items(i), level + 1, out);
  }

  TSprig* Node(const String& NameOrPath) {
    TSprig* node = Tree->FindNode(NameOrPath);
    EXPECT_NE(node, nullptr) << NameOrPath << " in\n" << Print();
    return node;
  }
  // The node of a component.
  TSprig* NodeOf(const String& ComponentName) { return Tree->Root()->FindItem(Module->FindComponent(ComponentName)); }

  template <class T>
  T* Get(const String& Name) {
    return rtl::As<T>(Module->FindComponent(Name));
  }

  std::unique_ptr<designer::TOpenModule> Module;
  std::unique_ptr<designer::TObjectTree> Tree;
};

}  // namespace

TEST(SprigNodeNames, DefaultSessionAndImpliedDatabaseKeys) {
  EXPECT_EQ(SessionNodeName(""), "<DefaultSession>");
  EXPECT_EQ(SessionNodeName("Default"), "<DefaultSession>");
  EXPECT_EQ(SessionNodeName("dEFAULT"), "<DefaultSession>");
  EXPECT_EQ(SessionNodeName("Reports"), "Reports");
  EXPECT_EQ(SessionNodeName("Default2"), "Default2");
  EXPECT_EQ(ImpliedDatabaseNodeName("Sales"), "<ImpliedDatabase>.Sales");
  EXPECT_EQ(ImpliedDatabaseNodeName(""), "<ImpliedDatabase>.");
}

TEST_F(SprigsTest, PlacementCaptionsAndProblems) {
  Open(ModuleText);
  EXPECT_EQ(Print(),
            "Module1\n"
            // Its session has no node: left where the builder put it.
            "  ... {Query3}\n"
            "  ! <?> {Session3}\n"
            "  Archive {Session2}\n"
            "    ! SQLite | <UnknownDatabase> {Database5}\n"
            // One default-session node for both spellings of its name, databases and data sets.
            "  Default {KVSession}\n"
            "    ! <?> {Unknown}\n"
            "      ! <?> {Query4}\n"
            "    Missing {Unknown}\n"
            "      ! <?> {Table3}\n"
            "      orders {Table2}\n"
            "    SQLite | <UnknownDatabase> {Database2}\n"
            "    SQLite | main.db {Database1}\n"
            "      customers {Table1}\n"
            // Main is the default session's: Query2, of Reports, gets its own implied node.
            "  Reports {Session1}\n"
            "    Main {Unknown}\n"
            "      select id, name... {Query2}\n"
            "    Missing {Unknown}\n"
            "      select * from orders {Query1}\n"
            "    PostgreSQL | db.example:5432/sales {Database3}\n"
            "      close_month {StoredProc1}\n"
            "  SQLite | <UnknownDatabase> {Database4}\n"
            "  ! UpdateSQL1\n"
            "  UpdateSQL2\n");

  // Lookup names and the two made-up kinds of node.
  TSprig* def = Node("<DefaultSession>");
  EXPECT_TRUE(def->Transient());
  EXPECT_EQ(def->ItemClass(), korv::TKVSession::StaticClass());
  EXPECT_EQ(def->Item(), nullptr);
  auto* unnamed = dynamic_cast<TKVImpliedDatabaseSprig*>(Node("Module1\\<DefaultSession>\\<ImpliedDatabase>."));
  ASSERT_NE(unnamed, nullptr);
  EXPECT_TRUE(unnamed->Transient());
  EXPECT_EQ(unnamed->ItemClass(), TKVDatabase::StaticClass());
  auto* reportsMissing = dynamic_cast<TKVImpliedDatabaseSprig*>(Node("Module1\\Session1\\<ImpliedDatabase>.Missing"));
  ASSERT_NE(reportsMissing, nullptr);
  EXPECT_EQ(reportsMissing->DatabaseName(), "Missing");
  EXPECT_EQ(reportsMissing->SessionName(), "Reports");
  EXPECT_EQ(Node("Reports")->Item(), Module->FindComponent("Session1"));
  EXPECT_EQ(Node("Sales")->Item(), Module->FindComponent("Database3"));
}

TEST_F(SprigsTest, ClassNamesInCaptionsWhenShown) {
  Open(ModuleText);
  designintf::GShowClassNameInTreeView = true;
  EXPECT_EQ(Node("Reports")->Caption(), "Reports {Session1} (TKVSession)");
  EXPECT_EQ(Node("<DefaultSession>")->Caption(), "Default {KVSession} (TKVSession)");
  EXPECT_EQ(Node("Main")->Caption(), "SQLite | main.db {Database1} (TKVDatabase)");
  // Data-set and implied-database captions pass no class name.
  EXPECT_EQ(NodeOf("Table1")->Caption(), "customers {Table1}");
  EXPECT_EQ(NodeOf("StoredProc1")->Caption(), "close_month {StoredProc1}");
  EXPECT_EQ(NodeOf("Query1")->Caption(), "select * from orders {Query1}");
  EXPECT_EQ(Node("Module1\\Session1\\<ImpliedDatabase>.Missing")->Caption(), "Missing {Unknown}");
}

TEST_F(SprigsTest, ProblemsOfEachKind) {
  Open(ModuleText);
  auto problems = [&](const char* name) { return NodeOf(name)->AnyProblems(); };
  EXPECT_FALSE(problems("Table2"));
  Get<korv::TKVTable>("Table2")->SetTableName("");
  EXPECT_TRUE(problems("Table2"));
  EXPECT_FALSE(problems("StoredProc1"));
  Get<korv::TKVStoredProc>("StoredProc1")->SetStoredProcName("");
  EXPECT_TRUE(problems("StoredProc1"));
  EXPECT_FALSE(problems("Query1"));
  Get<korv::TKVQuery>("Query1")->SetDatabaseName("");
  EXPECT_TRUE(problems("Query1"));

  // An update object needs a modify, insert or delete statement; refresh alone is not enough.
  auto* update = Get<korv::TKVUpdateSQL>("UpdateSQL1");
  EXPECT_TRUE(problems("UpdateSQL1"));
  for (int kind = 1; kind <= 3; ++kind) {
    SCOPED_TRACE(kind);
    update->GetSQLIndex(kind)->Add("update t set a = 1");
    EXPECT_FALSE(problems("UpdateSQL1"));
    update->GetSQLIndex(kind)->Clear();
    EXPECT_TRUE(problems("UpdateSQL1"));
  }
  // A blank line is still a line.
  update->GetSQLIndex(2)->Add("");
  EXPECT_FALSE(problems("UpdateSQL1"));
}

TEST_F(SprigsTest, ADatabaseOfASessionWithoutANodeMakesNoDefaultSession) {
  Open(R"(object Module1: TDataModule
  object Database1: TKVDatabase
    DatabaseName = 'Lost'
    SessionName = 'Nowhere'
  end
  object Query1: TKVQuery
    DatabaseName = 'Lost'
    SessionName = 'Nowhere'
  end
end
)");
  EXPECT_EQ(Print(),
            "Module1\n"
            "  ! <?> {Query1}\n"
            "  SQLite | <UnknownDatabase> {Database1}\n");
}

TEST_F(SprigsTest, ComponentsNamedLikeSessionsAreNoSessionNodes) {
  // A table whose component name is the session name its database and itself give: neither may
  // hang under it (nor the table under its own node).
  Open(R"(object Module1: TDataModule
  object Orders: TKVTable
    DatabaseName = 'Orders'
    SessionName = 'Orders'
    TableName = 'orders'
  end
  object Database1: TKVDatabase
    DatabaseName = 'Orders'
    SessionName = 'Orders'
  end
end
)");
  EXPECT_EQ(Print(),
            "Module1\n"
            "  orders {Orders}\n"
            "  SQLite | <UnknownDatabase> {Database1}\n");
}

TEST_F(SprigsTest, DatabaseDropOnAnotherSessionTakesItsDataSetsAlong) {
  Open(ModuleText);
  TSprig* sales = Node("Sales");
  EXPECT_TRUE(Tree->DragOver(sales, Node("Archive")));
  EXPECT_TRUE(Tree->DragOver(sales, Node("<DefaultSession>")));
  EXPECT_FALSE(Tree->DragOver(sales, NodeOf("Session3")));  // a session without a name
  EXPECT_FALSE(Tree->DragOver(sales, NodeOf("Table1")));
  EXPECT_FALSE(Tree->DragOver(sales, Node("Main")));

  const int before = Module->ModifiedCount();
  EXPECT_TRUE(Tree->DragDrop(sales, Node("Archive")));
  EXPECT_EQ(Module->ModifiedCount(), before + 1);
  EXPECT_EQ(Get<TKVDatabase>("Database3")->SessionName(), "Archive");
  EXPECT_EQ(Get<TKVDataSet>("StoredProc1")->SessionName(), "Archive");
  EXPECT_EQ(Get<TKVDataSet>("StoredProc1")->DatabaseName(), "Sales");
  EXPECT_EQ(Node("Module1\\Session2\\Database3\\StoredProc1")->Item(), Module->FindComponent("StoredProc1"));
}

TEST_F(SprigsTest, DatabaseDropOnItsOwnSessionInOtherLetterCase) {
  Open(ModuleText);
  // Database3 says "reports", StoredProc1 under it "Reports": the database keeps its spelling
  // and the data set takes it, which changes the module.
  const int before = Module->ModifiedCount();
  EXPECT_TRUE(Tree->DragDrop(Node("Sales"), Node("Reports")));
  EXPECT_EQ(Get<TKVDatabase>("Database3")->SessionName(), "reports");
  EXPECT_EQ(Get<TKVDataSet>("StoredProc1")->SessionName(), "reports");
  EXPECT_EQ(Module->ModifiedCount(), before + 1);
  // Again: now nothing differs, and nobody is told.
  EXPECT_FALSE(Tree->DragDrop(Node("Sales"), Node("Reports")));
  EXPECT_EQ(Module->ModifiedCount(), before + 1);
}

TEST_F(SprigsTest, DatabaseDropOnTheDefaultSessionEmptiesItsSessionName) {
  Open(ModuleText);
  EXPECT_TRUE(Tree->DragDrop(Node("Sales"), Node("<DefaultSession>")));
  EXPECT_EQ(Get<TKVDatabase>("Database3")->SessionName(), "");
  EXPECT_EQ(Get<TKVDataSet>("StoredProc1")->SessionName(), "");
  EXPECT_EQ(Node("Sales")->Parent(), Node("<DefaultSession>"));

  // The default session's own name, in any letter case, is emptied too.
  EXPECT_TRUE(Tree->DragDrop(Node("Aux"), Node("<DefaultSession>")));
  EXPECT_EQ(Get<TKVDatabase>("Database2")->SessionName(), "");

  // Already empty, with its data set empty as well: no change.
  const int before = Module->ModifiedCount();
  EXPECT_FALSE(Tree->DragDrop(Node("Main"), Node("<DefaultSession>")));
  EXPECT_EQ(Module->ModifiedCount(), before);
}

TEST_F(SprigsTest, ImpliedDatabaseDropsMoveItsDataSets) {
  Open(ModuleText);
  TSprig* implied = Node("Module1\\Session1\\<ImpliedDatabase>.Missing");
  // Wider than a database node: a session without a name takes it.
  EXPECT_TRUE(Tree->DragOver(implied, NodeOf("Session3")));
  EXPECT_TRUE(Tree->DragOver(implied, Node("Archive")));
  EXPECT_FALSE(Tree->DragOver(implied, Node("Sales")));

  EXPECT_TRUE(Tree->DragDrop(implied, Node("Archive")));
  EXPECT_EQ(Get<TKVDataSet>("Query1")->SessionName(), "Archive");
  EXPECT_EQ(Get<TKVDataSet>("Query1")->DatabaseName(), "Missing");
  ASSERT_NE(Tree->FindNode("Module1\\Session2\\<ImpliedDatabase>.Missing\\Query1"), nullptr) << Print();

  // Onto the unnamed session: the session name empties, and the data set joins the default
  // session's implied node of the same name.
  EXPECT_TRUE(Tree->DragDrop(Node("Module1\\Session2\\<ImpliedDatabase>.Missing"), NodeOf("Session3")));
  EXPECT_EQ(Get<TKVDataSet>("Query1")->SessionName(), "");
  EXPECT_EQ(Node("Module1\\<DefaultSession>\\<ImpliedDatabase>.Missing")->Count(), 3) << Print();

  // Onto the default-session node, where its data sets already are in name.
  auto* defaultMissing =
      dynamic_cast<TKVImpliedDatabaseSprig*>(Node("Module1\\<DefaultSession>\\<ImpliedDatabase>.Missing"));
  ASSERT_NE(defaultMissing, nullptr);
  EXPECT_TRUE(Tree->DragDrop(defaultMissing, Node("<DefaultSession>")));  // Table3's "default" empties
  EXPECT_EQ(Get<TKVDataSet>("Table3")->SessionName(), "");
  EXPECT_FALSE(Tree->DragDrop(Node("Module1\\<DefaultSession>\\<ImpliedDatabase>.Missing"), Node("<DefaultSession>")));
}

TEST_F(SprigsTest, DataSetDropsRewireDatabaseThenSession) {
  Open(ModuleText);
  TSprig* table2 = NodeOf("Table2");
  EXPECT_TRUE(Tree->DragOver(table2, Node("Sales")));
  EXPECT_TRUE(Tree->DragOver(table2, Node("Module1\\Session1\\<ImpliedDatabase>.Main")));
  EXPECT_FALSE(Tree->DragOver(table2, Node("Archive")));
  EXPECT_FALSE(Tree->DragOver(table2, NodeOf("Database5")));  // a database without a name
  EXPECT_FALSE(Tree->DragOver(table2, NodeOf("Query1")));

  EXPECT_TRUE(Tree->DragDrop(table2, Node("Sales")));
  EXPECT_EQ(Get<TKVDataSet>("Table2")->DatabaseName(), "Sales");
  EXPECT_EQ(Get<TKVDataSet>("Table2")->SessionName(), "reports");
  EXPECT_EQ(NodeOf("Table2")->Parent(), Node("Sales"));

  // Onto an implied node: its names as they stand.
  EXPECT_TRUE(Tree->DragDrop(NodeOf("Query2"), Node("Module1\\Session1\\<ImpliedDatabase>.Missing")));
  EXPECT_EQ(Get<TKVDataSet>("Query2")->DatabaseName(), "Missing");
  EXPECT_EQ(Get<TKVDataSet>("Query2")->SessionName(), "Reports");

  // Onto the database it hangs under, names equal but for letter case: nothing is set.
  const int before = Module->ModifiedCount();
  EXPECT_FALSE(Tree->DragDrop(NodeOf("Table1"), Node("Main")));
  EXPECT_EQ(Get<TKVDataSet>("Table1")->DatabaseName(), "main");
  EXPECT_EQ(Module->ModifiedCount(), before);
}

TEST_F(SprigsTest, PaletteDropsOntoSessionAndDatabaseNodes) {
  Open(ModuleText);
  using korv::TKVQuery;
  EXPECT_TRUE(Tree->PaletteOver(TKVDatabase::StaticClass(), Node("Archive")));
  EXPECT_TRUE(Tree->PaletteOver(TKVDatabase::StaticClass(), Node("<DefaultSession>")));
  EXPECT_TRUE(Tree->PaletteOver(TKVDatabase::StaticClass(), Tree->Root()));
  EXPECT_FALSE(Tree->PaletteOver(TKVDatabase::StaticClass(), NodeOf("Session3")));
  EXPECT_FALSE(Tree->PaletteOver(TKVDatabase::StaticClass(), Node("Sales")));
  EXPECT_TRUE(Tree->PaletteOver(TKVQuery::StaticClass(), Node("Sales")));
  EXPECT_TRUE(Tree->PaletteOver(korv::TKVMacroQuery::StaticClass(), Node("Module1\\Session1\\<ImpliedDatabase>.Main")));
  EXPECT_FALSE(Tree->PaletteOver(korv::TKVTable::StaticClass(), NodeOf("Database5")));
  EXPECT_FALSE(Tree->PaletteOver(korv::TKVTable::StaticClass(), Node("Reports")));
  // No placement rule of its own: the root only.
  EXPECT_FALSE(Tree->PaletteOver(korv::TKVUpdateSQL::StaticClass(), Node("Sales")));
  EXPECT_EQ(Tree->PaletteDrop(korv::TKVUpdateSQL::StaticClass(), Node("Sales")), nullptr);

  auto* db = rtl::As<TKVDatabase>(Tree->PaletteDrop(TKVDatabase::StaticClass(), Node("Archive")));
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(db->SessionName(), "Archive");
  EXPECT_EQ(NodeOf(db->Name())->Parent(), Node("Archive"));

  auto* query = rtl::As<TKVQuery>(Tree->PaletteDrop(TKVQuery::StaticClass(), Node("Sales")));
  ASSERT_NE(query, nullptr);
  EXPECT_EQ(query->DatabaseName(), "Sales");
  EXPECT_EQ(query->SessionName(), "reports");
  EXPECT_EQ(NodeOf(query->Name())->Parent(), Node("Sales"));
  EXPECT_EQ(NodeOf(query->Name())->Caption(), "<?> {" + query->Name() + "}");
}
