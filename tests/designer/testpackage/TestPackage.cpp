// A small design-time package for the package loader's tests. What it does is steered by the
// environment, read at each call:
//   KORV_TEST_PACKAGE_LOG   a file each entry point appends its name to
//   KORV_TEST_PACKAGE_FAIL  "initialize" or "register": that entry point raises (register
//                           after making one registration)
//   KORV_TEST_PACKAGE_ABI   the interface version the package claims to be built against
//   KORV_TEST_PACKAGE_NEEDS a package it requires besides rtl200
#include "designintf/PackageABI.h"
#include "designintf/Registry.h"
#include "rtl/Component.h"
#include "rtl/Exceptions.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

void Log(const char* What) {
  if (const char* file = std::getenv("KORV_TEST_PACKAGE_LOG")) std::ofstream(file, std::ios::app) << What << '\n';
}

bool Fails(const char* Step) {
  const char* fail = std::getenv("KORV_TEST_PACKAGE_FAIL");
  return fail && std::string(fail) == Step;
}

constexpr const char* Contains[] = {"TestUnit", nullptr};

const unsigned char Bitmap[] = {'B', 'M', 0, 0};
const KorvPackageResource Resources[] = {{"TTESTTHING", "BITMAP", Bitmap, sizeof Bitmap}};

}  // namespace

extern "C" {

const KorvPackageInfo* KorvPackageGetInfo() {
  static std::string needs;
  static const char* requiresList[] = {"rtl200", nullptr, nullptr};
  static KorvPackageInfo info{0, "TestPackage", "Package loader test package", requiresList, Contains, true};
  const char* abi = std::getenv("KORV_TEST_PACKAGE_ABI");
  info.AbiVersion = abi ? std::atoi(abi) : KORV_PACKAGE_ABI_VERSION;
  const char* need = std::getenv("KORV_TEST_PACKAGE_NEEDS");
  needs = need ? need : "";
  requiresList[1] = needs.empty() ? nullptr : needs.c_str();
  return &info;
}

void KorvPackageInitialize() {
  if (Fails("initialize")) throw rtl::Exception("the settings folder is unreadable");
  Log("initialize");
}

void KorvPackageRegister() {
  Log("register");
  designintf::RegisterComponents("Test Page", {rtl::TComponent::StaticClass()});
  designintf::RegisterPropertiesInCategory("Testing", nullptr, {"Test*"});
  if (Fails("register")) throw rtl::Exception("a registration went wrong");
}

void KorvPackageFinalize() { Log("finalize"); }

const KorvPackageResource* KorvPackageFindResource(const char* Name) {
  for (const KorvPackageResource& r : Resources)
    if (std::string(r.Name) == Name) return &r;
  return nullptr;
}

}  // extern "C"
