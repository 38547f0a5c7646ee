// A connection to one SQLite database file, answering the library's catalogue questions.
#pragma once

#include "SQLiteStatement.h"

#include "korv/drivers/Driver.h"

#include <optional>

namespace korv::drivers::sqlite {

class TSQLiteConnection final : public Connection {
public:
  // Opens an existing database file and reads its schema; raises rtl::EDatabaseError naming the
  // file when it is missing, is not a database or is locked. Parameters (names in any letter
  // case): ReadOnly=True opens the file read-only; BusyTimeout=ms waits that long for a lock
  // instead of failing at once.
  explicit TSQLiteConnection(const ConnectionSpec& spec);

  std::vector<std::string> TableNames(const std::string& pattern, bool systemTables) override;
  std::vector<std::string> ColumnNames(const std::string& table) override;
  std::vector<std::string> ProcedureNames() override { return {}; }
  std::vector<IndexColumn> IndexInfo(const std::string& table) override;
  std::vector<FieldOrigin> DescribeStatement(const std::string& sql) override;
  std::vector<ProcParam> DescribeProcedure(const std::string& name) override;
  void Execute(const std::string& sql) override;

  std::unique_ptr<Statement> Prepare(const std::string& sql) override;
  StatementCheck CheckStatement(const std::string& sql) override;
  std::string Placeholder(int Number) const override { return "?" + std::to_string(Number); }
  void StartTransaction() override;
  void Commit() override;
  void Rollback() override;
  bool InTransaction() const override;

  bool SupportsObjOwner() const override { return true; }
  bool ProcedureDescriptionsAvailable() const override { return false; }

  const std::string& FileName() const { return FFileName; }

private:
  // A table as the catalogue pragmas take it: the schema (none: SQLite's search order) and name.
  struct TObjName {
    std::optional<std::string> Schema;
    std::string Table;
  };

  TDatabaseHandle FDb;  // declared first: closed after every statement below is finalized
  std::string FFileName;
  std::function<void(const std::string&)> FOnTrace;
  TStatement FTablesStmt, FSchemasStmt, FIsSchemaStmt, FExistsStmt, FColumnsStmt, FIndexStmt;

  sqlite3_stmt* Prepared(TStatement& slot, std::string_view sql);
  TStatement PrepareText(std::string_view sql, const char** tail = nullptr);
  void RunSimple(const char* sql);
  void Trace(sqlite3_stmt* stmt) const;
  TObjName ResolveName(const std::string& text);
  void AppendTableNames(sqlite3_stmt* stmt, const std::string& pattern, bool systemTables, const std::string& prefix,
                        std::vector<std::string>& names);
};

}  // namespace korv::drivers::sqlite
