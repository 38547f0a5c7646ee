#include "LineInput.h"

#include <readline/history.h>
#include <readline/readline.h>

#include <cstdlib>
#include <istream>
#include <memory>
#include <ostream>

namespace designer {

TLineInput::TLineInput(std::istream& In, std::ostream& Out, bool Interactive)
    : FIn(In), FOut(Out), FInteractive(Interactive) {}

bool TLineInput::ReadLine(const String& Prompt, String& Line) {
  if (FInteractive) {
    FOut << std::flush;
    std::unique_ptr<char, decltype(&std::free)> text(::readline(Prompt.c_str()), &std::free);
    if (!text) return false;
    Line = text.get();
    if (!Line.empty()) ::add_history(text.get());
    return true;
  }
  FOut << Prompt << std::flush;
  if (!std::getline(FIn, Line)) {
    FOut << '\n';
    return false;
  }
  if (!Line.empty() && Line.back() == '\r') Line.pop_back();
  FOut << Line << '\n';
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

} // namespace designer
