#include "rtl/FormPrinter.h"

#include "rtl/Exceptions.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace rtl {

namespace {

// The platform's writer cuts strings into parts of this many UTF-16 code units.
constexpr size_t LineLength = 64;

// Decodes the code point at s[i] and advances i; a byte that starts no valid sequence is taken
// as the character of that number, so that no input stops the writer.
uint32_t NextCodePoint(const String& s, size_t& i) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size();
  unsigned char c = p[i];
  if (c < 0x80) {
    ++i;
    return c;
  }
  size_t len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
  if (len == 0 || i + len > n) {
    ++i;
    return c;
  }
  uint32_t cp = len == 2 ? (c & 0x1Fu) : len == 3 ? (c & 0x0Fu) : (c & 0x07u);
  for (size_t k = 1; k < len; ++k) {
    if ((p[i + k] & 0xC0) != 0x80) {
      ++i;
      return c;
    }
    cp = (cp << 6) | (p[i + k] & 0x3Fu);
  }
  i += len;
  return cp;
}

size_t Utf16Length(const String& s) {
  size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;  // ASCII: a unit a byte
  size_t units = i;
  while (i < s.size()) units += NextCodePoint(s, i) > 0xFFFF ? 2 : 1;
  return units;
}

bool IsPrintableAscii(uint32_t cp) { return cp >= 0x20 && cp <= 0x7E; }

class TPrinter {
public:
  String Out;

  void Object(const TDfmObject& obj, int level, bool children = true) {
    Indent(level);
    Out += DfmObjectKeyword(obj.Kind);
    Out += ' ';
    if (!obj.Name.empty()) {
      Out += obj.Name;
      Out += ": ";
    }
    Out += obj.ClassName;
    if (obj.Index) fmt::format_to(std::back_inserter(Out), " [{}]", *obj.Index);
    Out += '\n';
    for (const TDfmProperty& p : obj.Props) Property(p, level + 1);
    if (!children) return;
    for (const TDfmObject& child : obj.Children) Object(child, level + 1);
    Indent(level);
    Out += "end\n";
  }

  void Property(const TDfmProperty& p, int level) {
    Indent(level);
    Out += p.Name;
    // A long string starts on the next line; no blank is left at the end of this one.
    if (p.Value.Kind == TDfmValueKind::vkString) {
      const bool wrap = Utf16Length(p.Value.Str) > LineLength;
      Out += wrap ? " =" : " = ";
      StringValue(p.Value.Str, level, true, wrap);
    } else {
      Out += " = ";
      Value(p.Value, level);
    }
    Out += '\n';
  }

  // A value that starts on a line of the given level; nested lines go one level deeper.
  void Value(const TDfmValue& v, int level) {
    switch (v.Kind) {
    case TDfmValueKind::vkInteger: Integer(v.Int); break;
    case TDfmValueKind::vkFloat:
      FloatValue(v.Float);
      if (v.FloatSuffix) Out += v.FloatSuffix;
      break;
    case TDfmValueKind::vkString: StringValue(v.Str, level, false, Utf16Length(v.Str) > LineLength); break;
    case TDfmValueKind::vkIdent: Out += v.Str; break;
    case TDfmValueKind::vkSet:
      Out += '[';
      for (size_t i = 0; i < v.Names.size(); ++i) {
        if (i) Out += ", ";
        Out += v.Names[i];
      }
      Out += ']';
      break;
    case TDfmValueKind::vkList:
      Out += '(';
      for (const TDfmValue& item : v.Items) {
        Out += '\n';
        Indent(level + 1);
        Value(item, level + 1);
      }
      Out += ')';
      break;
    case TDfmValueKind::vkBinary: Binary(v.Str, level); break;
    case TDfmValueKind::vkCollection:
      Out += '<';
      for (const TDfmItem& item : v.CollItems) {
        Out += '\n';
        Indent(level + 1);
        Out += "item";
        if (item.Index) fmt::format_to(std::back_inserter(Out), " [{}]", *item.Index);
        Out += '\n';
        for (const TDfmProperty& p : item.Props) Property(p, level + 2);
        Indent(level + 1);
        Out += "end";
      }
      Out += '>';
      break;
    }
  }

private:
  void Indent(int level) { Out.append(static_cast<size_t>(level) * 2, ' '); }

  void Integer(int64_t v) {
    char digits[24];
    Out.append(digits, std::to_chars(digits, digits + sizeof digits, v).ptr);
  }

  void FloatValue(double d) {
    if (!std::isfinite(d))
      throw EConvertError("A floating-point value that is not finite cannot be written to a form file");
    size_t start = Out.size();
    fmt::format_to(std::back_inserter(Out), "{}", d);
    if (Out.find_first_of(".e", start) == String::npos) Out += ".0";
  }

  // Runs of printable ASCII are quoted (a quote doubled); every other character is #n with its
  // UTF-16 code units. Longer than LineLength units: the string starts on a new line when it is
  // a property's value, and gets ` +` and a new line after every LineLength units.
  void StringValue(const String& s, int level, bool ownLine, bool wrap) {
    if (s.empty()) {
      Out += "''";
      return;
    }
    if (wrap && ownLine) {
      Out += '\n';
      Indent(level + 1);
    }
    size_t sinceBreak = 0;
    size_t i = 0;
    while (i < s.size()) {
      size_t at = i;
      uint32_t cp = NextCodePoint(s, i);
      if (IsPrintableAscii(cp)) {
        // Up to the end of the line, printable ASCII goes out a run at a time, a quote doubled.
        i = at;
        const size_t end = std::min(s.size(), i + (LineLength - sinceBreak));
        Out += '\'';
        while (i < end) {
          size_t plain = i;
          while (plain < end && IsPrintableAscii(static_cast<unsigned char>(s[plain])) && s[plain] != '\'') ++plain;
          Out.append(s, i, plain - i);
          sinceBreak += plain - i;
          i = plain;
          if (i == end || s[i] != '\'') break;
          Out += "''";
          ++sinceBreak;
          ++i;
        }
        Out += '\'';
      } else if (cp > 0xFFFF) {
        cp -= 0x10000;
        Out += '#';
        Integer(0xD800 + (cp >> 10));
        Out += '#';
        Integer(0xDC00 + (cp & 0x3FF));
        sinceBreak += 2;
      } else {
        Out += '#';
        Integer(cp);
        ++sinceBreak;
      }
      if (sinceBreak >= LineLength && i < s.size()) {
        Out += " +\n";
        Indent(level + 1);
        sinceBreak = 0;
      }
    }
  }

  void Binary(const String& bytes, int level) {
    static const char Hex[] = "0123456789ABCDEF";
    Out += '{';
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (i % 32 == 0) {
        Out += '\n';
        Indent(level + 1);
      }
      auto b = static_cast<unsigned char>(bytes[i]);
      Out += Hex[b >> 4];
      Out += Hex[b & 15];
    }
    Out += '}';
  }
};

}  // namespace

String PrintFormText(const TDfmObject& Root) {
  TPrinter p;
  p.Object(Root, 0);
  return std::move(p.Out);
}

void PrintFormObject(String& Out, const TDfmObject& Obj, int Level, bool Children) {
  TPrinter p;
  p.Out = std::move(Out);
  p.Object(Obj, Level, Children);
  Out = std::move(p.Out);
}

String PrintFormValue(const TDfmValue& Value, int Level) {
  TPrinter p;
  p.Value(Value, Level);
  return std::move(p.Out);
}

}  // namespace rtl
