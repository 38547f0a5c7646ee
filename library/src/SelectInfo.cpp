// ParseSelectInfo: a recursive-descent reading of one SELECT over the tokens of SqlLexer. It
// understands only what tells where a result column comes from: the select list, the FROM clause
// with its joins and aliases, and enough of the rest to skip it.
#include "korv/KVCommon.h"

#include "AsciiText.h"
#include "SqlLexer.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace korv {

namespace {

using detail::SameTextAscii;
using detail::TSqlKeyword;
using detail::TSqlToken;
using detail::TSqlTokenKind;
using K = TSqlKeyword;

// A FROM source: a table, or something that only looks like one from outside (a subquery, a
// table function, a common table expression).
struct TSource {
  bool IsTable = false;
  std::string Alias;               // without quotes; empty when none is given
  std::vector<std::string> Parts;  // the name's parts without quotes
  std::size_t TableIndex = 0;      // into the result's Tables, for a table
};

// A name token against a name without quotes, ignoring ASCII letter case.
bool SameName(const TSqlToken& token, std::string_view name) {
  return token.Kind == TSqlTokenKind::Word ? SameTextAscii(token.Text(), name)
                                           : SameTextAscii(detail::TokenValue(token), name);
}

class TSelectParser {
public:
  explicit TSelectParser(std::string_view sql) : T(detail::TokenizeSql(sql)), N(T.size()) { MatchParentheses(); }

  TSQLSelectInfo Parse();

private:
  std::vector<TSqlToken> T;
  std::size_t N;
  std::vector<std::uint32_t> Close;  // for each "(": the index of its ")", or N when unclosed
  std::vector<std::string> CteNames;
  // Parenthesised joins nest in the parse; past this depth a group is passed over unread, so that
  // hostile text cannot exhaust the stack.
  static constexpr int MaxJoinDepth = 64;
  int JoinDepth = 0;
  std::vector<TSource> Sources;
  TSQLSelectInfo Result;

  void MatchParentheses();
  bool Is(std::size_t i, K keyword) const { return i < N && T[i].Is(keyword); }
  bool IsAny(std::size_t i, std::initializer_list<K> keywords) const {
    return i < N && T[i].Kind == TSqlTokenKind::Word &&
           std::find(keywords.begin(), keywords.end(), T[i].Keyword) != keywords.end();
  }
  bool IsSymbol(std::size_t i, char c) const { return i < N && T[i].Is(c); }
  // Past the token at i, or past the whole parenthesised group that opens at i.
  std::size_t Skip(std::size_t i) const { return T[i].Is('(') ? std::min<std::size_t>(Close[i] + 1, N) : i + 1; }
  bool IsClauseEnd(std::size_t i) const {
    return i >= N || T[i].Is(';') || T[i].Is(')') ||
           IsAny(i, {K::kwWhere, K::kwGroup, K::kwHaving, K::kwOrder, K::kwLimit, K::kwOffset, K::kwUnion,
                     K::kwIntersect, K::kwExcept, K::kwWindow, K::kwFetch, K::kwFor, K::kwInto, K::kwReturning});
  }

  std::size_t SkipWithClause(std::size_t i);
  std::size_t ParseFromList(std::size_t i, std::size_t end);
  std::size_t ParseSource(std::size_t i, std::size_t end);
  std::size_t ParseAlias(std::size_t i, std::size_t end, std::string* alias, std::string* written);
  std::size_t SkipJoinCondition(std::size_t i, std::size_t end) const;
  void AddTable(const std::vector<const TSqlToken*>& nameTokens, std::string alias, std::string aliasWritten);
  void AddDerived(std::string alias) { Sources.push_back({false, std::move(alias), {}, 0}); }
  void ReadSelectItem(std::size_t a, std::size_t b);
  const TSource* FindSource(const TSqlToken* const* qualifier, std::size_t count) const;
};

void TSelectParser::MatchParentheses() {
  Close.assign(N, static_cast<std::uint32_t>(N));
  std::vector<std::size_t> open;
  for (std::size_t i = 0; i < N; ++i) {
    if (T[i].Is('('))
      open.push_back(i);
    else if (T[i].Is(')') && !open.empty()) {
      Close[open.back()] = static_cast<std::uint32_t>(i);
      open.pop_back();
    }
  }
}

std::size_t TSelectParser::SkipWithClause(std::size_t i) {
  ++i;  // WITH
  if (Is(i, K::kwRecursive)) ++i;
  while (i < N && T[i].IsName()) {
    CteNames.push_back(detail::TokenValue(T[i]));
    ++i;
    if (IsSymbol(i, '('))  // column names
      i = Skip(i);
    if (Is(i, K::kwAs)) ++i;
    if (Is(i, K::kwNot)) ++i;
    if (Is(i, K::kwMaterialized)) ++i;
    if (IsSymbol(i, '(')) i = Skip(i);
    if (!IsSymbol(i, ',')) break;
    ++i;
  }
  return i;
}

TSQLSelectInfo TSelectParser::Parse() {
  std::size_t i = 0;
  while (IsSymbol(i, '(')) ++i;
  if (Is(i, K::kwWith)) i = SkipWithClause(i);
  if (!Is(i, K::kwSelect)) return {};
  ++i;
  if (Is(i, K::kwDistinct)) {
    ++i;
    if (Is(i, K::kwOn) && IsSymbol(i + 1, '(')) i = Skip(i + 1);
  } else if (Is(i, K::kwAll)) {
    ++i;
  }

  // The select list: items split at top-level commas, up to FROM or the end of the clause.
  std::vector<std::pair<std::size_t, std::size_t>> items;
  std::size_t start = i;
  while (i < N && !Is(i, K::kwFrom) && !IsClauseEnd(i)) {
    if (T[i].Is(',')) {
      items.emplace_back(start, i);
      start = ++i;
    } else {
      i = Skip(i);
    }
  }
  items.emplace_back(start, i);

  if (Is(i, K::kwFrom)) ParseFromList(i + 1, N);
  Result.Fields.reserve(items.size());
  for (auto [a, b] : items) ReadSelectItem(a, b);
  return std::move(Result);
}

std::size_t TSelectParser::ParseFromList(std::size_t i, std::size_t end) {
  while (i < end) {
    const std::size_t before = i;
    i = ParseSource(i, end);
    if (i == before) return i;
    // Joins and commas that follow this source.
    while (i < end) {
      if (T[i].Is(',')) {
        ++i;
        break;
      }
      std::size_t j = i;
      if (Is(j, K::kwNatural)) ++j;
      if (IsAny(j, {K::kwLeft, K::kwRight, K::kwFull})) {
        ++j;
        if (Is(j, K::kwOuter)) ++j;
      } else if (IsAny(j, {K::kwInner, K::kwCross})) {
        ++j;
      }
      if (!Is(j, K::kwJoin)) return i;
      const std::size_t joined = j + 1;
      i = ParseSource(joined, end);
      if (i == joined) return i;
      if (Is(i, K::kwOn))
        i = SkipJoinCondition(i + 1, end);
      else if (Is(i, K::kwUsing) && IsSymbol(i + 1, '('))
        i = Skip(i + 1);
    }
  }
  return i;
}

std::size_t TSelectParser::SkipJoinCondition(std::size_t i, std::size_t end) const {
  while (i < end && !T[i].Is(',') && !IsClauseEnd(i)) {
    // left(...) and right(...) are functions, not joins.
    if (IsAny(i, {K::kwNatural, K::kwLeft, K::kwRight, K::kwFull, K::kwInner, K::kwCross, K::kwJoin}) &&
        !IsSymbol(i + 1, '('))
      break;
    i = Skip(i);
  }
  return i;
}

std::size_t TSelectParser::ParseSource(std::size_t i, std::size_t end) {
  if (IsAny(i, {K::kwLateral, K::kwOnly})) ++i;
  if (i >= end) return i;
  std::string alias, aliasWritten;
  if (T[i].Is('(')) {
    std::size_t inner = i;
    while (IsSymbol(inner, '(')) ++inner;
    const bool derived = IsAny(inner, {K::kwSelect, K::kwWith, K::kwValues});
    const std::size_t closeAt = std::min<std::size_t>(Close[i], end);
    if (!derived && JoinDepth < MaxJoinDepth) {  // a parenthesised join: its tables are this FROM's
      ++JoinDepth;
      ParseFromList(i + 1, closeAt);
      --JoinDepth;
    }
    i = ParseAlias(std::min(closeAt + 1, end), end, &alias, &aliasWritten);
    if (derived) AddDerived(std::move(alias));
  } else if (T[i].IsName()) {
    std::vector<const TSqlToken*> nameTokens{&T[i]};
    ++i;
    while (i + 1 < end && T[i].Is('.') && T[i + 1].IsName()) {
      nameTokens.push_back(&T[i + 1]);
      i += 2;
    }
    const bool function = IsSymbol(i, '(');
    if (function) i = Skip(i);
    i = ParseAlias(i, end, &alias, &aliasWritten);
    if (function) {
      AddDerived(std::move(alias));
    } else if (nameTokens.size() == 1 && std::any_of(CteNames.begin(), CteNames.end(), [&](const std::string& cte) {
                 return SameName(*nameTokens[0], cte);
               })) {
      AddDerived(alias.empty() ? detail::TokenValue(*nameTokens[0]) : std::move(alias));
    } else {
      AddTable(nameTokens, std::move(alias), std::move(aliasWritten));
    }
  } else {
    return i;
  }
  // SQLite's INDEXED BY name / NOT INDEXED, PostgreSQL's TABLESAMPLE method (args) REPEATABLE (seed)
  if (Is(i, K::kwIndexed))
    i = std::min(i + 3, end);
  else if (Is(i, K::kwNot) && Is(i + 1, K::kwIndexed))
    i += 2;
  if (Is(i, K::kwTableSample)) {
    i += 2;
    if (IsSymbol(i, '(')) i = Skip(i);
    if (Is(i, K::kwRepeatable) && IsSymbol(i + 1, '(')) i = Skip(i + 1);
  }
  return std::min(i, end);
}

std::size_t TSelectParser::ParseAlias(std::size_t i, std::size_t end, std::string* alias, std::string* written) {
  if (Is(i, K::kwAs)) {
    if (i + 1 < end && (T[i + 1].IsName() || T[i + 1].Kind == TSqlTokenKind::String)) {
      *alias = detail::TokenValue(T[i + 1]);
      *written = detail::TokenNameAsWritten(T[i + 1]);
      i += 2;
    }
    if (IsSymbol(i, '('))  // column aliases: t AS x (a, b)
      i = Skip(i);
    return i;
  }
  if (i < end &&
      (T[i].Kind == TSqlTokenKind::QuotedName || (T[i].Kind == TSqlTokenKind::Word && !IsReservedWord(T[i].Text())))) {
    *alias = detail::TokenValue(T[i]);
    *written = detail::TokenNameAsWritten(T[i]);
    ++i;
    if (IsSymbol(i, '(')) i = Skip(i);
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
    if (!written.empty()) written += '.';
    written += detail::TokenNameAsWritten(*token);
    source.Parts.push_back(detail::TokenValue(*token));
  }
  Result.Tables.push_back({aliasWritten.empty() ? written : std::move(aliasWritten), written});
  Sources.push_back(std::move(source));
}

const TSource* TSelectParser::FindSource(const TSqlToken* const* qualifier, std::size_t count) const {
  for (const TSource& source : Sources) {
    if (!source.Alias.empty()) {
      if (count == 1 && SameName(*qualifier[0], source.Alias)) return &source;
      continue;
    }
    // Unaliased: the qualifier and the name agree on their trailing parts (t.c, main.t.c).
    const auto& parts = source.Parts;
    const std::size_t common = std::min(parts.size(), count);
    if (common == 0) continue;
    bool same = true;
    for (std::size_t k = 1; k <= common && same; ++k) same = SameName(*qualifier[count - k], parts[parts.size() - k]);
    if (same) return &source;
  }
  return nullptr;
}

void TSelectParser::ReadSelectItem(std::size_t a, std::size_t b) {
  if (a >= b) return;
  if (b - a == 1 && T[a].Is('*')) {
    TSQLStarRef star{Result.Fields.size(), {}, {}};
    for (const TSource& source : Sources)
      if (source.IsTable) star.Tables.push_back(source.TableIndex);
    Result.Stars.push_back(std::move(star));
    return;
  }

  // A column reference: name(.name)* or qualifier.*, then an optional alias.
  if (!T[a].IsName() || IsAny(a, {K::kwNull,
                                  K::kwTrue,
                                  K::kwFalse,
                                  K::kwCase,
                                  K::kwNot,
                                  K::kwExists,
                                  K::kwCast,
                                  K::kwDistinct,
                                  K::kwCurrentDate,
                                  K::kwCurrentTime,
                                  K::kwCurrentTimestamp,
                                  K::kwCurrentUser,
                                  K::kwSessionUser,
                                  K::kwUser,
                                  K::kwLocalTime,
                                  K::kwLocalTimestamp,
                                  K::kwInterval,
                                  K::kwArray,
                                  K::kwRow,
                                  K::kwSelect}))
    return;
  std::array<const TSqlToken*, 8> parts{&T[a]};
  std::size_t count = 1;
  std::size_t j = a + 1;
  while (j + 1 < b && T[j].Is('.')) {
    if (T[j + 1].Is('*')) {
      if (j + 2 != b) return;
      TSQLStarRef star{Result.Fields.size(), {}, {}};
      for (std::size_t k = 0; k < count; ++k) star.Qualifier += (k ? "." : "") + detail::TokenNameAsWritten(*parts[k]);
      if (const TSource* source = FindSource(parts.data(), count); source && source->IsTable)
        star.Tables.push_back(source->TableIndex);
      Result.Stars.push_back(std::move(star));
      return;
    }
    if (!T[j + 1].IsName() || count == parts.size()) return;
    parts[count++] = &T[j + 1];
    j += 2;
  }

  const TSqlToken* alias = nullptr;
  if (j < b) {
    const bool afterAs = Is(j, K::kwAs);
    if (afterAs) ++j;
    if (j + 1 != b) return;  // an expression
    const auto kind = T[j].Kind;
    if (kind != TSqlTokenKind::QuotedName && kind != TSqlTokenKind::String &&
        !(kind == TSqlTokenKind::Word && (afterAs || !IsReservedWord(T[j].Text()))))
      return;
    alias = &T[j];
  }

  TSQLFieldRef field;
  field.ColumnName = detail::TokenValue(*parts[count - 1]);
  field.FieldName = alias ? detail::TokenValue(*alias) : field.ColumnName;
  const TSource* source = nullptr;
  if (count == 1)
    source = Sources.size() == 1 ? &Sources.front() : nullptr;
  else
    source = FindSource(parts.data(), count - 1);
  if (source && source->IsTable) field.TableName = Result.Tables[source->TableIndex].TableName;
  Result.Fields.push_back(std::move(field));
}

}  // namespace

TSQLSelectInfo ParseSelectInfo(std::string_view sql) { return TSelectParser(sql).Parse(); }

}  // namespace korv
