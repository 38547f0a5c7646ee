#include "GuiHost.h"

namespace designer {

TGuiHost::TGuiHost(const String& PackageFile) : Dialogs(InstallHostDialogs()), Session(Out, Err), Scope(&UI) {
  Session.Loader().LoadPackage(PackageFile);
}

}  // namespace designer
