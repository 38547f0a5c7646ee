// Creating a Firebird database: the one thing connecting never does. Tests and the example's
// build script make their databases with it.
#pragma once

#include "korv/drivers/Driver.h"

namespace korv::drivers::firebird {

// Creates the database spec.RemoteDatabase names (a file for the embedded engine, relative to
// spec.BaseDir, or host[/port]:path on a server) with page size 8192 and default character set
// UTF8, as the user of spec.Params ("USER NAME", "PASSWORD"; SYSDBA when none is given), and
// closes it again. Raises rtl::EDatabaseError with the server's message when the file exists
// or cannot be made.
void CreateDatabase(const ConnectionSpec& spec);

}  // namespace korv::drivers::firebird
