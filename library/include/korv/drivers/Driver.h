// The driver interface: what the library asks of a database server. One implementation per
// server type lives in library/drivers/<name>/. Drivers speak plain C++ types (and the host's
// field types); the library turns their answers into string lists, result sets and data-set
// rows. Every failure is an rtl::EDatabaseError carrying the server's own message.
#pragma once

#include "rtl/DB.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korv::drivers {

// One row of index information: 4 marks a primary key, 2 a unique index; both may be set.
struct IndexColumn {
  std::string IndexName;
  std::string ColumnName;
  int IndexType = 0;
};

// Where a result column of a statement comes from. Table and column are empty for expressions.
struct FieldOrigin {
  std::string FieldName;
  std::string TableName;  // as the catalogue spells it, owner-qualified where the server has owners
  std::string ColumnName;
};

// A parameter of a stored procedure or function, as the server describes it.
enum class ParamDirection { Input, Output, InputOutput, Result };
struct ProcParam {
  std::string Name;
  std::string TypeName;  // the server's type name
  ParamDirection Direction = ParamDirection::Input;
};

// A result column of a statement: its name, its type as the host's field types say it, and
// where it comes from (empty for an expression).
struct FieldDesc {
  std::string Name;
  rtl::TFieldType DataType = rtl::TFieldType::ftUnknown;
  int Size = 0;           // characters of a sized string; bytes of fixed binary; scale of a decimal
  int Precision = 0;      // total digits of a decimal
  bool Required = false;  // the column it comes from is NOT NULL
  std::string TableName;
  std::string ColumnName;
};

// A value bound to a statement parameter. The text is the value as a user writes it (numbers
// with a point, booleans True/False, dates ISO 8601); DataType says how the driver sends it
// (ftUnknown: as text, for the server to read). nullopt is NULL.
struct ParamValue {
  std::optional<std::string> Value;
  rtl::TFieldType DataType = rtl::TFieldType::ftUnknown;
};

// One value of the current row of a cursor, as the driver holds it. Text stays valid until the
// cursor moves.
struct CellView {
  enum class Kind : unsigned char { Null, Integer, Float, Text, Blob };
  Kind Type = Kind::Null;
  std::int64_t Integer = 0;
  double Float = 0;
  std::string_view Text;  // Text and Blob
};

// The rows of a running statement, read forward one at a time. A new cursor stands before its
// first row. It must not outlive its statement.
class Cursor {
public:
  virtual ~Cursor() = default;
  virtual const std::vector<FieldDesc>& Fields() const = 0;
  // Moves to the next row; false when there is none, and from then on.
  virtual bool Next() = 0;
  // A value of the current row (after a Next that gave true).
  virtual CellView Cell(int Column) const = 0;
};

// A statement prepared on the server, its parameters numbered from 1 in the driver's own
// placeholders (?NNN for SQLite, $n for PostgreSQL, ?NNN for Firebird, whose driver sends "?"
// and binds each by its number). It must not outlive its connection. The library monitors these
// statements itself: drivers do not trace them. Opening a new cursor ends the one opened before
// on the same statement.
class Statement {
public:
  virtual ~Statement() = default;
  virtual const std::string& SQL() const = 0;
  // The result columns; empty for a statement that returns no rows.
  virtual const std::vector<FieldDesc>& Fields() const = 0;
  // True for a statement whose result columns only its run tells (a MariaDB CALL): Fields() is
  // empty until then, and its cursors say them.
  virtual bool FieldsTellOnRun() const { return false; }
  // Runs it with one value per parameter; the rows come through the cursor, fetched as it moves.
  virtual std::unique_ptr<Cursor> Open(const std::vector<ParamValue>& Params) = 0;
  // Runs it to its end; the number of rows it inserted, changed or deleted.
  virtual std::int64_t Execute(const std::vector<ParamValue>& Params) = 0;
};

// What preparing a statement without running it found: ok, or the server's message and the
// 1-based character position it points at (0 when the server names none).
struct StatementCheck {
  bool Ok = true;
  std::string Message;
  int Position = 0;
};

struct ConnectionSpec {
  std::string RemoteDatabase;                               // SQLite: file; PostgreSQL: host[:port]/db;
                                                            // Firebird: file, or host[/port]:path
  std::vector<std::pair<std::string, std::string>> Params;  // name=value connection parameters
  std::string BaseDir;                                      // folder a relative file name is taken from
  std::function<void(const std::string&)> OnTrace;          // each statement sent, for monitoring
};

class Connection {
public:
  virtual ~Connection() = default;

  // Tables and views whose names match the LIKE pattern (empty: all); system tables when asked.
  virtual std::vector<std::string> TableNames(const std::string& pattern, bool systemTables) = 0;
  // Columns in column order; an unknown table gives an empty list, not an error.
  virtual std::vector<std::string> ColumnNames(const std::string& table) = 0;
  virtual std::vector<std::string> ProcedureNames() = 0;
  // Index information in index then column order; an unknown table gives an empty list.
  virtual std::vector<IndexColumn> IndexInfo(const std::string& table) = 0;
  // Prepares (without running) a statement and tells where each result column comes from.
  virtual std::vector<FieldOrigin> DescribeStatement(const std::string& sql) = 0;
  // Parameters of a procedure; raises when the server has no procedure of that name.
  virtual std::vector<ProcParam> DescribeProcedure(const std::string& name) = 0;
  // Runs a statement that returns no rows.
  virtual void Execute(const std::string& sql) = 0;

  // Prepares one statement, written with the driver's own placeholders, for running.
  virtual std::unique_ptr<Statement> Prepare(const std::string& sql) = 0;
  // Prepares a statement without running it and frees it again; the server's verdict.
  virtual StatementCheck CheckStatement(const std::string& sql) = 0;
  // The placeholder of the Number-th parameter (from 1): "?1" or "$1".
  virtual std::string Placeholder(int Number) const = 0;

  // A transaction of the connection's own; statements run outside one commit each on its own.
  virtual void StartTransaction() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;
  virtual bool InTransaction() const = 0;

  virtual bool SupportsObjOwner() const = 0;
  virtual bool ProcedureDescriptionsAvailable() const = 0;
};

class Driver {
public:
  virtual ~Driver() = default;
  virtual std::string Name() const = 0;  // "SQLite", "PostgreSQL", "Firebird"
  virtual std::unique_ptr<Connection> Connect(const ConnectionSpec& spec) = 0;
  // What the server type can do, known without a connection.
  virtual bool SupportsObjOwner() const = 0;
  virtual bool ProcedureDescriptionsAvailable() const = 0;
};

}  // namespace korv::drivers
