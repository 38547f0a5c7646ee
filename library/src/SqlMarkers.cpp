#include "SqlMarkers.h"

#include "SqlLexer.h"
#include "rtl/SysUtils.h"

#include <unordered_map>

namespace korv::detail {

std::vector<TSqlMarker> FindSqlMarkers(std::string_view sql, char Prefix) {
  std::vector<TSqlMarker> markers;
  const std::vector<TSqlToken> tokens = TokenizeSql(sql);
  auto isPrefix = [&](const TSqlToken& t) {
    return t.Length == 1 && t.Start[0] == Prefix && t.Kind != TSqlTokenKind::String;
  };
  for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
    const TSqlToken& mark = tokens[i];
    if (!isPrefix(mark)) continue;
    const TSqlToken& name = tokens[i + 1];
    if (isPrefix(name) && name.Start == mark.Start + 1) {
      ++i;  // "::" or "&&": neither half is a marker
      continue;
    }
    if (name.Start != mark.Start + 1 || !name.IsName()) continue;
    // A quoted marker name is in double quotes, or in MariaDB's backticks; [x] is never one.
    if (name.Kind == TSqlTokenKind::QuotedName && name.Start[0] != '"' && name.Start[0] != '`') continue;
    markers.push_back({static_cast<std::size_t>(mark.Start - sql.data()), 1 + name.Length, TokenValue(name)});
    ++i;
  }
  return markers;
}

std::vector<std::size_t> MarkerNumbers(const std::vector<TSqlMarker>& Markers, std::vector<std::string>& Names) {
  // One hash lookup per marker, so that a statement with many thousands of them stays linear.
  std::unordered_map<std::string, std::size_t> numberOf;
  std::vector<std::size_t> numbers;
  numbers.reserve(Markers.size());
  for (const auto& m : Markers) {
    auto [it, fresh] = numberOf.try_emplace(rtl::FoldCase(m.Name), Names.size() + 1);
    if (fresh) Names.push_back(m.Name);
    numbers.push_back(it->second);
  }
  return numbers;
}

std::vector<std::string> UniqueMarkerNames(const std::vector<TSqlMarker>& Markers) {
  std::vector<std::string> names;
  MarkerNumbers(Markers, names);
  return names;
}

}  // namespace korv::detail
