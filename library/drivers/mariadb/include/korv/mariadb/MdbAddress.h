// How a MariaDB RemoteDatabase reads: "host[:port]/database" ("[::1]:3306/db" for an IPv6
// address), or "/database" for the server of the local socket. Header only: no client library
// is needed to read it.
#pragma once

#include "rtl/Exceptions.h"

#include <fmt/format.h>

#include <string>

namespace korv::drivers::mariadb {

struct TMdbServerAddress {
  std::string Host;      // empty: the local socket
  unsigned Port = 0;     // 0: the client library's default (3306)
  std::string Database;  // never empty
};

inline TMdbServerAddress ParseRemoteDatabase(const std::string& text) {
  auto fail = [&]() -> TMdbServerAddress {
    throw rtl::EDatabaseError(fmt::format(
        "\"{}\" is not a MariaDB database: expected host[:port]/database, or /database for the local server", text));
  };
  TMdbServerAddress address;
  std::string port;
  bool hasPort = false;
  std::size_t slash;
  if (!text.empty() && text.front() == '[') {  // [IPv6]:port/database
    const std::size_t close = text.find(']');
    if (close == std::string::npos || close == 1) return fail();
    address.Host = text.substr(1, close - 1);
    slash = text.find('/', close);
    if (slash == std::string::npos) return fail();
    const std::string rest = text.substr(close + 1, slash - close - 1);
    if (!rest.empty() && rest.front() != ':') return fail();
    hasPort = !rest.empty();
    if (hasPort) port = rest.substr(1);
  } else {
    slash = text.find('/');
    if (slash == std::string::npos) return fail();
    const std::string hostPort = text.substr(0, slash);
    const std::size_t colon = hostPort.find(':');
    address.Host = hostPort.substr(0, colon);
    hasPort = colon != std::string::npos;
    if (hasPort) {
      if (address.Host.empty()) return fail();
      port = hostPort.substr(colon + 1);
    }
  }
  address.Database = text.substr(slash + 1);
  if (address.Database.empty() || address.Database.find('/') != std::string::npos) return fail();
  if (hasPort) {
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) return fail();
    address.Port = static_cast<unsigned>(std::stoul(port));
    if (address.Port == 0 || address.Port > 65535) return fail();
  }
  return address;
}

}  // namespace korv::drivers::mariadb
