#include "rtl/FormParser.h"

#include "Utf8.h"
#include "Words.h"

#include <fmt/format.h>

#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <utility>

namespace rtl {

String FormPlace(const String& FileName, TDfmPos Pos, bool Column) {
  if (Pos.Offset >= 0) return fmt::format("{}: byte {}", FileName, Pos.Offset);
  return Column ? fmt::format("{}:{}:{}", FileName, Pos.Line, Pos.Column) : fmt::format("{}:{}", FileName, Pos.Line);
}

void RaiseFormError(const String& FileName, TDfmPos Pos, const String& Message) {
  throw EParserError(FormPlace(FileName, Pos) + ": " + Message);
}

namespace {

// Deeper nesting than any real form needs; the limit keeps hostile input off the stack.
constexpr int MaxNesting = 256;

// ASCII letters, "_" and (for IsIdentChar) digits, by table: the lexer asks for every byte.
constexpr std::array<uint8_t, 256> IdentClasses = [] {
  std::array<uint8_t, 256> t{};
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = t[c + 32] = 3;
  t['_'] = 3;
  for (int c = '0'; c <= '9'; ++c) t[c] = 1;
  return t;
}();
inline bool IsIdentStart(char c) { return IdentClasses[static_cast<unsigned char>(c)] & 2; }
inline bool IsIdentChar(char c) { return IdentClasses[static_cast<unsigned char>(c)] != 0; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

using utf8::SameAscii;

enum class TTokenKind { tkEOF, tkIdent, tkInteger, tkFloat, tkString, tkSymbol };

struct TToken {
  TTokenKind Kind = TTokenKind::tkEOF;
  TDfmPos Pos;
  std::string_view Text;  // as written
  char Symbol = 0;
  int64_t Int = 0;
  double Float = 0;
  char Suffix = 0;
};

// A string under construction from quoted parts and #n codes; a high surrogate waits for its
// low half, which may come in the next part, even after a `+`.
struct TStringBuilder {
  String& Out;
  uint32_t PendingHigh = 0;
  TDfmPos PendingPos;
};

class TFormParser {
public:
  TFormParser(std::string_view text, const String& fileName) : FText(text), FFileName(fileName) {}

  TDfmObject ParseModule(TFormTextSink* sink = nullptr) {
    FSink = sink;
    if (FText.size() >= 3 && std::memcmp(FText.data(), "\xEF\xBB\xBF", 3) == 0) {
      FPos = FLineStart = FColFrom = 3;
    }
    if (FText.substr(FPos, 4) == "TPF0")
      Error(TDfmPos{1, 1}, "expected a text form file but found a binary one (\"TPF0\")");
    SkipBlanks();
    Next();
    if (!IsObjectKeyword()) Expected("\"object\"");
    TDfmObject root = ParseObject(0);
    if (FTok.Kind != TTokenKind::tkEOF) Expected("end of file");
    return root;
  }

private:
  // ---- errors -----------------------------------------------------------------------------
  [[noreturn]] void Error(TDfmPos pos, const String& message) const { RaiseFormError(FFileName, pos, message); }

  static String Shorten(std::string_view s) {
    if (s.size() <= 40) return String(s);
    size_t n = 40;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return String(s.substr(0, n)) + "...";
  }

  String Describe(const TToken& t) const {
    switch (t.Kind) {
    case TTokenKind::tkEOF: return "end of file";
    case TTokenKind::tkIdent: return "\"" + Shorten(t.Text) + "\"";
    case TTokenKind::tkInteger:
    case TTokenKind::tkFloat: return "number " + Shorten(t.Text);
    case TTokenKind::tkString: return "a string";
    case TTokenKind::tkSymbol: return fmt::format("\"{}\"", t.Symbol);
    }
    return "?";
  }

  [[noreturn]] void Expected(const String& what) const {
    Error(FTok.Pos, fmt::format("expected {} but found {}", what, Describe(FTok)));
  }

  // ---- positions --------------------------------------------------------------------------
  // Columns count characters, not bytes. Positions are asked for in increasing order, so the
  // count continues from the last one asked and stays linear on very long lines.
  // (Loops over the text keep their counters in locals: a store through a member could alias
  // the text's bytes, and the compiler would reload everything after each one.)
  TDfmPos PosAt(size_t offset) {
    // A line of ASCII so far: a byte a column.
    if (FWideAt >= offset) return TDfmPos{FLine, static_cast<int>(offset - FLineStart) + 1};
    if (offset < FColFrom) {
      FColFrom = FLineStart;
      FColCount = 1;
    }
    const char* text = FText.data();
    int count = FColCount;
    size_t i = FColFrom;
    // Eight bytes at a time: a continuation byte (10xxxxxx) has its top bit set and the next one
    // clear.
    for (; i + 8 <= offset; i += 8) {
      const uint64_t w = words::WordAt(text + i);
      count += 8 - std::popcount(w & ~(w << 1) & words::Highs);
    }
    for (; i < offset; ++i) count += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    FColCount = count;
    FColFrom = offset;
    return TDfmPos{FLine, count};
  }

  // Position of an offset on the same line as a token that starts at `start`.
  TDfmPos PosWithin(TDfmPos tokenPos, size_t start, size_t offset) const {
    int col = tokenPos.Column;
    for (size_t i = start; i < offset; ++i)
      if ((static_cast<unsigned char>(FText[i]) & 0xC0) != 0x80) ++col;
    return TDfmPos{tokenPos.Line, col};
  }

  void NewLineAt(size_t next) {
    ++FLine;
    FLineStart = FColFrom = next;
    FColCount = 1;
    FWideAt = String::npos;
  }

  // Bytes above 0x7F stand only in names and strings, and the lexer tells of each it passes.
  void NoteWide(size_t offset) {
    if (offset < FWideAt) FWideAt = offset;
  }

  // ---- lexer ------------------------------------------------------------------------------
  // The lexer passes the blanks after each token with it, so that the next token starts at FPos
  // and the parser can tell `=` or `:` there without lexing them. Runs of spaces (indentation)
  // go a word at a time.
  void SkipBlanks() {
    const char* text = FText.data();
    const size_t n = FText.size();
    size_t pos = FPos;
    // Spaces and line feeds are tested one by one, the rare blanks apart: as one chain of
    // comparisons the compiler makes a jump table of them, and its one indirect jump mispredicts
    // at about every other blank.
    while (pos < n) {
      const char c = text[pos];
      if (static_cast<unsigned char>(c) > ' ') break;  // the blanks are all below
      if (c == ' ') {
        ++pos;
        if (pos + 8 <= n) {
          if (const uint64_t other = words::WordAt(text + pos) ^ (words::Ones * ' ')) {
            pos += words::FirstSet(other);
          } else {
            pos += 8;
          }
        }
        continue;
      }
      if (c == '\n') {
        NewLineAt(++pos);
        continue;
      }
      if (!RareBlank(pos)) break;
    }
    FPos = pos;
  }

  // Passes a tab, form feed, vertical tab or line end of "\r" or "\r\n" at pos; false when the
  // byte there is not a blank.
  [[gnu::noinline]] bool RareBlank(size_t& pos) {
    const char c = FText[pos];
    if (c == '\t' || c == '\f' || c == '\v') {
      ++pos;
      return true;
    }
    if (c != '\r') return false;
    ++pos;
    if (pos < FText.size() && FText[pos] == '\n') ++pos;
    NewLineAt(pos);
    return true;
  }

  // Whether the next token starts with c.
  bool AtChar(char c) const { return FPos < FText.size() && FText[FPos] == c; }
  // Passes c and the blanks after it when the next token starts with it (a one-character
  // symbol needs no token of its own); false, and nothing passed, when it does not.
  bool PassChar(char c) {
    if (!AtChar(c)) return false;
    ++FPos;
    SkipBlanks();
    return true;
  }

  [[noreturn]] void BadCharacter(size_t offset) {
    unsigned char c = static_cast<unsigned char>(FText[offset]);
    TDfmPos pos = PosAt(offset);
    if (c == 0) Error(pos, "unexpected NUL byte (binary data is not a text form file)");
    if (c < 0x20 || c == 0x7F) Error(pos, fmt::format("unexpected control character #{}", c));
    if (c >= 0x80) {
      Error(pos, fmt::format("invalid UTF-8 byte 0x{:02X}", c));
    }
    Error(pos, fmt::format("unexpected character \"{}\"", static_cast<char>(c)));
  }

  // Identifiers may hold non-ASCII letters (component names do); any valid UTF-8 sequence
  // counts as one. Returns its length, 0 when there is none at offset.
  size_t Utf8LetterAt(size_t offset) const {
    if (offset >= FText.size() || static_cast<unsigned char>(FText[offset]) < 0x80) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(FText.data());
    return utf8::SequenceLength(bytes + offset, bytes + FText.size());
  }

  // Lexes the token at FPos, then the blanks after it. Each kind of token sets the fields it
  // uses (Kind, Pos and Text always); the others keep what an earlier token left.
  void Next() {
    const size_t n = FText.size();
    const size_t start = FPos;
    FTok.Pos = PosAt(start);
    if (start >= n) {
      FTok.Kind = TTokenKind::tkEOF;
      FTok.Text = {};
      return;
    }
    const char c = FText[start];
    if (IsIdentStart(c) || Utf8LetterAt(start)) {
      LexIdent();
    } else if (IsDigit(c) || c == '$' ||
               (c == '-' && start + 1 < n && (IsDigit(FText[start + 1]) || FText[start + 1] == '$'))) {
      LexNumber();
    } else if (c == '\'' || c == '#') {
      LexString();
    } else if (c > 0x20 && c < 0x7F) {
      // Every other printable character is a symbol that no rule accepts, so that the parser
      // says what it expected there.
      FTok.Kind = TTokenKind::tkSymbol;
      FTok.Symbol = c;
      FTok.Text = std::string_view(FText.data() + start, 1);
      FPos = start + 1;
    } else {
      BadCharacter(start);
    }
    SkipBlanks();
  }

  // A name, dotted or not; its parts start with a letter or "_".
  void LexIdent() {
    const char* text = FText.data();
    const size_t n = FText.size();
    const size_t start = FPos;
    size_t pos = start;
    for (;;) {
      // ASCII letters, digits and "_" a word at a time: one branch for most names, where a test
      // of each byte would mispredict at the end of each; then one by one from the first other.
      while (pos + 8 <= n) {
        if (const uint64_t stops = words::NonIdentBytes(words::WordAt(text + pos))) {
          pos += words::FirstSet(stops);
          break;
        }
        pos += 8;
      }
      for (;;) {
        if (pos < n && IsIdentChar(text[pos])) {
          ++pos;
        } else if (size_t len = Utf8LetterAt(pos)) {
          NoteWide(pos);
          pos += len;
        } else {
          break;
        }
      }
      if (pos + 1 < n && text[pos] == '.' && (IsIdentStart(text[pos + 1]) || Utf8LetterAt(pos + 1))) {
        ++pos;
        continue;
      }
      break;
    }
    FPos = pos;
    FTok.Kind = TTokenKind::tkIdent;
    FTok.Text = std::string_view(text + start, pos - start);
  }

  void LexNumber() {
    const size_t n = FText.size();
    size_t start = FPos;
    bool negative = false;
    if (FText[FPos] == '-') {
      negative = true;
      ++FPos;
    }
    if (FText[FPos] == '$') {
      ++FPos;
      size_t digits = FPos;
      uint64_t v = 0;
      while (FPos < n && HexValue(FText[FPos]) >= 0) {
        v = (v << 4) | static_cast<uint64_t>(HexValue(FText[FPos]));
        ++FPos;
      }
      if (FPos == digits) Error(FTok.Pos, "expected hexadecimal digits after \"$\"");
      if (FPos - digits > 16) Error(FTok.Pos, "hexadecimal number out of range");
      if (FPos < n && IsIdentChar(FText[FPos])) Error(PosAt(FPos), "invalid character in a number");
      FTok.Kind = TTokenKind::tkInteger;
      FTok.Int = static_cast<int64_t>(negative ? (~v + 1) : v);
      FTok.Text = FText.substr(start, FPos - start);
      return;
    }
    while (FPos < n && IsDigit(FText[FPos])) ++FPos;
    bool isFloat = false;
    FTok.Suffix = 0;
    if (FPos + 1 < n && FText[FPos] == '.' && IsDigit(FText[FPos + 1])) {
      isFloat = true;
      ++FPos;
      while (FPos < n && IsDigit(FText[FPos])) ++FPos;
    }
    if (FPos < n && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
      size_t p = FPos + 1;
      if (p < n && (FText[p] == '+' || FText[p] == '-')) ++p;
      if (p < n && IsDigit(FText[p])) {
        isFloat = true;
        FPos = p;
        while (FPos < n && IsDigit(FText[FPos])) ++FPos;
      }
    }
    size_t end = FPos;
    FTok.Text = FText.substr(start, end - start);
    if (isFloat) {
      if (FPos < n && std::strchr("sScCdD", FText[FPos]) && FText[FPos] != 0 &&
          !(FPos + 1 < n && IsIdentChar(FText[FPos + 1]))) {
        FTok.Suffix = static_cast<char>(FText[FPos] | 0x20);
        ++FPos;
      }
      if (FPos < n && IsIdentChar(FText[FPos])) Error(PosAt(FPos), "invalid character in a number");
      double v = 0;
      auto res = std::from_chars(FText.data() + start, FText.data() + end, v);
      if (res.ec != std::errc() || res.ptr != FText.data() + end) Error(FTok.Pos, "invalid floating-point number");
      FTok.Kind = TTokenKind::tkFloat;
      FTok.Float = v;
      FTok.Text = FText.substr(start, FPos - start);
      return;
    }
    if (FPos < n && IsIdentChar(FText[FPos])) Error(PosAt(FPos), "invalid character in a number");
    int64_t v = 0;
    auto res = std::from_chars(FText.data() + start, FText.data() + end, v);
    if (res.ec != std::errc() || res.ptr != FText.data() + end) Error(FTok.Pos, "integer out of range");
    FTok.Kind = TTokenKind::tkInteger;
    FTok.Int = v;
  }

  // A run of quoted parts and #n codes without blanks between them. Checks the syntax; the
  // value is decoded by DecodeString.
  void LexString() {
    const size_t n = FText.size();
    const char* text = FText.data();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const size_t start = FPos;
    size_t pos = FPos;
    for (;;) {
      if (pos < n && text[pos] == '\'') {
        size_t open = pos;
        ++pos;
        for (;;) {
          // Plain bytes a word at a time, up to a quote, a byte below 0x0E (the line ends, NUL
          // and other control characters) or one above 0x7F.
          while (pos + 8 <= n) {
            const uint64_t w = words::WordAt(text + pos);
            if (const uint64_t stop = words::BytesEqual(w, '\'') | words::BytesBelow(w, 0x0E) | (w & words::Highs)) {
              pos += words::FirstSet(stop);
              break;
            }
            pos += 8;
          }
          if (pos >= n || text[pos] == '\n' || text[pos] == '\r')
            Error(PosAt(open),
                  fmt::format("unterminated string: expected \"'\" but found end of {}", pos >= n ? "file" : "line"));
          unsigned char c = bytes[pos];
          if (c == '\'') {
            if (pos + 1 < n && text[pos + 1] == '\'') {
              pos += 2;
              continue;
            }
            ++pos;
            break;
          }
          if (c == 0) BadCharacter(pos);
          if (c < 0x80) {
            ++pos;
          } else {
            size_t len = utf8::SequenceLength(bytes + pos, bytes + n);
            if (len == 0)
              Error(PosWithin(FTok.Pos, start, pos), fmt::format("invalid UTF-8 byte 0x{:02X} in a string", c));
            NoteWide(pos);
            pos += len;
          }
        }
      } else if (pos < n && text[pos] == '#') {
        size_t hash = pos;
        ++pos;
        const bool hex = pos < n && text[pos] == '$';
        if (hex) ++pos;
        size_t digits = pos;
        while (pos < n && (hex ? HexValue(text[pos]) >= 0 : IsDigit(text[pos]))) ++pos;
        if (pos == digits) Error(PosWithin(FTok.Pos, start, hash), "expected a character code after \"#\"");
      } else {
        break;
      }
    }
    FPos = pos;
    FTok.Kind = TTokenKind::tkString;
    FTok.Text = std::string_view(text + start, pos - start);
  }

  // Appends one UTF-16 code unit; posOf() gives its place, asked for only when it is needed (a
  // high surrogate to wait for its low half, an error).
  template <class PosOf>
  void AppendUnit(TStringBuilder& b, uint32_t unit, PosOf posOf) {
    if (!b.PendingHigh && unit < 0xD800) {
      utf8::Append(b.Out, unit);
      return;
    }
    if (b.PendingHigh) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        utf8::Append(b.Out, 0x10000 + ((b.PendingHigh - 0xD800) << 10) + (unit - 0xDC00));
        b.PendingHigh = 0;
        return;
      }
      Error(b.PendingPos,
            fmt::format("invalid character code #{}: a high surrogate without its low half", b.PendingHigh));
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      b.PendingHigh = unit;
      b.PendingPos = posOf();
      return;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF)
      Error(posOf(), fmt::format("invalid character code #{}: a low surrogate without its high half", unit));
    utf8::Append(b.Out, unit);
  }

  // The offset of the first quote in s at or after i; there is one.
  static size_t QuoteFrom(std::string_view s, size_t i) {
    for (; i + 8 <= s.size(); i += 8)
      if (const uint64_t quotes = words::BytesEqual(words::WordAt(s.data() + i), '\''))
        return i + words::FirstSet(quotes);
    while (s[i] != '\'') ++i;
    return i;
  }

  void DecodeString(const TToken& t, TStringBuilder& b) {
    const auto nowhere = [] { return TDfmPos{}; };  // a quoted character is never a surrogate
    const std::string_view s = t.Text;
    const size_t base = static_cast<size_t>(s.data() - FText.data());
    size_t i = 0;
    while (i < s.size()) {
      if (s[i] == '\'') {
        ++i;
        size_t run = i;
        for (;;) {
          i = QuoteFrom(s, i);  // the lexer saw this part's closing quote
          if (i + 1 < s.size() && s[i + 1] == '\'') {
            if (b.PendingHigh) AppendUnit(b, '\'', nowhere);
            b.Out.append(s.data() + run, i + 1 - run);
            i += 2;
            run = i;
            continue;
          }
          break;
        }
        if (i > run) {
          if (b.PendingHigh) AppendUnit(b, static_cast<unsigned char>(s[run]), nowhere);
          b.Out.append(s.data() + run, i - run);
        }
        ++i;
      } else {  // '#'
        size_t hash = i++;
        uint64_t v = 0;
        bool hex = s[i] == '$';
        if (hex) ++i;
        bool overflow = false;
        while (i < s.size() && (hex ? HexValue(s[i]) >= 0 : IsDigit(s[i]))) {
          v = hex ? v * 16 + static_cast<uint64_t>(HexValue(s[i])) : v * 10 + static_cast<uint64_t>(s[i] - '0');
          if (v > 0xFFFF) overflow = true;
          ++i;
        }
        const auto posOf = [&] { return PosWithin(t.Pos, base, base + hash); };
        if (overflow)
          Error(posOf(), fmt::format("invalid character code {}: expected a UTF-16 code from 0 to 65535",
                                     Shorten(s.substr(hash, i - hash))));
        AppendUnit(b, static_cast<uint32_t>(v), posOf);
      }
    }
  }

  // Reads `{ hex pairs }`; the current token is the "{".
  String ReadBinary() {
    const size_t n = FText.size();
    String bytes;
    int high = -1;
    for (;;) {
      SkipBlanks();
      if (FPos >= n) Error(PosAt(FPos), "expected \"}\" but found end of file");
      char c = FText[FPos];
      if (c == '}') {
        if (high >= 0) Error(PosAt(FPos), "odd number of hexadecimal digits in binary data");
        ++FPos;
        SkipBlanks();
        return bytes;
      }
      int v = HexValue(c);
      if (v < 0) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) BadCharacter(FPos);
        Error(PosAt(FPos), fmt::format("expected a hexadecimal digit or \"}}\" but found \"{}\"", c));
      }
      if (high < 0) {
        high = v;
      } else {
        bytes += static_cast<char>((high << 4) | v);
        high = -1;
      }
      ++FPos;
    }
  }

  // ---- grammar ----------------------------------------------------------------------------
  bool IsSymbol(char c) const { return FTok.Kind == TTokenKind::tkSymbol && FTok.Symbol == c; }
  bool IsKeyword(const char* kw) const { return FTok.Kind == TTokenKind::tkIdent && SameAscii(FTok.Text, kw); }
  bool IsObjectKeyword() const { return IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline"); }
  void Expect(char symbol) {
    if (!IsSymbol(symbol)) Expected(fmt::format("\"{}\"", symbol));
    Next();
  }
  void CheckDepth(int depth) const {
    if (depth > MaxNesting) Error(FTok.Pos, fmt::format("nesting deeper than {} levels", MaxNesting));
  }

  TDfmObject ParseObject(int depth) {
    CheckDepth(depth);
    TDfmObject obj;
    if (depth == 1 && FSink) obj.Props = std::exchange(FSpareProps, {});
    obj.Pos = FTok.Pos;
    obj.Kind = IsKeyword("object")      ? TDfmObjectKind::okObject
               : IsKeyword("inherited") ? TDfmObjectKind::okInherited
                                        : TDfmObjectKind::okInline;
    Next();
    if (FTok.Kind != TTokenKind::tkIdent) Expected("a component name or class name");
    obj.NamePos = FTok.Pos;
    String first(FTok.Text);
    if (PassChar(':')) {
      if (first.find('.') != String::npos)
        Error(obj.NamePos, fmt::format("invalid component name \"{}\"", Shorten(first)));
      Next();
      if (FTok.Kind != TTokenKind::tkIdent) Expected("a class name");
      obj.Name = std::move(first);
      obj.ClassName = String(FTok.Text);
      Next();
    } else {
      Next();
      obj.ClassName = std::move(first);
    }
    if (IsSymbol('[')) {
      Next();
      if (FTok.Kind != TTokenKind::tkInteger) Expected("an integer");
      obj.Index = FTok.Int;
      Next();
      Expect(']');
    }
    // Properties first, then nested objects. A streamed child's list comes with the properties
    // of the last one still in it: each is filled again, its texts' storage reused, and what is
    // left over goes once the properties end.
    bool inChildren = false;
    size_t used = 0;
    for (;;) {
      if (FTok.Kind == TTokenKind::tkEOF) Expected("\"end\"");
      if (FTok.Kind != TTokenKind::tkIdent)
        Expected(inChildren ? "an object or \"end\"" : "a property, an object or \"end\"");
      if (!AtChar('=')) {
        if (IsKeyword("end")) {
          obj.Props.resize(used);
          if (depth == 0 && FSink && !inChildren) FSink->Root(obj);
          Next();
          return obj;
        }
        if (IsObjectKeyword()) {
          obj.Props.resize(used);
          if (depth == 0 && FSink) {
            if (!inChildren) FSink->Root(obj);
            TDfmObject child = ParseObject(depth + 1);
            FSink->Child(child);
            // The next child's properties go where this one's went: no allocation for the list,
            // nor for most of its texts, for every component of a big module.
            FSpareProps = std::move(child.Props);
          } else {
            obj.Children.push_back(ParseObject(depth + 1));
          }
          inChildren = true;
          continue;
        }
      }
      if (inChildren) Expected("an object or \"end\"");
      ParseProperty(depth, RefillDfmProperty(obj.Props, used));
    }
  }

  // Properties and values are parsed where they will stay: a node moved is a node copied.
  void ParseProperty(int depth, TDfmProperty& p) {
    p.Pos = FTok.Pos;
    utf8::Refill(p.Name, FTok.Text);
    if (PassChar('=')) {
      Next();
    } else {
      Next();
      Expect('=');
    }
    ParseValue(depth + 1, p.Value);
  }

  void ParseValue(int depth, TDfmValue& v) {
    CheckDepth(depth);
    v.Reset(TDfmValueKind::vkInteger);
    v.Pos = FTok.Pos;
    switch (FTok.Kind) {
    case TTokenKind::tkInteger:
      v.Kind = TDfmValueKind::vkInteger;
      v.Int = FTok.Int;
      Next();
      return;
    case TTokenKind::tkFloat:
      v.Kind = TDfmValueKind::vkFloat;
      v.Float = FTok.Float;
      v.FloatSuffix = FTok.Suffix;
      Next();
      return;
    case TTokenKind::tkString: {
      v.Kind = TDfmValueKind::vkString;
      TStringBuilder b{v.Str, 0, {}};
      DecodeString(FTok, b);
      Next();
      while (IsSymbol('+')) {
        Next();
        if (FTok.Kind != TTokenKind::tkString) Expected("a string after \"+\"");
        DecodeString(FTok, b);
        Next();
      }
      if (b.PendingHigh)
        Error(b.PendingPos,
              fmt::format("invalid character code #{}: a high surrogate without its low half", b.PendingHigh));
      return;
    }
    case TTokenKind::tkIdent:
      v.Kind = TDfmValueKind::vkIdent;
      utf8::Refill(v.Str, FTok.Text);
      Next();
      return;
    case TTokenKind::tkSymbol: break;
    case TTokenKind::tkEOF: Expected("a value");
    }
    switch (FTok.Symbol) {
    case '[':
      v.Kind = TDfmValueKind::vkSet;
      Next();
      if (IsSymbol(']')) {
        Next();
        return;
      }
      for (;;) {
        if (FTok.Kind != TTokenKind::tkIdent && FTok.Kind != TTokenKind::tkInteger) Expected("a set element");
        v.Names.emplace_back(FTok.Text);
        Next();
        if (IsSymbol(',')) {
          Next();
          continue;
        }
        if (!IsSymbol(']')) Expected("\",\" or \"]\"");
        Next();
        return;
      }
    case '(':
      v.Kind = TDfmValueKind::vkList;
      Next();
      while (!IsSymbol(')')) {
        if (FTok.Kind == TTokenKind::tkEOF || IsSymbol(',') || IsSymbol(']') || IsSymbol('>') || IsSymbol('}'))
          Expected("a value or \")\"");
        ParseValue(depth + 1, v.Items.emplace_back());
      }
      Next();
      return;
    case '{':
      v.Kind = TDfmValueKind::vkBinary;
      v.Str = ReadBinary();
      Next();
      return;
    case '<':
      v.Kind = TDfmValueKind::vkCollection;
      Next();
      while (!IsSymbol('>')) {
        if (!IsKeyword("item")) Expected("\"item\" or \">\"");
        TDfmItem item;
        item.Pos = FTok.Pos;
        Next();
        if (IsSymbol('[')) {
          Next();
          if (FTok.Kind != TTokenKind::tkInteger) Expected("an integer");
          item.Index = FTok.Int;
          Next();
          Expect(']');
        }
        for (;;) {
          if (FTok.Kind == TTokenKind::tkEOF) Expected("\"end\"");
          if (FTok.Kind != TTokenKind::tkIdent) Expected("a property or \"end\"");
          if (IsKeyword("end") && !AtChar('=')) break;
          ParseProperty(depth + 1, item.Props.emplace_back());
        }
        Next();
        v.CollItems.push_back(std::move(item));
      }
      Next();
      return;
    default: Expected("a value");
    }
  }

  std::string_view FText;
  const String& FFileName;
  TFormTextSink* FSink = nullptr;
  std::vector<TDfmProperty> FSpareProps;  // the last streamed child's properties, to be filled again
  size_t FPos = 0;
  int FLine = 1;
  size_t FLineStart = 0;
  size_t FColFrom = 0;
  int FColCount = 1;
  size_t FWideAt = String::npos;  // the first byte above 0x7F on the current line, as far as lexed
  TToken FTok;
};

}  // namespace

TDfmObject ParseFormText(std::string_view Text, const String& FileName) {
  return TFormParser(Text, FileName).ParseModule();
}

void ParseFormText(std::string_view Text, const String& FileName, TFormTextSink& Sink) {
  TFormParser(Text, FileName).ParseModule(&Sink);
}

}  // namespace rtl
