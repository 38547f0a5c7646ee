// The package loader: loads a design-time package's shared library as an IDE loads a package,
// calls its entry points (designintf/PackageABI.h) and takes it away again.
//
// LoadPackage opens the library (the runtime library it needs is already loaded: the designer
// links it), reads the package's description, runs its unit initializations, then its Register
// with every registration recorded as the package's. A package that cannot be opened, is no
// package, or fails to initialize or register raises EPackageError naming the file and the
// reason, and leaves nothing behind: what was registered is removed, what was initialized is
// finalized, the library is closed. UnloadPackage finalizes the package, removes its
// registrations and closes the library.
#pragma once

#include "designintf/PackageABI.h"
#include "rtl/Exceptions.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace designer {

using rtl::String;

RTL_DECLARE_EXCEPTION(EPackageError, rtl::Exception)

// What a loaded package says about itself, and the version its file carries.
struct TPackageInfo {
  String Name;
  String Description;
  std::vector<String> Requires;
  std::vector<String> Contains;  // units, in initialization order
  bool DesignOnly = false;
  String ProductName;  // from the file's version resource ("" when it has none)
  String Version;
  String FileName;  // as loaded (absolute)
};

// A compiled resource of a package: the bytes stay valid while the package is loaded.
struct TPackageResource {
  String Name;
  String Type;
  std::string_view Data;
};

class TLoadedPackage {
public:
  ~TLoadedPackage();
  TLoadedPackage(const TLoadedPackage&) = delete;
  TLoadedPackage& operator=(const TLoadedPackage&) = delete;

  const TPackageInfo& Info() const { return FInfo; }
  const String& Name() const { return FInfo.Name; }
  // A resource by name (letter case ignored), e.g. the palette bitmap "TKVQUERY".
  std::optional<TPackageResource> FindResource(const String& Name) const;

private:
  friend class TPackageLoader;
  TLoadedPackage() = default;

  void* FHandle = nullptr;
  TPackageInfo FInfo;
  KorvPackageProc FFinalize = nullptr;
  KorvPackageFindResourceProc FFindResource = nullptr;
  bool FInitialized = false;
};

class TPackageLoader {
public:
  TPackageLoader() = default;
  // Unloads the packages still loaded, the last loaded first.
  ~TPackageLoader();
  TPackageLoader(const TPackageLoader&) = delete;
  TPackageLoader& operator=(const TPackageLoader&) = delete;

  // Loads, initializes and registers the package in FileName. Raises EPackageError (the file
  // and the reason) for a file that cannot be loaded, a library that is no package, a package
  // of another interface version, a package of that name already loaded, a required package
  // missing, or a failing initialization or registration.
  TLoadedPackage& LoadPackage(const String& FileName);
  // Finalizes the package, removes its registrations and closes its library. Errors of the
  // package's finalization are not raised: the package goes regardless.
  void UnloadPackage(TLoadedPackage& Package);
  void UnloadAll();

  // In load order.
  std::vector<TLoadedPackage*> Packages() const;
  TLoadedPackage* FindPackage(const String& Name) const;  // letter case ignored
  // The first resource of that name among the loaded packages.
  std::optional<TPackageResource> FindResource(const String& Name) const;

private:
  std::vector<std::unique_ptr<TLoadedPackage>> FPackages;
};

// The runtime packages the designer provides itself, being linked with them: the host's run-time,
// controls and design-time interfaces, the database design editors and the runtime library.
const std::vector<String>& HostPackages();
bool IsHostPackage(const String& Name);  // letter case ignored

// The package the designer loads when none is named: KORV_PACKAGE when set, else
// ../lib/libDclKorv200.so beside the running program (bin/).
String DefaultPackageFileName();
// The folder of the running program.
String ProgramFolder();

}  // namespace designer
