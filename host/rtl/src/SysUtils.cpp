#include "rtl/SysUtils.h"

#include "Words.h"

#include <utf8proc.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <algorithm>
#include <vector>

namespace rtl {

namespace {

// Names are compared and hashed a word of eight bytes at a time where they are that long.
using words::Highs;
using words::Ones;
using words::WordAt;

// A word of ASCII bytes (none above 0x7F) with each capital made small: a byte's top bit is set
// by the first sum from 'A' up and by the second from past 'Z' up; no carry crosses a byte.
uint64_t LowerWord(uint64_t w) {
  const uint64_t capital = ((w + (0x80 - 'A') * Ones) ^ (w + (0x80 - 'Z' - 1) * Ones)) & Highs;
  return w | (capital >> 2);
}

bool IsAscii(const String& s) {
  const char* p = s.data();
  size_t n = s.size();
  uint64_t high = 0;
  for (; n >= 8; p += 8, n -= 8) high |= WordAt(p);
  for (; n > 0; ++p, --n) high |= static_cast<unsigned char>(*p);
  return (high & Highs) == 0;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Applies a code point mapping to UTF-8 text; invalid bytes pass through unchanged.
template <class Map>
String MapCodePoints(const String& s, Map map) {
  String out;
  out.reserve(s.size());
  const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(s.data());
  utf8proc_ssize_t len = static_cast<utf8proc_ssize_t>(s.size());
  utf8proc_ssize_t i = 0;
  while (i < len) {
    utf8proc_int32_t cp;
    utf8proc_ssize_t n = utf8proc_iterate(p + i, len - i, &cp);
    if (n <= 0) {
      out.push_back(static_cast<char>(p[i]));
      ++i;
      continue;
    }
    utf8proc_uint8_t buf[4];
    utf8proc_ssize_t m = utf8proc_encode_char(map(cp), buf);
    out.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(m));
    i += n;
  }
  return out;
}

// Simple case folding of one code point: lower of upper, so final sigma meets sigma.
utf8proc_int32_t Fold(utf8proc_int32_t cp) { return utf8proc_tolower(utf8proc_toupper(cp)); }

}  // namespace

String TrimLeft(const String& S) {
  size_t i = 0;
  while (i < S.size() && static_cast<unsigned char>(S[i]) <= 0x20) ++i;
  return S.substr(i);
}

String TrimRight(const String& S) {
  size_t n = S.size();
  while (n > 0 && static_cast<unsigned char>(S[n - 1]) <= 0x20) --n;
  return S.substr(0, n);
}

String Trim(const String& S) {
  size_t b = 0, e = S.size();
  while (b < e && static_cast<unsigned char>(S[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(S[e - 1]) <= 0x20) --e;
  return S.substr(b, e - b);
}

String FoldCase(const String& S) {
  if (IsAscii(S)) {
    String r(S);
    for (char& c : r) c = AsciiLower(c);
    return r;
  }
  return MapCodePoints(S, Fold);
}

String LowerCase(const String& S) { return FoldCase(S); }

String UpperCase(const String& S) {
  if (IsAscii(S)) {
    String r(S);
    for (char& c : r) c = AsciiUpper(c);
    return r;
  }
  return MapCodePoints(S, [](utf8proc_int32_t cp) { return utf8proc_toupper(cp); });
}

int CompareText(const String& S1, const String& S2) {
  if (IsAscii(S1) && IsAscii(S2)) {
    // A word at a time while the folded texts agree (sorted names share long beginnings), then
    // the first folded byte that differs decides.
    const size_t n = std::min(S1.size(), S2.size());
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
      const uint64_t x = LowerWord(WordAt(S1.data() + i)), y = LowerWord(WordAt(S2.data() + i));
      if (x == y) continue;
      const unsigned shift = words::FirstSet(x ^ y) * 8;
      return ((x >> shift) & 0xFF) < ((y >> shift) & 0xFF) ? -1 : 1;
    }
    for (; i < n; ++i) {
      char a = AsciiLower(S1[i]), b = AsciiLower(S2[i]);
      if (a != b) return static_cast<unsigned char>(a) < static_cast<unsigned char>(b) ? -1 : 1;
    }
    return S1.size() == S2.size() ? 0 : (S1.size() < S2.size() ? -1 : 1);
  }
  return CompareStr(FoldCase(S1), FoldCase(S2));
}

bool SameText(const String& S1, const String& S2) {
  // A word (then a byte) at a time while both are ASCII; a byte above 0x7F on either side
  // decides by folding.
  if (S1.size() == S2.size()) {
    const char *a = S1.data(), *b = S2.data();
    size_t n = S1.size();
    for (; n >= 8; a += 8, b += 8, n -= 8) {
      const uint64_t x = WordAt(a), y = WordAt(b);
      if ((x | y) & Highs) break;
      if (x != y && LowerWord(x) != LowerWord(y)) return false;
    }
    if (n < 8) {
      for (; n > 0; ++a, ++b, --n) {
        if (static_cast<unsigned char>(*a | *b) >= 0x80) break;
        if (*a != *b && AsciiLower(*a) != AsciiLower(*b)) return false;
      }
      if (n == 0) return true;
    }
  } else if (IsAscii(S1) && IsAscii(S2)) {
    return false;
  }
  return FoldCase(S1) == FoldCase(S2);
}

uint64_t TextHash(const String& S) {
  // The folded text a word at a time, then mixed so that the low bits depend on every byte:
  // ASCII folded on the fly in one pass, other text (found at its first byte above 0x7F) folded
  // first and hashed again.
  auto hash = [](const char* p, size_t n, bool lower, uint64_t& h) {
    h = 0x9E3779B97F4A7C15ull ^ n;
    auto add = [&](uint64_t w) {
      if (lower && (w & Highs)) return false;
      h = (h ^ (lower ? LowerWord(w) : w)) * 0xFF51AFD7ED558CCDull;
      h ^= h >> 32;
      return true;
    };
    for (; n >= 8; p += 8, n -= 8)
      if (!add(WordAt(p))) return false;
    if (n > 0) {
      uint64_t w = 0;
      for (size_t i = n; i-- > 0;) w = (w << 8) | static_cast<unsigned char>(p[i]);
      if (!add(w)) return false;
    }
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 29;
    return true;
  };
  uint64_t h;
  if (hash(S.data(), S.size(), true, h)) return h;
  const String folded = FoldCase(S);
  hash(folded.data(), folded.size(), false, h);
  return h;
}

int CompareStr(const String& S1, const String& S2) {
  int c = S1.compare(S2);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int StrToIntDef(const String& S, int Default) {
  String t = Trim(S);
  if (t.empty()) return Default;
  const char* b = t.data();
  const char* e = b + t.size();
  if (*b == '+') ++b;
  int base = 10;
  bool negative = false;
  if (b < e && *b == '-') {
    negative = true;
    ++b;
  }
  if (b < e && *b == '$') {
    base = 16;
    ++b;
  } else if (e - b > 2 && b[0] == '0' && (b[1] == 'x' || b[1] == 'X')) {
    base = 16;
    b += 2;
  }
  if (b == e) return Default;
  int64_t v = 0;
  auto [p, ec] = std::from_chars(b, e, v, base);
  if (ec != std::errc() || p != e) return Default;
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return Default;
  return static_cast<int>(v);
}

int StrToInt(const String& S) {
  int a = StrToIntDef(S, 0);
  if (a == 0 && StrToIntDef(S, 1) == 1) throw EConvertError("'" + S + "' is not a valid integer value");
  return a;
}

String IntToStr(int64_t Value) { return std::to_string(Value); }

namespace {
constexpr double kUnixEpochDays = 25569.0;  // 1970-01-01 in TDateTime days
}  // namespace

TDateTime Now() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  double ms = static_cast<double>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  // Local wall-clock time, as the platform's Now gives it.
  std::tm utcLike = local;
  std::time_t asUtc = timegm(&utcLike);
  return kUnixEpochDays + (static_cast<double>(asUtc) + ms / 1000.0) / 86400.0;
}

int64_t DateTimeToFileDate(TDateTime Value) {
  // Value is local wall-clock time; the file date is seconds since the epoch.
  std::time_t wall = static_cast<std::time_t>((Value - kUnixEpochDays) * 86400.0 + 0.5);
  std::tm tm{};
  gmtime_r(&wall, &tm);
  tm.tm_isdst = -1;
  return static_cast<int64_t>(mktime(&tm));
}

TDateTime FileDateToDateTime(int64_t FileDate) {
  std::time_t t = static_cast<std::time_t>(FileDate);
  std::tm local{};
  localtime_r(&t, &local);
  return kUnixEpochDays + static_cast<double>(timegm(&local)) / 86400.0;
}

String ExtractFileName(const String& FileName) {
  auto p = FileName.find_last_of('/');
  return p == String::npos ? FileName : FileName.substr(p + 1);
}

String ExtractFilePath(const String& FileName) {
  auto p = FileName.find_last_of('/');
  return p == String::npos ? String() : FileName.substr(0, p + 1);
}

String ExtractFileExt(const String& FileName) {
  String name = ExtractFileName(FileName);
  auto p = name.find_last_of('.');
  return p == String::npos ? String() : name.substr(p);
}

String ChangeFileExt(const String& FileName, const String& Extension) {
  String ext = ExtractFileExt(FileName);
  return FileName.substr(0, FileName.size() - ext.size()) + Extension;
}

String IncludeTrailingPathDelimiter(const String& S) { return (!S.empty() && S.back() == '/') ? S : S + "/"; }

bool FileExists(const String& FileName) {
  std::error_code ec;
  return std::filesystem::is_regular_file(FileName, ec);
}

bool DirectoryExists(const String& Directory) {
  std::error_code ec;
  return std::filesystem::is_directory(Directory, ec);
}

}  // namespace rtl
