#include "designintf/Sprigs.h"

#include "rtl/Collection.h"
#include "rtl/SysUtils.h"

#include <algorithm>

namespace designintf {

DESIGN_CLASS_IMPL(TSprig)
DESIGN_CLASS_IMPL(TComponentSprig)
DESIGN_CLASS_IMPL(TTransientSprig)
DESIGN_CLASS_IMPL(TDataSetSprig)
DESIGN_CLASS_IMPL(TCollectionSprig)
DESIGN_CLASS_IMPL(TCollectionItemSprig)
DESIGN_CLASS_IMPL(TRootSprig)

bool GShowClassNameInTreeView = false;

String CaptionFor(const String& AName, const String& ALabel, const String& AClass) {
  // Asked for each node at each sort and print: made in one allocation, without temporaries.
  const bool withClass = GShowClassNameInTreeView && !AClass.empty();
  String result;
  result.reserve(std::max<size_t>(AName.size(), 3) + ALabel.size() + 3 + (withClass ? AClass.size() + 3 : 0));
  result = AName;
  if (!ALabel.empty()) {
    if (result.empty()) result = "<?>";
    result.append(" {").append(ALabel).append("}");
  }
  if (withClass) result.append(" (").append(AClass).append(")");
  return result;
}

// ---------------------------------------------------------------------------- TSprig structure

TSprig::TSprig(rtl::TPersistent* AItem) : FItem(AItem) {}

TSprig::~TSprig() = default;

TRootSprig* TSprig::Root() const {
  const TSprig* top = this;
  while (top->FParent) top = top->FParent;
  return top->FIsRoot ? static_cast<TRootSprig*>(const_cast<TSprig*>(top)) : nullptr;
}

void TSprig::CloseGaps() const {
  if (FGaps == 0) return;
  size_t to = 0;
  for (size_t from = 0; from < FItems.size(); ++from)
    if (FItems[from]) {
      FItems[from]->FSlot = to;
      if (from != to) FItems[to] = std::move(FItems[from]);
      ++to;
    }
  FItems.resize(to);
  FGaps = 0;
}

TSprig* TSprig::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw rtl::EListError("Sprig index out of bounds (" + rtl::IntToStr(Index) + ")");
  return FItems[static_cast<size_t>(Index)].get();
}

int TSprig::Index() const {
  if (!FParent) return -1;
  FParent->CloseGaps();
  return static_cast<int>(FSlot);
}

bool TSprig::Contains(const TSprig* ASprig) const {
  for (const TSprig* s = ASprig; s; s = s->FParent)
    if (s == this) return true;
  return false;
}

TSprig* TSprig::Add(TSprig* AItem) {
  if (!AItem) return nullptr;
  if (AItem->Contains(this)) throw ESprigError("The node " + AItem->UniqueName() + " cannot hang under itself");
  if (AItem->FParent == this) return AItem;
  std::unique_ptr<TSprig> owned = AItem->FParent ? AItem->Extract() : std::unique_ptr<TSprig>(AItem);
  return Add(std::move(owned));
}

TSprig* TSprig::Add(std::unique_ptr<TSprig> AItem) {
  if (!AItem) return nullptr;
  TSprig* raw = AItem.get();
  if (raw->Contains(this)) {
    AItem.release();  // it is still owned where it hangs
    throw ESprigError("The node " + raw->UniqueName() + " cannot hang under itself");
  }
  if (raw->FParent) {
    // Already owned elsewhere: move it rather than own it twice.
    AItem.release();
    return Add(raw);
  }
  raw->FParent = this;
  raw->FSlot = FItems.size();
  FItems.push_back(std::move(AItem));
  IndexChild(raw);
  raw->NoteParentChange();
  return raw;
}

std::unique_ptr<TSprig> TSprig::Extract() {
  if (!FParent) return nullptr;
  TSprig* parent = FParent;
  parent->UnindexChild(this);
  std::unique_ptr<TSprig> owned = std::move(parent->FItems[FSlot]);
  ++parent->FGaps;
  // The last slot needs no gap: the common case of taking children from the end.
  while (!parent->FItems.empty() && !parent->FItems.back()) {
    parent->FItems.pop_back();
    --parent->FGaps;
  }
  FParent = nullptr;
  return owned;
}

namespace {

// Lists of at most this many children are scanned rather than indexed.
constexpr size_t ScanUpTo = 8;

}  // namespace

void TSprig::IndexChild(TSprig* AChild) {
  if (!FIndex) return;
  if (AChild->FItem) FIndex->ByItem.Insert(rtl::PointerHash(AChild->FItem), AChild);
  AChild->FNameHash = rtl::TextHash(AChild->Name());
  FIndex->ByName.Insert(AChild->FNameHash, AChild);
}

void TSprig::UnindexChild(TSprig* AChild) {
  if (!FIndex) return;
  if (AChild->FItem) FIndex->ByItem.Erase(rtl::PointerHash(AChild->FItem), AChild);
  FIndex->ByName.Erase(AChild->FNameHash, AChild);
}

// The lookups leave the gaps of extracted children open (closing them is a pass over all the
// children, and placement extracts thousands one by one between lookups): gaps keep the order
// of the slots, which is all the answers are picked by.
void TSprig::EnsureIndex() {
  if (FIndex || FItems.size() <= ScanUpTo) return;
  FIndex = std::make_unique<TChildIndex>();
  for (const auto& c : FItems)
    if (c) IndexChild(c.get());
}

TSprig* TSprig::ChildOfItem(const rtl::TPersistent* AItem) {
  EnsureIndex();
  if (!FIndex) {
    for (const auto& c : FItems)
      if (c && c->FItem == AItem) return c.get();
    return nullptr;
  }
  TSprig* first = nullptr;
  FIndex->ByItem.Find(rtl::PointerHash(AItem), [&](TSprig* c) {
    if (c->FItem == AItem && (!first || c->FSlot < first->FSlot)) first = c;
    return false;
  });
  return first;
}

const std::vector<TSprig*>& TSprig::ChildrenNamed(const String& AName) {
  FNamed.clear();
  EnsureIndex();
  if (!FIndex) {
    for (const auto& c : FItems)
      if (c && rtl::SameText(c->Name(), AName)) FNamed.push_back(c.get());
    return FNamed;
  }
  FIndex->ByName.Find(rtl::TextHash(AName), [&](TSprig* c) {
    if (rtl::SameText(c->Name(), AName)) FNamed.push_back(c);
    return false;
  });
  if (FNamed.size() > 1)
    std::sort(FNamed.begin(), FNamed.end(), [](const TSprig* a, const TSprig* b) { return a->FSlot < b->FSlot; });
  return FNamed;
}

void TSprig::Clear() {
  CloseGaps();
  while (!FItems.empty()) {
    std::unique_ptr<TSprig> last = std::move(FItems.back());
    FItems.pop_back();
    last->FParent = nullptr;
  }
  FIndex.reset();
}

void TSprig::SortChildren() {
  CloseGaps();
  if (SortByIndex()) {
    std::vector<std::pair<int, std::unique_ptr<TSprig>>> keyed;
    keyed.reserve(FItems.size());
    for (auto& c : FItems) keyed.emplace_back(c->ItemIndex(), std::move(c));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i) FItems[i] = std::move(keyed[i].second);
  } else if (SortItems()) {
    std::vector<std::pair<String, std::unique_ptr<TSprig>>> keyed;
    keyed.reserve(FItems.size());
    for (auto& c : FItems) keyed.emplace_back(c->Caption(), std::move(c));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return rtl::CompareText(a.first, b.first) < 0; });
    for (size_t i = 0; i < keyed.size(); ++i) FItems[i] = std::move(keyed[i].second);
  }
  // The order changed: slots follow. The indexes pick their answers by slot, so they stand.
  for (size_t i = 0; i < FItems.size(); ++i) FItems[i]->FSlot = i;
  for (auto& c : FItems) c->SortChildren();
}

void TSprig::NoteParentChange() {
  if (TRootSprig* root = Root()) ++root->FParentChanges;
}

TSprig* TSprig::Find(const String& AName, bool ARecurse) {
  CloseGaps();
  for (size_t i = 0; i < FItems.size(); ++i) {
    TSprig* child = FItems[i].get();
    if (rtl::SameText(child->Name(), AName)) return child;
    if (ARecurse)
      if (TSprig* found = child->Find(AName, true)) return found;
  }
  return nullptr;
}

TSprig* TSprig::FindItem(const rtl::TPersistent* AItem, bool ARecurse) {
  if (!AItem) return nullptr;
  if (!ARecurse) return ChildOfItem(AItem);
  CloseGaps();
  for (size_t i = 0; i < FItems.size(); ++i) {
    TSprig* child = FItems[i].get();
    if (child->FItem == AItem) return child;
    if (ARecurse)
      if (TSprig* found = child->FindItem(AItem, true)) return found;
  }
  return nullptr;
}

TSprig* TSprig::FindItemByName(const String& AName, rtl::TClass AClass, bool ARecurse) {
  CloseGaps();
  for (size_t i = 0; i < FItems.size(); ++i) {
    TSprig* child = FItems[i].get();
    if (child->FItem && rtl::SameText(child->Name(), AName) && (!AClass || child->FItem->InheritsFrom(AClass)))
      return child;
    if (ARecurse)
      if (TSprig* found = child->FindItemByName(AName, AClass, true)) return found;
  }
  return nullptr;
}

TSprig* TSprig::FindItemByPath(const String& APath) {
  std::vector<String> parts;
  size_t start = 0;
  for (;;) {
    size_t end = APath.find('\\', start);
    parts.push_back(APath.substr(start, end == String::npos ? String::npos : end - start));
    if (end == String::npos) break;
    start = end + 1;
  }
  if (!rtl::SameText(parts[0], UniqueName())) return nullptr;
  TSprig* node = this;
  for (size_t p = 1; p < parts.size() && node; ++p) {
    TSprig* next = nullptr;
    node->CloseGaps();
    for (const auto& child : node->FItems)
      if (rtl::SameText(child->UniqueName(), parts[p])) {
        next = child.get();
        break;
      }
    node = next;
  }
  return node;
}

String TSprig::Path() { return FParent ? FParent->Path() + "\\" + UniqueName() : UniqueName(); }

TSprig* TSprig::SeekParent(rtl::TPersistent* AItem) {
  TRootSprig* root = Root();
  TSprig* top = root ? static_cast<TSprig*>(root) : this;
  if (!AItem) return top;
  if (FParent && FParent->FItem == AItem) return FParent;
  if (TSprig* owner = Owner(); owner && owner->FItem == AItem) return owner;
  if (TSprig* owner = Owner())
    if (TSprig* found = owner->FindItem(AItem, true)) return found;
  if (TSprig* found = top->FindItem(AItem, true)) return found;
  // An owner of the item may take it in when its node says so.
  if (auto* c = rtl::Cast<rtl::TComponent>(AItem))
    for (rtl::TComponent* o = c->Owner(); o; o = o->Owner())
      if (TSprig* s = o == top->FItem ? top : top->FindItem(o, true)) {
        if (s->ParentOrphanedSprigs()) return s;
        break;
      }
  return top;
}

void TSprig::ReparentChildren() {
  CloseGaps();
  std::vector<TSprig*> children;
  for (const auto& c : FItems) children.push_back(c.get());
  for (TSprig* c : children) c->Reparent();
}

rtl::TPersistent* TSprig::ParentPropertyItem() {
  String name = ParentProperty();
  if (name.empty() || !FItem) return nullptr;
  const rtl::TPropInfo* p = rtl::GetPropInfo(FItem, name);
  if (!p || p->Kind() != rtl::TTypeKind::tkClass) return nullptr;
  return rtl::Cast<rtl::TPersistent>(rtl::GetObjectProp(FItem, p));
}

// ---------------------------------------------------------------------------- TSprig slots

void TSprig::Changed() {
  if (TRootSprig* root = Root()) root->SetRepopulateNeeded(true);
}

String TSprig::UniqueName() { return FItem ? FItem->GetNamePath() : String(); }

void TSprig::SelectItems() {
  if (IDesigner* d = GetDesigner(); d && FItem) d->SetSelections({FItem});
}

void TSprig::RuntimeChange() {
  if (IDesigner* d = GetDesigner()) d->Modified();
}

void TSprig::DesigntimeChange() {
  if (IDesigner* d = GetDesigner()) d->Modified();
}

IDesigner* TSprig::GetDesigner() {
  TRootSprig* root = Root();
  return root ? root->GetDesigner() : nullptr;
}

rtl::TClass TSprig::ItemClass() { return FItem ? FItem->ClassType() : nullptr; }

TSprig* TSprig::Owner() { return Root(); }

bool TSprig::DragOverTo(TSprig*) { return false; }

bool TSprig::DragDropTo(TSprig*) { return false; }

bool TSprig::PaletteOver(TSprigClass ASprigClass, rtl::TClass AClass) {
  return ASprigClass && ASprigClass->PaletteOverTo && ASprigClass->PaletteOverTo(this, AClass);
}

bool TSprig::PaletteOverTo(TSprig* AParent, rtl::TClass) { return AParent && AParent->FIsRoot; }

// ---------------------------------------------------------------------------- TComponentSprig

String TComponentSprig::UniqueName() {
  rtl::TComponent* c = Component();
  if (!c) return TSprig::UniqueName();
  if (!c->Name().empty()) return c->Name();
  return "<Components[" + rtl::IntToStr(c->ComponentIndex()) + "]>";
}

void TComponentSprig::FigureParent() {
  rtl::TPersistent* parentItem = nullptr;
  if (!ParentProperty().empty())
    parentItem = ParentPropertyItem();
  else if (rtl::TComponent* c = Component())
    parentItem = c->GetParentComponent();
  TSprig* target = parentItem ? SeekParent(parentItem) : Owner();
  if (!target || Contains(target)) target = Root();
  if (target && target != Parent() && !Contains(target)) target->Add(this);
}

void TComponentSprig::FigureChildren() {
  rtl::TComponent* c = Component();
  if (!c) return;
  const rtl::TClass collections = rtl::TCollection::StaticClass();
  for (const rtl::TPropInfo* p : c->ClassType()->PropList()) {
    if (p->Kind() != rtl::TTypeKind::tkClass || p->IsReference || !p->GetObj) continue;
    // Only a property of a collection class, or of an ancestor of one, can hold a collection:
    // the others (string lists, fonts) are passed by their class record, without a cast that
    // fails only after walking the whole class tree, for every component of the module.
    const rtl::TClass declared = p->PropType ? p->PropType->ClassRef : nullptr;
    if (declared && !declared->InheritsFrom(collections) && !collections->InheritsFrom(declared)) continue;
    auto* collection = rtl::Cast<rtl::TCollection>(rtl::GetObjectProp(c, p));
    if (collection && !FindItem(collection, false)) Add(std::make_unique<TCollectionSprig>(collection, p->Name));
  }
}

bool TComponentSprig::AnyProblems() { return !ParentProperty().empty() && !ParentPropertyItem(); }

bool TComponentSprig::DragOverTo(TSprig* AItem) {
  if (!AItem || !Item()) return false;
  const rtl::TPropInfo* p = rtl::GetPropInfo(Item(), ParentProperty());
  if (ParentProperty().empty() || !p || p->Kind() != rtl::TTypeKind::tkClass || !p->IsReference) return false;
  if (dynamic_cast<TRootSprig*>(AItem)) return true;
  return AItem->Item() && p->PropType->ClassRef && AItem->Item()->InheritsFrom(p->PropType->ClassRef);
}

bool TComponentSprig::DragDropTo(TSprig* AItem) {
  if (!DragOverTo(AItem)) return false;
  const rtl::TPropInfo* p = rtl::GetPropInfo(Item(), ParentProperty());
  rtl::TObject* value = dynamic_cast<TRootSprig*>(AItem) ? nullptr : AItem->Item();
  if (rtl::GetObjectProp(Item(), p) == value) return false;
  rtl::SetObjectProp(Item(), p, value);
  return true;
}

bool TComponentSprig::PaletteOverTo(TSprig* AParent, rtl::TClass AClass) {
  return TSprig::PaletteOverTo(AParent, AClass);
}

TSprig* TComponentSprig::Owner() {
  TRootSprig* root = Root();
  if (!root) return nullptr;
  rtl::TComponent* c = Component();
  if (c && c->Owner() && c->Owner() != root->Item())
    if (TSprig* s = root->FindItem(c->Owner(), true)) return s;
  return root;
}

// ---------------------------------------------------------------------------- others

void TDataSetSprig::FigureChildren() { TComponentSprig::FigureChildren(); }

TDSDesignerClass TDataSetSprig::GetDSDesignerClass() { return TDSDesigner::StaticClass(); }

String TCollectionSprig::UniqueName() { return FPropName.empty() ? TSprig::UniqueName() : FPropName; }

void TCollectionSprig::FigureChildren() {
  auto* collection = rtl::Cast<rtl::TCollection>(Item());
  if (!collection) return;
  for (int i = 0; i < collection->Count(); ++i)
    if (!FindItem(collection->Items(i), false)) Add(std::make_unique<TCollectionItemSprig>(collection->Items(i)));
}

String TCollectionItemSprig::UniqueName() {
  auto* item = rtl::Cast<rtl::TCollectionItem>(Item());
  return item ? "Items[" + rtl::IntToStr(item->Index()) + "]" : TSprig::UniqueName();
}

String TCollectionItemSprig::Caption() {
  auto* item = rtl::Cast<rtl::TCollectionItem>(Item());
  return item ? rtl::IntToStr(item->Index()) + " - " + item->DisplayName() : TSprig::Caption();
}

int TCollectionItemSprig::ItemIndex() {
  auto* item = rtl::Cast<rtl::TCollectionItem>(Item());
  return item ? item->Index() : 0;
}

String TRootSprig::UniqueName() {
  auto* c = rtl::Cast<rtl::TComponent>(Item());
  return c ? c->Name() : TSprig::UniqueName();
}

bool TRootSprig::PaletteOver(TSprigClass, rtl::TClass) { return true; }

}  // namespace designintf
