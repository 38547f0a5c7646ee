// Server types: the back ends a database component can connect to.
#pragma once

#include <string>

namespace korv {

enum class TKVServerType { stSQLite, stPostgreSQL, stFirebird, stMariaDB };

// "SQLite", "PostgreSQL", "Firebird", "MariaDB"
std::string GetServerTypeName(TKVServerType serverType);
// The server type whose name equals text, ignoring letter case; defaultType for anything else.
TKVServerType StrToServerTypeDef(const std::string& text, TKVServerType defaultType);

// The server type new database components start with; SQLite when the library loads.
extern TKVServerType DefServerType;

}  // namespace korv
