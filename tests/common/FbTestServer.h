// The Firebird test server that scripts/fb-cluster starts and describes in KORV_FB_*, under the
// same rule as the PostgreSQL one: a test that finds none skips, except in CI.
#pragma once

#include "PgTestServer.h"

#include <random>

#include <fmt/format.h>

namespace korvtest {

struct TFbTestServer {
  std::string Host, Port, User, Password, Database, DataDir;

  // The server of the environment; nullopt when KORV_FB_PORT, _USER or _DATABASE is not set.
  static std::optional<TFbTestServer> FromEnvironment() {
    TFbTestServer server{Env("KORV_FB_HOST"),     Env("KORV_FB_PORT"),     Env("KORV_FB_USER"),
                         Env("KORV_FB_PASSWORD"), Env("KORV_FB_DATABASE"), Env("KORV_FB_DATADIR")};
    if (server.Port.empty() || server.User.empty() || server.Database.empty()) return std::nullopt;
    return server;
  }
  // "host/port:path", Firebird's own form of a database on a server: the test database, or
  // File in the folder where the server may create databases.
  std::string Address(const std::string& File = {}) const {
    return Host + "/" + Port + ":" + (File.empty() ? Database : DataDir + "/" + File);
  }
  // A database file name no other test uses.
  static std::string FreshFile(const std::string& Stem) {
    std::random_device random;
    return fmt::format("{}-{:08x}.fdb", Stem, random());
  }
};

inline constexpr const char* kNoFbTestServer =
    "no Firebird test server: run `eval \"$(scripts/fb-cluster start DIR)\"` to set KORV_FB_HOST, _PORT, "
    "_USER, _PASSWORD, _DATABASE and _DATADIR";

}  // namespace korvtest
