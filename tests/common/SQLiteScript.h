// SQLite database files that tests build themselves, through the C API (which, unlike the
// library, may create files).
#pragma once

#include <sqlite3.h>

#include <string>

namespace korvtest {

// Runs Sql in the database file Path, made when missing: "" when it ran, else what went wrong.
inline std::string RunSQLiteScript(const std::string& Path, const std::string& Sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(Path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    std::string message = "cannot open " + Path + ": " + sqlite3_errmsg(db);
    sqlite3_close_v2(db);
    return message;
  }
  char* error = nullptr;
  const int rc = sqlite3_exec(db, Sql.c_str(), nullptr, nullptr, &error);
  std::string message = rc == SQLITE_OK ? std::string() : (error ? error : "error") + std::string(" in ") + Sql;
  sqlite3_free(error);
  sqlite3_close_v2(db);
  return message;
}

}  // namespace korvtest
