#include "korv/postgres/PgNames.h"

#include "rtl/Exceptions.h"

#include <fmt/format.h>

namespace korv::drivers::postgres {

namespace {

// The server keeps 63 bytes of a name (NAMEDATALEN - 1) and cuts at a character boundary.
constexpr std::size_t MaxNameBytes = 63;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

void CutToNameLength(std::string& name) {
  if (name.size() <= MaxNameBytes) return;
  std::size_t end = MaxNameBytes;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  name.resize(end);
}

[[noreturn]] void RaiseBadAddress(const std::string& text, const char* reason) {
  throw rtl::EDatabaseError(
      fmt::format("Invalid PostgreSQL database \"{}\": {}; expected host[:port]/database, "
                  "for example localhost:5432/sales or /sales for the local server",
                  text, reason));
}

bool IsPort(const std::string& text) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  const int port = std::stoi(text);
  return port >= 1 && port <= 65535;
}

}  // namespace

TPGServerAddress ParseRemoteDatabase(const std::string& text) {
  const auto slash = text.find('/');
  if (slash == std::string::npos) RaiseBadAddress(text, "no database name");
  TPGServerAddress address;
  address.Database = text.substr(slash + 1);
  if (address.Database.empty()) RaiseBadAddress(text, "no database name");

  const std::string hostPort = text.substr(0, slash);
  std::string portText;
  bool hasPort = false;
  if (!hostPort.empty() && hostPort.front() == '[') {
    const auto close = hostPort.find(']');
    if (close == std::string::npos) RaiseBadAddress(text, "unclosed [ in the host address");
    address.Host = hostPort.substr(1, close - 1);
    const std::string rest = hostPort.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') RaiseBadAddress(text, "unexpected text after the host address");
      hasPort = true;
      portText = rest.substr(1);
    }
  } else {
    const auto colon = hostPort.find(':');
    if (colon != std::string::npos && hostPort.find(':', colon + 1) != std::string::npos)
      RaiseBadAddress(text, "an IPv6 address must be written in brackets");
    address.Host = hostPort.substr(0, colon);
    if (colon != std::string::npos) {
      hasPort = true;
      portText = hostPort.substr(colon + 1);
    }
  }
  for (char c : address.Host)
    if (IsBlank(c)) RaiseBadAddress(text, "blank in the host name");
  if (hasPort) {
    if (!IsPort(portText)) RaiseBadAddress(text, "the port must be a number from 1 to 65535");
    address.Port = portText;
  }
  return address;
}

std::optional<std::vector<std::string>> SplitQualifiedName(std::string_view text, TUnquotedCase unquoted) {
  const bool fold = unquoted == TUnquotedCase::Fold;
  std::vector<std::string> parts;
  std::size_t i = 0;
  const std::size_t n = text.size();
  for (;;) {
    while (i < n && IsBlank(text[i])) ++i;
    std::string part;
    if (i < n && text[i] == '"') {
      ++i;
      bool closed = false;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            part += '"';
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        part += text[i++];
      }
      if (!closed || part.empty()) return std::nullopt;
    } else {
      while (i < n && text[i] != '.' && !IsBlank(text[i])) {
        const char c = text[i++];
        part += (fold && c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
      }
      if (part.empty()) return std::nullopt;
    }
    CutToNameLength(part);
    parts.push_back(std::move(part));
    while (i < n && IsBlank(text[i])) ++i;
    if (i == n) return parts;
    if (text[i] != '.') return std::nullopt;
    ++i;
  }
}

bool HasArgumentList(std::string_view text) {
  bool quoted = false;
  for (char c : text) {
    if (c == '"')
      quoted = !quoted;  // a doubled quote toggles twice: still inside
    else if (c == '(' && !quoted)
      return true;
  }
  return false;
}

}  // namespace korv::drivers::postgres
