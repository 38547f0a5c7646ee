// The MariaDB test server that scripts/mariadb-cluster starts and describes in KORV_MARIADB_*,
// under the same rule as the PostgreSQL one: a test that finds none skips, except in CI.
#pragma once

#include "PgTestServer.h"

namespace korvtest {

struct TMdbTestServer {
  std::string Host, Port, User, Password, Database, Socket;

  // The server of the environment; nullopt when KORV_MARIADB_PORT, _USER or _DATABASE is not set.
  static std::optional<TMdbTestServer> FromEnvironment() {
    TMdbTestServer server{Env("KORV_MARIADB_HOST"),     Env("KORV_MARIADB_PORT"),     Env("KORV_MARIADB_USER"),
                          Env("KORV_MARIADB_PASSWORD"), Env("KORV_MARIADB_DATABASE"), Env("KORV_MARIADB_SOCKET")};
    if (server.Port.empty() || server.User.empty() || server.Database.empty()) return std::nullopt;
    return server;
  }
  // "host:port/database", as a database's RemoteDatabase names it.
  std::string Address(const std::string& Db = {}) const {
    return Host + ":" + Port + "/" + (Db.empty() ? Database : Db);
  }
};

inline constexpr const char* kNoMdbTestServer =
    "no MariaDB test server: run `eval \"$(scripts/mariadb-cluster start DIR)\"` to set KORV_MARIADB_HOST, "
    "_PORT, _USER, _PASSWORD and _DATABASE";

}  // namespace korvtest
