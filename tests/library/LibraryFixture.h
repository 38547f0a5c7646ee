// What the component tests share: a real SQLite database built in a temporary folder, and a
// database component connected to nothing yet that names it.
#pragma once

#include "TempFolder.h"

#include "korv/KVDatabase.h"
#include "korv/KVSession.h"
#include "rtl/Strings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace korvtest {

// Writes a database file through the C API, which (unlike the library) may create files.
inline void MakeSQLiteFile(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    sqlite3_close_v2(db);
    throw std::runtime_error("cannot create " + path);
  }
  char* error = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close_v2(db);
  if (rc != SQLITE_OK) throw std::runtime_error(message + " in " + sql);
}

inline constexpr const char* kShopSchema = R"(
  CREATE TABLE CUSTOMER (ID INTEGER PRIMARY KEY, NAME TEXT NOT NULL, TEL TEXT);
  CREATE TABLE ORDERS (CUST_ID INTEGER, BRANCH_ID INTEGER, CODE TEXT, AMOUNT REAL, NOTE TEXT,
    PRIMARY KEY (CUST_ID, BRANCH_ID));
  CREATE UNIQUE INDEX ORDERS_CODE ON ORDERS (CODE);
  CREATE UNIQUE INDEX ORDERS_NOTE ON ORDERS (NOTE, AMOUNT);
  CREATE INDEX ORDERS_AMOUNT ON ORDERS (AMOUNT);
)";

inline std::vector<std::string> Lines(const rtl::TStrings& list) { return list.ToVector(); }

class TLibraryTest : public ::testing::Test {
protected:
  TLibraryTest() { MakeSQLiteFile(Temp.File("shop.db"), kShopSchema); }

  // A database component of the default session on shop.db (given relative to BaseDir).
  std::unique_ptr<korv::TKVDatabase> ShopDatabase(const std::string& databaseName = "SHOP") {
    auto db = std::make_unique<korv::TKVDatabase>(nullptr);
    db->SetDatabaseName(databaseName);
    db->SetServerType(korv::TKVServerType::stSQLite);
    db->SetBaseDir(Temp.Path().string());
    db->SetRemoteDatabase("shop.db");
    return db;
  }

  TTempFolder Temp;
};

} // namespace korvtest
