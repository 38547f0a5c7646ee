// Small text helpers private to the library. Identifiers and server type names are ASCII, so an
// ASCII case comparison is exact for them and needs no Unicode tables.
#pragma once

#include <string_view>

namespace korv::detail {

constexpr char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

constexpr bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

}  // namespace korv::detail
