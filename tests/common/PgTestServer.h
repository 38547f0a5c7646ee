// The PostgreSQL test server that scripts/pg-cluster starts and describes in KORV_PG_*, and the
// rule for a test that finds none: it skips, except in CI, which always starts one.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace korvtest {

inline std::string Env(const char* Name) {
  const char* value = std::getenv(Name);
  return value ? value : "";
}

// CI always starts a server, so there a missing one is a failure, not a reason to skip.
inline bool InCI() { return Env("CI") == "true"; }

struct TPGTestServer {
  std::string Host, Port, User, Password, Database, SocketDir;

  // The server of the environment; nullopt when KORV_PG_PORT, _USER or _DATABASE is not set.
  static std::optional<TPGTestServer> FromEnvironment() {
    TPGTestServer server{Env("KORV_PG_HOST"),     Env("KORV_PG_PORT"),     Env("KORV_PG_USER"),
                         Env("KORV_PG_PASSWORD"), Env("KORV_PG_DATABASE"), Env("KORV_PG_SOCKETDIR")};
    if (server.Port.empty() || server.User.empty() || server.Database.empty()) return std::nullopt;
    return server;
  }
  // "host:port/database", as a database's RemoteDatabase names it.
  std::string Address() const { return Host + ":" + Port + "/" + Database; }
};

inline constexpr const char* kNoPGTestServer =
    "no PostgreSQL test server: run `eval \"$(scripts/pg-cluster start DIR)\"` to set KORV_PG_HOST, _PORT, "
    "_USER, _PASSWORD and _DATABASE";

}  // namespace korvtest

// Skips the test with message, or fails it in CI.
#define KORV_SKIP_OR_FAIL(message)                   \
  do {                                               \
    if (::korvtest::InCI()) GTEST_FAIL() << message; \
    GTEST_SKIP() << message;                         \
  } while (false)
