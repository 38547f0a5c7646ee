// The version resource of a module: a section ".korv.version" in the ELF file, holding lines
// "Key=Value" (UTF-8, "\n" or NUL between lines). The keys read are ProductName and
// ProductVersion. A module embeds it with KORV_VERSION_RESOURCE in one of its source files:
//
//   KORV_VERSION_RESOURCE("Korvane", "2.0.0");
//
#pragma once

#include <string>

namespace korv {

// The path of the file (shared library or program) that holds addressInModule; empty when the
// address belongs to no loaded file.
std::string GetModuleFileNameStr(const void* addressInModule);

// Sets productName and version from the version resource of fileName. A file that cannot be read,
// is not ELF or has no such section leaves both unchanged; a key that is missing leaves its text
// unchanged.
void ReadFileVersInfo(const std::string& fileName, std::string& productName, std::string& version);

}  // namespace korv

// product and version are string literals. The array is kept by the compiler (used) and by a
// linker that drops unreferenced sections (retain), even though nothing refers to it.
#define KORV_VERSION_RESOURCE(product, version)                                                       \
  [[gnu::used, gnu::retain, gnu::section(".korv.version")]] static const char korvVersionResource[] = \
      "ProductName=" product "\nProductVersion=" version "\n"
