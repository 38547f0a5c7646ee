// Identifier quoting in MariaDB's spelling: backticks, and the words MariaDB reserves.
#include "korv/KVCommon.h"

#include "AsciiText.h"

#include <algorithm>
#include <iterator>

namespace korv {

namespace {

// The reserved words of MariaDB 10.11, sorted: each needs backticks to be a name.
// clang-format off
constexpr std::string_view kMariaDBReserved[] = {
    "ACCESSIBLE", "ADD", "ALL", "ALTER", "ANALYZE", "AND", "AS", "ASC", "ASENSITIVE", "BEFORE",
    "BETWEEN", "BIGINT", "BINARY", "BLOB", "BOTH", "BY", "CALL", "CASCADE", "CASE", "CHANGE",
    "CHAR", "CHARACTER", "CHECK", "COLLATE", "COLUMN", "CONDITION", "CONSTRAINT", "CONTINUE",
    "CONVERT", "CREATE", "CROSS", "CURRENT_DATE", "CURRENT_ROLE", "CURRENT_TIME",
    "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR", "DATABASE", "DATABASES", "DAY_HOUR",
    "DAY_MICROSECOND", "DAY_MINUTE", "DAY_SECOND", "DEC", "DECIMAL", "DECLARE", "DEFAULT",
    "DELAYED", "DELETE", "DELETE_DOMAIN_ID", "DESC", "DESCRIBE", "DETERMINISTIC", "DISTINCT",
    "DISTINCTROW", "DIV", "DOUBLE", "DO_DOMAIN_IDS", "DROP", "DUAL", "EACH", "ELSE", "ELSEIF",
    "ENCLOSED", "ESCAPED", "EXCEPT", "EXISTS", "EXIT", "EXPLAIN", "FALSE", "FETCH", "FLOAT",
    "FLOAT4", "FLOAT8", "FOR", "FORCE", "FOREIGN", "FROM", "FULLTEXT", "GENERAL", "GRANT", "GROUP",
    "HAVING", "HIGH_PRIORITY", "HOUR_MICROSECOND", "HOUR_MINUTE", "HOUR_SECOND", "IF", "IGNORE",
    "IGNORE_DOMAIN_IDS", "IGNORE_SERVER_IDS", "IN", "INDEX", "INFILE", "INNER", "INOUT",
    "INSENSITIVE", "INSERT", "INT", "INT1", "INT2", "INT3", "INT4", "INT8", "INTEGER", "INTERSECT",
    "INTERVAL", "INTO", "IS", "ITERATE", "JOIN", "KEY", "KEYS", "KILL", "LEADING", "LEAVE", "LEFT",
    "LIKE", "LIMIT", "LINEAR", "LINES", "LOAD", "LOCALTIME", "LOCALTIMESTAMP", "LOCK", "LONG",
    "LONGBLOB", "LONGTEXT", "LOOP", "LOW_PRIORITY", "MASTER_HEARTBEAT_PERIOD",
    "MASTER_SSL_VERIFY_SERVER_CERT", "MATCH", "MAXVALUE", "MEDIUMBLOB", "MEDIUMINT", "MEDIUMTEXT",
    "MIDDLEINT", "MINUTE_MICROSECOND", "MINUTE_SECOND", "MOD", "MODIFIES", "NATURAL", "NOT",
    "NO_WRITE_TO_BINLOG", "NULL", "NUMERIC", "OFFSET", "ON", "OPTIMIZE", "OPTION", "OPTIONALLY",
    "OR", "ORDER", "OUT", "OUTER", "OUTFILE", "OVER", "PAGE_CHECKSUM", "PARSE_VCOL_EXPR",
    "PARTITION", "POSITION", "PRECISION", "PRIMARY", "PROCEDURE", "PURGE", "RANGE", "READ", "READS",
    "READ_WRITE", "REAL", "RECURSIVE", "REFERENCES", "REF_SYSTEM_ID", "REGEXP", "RELEASE", "RENAME",
    "REPEAT", "REPLACE", "REQUIRE", "RESIGNAL", "RESTRICT", "RETURN", "RETURNING", "REVOKE",
    "RIGHT", "RLIKE", "ROWS", "ROW_NUMBER", "SCHEMA", "SCHEMAS", "SECOND_MICROSECOND", "SELECT",
    "SENSITIVE", "SEPARATOR", "SET", "SHOW", "SIGNAL", "SLOW", "SMALLINT", "SPATIAL", "SPECIFIC",
    "SQL", "SQLEXCEPTION", "SQLSTATE", "SQLWARNING", "SQL_BIG_RESULT", "SQL_CALC_FOUND_ROWS",
    "SQL_SMALL_RESULT", "SSL", "STARTING", "STATS_AUTO_RECALC", "STATS_PERSISTENT",
    "STATS_SAMPLE_PAGES", "STRAIGHT_JOIN", "TABLE", "TERMINATED", "THEN", "TINYBLOB", "TINYINT",
    "TINYTEXT", "TO", "TRAILING", "TRIGGER", "TRUE", "UNDO", "UNION", "UNIQUE", "UNLOCK",
    "UNSIGNED", "UPDATE", "USAGE", "USE", "USING", "UTC_DATE", "UTC_TIME", "UTC_TIMESTAMP",
    "VALUES", "VARBINARY", "VARCHAR", "VARCHARACTER", "VARYING", "WHEN", "WHERE", "WHILE", "WINDOW",
    "WITH", "WRITE", "XOR", "YEAR_MONTH", "ZEROFILL"};
// clang-format on

bool LessIgnoringCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char x = detail::UpperAscii(a[i]), y = detail::UpperAscii(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

bool IsMariaDBReservedWord(std::string_view word) {
  return std::binary_search(std::begin(kMariaDBReserved), std::end(kMariaDBReserved), word, LessIgnoringCase);
}

// Whether MariaDB reads part unquoted as this one name: ASCII letters, digits, "_" and "$", not
// starting as a number does (all digits, digits with an exponent such as 1e5 or 1e5x, which the
// server reads as 1e5 and x, or 0x and 0b literals), not a reserved word (the standard's and
// PostgreSQL's included: quoting one of them too is harmless here).
bool CanStandBareInMariaDB(std::string_view part) {
  if (part.empty()) return false;
  std::size_t digits = 0;
  while (digits < part.size() && part[digits] >= '0' && part[digits] <= '9') ++digits;
  if (digits == part.size()) return false;
  if (digits > 0 && (part[digits] == 'e' || part[digits] == 'E')) return false;
  if (digits == 1 && part[0] == '0' && (part[1] == 'x' || part[1] == 'b')) return false;
  for (char c : part) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '$';
    if (!ok) return false;
  }
  return !IsReservedWord(part) && !IsMariaDBReservedWord(part);
}

void AppendBackquoted(std::string& out, std::string_view part) {
  out += '`';
  for (char c : part) {
    if (c == '`') out += '`';
    out += c;
  }
  out += '`';
}

// A part already in backticks, every inner backtick doubled: safe to write as it is.
bool IsBackquotedPart(std::string_view part) {
  if (part.size() < 2 || part.front() != '`' || part.back() != '`') return false;
  for (std::size_t i = 1; i + 1 < part.size(); ++i) {
    if (part[i] != '`') continue;
    if (i + 2 >= part.size() || part[i + 1] != '`') return false;
    ++i;
  }
  return true;
}

// The parts between dots outside backticks, as written; one part when a dot is stray.
std::vector<std::string_view> BackquotedParts(std::string_view name) {
  std::vector<std::string_view> parts;
  bool inQuotes = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '`')
      inQuotes = !inQuotes;
    else if (name[i] == '.' && !inQuotes) {
      parts.push_back(name.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(name.substr(start));
  for (auto part : parts)
    if (part.empty()) return {name};
  return parts;
}

}  // namespace

std::string QuoteMariaDBName(std::string_view name, bool quoted) {
  std::string result;
  if (!quoted && CanStandBareInMariaDB(name))
    result = name;
  else
    AppendBackquoted(result, name);
  return result;
}

std::string QuoteMariaDBIdentifier(const std::string& name, bool quoted) {
  const auto parts = BackquotedParts(name);
  std::string result;
  result.reserve(name.size() + 2 * parts.size() + 2);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) result += '.';
    const auto part = parts[i];
    if (IsBackquotedPart(part) || (!quoted && CanStandBareInMariaDB(part)))
      result += part;
    else
      AppendBackquoted(result, part);
  }
  return result;
}

}  // namespace korv
