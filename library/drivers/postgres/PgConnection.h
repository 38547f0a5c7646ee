// A live connection of the PostgreSQL driver: the catalogue questions of the driver interface,
// answered with pg_catalog queries whose every name is a bound parameter.
#pragma once

#include "PgHandles.h"
#include "PgNames.h"
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

  bool SupportsObjOwner() const override { return true; }
  bool ProcedureDescriptionsAvailable() const override { return true; }

private:
  // Database, schema and object name as the catalogue stores them; a missing part is NULL.
  using TNameParams = std::array<std::optional<std::string>, 3>;
  static std::optional<TNameParams> ObjectNameParams(
      const std::string& name, TUnquotedCase unquoted = TUnquotedCase::Fold);
  // The six parameters of a relation lookup: the name as the server reads it, then as written.
  static std::optional<std::vector<std::optional<std::string>>> RelationParams(
      const std::string& name);

  // Sends one statement with text parameters (nullopt = NULL); raises with the server's message.
  TPGresultPtr Query(const char* sql, const std::vector<std::optional<std::string>>& params);
  std::vector<std::string> FirstColumn(const char* sql,
                                       const std::vector<std::optional<std::string>>& params);
  void Trace(const std::string& sql) const;
  [[noreturn]] void RaiseError(const PGresult* result) const;

  TPGconnPtr FConn;
  std::function<void(const std::string&)> FOnTrace;
};

} // namespace korv::drivers::postgres
