// RAII for the sqlite3 C API: a prepared statement that is finalized with its owner, and one run
// of it that resets the statement and drops its bindings on every way out.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>

namespace korv::drivers::sqlite {

struct TFinalize {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using TStatement = std::unique_ptr<sqlite3_stmt, TFinalize>;

struct TCloseDb {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using TDatabaseHandle = std::unique_ptr<sqlite3, TCloseDb>;

// Raises rtl::EDatabaseError with SQLite's message for db.
[[noreturn]] void RaiseSQLiteError(sqlite3* db);

class TStatementRun {
public:
  explicit TStatementRun(sqlite3_stmt* stmt) : FStmt(stmt) {}
  ~TStatementRun() {
    sqlite3_reset(FStmt);
    sqlite3_clear_bindings(FStmt);
  }
  TStatementRun(const TStatementRun&) = delete;
  TStatementRun& operator=(const TStatementRun&) = delete;

  // The text stays owned by the caller and must outlive the run.
  void BindText(int index, std::string_view text) {
    Check(sqlite3_bind_text(FStmt, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC));
  }
  void BindInt(int index, int value) { Check(sqlite3_bind_int(FStmt, index, value)); }
  void BindNull(int index) { Check(sqlite3_bind_null(FStmt, index)); }

  // True while there is a row; raises on an error.
  bool Step() {
    const int rc = sqlite3_step(FStmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    RaiseSQLiteError(sqlite3_db_handle(FStmt));
  }

  std::string Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(FStmt, column))) : std::string();
  }
  int Int(int column) const { return sqlite3_column_int(FStmt, column); }

private:
  sqlite3_stmt* FStmt;

  void Check(int rc) {
    if (rc != SQLITE_OK) RaiseSQLiteError(sqlite3_db_handle(FStmt));
  }
};

}  // namespace korv::drivers::sqlite
