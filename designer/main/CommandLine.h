// Designer script lines as words: one command a line, words separated by blanks, a word with
// blanks in double quotes (\" and \\ inside, \n for a line break) or in single quotes as a
// Pascal string ('It''s'), "#" starting a comment outside quotes.
#pragma once

#include "rtl/Exceptions.h"

#include <string>
#include <vector>

namespace designer {

using rtl::String;

RTL_DECLARE_EXCEPTION(ECommandError, rtl::Exception)

// The words of Line; empty for a blank or comment line. Raises ECommandError for an unclosed
// quote or a quote not followed by a blank.
std::vector<String> SplitScriptLine(const String& Line);

// Whether a line holds nothing but blanks or a comment.
bool IsBlankLine(const String& Line);

// Words joined back into a line that SplitScriptLine reads as the same words.
String QuoteWord(const String& Word);

// What a user typed, as a message shows it: control characters escaped (\n, \t, \x1b...) so
// that none reaches the terminal, and past kEchoLimit bytes cut with "..." so that a huge
// word gives a short line. EchoName leaves a plain name as it is; EchoWord puts the word in
// double quotes.
constexpr size_t kEchoLimit = 200;
String EchoName(const String& Word);
String EchoWord(const String& Word);

// A message for the terminal: control characters other than line breaks escaped, as EchoName
// does, each line cut past a few thousand bytes.
String EscapeMessage(const String& Message);

}  // namespace designer
