#include "TestSprigs.h"

#include "designer/ObjectTree.h"

#include <gtest/gtest.h>

namespace treetest {

using namespace designer;
using namespace designtest;
using designintf::TSprig;

class ObjectTreeTest : public ::testing::Test {
protected:
  void SetUp() override {
    designintf::ClearRegistrations();
    RegisterTestSprigs();
    auto root = std::make_unique<rtl::TDataModule>(nullptr);
    root->SetName("Module1");
    Module = std::make_unique<TOpenModule>(std::move(root), "Module1.dfm");
    auto* r = Module->GetRoot();
    Add<TTestSession>("Session1")->SetSessionName("S1");
    Add<TTestSession>("Session2")->SetSessionName("S2");
    auto* db1 = Add<TTestDatabase>("Database1");
    db1->SetDatabaseName("main");
    db1->SetSessionName("s1");  // sessions are found ignoring letter case
    Add<TTestDatabase>("Database2")->SetDatabaseName("aux");
    Add<TTestQuery>("Query1")->SetDatabaseName("main");
    Add<TTestQuery>("Query2")->SetDatabaseName("missing");
    Add<TTestQuery>("Query3");
    Add<TTestDataSet>("Table1")->SetDatabaseName("aux");
    Add<TTestButton>("Button1");
    ASSERT_EQ(r->ComponentCount(), 9);
    Tree = std::make_unique<TObjectTree>(*Module);
  }
  void TearDown() override {
    Tree.reset();
    Module.reset();
    designintf::ClearRegistrations();
  }

  template <class T>
  T* Add(const char* name) {
    auto* c = new T(Module->GetRoot());
    c->SetName(name);
    return c;
  }

  std::unique_ptr<TOpenModule> Module;
  std::unique_ptr<TObjectTree> Tree;
};

TEST_F(ObjectTreeTest, PlacementPassesPruningAndOrder) {
  // Data sets show their owned collections as children.
  EXPECT_EQ(Tree->Print(),
            "Module1\n"
            "  <DefaultSession>\n"
            "    aux {Database2}\n"
            "      Table1\n"
            "        IndexDefs\n"
            "        Params\n"
            "  <Implied>.\n"
            "    ! Query3\n"
            "      IndexDefs\n"
            "      Params\n"
            "  <Implied>.missing\n"
            "    Query2\n"
            "      IndexDefs\n"
            "      Params\n"
            "  Button1\n"
            "  S1 {Session1}\n"
            "    main {Database1}\n"
            "      Query1\n"
            "        IndexDefs\n"
            "        Params\n"
            "  S2 {Session2}\n");
  EXPECT_EQ(Tree->BuildCount(), 1);
  Tree->Print();
  EXPECT_EQ(Tree->BuildCount(), 1);  // nothing changed: not rebuilt
  // Paths are made of unique names; a bare name is looked up by Name, then UniqueName.
  ASSERT_NE(Tree->FindNode("Module1\\Session1\\Database1\\Query1"), nullptr);
  EXPECT_EQ(Tree->FindNode("Module1\\Session1\\Database1\\Query1")->Item(), Module->FindComponent("Query1"));
  EXPECT_EQ(Tree->FindNode("Module1\\<Implied>.missing")->Count(), 1);
  ASSERT_NE(Tree->FindNode("query2"), nullptr);
  EXPECT_EQ(Tree->FindNode("query2")->Item(), Module->FindComponent("Query2"));
  ASSERT_NE(Tree->FindNode("Database2"), nullptr);
  EXPECT_EQ(Tree->FindNode("Database2")->Item(), Module->FindComponent("Database2"));
  EXPECT_EQ(Tree->FindNode("nothing"), nullptr);
}

TEST_F(ObjectTreeTest, ComponentsWithoutANodeClassOrWithANonComponentOne) {
  designintf::RegisterSprigType(TTestButton::StaticClass(), TSpareSprig::StaticClass());
  Tree->Rebuild();
  EXPECT_EQ(Tree->FindNode("Button1"), nullptr);
  designintf::ClearRegistrations();
  Tree->Rebuild();
  EXPECT_EQ(Tree->Root()->Count(), 9);  // one plain component node each, under the root
}

TEST_F(ObjectTreeTest, DragAndDropRewiresAndRebuilds) {
  TSprig* db = Tree->FindNode("main");
  ASSERT_NE(db, nullptr);
  TSprig* s2 = Tree->FindNode("S2");
  TSprig* query = Tree->FindNode("Query1");
  EXPECT_TRUE(Tree->DragOver(db, s2));
  EXPECT_FALSE(Tree->DragOver(query, s2));
  EXPECT_FALSE(Tree->DragDrop(query, s2));
  int before = Module->ModifiedCount();
  ReparentCalls = 0;
  EXPECT_TRUE(Tree->DragDrop(db, s2));
  EXPECT_EQ(ReparentCalls, 1);  // Query1 follows its database
  EXPECT_EQ(Module->ModifiedCount(), before + 1);
  EXPECT_EQ(As<TTestDatabase>(Module->FindComponent("Database1"))->SessionName(), "S2");
  EXPECT_NE(Tree->Print().find("  S2 {Session2}\n    main {Database1}\n      Query1\n"), std::string::npos)
      << Tree->Print();

  // A drop that changes nothing tells nobody.
  before = Module->ModifiedCount();
  EXPECT_FALSE(Tree->DragDrop(Tree->FindNode("aux"), Tree->FindNode("<DefaultSession>")));
  EXPECT_EQ(Module->ModifiedCount(), before);
}

TEST_F(ObjectTreeTest, PaletteDropCreatesTheComponentOnItsTarget) {
  EXPECT_TRUE(Tree->PaletteOver(TTestDatabase::StaticClass(), Tree->Root()));
  EXPECT_FALSE(Tree->PaletteOver(TTestDatabase::StaticClass(), Tree->FindNode("Query1")));
  EXPECT_EQ(Tree->PaletteDrop(TTestDatabase::StaticClass(), Tree->FindNode("Query1")), nullptr);
  // A class with no node class of its own takes the default test: only the root.
  EXPECT_FALSE(Tree->PaletteOver(TTestButton::StaticClass(), Tree->FindNode("S1")));

  auto* db = As<TTestDatabase>(Tree->PaletteDrop(TTestDatabase::StaticClass(), Tree->FindNode("S2")));
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(db->Name(), "TestDatabase1");
  EXPECT_EQ(db->SessionName(), "S2");
  EXPECT_EQ(Tree->FindNode("TestDatabase1")->Parent(), Tree->FindNode("S2"));
  EXPECT_TRUE(Tree->FindNode("TestDatabase1")->AnyProblems());  // no DatabaseName yet
}

// A node that never settles: it changes parent on every visit.
class TRestlessSprig : public designintf::TComponentSprig {
  DESIGN_CLASS(TRestlessSprig, designintf::TComponentSprig)
  using TComponentSprig::TComponentSprig;
  void FigureParent() override {
    TSprig* a = Root()->Find("Session1", false);
    TSprig* b = Root()->Find("Session2", false);
    (Parent() == a ? b : a)->Add(this);
  }
};
DESIGN_CLASS_IMPL(TRestlessSprig)

TEST_F(ObjectTreeTest, PlacementThatNeverSettlesStillEnds) {
  designintf::ClearRegistrations();
  designintf::RegisterSprigType(TTestButton::StaticClass(), TRestlessSprig::StaticClass());
  Tree->Rebuild();
  EXPECT_NE(Tree->FindNode("Button1"), nullptr);
}

TEST_F(ObjectTreeTest, ExportsAsData) {
  auto j = Tree->ToJson();
  EXPECT_EQ(j["caption"], "Module1");
  EXPECT_EQ(j["sprig"], "TRootSprig");
  const auto& first = j["children"][0];
  EXPECT_EQ(first["caption"], "<DefaultSession>");
  EXPECT_EQ(first["transient"], true);
  EXPECT_TRUE(first["item"].is_null());
  const auto& query3 = j["children"][1]["children"][0];
  EXPECT_EQ(query3["name"], "Query3");
  EXPECT_EQ(query3["item"], "TTestQuery");
  EXPECT_EQ(query3["problems"], true);
}

TEST_F(ObjectTreeTest, DeletingAComponentRebuildsWithoutIt) {
  Module->DeleteComponent(Module->FindComponent("Query2"));
  EXPECT_EQ(Tree->FindNode("Query2"), nullptr);
  EXPECT_EQ(Tree->FindNode("<Implied>.missing"), nullptr);  // left empty: dropped
}

}  // namespace treetest
