// Identifier utilities and the offline reading of a SELECT statement. Pure functions: no
// connection, no state.
#pragma once

#include "korv/ServerTypes.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korv {

// The identifier text to write into a statement. With quoted, every part of an owner-qualified
// name (owner.table) is put in double quotes, an inner double quote doubled; a part that is
// already in double quotes stays as it is, so dots inside it stay inside. Without quoted the
// name is returned unchanged, except that a part that cannot stand bare (a blank, a character
// other than ASCII letters, digits and "_", a leading digit, a reserved word) is quoted anyway:
// left bare it would break the statement.
std::string QuoteIdentifier(const std::string& name, bool quoted);

// The same in MariaDB's spelling: parts split at dots outside backticks, each put in backticks
// (an inner backtick doubled) with quoted, or without it only where MariaDB would not read it
// bare as this name (a character other than ASCII letters, digits, "_" and "$"; a number such as
// 123 or 1e5; a reserved word). A part already in backticks stays as it is.
std::string QuoteMariaDBIdentifier(const std::string& name, bool quoted);

// One name (a dot in it is part of it) in MariaDB's spelling: in backticks with quoted, else only
// where the server would not read it bare, as above.
std::string QuoteMariaDBName(std::string_view name, bool quoted);

// QuoteIdentifier in the spelling of the server type, for a name spelled as the catalogue keeps
// it. Without quoted, a part is left bare only where the server reads it back as this very name:
// PostgreSQL folds bare letters to lower case and Firebird to upper case, so there a part with a
// letter of the other case is quoted; both take "$" after the first character. SQLite finds a
// bare name whatever its case and keeps QuoteIdentifier's rule; MariaDB is
// QuoteMariaDBIdentifier.
std::string QuoteIdentifierFor(TKVServerType serverType, const std::string& name, bool quoted);

// A parameter marker's name (:name) to write into a statement. The library reads its markers
// itself and never folds their letters, so QuoteIdentifier's rule holds on every server type, in
// the server type's quote characters (backticks on MariaDB).
std::string QuoteParamNameFor(TKVServerType serverType, const std::string& name, bool quoted);

// A name written in SQL (a table as a statement gives it) spelled as the server reads it: the
// letters outside double quotes folded as the server folds them (PostgreSQL to lower case,
// Firebird to upper case), quoted parts kept with their quotes. Other server types: unchanged.
std::string ServerSpelling(TKVServerType serverType, std::string name);

// With noOwner, the name without its owner prefix (everything up to the last dot that is not
// inside double quotes); otherwise the name unchanged.
std::string GetValidObjName(const std::string& name, bool noOwner);

// The parts of a possibly owner-qualified name, split at dots outside quotes, each without its
// quotes ("a""b" gives a"b; [x] and `x` are taken as quoted too). "main.CUSTOMER" gives
// {main, CUSTOMER}; "\"my.table\"" gives {my.table}.
std::vector<std::string> SplitObjName(std::string_view name);

// True when word is one of the SQL reserved words (SQL:2016, SQLite, PostgreSQL) that cannot
// stand bare as a name; letter case is ignored.
bool IsReservedWord(std::string_view word);

// ---- What a SELECT statement reads, told from its text alone ----

struct TSQLTableRef {
  std::string Name;       // the alias when the statement gives one, else TableName
  std::string TableName;  // as written: owner part kept, quoted parts kept quoted ([x], `x` as "x")
};

struct TSQLFieldRef {
  std::string FieldName;   // the name the data set delivers: the alias, else the column name
  std::string TableName;   // TableName of the table it comes from; empty when that cannot be told
  std::string ColumnName;  // the column, without quotes

  // "TableName.ColumnName", or empty when the table is not known.
  std::string Origin() const { return TableName.empty() ? std::string() : TableName + "." + ColumnName; }
};

// A "*" or "alias.*" of the select list, left for the caller to expand from the catalogue.
struct TSQLStarRef {
  std::size_t Position = 0;         // index into Fields where its columns belong
  std::string Qualifier;            // as written; empty for a bare "*"
  std::vector<std::size_t> Tables;  // indices into Tables, in FROM order (empty: no known table)
};

struct TSQLSelectInfo {
  std::vector<TSQLTableRef> Tables;  // the tables of the FROM clause, in order
  std::vector<TSQLFieldRef> Fields;  // select-list items that come straight from a column
  std::vector<TSQLStarRef> Stars;
};

// Reads the first SELECT of sql (after an optional WITH clause): the tables of its FROM clause,
// joins included, and where each plain column of its select list comes from. Expressions,
// subqueries and common table expressions yield no field and no table. A bare column is
// attributed to the one table when the FROM clause names exactly one source. Anything that is
// not a SELECT gives an empty result. Runs in time linear in the text.
TSQLSelectInfo ParseSelectInfo(std::string_view sql);

}  // namespace korv
