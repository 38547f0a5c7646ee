// Lines typed by a person: with line editing and history (readline) at a terminal, else read
// from the stream with the prompt printed and the line echoed, so that a piped session reads
// as a transcript.
#pragma once

#include <iosfwd>
#include <streambuf>
#include <string>

namespace designer {

using String = std::string;

class TLineInput {
public:
  TLineInput(std::istream& In, std::ostream& Out, bool Interactive);

  bool Interactive() const { return FInteractive; }
  // The next line without its line end; false when the input has ended.
  bool ReadLine(const String& Prompt, String& Line);

private:
  std::istream& FIn;
  std::ostream& FOut;
  bool FInteractive;
};

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

} // namespace designer
