// A statement of the Firebird driver prepared on the server, and the cursor of one run of it.
// Outside the user's transaction a cursor reads in a read-only transaction of its own, which
// ends with it, so the updates applied while a data set is open commit on their own; every
// other statement outside one commits on its own too. A cursor opened in the user's transaction
// reads on after that transaction is committed or rolled back (the engine would close it: the
// connection ends it retaining its context instead, and the cursor's end finishes it).
#pragma once

#include "FbConnection.h"

namespace korv::drivers::firebird {

class TFbCursor;

// The text the server is sent: every "?N" (and a bare "?") becomes "?"; Order says which value
// goes to each "?" in turn, Shifts where the text got shorter (to map error positions back).
struct TFbServerText {
  std::string Text;
  std::vector<int> Order;                              // 1-based value numbers, one per "?"
  std::vector<std::pair<std::size_t, std::size_t>> Shifts;  // (offset in Text, bytes removed)
  // The byte offset in the original text of one in Text.
  std::size_t OriginalOffset(std::size_t Offset) const;
};
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
  void Bind(const std::vector<ParamValue>& Params, isc_tr_handle* Transaction,
            std::vector<std::string>& Keep);
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

} // namespace korv::drivers::firebird
