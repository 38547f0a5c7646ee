// Installs the login dialog as the sessions' login hook when the library loads.
//
// The sessions are made by a static object of the library's session unit, and the objects of a
// shared library are made in link order; this file is therefore added to the library after
// every globbed source (library/CMakeLists.txt), so that the sessions exist when it runs.
#include "korv/KVLoginDialog.h"

namespace {

struct TInstallLoginDialog {
  TInstallLoginDialog() { korv::InstallLoginDialog(); }
} InstallLoginDialogAtLoad;

} // namespace
