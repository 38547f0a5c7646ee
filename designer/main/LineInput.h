// Lines typed by a person: with line editing and history (readline) at a terminal, else read
// from the stream with the prompt printed and the line echoed, so that a piped session reads
// as a transcript.
//
// At a terminal Ctrl-C cancels the line being typed (never the program) and Ctrl-D on an empty
// line ends the input, as the end of a piped input does. While TTerminationSignals lives,
// SIGTERM and SIGHUP end the input too, and TerminatingSignal() says which came, so that the
// designer can keep the unsaved work before it goes.
#pragma once

#include "rtl/Types.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <streambuf>
#include <string>
#include <vector>

namespace designer {

using rtl::String;

class TLineInput {
public:
  TLineInput(std::istream& In, std::ostream& Out, bool Interactive);

  bool Interactive() const { return FInteractive; }

  // What Tab completes at the terminal: the words that may come where the word being typed is,
  // given the line before it; nullopt for a file name (readline's own completion, which is
  // also what Tab does without a completer).
  using TCompleter = std::function<std::optional<std::vector<String>>(const String& Before)>;
  // The next line without its line end; false when the input has ended or a terminating signal
  // came (before or while waiting).
  bool ReadLine(const String& Prompt, String& Line, const TCompleter* Completer = nullptr);

private:
  bool ReadTerminalLine(const String& Prompt, String& Line, const TCompleter* Completer);

  std::istream& FIn;
  std::ostream& FOut;
  bool FInteractive;
};

// Notes SIGTERM and SIGHUP instead of letting them end the program, while it lives; the
// handlers before it come back afterwards. At a terminal (Interactive) a Ctrl-C that comes
// while a command runs is noted and dropped too: it cancels only a line being typed.
class TTerminationSignals {
public:
  explicit TTerminationSignals(bool Interactive);
  ~TTerminationSignals();
  TTerminationSignals(const TTerminationSignals&) = delete;
  TTerminationSignals& operator=(const TTerminationSignals&) = delete;

private:
  struct TSaved;
  std::unique_ptr<TSaved> FSaved;
};

// The terminating signal noted (SIGTERM, SIGHUP), or 0.
int TerminatingSignal();

// A stream buffer over a line input, for readers that want an istream: each line read is
// asked for with Prompt.
class TLineInputBuf : public std::streambuf {
public:
  TLineInputBuf(TLineInput& Input, String Prompt) : FInput(Input), FPrompt(std::move(Prompt)) {}

protected:
  int_type underflow() override;

private:
  TLineInput& FInput;
  String FPrompt;
  String FBuffer;
};

}  // namespace designer
