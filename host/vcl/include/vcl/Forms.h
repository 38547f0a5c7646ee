// Forms, the application object, the screen, and forms built from their descriptions.
//
// A form class registers its description (a text form file compiled into its binary) and its
// published methods; CreateForm<T> builds one: it reads the description into the new form
// (controls created, properties set, each event bound to the method it names), then runs
// OnCreate. OnDestroy runs before the form's own fields and controls go.
#pragma once

#include "vcl/Controls.h"

#include <memory>
#include <type_traits>

namespace vcl {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = rtl::TSet<TBorderIcon>;
// clang-format off
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
  poMainFormCenter, poOwnerFormCenter
};
// clang-format on
const rtl::TTypeInfo* TypeInfo_TFormBorderStyle();
const rtl::TTypeInfo* TypeInfo_TBorderIcons();
const rtl::TTypeInfo* TypeInfo_TPosition();
const rtl::TTypeInfo* TypeInfo_TCloseQueryEvent();

using TCloseQueryEvent = rtl::TEvent<void(rtl::TObject* Sender, bool& CanClose)>;

// ------------------------------------------------------------------ TForm

class TForm : public TWinControl {
  RTL_CLASS(TForm, TWinControl)

  // A form with no controls. A derived form class is made with CreateForm<T> (or
  // CreateFormNew<T>), so that OnCreate and OnDestroy see the whole object; a plain TForm runs
  // OnDestroy from its destructor.
  explicit TForm(rtl::TComponent* AOwner);
  ~TForm() override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value) { FBorderStyle = Value; }
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value) { FBorderIcons = Value; }
  // No frame is modelled: the client area is the whole form.
  int ClientWidth() const { return Width(); }
  void SetClientWidth(int Value) { SetWidth(Value); }
  int ClientHeight() const { return Height(); }
  void SetClientHeight(int Value) { SetHeight(Value); }
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  bool Scaled() const { return FScaled; }
  void SetScaled(bool Value) { FScaled = Value; }
  bool OldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
  int TextHeight() const { return FTextHeight; }
  void SetTextHeight(int Value) { FTextHeight = Value; }
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }

  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }

  // The control that has (or, before the form is shown, will get) the focus.
  TWinControl* ActiveControl() const { return FActiveControl; }
  // Before the form is shown: the control that gets the focus first. On a shown form: moves
  // the focus there (FocusControl).
  void SetActiveControl(TWinControl* Value);
  // Moves the focus: OnExit of the control that had it, then OnEnter of Control. Raises
  // EInvalidOperation when Control cannot take the focus.
  void FocusControl(TWinControl* Control);

  // Shows the form modally through the installed user interface: resets ModalResult, gives
  // the initial focus, runs until a close attempt passes OnCloseQuery, and returns the modal
  // result.
  int ShowModal();
  // The window's close box: a modal form closes with mrCancel (through OnCloseQuery).
  void Close();
  // Runs OnCloseQuery; true when closing is allowed.
  virtual bool CloseQuery();
  // The modal loop's test after each user action: when ModalResult is set, runs CloseQuery; a
  // veto clears ModalResult and the form stays open. True when the form has closed.
  bool CheckModalClose();
  bool Showing() const { return FShowing; }
  bool ModalEnded() const { return FModalEnded; }

  // Reads a form description into this form: creates its controls and sets the properties it
  // names, binding each event to the method of this form's class that it names. An error
  // (syntax, unknown class, property or method) names the file, the line and what is wrong.
  void ReadDescription(const String& Text, const String& FileName);
  // Runs OnCreate once; CreateForm calls it after reading the description.
  void DoCreate();
  // Runs OnDestroy once; CreateForm's form runs it before any of its fields go.
  void DoDestroy();

  void GetChildren(const std::function<void(rtl::TComponent*)>& Proc, rtl::TComponent* Root) override;
  void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
  void Loaded() override;
  String KindName() const override { return "form"; }
  // True while ReadDescription runs.
  bool Reading() const { return FReading; }

  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;

private:
  friend class TControl;
  TWinControl* FirstFocusable(TWinControl* Container) const;
  // A control of this form is going: it loses the focus without events.
  void ControlDestroyed(TControl* Control);

  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TPosition FPosition = poDefaultPosOnly;
  bool FScaled = true;
  bool FOldCreateOrder = false;
  int FPixelsPerInch = 96;
  int FTextHeight = 13;
  bool FKeyPreview = false;
  TModalResult FModalResult = mrNone;
  TWinControl* FActiveControl = nullptr;
  bool FShowing = false;
  bool FModalEnded = false;
  bool FReading = false;
  bool FCreated = false;
  bool FDestroyed = false;
};

// ------------------------------------------------------------------ descriptions

struct TFormDescription {
  const char* Text = nullptr;
  String FileName;  // for error messages: "KVUpdSEd.dfm"
};

// Registers the description of a form class (typically from a static object in the form's
// source file, with text embedded by korv_embed_text).
void RegisterFormDescription(rtl::TClass FormClass, const char* Text, const String& FileName);
// The description of FormClass or of its nearest ancestor that has one; nullptr when none.
const TFormDescription* FindFormDescription(rtl::TClass FormClass);

void UnregisterFormDescription(rtl::TClass FormClass);

// Registers a description for as long as the object lives: a static one in a package is
// unregistered when the package is unloaded, so no entry outlives the class it names.
struct TFormDescriptionRegistration {
  TFormDescriptionRegistration(rtl::TClass (*StaticClass)(), const char* Text, const char* FileName)
      : FClass(StaticClass()) {
    RegisterFormDescription(FClass, Text, FileName);
  }
  ~TFormDescriptionRegistration() { UnregisterFormDescription(FClass); }
  TFormDescriptionRegistration(const TFormDescriptionRegistration&) = delete;
  TFormDescriptionRegistration& operator=(const TFormDescriptionRegistration&) = delete;

private:
  rtl::TClass FClass;
};

namespace detail {
// The class made by CreateForm: runs OnCreate after T's constructor has finished and OnDestroy
// before T's destructor starts, so handlers see the whole object.
template <class T>
class TFormInstance final : public T {
public:
  TFormInstance(rtl::TComponent* AOwner, bool ReadIt) : T(AOwner) {
    if (ReadIt) {
      const TFormDescription* d = FindFormDescription(T::StaticClass());
      if (!d) throw rtl::EClassNotFound("No form description is registered for " + T::StaticClass()->Name);
      this->ReadDescription(d->Text, d->FileName);
    }
    this->DoCreate();
  }
  ~TFormInstance() override { this->DoDestroy(); }
};
}  // namespace detail

// Creates a form of class T owned by AOwner (usually Application) from T's registered
// description. The returned pointer frees the form on every path (deleting an owned component
// takes it out of its owner); release() it to leave the form to its owner.
template <class T>
std::unique_ptr<T> CreateForm(rtl::TComponent* AOwner) {
  static_assert(std::is_base_of_v<TForm, T>);
  return std::unique_ptr<T>(new detail::TFormInstance<T>(AOwner, true));
}

// The same for a form class built in code, without a description.
template <class T>
std::unique_ptr<T> CreateFormNew(rtl::TComponent* AOwner) {
  static_assert(std::is_base_of_v<TForm, T>);
  return std::unique_ptr<T>(new detail::TFormInstance<T>(AOwner, false));
}

// ------------------------------------------------------------------ application and screen

// The application object: owner of the dialogs the program creates.
class TApplication : public rtl::TComponent {
  RTL_CLASS(TApplication, rtl::TComponent)
  explicit TApplication(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) {}

  const String& Title() const { return FTitle; }
  void SetTitle(const String& Value) { FTitle = Value; }
  // The folder of the document being worked on (the designer sets the open module's); empty when
  // there is none. An open dialog given no InitialDir starts there and gives a file chosen under
  // it back relative to it, so that the names the document keeps stay true when it moves.
  const String& DocumentFolder() const { return FDocumentFolder; }
  void SetDocumentFolder(const String& Value) { FDocumentFolder = Value; }

private:
  String FTitle = "Korvane Designer";
  String FDocumentFolder;
};

class TScreen : public rtl::TComponent {
  RTL_CLASS(TScreen, rtl::TComponent)
  explicit TScreen(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) {}

  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }
  // The modal form on top (the one the user acts on); nil when none is shown.
  TForm* ActiveForm() const { return FModalForms.empty() ? nullptr : FModalForms.back(); }
  int ModalFormCount() const { return static_cast<int>(FModalForms.size()); }

private:
  friend class TForm;
  TCursor FCursor = crDefault;
  std::vector<TForm*> FModalForms;
};

extern TApplication* Application;
extern TScreen* Screen;

// Sets the screen cursor for a scope and restores the one before on every path.
class TCursorGuard {
public:
  explicit TCursorGuard(TCursor Cursor);
  ~TCursorGuard();
  TCursorGuard(const TCursorGuard&) = delete;
  TCursorGuard& operator=(const TCursorGuard&) = delete;

private:
  TCursor FSaved;
};

}  // namespace vcl
