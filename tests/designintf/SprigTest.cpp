#include "DesignTestClasses.h"
#include "FakeDesigner.h"

#include "designintf/Sprigs.h"

#include <gtest/gtest.h>

namespace sprigtest {

using namespace designintf;
using namespace designtest;

// A node that hangs under the node of its data set's Database property.
class TDataSetOnDatabaseSprig : public TComponentSprig {
  DESIGN_CLASS(TDataSetOnDatabaseSprig, TComponentSprig)
  using TComponentSprig::TComponentSprig;
  String ParentProperty() override { return "Database"; }
};
DESIGN_CLASS_IMPL(TDataSetOnDatabaseSprig)

// A component whose collection is published under an ancestor's class, beside a string list.
class TLooselyTyped : public TComponent {
  RTL_CLASS(TLooselyTyped, TComponent)
  explicit TLooselyTyped(TComponent* AOwner) : TComponent(AOwner) {}
  TPersistent* Items() const { return FItems.get(); }
  TStrings* Lines() const { return FLines.get(); }

private:
  std::unique_ptr<TParams> FItems = std::make_unique<TParams>(this);
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
};
TClass TLooselyTyped::StaticClass() {
  static TClass info = ClassBuilder<TLooselyTyped>("TLooselyTyped")
                           .ObjProp<TPersistent>("Items", &TLooselyTyped::Items, nullptr)
                           .ObjProp<TStrings>("Lines", &TLooselyTyped::Lines, nullptr)
                           .Build();
  return info;
}

TEST(CaptionForTest, NameLabelAndClass) {
  EXPECT_EQ(CaptionFor("main", "Database1"), "main {Database1}");
  EXPECT_EQ(CaptionFor("", "Database1"), "<?> {Database1}");
  EXPECT_EQ(CaptionFor("Database1"), "Database1");
  EXPECT_EQ(CaptionFor(""), "");
  EXPECT_EQ(CaptionFor("main", "Database1", "TTestDatabase"), "main {Database1}");
  GShowClassNameInTreeView = true;
  EXPECT_EQ(CaptionFor("main", "Database1", "TTestDatabase"), "main {Database1} (TTestDatabase)");
  EXPECT_EQ(CaptionFor("main", "Database1", ""), "main {Database1}");
  GShowClassNameInTreeView = false;
}

class SprigTest : public ::testing::Test {
protected:
  SprigTest() {
    Module.SetName("Module1");
    Db = new TTestDatabase(&Module);
    Db->SetName("Db1");
    Query = new TTestQuery(&Module);
    Query->SetName("Query1");
  }
  rtl::TDataModule Module{nullptr};
  TFakeDesigner Designer{&Module};
  TTestDatabase* Db;
  TTestQuery* Query;
};

TEST_F(SprigTest, AddMovesAndFindIgnoresLetterCase) {
  TRootSprig root(&Module, &Designer);
  TSprig* a = root.Add(std::make_unique<TComponentSprig>(Db));
  TSprig* b = root.Add(new TComponentSprig(Query));
  TSprig* t = root.Add(new TTransientSprig());
  EXPECT_EQ(root.Count(), 3);
  t->Add(b);
  EXPECT_EQ(root.Count(), 2);
  EXPECT_EQ(b->Parent(), t);
  EXPECT_EQ(b->Root(), &root);
  EXPECT_EQ(b->GetDesigner(), &Designer);
  EXPECT_EQ(root.Find("query1", false), nullptr);
  EXPECT_EQ(root.Find("QUERY1", true), b);
  EXPECT_EQ(root.Find("db1", false), a);
  EXPECT_EQ(root.FindItem(Query), b);
  EXPECT_EQ(b->Path(), "Module1\\\\Query1");  // the transient node has no name
  EXPECT_EQ(root.FindItemByPath("Module1\\Db1"), a);
  EXPECT_THROW(b->Add(t), ESprigError);  // a node under its own child
  EXPECT_EQ(b->Parent(), t);
  EXPECT_EQ(a->Caption(), "Db1");
}

// A node with a name of its own, as the package's session and database nodes have.
class TNamedSprig : public TSprig {
  DESIGN_CLASS(TNamedSprig, TSprig)
  TNamedSprig(rtl::TPersistent* AItem, String AName) : TSprig(AItem), FName(std::move(AName)) {}
  String Name() override { return FName; }
  String Caption() override { return FName; }

private:
  String FName;
};
DESIGN_CLASS_IMPL(TNamedSprig)

TEST_F(SprigTest, ChildIndexesFollowMovesGapsAndSorting) {
  TRootSprig root(&Module, &Designer);
  std::vector<TSprig*> nodes;
  for (int i = 0; i < 6; ++i)
    nodes.push_back(root.Add(new TNamedSprig(i % 2 ? static_cast<rtl::TPersistent*>(Query) : Db, i < 3 ? "b" : "A")));
  // Lookups by name are in child order, letter case ignored, and build the index.
  EXPECT_EQ(root.ChildrenNamed("a"), (std::vector<TSprig*>{nodes[3], nodes[4], nodes[5]}));
  EXPECT_EQ(root.FindItem(Query, false), nodes[1]);

  // Taking children out of the middle leaves the others in order, indexed and counted.
  TSprig* holder = root.Add(new TNamedSprig(nullptr, "holder"));
  holder->Add(nodes[1]);
  holder->Add(nodes[4]);
  EXPECT_EQ(root.Count(), 5);
  EXPECT_EQ(nodes[3]->Index(), 2);
  EXPECT_EQ(root.Items(4), holder);
  EXPECT_EQ(root.ChildrenNamed("A"), (std::vector<TSprig*>{nodes[3], nodes[5]}));
  EXPECT_EQ(root.FindItem(Query, false), nodes[3]);  // the next child of the same item
  EXPECT_EQ(holder->FindItem(Query, false), nodes[1]);
  EXPECT_EQ(holder->ChildrenNamed("b"), (std::vector<TSprig*>{nodes[1]}));
  root.Add(nodes[1]);  // back, now last
  EXPECT_EQ(root.ChildrenNamed("B"), (std::vector<TSprig*>{nodes[0], nodes[2], nodes[1]}));

  // Sorting by caption reorders the answers; a later addition joins at the end.
  root.SortChildren();
  EXPECT_EQ(root.ChildrenNamed("a"), (std::vector<TSprig*>{nodes[3], nodes[5]}));
  EXPECT_EQ(root.Items(0), nodes[3]);
  EXPECT_EQ(nodes[1]->Index(), 4);
  TSprig* late = root.Add(new TNamedSprig(nullptr, "a"));
  EXPECT_EQ(root.ChildrenNamed("a").back(), late);
  EXPECT_TRUE(root.ChildrenNamed("missing").empty());
  root.Clear();
  EXPECT_EQ(root.Count(), 0);
  EXPECT_EQ(root.FindItem(Db, false), nullptr);
  EXPECT_TRUE(root.ChildrenNamed("a").empty());
}

// Past a few children, lookups go through indexes; through moves, additions and sorting they
// must answer as a scan of the children in order would.
TEST_F(SprigTest, ManyChildrenAnswerAsAScanWould) {
  TRootSprig root(&Module, &Designer);
  TSprig* holder = root.Add(new TNamedSprig(nullptr, "holder"));
  const std::vector<rtl::TPersistent*> items{Db, Query, &Module, nullptr};
  const std::vector<String> names{"a", "B", "c", "A", "b", "d"};
  std::vector<TSprig*> nodes;
  for (int i = 0; i < 60; ++i)
    nodes.push_back(root.Add(new TNamedSprig(items[i % items.size()], names[(i * 7) % names.size()])));

  auto check = [&](TSprig* node, const char* step) {
    for (const String& name : {String("a"), String("B"), String("D"), String("holder"), String("none")}) {
      std::vector<TSprig*> named;
      for (int i = 0; i < node->Count(); ++i)
        if (rtl::SameText(node->Items(i)->Name(), name)) named.push_back(node->Items(i));
      EXPECT_EQ(node->ChildrenNamed(name), named) << step << ", name " << name;
    }
    for (rtl::TPersistent* item : items) {
      TSprig* first = nullptr;
      for (int i = 0; i < node->Count() && !first; ++i)
        if (item && node->Items(i)->Item() == item) first = node->Items(i);
      EXPECT_EQ(node->FindItem(item, false), first) << step;
    }
  };
  check(&root, "built");
  // Out of the middle and the ends into a small node, then some of them back (now last).
  for (int i : {0, 5, 6, 7, 30, 59, 58}) holder->Add(nodes[static_cast<size_t>(i)]);
  check(&root, "moved out");
  check(holder, "moved in");
  for (int i : {6, 59, 0}) root.Add(nodes[static_cast<size_t>(i)]);
  check(&root, "moved back");
  check(holder, "left behind");
  root.SortChildren();
  check(&root, "sorted");
  for (int i = 0; i < 20; ++i) root.Add(new TNamedSprig(items[static_cast<size_t>(i) % items.size()], names[i % 3]));
  check(&root, "added after sorting");
  root.Items(3)->Extract();  // freed here
  check(&root, "extracted");
}

TEST_F(SprigTest, ParentPropertyPlacesAndRewires) {
  TRootSprig root(&Module, &Designer);
  TSprig* dbNode = root.Add(new TComponentSprig(Db));
  TSprig* qNode = root.Add(new TDataSetOnDatabaseSprig(Query));
  EXPECT_TRUE(qNode->AnyProblems());  // Database not set
  qNode->FigureParent();
  EXPECT_EQ(qNode->Parent(), &root);

  Query->SetDatabase(Db);
  EXPECT_FALSE(qNode->AnyProblems());
  qNode->FigureParent();
  EXPECT_EQ(qNode->Parent(), dbNode);

  // Dragging: onto the root clears the property, onto a node of another class is refused.
  EXPECT_TRUE(qNode->DragOverTo(&root));
  EXPECT_FALSE(qNode->DragOverTo(qNode));
  EXPECT_FALSE(dbNode->DragOverTo(&root));  // no parent property
  EXPECT_FALSE(qNode->DragDropTo(dbNode));  // already there
  EXPECT_TRUE(root.DragDrop(qNode));
  EXPECT_EQ(Query->Database(), nullptr);
  EXPECT_TRUE(dbNode->DragDrop(qNode));
  EXPECT_EQ(Query->Database(), Db);
}

TEST_F(SprigTest, UniqueNamesAndCollectionChildren) {
  auto* unnamed = new TTestSession(&Module);
  TComponentSprig s(unnamed);
  EXPECT_EQ(s.UniqueName(), "<Components[2]>");
  Query->Params()->CreateParam(rtl::TFieldType::ftInteger, "ID", rtl::TParamType::ptInput);
  TRootSprig root(&Module, &Designer);
  TSprig* q = root.Add(new TComponentSprig(Query));
  q->FigureChildren();
  q->FigureChildren();  // no duplicates
  // Params and IndexDefs are owned collections.
  ASSERT_EQ(q->Count(), 2);
  TSprig* params = q->Find("Params", false);
  ASSERT_NE(params, nullptr);
  params->FigureChildren();
  ASSERT_EQ(params->Count(), 1);
  EXPECT_EQ(params->Items(0)->Caption(), "0 - ID");
  // A collection behind a property of an ancestor class is a child too; a string list is not.
  TSprig* loose = root.Add(new TComponentSprig(new TLooselyTyped(&Module)));
  loose->FigureChildren();
  ASSERT_EQ(loose->Count(), 1);
  EXPECT_NE(loose->Find("Items", false), nullptr);
}

TEST_F(SprigTest, PaletteTestsAskTheNodeClass) {
  TRootSprig root(&Module, &Designer);
  TSprig* dbNode = root.Add(new TComponentSprig(Db));
  EXPECT_TRUE(root.PaletteOver(TComponentSprig::StaticClass(), TTestQuery::StaticClass()));
  EXPECT_FALSE(dbNode->PaletteOver(TComponentSprig::StaticClass(), TTestQuery::StaticClass()));
  EXPECT_TRUE(TComponentSprig::StaticClass()->PaletteOverTo(&root, TTestQuery::StaticClass()));
}

}  // namespace sprigtest
