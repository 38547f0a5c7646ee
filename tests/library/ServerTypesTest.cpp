// Server type names and the driver registry.
#include "korv/ServerTypes.h"
#include "korv/drivers/Registry.h"

#include <gtest/gtest.h>

using korv::TKVServerType;

TEST(ServerTypes, NamesAndLookupIgnoringCase) {
  EXPECT_EQ(korv::GetServerTypeName(TKVServerType::stSQLite), "SQLite");
  EXPECT_EQ(korv::GetServerTypeName(TKVServerType::stPostgreSQL), "PostgreSQL");
  EXPECT_EQ(korv::GetServerTypeName(TKVServerType::stFirebird), "Firebird");
  EXPECT_EQ(korv::StrToServerTypeDef("FIREBIRD", TKVServerType::stSQLite), TKVServerType::stFirebird);
  EXPECT_EQ(korv::StrToServerTypeDef("postgresql", TKVServerType::stSQLite), TKVServerType::stPostgreSQL);
  EXPECT_EQ(korv::StrToServerTypeDef("SQLITE", TKVServerType::stPostgreSQL), TKVServerType::stSQLite);
  EXPECT_EQ(korv::StrToServerTypeDef("Oracle", TKVServerType::stPostgreSQL), TKVServerType::stPostgreSQL);
  EXPECT_EQ(korv::StrToServerTypeDef(" SQLite", TKVServerType::stPostgreSQL), TKVServerType::stPostgreSQL);
  EXPECT_EQ(korv::DefServerType, TKVServerType::stSQLite);
}

TEST(ServerTypes, SQLiteDriverRegistersItself) {
  EXPECT_EQ(korv::drivers::GetDriver(TKVServerType::stSQLite).Name(), "SQLite");
}
