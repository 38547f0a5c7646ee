// Classes of this layer that form files may name, registered when the library loads.
#include "rtl/Component.h"
#include "rtl/DB.h"
#include "rtl/Strings.h"

namespace {

struct TRegisterRtlClasses {
  TRegisterRtlClasses() {
    rtl::RegisterClass(rtl::TDataModule::StaticClass());
    rtl::RegisterClass(rtl::TDataSource::StaticClass());
  }
} RegisterRtlClasses;

}  // namespace
