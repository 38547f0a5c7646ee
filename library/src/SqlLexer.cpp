#include "SqlLexer.h"

#include <array>
#include <cstdint>
#include <iterator>

namespace korv::detail {

namespace {

constexpr bool IsWordStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
constexpr bool IsWordChar(unsigned char c) { return IsWordStart(c) || (c >= '0' && c <= '9') || c == '$'; }
constexpr bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Position just past a quoted run that opens at i with open and ends with close; a doubled
// close stands for itself unless close is ']'. An unterminated run ends the text.
std::size_t SkipQuoted(std::string_view s, std::size_t i, char close, bool backslashEscapes = false) {
  ++i;
  while (i < s.size()) {
    if (backslashEscapes && s[i] == '\\') {
      i += 2;
      continue;
    }
    if (s[i] == close) {
      if (close != ']' && i + 1 < s.size() && s[i + 1] == close) {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return s.size();
}

struct TKeywordEntry {
  std::string_view Name;  // in capitals
  TSqlKeyword Keyword;
};

constexpr TKeywordEntry kKeywords[] = {
    {"ALL", TSqlKeyword::kwAll},
    {"ARRAY", TSqlKeyword::kwArray},
    {"AS", TSqlKeyword::kwAs},
    {"CASE", TSqlKeyword::kwCase},
    {"CAST", TSqlKeyword::kwCast},
    {"CROSS", TSqlKeyword::kwCross},
    {"CURRENT_DATE", TSqlKeyword::kwCurrentDate},
    {"CURRENT_TIME", TSqlKeyword::kwCurrentTime},
    {"CURRENT_TIMESTAMP", TSqlKeyword::kwCurrentTimestamp},
    {"CURRENT_USER", TSqlKeyword::kwCurrentUser},
    {"DISTINCT", TSqlKeyword::kwDistinct},
    {"EXCEPT", TSqlKeyword::kwExcept},
    {"EXISTS", TSqlKeyword::kwExists},
    {"FALSE", TSqlKeyword::kwFalse},
    {"FETCH", TSqlKeyword::kwFetch},
    {"FOR", TSqlKeyword::kwFor},
    {"FROM", TSqlKeyword::kwFrom},
    {"FULL", TSqlKeyword::kwFull},
    {"GROUP", TSqlKeyword::kwGroup},
    {"HAVING", TSqlKeyword::kwHaving},
    {"INDEXED", TSqlKeyword::kwIndexed},
    {"INNER", TSqlKeyword::kwInner},
    {"INTERSECT", TSqlKeyword::kwIntersect},
    {"INTERVAL", TSqlKeyword::kwInterval},
    {"INTO", TSqlKeyword::kwInto},
    {"JOIN", TSqlKeyword::kwJoin},
    {"LATERAL", TSqlKeyword::kwLateral},
    {"LEFT", TSqlKeyword::kwLeft},
    {"LIMIT", TSqlKeyword::kwLimit},
    {"LOCALTIME", TSqlKeyword::kwLocalTime},
    {"LOCALTIMESTAMP", TSqlKeyword::kwLocalTimestamp},
    {"MATERIALIZED", TSqlKeyword::kwMaterialized},
    {"NATURAL", TSqlKeyword::kwNatural},
    {"NOT", TSqlKeyword::kwNot},
    {"NULL", TSqlKeyword::kwNull},
    {"OFFSET", TSqlKeyword::kwOffset},
    {"ON", TSqlKeyword::kwOn},
    {"ONLY", TSqlKeyword::kwOnly},
    {"ORDER", TSqlKeyword::kwOrder},
    {"OUTER", TSqlKeyword::kwOuter},
    {"RECURSIVE", TSqlKeyword::kwRecursive},
    {"REPEATABLE", TSqlKeyword::kwRepeatable},
    {"RETURNING", TSqlKeyword::kwReturning},
    {"RIGHT", TSqlKeyword::kwRight},
    {"ROW", TSqlKeyword::kwRow},
    {"SELECT", TSqlKeyword::kwSelect},
    {"SESSION_USER", TSqlKeyword::kwSessionUser},
    {"TABLESAMPLE", TSqlKeyword::kwTableSample},
    {"TRUE", TSqlKeyword::kwTrue},
    {"UNION", TSqlKeyword::kwUnion},
    {"USER", TSqlKeyword::kwUser},
    {"USING", TSqlKeyword::kwUsing},
    {"VALUES", TSqlKeyword::kwValues},
    {"WHERE", TSqlKeyword::kwWhere},
    {"WINDOW", TSqlKeyword::kwWindow},
    {"WITH", TSqlKeyword::kwWith},
};

constexpr std::size_t kLongestKeyword = 17;

constexpr char UpperChar(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

constexpr std::uint32_t HashWord(std::string_view word) {
  std::uint32_t hash = 2166136261u;
  for (char c : word) hash = (hash ^ static_cast<unsigned char>(UpperChar(c))) * 16777619u;
  return hash;
}

// Open addressing over the keyword table: a word costs one hash and, mostly, no comparison.
constexpr std::size_t kSlots = 256;
struct TKeywordSlots {
  std::array<std::uint8_t, kSlots> Entry{};  // index into kKeywords + 1; 0 is empty
};

constexpr TKeywordSlots MakeKeywordSlots() {
  TKeywordSlots slots;
  for (std::size_t k = 0; k < std::size(kKeywords); ++k) {
    std::size_t slot = HashWord(kKeywords[k].Name) % kSlots;
    while (slots.Entry[slot] != 0) slot = (slot + 1) % kSlots;
    slots.Entry[slot] = static_cast<std::uint8_t>(k + 1);
  }
  return slots;
}
constexpr TKeywordSlots kKeywordSlots = MakeKeywordSlots();

TSqlKeyword ClassifyWord(std::string_view word) {
  if (word.size() < 2 || word.size() > kLongestKeyword) return TSqlKeyword::kwNone;
  for (std::size_t slot = HashWord(word) % kSlots; kKeywordSlots.Entry[slot] != 0; slot = (slot + 1) % kSlots) {
    const auto& entry = kKeywords[kKeywordSlots.Entry[slot] - 1];
    if (entry.Name.size() != word.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < word.size() && same; ++i) same = UpperChar(word[i]) == entry.Name[i];
    if (same) return entry.Keyword;
  }
  return TSqlKeyword::kwNone;
}

}  // namespace

std::vector<TSqlToken> TokenizeSql(std::string_view s) {
  std::vector<TSqlToken> tokens;
  tokens.reserve(s.size() / 3 + 8);
  std::size_t i = 0;
  const std::size_t n = s.size();
  auto add = [&](TSqlTokenKind kind, std::size_t start, std::size_t end) {
    tokens.push_back({s.data() + start, static_cast<std::uint32_t>(end - start), kind, TSqlKeyword::kwNone});
  };
  while (i < n) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t start = i;
    if (c <= ' ') {
      ++i;
    } else if (c == '-' && i + 1 < n && s[i + 1] == '-') {
      const auto eol = s.find('\n', i);
      i = eol == std::string_view::npos ? n : eol + 1;
    } else if (c == '/' && i + 1 < n && s[i + 1] == '*') {
      const auto close = s.find("*/", i + 2);
      i = close == std::string_view::npos ? n : close + 2;
    } else if (c == '\'') {
      i = SkipQuoted(s, i, '\'');
      add(TSqlTokenKind::String, start, i);
    } else if (c == '"' || c == '`') {
      i = SkipQuoted(s, i, static_cast<char>(c));
      add(TSqlTokenKind::QuotedName, start, i);
    } else if (c == '[') {
      i = SkipQuoted(s, i, ']');
      add(TSqlTokenKind::QuotedName, start, i);
    } else if (c == '$' && i + 1 < n && IsDigit(s[i + 1])) {
      ++i;  // positional parameter $1
      while (i < n && IsDigit(s[i])) ++i;
      add(TSqlTokenKind::Other, start, i);
    } else if (c == '$') {
      // A dollar-quoted string $tag$ ... $tag$, or a lone "$".
      std::size_t j = i + 1;
      while (j < n && IsWordChar(s[j]) && s[j] != '$') ++j;
      if (j < n && s[j] == '$') {
        const auto tag = s.substr(i, j - i + 1);
        const auto close = s.find(tag, j + 1);
        i = close == std::string_view::npos ? n : close + tag.size();
        add(TSqlTokenKind::String, start, i);
      } else {
        ++i;
        add(TSqlTokenKind::Other, start, i);
      }
    } else if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(s[i + 1]))) {
      while (i < n && (IsWordChar(s[i]) || s[i] == '.' ||
                       ((s[i] == '+' || s[i] == '-') && (s[i - 1] == 'e' || s[i - 1] == 'E'))))
        ++i;
      add(TSqlTokenKind::Number, start, i);
    } else if (IsWordStart(c)) {
      while (i < n && IsWordChar(s[i])) ++i;
      if (i - start == 1 && (c == 'E' || c == 'e') && i < n && s[i] == '\'') {
        i = SkipQuoted(s, i, '\'', true);  // E'...' with backslash escapes
        add(TSqlTokenKind::String, start, i);
      } else {
        add(TSqlTokenKind::Word, start, i);
        tokens.back().Keyword = ClassifyWord(tokens.back().Text());
      }
    } else if (c == '(' || c == ')' || c == ',' || c == '.' || c == '*' || c == ';') {
      ++i;
      add(TSqlTokenKind::Symbol, start, i);
    } else {
      ++i;
      add(TSqlTokenKind::Other, start, i);
    }
  }
  return tokens;
}

std::string TokenValue(const TSqlToken& token) {
  const auto text = token.Text();
  if (token.Kind == TSqlTokenKind::Word || text.size() < 2) return std::string(text);
  char open = text.front();
  std::size_t from = 1;
  if (token.Kind == TSqlTokenKind::String && (open == 'E' || open == 'e')) {
    open = '\'';
    from = 2;
  }
  if (token.Kind == TSqlTokenKind::String && open == '$') {
    const auto tagEnd = text.find('$', 1);
    const auto body = text.substr(tagEnd + 1);
    const auto tagLen = tagEnd + 1;
    return std::string(body.size() >= tagLen ? body.substr(0, body.size() - tagLen) : body);
  }
  const char close = open == '[' ? ']' : open;
  std::string value;
  value.reserve(text.size());
  std::size_t end = text.size();
  if (end > from && text[end - 1] == close) --end;
  for (std::size_t i = from; i < end; ++i) {
    value += text[i];
    if (text[i] == close && close != ']' && i + 1 < end && text[i + 1] == close) ++i;
  }
  return value;
}

std::string TokenNameAsWritten(const TSqlToken& token) {
  if (token.Kind != TSqlTokenKind::QuotedName || token.Text().front() == '"') return std::string(token.Text());
  std::string written = "\"";
  for (char c : TokenValue(token)) {
    if (c == '"') written += '"';
    written += c;
  }
  written += '"';
  return written;
}

}  // namespace korv::detail
