// The tokens of SQL text, enough to read a statement's structure: names (bare or quoted with
// "", [] or ``), string literals ('', E'', $$ $$), numbers, the punctuation that shapes a
// statement, and everything else as single characters. Comments and blanks are dropped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korv::detail {

enum class TSqlTokenKind : unsigned char { Word, QuotedName, String, Number, Symbol, Other };

// The words that shape a statement, told apart once by the lexer so that the reader compares
// numbers. Any other word is kwNone.
// clang-format off
enum class TSqlKeyword : unsigned char {
  kwNone, kwAll, kwArray, kwAs, kwCase, kwCast, kwCross, kwCurrentDate, kwCurrentTime, kwCurrentTimestamp,
  kwCurrentUser, kwDistinct, kwExcept, kwExists, kwFalse, kwFetch, kwFor, kwFrom, kwFull, kwGroup, kwHaving,
  kwIndexed, kwInner, kwIntersect, kwInterval, kwInto, kwJoin, kwLateral, kwLeft, kwLimit, kwLocalTime,
  kwLocalTimestamp, kwMaterialized, kwNatural, kwNot, kwNull, kwOffset, kwOn, kwOnly, kwOrder, kwOuter,
  kwRecursive, kwRepeatable, kwReturning, kwRight, kwRow, kwSelect, kwSessionUser, kwTableSample, kwTrue,
  kwUnion, kwUser, kwUsing, kwValues, kwWhere, kwWindow, kwWith
};
// clang-format on

// 16 bytes: a wide statement has many thousands of them.
struct TSqlToken {
  const char* Start;
  std::uint32_t Length;
  TSqlTokenKind Kind;
  TSqlKeyword Keyword;  // for a Word

  std::string_view Text() const { return {Start, Length}; }  // as written, quotes included

  bool Is(char symbol) const { return Kind == TSqlTokenKind::Symbol && Length == 1 && Start[0] == symbol; }
  bool Is(TSqlKeyword keyword) const { return Keyword == keyword && Kind == TSqlTokenKind::Word; }
  bool IsName() const { return Kind == TSqlTokenKind::Word || Kind == TSqlTokenKind::QuotedName; }
};

std::vector<TSqlToken> TokenizeSql(std::string_view sql);

// The name a Word, QuotedName or String token stands for, quotes removed.
std::string TokenValue(const TSqlToken& token);
// The name as written, with [x] and `x` turned into the standard "x".
std::string TokenNameAsWritten(const TSqlToken& token);

}  // namespace korv::detail
