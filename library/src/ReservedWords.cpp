// Words that cannot stand bare as a table or column name in SQL:2016, SQLite or PostgreSQL.
// Words the standard reserves only as names of built-in functions (ABS, COUNT, MAX, UPPER ...) or
// datetime fields (YEAR ... SECOND) are left out: both servers take them as plain names, and
// quoting them would make PostgreSQL compare them case-sensitively.
#include "korv/KVCommon.h"

#include "AsciiText.h"

#include <array>
#include <cstdint>
#include <iterator>

namespace korv {

namespace {

// clang-format off
constexpr std::string_view kReservedWords[] = {
    // SQL:2016
    "ALL", "ALLOCATE", "ALTER", "AND", "ANY", "ARE", "ARRAY", "AS", "ASENSITIVE", "ASYMMETRIC",
    "AT", "ATOMIC", "AUTHORIZATION", "BEGIN", "BETWEEN", "BIGINT", "BINARY", "BLOB", "BOOLEAN",
    "BOTH", "BY", "CALL", "CALLED", "CASCADED", "CASE", "CAST", "CHAR", "CHARACTER", "CHECK",
    "CLOB", "CLOSE", "COLLATE", "COLUMN", "COMMIT", "CONDITION", "CONNECT", "CONSTRAINT",
    "CONTAINS", "CONVERT", "CORRESPONDING", "CREATE", "CROSS", "CUBE", "CURRENT",
    "CURRENT_CATALOG", "CURRENT_DATE", "CURRENT_DEFAULT_TRANSFORM_GROUP", "CURRENT_PATH",
    "CURRENT_ROLE", "CURRENT_ROW", "CURRENT_SCHEMA", "CURRENT_TIME", "CURRENT_TIMESTAMP",
    "CURRENT_TRANSFORM_GROUP_FOR_TYPE", "CURRENT_USER", "CURSOR", "CYCLE", "DEALLOCATE", "DEC",
    "DECIMAL", "DECLARE", "DEFAULT", "DELETE", "DEREF", "DESCRIBE", "DETERMINISTIC",
    "DISCONNECT", "DISTINCT", "DOUBLE", "DROP", "DYNAMIC", "EACH", "ELEMENT", "ELSE", "END",
    "ESCAPE", "EXCEPT", "EXEC", "EXECUTE", "EXISTS", "EXTERNAL", "FALSE", "FETCH", "FILTER",
    "FLOAT", "FOR", "FOREIGN", "FREE", "FROM", "FULL", "FUNCTION", "GET", "GLOBAL", "GRANT",
    "GROUP", "GROUPING", "GROUPS", "HAVING", "HOLD", "IDENTITY", "IN", "INDICATOR", "INNER",
    "INOUT", "INSENSITIVE", "INSERT", "INT", "INTEGER", "INTERSECT", "INTERVAL", "INTO", "IS",
    "JOIN", "LANGUAGE", "LARGE", "LATERAL", "LEADING", "LEFT", "LIKE", "LOCAL", "LOCALTIME",
    "LOCALTIMESTAMP", "MATCH", "MERGE", "METHOD", "MODIFIES", "MODULE", "MULTISET", "NATIONAL",
    "NATURAL", "NCHAR", "NCLOB", "NEW", "NO", "NONE", "NOT", "NULL", "NUMERIC", "OF", "OFFSET",
    "OLD", "ON", "ONLY", "OPEN", "OR", "ORDER", "OUT", "OUTER", "OVER", "OVERLAPS", "PARAMETER",
    "PARTITION", "PRECISION", "PREPARE", "PRIMARY", "PROCEDURE", "RANGE", "READS", "REAL",
    "RECURSIVE", "REF", "REFERENCES", "REFERENCING", "RELEASE", "RESULT", "RETURN", "RETURNS",
    "REVOKE", "RIGHT", "ROLLBACK", "ROLLUP", "ROW", "ROWS", "SAVEPOINT", "SCOPE", "SCROLL",
    "SEARCH", "SELECT", "SENSITIVE", "SESSION_USER", "SET", "SIMILAR", "SMALLINT", "SOME",
    "SPECIFIC", "SPECIFICTYPE", "SQL", "SQLEXCEPTION", "SQLSTATE", "SQLWARNING", "START",
    "STATIC", "SYMMETRIC", "SYSTEM", "SYSTEM_USER", "TABLE", "TABLESAMPLE", "THEN", "TIME",
    "TIMESTAMP", "TO", "TRAILING", "TRANSLATION", "TREAT", "TRIGGER", "TRUE", "UESCAPE", "UNION",
    "UNIQUE", "UNKNOWN", "UNNEST", "UPDATE", "USER", "USING", "VALUE", "VALUES", "VARCHAR",
    "VARYING", "WHEN", "WHENEVER", "WHERE", "WINDOW", "WITH", "WITHIN", "WITHOUT",
    // SQLite keywords its parser does not accept as names
    "ADD", "AUTOINCREMENT", "DEFERRABLE", "INDEX", "INDEXED", "ISNULL", "NOTHING", "NOTNULL",
    "RETURNING", "TRANSACTION",
    // PostgreSQL reserved words, also those that may name a function or type
    "ANALYSE", "ANALYZE", "ASC", "COLLATION", "CONCURRENTLY", "DESC", "DO", "FREEZE", "ILIKE",
    "INITIALLY", "LIMIT", "PLACING", "VARIADIC", "VERBOSE",
};
// clang-format on

constexpr std::size_t kLongestReservedWord = 32;

// FNV-1a over the word folded to upper case.
constexpr std::uint32_t UpperHash(std::string_view word) {
  std::uint32_t h = 2166136261u;
  for (char c : word) {
    h ^= static_cast<unsigned char>(detail::UpperAscii(c));
    h *= 16777619u;
  }
  return h;
}

// For each first letter (in upper case), the lengths of the words that start with it, one bit
// per length; the same for the last letter: most names are told apart by these alone, before
// any hashing (a column numbered at its end, COL_12, by its last character).
constexpr auto LengthsByLetter(bool Last) {
  std::array<std::uint64_t, 256> lengths{};
  for (std::string_view w : kReservedWords) {
    const auto letter = static_cast<unsigned char>(detail::UpperAscii(Last ? w.back() : w.front()));
    lengths[letter] |= std::uint64_t{1} << w.size();
  }
  return lengths;
}
constexpr auto kLengthsByFirstLetter = LengthsByLetter(false);
constexpr auto kLengthsByLastLetter = LengthsByLetter(true);
static_assert(kLongestReservedWord < 64);

// The words in an open-addressing table a few times larger than the list: a lookup hashes the
// word once and compares the one or two entries its probe meets.
class TReservedWordTable {
public:
  TReservedWordTable() {
    for (std::string_view w : kReservedWords) {
      std::size_t i = UpperHash(w) & kMask;
      while (!FSlots[i].empty() && FSlots[i] != w) i = (i + 1) & kMask;
      FSlots[i] = w;
    }
  }

  bool Contains(std::string_view word) const {
    for (std::size_t i = UpperHash(word) & kMask; !FSlots[i].empty(); i = (i + 1) & kMask)
      if (detail::SameTextAscii(FSlots[i], word)) return true;
    return false;
  }

private:
  static constexpr std::size_t kSize = 1024;  // a power of two, over three times the words
  static constexpr std::size_t kMask = kSize - 1;
  static_assert(std::size(kReservedWords) * 3 < kSize);
  std::array<std::string_view, kSize> FSlots{};
};

}  // namespace

bool IsReservedWord(std::string_view word) {
  if (word.empty() || word.size() > kLongestReservedWord) return false;
  const auto mayBe = [&](const std::array<std::uint64_t, 256>& lengths, char letter) {
    return (lengths[static_cast<unsigned char>(detail::UpperAscii(letter))] >> word.size() & 1) != 0;
  };
  if (!mayBe(kLengthsByFirstLetter, word.front()) || !mayBe(kLengthsByLastLetter, word.back())) return false;
  static const TReservedWordTable table;
  return table.Contains(word);
}

}  // namespace korv
