#include "rtl/Component.h"

#include <gtest/gtest.h>

using namespace rtl;

namespace {

// A component that holds a reference to another and clears it when that one goes.
class TRefHolder : public TComponent {
  RTL_CLASS(TRefHolder, TComponent)
  explicit TRefHolder(TComponent* AOwner) : TComponent(AOwner) {}
  TComponent* Ref() const { return FRef; }
  void SetRef(TComponent* Value) {
    if (FRef) FRef->RemoveFreeNotification(this);
    FRef = Value;
    if (FRef) FRef->FreeNotification(this);
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FRef) FRef = nullptr;
  }

private:
  TComponent* FRef = nullptr;
};

TClass TRefHolder::StaticClass() {
  static TClass info = ClassBuilder<TRefHolder>("TRefHolder")
                           .RefProp<TComponent>("Ref", &TRefHolder::Ref, &TRefHolder::SetRef)
                           .Build();
  return info;
}

} // namespace

TEST(ComponentOwnership, OwnerDestroysWhatItOwnsAndDeletingAChildDetachesIt) {
  auto root = std::make_unique<TComponent>(nullptr);
  auto* a = new TComponent(root.get());
  auto* b = new TComponent(root.get());
  a->SetName("A");
  b->SetName("B");
  EXPECT_EQ(root->ComponentCount(), 2);
  EXPECT_EQ(b->ComponentIndex(), 1);
  delete a;
  ASSERT_EQ(root->ComponentCount(), 1);
  EXPECT_EQ(root->Components(0), b);
  EXPECT_THROW(root->Components(5), EListError);
}

TEST(ComponentNames, InvalidOrDuplicateNamesAreRefusedIgnoringCase) {
  TComponent root(nullptr);
  auto* a = new TComponent(&root);
  a->SetName("Query1");
  auto* b = new TComponent(&root);
  EXPECT_THROW(b->SetName("QUERY1"), EComponentError);
  EXPECT_THROW(b->SetName("1Query"), EComponentError);
  EXPECT_THROW(b->SetName("Query 2"), EComponentError);
  try {
    b->SetName("query1");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_NE(String(e.what()).find("query1"), String::npos);
  }
  b->SetName("Query2");
  EXPECT_EQ(root.FindComponent("qUeRy2"), b);
  EXPECT_EQ(root.FindComponent("nope"), nullptr);
  a->SetName("QUERY1");  // renaming to itself in another case is allowed
  EXPECT_EQ(a->Name(), "QUERY1");
}

TEST(ComponentReferences, AreClearedWhenTheReferencedComponentIsDestroyed) {
  TComponent root(nullptr);
  auto* holder = new TRefHolder(&root);
  auto* sibling = new TComponent(&root);
  holder->SetRef(sibling);
  delete sibling;
  EXPECT_EQ(holder->Ref(), nullptr);

  // Across owners, through FreeNotification.
  auto other = std::make_unique<TComponent>(nullptr);
  holder->SetRef(other.get());
  other.reset();
  EXPECT_EQ(holder->Ref(), nullptr);

  // The holder going first leaves nothing dangling in the referenced component.
  auto target = std::make_unique<TComponent>(nullptr);
  holder->SetRef(target.get());
  delete holder;
  target.reset();
}

TEST(ComponentState, DesigningSpreadsToOwnedAndNewComponents) {
  TComponent root(nullptr);
  auto* a = new TComponent(&root);
  root.SetDesigning(true);
  EXPECT_TRUE(a->Designing());
  auto* b = new TComponent(&root);
  EXPECT_TRUE(b->Designing());
}

TEST(ClassCasts, AsRaisesInvalidCastAndPassesNil) {
  TComponent root(nullptr);
  TObject* obj = &root;
  EXPECT_EQ(As<TComponent>(obj), &root);
  TObject* none = nullptr;
  EXPECT_EQ(As<TRefHolder>(none), nullptr);
  try {
    As<TRefHolder>(obj);
    FAIL();
  } catch (const EInvalidCast& e) {
    EXPECT_STREQ(e.what(), "Invalid class typecast");
  }
}

TEST(DataModule, AnswersWithTheStreamedClassName) {
  TDataModule dm(nullptr);
  EXPECT_EQ(dm.ClassName(), "TDataModule");
  dm.SetStreamedClassName("TShopModule");
  EXPECT_EQ(dm.ClassName(), "TShopModule");
  EXPECT_EQ(GetClass("tdatamodule"), TDataModule::StaticClass());
}
