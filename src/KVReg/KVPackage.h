// The package's exported entry points (see designintf/PackageABI.h), declared for programs that
// link the package directly instead of finding them by name.
#pragma once

#include "designintf/PackageABI.h"

extern "C" {

// Name, description, required packages, units, design-only.
const KorvPackageInfo* KorvPackageGetInfo();
// The unit initializations in unit order: KVAbout, KVUpdSEd, KVReg. An exception fails the
// load; the units initialized before it are finalized again first.
void KorvPackageInitialize();
// Register of unit KVReg.
void KorvPackageRegister();
// The unit finalizations in reverse order.
void KorvPackageFinalize();
// A compiled resource by name (letter case ignored): the palette bitmaps by component class
// name in capitals ("TKVQUERY", type "BITMAP"), the form descriptions by form class name
// ("TKVABOUTDLG", "TKVUPDATESQLEDITFORM", type "RCDATA"), the package description
// ("DESCRIPTION", type "TEXT"). Nil for any other name.
const KorvPackageResource* KorvPackageFindResource(const char* Name);

}  // extern "C"
