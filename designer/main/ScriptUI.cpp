#include "ScriptUI.h"

#include "CommandLine.h"

#include "rtl/SysUtils.h"
#include "vcl/FormText.h"
#include "vcl/StdCtrls.h"

#include <cctype>
#include <map>
#include <ostream>
#include <sstream>

namespace designer {

namespace {

String ButtonNames(vcl::TMsgDlgButtons Buttons) {
  String r;
  for (int b = 0; b < vcl::MsgDlgBtnCount; ++b)
    if (Buttons.Contains(static_cast<vcl::TMsgDlgBtn>(b)))
      r += (r.empty() ? "" : " ") + vcl::MsgDlgBtnCaption(static_cast<vcl::TMsgDlgBtn>(b));
  return r;
}

String ModalResultName(int Result) {
  static const char* const names[] = {"None", "OK", "Cancel", "Abort",   "Retry",    "Ignore",
                                      "Yes",  "No", "All",    "NoToAll", "YesToAll", "Close"};
  return Result >= 0 && Result < 12 ? names[Result] : std::to_string(Result);
}

String FirstWord(const String& Line) {
  std::vector<String> words;
  try {
    words = vcl::SplitCommandWords(Line);
  } catch (const std::exception&) {
    return {};
  }
  return words.empty() ? String() : rtl::LowerCase(words[0]);
}

// "answer WORD": queues it; true when the line was one.
bool QueueAnswerLine(TAnswerQueue& Answers, const String& Line) {
  if (FirstWord(Line) != "answer") return false;
  std::vector<String> words = vcl::SplitCommandWords(Line);
  if (words.size() != 2) throw vcl::EGestureError("answer takes one word: yes, no, cancel, ok or a file name");
  Answers.Push(words[1]);
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------- answers

std::optional<String> TAnswerQueue::Pop() {
  if (FAnswers.empty()) return std::nullopt;
  String a = FAnswers.front();
  FAnswers.pop_front();
  return a;
}

String MessageText(const String& Msg) {
  String text = Msg;
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return rtl::Trim(text);
}

String MessageOnOneLine(const String& Msg, vcl::TMsgDlgButtons Buttons) {
  return "\"" + MessageText(Msg) + "\" (" + ButtonNames(Buttons) + ")";
}

int TAnswerQueue::ButtonResult(const String& Answer, const String& Msg, vcl::TMsgDlgType, vcl::TMsgDlgButtons Buttons) {
  for (int b = 0; b < vcl::MsgDlgBtnCount; ++b) {
    auto btn = static_cast<vcl::TMsgDlgBtn>(b);
    if (Buttons.Contains(btn) && rtl::SameText(Answer, vcl::MsgDlgBtnCaption(btn))) return vcl::MsgDlgBtnResult(btn);
  }
  throw vcl::EUserInterfaceError("The answer \"" + Answer + "\" is none of the buttons of the message box " +
                                 MessageOnOneLine(Msg, Buttons));
}

// ---------------------------------------------------------------------------- dialog lines

bool IsDialogCommand(const String& Verb) {
  static const char* const verbs[] = {"show", "type", "choose", "pick",  "check",  "click",
                                      "menu", "page", "focus",  "enter", "escape", "mousedown"};
  for (const char* v : verbs)
    if (rtl::SameText(Verb, v)) return true;
  return false;
}

std::optional<vcl::TGestureCommand> ParseDialogLine(vcl::TGestureDriver& Driver, const String& Line) {
  auto cmd = vcl::ParseGestureCommand(Line);
  if (cmd && cmd->Verb == "pick" && cmd->Args.size() == 2 && cmd->Args[1] == "*") {
    auto* list = dynamic_cast<vcl::TListBox*>(Driver.FindControl(cmd->Args[0]));
    if (!list) throw vcl::EGestureError("pick * needs a list box; " + cmd->Args[0] + " is none");
    cmd->Args.resize(1);
    for (int i = 0; i < list->Items()->Count(); ++i) cmd->Args.push_back(list->Items()->Strings(i));
  }
  return cmd;
}

// ---------------------------------------------------------------------------- korv run

void TRunUserInterface::ShowModal(vcl::TForm* Form) {
  vcl::TGestureDriver driver(Form);
  while (!Form->ModalEnded()) {
    String line;
    if (!FNextLine(line))
      throw vcl::EUserInterfaceError("The script ended while form " + Form->Name() + " (" + Form->ClassName() +
                                     ") was open");
    if (IsBlankLine(line) || QueueAnswerLine(FAnswers, line)) continue;
    String verb = FirstWord(line);
    if (!verb.empty() && !IsDialogCommand(verb) && verb != "close")
      throw vcl::EGestureError(verb + " is no dialog command, and form " + Form->Name() +
                               " is open until a gesture closes it");
    if (auto cmd = ParseDialogLine(driver, line)) RunGestureCommand(driver, *cmd, FOut);
  }
}

int TRunUserInterface::MessageDlg(const String& Msg, vcl::TMsgDlgType DlgType, vcl::TMsgDlgButtons Buttons, int) {
  FOut << vcl::MessageBoxToText(Msg, DlgType, Buttons);
  std::optional<String> answer = FAnswers.Pop();
  if (!answer)
    throw vcl::EUserInterfaceError("A message box shows " + MessageOnOneLine(Msg, Buttons) +
                                   ", and no answer is queued for it");
  int result = TAnswerQueue::ButtonResult(*answer, Msg, DlgType, Buttons);
  FOut << "Answered: " << *answer << '\n';
  return result;
}

std::optional<String> TRunUserInterface::ExecuteOpenDialog(vcl::TOpenDialog* Dialog) {
  std::optional<String> answer = FAnswers.Pop();
  if (!answer)
    throw vcl::EUserInterfaceError("A file-open dialog \"" + Dialog->Title() +
                                   "\" asks for a file and no answer is queued for it");
  if (rtl::SameText(*answer, "cancel")) return std::nullopt;
  return answer;
}

// ---------------------------------------------------------------------------- korv design

namespace {

// A form's text cut into the blocks of its controls: each control's own line with the lines
// under it that are no control of their own (its items, its selection marks). The focus line
// is left out: it moves with most gestures and says nothing of what they did.
std::map<String, String> ControlBlocks(const String& FormText) {
  std::map<String, String> blocks;
  String* current = nullptr;
  std::istringstream in(FormText);
  String line;
  while (std::getline(in, line)) {
    const size_t start = line.find_first_not_of(' ');
    if (start == String::npos) continue;
    size_t end = start;
    while (end < line.size() && (std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '_')) ++end;
    if (end > start && end + 1 < line.size() && line[end] == ':' && line[end + 1] == ' ') {
      const String name = line.substr(start, end - start);
      current = name == "Focus" ? nullptr : &blocks[name];
    }
    if (current) *current += line + '\n';
  }
  return blocks;
}

// The items of a list's block marked selected.
String SelectedItems(const String& Block) {
  String items;
  std::istringstream in(Block);
  String line;
  while (std::getline(in, line)) {
    const size_t mark = line.find("[x] ");
    if (mark == String::npos || line.find_first_not_of(' ') != mark) continue;
    items += (items.empty() ? "" : ", ") + line.substr(mark + 4);
  }
  return items.empty() ? "nothing" : items;
}

// One short line of what a gesture did: the control it worked and its new state, then the
// controls whose state changed with it.
String GestureEffect(const vcl::TGestureCommand& Cmd, const String& Before, const String& After) {
  const auto before = ControlBlocks(Before), after = ControlBlocks(After);
  const String& v = Cmd.Verb;
  const String control = Cmd.Args.empty() ? String() : Cmd.Args[0];
  String line;
  if (v == "pick") {
    auto it = after.find(control);
    line = control + ": " + SelectedItems(it == after.end() ? String() : it->second) + " selected";
  } else if (v == "check" || v == "type" || v == "choose") {
    line = control + ": " + Cmd.Args.at(1);
  } else if (v == "menu") {
    line = control + " menu: " + Cmd.Args.at(1);
  } else if (v == "page") {
    line = "page " + Cmd.Args.at(1);
  } else if (v == "click") {
    line = control + " clicked";
  } else if (v == "focus") {
    line = "focus " + control;
  } else if (v == "mousedown") {
    line = control + ": " + Cmd.Args.at(1) + " button down";
  } else {
    line = v;
  }
  // Controls shown before and after whose state differs; those a page change shows or hides
  // are the page's, not the gesture's.
  String changed;
  for (const auto& [name, block] : after) {
    auto was = before.find(name);
    const bool stated = name == control && v != "menu" && v != "click" && v != "mousedown";
    if (!stated && was != before.end() && was->second != block) changed += (changed.empty() ? "" : ", ") + name;
  }
  if (!changed.empty() && v != "page") line += "; changed: " + changed;
  return line;
}

}  // namespace

void TDesignUserInterface::ShowModal(vcl::TForm* Form) {
  FOut << vcl::FormToText(Form);
  vcl::TGestureDriver driver(Form);
  while (!Form->ModalEnded()) {
    String line;
    if (!FInput.ReadLine("dialog> ", line)) {
      // Ctrl-D at a terminal closes the dialog as Escape does; piped input that ends, or a
      // signal, leaves it open and stops.
      if (FInput.Interactive() && !TerminatingSignal()) {
        FOut << "escape\n";
        driver.Escape();
        continue;
      }
      throw vcl::EUserInterfaceError("The input ended while form " + Form->Name() + " was open");
    }
    try {
      if (IsBlankLine(line)) continue;
      if (FirstWord(line) == "help") {
        FOut << "Dialog commands: show, type CONTROL TEXT, choose CONTROL ITEM, pick CONTROL [ITEM...|*],\n"
                "  check CONTROL on|off, click CONTROL, menu CONTROL ITEM, page CONTROL PAGE, focus CONTROL,\n"
                "  mousedown CONTROL [left|right|middle], enter, escape, close, answer WORD\n";
        continue;
      }
      if (QueueAnswerLine(FAnswers, line)) continue;
      const String verb = FirstWord(line);
      if (!IsDialogCommand(verb) && verb != "close")
        throw vcl::EGestureError(verb + " is no dialog command: form " + Form->Name() +
                                 " is open; close it first (its OK or Cancel button, escape or close)");
      auto cmd = ParseDialogLine(driver, line);
      if (!cmd) continue;
      const String before = vcl::FormToText(Form);
      RunGestureCommand(driver, *cmd, FOut);
      // Each gesture says what it did; show prints the whole form, and a closing one the result.
      if (cmd->Verb != "show" && !Form->ModalEnded())
        FOut << GestureEffect(*cmd, before, vcl::FormToText(Form)) << '\n';
    } catch (const vcl::EUserInterfaceError&) {
      throw;
    } catch (const std::exception& e) {
      // As the platform shows an error that escapes an event handler, and the dialog goes on.
      FOut << "Error: " << e.what() << '\n';
    }
  }
  FOut << "Closed " << Form->Name() << ": " << ModalResultName(Form->ModalResult()) << '\n';
}

int TDesignUserInterface::MessageDlg(const String& Msg, vcl::TMsgDlgType DlgType, vcl::TMsgDlgButtons Buttons,
                                     int HelpCtx) {
  if (std::optional<String> answer = FAnswers.Pop()) {
    FOut << vcl::MessageBoxToText(Msg, DlgType, Buttons);
    int result = TAnswerQueue::ButtonResult(*answer, Msg, DlgType, Buttons);
    FOut << "Answered: " << *answer << '\n';
    return result;
  }
  return vcl::TTextUserInterface::MessageDlg(Msg, DlgType, Buttons, HelpCtx);
}

std::optional<String> TDesignUserInterface::ExecuteOpenDialog(vcl::TOpenDialog* Dialog) {
  if (std::optional<String> answer = FAnswers.Pop()) {
    if (rtl::SameText(*answer, "cancel")) return std::nullopt;
    return answer;
  }
  return vcl::TTextUserInterface::ExecuteOpenDialog(Dialog);
}

}  // namespace designer
