// A statement of the MariaDB driver prepared on the server, and the cursor of one run of it.
// A run's rows are read to the client at once (mysql_stmt_store_result), so the connection is
// free for other statements while a data set is open: an update can run between its rows.
#pragma once

#include "MdbConnection.h"
#include "korv/drivers/ServerText.h"

namespace korv::drivers::mariadb {

class TMdbCursor;

// The text the server is sent, "?N" markers made "?" (outside strings, quoted names and comments).
using TMdbServerText = TServerText;
TMdbServerText ServerText(const std::string& sql);

class TMdbStatement final : public Statement {
public:
  // Prepares sql; raises with the server's message.
  TMdbStatement(TMdbConnection& Connection, std::string sql);
  ~TMdbStatement() override;

  const std::string& SQL() const override { return FSQL; }
  const std::vector<FieldDesc>& Fields() const override { return FFields; }
  bool FieldsTellOnRun() const override { return FFields.empty() && FCall; }
  std::unique_ptr<Cursor> Open(const std::vector<ParamValue>& Params) override;
  std::int64_t Execute(const std::vector<ParamValue>& Params) override;

  // The origin of each result column as the metadata tells it (alias, table, column).
  std::vector<FieldOrigin> Origins() const;

  // For the cursor.
  MYSQL_STMT* Handle() const { return FStmt.get(); }
  // The described result columns (count: Fields().size()).
  const MYSQL_FIELD* Columns() const { return FColumns; }
  void CursorGone(TMdbCursor* Cursor) {
    if (FActive == Cursor) FActive = nullptr;
  }
  [[noreturn]] void RaiseError() const;
  // After a cursor's rows: the results a CALL sends after them are read and dropped.
  void DropFurtherResults() noexcept;

private:
  // The result columns from the statement's metadata (after preparing, or after a run).
  void Describe(const TMdbConnection& Connection);
  void Run(const std::vector<ParamValue>& Params);
  // Reads and drops what a run left: further results (a CALL sends its own) and their rows.
  void DrainResults();

  TMdbConnection& FConnection;
  std::string FSQL;
  TMdbServerText FServer;
  TMYSQLStmtPtr FStmt;
  TMYSQLResPtr FMetadata;  // the result metadata, owned: FColumns points into it
  const MYSQL_FIELD* FColumns = nullptr;
  std::vector<FieldDesc> FFields;
  TMdbCursor* FActive = nullptr;
  bool FCall = false;  // a CALL: its results are known when it runs
};

}  // namespace korv::drivers::mariadb
