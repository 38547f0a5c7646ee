#include "CommandLine.h"

namespace designer {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

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
    } else if (Line[pos] == '\'') {
      // A Pascal string: blanks kept, a quote inside doubled.
      const size_t start = pos++;
      for (;;) {
        if (pos >= Line.size()) throw ECommandError("Unclosed quote: " + Line.substr(start));
        char c = Line[pos++];
        if (c == '\'') {
          if (pos < Line.size() && Line[pos] == '\'') {
            word += Line[pos++];
            continue;
          }
          break;
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
  bool plain = !Word.empty() && Word[0] != '#' && Word[0] != '\'';
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

namespace {

// Appends Text with control characters (C0, DEL and the C1 range U+0080..U+009F) escaped,
// stopping after Limit bytes of Text; returns whether all of it was taken.
bool AppendEscaped(String& Out, const String& Text, size_t Limit) {
  static const char* const kHex = "0123456789abcdef";
  size_t i = 0;
  for (; i < Text.size(); ++i) {
    if (i >= Limit) {
      // Do not cut a UTF-8 sequence in two.
      while (i > 0 && (static_cast<unsigned char>(Text[i]) & 0xC0) == 0x80) {
        --i;
        Out.pop_back();
      }
      return false;
    }
    const unsigned char c = static_cast<unsigned char>(Text[i]);
    const bool c1 = c == 0xC2 && i + 1 < Text.size() && static_cast<unsigned char>(Text[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(Text[i + 1]) <= 0x9F;
    if (c == '\n') {
      Out += "\\n";
    } else if (c == '\t') {
      Out += "\\t";
    } else if (c == '\r') {
      Out += "\\r";
    } else if (c < 0x20 || c == 0x7F) {
      Out += "\\x";
      Out += kHex[c >> 4];
      Out += kHex[c & 15];
    } else if (c1) {
      const unsigned char d = static_cast<unsigned char>(Text[++i]);
      Out += "\\u00";
      Out += kHex[d >> 4];
      Out += kHex[d & 15];
    } else {
      Out += static_cast<char>(c);
    }
  }
  return true;
}

}  // namespace

String EchoName(const String& Word) {
  String r;
  if (!AppendEscaped(r, Word, kEchoLimit)) r += "...";
  return r;
}

String EchoWord(const String& Word) {
  String r = "\"";
  const bool whole = AppendEscaped(r, Word, kEchoLimit);
  r += '"';
  if (!whole) r += "...";
  return r;
}

String EscapeMessage(const String& Message) {
  constexpr size_t kLineLimit = 4000;
  String r;
  size_t start = 0;
  for (;;) {
    const size_t end = Message.find('\n', start);
    const String line = Message.substr(start, end == String::npos ? String::npos : end - start);
    if (!AppendEscaped(r, line, kLineLimit)) r += "...";
    if (end == String::npos) break;
    r += '\n';
    start = end + 1;
  }
  return r;
}

}  // namespace designer
