#include "vcl/FormText.h"

#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

#include <algorithm>

namespace vcl {

using namespace rtl;

String QuoteText(const String& S) {
  String r = "\"";
  for (size_t i = 0; i < S.size(); ++i) {
    char c = S[i];
    if (c == '"')
      r += "\"\"";
    else if (c == '\r' && i + 1 < S.size() && S[i + 1] == '\n')
      continue;
    else if (c == '\n' || c == '\r')
      r += "\\n";
    else if (c == '\t')
      r += "\\t";
    else
      r += c;
  }
  return r + "\"";
}

namespace {

void Line(String& out, int level, const String& text) {
  out.append(static_cast<size_t>(level) * 2, ' ');
  out += text;
  out += '\n';
}

String Caption(const TControl* c) { return QuoteText(StripHotkey(c->Caption())); }

void Items(String& out, int level, const TStrings* items, bool multi, const std::function<bool(int)>& selected,
           bool hotkeys) {
  for (int i = 0; i < items->Count(); ++i) {
    String mark = multi ? (selected(i) ? "[x] " : "[ ] ") : (selected(i) ? "(*) " : "( ) ");
    Line(out, level, mark + (hotkeys ? StripHotkey(items->Get(i)) : items->Get(i)));
  }
}

void Control(String& out, int level, const TControl* c, std::vector<const TPopupMenu*>& menus);

void Children(String& out, int level, const TWinControl* parent, std::vector<const TPopupMenu*>& menus) {
  if (auto* pc = dynamic_cast<const TPageControl*>(parent)) {
    if (TTabSheet* page = pc->ActivePage()) Control(out, level, page, menus);
    return;
  }
  for (TWinControl* w : parent->TabList()) Control(out, level, w, menus);
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (!dynamic_cast<TWinControl*>(c)) Control(out, level, c, menus);
  }
}

void Control(String& out, int level, const TControl* c, std::vector<const TPopupMenu*>& menus) {
  if (!c->Visible()) return;
  String head = c->Name() + ": " + c->KindName();
  int bodyLevel = level + 1;
  String bodyText;

  if (auto* b = dynamic_cast<const TButton*>(c)) {
    head += " " + Caption(c);
    if (b->Default()) head += " [default]";
    if (b->Cancel()) head += " [cancel]";
  } else if (auto* cb = dynamic_cast<const TCheckBox*>(c)) {
    head += " " + Caption(c) + (cb->State() == cbChecked ? " on" : cb->State() == cbGrayed ? " grayed" : " off");
  } else if (auto* e = dynamic_cast<const TEdit*>(c)) {
    String text = e->Text();
    if (!e->PasswordChar().empty() && e->PasswordChar() != String(1, '\0')) {
      String masked;
      for (size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) masked += e->PasswordChar();
      text = masked;
    }
    head += " " + QuoteText(text);
  } else if (auto* m = dynamic_cast<const TMemo*>(c)) {
    for (int i = 0; i < m->Lines()->Count(); ++i) Line(bodyText, bodyLevel, "| " + m->Lines()->Get(i));
  } else if (auto* combo = dynamic_cast<const TComboBox*>(c)) {
    head += " " + QuoteText(combo->Text());
    if (!combo->Editable()) head += ", drop-down list";
    int sel = combo->ItemIndex();
    Items(
        bodyText, bodyLevel, combo->Items(), false, [sel](int i) { return i == sel; }, false);
  } else if (auto* lb = dynamic_cast<const TListBox*>(c)) {
    if (lb->MultiSelect()) head += ", multiple selection";
    Items(
        bodyText, bodyLevel, lb->Items(), lb->MultiSelect(), [lb](int i) { return lb->Selected(i); }, false);
  } else if (auto* rg = dynamic_cast<const TRadioGroup*>(c)) {
    head += " " + Caption(c);
    int sel = rg->ItemIndex();
    Items(
        bodyText, bodyLevel, rg->Items(), false, [sel](int i) { return i == sel; }, true);
  } else if (auto* pc = dynamic_cast<const TPageControl*>(c)) {
    String pages;
    for (int i = 0; i < pc->PageCount(); ++i) {
      const TTabSheet* p = pc->Pages(i);
      if (!p->TabVisible()) continue;
      if (!pages.empty()) pages += " ";
      pages += (p == pc->ActivePage() ? "[" : "") + QuoteText(StripHotkey(p->Caption())) +
               (p == pc->ActivePage() ? "]" : "");
    }
    head += ", pages " + pages;
  } else if (auto* img = dynamic_cast<const TImage*>(c)) {
    if (!img->Picture()->Empty()) head += ", picture";
  } else if (dynamic_cast<const TBevel*>(c)) {
    // a line or a frame: nothing to tell
  } else if (!c->Caption().empty()) {
    head += " " + Caption(c);
  }
  if (!c->IsEnabled()) head += " (disabled)";
  if (const TPopupMenu* pm = c->PopupMenu()) {
    head += ", menu " + pm->Name();
    if (std::find(menus.begin(), menus.end(), pm) == menus.end()) menus.push_back(pm);
  }
  Line(out, level, head);
  out += bodyText;
  if (auto* w = dynamic_cast<const TWinControl*>(c)) Children(out, level + 1, w, menus);
}

}  // namespace

String FormToText(const TForm* Form) {
  String out;
  Line(out, 0, "Form " + Form->Name() + ": " + Form->ClassName() + " " + QuoteText(Form->Caption()));
  std::vector<const TPopupMenu*> menus;
  Children(out, 1, Form, menus);
  for (const TPopupMenu* pm : menus) {
    String items;
    for (int i = 0; i < pm->Items()->Count(); ++i) {
      const TMenuItem* item = pm->Items()->Items(i);
      if (!item->Visible()) continue;
      if (!items.empty()) items += " ";
      items += QuoteText(StripHotkey(item->Caption()));
      if (!item->Enabled()) items += " (disabled)";
    }
    Line(out, 1, "Menu " + pm->Name() + ": " + items);
  }
  TWinControl* focus = Form->ActiveControl();
  Line(out, 1, "Focus: " + (focus ? focus->Name() : String("(none)")));
  return out;
}

String MessageBoxToText(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
  String out;
  String type = MsgDlgTypeCaption(DlgType);
  Line(out, 0, type.empty() ? "Message:" : "Message (" + type + "):");
  size_t start = 0;
  for (;;) {
    size_t nl = Msg.find('\n', start);
    String line = Msg.substr(start, nl == String::npos ? String::npos : nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Line(out, 1, line);
    if (nl == String::npos) break;
    start = nl + 1;
  }
  String buttons;
  for (int b = 0; b < MsgDlgBtnCount; ++b)
    if (Buttons.Contains(static_cast<TMsgDlgBtn>(b))) buttons += " " + MsgDlgBtnCaption(static_cast<TMsgDlgBtn>(b));
  Line(out, 0, "Buttons:" + buttons);
  return out;
}

String OpenDialogToText(const TOpenDialog* Dialog) {
  String out;
  Line(out, 0, "Open dialog " + QuoteText(Dialog->Title().empty() ? String("Open") : Dialog->Title()));
  Line(out, 1, "File name: " + QuoteText(Dialog->FileName()));
  const bool started = !Dialog->InitialDir().empty() || (Application && !Application->DocumentFolder().empty());
  if (started) {
    // The folder it shows and what is there to pick, as a file dialog lists them.
    Line(out, 1, "Folder: " + QuoteText(Dialog->Folder()));
    constexpr size_t Shown = 20;
    const std::vector<String> files = Dialog->FolderFiles();
    String list;
    for (size_t i = 0; i < files.size() && i < Shown; ++i) list += (i ? ", " : "") + QuoteText(files[i]);
    if (files.size() > Shown) list += ", and " + std::to_string(files.size() - Shown) + " more";
    Line(out, 1, "Files: " + (files.empty() ? String("none") : list));
  }
  auto filters = Dialog->FilterEntries();
  for (size_t i = 0; i < filters.size(); ++i)
    Line(out, 1,
         "Filter " + std::to_string(i + 1) + ": " + filters[i].Description + " [" + filters[i].Pattern + "]" +
             (static_cast<int>(i + 1) == Dialog->FilterIndex() ? " (chosen)" : ""));
  String must;
  if (Dialog->Options().Contains(ofPathMustExist)) must += " path";
  if (Dialog->Options().Contains(ofFileMustExist)) must += " file";
  if (!must.empty()) Line(out, 1, "Must exist:" + must);
  return out;
}

}  // namespace vcl
