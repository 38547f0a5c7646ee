#include "CommandLine.h"

namespace designer {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

std::vector<String> SplitScriptLine(const String& Line) {
  std::vector<String> words;
  size_t pos = 0;
  for (;;) {
    while (pos < Line.size() && IsBlank(Line[pos])) ++pos;
    if (pos >= Line.size() || Line[pos] == '#') break;
    String word;
    if (Line[pos] == '"') {
      const size_t start = pos++;
      for (;;) {
        if (pos >= Line.size()) throw ECommandError("Unclosed quote: " + Line.substr(start));
        char c = Line[pos++];
        if (c == '"') break;
        if (c == '\\' && pos < Line.size()) {
          char e = Line[pos++];
          word += e == 'n' ? '\n' : e == 't' ? '\t' : e;
          continue;
        }
        word += c;
      }
      if (pos < Line.size() && !IsBlank(Line[pos]))
        throw ECommandError("A blank must follow the quoted word " + Line.substr(start, pos - start));
    } else {
      while (pos < Line.size() && !IsBlank(Line[pos])) word += Line[pos++];
    }
    words.push_back(std::move(word));
  }
  return words;
}

bool IsBlankLine(const String& Line) {
  for (char c : Line) {
    if (c == '#') return true;
    if (!IsBlank(c)) return false;
  }
  return true;
}

String QuoteWord(const String& Word) {
  bool plain = !Word.empty() && Word[0] != '#';
  for (char c : Word)
    if (IsBlank(c) || c == '"' || c == '\\') plain = false;
  if (plain) return Word;
  String r = "\"";
  for (char c : Word) {
    if (c == '"' || c == '\\') r += '\\';
    if (c == '\n') {
      r += "\\n";
      continue;
    }
    r += c;
  }
  return r + "\"";
}

} // namespace designer
