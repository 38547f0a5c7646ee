// The two headless user interfaces: a scripted one for tests and designer scripts, and a text
// one for a person at a terminal.
//
// Both measure text the same documented way: each character (code point) is
// CharWidth(Font) pixels wide, where CharWidth is |Font.Height| * 6 / 11 rounded (6 for the
// usual height -11; a height of 0 counts as -11), one pixel more for a bold font.
#pragma once

#include "vcl/GestureCommands.h"
#include "vcl/UserInterface.h"

#include <deque>
#include <functional>
#include <iosfwd>
#include <map>

namespace vcl {

// Key state, address opening and text measuring shared by the headless backends.
class THeadlessUserInterface : public IUserInterface {
public:
  bool IsKeyDown(int VirtualKey) override;
  bool OpenAddress(const String& Address) override;
  int TextWidth(const TFont& Font, const String& Text) override;

  static int CharWidth(const TFont& Font);

  void SetKeyDown(int VirtualKey, bool Down);
  // Whether opening addresses succeeds (it does until set otherwise).
  void SetOpenAddressResult(bool Succeeds) { FOpenSucceeds = Succeeds; }
  // Every address asked to be opened, in order.
  const std::vector<String>& OpenedAddresses() const { return FOpened; }

private:
  std::map<int, bool> FKeys;
  bool FOpenSucceeds = true;
  std::vector<String> FOpened;
};

// ------------------------------------------------------------------ scripted

// Answers from queues. Each form shown modally takes the first gesture script queued for its
// class name or its form name (letter case ignored) and runs it; the form must have closed
// when the script ends. A form shown with nothing queued for it, a script that leaves its form
// open, a message box or file dialog with no answer queued raise EUserInterfaceError with the
// form, box or dialog printed (FormText.h).
class TScriptedUserInterface : public THeadlessUserInterface {
public:
  using TGestureScript = std::function<void(TGestureDriver&)>;

  // Queues a script for the next showing of a form of that class or name.
  void QueueForm(const String& FormClassOrName, TGestureScript Script);
  // The same with gesture commands (GestureCommands.h); "show" output is discarded.
  void QueueForm(const String& FormClassOrName, std::vector<String> Commands);
  // Queues the answer to the next message box; with Expect, the box's text must contain it.
  void QueueAnswer(TModalResult Answer, const String& Expect = {});
  // Queues the next file dialog's choice: a file name (nothing: cancel).
  void QueueOpenDialog(std::optional<String> FileName);

  bool AllConsumed() const { return FForms.empty() && FAnswers.empty() && FFiles.empty(); }
  // What was shown, in order: forms as "form NAME: CLASS", message boxes as their text
  // (MessageBoxToText), file dialogs as "open dialog".
  const std::vector<String>& Log() const { return FLog; }
  // The message boxes shown, each as MessageBoxToText gives it.
  const std::vector<String>& Messages() const { return FMessages; }

  void ShowModal(TForm* Form) override;
  int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) override;
  std::optional<String> ExecuteOpenDialog(TOpenDialog* Dialog) override;

private:
  struct TFormEntry {
    String Key;
    TGestureScript Script;
  };
  struct TAnswer {
    TModalResult Result;
    String Expect;
  };
  std::deque<TFormEntry> FForms;
  std::deque<TAnswer> FAnswers;
  std::deque<std::optional<String>> FFiles;
  std::vector<String> FLog;
  std::vector<String> FMessages;
};

// ------------------------------------------------------------------ text

// Prints each form shown (FormText.h) and reads gesture commands (GestureCommands.h) from In
// until the form closes; a command that fails prints "Error: <message>" and the next one is
// read. A message box is printed with its buttons and answered by a line naming one (letter
// case ignored). The open dialog is printed and answered by "file NAME" or "cancel" (also
// "filter N"). Input that ends while something waits for an answer raises
// EUserInterfaceError.
class TTextUserInterface : public THeadlessUserInterface {
public:
  TTextUserInterface(std::istream& In, std::ostream& Out) : FIn(In), FOut(Out) {}

  // Printed before each line is read ("" by default).
  void SetPrompt(const String& Prompt) { FPrompt = Prompt; }
  // Whether each line read is printed back (for transcripts of piped input).
  void SetEcho(bool Echo) { FEcho = Echo; }

  void ShowModal(TForm* Form) override;
  int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) override;
  std::optional<String> ExecuteOpenDialog(TOpenDialog* Dialog) override;
  bool OpenAddress(const String& Address) override;

private:
  // The next line; raises EUserInterfaceError naming What when the input has ended.
  String ReadLine(const String& What);

  std::istream& FIn;
  std::ostream& FOut;
  String FPrompt;
  bool FEcho = false;
};

}  // namespace vcl
