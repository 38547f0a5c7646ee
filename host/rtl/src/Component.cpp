#include "rtl/Component.h"

#include "rtl/SysUtils.h"

#include <algorithm>
#include <array>

namespace rtl {

// ---------------------------------------------------------------- TPersistent

TClass TPersistent::StaticClass() {
  static TClass info = ClassBuilder<TPersistent>("TPersistent").Build();
  return info;
}

void TPersistent::Assign(TPersistent* Source) {
  if (!Source) throw EConvertError("Cannot assign a nil to a " + ClassName());
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + (Dest ? Dest->ClassName() : String("nil")));
}

String TPersistent::GetNamePath() const {
  TPersistent* owner = GetOwner();
  String own = owner ? owner->GetNamePath() : String();
  return own.empty() ? ClassName() : own;
}

// ---------------------------------------------------------------- TComponent

TClass TComponent::StaticClass() {
  static TClass info = ClassBuilder<TComponent>("TComponent")
                           .StrProp("Name", &TComponent::Name, &TComponent::SetName)
                           .Stored([](const TComponent*) { return false; })
                           .IntProp("Tag", &TComponent::Tag, &TComponent::SetTag)
                           .Build();
  return info;
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  FComponentState.Include(TComponentStateItem::csDestroying);
  // Whoever asked to hear of this component's end hears of it first.
  while (!FFreeNotifies.empty()) {
    TComponent* c = FFreeNotifies.back().Other;
    FFreeNotifies.pop_back();
    c->RemoveNotification(this);
    c->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (FOwner) {
    TComponent* owner = FOwner;
    auto released = owner->RemoveComponent(this);
    released.release();  // being destroyed already
  }
}

void TComponent::SetName(const String& NewName) {
  if (FName == NewName) return;
  if (!NewName.empty() && !IsValidIdent(NewName))
    throw EComponentError("'" + NewName + "' is not a valid component name");
  if (FOwner)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  String oldName = FName;
  FName = NewName;
  if (FOwner) {
    FOwner->UnindexName(this, oldName);
    FOwner->IndexName(this);
  }
}

void TComponent::IndexName(TComponent* AComponent) {
  if (AComponent->FName.empty()) return;
  TComponent* indexed = FNameIndex.Insert(AComponent->FName, AComponent);
  if (indexed == AComponent) return;
  // Two of one name (a ValidateRename override let it through): the earlier one is found.
  FNameClash = true;
  if (AComponent->ComponentIndex() < indexed->ComponentIndex()) {
    FNameIndex.Erase(AComponent->FName, indexed);
    FNameIndex.Insert(AComponent->FName, AComponent);
  }
}

void TComponent::UnindexName(TComponent* AComponent, const String& OldName) {
  if (OldName.empty() || !FNameIndex.Erase(OldName, AComponent) || !FNameClash) return;
  for (const auto& c : FComponents)
    if (c.get() != AComponent && SameText(c->FName, OldName)) {
      FNameIndex.Insert(OldName, c.get());
      return;
    }
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName) {
  // (A first name needs no comparing with the none before it.)
  if (AComponent && !NewName.empty() && (CurName.empty() || !SameText(CurName, NewName))) {
    TComponent* existing = FindComponent(NewName);
    if (existing && existing != AComponent) throw EComponentError("A component named " + NewName + " already exists");
  }
}

void TComponent::ValidateContainer(TComponent* AComponent) {
  if (AComponent->FOwner) throw EComponentError("Component " + AComponent->FName + " already has an owner");
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FComponents[static_cast<size_t>(Index)].get();
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  const auto& list = FOwner->FComponents;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == this) return static_cast<int>(i);
  return -1;
}

TComponent* TComponent::FindComponent(const String& AName) const {
  if (AName.empty()) return nullptr;
  return FNameIndex.Find(AName);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  ValidateContainer(AComponent);
  if (!AComponent->FName.empty()) ValidateRename(AComponent, String(), AComponent->FName);
  FComponents.emplace_back(AComponent);
  AComponent->FOwner = this;
  IndexName(AComponent);
  if (Designing()) AComponent->SetDesigning(true);
  Notification(AComponent, TOperation::opInsert);
}

std::unique_ptr<TComponent> TComponent::RemoveComponent(TComponent* AComponent) {
  auto it = std::find_if(FComponents.begin(), FComponents.end(), [&](const auto& p) { return p.get() == AComponent; });
  if (it == FComponents.end()) return nullptr;
  std::unique_ptr<TComponent> owned = std::move(*it);
  FComponents.erase(it);
  UnindexName(AComponent, AComponent->FName);
  AComponent->FOwner = nullptr;
  Notification(AComponent, TOperation::opRemove);
  return owned;
}

void TComponent::DestroyComponents() {
  // The owned components all go: each is told to this component (and to whoever asked for its
  // free notification), not to the siblings that are about to go as well.
  const bool wasDestroying = FDestroyingComponents;
  FDestroyingComponents = true;
  struct TRestore {
    bool& Flag;
    bool Value;
    ~TRestore() { Flag = Value; }
  } restore{FDestroyingComponents, wasDestroying};
  while (!FComponents.empty()) {
    // Detach first so the child's destructor does not look itself up again.
    std::unique_ptr<TComponent> child = std::move(FComponents.back());
    FComponents.pop_back();
    UnindexName(child.get(), child->FName);
    child->FOwner = nullptr;
    Notification(child.get(), TOperation::opRemove);
    child.reset();
  }
}

void TComponent::SetComponentState(TComponentStateItem Item, bool On) {
  if (On)
    FComponentState.Include(Item);
  else
    FComponentState.Exclude(Item);
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  SetComponentState(TComponentStateItem::csDesigning, Value);
  if (SetChildren)
    for (auto& c : FComponents) c->SetDesigning(Value, true);
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  TFreeLinks* mine = FindLinks(AComponent);
  if (mine && mine->Mine) return;
  if (mine)
    mine->Mine = true;
  else
    FFreeNotifies.push_back({AComponent, true, false});
  if (TFreeLinks* theirs = AComponent->FindLinks(this))
    theirs->Theirs = true;
  else
    AComponent->FFreeNotifies.push_back({this, false, true});
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  const TFreeLinks* links = AComponent ? FindLinks(AComponent) : nullptr;
  if (!links) return;
  const bool mine = links->Mine;  // else the link AComponent made is the one undone
  DropLink(AComponent, mine);
  AComponent->DropLink(this, !mine);
}

TComponent::TFreeLinks* TComponent::FindLinks(const TComponent* AComponent) {
  // From the back: the newest links are the likeliest to go first.
  for (auto it = FFreeNotifies.rbegin(); it != FFreeNotifies.rend(); ++it)
    if (it->Other == AComponent) return &*it;
  return nullptr;
}

void TComponent::DropLink(TComponent* AComponent, bool TheMineOne) {
  TFreeLinks* links = FindLinks(AComponent);
  if (!links) return;
  (TheMineOne ? links->Mine : links->Theirs) = false;
  if (!links->Mine && !links->Theirs) FFreeNotifies.erase(FFreeNotifies.begin() + (links - FFreeNotifies.data()));
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  for (auto it = FFreeNotifies.rbegin(); it != FFreeNotifies.rend(); ++it)
    if (it->Other == AComponent) {
      FFreeNotifies.erase(std::next(it).base());
      return;
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == TOperation::opRemove && AComponent) RemoveNotification(AComponent);
  // Nothing refers to a component that was just inserted, so only its owner hears of it:
  // telling every sibling would make building a module quadratic in its size.
  if (Operation == TOperation::opInsert) return;
  // While this component goes, or destroys what it owns, its components all go too: those
  // that hold a reference hear through their free notification.
  if (FDestroyingComponents || FComponentState.Contains(TComponentStateItem::csDestroying)) return;
  // Every component of this owner hears of it, so references among siblings are cleared.
  for (auto& c : FComponents)
    if (c.get() != AComponent) c->Notification(AComponent, Operation);
}

void TComponent::Loaded() { SetComponentState(TComponentStateItem::csLoading, false); }

void TComponent::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  if (this != Root) return;
  for (auto& c : FComponents)
    if (!c->GetParentComponent()) Proc(c.get());
}

bool IsValidIdent(const String& Ident) {
  // Letters are ASCII ones, "_" and every byte above 0x7F; digits follow the first.
  static constexpr auto classes = [] {
    std::array<uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c)
      t[c] = c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80 ? 3 : (c >= '0' && c <= '9');
    return t;
  }();
  if (Ident.empty() || !(classes[static_cast<unsigned char>(Ident[0])] & 2)) return false;
  for (unsigned char c : Ident)
    if (!classes[c]) return false;
  return true;
}

// ---------------------------------------------------------------- TDataModule

TClass TDataModule::StaticClass() {
  static TClass info = ClassBuilder<TDataModule>("TDataModule").Build();
  return info;
}

String TDataModule::ClassName() const {
  return FStreamedClassName.empty() ? TComponent::ClassName() : FStreamedClassName;
}

}  // namespace rtl
