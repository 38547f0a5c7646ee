#include "korv/ServerTypes.h"

#include "AsciiText.h"

namespace korv {

TKVServerType DefServerType = TKVServerType::stSQLite;

std::string GetServerTypeName(TKVServerType serverType) {
  switch (serverType) {
  case TKVServerType::stSQLite: return "SQLite";
  case TKVServerType::stPostgreSQL: return "PostgreSQL";
  case TKVServerType::stFirebird: return "Firebird";
  case TKVServerType::stMariaDB: return "MariaDB";
  }
  return {};
}

TKVServerType StrToServerTypeDef(const std::string& text, TKVServerType defaultType) {
  for (auto type :
       {TKVServerType::stSQLite, TKVServerType::stPostgreSQL, TKVServerType::stFirebird, TKVServerType::stMariaDB})
    if (detail::SameTextAscii(text, GetServerTypeName(type))) return type;
  return defaultType;
}

}  // namespace korv
