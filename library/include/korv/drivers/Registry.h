// Drivers register themselves by server type when the library loads; callers find them here.
#pragma once

#include "korv/ServerTypes.h"
#include "korv/drivers/Driver.h"

#include <functional>
#include <memory>

namespace korv::drivers {

using DriverFactory = std::function<std::unique_ptr<Driver>()>;

// Called from a static initializer in each driver's source file.
void RegisterDriver(TKVServerType serverType, DriverFactory factory);

// The driver of a server type; raises rtl::EDatabaseError when none is registered.
Driver& GetDriver(TKVServerType serverType);

} // namespace korv::drivers
