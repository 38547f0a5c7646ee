// How a Firebird RemoteDatabase reads: a server address or a database file. Header only, so that
// the library asks it (a login is needed for a server, not for a file) without loading the driver.
#pragma once

#include <string_view>

namespace korv::drivers::firebird {

// host:path, host/port:path, or the URL form inet://...: a server. Anything else is a database
// file for the embedded engine; "C:..." is a drive letter, not a host.
inline bool IsServerAddress(std::string_view text) {
  if (text.substr(0, 4) == "inet" && text.find("://") != std::string_view::npos) return true;
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon <= 1) return false;
  const std::string_view host = text.substr(0, colon);
  if (host.front() == '/' || host.front() == '.' || host.front() == '\\') return false;
  const std::size_t slash = host.find('/');
  if (slash == std::string_view::npos) return true;
  return slash + 1 < host.size() && host.find_first_not_of("0123456789", slash + 1) == std::string_view::npos;
}

}  // namespace korv::drivers::firebird
