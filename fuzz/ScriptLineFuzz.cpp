// The designer script's line splitter: a line either splits into words or raises ECommandError;
// words quoted back into a line split into the same words again.
#include "FuzzTarget.h"

#include "../designer/main/CommandLine.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
  const std::string line(korvfuzz::AsText(Data, Size));
  std::vector<std::string> words;
  try {
    words = designer::SplitScriptLine(line);
  } catch (const rtl::Exception&) {
    return 0;
  }
  if (words.empty()) {
    korvfuzz::Check(designer::IsBlankLine(line), "a line with no words is not blank");
    return 0;
  }
  std::string joined;
  for (const auto& w : words) joined += (joined.empty() ? "" : " ") + designer::QuoteWord(w);
  std::vector<std::string> back;
  try {
    back = designer::SplitScriptLine(joined);
  } catch (const rtl::Exception&) {
    korvfuzz::Broken("quoted words do not split again");
  }
  korvfuzz::Check(back == words, "quoted words split into other words");
  return 0;
}
