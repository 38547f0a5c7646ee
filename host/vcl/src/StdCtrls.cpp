#include "vcl/StdCtrls.h"

#include "Publish.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

#include <algorithm>

namespace vcl {

using namespace rtl;
using detail::Field;

// ------------------------------------------------------------------ item lists

// The items of a combo box or list box, with the selected flag of each (kept with its item as
// items come and go). Clearing tells the owner, which may react as the platform does.
class TListItems : public TStrings {
public:
  explicit TListItems(std::function<void()> Cleared) : FCleared(std::move(Cleared)) {}

  int Count() const override { return static_cast<int>(FItems.size()); }
  String Get(int Index) const override { return At(Index).Text; }
  void Put(int Index, const String& S) override { At(Index).Text = S; }
  TObject* GetObject(int Index) const override { return At(Index).Object; }
  void PutObject(int Index, TObject* AObject) override { At(Index).Object = AObject; }
  void Insert(int Index, const String& S) override {
    if (Index < 0 || Index > Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    FItems.insert(FItems.begin() + Index, TItem{S, nullptr, false});
  }
  void Delete(int Index) override {
    At(Index);
    FItems.erase(FItems.begin() + Index);
  }
  void Clear() override {
    FItems.clear();
    if (FCleared) FCleared();
  }

  bool Selected(int Index) const { return At(Index).Selected; }
  void SetSelected(int Index, bool Value) { At(Index).Selected = Value; }
  void SelectOnly(int Index) {
    for (auto& i : FItems) i.Selected = false;
    if (Index >= 0) At(Index).Selected = true;
  }
  int FirstSelected() const {
    for (size_t i = 0; i < FItems.size(); ++i)
      if (FItems[i].Selected) return static_cast<int>(i);
    return -1;
  }
  int SelectedCount() const {
    return static_cast<int>(std::count_if(FItems.begin(), FItems.end(), [](const TItem& i) { return i.Selected; }));
  }

private:
  struct TItem {
    String Text;
    TObject* Object = nullptr;
    bool Selected = false;
  };
  const TItem& At(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
  }
  TItem& At(int Index) { return const_cast<TItem&>(static_cast<const TListItems*>(this)->At(Index)); }

  std::vector<TItem> FItems;
  std::function<void()> FCleared;
};

// The lines of a memo. A string holding line breaks becomes several lines; every change
// tells the memo (once per update when one is open).
class TMemoLines : public TStrings {
public:
  explicit TMemoLines(TMemo* Memo) : FMemo(Memo) {}

  int Count() const override { return static_cast<int>(FLines.size()); }
  String Get(int Index) const override { return FLines[Check(Index)]; }
  void Insert(int Index, const String& S) override {
    if (Index < 0 || Index > Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    auto parts = SplitLines(S);
    FLines.insert(FLines.begin() + Index, parts.begin(), parts.end());
    Changed();
  }
  void Delete(int Index) override {
    FLines.erase(FLines.begin() + static_cast<long>(Check(Index)));
    Changed();
  }
  void Clear() override {
    if (FLines.empty()) return;
    FLines.clear();
    Changed();
  }

  static std::vector<String> SplitLines(const String& S) {
    std::vector<String> parts;
    String cur;
    for (size_t i = 0; i < S.size(); ++i) {
      char c = S[i];
      if (c == '\r' || c == '\n') {
        parts.push_back(cur);
        cur.clear();
        if (c == '\r' && i + 1 < S.size() && S[i + 1] == '\n') ++i;
      } else {
        cur += c;
      }
    }
    parts.push_back(cur);
    return parts;
  }

protected:
  void SetUpdateState(bool Updating) override {
    if (!Updating && FDirty) {
      FDirty = false;
      FMemo->LinesChanged();
    }
  }

private:
  size_t Check(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return static_cast<size_t>(Index);
  }
  void Changed() {
    if (UpdateCount() > 0)
      FDirty = true;
    else
      FMemo->LinesChanged();
  }

  TMemo* FMemo;
  std::vector<String> FLines;
  bool FDirty = false;
};

// ------------------------------------------------------------------ TLabel

TClass TLabel::StaticClass() {
  static TClass info =
      ClassBuilder<TLabel>("TLabel")
          .EnumProp("Align", TypeInfo_TAlign(), &TLabel::Align, &TLabel::SetAlign, alNone)
          .EnumProp("Alignment", TypeInfo_TAlignment(), &TLabel::Alignment, &TLabel::SetAlignment, taLeftJustify)
          .BoolProp("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true)
          .StrProp("Caption", &TLabel::Caption, &TLabel::SetCaption)
          .EnumProp("Color", TypeInfo_TColor(), &TLabel::Color, &TLabel::SetColor, clBtnFace)
          .BoolProp("Enabled", &TLabel::Enabled, &TLabel::SetEnabled, true)
          .RefProp<TWinControl>("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl)
          .ObjProp<TFont>("Font", &TLabel::Font, &TLabel::SetFont)
          .Stored([](const TLabel* l) { return !l->ParentFont(); })
          .BoolProp("ParentFont", &TLabel::ParentFont, &TLabel::SetParentFont, true)
          .RefProp<TPopupMenu>("PopupMenu", &TLabel::PopupMenu, &TLabel::SetPopupMenu)
          .BoolProp("ShowHint", &TLabel::ShowHint, &TLabel::SetShowHint)
          .BoolProp("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
          .BoolProp("Visible", &TLabel::Visible, &TLabel::SetVisible, true)
          .BoolProp("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap)
          .Event("OnClick", TypeInfo_TNotifyEvent(), Field<TLabel>(&TControl::OnClick))
          .Event("OnMouseDown", TypeInfo_TMouseEvent(), Field<TLabel>(&TControl::OnMouseDown))
          .Build();
  return info;
}

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 65, 17); }

void TLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl == Value) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

// ------------------------------------------------------------------ TButton

TClass TButton::StaticClass() {
  static TClass info = ClassBuilder<TButton>("TButton")
                           .EnumProp("Align", TypeInfo_TAlign(), &TButton::Align, &TButton::SetAlign, alNone)
                           .BoolProp("Cancel", &TButton::Cancel, &TButton::SetCancel)
                           .StrProp("Caption", &TButton::Caption, &TButton::SetCaption)
                           .BoolProp("Default", &TButton::Default, &TButton::SetDefault)
                           .BoolProp("Enabled", &TButton::Enabled, &TButton::SetEnabled, true)
                           .ObjProp<TFont>("Font", &TButton::Font, &TButton::SetFont)
                           .Stored([](const TButton* c) { return !c->ParentFont(); })
                           .IntProp("ModalResult", &TButton::ModalResult, &TButton::SetModalResult)
                           .BoolProp("ParentFont", &TButton::ParentFont, &TButton::SetParentFont, true)
                           .RefProp<TPopupMenu>("PopupMenu", &TButton::PopupMenu, &TButton::SetPopupMenu)
                           .BoolProp("ShowHint", &TButton::ShowHint, &TButton::SetShowHint)
                           .IntProp("TabOrder", &TButton::TabOrder, &TButton::SetTabOrder, -1)
                           .BoolProp("TabStop", &TButton::TabStop, &TButton::SetTabStop, true)
                           .BoolProp("Visible", &TButton::Visible, &TButton::SetVisible, true)
                           .Event("OnClick", TypeInfo_TNotifyEvent(), Field<TButton>(&TControl::OnClick))
                           .Event("OnEnter", TypeInfo_TNotifyEvent(), Field<TButton>(&TWinControl::OnEnter))
                           .Event("OnExit", TypeInfo_TNotifyEvent(), Field<TButton>(&TWinControl::OnExit))
                           .Event("OnMouseDown", TypeInfo_TMouseEvent(), Field<TButton>(&TControl::OnMouseDown))
                           .Build();
  return info;
}

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::Click() {
  if (TForm* form = GetParentForm()) form->SetModalResult(FModalResult);
  TControl::Click();
}

// ------------------------------------------------------------------ TCheckBox

const TTypeInfo* TypeInfo_TCheckBoxState() {
  static const TTypeInfo* t = DefineEnumType("TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"});
  return t;
}

TClass TCheckBox::StaticClass() {
  static TClass info =
      ClassBuilder<TCheckBox>("TCheckBox")
          .EnumProp("Align", TypeInfo_TAlign(), &TCheckBox::Align, &TCheckBox::SetAlign, alNone)
          .EnumProp("Alignment", TypeInfo_TAlignment(), &TCheckBox::Alignment, &TCheckBox::SetAlignment, taRightJustify)
          .BoolProp("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed)
          .StrProp("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption)
          .BoolProp("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked)
          .BoolProp("Enabled", &TCheckBox::Enabled, &TCheckBox::SetEnabled, true)
          .ObjProp<TFont>("Font", &TCheckBox::Font, &TCheckBox::SetFont)
          .Stored([](const TCheckBox* c) { return !c->ParentFont(); })
          .BoolProp("ParentFont", &TCheckBox::ParentFont, &TCheckBox::SetParentFont, true)
          .RefProp<TPopupMenu>("PopupMenu", &TCheckBox::PopupMenu, &TCheckBox::SetPopupMenu)
          .BoolProp("ShowHint", &TCheckBox::ShowHint, &TCheckBox::SetShowHint)
          .EnumProp("State", TypeInfo_TCheckBoxState(), &TCheckBox::State, &TCheckBox::SetState, cbUnchecked)
          .IntProp("TabOrder", &TCheckBox::TabOrder, &TCheckBox::SetTabOrder, -1)
          .BoolProp("TabStop", &TCheckBox::TabStop, &TCheckBox::SetTabStop, true)
          .BoolProp("Visible", &TCheckBox::Visible, &TCheckBox::SetVisible, true)
          .Event("OnClick", TypeInfo_TNotifyEvent(), Field<TCheckBox>(&TControl::OnClick))
          .Event("OnEnter", TypeInfo_TNotifyEvent(), Field<TCheckBox>(&TWinControl::OnEnter))
          .Event("OnExit", TypeInfo_TNotifyEvent(), Field<TCheckBox>(&TWinControl::OnExit))
          .Event("OnMouseDown", TypeInfo_TMouseEvent(), Field<TCheckBox>(&TControl::OnMouseDown))
          .Build();
  return info;
}

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
  SetAlignment(taRightJustify);
}

void TCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  if (!IsLoading()) Click();
}

void TCheckBox::Toggle() {
  switch (FState) {
  case cbUnchecked: SetState(cbChecked); break;
  case cbChecked: SetState(FAllowGrayed ? cbGrayed : cbUnchecked); break;
  case cbGrayed: SetState(cbUnchecked); break;
  }
}

// ------------------------------------------------------------------ TEdit

TClass TEdit::StaticClass() {
  static TClass info = ClassBuilder<TEdit>("TEdit")
                           .EnumProp("Align", TypeInfo_TAlign(), &TEdit::Align, &TEdit::SetAlign, alNone)
                           .EnumProp("Color", TypeInfo_TColor(), &TEdit::Color, &TEdit::SetColor, clWindow)
                           .BoolProp("Enabled", &TEdit::Enabled, &TEdit::SetEnabled, true)
                           .ObjProp<TFont>("Font", &TEdit::Font, &TEdit::SetFont)
                           .Stored([](const TEdit* c) { return !c->ParentFont(); })
                           .IntProp("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength)
                           .BoolProp("ParentFont", &TEdit::ParentFont, &TEdit::SetParentFont, true)
                           .StrProp("PasswordChar", &TEdit::PasswordChar, &TEdit::SetPasswordChar)
                           .RefProp<TPopupMenu>("PopupMenu", &TEdit::PopupMenu, &TEdit::SetPopupMenu)
                           .BoolProp("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly)
                           .BoolProp("ShowHint", &TEdit::ShowHint, &TEdit::SetShowHint)
                           .IntProp("TabOrder", &TEdit::TabOrder, &TEdit::SetTabOrder, -1)
                           .BoolProp("TabStop", &TEdit::TabStop, &TEdit::SetTabStop, true)
                           .StrProp("Text", &TEdit::Text, &TEdit::SetText)
                           .BoolProp("Visible", &TEdit::Visible, &TEdit::SetVisible, true)
                           .Event("OnChange", TypeInfo_TNotifyEvent(), &TEdit::OnChange)
                           .Event("OnClick", TypeInfo_TNotifyEvent(), Field<TEdit>(&TControl::OnClick))
                           .Event("OnEnter", TypeInfo_TNotifyEvent(), Field<TEdit>(&TWinControl::OnEnter))
                           .Event("OnExit", TypeInfo_TNotifyEvent(), Field<TEdit>(&TWinControl::OnExit))
                           .Event("OnMouseDown", TypeInfo_TMouseEvent(), Field<TEdit>(&TControl::OnMouseDown))
                           .Build();
  return info;
}

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

void TEdit::Change() {
  if (OnChange) OnChange(this);
}

void TEdit::SetTextValue(const String& Value) {
  if (FText == Value) return;
  FText = Value;
  if (!IsLoading()) Change();
}

// ------------------------------------------------------------------ TMemo

const TTypeInfo* TypeInfo_TScrollStyle() {
  static const TTypeInfo* t = DefineEnumType("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
  return t;
}

TClass TMemo::StaticClass() {
  static TClass info =
      ClassBuilder<TMemo>("TMemo")
          .EnumProp("Align", TypeInfo_TAlign(), &TMemo::Align, &TMemo::SetAlign, alNone)
          .EnumProp("Alignment", TypeInfo_TAlignment(), &TMemo::Alignment, &TMemo::SetAlignment, taLeftJustify)
          .EnumProp("Color", TypeInfo_TColor(), &TMemo::Color, &TMemo::SetColor, clWindow)
          .BoolProp("Enabled", &TMemo::Enabled, &TMemo::SetEnabled, true)
          .ObjProp<TFont>("Font", &TMemo::Font, &TMemo::SetFont)
          .Stored([](const TMemo* c) { return !c->ParentFont(); })
          .ObjProp<TStrings>("Lines", &TMemo::Lines, &TMemo::SetLines)
          .BoolProp("ParentFont", &TMemo::ParentFont, &TMemo::SetParentFont, true)
          .RefProp<TPopupMenu>("PopupMenu", &TMemo::PopupMenu, &TMemo::SetPopupMenu)
          .BoolProp("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly)
          .EnumProp("ScrollBars", TypeInfo_TScrollStyle(), &TMemo::ScrollBars, &TMemo::SetScrollBars, ssNone)
          .BoolProp("ShowHint", &TMemo::ShowHint, &TMemo::SetShowHint)
          .IntProp("TabOrder", &TMemo::TabOrder, &TMemo::SetTabOrder, -1)
          .BoolProp("TabStop", &TMemo::TabStop, &TMemo::SetTabStop, true)
          .BoolProp("Visible", &TMemo::Visible, &TMemo::SetVisible, true)
          .BoolProp("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns, true)
          .BoolProp("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs)
          .BoolProp("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap, true)
          .Event("OnChange", TypeInfo_TNotifyEvent(), &TMemo::OnChange)
          .Event("OnClick", TypeInfo_TNotifyEvent(), Field<TMemo>(&TControl::OnClick))
          .Event("OnEnter", TypeInfo_TNotifyEvent(), Field<TMemo>(&TWinControl::OnEnter))
          .Event("OnExit", TypeInfo_TNotifyEvent(), Field<TMemo>(&TWinControl::OnExit))
          .Event("OnMouseDown", TypeInfo_TMouseEvent(), Field<TMemo>(&TControl::OnMouseDown))
          .Build();
  return info;
}

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner), FLines(std::make_unique<TMemoLines>(this)) {
  SetBounds(0, 0, 185, 89);
  SetTabStop(true);
  SetColor(clWindow);
}

TMemo::~TMemo() = default;

TStrings* TMemo::Lines() const { return FLines.get(); }

void TMemo::SetLines(TStrings* Value) { FLines->Assign(Value); }

void TMemo::Change() {
  if (OnChange) OnChange(this);
}

void TMemo::LinesChanged() {
  if (!IsLoading()) Change();
}

String TMemo::GetText() const {
  String r;
  for (int i = 0; i < FLines->Count(); ++i) {
    if (i) r += '\n';
    r += FLines->Get(i);
  }
  return r;
}

void TMemo::SetTextValue(const String& Value) {
  if (GetText() == Value) return;
  FLines->BeginUpdate();
  try {
    FLines->Clear();
    if (!Value.empty()) FLines->Add(Value);
  } catch (...) {
    FLines->EndUpdate();
    throw;
  }
  FLines->EndUpdate();
}

// ------------------------------------------------------------------ TComboBox

const TTypeInfo* TypeInfo_TComboBoxStyle() {
  static const TTypeInfo* t = DefineEnumType(
      "TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"});
  return t;
}

TClass TComboBox::StaticClass() {
  static TClass info =
      ClassBuilder<TComboBox>("TComboBox")
          .EnumProp("Style", TypeInfo_TComboBoxStyle(), &TComboBox::Style, &TComboBox::SetStyle, csDropDown)
          .EnumProp("Align", TypeInfo_TAlign(), &TComboBox::Align, &TComboBox::SetAlign, alNone)
          .EnumProp("Color", TypeInfo_TColor(), &TComboBox::Color, &TComboBox::SetColor, clWindow)
          .IntProp("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount, 8)
          .BoolProp("Enabled", &TComboBox::Enabled, &TComboBox::SetEnabled, true)
          .ObjProp<TFont>("Font", &TComboBox::Font, &TComboBox::SetFont)
          .Stored([](const TComboBox* c) { return !c->ParentFont(); })
          .IntProp("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight, 13)
          .IntProp("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex, -1)
          .BoolProp("ParentFont", &TComboBox::ParentFont, &TComboBox::SetParentFont, true)
          .RefProp<TPopupMenu>("PopupMenu", &TComboBox::PopupMenu, &TComboBox::SetPopupMenu)
          .BoolProp("ShowHint", &TComboBox::ShowHint, &TComboBox::SetShowHint)
          .IntProp("TabOrder", &TComboBox::TabOrder, &TComboBox::SetTabOrder, -1)
          .BoolProp("TabStop", &TComboBox::TabStop, &TComboBox::SetTabStop, true)
          .StrProp("Text", &TComboBox::Text, &TComboBox::SetText)
          .BoolProp("Visible", &TComboBox::Visible, &TComboBox::SetVisible, true)
          .Event("OnChange", TypeInfo_TNotifyEvent(), &TComboBox::OnChange)
          .Event("OnClick", TypeInfo_TNotifyEvent(), Field<TComboBox>(&TControl::OnClick))
          .Event("OnEnter", TypeInfo_TNotifyEvent(), Field<TComboBox>(&TWinControl::OnEnter))
          .Event("OnExit", TypeInfo_TNotifyEvent(), Field<TComboBox>(&TWinControl::OnExit))
          .ObjProp<TStrings>("Items", &TComboBox::Items, &TComboBox::SetItems)
          .Build();
  return info;
}

TComboBox::TComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListItems>([this] { ItemsCleared(); })) {
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

TComboBox::~TComboBox() = default;

TStrings* TComboBox::Items() const { return FItems.get(); }

void TComboBox::SetItems(TStrings* Value) { FItems->Assign(Value); }

int TComboBox::ItemIndex() const { return FPendingItemIndex > -2 ? FPendingItemIndex : FItems->FirstSelected(); }

void TComboBox::SetItemIndex(int Value) {
  if (IsLoading()) {
    FPendingItemIndex = Value;
    return;
  }
  ApplyItemIndex(Value);
}

void TComboBox::ApplyItemIndex(int Value) {
  FPendingItemIndex = -2;
  if (Value < -1 || Value >= FItems->Count())
    throw EListError("Item index out of bounds (" + std::to_string(Value) + ") in " + Name());
  FItems->SelectOnly(Value);
  FText = Value < 0 ? String() : FItems->Get(Value);
}

void TComboBox::SetTextValue(const String& Value) {
  if (Editable()) {
    FText = Value;
    int match = -1;
    for (int i = 0; i < FItems->Count(); ++i)
      if (FItems->Get(i) == Value) {
        match = i;
        break;
      }
    FItems->SelectOnly(match);
    return;
  }
  int i = FItems->IndexOf(Value);
  if (i >= 0) SetItemIndex(i);
}

void TComboBox::ItemsCleared() { FText.clear(); }

void TComboBox::Loaded() {
  TWinControl::Loaded();
  if (FPendingItemIndex > -2) {
    int i = FPendingItemIndex;
    FPendingItemIndex = -2;
    if (i < FItems->Count()) ApplyItemIndex(i);
  }
}

void TComboBox::Change() {
  if (OnChange) OnChange(this);
}

// ------------------------------------------------------------------ TListBox

TClass TListBox::StaticClass() {
  static TClass info = ClassBuilder<TListBox>("TListBox")
                           .EnumProp("Align", TypeInfo_TAlign(), &TListBox::Align, &TListBox::SetAlign, alNone)
                           .EnumProp("Color", TypeInfo_TColor(), &TListBox::Color, &TListBox::SetColor, clWindow)
                           .BoolProp("Enabled", &TListBox::Enabled, &TListBox::SetEnabled, true)
                           .BoolProp("ExtendedSelect", &TListBox::ExtendedSelect, &TListBox::SetExtendedSelect, true)
                           .ObjProp<TFont>("Font", &TListBox::Font, &TListBox::SetFont)
                           .Stored([](const TListBox* c) { return !c->ParentFont(); })
                           .IntProp("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight, 16)
                           .ObjProp<TStrings>("Items", &TListBox::Items, &TListBox::SetItems)
                           .BoolProp("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect)
                           .BoolProp("ParentFont", &TListBox::ParentFont, &TListBox::SetParentFont, true)
                           .RefProp<TPopupMenu>("PopupMenu", &TListBox::PopupMenu, &TListBox::SetPopupMenu)
                           .BoolProp("ShowHint", &TListBox::ShowHint, &TListBox::SetShowHint)
                           .IntProp("TabOrder", &TListBox::TabOrder, &TListBox::SetTabOrder, -1)
                           .BoolProp("TabStop", &TListBox::TabStop, &TListBox::SetTabStop, true)
                           .BoolProp("Visible", &TListBox::Visible, &TListBox::SetVisible, true)
                           .Event("OnClick", TypeInfo_TNotifyEvent(), Field<TListBox>(&TControl::OnClick))
                           .Event("OnEnter", TypeInfo_TNotifyEvent(), Field<TListBox>(&TWinControl::OnEnter))
                           .Event("OnExit", TypeInfo_TNotifyEvent(), Field<TListBox>(&TWinControl::OnExit))
                           .Event("OnMouseDown", TypeInfo_TMouseEvent(), Field<TListBox>(&TControl::OnMouseDown))
                           .Build();
  return info;
}

TListBox::TListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListItems>([this] { FItemIndex = -1; })) {
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
}

TListBox::~TListBox() = default;

TStrings* TListBox::Items() const { return FItems.get(); }

void TListBox::SetItems(TStrings* Value) { FItems->Assign(Value); }

void TListBox::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  if (!Value) FItems->SelectOnly(FItems->FirstSelected());
}

bool TListBox::Selected(int Index) const { return FItems->Selected(Index); }

void TListBox::SetSelected(int Index, bool Value) {
  if (!FMultiSelect) {
    if (Value)
      FItems->SelectOnly(Index);
    else
      FItems->SetSelected(Index, false);
    return;
  }
  FItems->SetSelected(Index, Value);
}

int TListBox::ItemIndex() const {
  if (!FMultiSelect) return FItems->FirstSelected();
  return FItemIndex < FItems->Count() ? FItemIndex : -1;
}

void TListBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= FItems->Count())
    throw EListError("Item index out of bounds (" + std::to_string(Value) + ") in " + Name());
  if (FMultiSelect)
    FItemIndex = Value;
  else
    FItems->SelectOnly(Value);
}

int TListBox::SelCount() const { return FMultiSelect ? FItems->SelectedCount() : -1; }

void TListBox::ClearSelection() {
  for (int i = 0; i < FItems->Count(); ++i) FItems->SetSelected(i, false);
}

void TListBox::SelectAll() {
  if (!FMultiSelect) return;
  for (int i = 0; i < FItems->Count(); ++i) FItems->SetSelected(i, true);
}

intptr_t TListBox::Perform(unsigned Msg, uintptr_t WParam, intptr_t LParam) {
  switch (Msg) {
  case LB_SETHORIZONTALEXTENT: FHorizontalExtent = static_cast<int>(WParam); return 0;
  case LB_GETHORIZONTALEXTENT: return FHorizontalExtent;
  default: return TWinControl::Perform(Msg, WParam, LParam);
  }
}

// ------------------------------------------------------------------ TGroupBox

TClass TGroupBox::StaticClass() {
  static TClass info = ClassBuilder<TGroupBox>("TGroupBox")
                           .EnumProp("Align", TypeInfo_TAlign(), &TGroupBox::Align, &TGroupBox::SetAlign, alNone)
                           .StrProp("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption)
                           .EnumProp("Color", TypeInfo_TColor(), &TGroupBox::Color, &TGroupBox::SetColor, clBtnFace)
                           .BoolProp("Enabled", &TGroupBox::Enabled, &TGroupBox::SetEnabled, true)
                           .ObjProp<TFont>("Font", &TGroupBox::Font, &TGroupBox::SetFont)
                           .Stored([](const TGroupBox* c) { return !c->ParentFont(); })
                           .BoolProp("ParentFont", &TGroupBox::ParentFont, &TGroupBox::SetParentFont, true)
                           .RefProp<TPopupMenu>("PopupMenu", &TGroupBox::PopupMenu, &TGroupBox::SetPopupMenu)
                           .IntProp("TabOrder", &TGroupBox::TabOrder, &TGroupBox::SetTabOrder, -1)
                           .BoolProp("TabStop", &TGroupBox::TabStop, &TGroupBox::SetTabStop)
                           .BoolProp("Visible", &TGroupBox::Visible, &TGroupBox::SetVisible, true)
                           .Event("OnClick", TypeInfo_TNotifyEvent(), Field<TGroupBox>(&TControl::OnClick))
                           .Event("OnEnter", TypeInfo_TNotifyEvent(), Field<TGroupBox>(&TWinControl::OnEnter))
                           .Event("OnExit", TypeInfo_TNotifyEvent(), Field<TGroupBox>(&TWinControl::OnExit))
                           .Event("OnMouseDown", TypeInfo_TMouseEvent(), Field<TGroupBox>(&TControl::OnMouseDown))
                           .Build();
  return info;
}

}  // namespace vcl
