// The tokens of SQL text, enough to read a statement's structure: names (bare or quoted with
// "", [] or ``), string literals ('', E'', $$ $$), numbers, the punctuation that shapes a
// statement, and everything else as single characters. Comments and blanks are dropped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korv::detail {

enum class TSqlTokenKind { Word, QuotedName, String, Number, Symbol, Other };

struct TSqlToken {
  TSqlTokenKind Kind;
  std::string_view Text;  // as written, quotes included

  bool Is(char symbol) const { return Kind == TSqlTokenKind::Symbol && Text.size() == 1 && Text[0] == symbol; }
  bool IsName() const { return Kind == TSqlTokenKind::Word || Kind == TSqlTokenKind::QuotedName; }
};

std::vector<TSqlToken> TokenizeSql(std::string_view sql);

// The name a Word, QuotedName or String token stands for, quotes removed.
std::string TokenValue(const TSqlToken& token);
// The name as written, with [x] and `x` turned into the standard "x".
std::string TokenNameAsWritten(const TSqlToken& token);

} // namespace korv::detail
