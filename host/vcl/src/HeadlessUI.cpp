#include "vcl/HeadlessUI.h"

#include "vcl/FormText.h"
#include "rtl/SysUtils.h"

#include <istream>
#include <ostream>
#include <sstream>

namespace vcl {

using namespace rtl;

namespace {

String ButtonsOf(TMsgDlgButtons Buttons) {
  String r;
  for (int b = 0; b < MsgDlgBtnCount; ++b)
    if (Buttons.Contains(static_cast<TMsgDlgBtn>(b)))
      r += (r.empty() ? "" : " ") + MsgDlgBtnCaption(static_cast<TMsgDlgBtn>(b));
  return r;
}

bool OffersResult(TMsgDlgButtons Buttons, TModalResult Result) {
  for (int b = 0; b < MsgDlgBtnCount; ++b)
    if (Buttons.Contains(static_cast<TMsgDlgBtn>(b)) && MsgDlgBtnResult(static_cast<TMsgDlgBtn>(b)) == Result)
      return true;
  return false;
}

String ModalResultName(TModalResult r) {
  static const char* const names[] = {"mrNone", "mrOk", "mrCancel", "mrAbort",   "mrRetry",    "mrIgnore",
                                      "mrYes",  "mrNo", "mrAll",    "mrNoToAll", "mrYesToAll", "mrClose"};
  return r >= 0 && r < 12 ? names[r] : std::to_string(r);
}

}  // namespace

// ------------------------------------------------------------------ shared

bool THeadlessUserInterface::IsKeyDown(int VirtualKey) {
  auto it = FKeys.find(VirtualKey);
  return it != FKeys.end() && it->second;
}

void THeadlessUserInterface::SetKeyDown(int VirtualKey, bool Down) { FKeys[VirtualKey] = Down; }

bool THeadlessUserInterface::OpenAddress(const String& Address) {
  FOpened.push_back(Address);
  return FOpenSucceeds;
}

int THeadlessUserInterface::CharWidth(const TFont& Font) {
  int h = Font.Height() < 0 ? -Font.Height() : Font.Height();
  if (h == 0) h = 11;
  int w = (h * 6 + 5) / 11;
  if (Font.Style().Contains(fsBold)) ++w;
  return w;
}

int THeadlessUserInterface::TextWidth(const TFont& Font, const String& Text) {
  int chars = 0;
  for (unsigned char c : Text)
    if ((c & 0xC0) != 0x80) ++chars;
  return chars * CharWidth(Font);
}

// ------------------------------------------------------------------ scripted

void TScriptedUserInterface::QueueForm(const String& FormClassOrName, TGestureScript Script) {
  FForms.push_back({FormClassOrName, std::move(Script)});
}

void TScriptedUserInterface::QueueForm(const String& FormClassOrName, std::vector<String> Commands) {
  QueueForm(FormClassOrName, [commands = std::move(Commands)](TGestureDriver& driver) {
    std::ostringstream discard;
    for (const String& line : commands) {
      try {
        if (auto cmd = ParseGestureCommand(line)) RunGestureCommand(driver, *cmd, discard);
      } catch (Exception& e) {
        e.SetMessage(e.Message() + " (in \"" + Trim(line) + "\")");
        throw;
      }
    }
  });
}

void TScriptedUserInterface::QueueAnswer(TModalResult Answer, const String& Expect) {
  FAnswers.push_back({Answer, Expect});
}

void TScriptedUserInterface::QueueOpenDialog(std::optional<String> FileName) { FFiles.push_back(std::move(FileName)); }

void TScriptedUserInterface::ShowModal(TForm* Form) {
  FLog.push_back("form " + Form->Name() + ": " + Form->ClassName());
  auto it = FForms.begin();
  while (it != FForms.end() && !SameText(it->Key, Form->ClassName()) && !SameText(it->Key, Form->Name())) ++it;
  if (it == FForms.end())
    throw EUserInterfaceError("Form " + Form->Name() + " (" + Form->ClassName() +
                              ") was shown with no gestures queued for it:\n" + FormToText(Form));
  TGestureScript script = std::move(it->Script);
  FForms.erase(it);
  TGestureDriver driver(Form);
  script(driver);
  if (!Form->ModalEnded())
    throw EUserInterfaceError("Form " + Form->Name() + " (" + Form->ClassName() +
                              ") is still open after its gestures:\n" + FormToText(Form));
}

int TScriptedUserInterface::MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  String text = MessageBoxToText(Msg, DlgType, Buttons);
  FLog.push_back(text);
  FMessages.push_back(text);
  if (FAnswers.empty()) throw EUserInterfaceError("A message box was shown with no answer queued:\n" + text);
  TAnswer answer = FAnswers.front();
  FAnswers.pop_front();
  if (!answer.Expect.empty() && Msg.find(answer.Expect) == String::npos)
    throw EUserInterfaceError("The message box answered with " + ModalResultName(answer.Result) + " was to say \"" +
                              answer.Expect + "\", but it is:\n" + text);
  if (!OffersResult(Buttons, answer.Result))
    throw EUserInterfaceError("The answer " + ModalResultName(answer.Result) + " is none of the buttons (" +
                              ButtonsOf(Buttons) + ") of:\n" + text);
  return answer.Result;
}

std::optional<String> TScriptedUserInterface::ExecuteOpenDialog(TOpenDialog* Dialog) {
  FLog.push_back("open dialog");
  if (FFiles.empty())
    throw EUserInterfaceError("A file-open dialog was shown with no choice queued:\n" + OpenDialogToText(Dialog));
  std::optional<String> choice = FFiles.front();
  FFiles.pop_front();
  return choice;
}

// ------------------------------------------------------------------ text

String TTextUserInterface::ReadLine(const String& What) {
  if (!FPrompt.empty()) FOut << FPrompt << std::flush;
  String line;
  if (!std::getline(FIn, line)) throw EUserInterfaceError("The input ended while " + What + " waited for an answer");
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (FEcho) FOut << line << '\n';
  return line;
}

void TTextUserInterface::ShowModal(TForm* Form) {
  FOut << FormToText(Form);
  TGestureDriver driver(Form);
  while (!Form->ModalEnded()) {
    String line = ReadLine("form " + Form->Name());
    try {
      if (auto cmd = ParseGestureCommand(line)) RunGestureCommand(driver, *cmd, FOut);
    } catch (const EUserInterfaceError&) {
      throw;
    } catch (const Exception& e) {
      // As the platform shows an error that escapes an event and goes on.
      FOut << "Error: " << e.Message() << '\n';
    }
  }
  FOut << "Closed " << Form->Name() << ": " << ModalResultName(Form->ModalResult()) << '\n';
}

int TTextUserInterface::MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  FOut << MessageBoxToText(Msg, DlgType, Buttons);
  for (;;) {
    String answer = Trim(ReadLine("a message box"));
    for (int b = 0; b < MsgDlgBtnCount; ++b) {
      auto btn = static_cast<TMsgDlgBtn>(b);
      if (Buttons.Contains(btn) && SameText(answer, MsgDlgBtnCaption(btn))) {
        FOut << "Answered: " << MsgDlgBtnCaption(btn) << '\n';
        return MsgDlgBtnResult(btn);
      }
    }
    FOut << "Error: answer one of: " << ButtonsOf(Buttons) << '\n';
  }
}

std::optional<String> TTextUserInterface::ExecuteOpenDialog(TOpenDialog* Dialog) {
  FOut << OpenDialogToText(Dialog) << "Answer: file NAME, filter N or cancel\n";
  for (;;) {
    String line = ReadLine("the file-open dialog");
    try {
      std::vector<String> words = SplitCommandWords(line);
      if (words.empty()) continue;
      String verb = LowerCase(words[0]);
      if (verb == "cancel" && words.size() == 1) return std::nullopt;
      if (verb == "file" && words.size() >= 2) {
        size_t at = line.find_first_not_of(" \t", line.find_first_of(" \t", line.find_first_not_of(" \t")));
        String rest = Trim(line.substr(at));
        if (words.size() == 2) rest = words[1];  // a quoted name loses its quotes
        return rest;
      }
      if (verb == "filter" && words.size() == 2) {
        int n = StrToIntDef(words[1], 0);
        int count = static_cast<int>(Dialog->FilterEntries().size());
        if (n < 1 || n > count) throw EGestureError("There is no filter " + words[1]);
        Dialog->SetFilterIndex(n);
        FOut << "Filter " << n << " chosen\n";
        continue;
      }
      throw EGestureError("Answer file NAME, filter N or cancel");
    } catch (const EGestureError& e) {
      FOut << "Error: " << e.Message() << '\n';
    }
  }
}

bool TTextUserInterface::OpenAddress(const String& Address) {
  bool ok = THeadlessUserInterface::OpenAddress(Address);
  FOut << "Open address: " << Address << (ok ? "" : " (failed)") << '\n';
  return ok;
}

}  // namespace vcl
