// What the graphical designer runs on: the designer's own dialogs, korv's design session with
// the package loaded, and the Qt user interface installed for as long as it lives.
#pragma once

#include "QtUserInterface.h"

#include "DesignSession.h"
#include "designer/HostDialogs.h"

#include <memory>
#include <sstream>

namespace designer {

struct TGuiHost {
  // Loads the package (raises EPackageError when it cannot).
  explicit TGuiHost(const String& PackageFile);

  std::ostringstream Out;
  std::ostringstream Err;  // warnings while a module is read
  std::unique_ptr<THostDialogsInstallation> Dialogs;
  TDesignSession Session;
  TQtUserInterface UI;
  vcl::TUserInterfaceScope Scope;
};

}  // namespace designer
