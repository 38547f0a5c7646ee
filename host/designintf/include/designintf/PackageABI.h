// The entry points a design-time package exports, found by name after the designer loads the
// package's shared library (as an IDE loads a package), and the data they describe.
//
// Order of calls: KorvPackageGetInfo (any time), KorvPackageInitialize (the package's unit
// initializations, in unit order), KorvPackageRegister (its Register, once per load),
// KorvPackageFinalize (unit finalizations in reverse order) before the library is unloaded.
// Failures are C++ exceptions derived from rtl::Exception; designer and package share one
// C++ runtime.
#pragma once

#include <cstddef>

// The version of this interface. A package records the version it was built against in the first
// member of its KorvPackageInfo, which keeps its place in every version, so that the designer can
// refuse a package of another version before reading anything else of it.
#define KORV_PACKAGE_ABI_VERSION 1

extern "C" {

struct KorvPackageInfo {
  int AbiVersion;               // KORV_PACKAGE_ABI_VERSION of the host the package was built against
  const char* Name;             // "DclKorv200"
  const char* Description;      // shown in the list of installed packages
  const char* const* Requires;  // packages it needs (the host's own or design-time packages loaded
                                // before it), nullptr-terminated
  const char* const* Contains;  // its units, in initialization order, nullptr-terminated
  bool DesignOnly;              // loadable by the designer only, never by an application
};

// A compiled resource of the package: a palette bitmap (a BMP file image), a form description
// (text form file), the package description.
struct KorvPackageResource {
  const char* Name;  // upper-case for bitmaps: "TKVQUERY"
  const char* Type;  // "BITMAP", "RCDATA", "TEXT"
  const unsigned char* Data;
  std::size_t Size;
};

using KorvPackageGetInfoProc = const KorvPackageInfo* (*)();
using KorvPackageProc = void (*)();
using KorvPackageFindResourceProc = const KorvPackageResource* (*)(const char* Name);

}  // extern "C"

#define KORV_PACKAGE_GET_INFO "KorvPackageGetInfo"
#define KORV_PACKAGE_INITIALIZE "KorvPackageInitialize"
#define KORV_PACKAGE_REGISTER "KorvPackageRegister"
#define KORV_PACKAGE_FINALIZE "KorvPackageFinalize"
#define KORV_PACKAGE_FIND_RESOURCE "KorvPackageFindResource"
