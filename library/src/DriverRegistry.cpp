#include "korv/drivers/Registry.h"

#include "rtl/Exceptions.h"

#include <fmt/format.h>

#include <map>

namespace korv::drivers {

namespace {

struct TRegisteredDriver {
  DriverFactory Factory;
  std::unique_ptr<Driver> Instance;  // made on first use, lives as long as the library
};

// A function-local static: drivers register from static initializers of other files, whose
// order relative to this file is not defined.
std::map<TKVServerType, TRegisteredDriver>& Drivers() {
  static std::map<TKVServerType, TRegisteredDriver> drivers;
  return drivers;
}

} // namespace

void RegisterDriver(TKVServerType serverType, DriverFactory factory) {
  auto& entry = Drivers()[serverType];
  entry.Factory = std::move(factory);
  entry.Instance.reset();
}

Driver& GetDriver(TKVServerType serverType) {
  auto it = Drivers().find(serverType);
  if (it == Drivers().end() || !it->second.Factory)
    throw rtl::EDatabaseError(
        fmt::format("No database driver is available for server type {}", GetServerTypeName(serverType)));
  if (!it->second.Instance)
    it->second.Instance = it->second.Factory();
  return *it->second.Instance;
}

} // namespace korv::drivers
