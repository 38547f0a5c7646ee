#include "SqlMarkers.h"

#include "SqlLexer.h"
#include "rtl/SysUtils.h"

namespace korv::detail {

std::vector<TSqlMarker> FindSqlMarkers(std::string_view sql, char Prefix) {
  std::vector<TSqlMarker> markers;
  const std::vector<TSqlToken> tokens = TokenizeSql(sql);
  auto isPrefix = [&](const TSqlToken& t) { return t.Length == 1 && t.Start[0] == Prefix && t.Kind != TSqlTokenKind::String; };
  for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
    const TSqlToken& mark = tokens[i];
    if (!isPrefix(mark)) continue;
    const TSqlToken& name = tokens[i + 1];
    if (isPrefix(name) && name.Start == mark.Start + 1) {
      ++i;  // "::" or "&&": neither half is a marker
      continue;
    }
    if (name.Start != mark.Start + 1 || !name.IsName()) continue;
    if (name.Kind == TSqlTokenKind::QuotedName && name.Start[0] != '"') continue;
    markers.push_back({static_cast<std::size_t>(mark.Start - sql.data()), 1 + name.Length, TokenValue(name)});
    ++i;
  }
  return markers;
}

std::vector<std::string> UniqueMarkerNames(const std::vector<TSqlMarker>& Markers) {
  std::vector<std::string> names;
  for (const auto& m : Markers) {
    bool seen = false;
    for (const auto& n : names)
      if (rtl::SameText(n, m.Name)) {
        seen = true;
        break;
      }
    if (!seen) names.push_back(m.Name);
  }
  return names;
}

} // namespace korv::detail
