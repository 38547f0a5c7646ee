#include "korv/drivers/Registry.h"

#include "rtl/Exceptions.h"

#include <fmt/format.h>

#include <dlfcn.h>

#include <filesystem>
#include <map>

namespace korv::drivers {

namespace {

struct TRegisteredDriver {
  TDriverFactory Factory;
  std::unique_ptr<Driver> Instance;  // made on first use, lives as long as the library
};

// A function-local static: drivers register from static initializers of other libraries, whose
// order relative to this file is not defined.
std::map<TKVServerType, TRegisteredDriver>& Drivers() {
  static std::map<TKVServerType, TRegisteredDriver> drivers;
  return drivers;
}

// The folder this library was loaded from: the drivers lie beside it.
std::filesystem::path LibraryFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&DriverLibraryName), &info) == 0 || !info.dli_fname) return {};
  return std::filesystem::path(info.dli_fname).parent_path();
}

// Loads the driver library of a server type, which registers its driver as it loads. A library
// that is loaded stays loaded: its driver may be in use until the program ends.
void LoadDriverLibrary(TKVServerType serverType) {
  const std::string file = "lib" + DriverLibraryName(serverType) + ".so";
  const std::filesystem::path beside = LibraryFolder() / file;
  void* handle = dlopen(beside.c_str(), RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
  if (!handle) {
    const char* error = dlerror();
    throw rtl::EDatabaseError(fmt::format("No database driver is available for server type {}: {}",
                                          GetServerTypeName(serverType), error ? error : file));
  }
}

}  // namespace

std::string DriverLibraryName(TKVServerType serverType) {
  switch (serverType) {
  case TKVServerType::stSQLite: return "korv_sqlite";
  case TKVServerType::stPostgreSQL: return "korv_postgres";
  case TKVServerType::stFirebird: return "korv_firebird";
  case TKVServerType::stMariaDB: return "korv_mariadb";
  }
  return "korv_unknown";
}

void RegisterDriver(TKVServerType serverType, TDriverFactory factory) {
  auto& entry = Drivers()[serverType];
  entry.Factory = std::move(factory);
  entry.Instance.reset();
}

Driver& GetDriver(TKVServerType serverType) {
  auto it = Drivers().find(serverType);
  if (it == Drivers().end() || !it->second.Factory) {
    LoadDriverLibrary(serverType);
    it = Drivers().find(serverType);
    if (it == Drivers().end() || !it->second.Factory)
      throw rtl::EDatabaseError(
          fmt::format("No database driver is available for server type {}: lib{}.so "
                      "registered none",
                      GetServerTypeName(serverType), DriverLibraryName(serverType)));
  }
  if (!it->second.Instance) it->second.Instance = it->second.Factory();
  return *it->second.Instance;
}

}  // namespace korv::drivers
