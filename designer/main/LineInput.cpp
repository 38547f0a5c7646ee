#include "LineInput.h"

#include <readline/history.h>
#include <readline/readline.h>

#include <strings.h>
#include <sys/select.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>

namespace designer {

namespace {

// Set by the signal handlers, read between the reads of a key: a handler may do no more.
volatile std::sig_atomic_t gTerminating = 0;
volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void NoteTermination(int Signal) { gTerminating = Signal; }
extern "C" void NoteInterrupt(int) { gInterrupted = 1; }

// A handler for Signal while it lives, installed without SA_RESTART so that a wait for a key
// returns when the signal comes; the handler before comes back afterwards.
class TSignalHandler {
public:
  TSignalHandler(int Signal, void (*Handler)(int)) : FSignal(Signal) {
    struct sigaction action {};
    action.sa_handler = Handler;
    sigemptyset(&action.sa_mask);
    sigaction(Signal, &action, &FPrevious);
  }
  ~TSignalHandler() { sigaction(FSignal, &FPrevious, nullptr); }
  TSignalHandler(const TSignalHandler&) = delete;
  TSignalHandler& operator=(const TSignalHandler&) = delete;

private:
  int FSignal;
  struct sigaction FPrevious {};
};

// Signals held back while it lives; Waiting() is the mask to wait under, with them let through.
class TSignalMask {
public:
  explicit TSignalMask(std::initializer_list<int> Signals) {
    sigset_t held;
    sigemptyset(&held);
    for (int s : Signals) sigaddset(&held, s);
    sigprocmask(SIG_BLOCK, &held, &FPrevious);
    FWaiting = FPrevious;
    for (int s : Signals) sigdelset(&FWaiting, s);
  }
  ~TSignalMask() { sigprocmask(SIG_SETMASK, &FPrevious, nullptr); }
  TSignalMask(const TSignalMask&) = delete;
  TSignalMask& operator=(const TSignalMask&) = delete;
  const sigset_t& Waiting() const { return FWaiting; }

private:
  sigset_t FPrevious;
  sigset_t FWaiting;
};

// The line readline's callback interface hands over; readline gives it no context of its own.
struct TTypedLine {
  bool Done = false;
  bool Ended = false;  // Ctrl-D on an empty line
  String Text;
};
TTypedLine* gTyped = nullptr;

extern "C" void TakeLine(char* Text) {
  std::unique_ptr<char, decltype(&std::free)> owned(Text, &std::free);
  rl_callback_handler_remove();  // no prompt again until the next line is asked for
  gTyped->Done = true;
  gTyped->Ended = Text == nullptr;
  if (Text) gTyped->Text = Text;
}

// The completion of the line being read, for readline's completion callbacks (which have no
// context of their own either).
const TLineInput::TCompleter* gCompleter = nullptr;
std::vector<String> gMatches;
std::size_t gNextMatch = 0;

extern "C" char* NextMatch(const char*, int State) {
  if (State == 0) gNextMatch = 0;
  return gNextMatch < gMatches.size() ? ::strdup(gMatches[gNextMatch++].c_str()) : nullptr;
}

extern "C" char** CompleteWord(const char* Text, int Start, int) {
  if (!gCompleter || !*gCompleter) return nullptr;
  const std::optional<std::vector<String>> words = (*gCompleter)(String(rl_line_buffer, Start));
  if (!words) return nullptr;  // a file name: readline completes it
  rl_attempted_completion_over = 1;
  const String prefix = Text;
  gMatches.clear();
  for (const String& w : *words)
    if (w.size() >= prefix.size() && ::strncasecmp(w.c_str(), prefix.c_str(), prefix.size()) == 0)
      gMatches.push_back(w);
  return gMatches.empty() ? nullptr : rl_completion_matches(Text, NextMatch);
}

}  // namespace

struct TTerminationSignals::TSaved {
  explicit TSaved(bool Interactive) {
    if (Interactive) Interrupt.emplace(SIGINT, NoteInterrupt);
  }
  TSignalHandler Term{SIGTERM, NoteTermination};
  TSignalHandler Hup{SIGHUP, NoteTermination};
  std::optional<TSignalHandler> Interrupt;
};

TTerminationSignals::TTerminationSignals(bool Interactive) : FSaved(std::make_unique<TSaved>(Interactive)) {}
TTerminationSignals::~TTerminationSignals() = default;

int TerminatingSignal() { return gTerminating; }

TLineInput::TLineInput(std::istream& In, std::ostream& Out, bool Interactive)
    : FIn(In), FOut(Out), FInteractive(Interactive) {}

bool TLineInput::ReadLine(const String& Prompt, String& Line, const TCompleter* Completer) {
  if (gTerminating) return false;
  if (FInteractive) return ReadTerminalLine(Prompt, Line, Completer);
  FOut << Prompt << std::flush;
  if (!std::getline(FIn, Line) || gTerminating) {
    FOut << '\n';
    return false;
  }
  if (!Line.empty() && Line.back() == '\r') Line.pop_back();
  FOut << Line << '\n';
  return true;
}

bool TLineInput::ReadTerminalLine(const String& Prompt, String& Line, const TCompleter* Completer) {
  FOut << std::flush;
  // Readline reads keys as they come; a signal interrupts the wait between two keys, where
  // Ctrl-C drops the line typed so far and asks again.
  rl_catch_signals = 0;
  rl_attempted_completion_function = CompleteWord;
  rl_variable_bind("completion-ignore-case", "on");
  gCompleter = Completer;
  struct TCompletionScope {
    ~TCompletionScope() { gCompleter = nullptr; }
  } completion;
  TTypedLine typed;
  gTyped = &typed;
  gInterrupted = 0;
  TSignalHandler interrupt(SIGINT, NoteInterrupt);
  // The signals are held back but for the wait itself, so that one that comes while a key is
  // handled ends the next wait at once instead of being missed before it.
  TSignalMask held({SIGINT, SIGTERM, SIGHUP});
  rl_callback_handler_install(Prompt.c_str(), TakeLine);
  const int terminal = fileno(rl_instream ? rl_instream : stdin);
  while (!typed.Done) {
    int ready = 0;
    if (!gTerminating && !gInterrupted) {
      fd_set keys;
      FD_ZERO(&keys);
      FD_SET(terminal, &keys);
      ready = pselect(terminal + 1, &keys, nullptr, nullptr, nullptr, &held.Waiting());
    }
    if (gTerminating) {
      rl_callback_handler_remove();
      rl_crlf();
      gTyped = nullptr;
      return false;
    }
    if (gInterrupted) {
      gInterrupted = 0;
      rl_replace_line("", 0);
      rl_crlf();
      rl_on_new_line();
      rl_redisplay();
      continue;
    }
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;  // the terminal is gone
    }
    if (ready > 0) rl_callback_read_char();
  }
  gTyped = nullptr;
  if (!typed.Done) {
    rl_callback_handler_remove();
    return false;
  }
  if (typed.Ended) return false;
  Line = typed.Text;
  if (!Line.empty()) ::add_history(Line.c_str());
  return true;
}

TLineInputBuf::int_type TLineInputBuf::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  String line;
  if (!FInput.ReadLine(FPrompt, line)) return traits_type::eof();
  FBuffer = line + '\n';
  setg(FBuffer.data(), FBuffer.data(), FBuffer.data() + FBuffer.size());
  return traits_type::to_int_type(*gptr());
}

}  // namespace designer
