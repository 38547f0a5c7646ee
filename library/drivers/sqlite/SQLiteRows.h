// A statement of the SQLite driver prepared for running, and the cursor of one run of it: rows
// come one sqlite3_step at a time, never gathered.
#pragma once

#include "SQLiteStatement.h"

#include "korv/drivers/Driver.h"

#include <cstdint>

namespace korv::drivers::sqlite {

class TSQLiteDataStatement final : public Statement {
public:
  // Stmt is one prepared statement of Db.
  TSQLiteDataStatement(sqlite3* Db, TStatement Stmt);

  const std::string& SQL() const override { return FSQL; }
  const std::vector<FieldDesc>& Fields() const override { return FFields; }
  std::unique_ptr<Cursor> Open(const std::vector<ParamValue>& Params) override;
  std::int64_t Execute(const std::vector<ParamValue>& Params) override;

private:
  friend class TSQLiteCursor;
  void Bind(const std::vector<ParamValue>& Params);
  bool Step();  // true while there is a row; raises on an error

  sqlite3* FDb;
  TStatement FStmt;
  std::string FSQL;
  std::vector<FieldDesc> FFields;
  std::uint64_t FRun = 0;  // the run now going; a cursor of an older one leaves the statement alone
};

}  // namespace korv::drivers::sqlite
