// The user interfaces of korv: the one a designer script runs under (korv run) and the one a
// person at the prompt uses (korv design).
//
// Both take answers queued with "answer" first: the next message box takes a button name (yes,
// no, cancel, ok ...), the next file-open dialog a file name (or cancel).
#pragma once

#include "LineInput.h"

#include "vcl/HeadlessUI.h"

#include <deque>
#include <istream>
#include <functional>
#include <optional>

namespace designer {

using rtl::String;

class TAnswerQueue {
public:
  void Push(const String& Answer) { FAnswers.push_back(Answer); }
  std::optional<String> Pop();
  bool Empty() const { return FAnswers.empty(); }
  size_t Count() const { return FAnswers.size(); }
  void Clear() { FAnswers.clear(); }

  // The modal result of the button Answer names among Buttons (letter case ignored); raises
  // vcl::EUserInterfaceError naming the box when it names none of them.
  static int ButtonResult(const String& Answer, const String& Msg, vcl::TMsgDlgType DlgType,
                          vcl::TMsgDlgButtons Buttons);

private:
  std::deque<String> FAnswers;
};

// A message box's text on one line: line breaks as blanks, trimmed; with its buttons, quoted.
String MessageText(const String& Msg);
String MessageOnOneLine(const String& Msg, vcl::TMsgDlgButtons Buttons);

// The words of a dialog line: vcl's gesture commands, with "pick CONTROL *" standing for every
// item of the list box. Nothing for a blank or comment line.
std::optional<vcl::TGestureCommand> ParseDialogLine(vcl::TGestureDriver& Driver, const String& Line);

// Whether a script line's command is one of vcl's gesture commands (acts on a dialog).
bool IsDialogCommand(const String& Verb);

// korv run: a form shown modally takes the script's next lines as its gestures until it
// closes ("answer" lines among them queue answers as usual). NextLine gives the next line and
// false at the end of the script. Message boxes and file dialogs take queued answers; without
// one they raise. Message boxes and "show" are printed to Out.
class TRunUserInterface : public vcl::THeadlessUserInterface {
public:
  using TNextLine = std::function<bool(String& Line)>;
  TRunUserInterface(TAnswerQueue& Answers, TNextLine NextLine, std::ostream& Out)
      : FAnswers(Answers), FNextLine(std::move(NextLine)), FOut(Out) {}

  void ShowModal(vcl::TForm* Form) override;
  int MessageDlg(const String& Msg, vcl::TMsgDlgType DlgType, vcl::TMsgDlgButtons Buttons, int HelpCtx) override;
  std::optional<String> ExecuteOpenDialog(vcl::TOpenDialog* Dialog) override;

private:
  TAnswerQueue& FAnswers;
  TNextLine FNextLine;
  std::ostream& FOut;
};

// The stream vcl's text backend reads answers from, asked for at the "answer> " prompt.
struct TAnswerInput {
  explicit TAnswerInput(TLineInput& Input) : Buf(Input, "answer> "), Stream(&Buf) {}
  TLineInputBuf Buf;
  std::istream Stream;
};

// korv design: vcl's text backend answers message boxes and file dialogs at its own prompt,
// unless an answer is queued. A form shown modally is printed and takes gesture lines at the
// "dialog> " prompt until it closes (a failing gesture prints "Error: ..." and the dialog stays;
// "answer" lines queue answers; "pick CONTROL *" picks every item).
class TDesignUserInterface : private TAnswerInput, public vcl::TTextUserInterface {
public:
  TDesignUserInterface(TAnswerQueue& Answers, TLineInput& Input, std::ostream& Out)
      : TAnswerInput(Input),
        vcl::TTextUserInterface(TAnswerInput::Stream, Out),
        FAnswers(Answers),
        FInput(Input),
        FOut(Out) {}

  void ShowModal(vcl::TForm* Form) override;
  int MessageDlg(const String& Msg, vcl::TMsgDlgType DlgType, vcl::TMsgDlgButtons Buttons, int HelpCtx) override;
  std::optional<String> ExecuteOpenDialog(vcl::TOpenDialog* Dialog) override;

private:
  TAnswerQueue& FAnswers;
  TLineInput& FInput;
  std::ostream& FOut;
};

}  // namespace designer
