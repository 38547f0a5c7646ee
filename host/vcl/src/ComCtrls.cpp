#include "vcl/ComCtrls.h"

#include "Publish.h"
#include "vcl/Menus.h"

#include <algorithm>

namespace vcl {

using namespace rtl;
using detail::Field;

// ------------------------------------------------------------------ TTabSheet

TClass TTabSheet::StaticClass() {
  // A page's bounds are its page control's; form files do not store them.
  auto notStored = [](const TTabSheet*) { return false; };
  static TClass info = ClassBuilder<TTabSheet>("TTabSheet")
                           .IntProp("Left", &TTabSheet::Left, &TTabSheet::SetLeft)
                           .Stored(notStored)
                           .IntProp("Top", &TTabSheet::Top, &TTabSheet::SetTop)
                           .Stored(notStored)
                           .IntProp("Width", &TTabSheet::Width, &TTabSheet::SetWidth)
                           .Stored(notStored)
                           .IntProp("Height", &TTabSheet::Height, &TTabSheet::SetHeight)
                           .Stored(notStored)
                           .StrProp("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption)
                           .BoolProp("Enabled", &TTabSheet::Enabled, &TTabSheet::SetEnabled, true)
                           .ObjProp<TFont>("Font", &TTabSheet::Font, &TTabSheet::SetFont)
                           .Stored([](const TTabSheet* c) { return !c->ParentFont(); })
                           .IntProp("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex, -1)
                           .Stored([](const TTabSheet*) { return false; })  // the order of the pages carries it
                           .BoolProp("ParentFont", &TTabSheet::ParentFont, &TTabSheet::SetParentFont, true)
                           .RefProp<TPopupMenu>("PopupMenu", &TTabSheet::PopupMenu, &TTabSheet::SetPopupMenu)
                           .BoolProp("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible, true)
                           .Event("OnEnter", TypeInfo_TNotifyEvent(), Field<TTabSheet>(&TWinControl::OnEnter))
                           .Event("OnExit", TypeInfo_TNotifyEvent(), Field<TTabSheet>(&TWinControl::OnExit))
                           .Build();
  return info;
}

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {}

TTabSheet::~TTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetParent(TWinControl* AParent) {
  TWinControl::SetParent(AParent);
  auto* pc = dynamic_cast<TPageControl*>(AParent);
  if (pc == FPageControl) return;
  if (FPageControl) FPageControl->RemovePage(this);
  if (pc) pc->InsertPage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) { SetParent(Value); }

int TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  const auto& pages = FPageControl->FPages;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
  if (!FPageControl) return;
  auto& pages = FPageControl->FPages;
  pages.erase(std::remove(pages.begin(), pages.end(), this), pages.end());
  int at = std::clamp(Value, 0, static_cast<int>(pages.size()));
  pages.insert(pages.begin() + at, this);
}

// ------------------------------------------------------------------ TPageControl

TClass TPageControl::StaticClass() {
  static TClass info = ClassBuilder<TPageControl>("TPageControl")
                           .RefProp<TTabSheet>("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage)
                           .EnumProp("Align", TypeInfo_TAlign(), &TPageControl::Align, &TPageControl::SetAlign, alNone)
                           .BoolProp("Enabled", &TPageControl::Enabled, &TPageControl::SetEnabled, true)
                           .ObjProp<TFont>("Font", &TPageControl::Font, &TPageControl::SetFont)
                           .Stored([](const TPageControl* c) { return !c->ParentFont(); })
                           .BoolProp("ParentFont", &TPageControl::ParentFont, &TPageControl::SetParentFont, true)
                           .RefProp<TPopupMenu>("PopupMenu", &TPageControl::PopupMenu, &TPageControl::SetPopupMenu)
                           .IntProp("TabOrder", &TPageControl::TabOrder, &TPageControl::SetTabOrder, -1)
                           .BoolProp("TabStop", &TPageControl::TabStop, &TPageControl::SetTabStop, true)
                           .BoolProp("Visible", &TPageControl::Visible, &TPageControl::SetVisible, true)
                           .Event("OnChange", TypeInfo_TNotifyEvent(), &TPageControl::OnChange)
                           .Event("OnEnter", TypeInfo_TNotifyEvent(), Field<TPageControl>(&TWinControl::OnEnter))
                           .Event("OnExit", TypeInfo_TNotifyEvent(), Field<TPageControl>(&TWinControl::OnExit))
                           .Event("OnMouseDown", TypeInfo_TMouseEvent(), Field<TPageControl>(&TControl::OnMouseDown))
                           .Build();
  return info;
}

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
}

TPageControl::~TPageControl() {
  for (TTabSheet* page : FPages) page->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const {
  if (Index < 0 || Index >= PageCount())
    throw EListError("Page index out of bounds (" + std::to_string(Index) + ") in " + Name());
  return FPages[static_cast<size_t>(Index)];
}

void TPageControl::SetActivePage(TTabSheet* Value) {
  // While the form file is read the page may not have joined yet; the reference holds anyway.
  if (Value && Value->FPageControl != this && !IsLoading())
    throw EInvalidOperation(Value->Name() + " is not a page of " + Name());
  FActivePage = Value;
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int Value) { SetActivePage(Value < 0 ? nullptr : Pages(Value)); }

void TPageControl::Change() {
  if (OnChange) OnChange(this);
}

void TPageControl::InsertPage(TTabSheet* Page) {
  FPages.push_back(Page);
  Page->FPageControl = this;
  if (!FActivePage) FActivePage = Page;
}

void TPageControl::RemovePage(TTabSheet* Page) {
  auto it = std::find(FPages.begin(), FPages.end(), Page);
  if (it == FPages.end()) return;
  size_t at = static_cast<size_t>(it - FPages.begin());
  FPages.erase(it);
  Page->FPageControl = nullptr;
  if (FActivePage == Page) FActivePage = FPages.empty() ? nullptr : FPages[std::min(at, FPages.size() - 1)];
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FActivePage) FActivePage = nullptr;
}

}  // namespace vcl
