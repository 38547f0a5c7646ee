#include "vcl/Gestures.h"

#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"
#include "rtl/SysUtils.h"

#include <algorithm>
#include <set>

namespace vcl {

using namespace rtl;

namespace {

String Describe(const TControl* c) { return c->KindName() + " " + c->Name(); }

String Capitalized(String s) {
  if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
  return s;
}

std::vector<String> CaptionsOf(const TStrings* items) {
  std::vector<String> r;
  for (int i = 0; i < items->Count(); ++i) r.push_back(items->Get(i));
  return r;
}

bool IsNumber(const String& s) {
  return !s.empty() && s.size() < 10 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

template <class T>
T* FindInControls(TWinControl* parent, const std::function<bool(T*)>& pred) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (auto* t = dynamic_cast<T*>(c); t && pred(t)) return t;
    if (auto* w = dynamic_cast<TWinControl*>(c))
      if (T* found = FindInControls<T>(w, pred)) return found;
  }
  return nullptr;
}

}  // namespace

// ------------------------------------------------------------------ lookup and checks

TControl* TGestureDriver::FindControl(const String& Name) const {
  TComponent* c = FForm->FindComponent(Name);
  if (!c) throw EGestureError("Form " + FForm->Name() + " has no control named " + Name);
  auto* ctl = dynamic_cast<TControl*>(c);
  if (!ctl) throw EGestureError(Name + " on form " + FForm->Name() + " is a " + c->ClassName() + ", not a control");
  if (ctl->GetParentForm() != FForm) throw EGestureError("Control " + Name + " is not placed on form " + FForm->Name());
  return ctl;
}

template <class T>
T* TGestureDriver::Find(const String& Name, const char* Kind) const {
  TControl* c = FindControl(Name);
  auto* t = dynamic_cast<T*>(c);
  if (!t) throw EGestureError("Control " + Name + " is a " + c->KindName() + ", not a " + Kind);
  return t;
}

void TGestureDriver::CheckUsable(const TControl* Control) {
  for (const TControl* c = Control; c && !dynamic_cast<const TForm*>(c); c = c->Parent()) {
    if (!c->Visible())
      throw EGestureError(c == Control ? Capitalized(Describe(Control)) + " is not visible"
                                       : Capitalized(Describe(Control)) + " is not visible: " + Describe(c) +
                                             " that holds it is hidden");
    if (auto* page = dynamic_cast<const TTabSheet*>(c);
        page && page->PageControl() && page->PageControl()->ActivePage() != page)
      throw EGestureError(Capitalized(Describe(Control)) + " is on a hidden page: page " + page->Name() + " \"" +
                          StripHotkey(page->Caption()) + "\" is not shown");
  }
  for (const TControl* c = Control; c; c = c->Parent())
    if (!c->Enabled())
      throw EGestureError(c == Control ? Capitalized(Describe(Control)) + " is disabled"
                                       : Capitalized(Describe(Control)) + " is disabled: " + Describe(c) +
                                             " that holds it is disabled");
}

int TGestureDriver::FindItem(const std::vector<String>& Captions, const String& Item) {
  String wanted = StripHotkey(Item);
  for (size_t i = 0; i < Captions.size(); ++i)
    if (StripHotkey(Captions[i]) == wanted) return static_cast<int>(i);
  for (size_t i = 0; i < Captions.size(); ++i)
    if (SameText(StripHotkey(Captions[i]), wanted)) return static_cast<int>(i);
  if (IsNumber(Item)) {
    int i = std::stoi(Item);
    if (i < static_cast<int>(Captions.size())) return i;
  }
  return -1;
}

void TGestureDriver::BeginGesture() const {
  if (FForm->ModalEnded()) throw EGestureError("Form " + FForm->Name() + " is closed");
  if (!FForm->Showing()) throw EGestureError("Form " + FForm->Name() + " is not shown");
  if (TForm* top = Screen->ActiveForm(); top && top != FForm)
    throw EGestureError("Form " + FForm->Name() + " is behind form " + top->Name() + ", which is shown over it");
}

void TGestureDriver::EndGesture() { FForm->CheckModalClose(); }

void TGestureDriver::MoveFocus(TControl* Control) {
  auto* w = dynamic_cast<TWinControl*>(Control);
  if (w && w->AcceptsFocus() && w->CanFocus()) FForm->FocusControl(w);
}

void TGestureDriver::PressButton(TButton* Button) {
  CheckUsable(Button);
  Button->Click();
}

// ------------------------------------------------------------------ gestures

void TGestureDriver::Click(const String& Control) {
  BeginGesture();
  Click(FindControl(Control));
}

void TGestureDriver::Click(TControl* Control) {
  BeginGesture();
  if (auto* rg = dynamic_cast<TRadioGroup*>(Control))
    throw EGestureError("Radio group " + rg->Name() + " is clicked on one of its items: choose " + rg->Name() +
                        " ITEM");
  CheckUsable(Control);
  MoveFocus(Control);
  // The control that lost the focus may have disabled or hidden this one; then nothing clicks.
  if (Control->IsShowing() && Control->IsEnabled()) {
    if (auto* cb = dynamic_cast<TCheckBox*>(Control))
      cb->Toggle();
    else
      Control->Click();
  }
  EndGesture();
}

void TGestureDriver::Type(const String& Control, const String& Text) {
  BeginGesture();
  TControl* c = FindControl(Control);
  CheckUsable(c);
  if (auto* e = dynamic_cast<TEdit*>(c)) {
    if (e->ReadOnly()) throw EGestureError("Edit " + e->Name() + " is read-only");
    MoveFocus(e);
    if (e->Text() == Text)
      e->Change();
    else
      e->SetText(Text);
  } else if (auto* m = dynamic_cast<TMemo*>(c)) {
    if (m->ReadOnly()) throw EGestureError("Memo " + m->Name() + " is read-only");
    MoveFocus(m);
    if (m->Text() == Text)
      m->Change();
    else
      m->SetText(Text);
  } else if (auto* cb = dynamic_cast<TComboBox*>(c)) {
    if (!cb->Editable()) throw EGestureError("Combo box " + cb->Name() + " takes no typing: choose one of its items");
    MoveFocus(cb);
    cb->SetText(Text);
    cb->Change();
  } else {
    throw EGestureError("Cannot type into " + Describe(c) + ": only edits, memos and editable combo boxes take text");
  }
  EndGesture();
}

void TGestureDriver::Choose(const String& Control, const String& Item) {
  BeginGesture();
  TControl* c = FindControl(Control);
  if (dynamic_cast<TPageControl*>(c)) {
    Page(Control, Item);
    return;
  }
  if (dynamic_cast<TListBox*>(c)) {
    Pick(Control, {Item});
    return;
  }
  std::vector<String> captions;
  if (auto* cb = dynamic_cast<TComboBox*>(c))
    captions = CaptionsOf(cb->Items());
  else if (auto* rg = dynamic_cast<TRadioGroup*>(c))
    captions = CaptionsOf(rg->Items());
  else
    throw EGestureError("Cannot choose an item of " + Describe(c));
  int i = FindItem(captions, Item);
  if (i < 0) throw EGestureError(Capitalized(Describe(c)) + " has no item \"" + Item + "\"");
  ChooseIndex(Control, i);
}

void TGestureDriver::ChooseIndex(const String& Control, int Index) {
  BeginGesture();
  TControl* c = FindControl(Control);
  if (dynamic_cast<TPageControl*>(c)) {
    Page(Control, std::to_string(Index));
    return;
  }
  if (dynamic_cast<TListBox*>(c)) {
    Pick(Control, {std::to_string(Index)});
    return;
  }
  CheckUsable(c);
  auto checkIndex = [&](int count) {
    if (Index < 0 || Index >= count)
      throw EGestureError(Capitalized(Describe(c)) + " has no item " + std::to_string(Index) + " (it has " +
                          std::to_string(count) + ")");
  };
  if (auto* cb = dynamic_cast<TComboBox*>(c)) {
    checkIndex(cb->Items()->Count());
    MoveFocus(cb);
    cb->SetItemIndex(Index);
    cb->Change();
  } else if (auto* rg = dynamic_cast<TRadioGroup*>(c)) {
    checkIndex(rg->Items()->Count());
    MoveFocus(rg);
    if (rg->IsShowing() && rg->IsEnabled()) rg->SetItemIndex(Index);  // OnClick when it changes
  } else {
    throw EGestureError("Cannot choose an item of " + Describe(c));
  }
  EndGesture();
}

void TGestureDriver::Pick(const String& Control, const std::vector<String>& Items) {
  BeginGesture();
  auto* lb = Find<TListBox>(Control, "list box");
  CheckUsable(lb);
  std::vector<String> captions = CaptionsOf(lb->Items());
  std::set<int> picked;
  int last = -1;
  for (const String& item : Items) {
    int i = FindItem(captions, item);
    if (i < 0) throw EGestureError("List box " + lb->Name() + " has no item \"" + item + "\"");
    picked.insert(i);
    last = i;
  }
  if (!lb->MultiSelect() && picked.size() > 1) throw EGestureError("List box " + lb->Name() + " selects one item only");
  MoveFocus(lb);
  for (int i = 0; i < lb->Items()->Count(); ++i)
    if (!picked.count(i)) lb->SetSelected(i, false);
  for (int i : picked) lb->SetSelected(i, true);
  if (lb->MultiSelect() && last >= 0) lb->SetItemIndex(last);
  lb->Click();
  EndGesture();
}

void TGestureDriver::Check(const String& Control, bool Checked) {
  BeginGesture();
  auto* cb = Find<TCheckBox>(Control, "check box");
  CheckUsable(cb);
  MoveFocus(cb);
  if (cb->IsShowing() && cb->IsEnabled()) cb->SetState(Checked ? cbChecked : cbUnchecked);  // OnClick on a change
  EndGesture();
}

void TGestureDriver::Menu(const String& Control, const String& Item) {
  BeginGesture();
  TControl* c = FindControl(Control);
  CheckUsable(c);
  TPopupMenu* menu = c->PopupMenu();
  if (!menu) throw EGestureError(Capitalized(Describe(c)) + " has no popup menu");
  menu->SetPopupComponent(c);
  menu->Popup(c->Left(), c->Top());

  // The whole text names a top-level item first; otherwise it is a path "Item/Sub item".
  std::vector<String> path{Item};
  auto findIn = [](TMenuItem* parent, const String& caption) -> TMenuItem* {
    std::vector<String> captions;
    for (int i = 0; i < parent->Count(); ++i) captions.push_back(parent->Items(i)->Caption());
    int i = FindItem(captions, caption);
    return i < 0 ? nullptr : parent->Items(i);
  };
  TMenuItem* item = findIn(menu->Items(), Item);
  if (!item && Item.find('/') != String::npos) {
    TMenuItem* at = menu->Items();
    size_t start = 0;
    for (;;) {
      size_t slash = Item.find('/', start);
      at = findIn(at, Item.substr(start, slash == String::npos ? String::npos : slash - start));
      if (!at || slash == String::npos) break;
      if (!at->Visible() || !at->Enabled()) break;
      start = slash + 1;
    }
    item = at;
  }
  if (!item) throw EGestureError("Popup menu " + menu->Name() + " of " + Describe(c) + " has no item \"" + Item + "\"");
  if (!item->Visible())
    throw EGestureError("Menu item " + item->Name() + " \"" + StripHotkey(item->Caption()) + "\" is not visible");
  if (!item->Enabled())
    throw EGestureError("Menu item " + item->Name() + " \"" + StripHotkey(item->Caption()) + "\" is disabled");
  if (item->Count() > 0)
    throw EGestureError("Menu item " + item->Name() + " \"" + StripHotkey(item->Caption()) +
                        "\" opens a submenu: name one of its items");
  item->Click();
  EndGesture();
}

void TGestureDriver::Page(const String& Control, const String& PageName) {
  BeginGesture();
  auto* pc = Find<TPageControl>(Control, "page control");
  CheckUsable(pc);
  std::vector<String> captions;
  for (int i = 0; i < pc->PageCount(); ++i) captions.push_back(pc->Pages(i)->Caption());
  int i = FindItem(captions, PageName);
  if (i < 0) throw EGestureError("Page control " + pc->Name() + " has no page \"" + PageName + "\"");
  TTabSheet* page = pc->Pages(i);
  if (!page->TabVisible() || !page->Visible())
    throw EGestureError("Page " + page->Name() + " of page control " + pc->Name() + " has no visible tab");
  MoveFocus(pc);
  if (pc->ActivePage() != page) {
    pc->SetActivePage(page);
    pc->Change();
  }
  EndGesture();
}

void TGestureDriver::Focus(const String& Control) {
  BeginGesture();
  TControl* c = FindControl(Control);
  auto* w = dynamic_cast<TWinControl*>(c);
  if (!w || !w->AcceptsFocus()) throw EGestureError(Capitalized(Describe(c)) + " cannot take the focus");
  Focus(w);
}

void TGestureDriver::Focus(TWinControl* Control) {
  BeginGesture();
  CheckUsable(Control);
  if (!Control->AcceptsFocus()) throw EGestureError(Capitalized(Describe(Control)) + " cannot take the focus");
  FForm->FocusControl(Control);
  EndGesture();
}

void TGestureDriver::Enter() {
  BeginGesture();
  TWinControl* focused = FForm->ActiveControl();
  if (auto* b = dynamic_cast<TButton*>(focused); b && b->IsShowing() && b->IsEnabled()) {
    b->Click();
  } else if (auto* m = dynamic_cast<TMemo*>(focused); m && m->WantReturns() && !m->ReadOnly()) {
    m->Lines()->Add(String());  // a new line at the end
  } else if (TButton* def = FindInControls<TButton>(
                 FForm, [](TButton* b) { return b->Default() && b->IsShowing() && b->IsEnabled(); })) {
    def->Click();
  }
  EndGesture();
}

void TGestureDriver::Escape() {
  BeginGesture();
  if (TButton* cancel =
          FindInControls<TButton>(FForm, [](TButton* b) { return b->Cancel() && b->IsShowing() && b->IsEnabled(); }))
    cancel->Click();
  EndGesture();
}

void TGestureDriver::CloseBox() {
  BeginGesture();
  if (!FForm->BorderIcons().Contains(biSystemMenu) || FForm->BorderStyle() == bsNone)
    throw EGestureError("Form " + FForm->Name() + " has no close box");
  FForm->Close();
  EndGesture();
}

void TGestureDriver::MouseDown(const String& Control, TMouseButton Button, TShiftState Shift, int X, int Y) {
  BeginGesture();
  TControl* c = FindControl(Control);
  CheckUsable(c);
  if (Button == mbLeft) MoveFocus(c);
  c->MouseDown(Button, Shift, X, Y);
  EndGesture();
}

}  // namespace vcl
