// What the component tests share: a real SQLite database built in a temporary folder, and a
// database component connected to nothing yet that names it.
#pragma once

#include "SQLiteScript.h"
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

// Writes a database file; raises what went wrong.
inline void MakeSQLiteFile(const std::string& path, const std::string& sql) {
  if (const std::string error = RunSQLiteScript(path, sql); !error.empty()) throw std::runtime_error(error);
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

}  // namespace korvtest
