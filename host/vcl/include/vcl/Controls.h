// TControl and TWinControl: the model of a control, its place among its parent's children, its
// font, focus order, events and messages. A control is owned by its form (the form file's root)
// and parented by the container it sits in; parenting is a plain pointer both ways.
#pragma once

#include "vcl/Graphics.h"

#include <cstdint>
#include <vector>

namespace vcl {

class TWinControl;
class TForm;
class TPopupMenu;

class EInvalidOperation : public rtl::Exception {
public:
  using Exception::Exception;
};

// ------------------------------------------------------------------ modal results

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
                       mrAll = 8, mrNoToAll = 9, mrYesToAll = 10, mrClose = 11;

// ------------------------------------------------------------------ enumerations

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = rtl::TSet<TShiftStateItem>;

const rtl::TTypeInfo* TypeInfo_TAlign();
const rtl::TTypeInfo* TypeInfo_TAlignment();
const rtl::TTypeInfo* TypeInfo_TMouseButton();
const rtl::TTypeInfo* TypeInfo_TShiftState();
const rtl::TTypeInfo* TypeInfo_TNotifyEvent();
const rtl::TTypeInfo* TypeInfo_TMouseEvent();

using TNotifyEvent = rtl::TNotifyEvent;
using TMouseEvent = rtl::TEvent<void(rtl::TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

// The text of a caption without its mnemonic marks: "&Generate SQL" gives "Generate SQL",
// "&&" gives "&".
String StripHotkey(const String& Caption);

// ------------------------------------------------------------------ TControl

class TControl : public rtl::TComponent {
  RTL_CLASS(TControl, rtl::TComponent)

  explicit TControl(rtl::TComponent* AOwner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  // The form this control sits on (following parents), nil when it sits on none.
  TForm* GetParentForm() const;

  // Streaming: controls are nested under their parent in form files.
  bool HasParent() const override { return true; }
  rtl::TComponent* GetParentComponent() const override;
  void SetParentComponent(rtl::TComponent* Value) override;

  int Left() const { return FLeft; }
  void SetLeft(int Value) { FLeft = Value; }
  int Top() const { return FTop; }
  void SetTop(int Value) { FTop = Value; }
  int Width() const { return FWidth; }
  virtual void SetWidth(int Value) { FWidth = Value; }
  int Height() const { return FHeight; }
  virtual void SetHeight(int Value) { FHeight = Value; }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

  // Caption and Text are one value, as on the platform; which one a class publishes differs.
  String Caption() const { return GetText(); }
  void SetCaption(const String& Value) { SetText(Value); }
  String Text() const { return GetText(); }
  void SetText(const String& Value) { SetTextValue(Value); }

  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value) { FEnabled = Value; }
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value) { FVisible = Value; }
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  // While true the control shows its parent's font; changing Font clears it.
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { FAlignment = Value; }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value) { FShowHint = Value; }
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value) { FAlign = Value; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);

  // Measures text in the control's font (list boxes and labels use it).
  TCanvas* Canvas() const { return FCanvas.get(); }

  // Whether the control and all its parents are visible, and it is on the shown page of every
  // page control it sits in.
  bool IsShowing() const;
  // Whether the control and all its parents are enabled.
  bool IsEnabled() const;

  // The message call of the platform (SendMessage, Perform); 0 for a message the control
  // does not handle.
  virtual intptr_t Perform(unsigned Msg, uintptr_t WParam, intptr_t LParam);

  // What kind of control this is, as the text user interface names it ("button").
  virtual String KindName() const { return "control"; }

  // Fires OnClick (user gestures and the platform's code-driven clicks).
  virtual void Click();
  // Fires OnMouseDown.
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);

  void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;

protected:
  virtual String GetText() const { return FText; }
  virtual void SetTextValue(const String& Value) { FText = Value; }
  // True while the form file that holds this control is being read: the platform fires no
  // events then.
  bool IsLoading() const;
  // Called when the parent's font changed or the control got a parent.
  virtual void ParentFontChanged();
  virtual void FontChanged();

  String FText;

private:
  friend class TWinControl;
  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FEnabled = true;
  bool FVisible = true;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  bool FAdoptingFont = false;
  TColor FColor = clBtnFace;
  bool FParentColor = false;
  TAlignment FAlignment = taLeftJustify;
  TCursor FCursor = crDefault;
  String FHint;
  bool FShowHint = false;
  TAlign FAlign = alNone;
  TPopupMenu* FPopupMenu = nullptr;
  std::unique_ptr<TCanvas> FCanvas;
};

// A control without a window of its own (labels, bevels, images): it never takes the focus.
class TGraphicControl : public TControl {
  RTL_CLASS(TGraphicControl, TControl)
  explicit TGraphicControl(rtl::TComponent* AOwner) : TControl(AOwner) {}
};

// ------------------------------------------------------------------ TWinControl

class TWinControl : public TControl {
  RTL_CLASS(TWinControl, TControl)

  explicit TWinControl(rtl::TComponent* AOwner);
  ~TWinControl() override;

  // Children: controls without a window first, then windowed ones, each in the order they got
  // this parent (the order form files store them in).
  int ControlCount() const;
  TControl* Controls(int Index) const;
  bool ContainsControl(const TControl* Control) const;

  // Position among the parent's windowed children in focus order; -1 without a parent. Setting
  // it moves the control there and renumbers its siblings, as the platform does; while a form
  // file is read the value is kept and put in order once the form is loaded.
  int TabOrder() const;
  void SetTabOrder(int Value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }
  // The windowed children in focus order.
  std::vector<TWinControl*> TabList() const;
  // Puts kept tab orders in effect, for this control's children and below.
  void FixupTabList();

  // Whether a click or a Tab can give this control the focus: a kind that takes it, showing and
  // enabled with all its parents.
  bool CanFocus() const;
  // Whether this kind of control takes the focus at all (buttons, edits, lists ... yes; panels,
  // group boxes, pages no).
  virtual bool AcceptsFocus() const { return false; }
  bool Focused() const;
  // Moves the focus here (OnExit of the control that had it, then OnEnter) on a shown form; on
  // a form not shown it makes this the control that will have the focus.
  void SetFocus();
  // The handle that SendMessage takes: the control itself.
  TWinControl* Handle() { return this; }

  void GetChildren(const std::function<void(rtl::TComponent*)>& Proc, rtl::TComponent* Root) override;

  virtual void DoEnter();
  virtual void DoExit();

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

protected:
  void ParentFontChanged() override;
  void FontChanged() override;

private:
  friend class TControl;
  void InsertControl(TControl* Control);
  void RemoveControl(TControl* Control);
  void RenumberTabOrders();

  std::vector<TControl*> FControls;  // without a window
  std::vector<TWinControl*> FWinControls;
  int FTabOrder = -1;
  bool FTabStop = false;
};

}  // namespace vcl
