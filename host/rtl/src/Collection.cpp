#include "rtl/Collection.h"

#include "rtl/SysUtils.h"

#include <algorithm>

namespace rtl {

// ---------------------------------------------------------------- TCollectionItem

TClass TCollectionItem::StaticClass() {
  static TClass info = ClassBuilder<TCollectionItem>("TCollectionItem").Build();
  return info;
}

TCollectionItem::TCollectionItem(TCollection* Collection) {
  if (Collection) Collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
  if (FCollection) {
    auto released = FCollection->RemoveItem(this);
    released.release();  // being destroyed already
  }
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  // Ownership passes to the new collection, or to the caller when there is none.
  if (FCollection) FCollection->RemoveItem(this).release();
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  const auto& items = FCollection->FItems;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].get() == this) return static_cast<int>(i);
  return -1;
}

void TCollectionItem::SetIndex(int Value) {
  int cur = Index();
  if (cur < 0 || cur == Value) return;
  auto& items = FCollection->FItems;
  Value = std::clamp(Value, 0, static_cast<int>(items.size()) - 1);
  auto item = std::move(items[static_cast<size_t>(cur)]);
  items.erase(items.begin() + cur);
  items.insert(items.begin() + Value, std::move(item));
  Changed(true);
}

String TCollectionItem::DisplayName() const { return ClassName(); }

String TCollectionItem::GetNamePath() const {
  if (!FCollection) return ClassName();
  return FCollection->GetNamePath() + "[" + IntToStr(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

// ---------------------------------------------------------------- TCollection

TClass TCollection::StaticClass() {
  static TClass info = ClassBuilder<TCollection>("TCollection").Build();
  return info;
}

TCollection::TCollection(TClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection() {
  FUpdateCount = 1;  // no change events while going away
  Clear();
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FItems[static_cast<size_t>(Index)].get();
}

TCollectionItem* TCollection::Add() {
  TObject* obj = FItemClass->Create(this);
  auto* item = Cast<TCollectionItem>(obj);
  if (!item) {
    delete obj;
    throw EInvalidCast("Invalid class typecast");
  }
  if (item->FCollection != this) InsertItem(item);
  return item;
}

TCollectionItem* TCollection::Insert(int Index) {
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(int Index) { delete Items(Index); }

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty()) {
    auto item = std::move(FItems.back());
    FItems.pop_back();
    item->FCollection = nullptr;
    Notify(item.get(), false);
  }
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (const auto& i : FItems)
    if (i->FID == ID) return i.get();
  return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TCollection::Assign(TPersistent* Source) {
  auto* src = Cast<TCollection>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  BeginUpdate();
  Clear();
  for (int i = 0; i < src->Count(); ++i) Add()->Assign(src->Items(i));
  EndUpdate();
}

String TCollection::PropName() const { return FPropName; }

String TCollection::GetNamePath() const {
  TPersistent* owner = GetOwner();
  if (!owner) return ClassName();
  String path = owner->GetNamePath();
  if (path.empty() || FPropName.empty()) return ClassName();
  return path + "." + FPropName;
}

void TCollection::Update(TCollectionItem*) {
  if (OnChange) OnChange(this);
}

void TCollection::Notify(TCollectionItem*, bool) {}

void TCollection::InsertItem(TCollectionItem* Item) {
  Item->FCollection = this;
  Item->FID = FNextID++;
  FItems.emplace_back(Item);
  Notify(Item, true);
  Changed();
}

std::unique_ptr<TCollectionItem> TCollection::RemoveItem(TCollectionItem* Item) {
  auto it = std::find_if(FItems.begin(), FItems.end(), [&](const auto& p) { return p.get() == Item; });
  if (it == FItems.end()) return nullptr;
  auto owned = std::move(*it);
  FItems.erase(it);
  Item->FCollection = nullptr;
  Notify(Item, false);
  Changed();
  return owned;
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

}  // namespace rtl

namespace rtl {

TClass TOwnedCollection::StaticClass() {
  static TClass info = ClassBuilder<TOwnedCollection>("TOwnedCollection").Build();
  return info;
}

}  // namespace rtl
