// A statement of the Firebird driver prepared on the server, and the cursor of one run of it.
// Outside the user's transaction a cursor reads in a read-only transaction of its own, which
// ends with it, so the updates applied while a data set is open commit on their own; every
// other statement outside one commits on its own too. A cursor opened in the user's transaction
// reads on after that transaction is committed or rolled back (the engine would close it: the
// connection ends it retaining its context instead, and the cursor's end finishes it).
#pragma once

#include "FbConnection.h"
#include "korv/drivers/ServerText.h"

namespace korv::drivers::firebird {

class TFbCursor;

// The text the server is sent, "?N" markers made "?" (outside strings, quoted names and comments).
using TFbServerText = TServerText;
TFbServerText ServerText(const std::string& sql);

class TFbStatement final : public Statement {
public:
  // Prepares sql; raises with the server's message.
  TFbStatement(TFbConnection& Connection, std::string sql);
  ~TFbStatement() override;

  const std::string& SQL() const override { return FSQL; }
  const std::vector<FieldDesc>& Fields() const override { return FFields; }
  std::unique_ptr<Cursor> Open(const std::vector<ParamValue>& Params) override;
  std::int64_t Execute(const std::vector<ParamValue>& Params) override;

  // For the cursor.
  TFbSqlda& Out() { return FOut; }
  isc_stmt_handle* Handle() { return FHandle.Handle(); }
  isc_db_handle* Db() { return FConnection.Db(); }
  void CursorGone(TFbCursor* Cursor) {
    if (FActive == Cursor) FActive = nullptr;
  }
  // The origin of each result column as the server describes it (alias, relation, field).
  std::vector<FieldOrigin> Origins() const;

private:
  void Bind(const std::vector<ParamValue>& Params, isc_tr_handle* Transaction, std::vector<std::string>& Keep);
  std::int64_t ChangedRows();

  TFbConnection& FConnection;
  std::string FSQL;
  TFbServerText FServer;
  TFbStatementHandle FHandle;
  TFbSqlda FOut, FIn;
  std::vector<short> FInTypes;  // the described types of the parameters
  int FType = 0;                // isc_info_sql_stmt_*
  std::vector<FieldDesc> FFields;
  TFbCursor* FActive = nullptr;
};

}  // namespace korv::drivers::firebird
