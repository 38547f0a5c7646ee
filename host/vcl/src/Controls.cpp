#include "vcl/Controls.h"

#include "Publish.h"
#include "vcl/ComCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

#include <algorithm>
#include <climits>

namespace vcl {

using namespace rtl;

const TTypeInfo* TypeInfo_TAlign() {
  static const TTypeInfo* t =
      DefineEnumType("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"});
  return t;
}
const TTypeInfo* TypeInfo_TAlignment() {
  static const TTypeInfo* t = DefineEnumType("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
  return t;
}
const TTypeInfo* TypeInfo_TMouseButton() {
  static const TTypeInfo* t = DefineEnumType("TMouseButton", {"mbLeft", "mbRight", "mbMiddle"});
  return t;
}
const TTypeInfo* TypeInfo_TShiftState() {
  static const TTypeInfo* t = DefineSetType(
      "TShiftState",
      DefineEnumType("TShiftStateItem", {"ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble"}));
  return t;
}
const TTypeInfo* TypeInfo_TNotifyEvent() {
  static const TTypeInfo* t = DefineMethodType("TNotifyEvent");
  return t;
}
const TTypeInfo* TypeInfo_TMouseEvent() {
  static const TTypeInfo* t = DefineMethodType("TMouseEvent");
  return t;
}

String StripHotkey(const String& Caption) {
  String r;
  r.reserve(Caption.size());
  for (size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == '&') {
      if (i + 1 < Caption.size() && Caption[i + 1] == '&') {
        r += '&';
        ++i;
      }
      continue;
    }
    r += Caption[i];
  }
  return r;
}

// ------------------------------------------------------------------ TControl

TClass TControl::StaticClass() {
  static TClass info = ClassBuilder<TControl>("TControl")
                           .IntProp("Left", &TControl::Left, &TControl::SetLeft)
                           .Stored([](const TControl*) { return true; })
                           .IntProp("Top", &TControl::Top, &TControl::SetTop)
                           .Stored([](const TControl*) { return true; })
                           .IntProp("Width", &TControl::Width, &TControl::SetWidth)
                           .Stored([](const TControl*) { return true; })
                           .IntProp("Height", &TControl::Height, &TControl::SetHeight)
                           .Stored([](const TControl*) { return true; })
                           .EnumProp("Cursor", TypeInfo_TCursor(), &TControl::Cursor, &TControl::SetCursor, crDefault)
                           .StrProp("Hint", &TControl::Hint, &TControl::SetHint)
                           .Build();
  return info;
}

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FFont(std::make_unique<TFont>()), FCanvas(std::make_unique<TCanvas>(this)) {
  FFont->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  if (TForm* form = GetParentForm(); form && form != this) form->ControlDestroyed(this);
  if (FParent) FParent->RemoveControl(this);
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
}

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  for (TControl* p = AParent; p; p = p->FParent)
    if (p == this) throw EInvalidOperation("Control " + Name() + " cannot be its own parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) {
    AParent->InsertControl(this);
    ParentFontChanged();
  }
}

TForm* TControl::GetParentForm() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (auto* f = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(f);
  return nullptr;
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
  if (!Value) {
    SetParent(nullptr);
    return;
  }
  auto* parent = dynamic_cast<TWinControl*>(Value);
  if (!parent)
    throw EInvalidOperation("Control " + Name() + " cannot be placed on " + Value->Name() + " (" + Value->ClassName() +
                            "), which holds no controls");
  SetParent(parent);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  SetLeft(ALeft);
  SetTop(ATop);
  SetWidth(AWidth);
  SetHeight(AHeight);
}

void TControl::SetParentFont(bool Value) {
  FParentFont = Value;
  if (Value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  FAdoptingFont = true;
  try {
    FFont->Assign(FParent->Font());
  } catch (...) {
    FAdoptingFont = false;
    throw;
  }
  FAdoptingFont = false;
}

void TControl::FontChanged() {
  if (!FAdoptingFont) FParentFont = false;
}

void TControl::SetColor(TColor Value) {
  FColor = Value;
  FParentColor = false;
}

void TControl::SetParentColor(bool Value) {
  FParentColor = Value;
  if (Value && FParent) FColor = FParent->Color();
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

bool TControl::IsShowing() const {
  for (const TControl* c = this; c; c = c->FParent) {
    if (dynamic_cast<const TForm*>(c)) return true;  // the form's own visibility is its showing
    if (!c->FVisible) return false;
    if (auto* page = dynamic_cast<const TTabSheet*>(c))
      if (page->PageControl() && page->PageControl()->ActivePage() != page) return false;
  }
  return true;
}

bool TControl::IsEnabled() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FEnabled) return false;
  return true;
}

intptr_t TControl::Perform(unsigned, uintptr_t, intptr_t) { return 0; }

bool TControl::IsLoading() const {
  auto state = ComponentState();
  if (state.Contains(TComponentStateItem::csLoading) || state.Contains(TComponentStateItem::csReading)) return true;
  if (auto* form = dynamic_cast<const TForm*>(Owner()); form && form->Reading()) return true;
  if (auto* form = dynamic_cast<const TForm*>(this); form && form->Reading()) return true;
  return false;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

TClass TGraphicControl::StaticClass() {
  static TClass info = ClassBuilder<TGraphicControl>("TGraphicControl").Build();
  return info;
}

// ------------------------------------------------------------------ TWinControl

TClass TWinControl::StaticClass() {
  static TClass info = ClassBuilder<TWinControl>("TWinControl").Build();
  return info;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // Children belong to their owners; they only lose their parent here.
  for (TControl* c : FControls) c->FParent = nullptr;
  for (TControl* c : FWinControls) c->FParent = nullptr;
  FControls.clear();
  FWinControls.clear();
}

int TWinControl::ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount())
    throw EListError("Control index out of bounds (" + std::to_string(Index) + ")");
  size_t i = static_cast<size_t>(Index);
  return i < FControls.size() ? FControls[i] : FWinControls[i - FControls.size()];
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (const TControl* c = Control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

void TWinControl::InsertControl(TControl* Control) {
  Control->FParent = this;
  if (auto* w = dynamic_cast<TWinControl*>(Control)) {
    FWinControls.push_back(w);
    if (w->FTabOrder < 0) {
      int highest = -1;
      for (TWinControl* s : FWinControls)
        if (s != w) highest = std::max(highest, s->FTabOrder);
      w->FTabOrder = highest + 1;
    } else if (!IsLoading()) {
      RenumberTabOrders();
    }
  } else {
    FControls.push_back(Control);
  }
}

void TWinControl::RemoveControl(TControl* Control) {
  // By address: a control being destroyed no longer answers dynamic_cast as a TWinControl.
  Control->FParent = nullptr;
  auto win = std::find_if(FWinControls.begin(), FWinControls.end(),
                          [Control](TWinControl* w) { return static_cast<TControl*>(w) == Control; });
  if (win != FWinControls.end()) {
    FWinControls.erase(win);
    if (!IsLoading() && !ComponentState().Contains(TComponentStateItem::csDestroying)) RenumberTabOrders();
  } else {
    FControls.erase(std::remove(FControls.begin(), FControls.end(), Control), FControls.end());
  }
}

std::vector<TWinControl*> TWinControl::TabList() const {
  std::vector<TWinControl*> list = FWinControls;
  std::stable_sort(list.begin(), list.end(), [](const TWinControl* a, const TWinControl* b) {
    int ka = a->FTabOrder < 0 ? INT_MAX : a->FTabOrder;
    int kb = b->FTabOrder < 0 ? INT_MAX : b->FTabOrder;
    return ka < kb;
  });
  return list;
}

void TWinControl::RenumberTabOrders() {
  auto list = TabList();
  for (size_t i = 0; i < list.size(); ++i) list[i]->FTabOrder = static_cast<int>(i);
}

void TWinControl::FixupTabList() {
  RenumberTabOrders();
  for (TWinControl* w : FWinControls) w->FixupTabList();
}

int TWinControl::TabOrder() const { return Parent() ? FTabOrder : FTabOrder < 0 ? -1 : FTabOrder; }

void TWinControl::SetTabOrder(int Value) {
  TWinControl* parent = Parent();
  if (!parent || IsLoading()) {
    FTabOrder = Value;
    return;
  }
  auto list = parent->TabList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  int at = std::clamp(Value, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + at, this);
  for (size_t i = 0; i < list.size(); ++i) list[i]->FTabOrder = static_cast<int>(i);
}

bool TWinControl::CanFocus() const {
  return AcceptsFocus() && GetParentForm() != nullptr && IsShowing() && IsEnabled();
}

bool TWinControl::Focused() const {
  TForm* form = GetParentForm();
  return form && form->Showing() && form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
  TForm* form = GetParentForm();
  if (!form) throw EInvalidOperation("Control " + Name() + " is on no form and cannot take the focus");
  if (form->Showing())
    form->FocusControl(this);
  else
    form->SetActiveControl(this);
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == Root) Proc(c);
  }
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* c : FControls) c->ParentFontChanged();
  for (TControl* c : FWinControls) c->ParentFontChanged();
}

}  // namespace vcl
