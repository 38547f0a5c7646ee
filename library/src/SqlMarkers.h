// Markers in SQL text: ":name" parameters and "&name" macros, found by the SQL lexer so that
// string literals, quoted names and comments are never mistaken for them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korv::detail {

struct TSqlMarker {
  std::size_t Start = 0;   // offset of the marker character
  std::size_t Length = 0;  // the marker character and the name as written
  std::string Name;        // without quotes
};

// Every ":name" (Prefix ':') or "&name" (Prefix '&') marker, in text order. A doubled marker
// character ("::" cast, "&&" operator) is not a marker.
std::vector<TSqlMarker> FindSqlMarkers(std::string_view sql, char Prefix);

// The names of the markers, each once in order of first use, letter case ignored.
std::vector<std::string> UniqueMarkerNames(const std::vector<TSqlMarker>& Markers);

// SQL text with its ":name" markers numbered: the same name (letter case ignored) the same
// number, from 1 in order of first use; Names[n - 1] is the name of number n.
struct TNumberedSql {
  std::string Text;
  std::vector<std::string> Names;
};
// Placeholder(n) writes number n as the server wants it ("?1", "$1").
template <class F>
TNumberedSql NumberSqlMarkers(std::string_view sql, F Placeholder);
std::vector<std::size_t> MarkerNumbers(const std::vector<TSqlMarker>& Markers, std::vector<std::string>& Names);

// sql with each marker replaced by Replace(marker); a replacement that returns false keeps the
// marker as written.
template <class F>
std::string ReplaceSqlMarkers(std::string_view sql, const std::vector<TSqlMarker>& Markers, F Replace) {
  std::string out;
  out.reserve(sql.size());
  std::size_t at = 0;
  for (const auto& m : Markers) {
    out.append(sql.substr(at, m.Start - at));
    std::string text;
    if (Replace(m, text))
      out += text;
    else
      out.append(sql.substr(m.Start, m.Length));
    at = m.Start + m.Length;
  }
  out.append(sql.substr(at));
  return out;
}

template <class F>
TNumberedSql NumberSqlMarkers(std::string_view sql, F Placeholder) {
  TNumberedSql result;
  const auto markers = FindSqlMarkers(sql, ':');
  const auto numbers = MarkerNumbers(markers, result.Names);
  std::size_t i = 0;
  result.Text = ReplaceSqlMarkers(sql, markers, [&](const TSqlMarker&, std::string& text) {
    text = Placeholder(static_cast<int>(numbers[i++]));
    return true;
  });
  return result;
}

}  // namespace korv::detail
