// The standard controls: label, button, check box, edit, memo, combo box, list box, group box.
//
// Events follow the platform: code that sets a combo box's text or item index, or a list box's
// selection, fires nothing; code that changes an edit's or a memo's text fires OnChange, and
// code that changes a check box's state fires OnClick, as the platform's controls do. Nothing
// fires while the form file is read.
#pragma once

#include "vcl/Controls.h"
#include "rtl/Strings.h"

namespace vcl {

class TListItems;
class TMemoLines;

// List-box messages of the platform.
constexpr unsigned LB_GETHORIZONTALEXTENT = 0x0193;
constexpr unsigned LB_SETHORIZONTALEXTENT = 0x0194;

// ------------------------------------------------------------------ TLabel

class TLabel : public TGraphicControl {
  RTL_CLASS(TLabel, TGraphicControl)
  explicit TLabel(rtl::TComponent* AOwner);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value) { FAutoSize = Value; }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { FWordWrap = Value; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { FTransparent = Value; }
  // The control that the label's mnemonic gives the focus to.
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);

  String KindName() const override { return "label"; }
  void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

private:
  bool FAutoSize = true;
  bool FWordWrap = false;
  bool FTransparent = false;
  TWinControl* FFocusControl = nullptr;
};

// ------------------------------------------------------------------ TButton

class TButton : public TWinControl {
  RTL_CLASS(TButton, TWinControl)
  explicit TButton(rtl::TComponent* AOwner);

  // Enter clicks the default button, Esc the cancel button.
  bool Default() const { return FDefault; }
  void SetDefault(bool Value) { FDefault = Value; }
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }

  // Sets the form's modal result to the button's, then fires OnClick.
  void Click() override;
  bool AcceptsFocus() const override { return true; }
  String KindName() const override { return "button"; }

private:
  bool FDefault = false;
  bool FCancel = false;
  TModalResult FModalResult = mrNone;
};

// ------------------------------------------------------------------ TCheckBox

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
const rtl::TTypeInfo* TypeInfo_TCheckBoxState();

class TCheckBox : public TWinControl {
  RTL_CLASS(TCheckBox, TWinControl)
  explicit TCheckBox(rtl::TComponent* AOwner);

  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return FState; }
  // Fires OnClick when the state changes (not while the form file is read).
  void SetState(TCheckBoxState Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  // What a click does: unchecked, checked, grayed (when allowed), round again.
  void Toggle();

  bool AcceptsFocus() const override { return true; }
  String KindName() const override { return "check box"; }

private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
};

// ------------------------------------------------------------------ TEdit

class TEdit : public TWinControl {
  RTL_CLASS(TEdit, TWinControl)
  explicit TEdit(rtl::TComponent* AOwner);

  // The character shown in place of each typed one; "" (#0) shows the text.
  const String& PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(const String& Value) { FPasswordChar = Value; }
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value) { FMaxLength = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }

  virtual void Change();
  bool AcceptsFocus() const override { return true; }
  String KindName() const override { return "edit"; }

  TNotifyEvent OnChange;

protected:
  void SetTextValue(const String& Value) override;

private:
  String FPasswordChar;
  int FMaxLength = 0;
  bool FReadOnly = false;
};

// ------------------------------------------------------------------ TMemo

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
const rtl::TTypeInfo* TypeInfo_TScrollStyle();

class TMemo : public TWinControl {
  RTL_CLASS(TMemo, TWinControl)
  explicit TMemo(rtl::TComponent* AOwner);
  ~TMemo() override;

  // The lines. A string added or put that holds line breaks becomes several lines, as in the
  // platform's multi-line edit.
  rtl::TStrings* Lines() const;
  void SetLines(rtl::TStrings* Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value) { FScrollBars = Value; }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { FWordWrap = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }

  virtual void Change();
  bool AcceptsFocus() const override { return true; }
  String KindName() const override { return "memo"; }

  TNotifyEvent OnChange;

protected:
  // The lines joined by line feeds, without a final one.
  String GetText() const override;
  void SetTextValue(const String& Value) override;

private:
  friend class TMemoLines;
  void LinesChanged();

  std::unique_ptr<TMemoLines> FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FReadOnly = false;
  bool FWantReturns = true;
  bool FWantTabs = false;
};

// ------------------------------------------------------------------ TComboBox

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
const rtl::TTypeInfo* TypeInfo_TComboBoxStyle();

class TComboBox : public TWinControl {
  RTL_CLASS(TComboBox, TWinControl)
  explicit TComboBox(rtl::TComponent* AOwner);
  ~TComboBox() override;

  // csDropDown and csSimple let the user type; csDropDownList offers the items only.
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value) { FStyle = Value; }
  bool Editable() const { return FStyle == csDropDown || FStyle == csSimple; }
  // Clearing the items clears the text too, as the platform's combo box does.
  rtl::TStrings* Items() const;
  void SetItems(rtl::TStrings* Value);
  int ItemIndex() const;
  // Selects an item and puts it into the text (-1: none, and an empty text). No OnChange.
  void SetItemIndex(int Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) { FDropDownCount = Value; }
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value) { FItemHeight = Value; }

  virtual void Change();
  bool AcceptsFocus() const override { return true; }
  String KindName() const override { return "combo box"; }
  // Puts an item index read before the items into effect.
  void Loaded() override;

  TNotifyEvent OnChange;

protected:
  // An editable box takes any text and selects the item spelled exactly so, if any; a
  // drop-down list selects the item of that text (letter case ignored) or keeps its text.
  // No OnChange.
  void SetTextValue(const String& Value) override;

private:
  friend class TListItems;
  void ItemsCleared();
  void ApplyItemIndex(int Value);

  std::unique_ptr<TListItems> FItems;
  int FPendingItemIndex = -2;  // read from the form file, waiting for the items
  TComboBoxStyle FStyle = csDropDown;
  int FDropDownCount = 8;
  int FItemHeight = 13;
};

// ------------------------------------------------------------------ TListBox

class TListBox : public TWinControl {
  RTL_CLASS(TListBox, TWinControl)
  explicit TListBox(rtl::TComponent* AOwner);
  ~TListBox() override;

  rtl::TStrings* Items() const;
  void SetItems(rtl::TStrings* Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value) { FExtendedSelect = Value; }
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value) { FItemHeight = Value; }

  // Selection flags; none of these setters fires an event. In a single-selection list,
  // selecting an item deselects the others.
  bool Selected(int Index) const;
  void SetSelected(int Index, bool Value);
  // Single selection: the selected item (-1: none). Multiple selection: the item with the
  // focus rectangle, which need not be selected.
  int ItemIndex() const;
  void SetItemIndex(int Value);
  // Number of selected items; -1 in a single-selection list, as on the platform.
  int SelCount() const;
  void ClearSelection();
  void SelectAll();

  // Width in pixels the list scrolls horizontally over; set by LB_SETHORIZONTALEXTENT.
  int HorizontalExtent() const { return FHorizontalExtent; }

  intptr_t Perform(unsigned Msg, uintptr_t WParam, intptr_t LParam) override;
  bool AcceptsFocus() const override { return true; }
  String KindName() const override { return "list box"; }

private:
  std::unique_ptr<TListItems> FItems;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  int FItemIndex = -1;  // multiple selection: the focus item
  int FItemHeight = 16;
  int FHorizontalExtent = 0;
};

// ------------------------------------------------------------------ TGroupBox

class TGroupBox : public TWinControl {
  RTL_CLASS(TGroupBox, TWinControl)
  explicit TGroupBox(rtl::TComponent* AOwner) : TWinControl(AOwner) {}
  String KindName() const override { return "group box"; }
};

}  // namespace vcl
