// The drivers by server type. Each driver is a library of its own (libkorv_sqlite.so,
// libkorv_postgres.so) beside Korv200, bringing its client library with it; it is loaded the
// first time its server type is asked for, and registers its driver as it loads.
#pragma once

#include "korv/ServerTypes.h"
#include "korv/drivers/Driver.h"

#include <functional>
#include <memory>
#include <string>

namespace korv::drivers {

using TDriverFactory = std::function<std::unique_ptr<Driver>()>;

// Called from a static initializer in each driver library. Registering a server type again
// replaces its driver.
void RegisterDriver(TKVServerType serverType, TDriverFactory factory);

// The driver of a server type: the registered one, else the one its driver library registers
// when loaded. Raises rtl::EDatabaseError naming the server type and the loader's reason when
// the library is missing or registers no driver for it.
Driver& GetDriver(TKVServerType serverType);

// The driver library's name without "lib" and ".so": "korv_sqlite", "korv_postgres",
// "korv_firebird".
std::string DriverLibraryName(TKVServerType serverType);

}  // namespace korv::drivers
