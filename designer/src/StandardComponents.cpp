#include "designer/StandardComponents.h"

#include "designintf/Registry.h"
#include "rtl/DB.h"

namespace designer {

void RegisterStandardComponents() {
  if (designintf::FindPaletteClass("TDataSource")) return;
  designintf::TPackageRegistrationScope host("");
  designintf::RegisterComponents("Data Access", {rtl::TDataSource::StaticClass()});
}

}  // namespace designer
