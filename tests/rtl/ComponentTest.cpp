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
  static TClass info =
      ClassBuilder<TRefHolder>("TRefHolder").RefProp<TComponent>("Ref", &TRefHolder::Ref, &TRefHolder::SetRef).Build();
  return info;
}

}  // namespace

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

namespace {

// Counts what it hears and, when it goes, records whether its reference had been cleared.
class TProbe : public TRefHolder {
public:
  explicit TProbe(TComponent* AOwner, TComponent** RefAtEnd = nullptr, int* RemovesAtEnd = nullptr)
      : TRefHolder(AOwner), FRefAtEnd(RefAtEnd), FRemovesAtEnd(RemovesAtEnd) {}
  ~TProbe() override {
    if (FRefAtEnd) *FRefAtEnd = Ref();
    if (FRemovesAtEnd) *FRemovesAtEnd = Removes;
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TRefHolder::Notification(AComponent, Operation);
    ++(Operation == TOperation::opInsert ? Inserts : Removes);
  }
  int Inserts = 0;
  int Removes = 0;

private:
  TComponent** FRefAtEnd;
  int* FRemovesAtEnd;
};

}  // namespace

TEST(ComponentReferences, AWholeModuleGoingClearsEveryReferenceIntoItWithoutTellingEverySibling) {
  auto* sentinel = reinterpret_cast<TComponent*>(1);
  TComponent* sameModuleRefAtEnd = sentinel;
  auto module = std::make_unique<TComponent>(nullptr);
  // Made first, so it goes last: the components after it are gone by then.
  int bystanderRemoves = -1;
  auto* sameModule = new TProbe(module.get(), &sameModuleRefAtEnd);
  auto* bystander = new TProbe(module.get(), nullptr, &bystanderRemoves);
  for (int i = 0; i < 50; ++i) new TComponent(module.get());
  auto* target = new TComponent(module.get());
  for (int i = 0; i < 50; ++i) new TComponent(module.get());
  sameModule->SetRef(target);
  TProbe otherModule(nullptr);
  otherModule.SetRef(target);
  EXPECT_EQ(bystander->Inserts, 0);  // insertions are told to the owner alone

  module.reset();
  EXPECT_EQ(otherModule.Ref(), nullptr);
  EXPECT_EQ(sameModuleRefAtEnd, nullptr);
  EXPECT_EQ(bystanderRemoves, 0);
}

TEST(ComponentReferences, DestroyComponentsOfALiveOwnerClearsReferencesAndTheOwnersOwn) {
  TProbe owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TProbe(&owner);
  owner.SetRef(a);
  TProbe outside(nullptr);
  outside.SetRef(a);
  b->SetRef(&outside);
  owner.DestroyComponents();
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(owner.Ref(), nullptr);
  EXPECT_EQ(outside.Ref(), nullptr);
  // The owner stays alive and still tells its components of a removal.
  auto* c = new TProbe(&owner);
  auto* d = new TComponent(&owner);
  delete d;
  EXPECT_EQ(c->Removes, 1);
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

// A class that declares no record of its own answers with its parent's: casts to it cannot go
// by the record, and casts to its ancestors still must.
class TUnrecorded : public TRefHolder {
public:
  using TRefHolder::TRefHolder;
};

TEST(ClassCasts, GoByTheClassRecordOnlyWhereTheTargetHasItsOwn) {
  TComponent root(nullptr);
  auto* holder = new TRefHolder(&root);
  auto* unrecorded = new TUnrecorded(&root);
  TObject* plain = new TComponent(&root);
  TObject* asObject = holder;
  EXPECT_EQ(Cast<TRefHolder>(asObject), holder);
  EXPECT_EQ(Cast<TRefHolder>(static_cast<TObject*>(unrecorded)), unrecorded);
  EXPECT_EQ(Cast<TComponent>(static_cast<TPersistent*>(unrecorded)), unrecorded);
  EXPECT_EQ(Cast<TRefHolder>(plain), nullptr);
  EXPECT_EQ(Cast<TUnrecorded>(asObject), nullptr) << "a TRefHolder is not a TUnrecorded, whatever its record says";
  EXPECT_EQ(Cast<TUnrecorded>(static_cast<TObject*>(unrecorded)), unrecorded);
  const TObject* constant = holder;
  EXPECT_TRUE(Is<TRefHolder>(constant));
  EXPECT_FALSE(Is<TDataModule>(constant));
  EXPECT_FALSE(Is<TRefHolder>(static_cast<const TObject*>(nullptr)));
  EXPECT_THROW(As<TDataModule>(asObject), EInvalidCast);
}

TEST(DataModule, AnswersWithTheStreamedClassName) {
  TDataModule dm(nullptr);
  EXPECT_EQ(dm.ClassName(), "TDataModule");
  dm.SetStreamedClassName("TShopModule");
  EXPECT_EQ(dm.ClassName(), "TShopModule");
  EXPECT_EQ(GetClass("tdatamodule"), TDataModule::StaticClass());
}

TEST(ComponentReferences, TwoComponentsReferringToEachOtherKeepOneReferenceWhenTheOtherIsDropped) {
  // A control and its popup menu: each refers to the other for its own reason.
  for (bool dropTheFirst : {true, false}) {
    SCOPED_TRACE(dropTheFirst ? "the first reference dropped" : "the second reference dropped");
    // On two modules, so that only the free-notification links can tell them.
    TComponent moduleA(nullptr), moduleB(nullptr);
    auto* a = new TRefHolder(&moduleA);
    auto* b = new TRefHolder(&moduleB);
    a->SetRef(b);
    b->SetRef(a);
    auto* c = new TComponent(&moduleA);
    (dropTheFirst ? b : a)->SetRef(c);  // one reference moves away
    TRefHolder* kept = dropTheFirst ? a : b;
    TRefHolder* target = dropTheFirst ? b : a;
    EXPECT_EQ(kept->Ref(), target);
    delete target;
    EXPECT_EQ(kept->Ref(), nullptr);
  }

  // Asking twice is one link: dropping it once leaves nothing to hear.
  TComponent root(nullptr);
  TProbe holder(nullptr);
  auto* target = new TComponent(&root);
  target->FreeNotification(&holder);
  target->FreeNotification(&holder);
  target->RemoveFreeNotification(&holder);
  delete target;
  EXPECT_EQ(holder.Removes, 0);
}
