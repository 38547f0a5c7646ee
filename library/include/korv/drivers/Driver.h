// The driver interface: what the library asks of a database server. One implementation per
// server type lives in library/drivers/<name>/. Drivers speak plain C++ types; the library turns
// their answers into string lists and result sets. Every failure is an rtl::EDatabaseError
// carrying the server's own message.
#pragma once

#include <functional>
#include <memory>
#include <string>
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
  std::string TableName;   // as the catalogue spells it, owner-qualified where the server has owners
  std::string ColumnName;
};

// A parameter of a stored procedure or function, as the server describes it.
enum class ParamDirection { Input, Output, InputOutput, Result };
struct ProcParam {
  std::string Name;
  std::string TypeName;    // the server's type name
  ParamDirection Direction = ParamDirection::Input;
};

struct ConnectionSpec {
  std::string RemoteDatabase;                               // SQLite: file; PostgreSQL: host[:port]/db
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

  virtual bool SupportsObjOwner() const = 0;
  virtual bool ProcedureDescriptionsAvailable() const = 0;
};

class Driver {
public:
  virtual ~Driver() = default;
  virtual std::string Name() const = 0;  // "SQLite", "PostgreSQL"
  virtual std::unique_ptr<Connection> Connect(const ConnectionSpec& spec) = 0;
  // What the server type can do, known without a connection.
  virtual bool SupportsObjOwner() const = 0;
  virtual bool ProcedureDescriptionsAvailable() const = 0;
};

} // namespace korv::drivers
