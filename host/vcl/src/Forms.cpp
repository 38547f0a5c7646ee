#include "vcl/Forms.h"

#include "vcl/UserInterface.h"

#include <algorithm>
#include <map>

namespace vcl {

using namespace rtl;

const TTypeInfo* TypeInfo_TFormBorderStyle() {
  static const TTypeInfo* t = DefineEnumType(
      "TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
  return t;
}
const TTypeInfo* TypeInfo_TBorderIcons() {
  static const TTypeInfo* t = DefineSetType(
      "TBorderIcons", DefineEnumType("TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}));
  return t;
}
const TTypeInfo* TypeInfo_TPosition() {
  static const TTypeInfo* t =
      DefineEnumType("TPosition", {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                                   "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"});
  return t;
}
const TTypeInfo* TypeInfo_TCloseQueryEvent() {
  static const TTypeInfo* t = DefineMethodType("TCloseQueryEvent");
  return t;
}

// ------------------------------------------------------------------ TForm

TClass TForm::StaticClass() {
  constexpr uint64_t defaultIcons = (1u << biSystemMenu) | (1u << biMinimize) | (1u << biMaximize);
  static TClass info =
      ClassBuilder<TForm>("TForm")
          .IntProp("Width", &TForm::Width, &TForm::SetWidth)
          .Stored([](const TForm*) { return false; })  // ClientWidth carries it
          .IntProp("Height", &TForm::Height, &TForm::SetHeight)
          .Stored([](const TForm*) { return false; })
          .RefProp<TWinControl>("ActiveControl", &TForm::ActiveControl, &TForm::SetActiveControl)
          .SetProp("BorderIcons", TypeInfo_TBorderIcons(), &TForm::BorderIcons, &TForm::SetBorderIcons, defaultIcons)
          .EnumProp("BorderStyle", TypeInfo_TFormBorderStyle(), &TForm::BorderStyle, &TForm::SetBorderStyle, bsSizeable)
          .StrProp("Caption", &TForm::Caption, &TForm::SetCaption)
          .IntProp("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
          .Stored([](const TForm*) { return true; })
          .IntProp("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
          .Stored([](const TForm*) { return true; })
          .EnumProp("Color", TypeInfo_TColor(), &TForm::Color, &TForm::SetColor, clBtnFace)
          .ObjProp<TFont>("Font", &TForm::Font, &TForm::SetFont)
          .BoolProp("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview)
          .BoolProp("OldCreateOrder", &TForm::OldCreateOrder, &TForm::SetOldCreateOrder)
          .EnumProp("Position", TypeInfo_TPosition(), &TForm::Position, &TForm::SetPosition, poDefaultPosOnly)
          .BoolProp("Scaled", &TForm::Scaled, &TForm::SetScaled, true)
          .Event("OnCloseQuery", TypeInfo_TCloseQueryEvent(), &TForm::OnCloseQuery)
          .Event("OnCreate", TypeInfo_TNotifyEvent(), &TForm::OnCreate)
          .Event("OnDestroy", TypeInfo_TNotifyEvent(), &TForm::OnDestroy)
          .Event("OnShow", TypeInfo_TNotifyEvent(), &TForm::OnShow)
          .IntProp("PixelsPerInch", &TForm::PixelsPerInch, &TForm::SetPixelsPerInch)
          .Stored([](const TForm*) { return true; })
          .IntProp("TextHeight", &TForm::TextHeight, &TForm::SetTextHeight)
          .Stored([](const TForm*) { return true; })
          .Build();
  return info;
}

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  SetParentFont(false);
  SetVisible(false);
  SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
  DoDestroy();
  // The controls go while this is still a form, so references to them are cleared here.
  DestroyComponents();
}

void TForm::SetActiveControl(TWinControl* Value) {
  if (Value && FShowing) {
    FocusControl(Value);
    return;
  }
  FActiveControl = Value;
}

void TForm::FocusControl(TWinControl* Control) {
  if (!Control) {
    FActiveControl = nullptr;
    return;
  }
  if (Control->GetParentForm() != this)
    throw EInvalidOperation("Control " + Control->Name() + " is not on form " + Name());
  if (!Control->CanFocus())
    throw EInvalidOperation("Cannot focus " + Control->Name() + ": it is disabled, invisible or takes no focus");
  if (Control == FActiveControl) return;
  TWinControl* old = FActiveControl;
  if (FShowing && old) old->DoExit();  // an exception here keeps the focus where it was
  FActiveControl = Control;
  if (FShowing) Control->DoEnter();
}

void TForm::ControlDestroyed(TControl* Control) {
  if (FActiveControl == Control) FActiveControl = nullptr;
}

TWinControl* TForm::FirstFocusable(TWinControl* Container) const {
  for (TWinControl* w : Container->TabList()) {
    if (!w->IsShowing() || !w->IsEnabled()) continue;
    if (w->TabStop() && w->CanFocus()) return w;
    if (TWinControl* inner = FirstFocusable(w)) return inner;
  }
  return nullptr;
}

int TForm::ShowModal() {
  if (FShowing) throw EInvalidOperation("Form " + Name() + " is shown already and cannot be shown modally");
  FModalResult = mrNone;
  FModalEnded = false;
  struct TShowScope {
    TForm* F;
    explicit TShowScope(TForm* f) : F(f) {
      F->FShowing = true;
      F->SetVisible(true);
      Screen->FModalForms.push_back(F);
    }
    ~TShowScope() {
      auto& list = Screen->FModalForms;
      list.erase(std::remove(list.begin(), list.end(), F), list.end());
      F->FShowing = false;
      F->SetVisible(false);
    }
  } scope(this);

  if (OnShow) OnShow(this);
  TWinControl* first = FActiveControl && FActiveControl->CanFocus() ? FActiveControl : FirstFocusable(this);
  FActiveControl = nullptr;
  if (first) FocusControl(first);
  if (!CheckModalClose()) UserInterface().ShowModal(this);
  if (!FModalEnded)
    throw EUserInterfaceError("The user interface left form " + Name() + " (" + ClassName() + ") without closing it");
  return FModalResult;
}

void TForm::Close() {
  if (FShowing) FModalResult = mrCancel;
}

bool TForm::CloseQuery() {
  bool CanClose = true;
  if (OnCloseQuery) OnCloseQuery(this, CanClose);
  return CanClose;
}

bool TForm::CheckModalClose() {
  if (FModalEnded) return true;
  if (FModalResult == mrNone) return false;
  if (!CloseQuery()) {
    FModalResult = mrNone;
    return false;
  }
  FModalEnded = true;
  return true;
}

void TForm::DoCreate() {
  if (FCreated) return;
  FCreated = true;
  if (OnCreate) OnCreate(this);
}

void TForm::DoDestroy() {
  if (FDestroyed) return;
  FDestroyed = true;
  if (FCreated && OnDestroy) OnDestroy(this);
}

void TForm::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  TWinControl::GetChildren(Proc, Root);
  if (Root != this) return;
  // Then what sits on no control: menus, dialogs, other non-visual components.
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (!c->GetParentComponent()) Proc(c);
  }
}

void TForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FActiveControl) FActiveControl = nullptr;
}

void TForm::Loaded() {
  TWinControl::Loaded();
  FixupTabList();
}

// ------------------------------------------------------------------ descriptions

namespace {
std::map<TClass, TFormDescription>& Descriptions() {
  static std::map<TClass, TFormDescription> map;
  return map;
}
}  // namespace

void RegisterFormDescription(TClass FormClass, const char* Text, const String& FileName) {
  Descriptions()[FormClass] = TFormDescription{Text, FileName};
}

void UnregisterFormDescription(TClass FormClass) { Descriptions().erase(FormClass); }

const TFormDescription* FindFormDescription(TClass FormClass) {
  for (TClass c = FormClass; c && c != TForm::StaticClass(); c = c->Parent) {
    auto it = Descriptions().find(c);
    if (it != Descriptions().end()) return &it->second;
  }
  return nullptr;
}

// ------------------------------------------------------------------ application and screen

TClass TApplication::StaticClass() {
  static TClass info = ClassBuilder<TApplication>("TApplication").Build();
  return info;
}

TClass TScreen::StaticClass() {
  static TClass info = ClassBuilder<TScreen>("TScreen").Build();
  return info;
}

namespace {
struct TGlobals {
  std::unique_ptr<TApplication> App = std::make_unique<TApplication>(nullptr);
  std::unique_ptr<TScreen> Scr = std::make_unique<TScreen>(nullptr);
};
TGlobals& Globals() {
  static TGlobals globals;
  return globals;
}
}  // namespace

TApplication* Application = Globals().App.get();
TScreen* Screen = Globals().Scr.get();

TCursorGuard::TCursorGuard(TCursor Cursor) : FSaved(Screen->Cursor()) { Screen->SetCursor(Cursor); }

TCursorGuard::~TCursorGuard() { Screen->SetCursor(FSaved); }

}  // namespace vcl
