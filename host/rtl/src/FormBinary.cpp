#include "rtl/FormBinary.h"

#include "Utf8.h"
#include "Words.h"

#include <fmt/format.h>

#include <array>
#include <cmath>
#include <cstring>
#include <utility>

namespace rtl {

namespace {

// clang-format off
enum TValueType : unsigned char {
  vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5, vaString = 6, vaIdent = 7,
  vaFalse = 8, vaTrue = 9, vaBinary = 10, vaSet = 11, vaLString = 12, vaNil = 13, vaCollection = 14,
  vaSingle = 15, vaCurrency = 16, vaDate = 17, vaWString = 18, vaInt64 = 19, vaUTF8String = 20, vaDouble = 21
};
// clang-format on

enum TFilerFlag : unsigned char { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

constexpr char Signature[] = "TPF0";
constexpr unsigned char ResourceType = 10;
constexpr uint16_t ResourceFlags = 0x1030;
// Deeper nesting than any real form needs; the limit keeps hostile input off the stack.
constexpr int MaxNesting = 256;

// Windows-1252's characters 0x80..0x9F; the five it leaves undefined keep their own number.
constexpr uint16_t Cp1252High[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                     0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

// Per byte: 1 starts an identifier, 2 continues one (letters and '_' do both).
constexpr auto IdentClasses = [] {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    t[c] = static_cast<unsigned char>((letter ? 1 : 0) | (letter || (c >= '0' && c <= '9') ? 2 : 0));
  }
  return t;
}();

// An identifier, or with Dotted identifiers joined by dots (Font.Name, Form2.Query1): what the
// text form can write back.
bool IsFormName(std::string_view s, bool Dotted) {
  const auto kind = [&](size_t i) { return IdentClasses[static_cast<unsigned char>(s[i])]; };
  for (size_t i = 0;;) {
    if (i == s.size() || !(kind(i) & 1)) return false;  // each part starts with a letter
    for (++i; i < s.size() && (kind(i) & 2);) ++i;
    if (i == s.size()) return true;
    if (s[i] != '.' || !Dotted) return false;
    ++i;
  }
}

// 80-bit extended precision: sign and 15-bit exponent (bias 16383) over a 64-bit mantissa whose
// top bit is the integer bit. Converted by arithmetic, so no platform's long double is assumed.
bool ExtendedToDouble(const unsigned char* p, double& d) {
  uint64_t mant = 0;
  for (int i = 7; i >= 0; --i) mant = (mant << 8) | p[i];
  const unsigned exp = (p[8] | (p[9] << 8)) & 0x7FFFu;
  const bool negative = (p[9] & 0x80) != 0;
  if (exp == 0x7FFF) return false;
  d = mant == 0 ? 0.0 : std::ldexp(static_cast<double>(mant), static_cast<int>(exp == 0 ? 1 : exp) - 16383 - 63);
  if (!std::isfinite(d)) return false;
  if (negative) d = -d;
  return true;
}

void DoubleToExtended(double d, unsigned char* p) {
  std::memset(p, 0, 10);
  const bool negative = std::signbit(d);
  if (d != 0) {
    int e = 0;
    const double f = std::frexp(std::fabs(d), &e);  // f in [0.5, 1): 53 bits fit the mantissa
    const auto mant = static_cast<uint64_t>(std::ldexp(f, 64));
    const auto exp = static_cast<unsigned>(e + 16382);
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(mant >> (8 * i));
    p[8] = static_cast<unsigned char>(exp);
    p[9] = static_cast<unsigned char>(exp >> 8);
  }
  if (negative) p[9] |= 0x80;
}

String ValueTypeName(unsigned char t) {
  static const char* const Names[] = {"end of list",    "list",     "8-bit integer", "16-bit integer",
                                      "32-bit integer", "extended", "string",        "identifier",
                                      "False",          "True",     "binary data",   "set",
                                      "long string",    "nil",      "collection",    "single",
                                      "currency",       "date",     "UTF-16 string", "64-bit integer",
                                      "UTF-8 string",   "double"};
  return t < std::size(Names) ? Names[t] : fmt::format("byte 0x{:02X}", t);
}

class TBinaryParser {
public:
  TBinaryParser(std::string_view bytes, const String& fileName) : FAll(bytes), FData(bytes), FFileName(fileName) {}

  TDfmObject ParseModule(TFormTextSink* sink) {
    FSink = sink;
    if (DetectFormFormat(FAll) == TDfmFormat::dfBinaryResource) ReadResourceHeader();
    if (FData.substr(FPos, 4) != std::string_view(Signature, 4)) Error(FPos, "the signature \"TPF0\"", Found());
    FPos += 4;
    TDfmObject root = ReadObject(0);
    if (FPos < FData.size()) Error(FPos, "end of file", fmt::format("byte 0x{:02X}", Peek()));
    return root;
  }

private:
  // ---- errors -----------------------------------------------------------------------------
  [[noreturn]] void Error(size_t at, const String& expected, const String& found) const {
    RaiseFormError(FFileName, Pos(at), fmt::format("expected {} but found {}", expected, found));
  }
  [[noreturn]] void Invalid(size_t at, const String& message) const { RaiseFormError(FFileName, Pos(at), message); }

  TDfmPos Pos(size_t at) const {
    TDfmPos p;
    p.Offset = static_cast<int64_t>(FBase + at);
    return p;
  }
  String Found() const { return FPos < FData.size() ? fmt::format("byte 0x{:02X}", Peek()) : "end of file"; }

  // ---- bytes ------------------------------------------------------------------------------
  unsigned char Peek() const { return static_cast<unsigned char>(FData[FPos]); }

  // The next n bytes, after making sure the file has them.
  const unsigned char* Take(size_t n, const char* what) {
    if (const size_t left = FData.size() - FPos; left < n)
      Error(FData.size(), fmt::format("{} more byte{} of {}", n - left, n - left == 1 ? "" : "s", what), "end of file");
    const auto* p = reinterpret_cast<const unsigned char*>(FData.data() + FPos);
    FPos += n;
    return p;
  }
  unsigned char Byte(const char* what) { return *Take(1, what); }
  uint64_t Unsigned(size_t n, const char* what) {
    const unsigned char* p = Take(n, what);
    uint64_t v = 0;
    for (size_t i = n; i-- > 0;) v = (v << 8) | p[i];
    return v;
  }

  std::string_view ShortString(const char* what) {
    const size_t n = Byte(what);
    const unsigned char* p = Take(n, what);
    return std::string_view(reinterpret_cast<const char*>(p), n);
  }

  // A name the text form can hold, into Out (whose storage a node filled again keeps); Dotted
  // allows Font.Name; Empty allows nothing at all.
  void NameInto(String& Out, const char* what, bool Dotted, bool Empty = false) {
    const size_t at = FPos;
    const std::string_view s = ShortString(what);
    if (!(s.empty() && Empty) && !IsFormName(s, Dotted)) {
      String shown;
      for (unsigned char c : s.substr(0, 40))
        shown += c >= 0x20 && c < 0x7F ? String(1, static_cast<char>(c)) : fmt::format("\\x{:02X}", c);
      Invalid(at, fmt::format("invalid {} \"{}{}\"", what, shown, s.size() > 40 ? "..." : ""));
    }
    utf8::Refill(Out, s);
  }
  String Name(const char* what, bool Dotted, bool Empty = false) {
    String s;
    NameInto(s, what, Dotted, Empty);
    return s;
  }

  void ReadResourceHeader() {
    Take(3, "the resource header");
    while (Byte("the resource name") != 0) {
    }
    Take(2, "the resource flags");
    const size_t size = Unsigned(4, "the resource size");
    if (size > FData.size() - FPos) Error(FData.size(), fmt::format("{} bytes of the resource", size), "end of file");
    FData = FData.substr(FPos, size);
    FBase = static_cast<size_t>(FData.data() - FAll.data());
    FPos = 0;
  }

  // ---- objects ----------------------------------------------------------------------------
  void CheckDepth(int depth) const {
    if (depth > MaxNesting) Invalid(FPos, fmt::format("nesting deeper than {} levels", MaxNesting));
  }

  bool AtListEnd(const char* what) {
    if (FPos >= FData.size()) Error(FPos, what, "end of file");
    if (Peek() != vaNull) return false;
    ++FPos;
    return true;
  }

  TDfmObject ReadObject(int depth) {
    CheckDepth(depth);
    TDfmObject obj;
    if (depth == 1 && FSink) obj.Props = std::exchange(FSpareProps, {});
    obj.Pos = Pos(FPos);
    if (FPos < FData.size() && (Peek() & 0xF0) == 0xF0) {
      const unsigned char flags = Peek() & 0x0F;
      ++FPos;
      obj.Kind = flags & ffInline      ? TDfmObjectKind::okInline
                 : flags & ffInherited ? TDfmObjectKind::okInherited
                                       : TDfmObjectKind::okObject;
      if (flags & ffChildPos) obj.Index = Integer("the child position");
    }
    obj.NamePos = Pos(FPos);
    obj.ClassName = Name("class name", true);
    obj.Name = Name("component name", false, true);
    // A streamed child's list comes with the last one's properties in it, to be filled again.
    size_t used = 0;
    while (!AtListEnd("a property or the end of the properties"))
      ReadProperty(RefillDfmProperty(obj.Props, used), depth);
    obj.Props.resize(used);
    const bool streaming = depth == 0 && FSink;
    if (streaming) FSink->Root(obj);
    while (!AtListEnd("an object or the end of the objects")) {
      if (streaming) {
        TDfmObject child = ReadObject(depth + 1);
        FSink->Child(child);
        // The next child's properties go where this one's went.
        FSpareProps = std::move(child.Props);
      } else {
        obj.Children.push_back(ReadObject(depth + 1));
      }
    }
    return obj;
  }

  void ReadProperty(TDfmProperty& p, int depth) {
    p.Pos = Pos(FPos);
    NameInto(p.Name, "property name", true);
    ReadValue(p.Value, depth + 1);
  }

  // An integer value, for a child position or a collection item's order.
  int64_t Integer(const char* what) {
    const size_t at = FPos;
    const unsigned char t = Byte(what);
    switch (t) {
    case vaInt8: return static_cast<int8_t>(Unsigned(1, what));
    case vaInt16: return static_cast<int16_t>(Unsigned(2, what));
    case vaInt32: return static_cast<int32_t>(Unsigned(4, what));
    case vaInt64: return static_cast<int64_t>(Unsigned(8, what));
    default: Error(at, fmt::format("an integer for {}", what), ValueTypeName(t));
    }
  }

  static void SetFloat(TDfmValue& v, double d, char suffix) {
    v.Kind = TDfmValueKind::vkFloat;
    v.Float = d;
    v.FloatSuffix = suffix;
  }

  // Fills v (a default value) in place: values are large, and most are strings or integers.
  void ReadValue(TDfmValue& v, int depth) {
    CheckDepth(depth);
    v.Reset(TDfmValueKind::vkInteger);
    const size_t at = FPos;
    if (FPos >= FData.size()) Error(FPos, "a value", "end of file");
    const unsigned char t = Peek();
    switch (t) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64:
      v.Kind = TDfmValueKind::vkInteger;
      v.Int = Integer("an integer");
      break;
    case vaExtended: {
      ++FPos;
      double d = 0;
      if (!ExtendedToDouble(Take(10, "an extended value"), d))
        Invalid(at, "an extended value out of range or not a number");
      SetFloat(v, d, 0);
      break;
    }
    case vaDouble:
    case vaDate: {
      ++FPos;
      const uint64_t bits = Unsigned(8, t == vaDate ? "a date" : "a double");
      double d;
      std::memcpy(&d, &bits, sizeof d);
      if (!std::isfinite(d)) Invalid(at, fmt::format("a {} that is not a finite number", ValueTypeName(t)));
      SetFloat(v, d, t == vaDate ? 'd' : 0);
      break;
    }
    case vaSingle: {
      ++FPos;
      const auto bits = static_cast<uint32_t>(Unsigned(4, "a single"));
      float f;
      std::memcpy(&f, &bits, sizeof f);
      if (!std::isfinite(f)) Invalid(at, "a single that is not a finite number");
      // The shortest decimal that gives this single back, so that the text form reads as written.
      SetFloat(v, std::stod(fmt::format("{}", f)), 's');
      break;
    }
    case vaCurrency:
      ++FPos;
      SetFloat(v, static_cast<double>(static_cast<int64_t>(Unsigned(8, "a currency value"))) / 10000.0, 'c');
      break;
    case vaString:
    case vaLString: {
      ++FPos;
      const size_t n = t == vaString ? Byte("a string") : Unsigned(4, "a long string's length");
      v.Kind = TDfmValueKind::vkString;
      v.Str = Cp1252(Take(n, "a string"), n);
      break;
    }
    case vaUTF8String: {
      ++FPos;
      const size_t n = Unsigned(4, "a UTF-8 string's length");
      const size_t from = FPos;
      std::string_view s(reinterpret_cast<const char*>(Take(n, "a UTF-8 string")), n);
      uint32_t cp;
      const auto* bytes = reinterpret_cast<const unsigned char*>(s.data());
      for (size_t i = 0, len; i < n; i += len)
        if ((len = utf8::SequenceLength(bytes + i, bytes + n, cp)) == 0)
          Invalid(from + i, fmt::format("invalid UTF-8 byte 0x{:02X} in a string", bytes[i]));
      v.Kind = TDfmValueKind::vkString;
      v.Str = String(s);
      break;
    }
    case vaWString: {
      ++FPos;
      const uint64_t units = Unsigned(4, "a UTF-16 string's length");
      if (units > (FData.size() - FPos) / 2)
        Error(FData.size(), fmt::format("{} bytes of a UTF-16 string", units * 2), "end of file");
      v.Kind = TDfmValueKind::vkString;
      Utf16Into(v.Str, static_cast<size_t>(units));
      break;
    }
    case vaIdent:
      ++FPos;
      v.Kind = TDfmValueKind::vkIdent;
      NameInto(v.Str, "identifier", true);
      break;
    case vaFalse:
    case vaTrue:
    case vaNil:
      ++FPos;
      v.Kind = TDfmValueKind::vkIdent;
      v.Str = t == vaFalse ? "False" : t == vaTrue ? "True" : "nil";
      break;
    case vaSet: {
      ++FPos;
      v.Kind = TDfmValueKind::vkSet;
      for (;;) {
        String name = Name("set element", true, true);
        if (name.empty()) break;
        v.Names.push_back(std::move(name));
      }
      break;
    }
    case vaList: {
      ++FPos;
      v.Kind = TDfmValueKind::vkList;
      while (!AtListEnd("a value or the end of the list")) ReadValue(v.Items.emplace_back(), depth + 1);
      break;
    }
    case vaBinary: {
      ++FPos;
      const size_t n = Unsigned(4, "the size of binary data");
      v.Kind = TDfmValueKind::vkBinary;
      v.Str = String(reinterpret_cast<const char*>(Take(n, "binary data")), n);
      break;
    }
    case vaCollection: {
      ++FPos;
      v.Kind = TDfmValueKind::vkCollection;
      while (!AtListEnd("an item or the end of the collection")) {
        TDfmItem& item = v.CollItems.emplace_back();
        item.Pos = Pos(FPos);
        if (const unsigned char k = Peek(); k == vaInt8 || k == vaInt16 || k == vaInt32 || k == vaInt64)
          item.Index = Integer("an item's order");
        if (const size_t listAt = FPos; Byte("an item") != vaList)
          Error(listAt, "the start of an item (a list)", ValueTypeName(static_cast<unsigned char>(FData[listAt])));
        while (!AtListEnd("a property or the end of the item")) ReadProperty(item.Props.emplace_back(), depth + 1);
      }
      break;
    }
    default: Error(at, "a value", ValueTypeName(t));
    }
    v.Pos = Pos(at);
  }

  static String Cp1252(const unsigned char* p, size_t n) {
    size_t ascii = 0;
    while (ascii < n && p[ascii] < 0x80) ++ascii;
    String s(reinterpret_cast<const char*>(p), ascii);
    if (ascii == n) return s;
    s.reserve(n * 3);
    for (size_t i = ascii; i < n; ++i) {
      const unsigned char c = p[i];
      if (c < 0x80)
        s += static_cast<char>(c);
      else
        utf8::Append(s, c < 0xA0 ? Cp1252High[c - 0x80] : c);
    }
    return s;
  }

  // Decoded into s sized for the most bytes it can take (3 per unit), cut to size at the end.
  void Utf16Into(String& s, size_t units) {
    const size_t from = FPos;
    const unsigned char* p = Take(units * 2, "a UTF-16 string");
    s.resize(units * 3);
    char* out = s.data();
    for (size_t i = 0; i < units; ++i) {
      // Four ASCII units at a time: their high bytes zero, their low ones below 0x80.
      while (i + 4 <= units) {
        const uint64_t w = words::WordAt(reinterpret_cast<const char*>(p + 2 * i));
        if (w & 0xFF80FF80FF80FF80ull) break;
        for (int k = 0; k < 4; ++k) *out++ = static_cast<char>(w >> (16 * k));
        i += 4;
      }
      if (i == units) break;
      uint32_t u = p[2 * i] | (p[2 * i + 1] << 8);
      if (u < 0x80) {
        *out++ = static_cast<char>(u);
        continue;
      }
      if (u >= 0xD800 && u <= 0xDBFF) {
        const uint32_t low = i + 1 < units ? p[2 * i + 2] | (p[2 * i + 3] << 8) : 0;
        if (low < 0xDC00 || low > 0xDFFF)
          Invalid(from + 2 * i, fmt::format("invalid character code #{}: a high surrogate without its low half", u));
        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      } else if (u >= 0xDC00 && u <= 0xDFFF) {
        Invalid(from + 2 * i, fmt::format("invalid character code #{}: a low surrogate without its high half", u));
      }
      out = utf8::Encode(out, u);
    }
    s.resize(static_cast<size_t>(out - s.data()));
  }

  std::string_view FAll;   // the whole file
  std::string_view FData;  // the object stream (after a resource header, up to its size)
  size_t FBase = 0;        // FData's offset in the file
  size_t FPos = 0;
  const String& FFileName;
  TFormTextSink* FSink = nullptr;
  std::vector<TDfmProperty> FSpareProps;  // the last streamed child's properties, to be filled again
};

// ---- writer -------------------------------------------------------------------------------
class TBinaryPrinter {
public:
  explicit TBinaryPrinter(String& out) : Out(out) {}

  void Object(const TDfmObject& obj, bool children) {
    const unsigned char flags = (obj.Kind == TDfmObjectKind::okInherited ? ffInherited : 0) |
                                (obj.Kind == TDfmObjectKind::okInline ? ffInline : 0) | (obj.Index ? ffChildPos : 0);
    // A class name of 240 bytes or more would begin with a byte read as a prefix: it gets one.
    if (flags || obj.ClassName.size() >= 0xF0) {
      Out += static_cast<char>(0xF0 | flags);
      if (obj.Index) Integer(*obj.Index);
    }
    ShortString(obj.ClassName, "class name");
    ShortString(obj.Name, "component name");
    for (const TDfmProperty& p : obj.Props) Property(p);
    Out += '\0';
    if (!children) return;
    for (const TDfmObject& child : obj.Children) Object(child, true);
    Out += '\0';
  }

private:
  void Property(const TDfmProperty& p) {
    ShortString(p.Name, "property name");
    Value(p.Value);
  }

  void Value(const TDfmValue& v) {
    switch (v.Kind) {
    case TDfmValueKind::vkInteger: Integer(v.Int); break;
    case TDfmValueKind::vkFloat: Float(v.Float, v.FloatSuffix); break;
    case TDfmValueKind::vkString: StringValue(v.Str); break;
    case TDfmValueKind::vkIdent:
      if (utf8::SameAscii(v.Str, "true"))
        Out += static_cast<char>(vaTrue);
      else if (utf8::SameAscii(v.Str, "false"))
        Out += static_cast<char>(vaFalse);
      else if (utf8::SameAscii(v.Str, "nil"))
        Out += static_cast<char>(vaNil);
      else {
        Out += static_cast<char>(vaIdent);
        ShortString(v.Str, "identifier");
      }
      break;
    case TDfmValueKind::vkSet:
      Out += static_cast<char>(vaSet);
      for (const String& name : v.Names) ShortString(name, "set element");
      Out += '\0';
      break;
    case TDfmValueKind::vkList:
      Out += static_cast<char>(vaList);
      for (const TDfmValue& item : v.Items) Value(item);
      Out += '\0';
      break;
    case TDfmValueKind::vkBinary:
      Out += static_cast<char>(vaBinary);
      Length(v.Str.size(), "binary data");
      Out += v.Str;
      break;
    case TDfmValueKind::vkCollection:
      Out += static_cast<char>(vaCollection);
      for (const TDfmItem& item : v.CollItems) {
        if (item.Index) Integer(*item.Index);
        Out += static_cast<char>(vaList);
        for (const TDfmProperty& p : item.Props) Property(p);
        Out += '\0';
      }
      Out += '\0';
      break;
    }
  }

  void Bytes(uint64_t v, size_t n) {
    for (size_t i = 0; i < n; ++i) Out += static_cast<char>(v >> (8 * i));
  }

  void Integer(int64_t v) {
    if (v >= INT8_MIN && v <= INT8_MAX) {
      Out += static_cast<char>(vaInt8);
      Bytes(static_cast<uint64_t>(v), 1);
    } else if (v >= INT16_MIN && v <= INT16_MAX) {
      Out += static_cast<char>(vaInt16);
      Bytes(static_cast<uint64_t>(v), 2);
    } else if (v >= INT32_MIN && v <= INT32_MAX) {
      Out += static_cast<char>(vaInt32);
      Bytes(static_cast<uint64_t>(v), 4);
    } else {
      Out += static_cast<char>(vaInt64);
      Bytes(static_cast<uint64_t>(v), 8);
    }
  }

  void Float(double d, char suffix) {
    if (!std::isfinite(d))
      throw EConvertError("A floating-point value that is not finite cannot be written to a form file");
    switch (suffix) {
    case 's': {
      const auto f = static_cast<float>(d);
      if (!std::isfinite(f)) throw EConvertError(fmt::format("{} is out of range for a single", d));
      uint32_t bits;
      std::memcpy(&bits, &f, sizeof bits);
      Out += static_cast<char>(vaSingle);
      Bytes(bits, 4);
      break;
    }
    case 'c': {
      const double scaled = std::round(d * 10000.0);
      if (!(std::fabs(scaled) < 9.2e18)) throw EConvertError(fmt::format("{} is out of range for a currency value", d));
      Out += static_cast<char>(vaCurrency);
      Bytes(static_cast<uint64_t>(static_cast<int64_t>(scaled)), 8);
      break;
    }
    case 'd': {
      uint64_t bits;
      std::memcpy(&bits, &d, sizeof bits);
      Out += static_cast<char>(vaDate);
      Bytes(bits, 8);
      break;
    }
    default: {
      unsigned char ext[10];
      DoubleToExtended(d, ext);
      Out += static_cast<char>(vaExtended);
      Out.append(reinterpret_cast<const char*>(ext), 10);
    }
    }
  }

  // ASCII as a short or long string; anything else as UTF-16, which every reader of the format
  // takes, whatever its code page.
  void StringValue(const String& s) {
    bool ascii = true;
    for (char c : s)
      if (static_cast<unsigned char>(c) >= 0x80) {
        ascii = false;
        break;
      }
    if (ascii && s.size() <= 255) {
      Out += static_cast<char>(vaString);
      Out += static_cast<char>(s.size());
      Out += s;
      return;
    }
    if (ascii) {
      Out += static_cast<char>(vaLString);
      Length(s.size(), "a string");
      Out += s;
      return;
    }
    String units;
    units.reserve(s.size() * 2);
    size_t count = 0;
    for (size_t i = 0; i < s.size();) {
      uint32_t cp;
      // The tree's strings are UTF-8; a stray byte (from a component's own value) is kept as
      // the character of that number rather than stopping the save.
      const auto* bytes = reinterpret_cast<const unsigned char*>(s.data());
      if (const size_t len = utf8::SequenceLength(bytes + i, bytes + s.size(), cp))
        i += len;
      else
        cp = bytes[i++];
      if (cp > 0xFFFF) {
        cp -= 0x10000;
        Unit(units, 0xD800 + (cp >> 10));
        Unit(units, 0xDC00 + (cp & 0x3FF));
        count += 2;
      } else {
        Unit(units, cp);
        ++count;
      }
    }
    Out += static_cast<char>(vaWString);
    Length(count, "a string");
    Out += units;
  }

  static void Unit(String& out, uint32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }

  void Length(size_t n, const char* what) {
    if (n > UINT32_MAX) throw EConvertError(fmt::format("{} of {} bytes is too long for a binary form file", what, n));
    Bytes(n, 4);
  }

  void ShortString(const String& s, const char* what) {
    if (s.size() > 255)
      throw EConvertError(fmt::format("The {} \"{}...\" is longer than 255 bytes, which a binary form file cannot hold",
                                      what, s.substr(0, 40)));
    Out += static_cast<char>(s.size());
    Out += s;
  }

  String& Out;
};

// Where the stream's size goes in a resource header that starts at the beginning of Out.
size_t ResourceSizeOffset(const String& Out) { return Out.find('\0', 3) + 1 + 2; }

}  // namespace

TDfmFormat DetectFormFormat(std::string_view Bytes) {
  if (Bytes.substr(0, 4) == std::string_view(Signature, 4)) return TDfmFormat::dfBinary;
  if (Bytes.size() >= 3 && static_cast<unsigned char>(Bytes[0]) == 0xFF &&
      static_cast<unsigned char>(Bytes[1]) == ResourceType && Bytes[2] == 0)
    return TDfmFormat::dfBinaryResource;
  return TDfmFormat::dfText;
}

TDfmObject ParseFormBinary(std::string_view Bytes, const String& FileName) {
  return TBinaryParser(Bytes, FileName).ParseModule(nullptr);
}

void ParseFormBinary(std::string_view Bytes, const String& FileName, TFormTextSink& Sink) {
  TBinaryParser(Bytes, FileName).ParseModule(&Sink);
}

void ParseForm(std::string_view Bytes, const String& FileName, TFormTextSink& Sink) {
  if (DetectFormFormat(Bytes) == TDfmFormat::dfText)
    ParseFormText(Bytes, FileName, Sink);
  else
    ParseFormBinary(Bytes, FileName, Sink);
}

void BinaryFormBegin(String& Out, TDfmFormat Format, const String& RootClassName) {
  if (Format == TDfmFormat::dfBinaryResource) {
    Out += '\xFF';
    Out += static_cast<char>(ResourceType);
    Out += '\0';
    for (char c : RootClassName) Out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    Out += '\0';
    Out += static_cast<char>(ResourceFlags & 0xFF);
    Out += static_cast<char>(ResourceFlags >> 8);
    Out.append(4, '\0');  // the size, once it is known
  }
  Out += Signature;
}

void PrintFormBinaryObject(String& Out, const TDfmObject& Obj, bool Children) {
  TBinaryPrinter(Out).Object(Obj, Children);
}

void BinaryListEnd(String& Out) { Out += '\0'; }

void BinaryFormEnd(String& Out, TDfmFormat Format) {
  if (Format != TDfmFormat::dfBinaryResource) return;
  const size_t at = ResourceSizeOffset(Out);
  const size_t size = Out.size() - (at + 4);
  if (size > UINT32_MAX) throw EConvertError("The module is too big for a binary form file's resource header");
  for (size_t i = 0; i < 4; ++i) Out[at + i] = static_cast<char>(size >> (8 * i));
}

String PrintFormBinary(const TDfmObject& Root, TDfmFormat Format) {
  String out;
  BinaryFormBegin(out, Format, Root.ClassName);
  PrintFormBinaryObject(out, Root);
  BinaryFormEnd(out, Format);
  return out;
}

}  // namespace rtl
