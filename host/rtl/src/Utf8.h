// UTF-8, ASCII and string helpers the form-file readers and writers share.
#pragma once

#include "rtl/Types.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace rtl::utf8 {

// Length of the valid UTF-8 sequence at p (0 for an invalid one: a stray byte, an overlong or
// truncated sequence, a surrogate or a code point past U+10FFFF); its code point in Cp.
inline size_t SequenceLength(const unsigned char* p, const unsigned char* end, uint32_t& Cp) {
  const unsigned char c = p[0];
  if (c < 0x80) {
    Cp = c;
    return 1;
  }
  size_t n;
  if ((c & 0xE0) == 0xC0) {
    n = 2;
    Cp = c & 0x1Fu;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3;
    Cp = c & 0x0Fu;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4;
    Cp = c & 0x07u;
  } else
    return 0;
  if (static_cast<size_t>(end - p) < n) return 0;
  for (size_t i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    Cp = (Cp << 6) | (p[i] & 0x3Fu);
  }
  if ((n == 2 && Cp < 0x80) || (n == 3 && Cp < 0x800) || (n == 4 && Cp < 0x10000)) return 0;
  if (Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)) return 0;
  return n;
}

inline size_t SequenceLength(const unsigned char* p, const unsigned char* end) {
  uint32_t cp;
  return SequenceLength(p, end, cp);
}

// Writes Cp's bytes at Out (room for 4) and returns the end.
inline char* Encode(char* Out, uint32_t Cp) {
  if (Cp < 0x80) {
    *Out++ = static_cast<char>(Cp);
  } else if (Cp < 0x800) {
    *Out++ = static_cast<char>(0xC0 | (Cp >> 6));
    *Out++ = static_cast<char>(0x80 | (Cp & 0x3F));
  } else if (Cp < 0x10000) {
    *Out++ = static_cast<char>(0xE0 | (Cp >> 12));
    *Out++ = static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
    *Out++ = static_cast<char>(0x80 | (Cp & 0x3F));
  } else {
    *Out++ = static_cast<char>(0xF0 | (Cp >> 18));
    *Out++ = static_cast<char>(0x80 | ((Cp >> 12) & 0x3F));
    *Out++ = static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
    *Out++ = static_cast<char>(0x80 | (Cp & 0x3F));
  }
  return Out;
}

inline void Append(String& Out, uint32_t Cp) {
  char buf[4];
  Out.append(buf, static_cast<size_t>(Encode(buf, Cp) - buf));
}

// Text into a string filled again and again: emptied and appended to, the shortest way to keep
// its storage (an assignment takes the general one, which allows for overlapping text).
inline void Refill(String& S, std::string_view Text) {
  size_t n = Text.size();
  // Where the caller's length has a known small bound (a binary file's names, at most 255
  // bytes), the compiler copies with `rep movs`, whose start-up costs more than copying a short
  // name; hidden, the bound leaves the copy to memcpy.
  asm("" : "+r"(n));
  S.clear();
  S.append(Text.data(), n);
}

// Whether A is Lower (all lower case) in any ASCII letter case.
inline bool SameAscii(std::string_view A, const char* Lower) {
  const size_t n = std::strlen(Lower);
  if (A.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = A[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != Lower[i]) return false;
  }
  return true;
}

}  // namespace rtl::utf8
