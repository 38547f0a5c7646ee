// The about verb's caption: product name and version from the package file's version resource.
#include "KVAbout.h"
#include "KVReg.h"

#include "korv/VersionInfo.h"

namespace dclkorv {

String ProductCaptionOf(const String& FileName) {
  // The resource replaces what it holds; a text it lacks keeps its preset.
  String name = "Korvane";
  String version;
  korv::ReadFileVersInfo(FileName, name, version);
  return name + " " + version;
}

String GetProductCaption() { return ProductCaptionOf(PackageFileName()); }

}  // namespace dclkorv
