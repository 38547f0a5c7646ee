// The gesture driver: acts on a shown form as a user does.
//
// A click, typing, a choice or a tick first moves the focus to the control (OnExit of the
// control that had it, then OnEnter), then does what the user did, firing the events the
// platform fires for it. After every gesture a close attempt is checked (a button with a modal
// result, Enter, Esc, the close box): OnCloseQuery runs, and a veto keeps the form open.
//
// Controls are named by component name (letter case ignored); items and pages by caption
// without mnemonics (exact, else ignoring letter case), else by index when the text is a
// number. A gesture on a control that is disabled, not visible or on a hidden page, an unknown
// name, or an item that is not there raises EGestureError saying so and naming the control.
#pragma once

#include "vcl/Forms.h"

#include <vector>

namespace vcl {

class TMenuItem;
class TButton;

class EGestureError : public rtl::Exception {
public:
  using Exception::Exception;
};

class TGestureDriver {
public:
  explicit TGestureDriver(TForm* Form) : FForm(Form) {}

  TForm* Form() const { return FForm; }
  // Whether the form's modal loop has ended.
  bool Closed() const { return FForm->ModalEnded(); }

  // The control of that name on the form.
  TControl* FindControl(const String& Name) const;

  // Clicks a control: the focus moves to it first (when it takes the focus), then a button
  // clicks (its modal result closes the form through OnCloseQuery), a check box toggles, any
  // other control fires OnClick.
  void Click(const String& Control);
  // Types Text into an edit, a memo (line feeds or "\n" written in commands separate lines)
  // or an editable combo box, replacing what it held; fires OnChange.
  void Type(const String& Control, const String& Text);
  // Chooses an item of a combo box (OnChange), of a radio group (OnClick, when it changes), of
  // a single-selection list box (OnClick), or a page of a page control (OnChange).
  void Choose(const String& Control, const String& Item);
  void ChooseIndex(const String& Control, int Index);
  // Makes exactly these items of a list box selected (OnClick).
  void Pick(const String& Control, const std::vector<String>& Items);
  // Ticks or clears a check box (OnClick when that changes its state).
  void Check(const String& Control, bool Checked);
  // Opens the control's popup menu on it (PopupComponent becomes the control) and picks an
  // item (its OnClick). Item paths of nested items are separated by "/".
  void Menu(const String& Control, const String& Item);
  // Shows a page of a page control (OnChange).
  void Page(const String& Control, const String& Page);
  // Moves the focus to a control.
  void Focus(const String& Control);
  // Enter: a focused button clicks; in a memo that wants returns a new line is typed;
  // otherwise the default button clicks.
  void Enter();
  // Esc: the cancel button clicks.
  void Escape();
  // The window's close box.
  void CloseBox();
  // A mouse button goes down on a control (the left one focuses a control that takes the
  // focus); fires OnMouseDown.
  void MouseDown(const String& Control, TMouseButton Button, TShiftState Shift = {}, int X = 0, int Y = 0);

  // The same on control objects.
  void Click(TControl* Control);
  void Focus(TWinControl* Control);

  // Raises EGestureError unless the control is visible (on a shown page) and enabled.
  static void CheckUsable(const TControl* Control);
  // The index of Item among Captions (mnemonics ignored; exact, else ignoring letter case,
  // else a number); -1 when none.
  static int FindItem(const std::vector<String>& Captions, const String& Item);

private:
  void BeginGesture() const;
  void EndGesture();
  void MoveFocus(TControl* Control);
  void PressButton(TButton* Button);
  template <class T>
  T* Find(const String& Name, const char* Kind) const;

  TForm* FForm;
};

}  // namespace vcl
