// The database the SQLite catalogue benchmarks share — 10,000 tables plus one table of 2,000
// columns with 20 indexes, built once per run in a temporary folder — and the same catalogue
// queries sent straight through the sqlite3 C API, each prepared once (as the driver keeps its
// own) and copying its rows out, for the figures to be measured against.
#pragma once

#include "korv/sqlite/SQLiteCatalogSql.h"

#include <fmt/format.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvbench {

inline void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
    throw std::runtime_error(error ? error : "sqlite error");
}

class TCatalogueFile {
public:
  TCatalogueFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korv-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
    FFolder = pattern;
    FFile = (FFolder / "catalogue.db").string();

    sqlite3* db = nullptr;
    sqlite3_open_v2(FFile.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::string sql = "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN;";
    for (int t = 0; t < 10000; ++t) {
      const auto n = std::to_string(t);
      sql += "CREATE TABLE T" + n +
             " (ID INTEGER PRIMARY KEY, CODE TEXT UNIQUE, NAME TEXT, AMOUNT REAL);"
             "CREATE INDEX T" +
             n + "_NAME ON T" + n + " (NAME);";
    }
    sql += "CREATE TABLE WIDE (ID INTEGER PRIMARY KEY";
    for (int c = 1; c < 2000; ++c) sql += ", C" + std::to_string(c) + " TEXT";
    sql += ");";
    for (int i = 0; i < 20; ++i) {
      const auto a = std::to_string(i * 50 + 1), b = std::to_string(i * 50 + 2), c = std::to_string(i * 50 + 3);
      sql += std::string(i % 2 ? "CREATE UNIQUE INDEX" : "CREATE INDEX") + " WIDE_IX" + std::to_string(i) +
             " ON WIDE (C" + a + ", C" + b + ", C" + c + ");";
    }
    sql += "COMMIT;";
    Exec(db, sql);
    sqlite3_close_v2(db);
  }
  ~TCatalogueFile() {
    std::error_code ec;
    std::filesystem::remove_all(FFolder, ec);
  }
  TCatalogueFile(const TCatalogueFile&) = delete;
  TCatalogueFile& operator=(const TCatalogueFile&) = delete;

  const std::string& File() const { return FFile; }

private:
  std::filesystem::path FFolder;
  std::string FFile;
};

class TDirectCatalogue {
public:
  explicit TDirectCatalogue(const std::string& file) {
    sqlite3_open_v2(file.c_str(), &FDb, SQLITE_OPEN_READWRITE, nullptr);
    Exec(FDb, "SELECT count(*) FROM sqlite_schema");
    // The very texts the driver sends.
    FTables = Prepare(fmt::format(korv::drivers::sqlite::sql::kTablesOfSchema, "main"));
    FColumns = Prepare(std::string(korv::drivers::sqlite::sql::kColumns));
    FIndexes = Prepare(std::string(korv::drivers::sqlite::sql::kIndexes));
  }
  ~TDirectCatalogue() {
    for (sqlite3_stmt* s : {FTables, FColumns, FIndexes}) sqlite3_finalize(s);
    sqlite3_close_v2(FDb);
  }
  TDirectCatalogue(const TDirectCatalogue&) = delete;
  TDirectCatalogue& operator=(const TDirectCatalogue&) = delete;

  struct TIndexRow {
    std::string Index, Column;
    int Type;
  };

  std::vector<std::string> TableNames() {
    std::vector<std::string> names;
    sqlite3_bind_text(FTables, 1, "%", 1, SQLITE_STATIC);
    sqlite3_bind_int(FTables, 2, 0);
    while (sqlite3_step(FTables) == SQLITE_ROW) names.push_back(Text(FTables, 0));
    sqlite3_reset(FTables);
    return names;
  }

  std::vector<std::string> ColumnNames(const char* table) {
    std::vector<std::string> names;
    sqlite3_bind_text(FColumns, 1, table, -1, SQLITE_STATIC);
    sqlite3_bind_null(FColumns, 2);
    while (sqlite3_step(FColumns) == SQLITE_ROW) names.push_back(Text(FColumns, 0));
    sqlite3_reset(FColumns);
    return names;
  }

  std::vector<TIndexRow> IndexInfo(const char* table) {
    std::vector<TIndexRow> rows;
    sqlite3_bind_text(FIndexes, 1, table, -1, SQLITE_STATIC);
    sqlite3_bind_null(FIndexes, 2);
    while (sqlite3_step(FIndexes) == SQLITE_ROW)
      rows.push_back({Text(FIndexes, 0), Text(FIndexes, 1), sqlite3_column_int(FIndexes, 2)});
    sqlite3_reset(FIndexes);
    return rows;
  }

private:
  sqlite3_stmt* Prepare(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(FDb, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(FDb));
    return stmt;
  }
  static std::string Text(sqlite3_stmt* stmt, int i) {
    auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return t ? t : "";
  }

  sqlite3* FDb = nullptr;
  sqlite3_stmt* FTables = nullptr;
  sqlite3_stmt* FColumns = nullptr;
  sqlite3_stmt* FIndexes = nullptr;
};

}  // namespace korvbench
