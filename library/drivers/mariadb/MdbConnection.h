// A live connection of the MariaDB driver: the catalogue questions of the driver interface,
// answered from information_schema with every name bound, and the connection's transaction.
#pragma once

#include "MdbHandles.h"

#include "korv/drivers/Driver.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korv::drivers::mariadb {

class TMdbStatement;

class TMdbConnection final : public Connection {
public:
  TMdbConnection(TMYSQLPtr Conn, std::string Database, std::function<void(const std::string&)> OnTrace);
  ~TMdbConnection() override;

  std::vector<std::string> TableNames(const std::string& pattern, bool systemTables) override;
  std::vector<std::string> ColumnNames(const std::string& table) override;
  std::vector<std::string> ProcedureNames() override;
  std::vector<IndexColumn> IndexInfo(const std::string& table) override;
  std::vector<FieldOrigin> DescribeStatement(const std::string& sql) override;
  std::vector<ProcParam> DescribeProcedure(const std::string& name) override;
  void Execute(const std::string& sql) override;

  std::unique_ptr<Statement> Prepare(const std::string& sql) override;
  StatementCheck CheckStatement(const std::string& sql) override;
  // The server takes only "?"; the number stays in the text until the statement is prepared,
  // where it says which value goes in that place (a name used twice binds twice).
  std::string Placeholder(int Number) const override { return "?" + std::to_string(Number); }
  void StartTransaction() override;
  void Commit() override;
  void Rollback() override;
  bool InTransaction() const override;

  bool SupportsObjOwner() const override { return true; }
  bool ProcedureDescriptionsAvailable() const override { return true; }

  // For the statements and cursors of this connection.
  MYSQL* Handle() const { return FConn.get(); }
  // The database the connection was opened on: origins in it are named without it.
  const std::string& Database() const { return FDatabase; }
  [[noreturn]] void RaiseError() const;

  // Rows of a catalogue query, every value as text (NULL as nullopt). sql is one of the constants
  // of MdbCatalogSql.h: it stays prepared, found again by its address.
  using TRows = std::vector<std::vector<std::optional<std::string>>>;
  TRows Query(const char* sql, const std::vector<std::optional<std::string>>& params);

private:
  // Database (nullopt: the current one) and object name of a name as a user writes it
  // (db.table, `a.b`.`c`); nothing for more parts than that.
  static std::optional<std::vector<std::optional<std::string>>> NameParams(const std::string& name);
  std::vector<std::string> FirstColumn(const char* sql, const std::vector<std::optional<std::string>>& params);
  void Trace(const std::string& sql) const;
  void RunSimple(const char* sql);

  TMYSQLPtr FConn;
  std::string FDatabase;
  std::function<void(const std::string&)> FOnTrace;
  // The catalogue queries, each prepared once for the connection's life (declared last: closed
  // before the connection they belong to).
  std::map<const char*, std::unique_ptr<TMdbStatement>> FCatalogue;
};

}  // namespace korv::drivers::mariadb
