// ParseSelectInfo: a recursive-descent reading of one SELECT over the tokens of SqlLexer. It
// understands only what tells where a result column comes from: the select list, the FROM clause
// with its joins and aliases, and enough of the rest to skip it.
#include "korv/KVCommon.h"

#include "AsciiText.h"
#include "SqlLexer.h"

#include <algorithm>
#include <initializer_list>

namespace korv {

namespace {

using detail::SameTextAscii;
using detail::TSqlToken;
using detail::TSqlTokenKind;

// A FROM source: a table, or something that only looks like one from outside (a subquery, a
// table function, a common table expression).
struct TSource {
  bool IsTable = false;
  std::string Alias;               // without quotes; empty when none is given
  std::vector<std::string> Parts;  // the name's parts without quotes
  std::size_t TableIndex = 0;      // into the result's Tables, for a table
};

class TSelectParser {
public:
  explicit TSelectParser(std::string_view sql) : T(detail::TokenizeSql(sql)), N(T.size()) { MatchParentheses(); }

  TSQLSelectInfo Parse();

private:
  std::vector<TSqlToken> T;
  std::size_t N;
  std::vector<std::size_t> Close;  // for each "(": the index of its ")", or N when unclosed
  std::vector<std::string> CteNames;
  std::vector<TSource> Sources;
  TSQLSelectInfo Result;

  void MatchParentheses();
  bool IsWord(std::size_t i, std::string_view word) const {
    return i < N && T[i].Kind == TSqlTokenKind::Word && SameTextAscii(T[i].Text, word);
  }
  bool IsAnyWord(std::size_t i, std::initializer_list<std::string_view> words) const {
    if (i >= N || T[i].Kind != TSqlTokenKind::Word)
      return false;
    return std::any_of(words.begin(), words.end(), [&](auto w) { return SameTextAscii(T[i].Text, w); });
  }
  bool IsSymbol(std::size_t i, char c) const { return i < N && T[i].Is(c); }
  // Past the token at i, or past the whole parenthesised group that opens at i.
  std::size_t Skip(std::size_t i) const { return T[i].Is('(') ? std::min(Close[i] + 1, N) : i + 1; }
  bool IsClauseEnd(std::size_t i) const;

  std::size_t SkipWithClause(std::size_t i);
  std::size_t ParseFromList(std::size_t i, std::size_t end);
  std::size_t ParseSource(std::size_t i, std::size_t end);
  std::size_t ParseAlias(std::size_t i, std::size_t end, std::string* alias, std::string* written);
  std::size_t SkipJoinCondition(std::size_t i, std::size_t end) const;
  void AddTable(const std::vector<const TSqlToken*>& nameTokens, std::string alias, std::string aliasWritten);
  void AddDerived(std::string alias) { Sources.push_back({false, std::move(alias), {}, 0}); }
  void ReadSelectItem(std::size_t a, std::size_t b);
  const TSource* FindSource(const std::vector<std::string>& qualifier) const;
};

void TSelectParser::MatchParentheses() {
  Close.assign(N, N);
  std::vector<std::size_t> open;
  for (std::size_t i = 0; i < N; ++i) {
    if (T[i].Is('('))
      open.push_back(i);
    else if (T[i].Is(')') && !open.empty()) {
      Close[open.back()] = i;
      open.pop_back();
    }
  }
}

bool TSelectParser::IsClauseEnd(std::size_t i) const {
  return i >= N || T[i].Is(';') || T[i].Is(')') ||
         IsAnyWord(i, {"WHERE", "GROUP", "HAVING", "ORDER", "LIMIT", "OFFSET", "UNION", "INTERSECT",
                       "EXCEPT", "WINDOW", "FETCH", "FOR", "INTO", "RETURNING"});
}

std::size_t TSelectParser::SkipWithClause(std::size_t i) {
  ++i;  // WITH
  if (IsWord(i, "RECURSIVE"))
    ++i;
  while (i < N && T[i].IsName()) {
    CteNames.push_back(detail::TokenValue(T[i]));
    ++i;
    if (IsSymbol(i, '('))  // column names
      i = Skip(i);
    if (IsWord(i, "AS"))
      ++i;
    if (IsWord(i, "NOT"))
      ++i;
    if (IsWord(i, "MATERIALIZED"))
      ++i;
    if (IsSymbol(i, '('))
      i = Skip(i);
    if (!IsSymbol(i, ','))
      break;
    ++i;
  }
  return i;
}

TSQLSelectInfo TSelectParser::Parse() {
  std::size_t i = 0;
  while (IsSymbol(i, '('))
    ++i;
  if (IsWord(i, "WITH"))
    i = SkipWithClause(i);
  if (!IsWord(i, "SELECT"))
    return {};
  ++i;
  if (IsWord(i, "DISTINCT")) {
    ++i;
    if (IsWord(i, "ON") && IsSymbol(i + 1, '('))
      i = Skip(i + 1);
  } else if (IsWord(i, "ALL")) {
    ++i;
  }

  // The select list: items split at top-level commas, up to FROM or the end of the clause.
  std::vector<std::pair<std::size_t, std::size_t>> items;
  std::size_t start = i;
  while (i < N && !IsWord(i, "FROM") && !IsClauseEnd(i)) {
    if (T[i].Is(',')) {
      items.emplace_back(start, i);
      start = ++i;
    } else {
      i = Skip(i);
    }
  }
  items.emplace_back(start, i);

  if (IsWord(i, "FROM"))
    ParseFromList(i + 1, N);
  for (auto [a, b] : items)
    ReadSelectItem(a, b);
  return std::move(Result);
}

std::size_t TSelectParser::ParseFromList(std::size_t i, std::size_t end) {
  while (i < end) {
    const std::size_t before = i;
    i = ParseSource(i, end);
    if (i == before)
      return i;
    // Joins and commas that follow this source.
    while (i < end) {
      if (T[i].Is(',')) {
        ++i;
        break;
      }
      std::size_t j = i;
      if (IsWord(j, "NATURAL"))
        ++j;
      if (IsAnyWord(j, {"LEFT", "RIGHT", "FULL"})) {
        ++j;
        if (IsWord(j, "OUTER"))
          ++j;
      } else if (IsAnyWord(j, {"INNER", "CROSS"})) {
        ++j;
      }
      if (!IsWord(j, "JOIN"))
        return i;
      const std::size_t joined = j + 1;
      i = ParseSource(joined, end);
      if (i == joined)
        return i;
      if (IsWord(i, "ON"))
        i = SkipJoinCondition(i + 1, end);
      else if (IsWord(i, "USING") && IsSymbol(i + 1, '('))
        i = Skip(i + 1);
    }
  }
  return i;
}

std::size_t TSelectParser::SkipJoinCondition(std::size_t i, std::size_t end) const {
  while (i < end && !T[i].Is(',') && !IsClauseEnd(i)) {
    if (IsAnyWord(i, {"NATURAL", "LEFT", "RIGHT", "FULL", "INNER", "CROSS", "JOIN"}) && !IsSymbol(i + 1, '('))
      break;
    i = Skip(i);
  }
  return i;
}

std::size_t TSelectParser::ParseSource(std::size_t i, std::size_t end) {
  if (IsAnyWord(i, {"LATERAL", "ONLY"}))
    ++i;
  if (i >= end)
    return i;
  std::string alias, aliasWritten;
  if (T[i].Is('(')) {
    std::size_t inner = i;
    while (IsSymbol(inner, '('))
      ++inner;
    const bool derived = IsAnyWord(inner, {"SELECT", "WITH", "VALUES"});
    const std::size_t closeAt = std::min(Close[i], end);
    if (!derived)  // a parenthesised join: its tables are tables of this FROM clause
      ParseFromList(i + 1, closeAt);
    i = ParseAlias(std::min(closeAt + 1, end), end, &alias, &aliasWritten);
    if (derived)
      AddDerived(std::move(alias));
  } else if (T[i].IsName()) {
    std::vector<const TSqlToken*> nameTokens{&T[i]};
    ++i;
    while (i + 1 < end && T[i].Is('.') && T[i + 1].IsName()) {
      nameTokens.push_back(&T[i + 1]);
      i += 2;
    }
    const bool function = IsSymbol(i, '(');
    if (function)
      i = Skip(i);
    i = ParseAlias(i, end, &alias, &aliasWritten);
    if (function) {
      AddDerived(std::move(alias));
    } else if (nameTokens.size() == 1 &&
               std::any_of(CteNames.begin(), CteNames.end(),
                           [&](const std::string& cte) { return SameTextAscii(cte, detail::TokenValue(*nameTokens[0])); })) {
      AddDerived(alias.empty() ? detail::TokenValue(*nameTokens[0]) : std::move(alias));
    } else {
      AddTable(nameTokens, std::move(alias), std::move(aliasWritten));
    }
  } else {
    return i;
  }
  // SQLite's INDEXED BY name / NOT INDEXED, PostgreSQL's TABLESAMPLE method (args) REPEATABLE (seed)
  if (IsWord(i, "INDEXED"))
    i = std::min(i + 3, end);
  else if (IsWord(i, "NOT") && IsWord(i + 1, "INDEXED"))
    i += 2;
  if (IsWord(i, "TABLESAMPLE")) {
    i += 2;
    if (IsSymbol(i, '('))
      i = Skip(i);
    if (IsWord(i, "REPEATABLE") && IsSymbol(i + 1, '('))
      i = Skip(i + 1);
  }
  return std::min(i, end);
}

std::size_t TSelectParser::ParseAlias(std::size_t i, std::size_t end, std::string* alias, std::string* written) {
  if (IsWord(i, "AS")) {
    if (i + 1 < end && (T[i + 1].IsName() || T[i + 1].Kind == TSqlTokenKind::String)) {
      *alias = detail::TokenValue(T[i + 1]);
      *written = detail::TokenNameAsWritten(T[i + 1]);
      i += 2;
    }
    if (IsSymbol(i, '('))  // column aliases
      i = Skip(i);
    return i;
  }
  if (i < end && (T[i].Kind == TSqlTokenKind::QuotedName ||
                  (T[i].Kind == TSqlTokenKind::Word && !IsReservedWord(T[i].Text)))) {
    *alias = detail::TokenValue(T[i]);
    *written = detail::TokenNameAsWritten(T[i]);
    ++i;
    if (IsSymbol(i, '('))
      i = Skip(i);
  }
  return i;
}

void TSelectParser::AddTable(const std::vector<const TSqlToken*>& nameTokens, std::string alias,
                             std::string aliasWritten) {
  TSource source;
  source.IsTable = true;
  source.Alias = std::move(alias);
  source.TableIndex = Result.Tables.size();
  std::string written;
  for (const TSqlToken* token : nameTokens) {
    if (!written.empty())
      written += '.';
    written += detail::TokenNameAsWritten(*token);
    source.Parts.push_back(detail::TokenValue(*token));
  }
  Result.Tables.push_back({aliasWritten.empty() ? written : std::move(aliasWritten), written});
  Sources.push_back(std::move(source));
}

const TSource* TSelectParser::FindSource(const std::vector<std::string>& qualifier) const {
  for (const TSource& source : Sources) {
    if (!source.Alias.empty()) {
      if (qualifier.size() == 1 && SameTextAscii(qualifier[0], source.Alias))
        return &source;
      continue;
    }
    // Unaliased: the qualifier and the name agree on their trailing parts (t.c, main.t.c).
    const auto& parts = source.Parts;
    const std::size_t common = std::min(parts.size(), qualifier.size());
    if (common == 0)
      continue;
    bool same = true;
    for (std::size_t k = 1; k <= common && same; ++k)
      same = SameTextAscii(parts[parts.size() - k], qualifier[qualifier.size() - k]);
    if (same)
      return &source;
  }
  return nullptr;
}

void TSelectParser::ReadSelectItem(std::size_t a, std::size_t b) {
  if (a >= b)
    return;
  auto allTables = [&] {
    std::vector<std::size_t> tables;
    for (const TSource& source : Sources)
      if (source.IsTable)
        tables.push_back(source.TableIndex);
    return tables;
  };
  if (b - a == 1 && T[a].Is('*')) {
    Result.Stars.push_back({Result.Fields.size(), {}, allTables()});
    return;
  }

  // A column reference: name(.name)* or qualifier.*, then an optional alias.
  if (!T[a].IsName() ||
      IsAnyWord(a, {"NULL", "TRUE", "FALSE", "CASE", "NOT", "EXISTS", "CAST", "DISTINCT", "CURRENT_DATE",
                    "CURRENT_TIME", "CURRENT_TIMESTAMP", "CURRENT_USER", "SESSION_USER", "USER",
                    "LOCALTIME", "LOCALTIMESTAMP", "INTERVAL", "ARRAY", "ROW", "SELECT"}))
    return;
  std::vector<std::string> parts{detail::TokenValue(T[a])};
  std::string qualifierWritten = detail::TokenNameAsWritten(T[a]);
  std::size_t j = a + 1;
  while (j + 1 < b && T[j].Is('.')) {
    if (T[j + 1].Is('*')) {
      if (j + 2 != b)
        return;
      TSQLStarRef star{Result.Fields.size(), qualifierWritten, {}};
      if (const TSource* source = FindSource(parts); source && source->IsTable)
        star.Tables.push_back(source->TableIndex);
      Result.Stars.push_back(std::move(star));
      return;
    }
    if (!T[j + 1].IsName())
      return;
    parts.push_back(detail::TokenValue(T[j + 1]));
    qualifierWritten += '.';
    qualifierWritten += detail::TokenNameAsWritten(T[j + 1]);
    j += 2;
  }

  std::string alias;
  if (j < b) {
    const bool afterAs = IsWord(j, "AS");
    if (afterAs)
      ++j;
    if (j + 1 != b)
      return;  // an expression
    const auto kind = T[j].Kind;
    const bool aliasToken = kind == TSqlTokenKind::QuotedName || kind == TSqlTokenKind::String ||
                            (kind == TSqlTokenKind::Word && (afterAs || !IsReservedWord(T[j].Text)));
    if (!aliasToken)
      return;
    alias = detail::TokenValue(T[j]);
  }

  TSQLFieldRef field;
  field.ColumnName = std::move(parts.back());
  parts.pop_back();
  field.FieldName = alias.empty() ? field.ColumnName : std::move(alias);
  const TSource* source = nullptr;
  if (parts.empty())
    source = Sources.size() == 1 ? &Sources.front() : nullptr;
  else
    source = FindSource(parts);
  if (source && source->IsTable)
    field.TableName = Result.Tables[source->TableIndex].TableName;
  Result.Fields.push_back(std::move(field));
}

} // namespace

TSQLSelectInfo ParseSelectInfo(std::string_view sql) { return TSelectParser(sql).Parse(); }

} // namespace korv
