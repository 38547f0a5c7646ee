// A live connection of the PostgreSQL driver: the catalogue questions of the driver interface,
// answered with pg_catalog queries whose every name is a bound parameter.
#pragma once

#include "PgHandles.h"
#include "korv/postgres/PgNames.h"
#include "korv/drivers/Driver.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korv::drivers::postgres {

class TPGConnection final : public Connection {
public:
  TPGConnection(TPGconnPtr conn, std::function<void(const std::string&)> onTrace);

  std::vector<std::string> TableNames(const std::string& pattern, bool systemTables) override;
  std::vector<std::string> ColumnNames(const std::string& table) override;
  std::vector<std::string> ProcedureNames() override;
  std::vector<IndexColumn> IndexInfo(const std::string& table) override;
  std::vector<FieldOrigin> DescribeStatement(const std::string& sql) override;
  std::vector<ProcParam> DescribeProcedure(const std::string& name) override;
  void Execute(const std::string& sql) override;

  std::unique_ptr<Statement> Prepare(const std::string& sql) override;
  StatementCheck CheckStatement(const std::string& sql) override;
  std::string Placeholder(int Number) const override { return "$" + std::to_string(Number); }
  void StartTransaction() override;
  void Commit() override;
  void Rollback() override;
  bool InTransaction() const override;

  // For the statements and cursors of this connection.
  PGconn* Handle() const { return FConn.get(); }
  // A name for a server-side object of this connection, unique while it lives ("korv_s1").
  std::string NewName(const char* Prefix);
  // Runs SQL with the parameters given as libpq takes them; raises with the server's message.
  TPGresultPtr Run(const std::string& sql, const std::vector<ParamValue>& Params);
  // Names, table and column and NOT NULL of the described statement's result columns.
  std::vector<FieldDesc> DescribeFields(const PGresult* Described);

  // Where a result column of a described statement comes from.
  struct TColumnOrigin {
    std::string TableName;
    std::string ColumnName;
    bool Required = false;  // NOT NULL
  };
  // The origin of each result column, nullopt for an expression, asked in one catalogue query.
  // System columns (ctid, xmin: numbered below 0) have an origin only with SystemColumns.
  std::vector<std::optional<TColumnOrigin>> ColumnOrigins(const PGresult* Described, bool SystemColumns);
  [[noreturn]] void RaiseError(const PGresult* result) const;

  bool SupportsObjOwner() const override { return true; }
  bool ProcedureDescriptionsAvailable() const override { return true; }

private:
  // Database, schema and object name as the catalogue stores them; a missing part is NULL.
  using TNameParams = std::array<std::optional<std::string>, 3>;
  static std::optional<TNameParams> ObjectNameParams(const std::string& name,
                                                     TUnquotedCase unquoted = TUnquotedCase::Fold);
  // The six parameters of a relation lookup: the name as the server reads it, then as written.
  static std::optional<std::vector<std::optional<std::string>>> RelationParams(const std::string& name);

  // Sends one statement with text parameters (nullopt = NULL); raises with the server's message.
  TPGresultPtr Query(const char* sql, const std::vector<std::optional<std::string>>& params);
  std::vector<std::string> FirstColumn(const char* sql, const std::vector<std::optional<std::string>>& params);
  void Trace(const std::string& sql) const;
  void RunSimple(const char* sql);

  TPGconnPtr FConn;
  std::function<void(const std::string&)> FOnTrace;
  unsigned long FNames = 0;
};

}  // namespace korv::drivers::postgres
