#include "vcl/Menus.h"

#include "rtl/SysUtils.h"

#include <algorithm>

namespace vcl {

using namespace rtl;

// ------------------------------------------------------------------ TMenuItem

TClass TMenuItem::StaticClass() {
  static TClass info = ClassBuilder<TMenuItem>("TMenuItem")
                           .StrProp("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
                           .BoolProp("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
                           .BoolProp("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
                           .BoolProp("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
                           .StrProp("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
                           .BoolProp("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem)
                           .IntProp("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut)
                           .BoolProp("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
                           .Event("OnClick", TypeInfo_TNotifyEvent(), &TMenuItem::OnClick)
                           .Build();
  return info;
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  for (TMenuItem* item : FItems) item->FParent = nullptr;
  FItems.clear();
  if (FParent) FParent->Remove(this);
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("Menu index out of bounds (" + std::to_string(Index) + ")");
  return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EInvalidOperation("Menu item " + Item->Name() + " is already in a menu");
  for (TMenuItem* p = this; p; p = p->FParent)
    if (p == Item) throw EInvalidOperation("Menu item " + Item->Name() + " cannot hold itself");
  Index = std::clamp(Index, 0, Count());
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  Item->FParent = nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const String& ACaption) const {
  String wanted = StripHotkey(ACaption);
  for (TMenuItem* item : FItems)
    if (SameText(StripHotkey(item->FCaption), wanted)) return item;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->FParent) item = item->FParent;
  return item->FMenu;
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (FParent) FParent->Remove(this);
  if (!Value) return;
  if (auto* menu = dynamic_cast<TMenu*>(Value))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(Value))
    item->Add(this);
  else
    throw EInvalidOperation("Menu item " + Name() + " cannot be placed in " + Value->Name());
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TMenuItem* item : FItems)
    if (item->Owner() == Root) Proc(item);
}

void TMenuItem::Click() {
  if (FEnabled && OnClick) OnClick(this);
}

// ------------------------------------------------------------------ TMenu

TClass TMenu::StaticClass() {
  static TClass info = ClassBuilder<TMenu>("TMenu").Build();
  return info;
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
}

TMenu::~TMenu() = default;

void TMenu::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  FItems->GetChildren(Proc, Root);
}

// ------------------------------------------------------------------ TPopupMenu

TClass TPopupMenu::StaticClass() {
  static TClass info = ClassBuilder<TPopupMenu>("TPopupMenu")
                           .BoolProp("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
                           .Event("OnPopup", TypeInfo_TNotifyEvent(), &TPopupMenu::OnPopup)
                           .Build();
  return info;
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent == Value) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Popup(int, int) {
  if (OnPopup) OnPopup(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

}  // namespace vcl
