// The package frame: its description, its version resource, its compiled resources and the
// entry points the designer calls after loading the shared library and before unloading it.
#include "KVPackage.h"

#include "KVReg.h"

#include "korv/VersionInfo.h"
#include "rtl/SysUtils.h"

#include <array>
#include <cstddef>

#ifndef KORV_PACKAGE_VERSION
#error "KORV_PACKAGE_VERSION (the project version) must be defined by the build"
#endif

KORV_VERSION_RESOURCE("Korvane", KORV_PACKAGE_VERSION);

// Compiled in by the build (korv_embed_file): each is followed by a NUL byte not counted in
// its size.
#define KV_DECLARE_RESOURCE(symbol)    \
  extern const unsigned char symbol[]; \
  extern const std::size_t symbol##_size;
KV_DECLARE_RESOURCE(KVResource_KVAbout_dfm)
KV_DECLARE_RESOURCE(KVResource_KVUpdSEd_dfm)
KV_DECLARE_RESOURCE(KVResource_TKVSESSION)
KV_DECLARE_RESOURCE(KVResource_TKVDATABASE)
KV_DECLARE_RESOURCE(KVResource_TKVQUERY)
KV_DECLARE_RESOURCE(KVResource_TKVMACROQUERY)
KV_DECLARE_RESOURCE(KVResource_TKVSTOREDPROC)
KV_DECLARE_RESOURCE(KVResource_TKVTABLE)
KV_DECLARE_RESOURCE(KVResource_TKVUPDATESQL)
KV_DECLARE_RESOURCE(KVResource_TKVSCRIPT)
KV_DECLARE_RESOURCE(KVResource_TKVMONITOR)
KV_DECLARE_RESOURCE(KVResource_TKVSQLBASESERVER)
#undef KV_DECLARE_RESOURCE

namespace {

constexpr const char* PackageDescription = "Korvane Components";

// A unit of the package with its initialization and finalization (nil: none).
struct TPackageUnit {
  const char* Name;
  void (*Initialization)();
  void (*Finalization)();
};

constexpr std::array<TPackageUnit, 3> Units{{
    {"KVAbout", nullptr, nullptr},
    {"KVUpdSEd", nullptr, nullptr},
    {"KVReg", &dclkorv::KVRegInitialization, &dclkorv::KVRegFinalization},
}};

constexpr const char* Requires[] = {"Korv200", "dcldb200", "rtl200", nullptr};
constexpr const char* Contains[] = {Units[0].Name, Units[1].Name, Units[2].Name, nullptr};
static_assert(std::size(Contains) == Units.size() + 1);

const KorvPackageInfo PackageInfo{KORV_PACKAGE_ABI_VERSION, "DclKorv200", PackageDescription, Requires, Contains, true};

const unsigned char* Bytes(const char* Text) { return reinterpret_cast<const unsigned char*>(Text); }

#define KV_BITMAP(name) \
  KorvPackageResource { #name, "BITMAP", KVResource_##name, KVResource_##name##_size }
const KorvPackageResource Resources[] = {
    KV_BITMAP(TKVSESSION),
    KV_BITMAP(TKVDATABASE),
    KV_BITMAP(TKVQUERY),
    KV_BITMAP(TKVMACROQUERY),
    KV_BITMAP(TKVSTOREDPROC),
    KV_BITMAP(TKVTABLE),
    KV_BITMAP(TKVUPDATESQL),
    KV_BITMAP(TKVSCRIPT),
    KV_BITMAP(TKVMONITOR),
    KV_BITMAP(TKVSQLBASESERVER),
    {"TKVABOUTDLG", "RCDATA", KVResource_KVAbout_dfm, KVResource_KVAbout_dfm_size},
    {"TKVUPDATESQLEDITFORM", "RCDATA", KVResource_KVUpdSEd_dfm, KVResource_KVUpdSEd_dfm_size},
    {"DESCRIPTION", "TEXT", Bytes(PackageDescription), std::char_traits<char>::length(PackageDescription)},
};
#undef KV_BITMAP

void FinalizeUnits(std::size_t Count) {
  while (Count > 0) {
    const TPackageUnit& unit = Units[--Count];
    if (unit.Finalization) unit.Finalization();
  }
}

}  // namespace

extern "C" {

const KorvPackageInfo* KorvPackageGetInfo() { return &PackageInfo; }

void KorvPackageInitialize() {
  std::size_t done = 0;
  try {
    for (; done < Units.size(); ++done)
      if (Units[done].Initialization) Units[done].Initialization();
  } catch (...) {
    FinalizeUnits(done);
    throw;
  }
}

void KorvPackageRegister() { dclkorv::Register(); }

void KorvPackageFinalize() { FinalizeUnits(Units.size()); }

const KorvPackageResource* KorvPackageFindResource(const char* Name) {
  if (!Name) return nullptr;
  for (const KorvPackageResource& resource : Resources)
    if (rtl::SameText(resource.Name, Name)) return &resource;
  return nullptr;
}

}  // extern "C"
