// The MariaDB driver: connects through libmariadb to a server over TCP or the local socket, and
// registers itself for stMariaDB.
#include "MdbConnection.h"

#include "korv/drivers/Registry.h"
#include "korv/mariadb/MdbAddress.h"
#include "rtl/Exceptions.h"
#include "rtl/SysUtils.h"

#include <fmt/format.h>

#include <cstdlib>

namespace korv::drivers::mariadb {

namespace {

// What Params say about a connection. Names are read ignoring letter case.
struct TMdbOptions {
  std::string User, Password, Charset = "utf8mb4", SslMode, Socket;
  std::optional<unsigned> ConnectTimeout;
};

TMdbOptions OptionsOf(const ConnectionSpec& spec) {
  TMdbOptions options;
  for (const auto& [name, value] : spec.Params) {
    const std::string key = rtl::Trim(name);
    if (rtl::SameText(key, "USER NAME"))
      options.User = value;
    else if (rtl::SameText(key, "PASSWORD"))
      options.Password = value;
    else if (rtl::SameText(key, "charset"))
      options.Charset = rtl::Trim(value);
    else if (rtl::SameText(key, "ssl-mode"))
      options.SslMode = rtl::Trim(value);
    else if (rtl::SameText(key, "socket"))
      options.Socket = rtl::Trim(value);
    else if (rtl::SameText(key, "connect-timeout")) {
      const std::string text = rtl::Trim(value);
      if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        throw rtl::EDatabaseError(fmt::format("connect-timeout \"{}\" is not a number of seconds", value));
      options.ConnectTimeout = static_cast<unsigned>(std::stoul(text));
    }
  }
  return options;
}

// ssl-mode as the server's own clients name it: DISABLED, PREFERRED, REQUIRED, VERIFY_CA or
// VERIFY_IDENTITY (letter case ignored; empty: the client library's default).
void SetSslMode(MYSQL* conn, const std::string& mode) {
  if (mode.empty() || rtl::SameText(mode, "DISABLED")) return;
  my_bool yes = 1;
  if (rtl::SameText(mode, "PREFERRED")) {
    mysql_ssl_set(conn, nullptr, nullptr, nullptr, nullptr, nullptr);
  } else if (rtl::SameText(mode, "REQUIRED")) {
    mysql_optionsv(conn, MYSQL_OPT_SSL_ENFORCE, &yes);
  } else if (rtl::SameText(mode, "VERIFY_CA") || rtl::SameText(mode, "VERIFY_IDENTITY")) {
    mysql_optionsv(conn, MYSQL_OPT_SSL_ENFORCE, &yes);
    mysql_optionsv(conn, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &yes);
  } else {
    throw rtl::EDatabaseError(
        fmt::format("ssl-mode \"{}\" is not one of DISABLED, PREFERRED, REQUIRED, VERIFY_CA, VERIFY_IDENTITY", mode));
  }
}

class TMdbDriver final : public Driver {
public:
  std::string Name() const override { return GetServerTypeName(TKVServerType::stMariaDB); }
  bool SupportsObjOwner() const override { return true; }
  bool ProcedureDescriptionsAvailable() const override { return true; }
  std::unique_ptr<Connection> Connect(const ConnectionSpec& spec) override;
};

std::unique_ptr<Connection> TMdbDriver::Connect(const ConnectionSpec& spec) {
  const TMdbServerAddress address = ParseRemoteDatabase(rtl::Trim(spec.RemoteDatabase));
  const TMdbOptions options = OptionsOf(spec);
  TMYSQLPtr conn(mysql_init(nullptr));
  if (!conn) throw rtl::EDatabaseError("Cannot connect to a MariaDB server: out of memory");
  mysql_optionsv(conn.get(), MYSQL_SET_CHARSET_NAME, options.Charset.c_str());
  if (options.ConnectTimeout) mysql_optionsv(conn.get(), MYSQL_OPT_CONNECT_TIMEOUT, &*options.ConnectTimeout);
  SetSslMode(conn.get(), options.SslMode);
  const char* socket = !options.Socket.empty() ? options.Socket.c_str() : std::getenv("MYSQL_UNIX_PORT");
  const bool local = address.Host.empty();
  // CLIENT_FOUND_ROWS: an UPDATE counts the rows it matched, so an applied update that changes no
  // value is not taken for one whose row has gone.
  if (!mysql_real_connect(conn.get(), local ? "localhost" : address.Host.c_str(),
                          options.User.empty() ? nullptr : options.User.c_str(), options.Password.c_str(),
                          address.Database.c_str(), address.Port, local ? socket : nullptr,
                          CLIENT_MULTI_RESULTS | CLIENT_FOUND_ROWS))
    throw rtl::EDatabaseError(
        fmt::format("Cannot connect to MariaDB database \"{}\": {}", spec.RemoteDatabase, mysql_error(conn.get())));
  return std::make_unique<TMdbConnection>(std::move(conn), address.Database, spec.OnTrace);
}

[[maybe_unused]] const bool Registered = [] {
  RegisterDriver(TKVServerType::stMariaDB, [] { return std::make_unique<TMdbDriver>(); });
  return true;
}();

}  // namespace

}  // namespace korv::drivers::mariadb
