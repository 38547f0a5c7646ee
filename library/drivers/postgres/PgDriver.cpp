// The PostgreSQL driver: connects through libpq and registers itself for stPostgreSQL.
#include "PgConnection.h"
#include "korv/postgres/PgNames.h"
#include "korv/drivers/Registry.h"
#include "rtl/Exceptions.h"
#include "rtl/SysUtils.h"

#include <fmt/format.h>

#include <utility>
#include <vector>

namespace korv::drivers::postgres {

namespace {

// Seconds to wait for the server; a Params entry "connect_timeout" replaces it.
constexpr const char* DefaultConnectTimeout = "5";

std::string CleanConnectMessage(std::string message) {
  while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') message.pop_back();
  return message.empty() ? "no answer from the server" : message;
}

void IgnoreNotice(void*, const char*) {}  // notices are not errors and must not reach stderr

class TPGDriver final : public Driver {
public:
  std::string Name() const override { return "PostgreSQL"; }
  bool SupportsObjOwner() const override { return true; }
  bool ProcedureDescriptionsAvailable() const override { return true; }
  std::unique_ptr<Connection> Connect(const ConnectionSpec& spec) override;
};

std::unique_ptr<Connection> TPGDriver::Connect(const ConnectionSpec& spec) {
  const TPGServerAddress address = ParseRemoteDatabase(spec.RemoteDatabase);

  // libpq takes the last value of a keyword, so defaults come first and what RemoteDatabase,
  // "USER NAME" and "PASSWORD" say comes last. Keywords and values go as arrays, never as a
  // connection string, so no value can smuggle in other options.
  std::vector<std::pair<std::string, std::string>> options{{"connect_timeout", DefaultConnectTimeout},
                                                           {"fallback_application_name", "Korvane"}};
  std::string user, password;
  for (const auto& [name, value] : spec.Params) {
    const std::string key = rtl::Trim(name);
    if (rtl::SameText(key, "USER NAME"))
      user = value;
    else if (rtl::SameText(key, "PASSWORD"))
      password = value;
    else if (!key.empty())
      options.emplace_back(rtl::LowerCase(key), value);
  }
  if (!address.Host.empty()) options.emplace_back("host", address.Host);
  if (!address.Port.empty()) options.emplace_back("port", address.Port);
  options.emplace_back("dbname", address.Database);
  if (!user.empty()) options.emplace_back("user", user);
  if (!password.empty()) options.emplace_back("password", password);
  options.emplace_back("client_encoding", "UTF8");  // the library's strings are UTF-8

  std::vector<const char*> keywords, values;
  for (const auto& [keyword, value] : options) {
    keywords.push_back(keyword.c_str());
    values.push_back(value.c_str());
  }
  keywords.push_back(nullptr);
  values.push_back(nullptr);

  TPGconnPtr conn(PQconnectdbParams(keywords.data(), values.data(), /*expand_dbname=*/0));
  if (!conn) throw rtl::EDatabaseError("Out of memory while connecting to PostgreSQL");
  if (PQstatus(conn.get()) != CONNECTION_OK)
    throw rtl::EDatabaseError(fmt::format("Cannot connect to PostgreSQL database \"{}\": {}", spec.RemoteDatabase,
                                          CleanConnectMessage(PQerrorMessage(conn.get()))));
  PQsetNoticeProcessor(conn.get(), IgnoreNotice, nullptr);
  return std::make_unique<TPGConnection>(std::move(conn), spec.OnTrace);
}

const bool Registered = [] {
  RegisterDriver(TKVServerType::stPostgreSQL, [] { return std::make_unique<TPGDriver>(); });
  return true;
}();

}  // namespace

}  // namespace korv::drivers::postgres
