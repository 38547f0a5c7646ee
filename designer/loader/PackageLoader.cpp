#include "designer/PackageLoader.h"

#include "designintf/Registry.h"
#include "korv/VersionInfo.h"
#include "rtl/SysUtils.h"

#include <dlfcn.h>
#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace designer {

namespace {

String DlError(const String& Fallback) {
  const char* e = ::dlerror();
  return e ? String(e) : Fallback;
}

std::vector<String> NullTerminated(const char* const* List) {
  std::vector<String> out;
  for (; List && *List; ++List) out.push_back(*List);
  return out;
}

// Runs an entry point; a failure becomes one message (the exception's, or a plain word for
// anything that is no std::exception).
template <class F>
std::optional<String> Guarded(F&& Call) {
  try {
    Call();
    return std::nullopt;
  } catch (const std::exception& e) {
    return String(e.what());
  } catch (...) {
    return String("an exception of unknown type");
  }
}

// Closes a library handle unless released.
struct TLibraryHandle {
  void* Handle;
  ~TLibraryHandle() {
    if (Handle) ::dlclose(Handle);
  }
  void* Release() { return std::exchange(Handle, nullptr); }
};

}  // namespace

// ---------------------------------------------------------------------------- host packages

const std::vector<String>& HostPackages() {
  static const std::vector<String> names{"rtl200", "vcl200", "designide200", "dcldb200", "Korv200"};
  return names;
}

bool IsHostPackage(const String& Name) {
  const auto& names = HostPackages();
  return std::any_of(names.begin(), names.end(), [&](const String& n) { return rtl::SameText(n, Name); });
}

// ---------------------------------------------------------------------------- TLoadedPackage

TLoadedPackage::~TLoadedPackage() {
  if (FHandle) ::dlclose(FHandle);
}

std::optional<TPackageResource> TLoadedPackage::FindResource(const String& Name) const {
  if (!FFindResource) return std::nullopt;
  const KorvPackageResource* r = FFindResource(Name.c_str());
  if (!r) return std::nullopt;
  return TPackageResource{r->Name ? r->Name : "", r->Type ? r->Type : "",
                          std::string_view(reinterpret_cast<const char*>(r->Data), r->Size)};
}

// ---------------------------------------------------------------------------- TPackageLoader

TPackageLoader::~TPackageLoader() { UnloadAll(); }

TLoadedPackage& TPackageLoader::LoadPackage(const String& FileName) {
  auto fail = [&](const String& Reason) -> EPackageError {
    return EPackageError("Cannot load package " + FileName + ": " + Reason);
  };
  std::error_code ec;
  std::filesystem::path path = std::filesystem::absolute(FileName, ec);
  if (ec) path = FileName;
  if (!std::filesystem::is_regular_file(path, ec)) throw fail("no such file");

  ::dlerror();
  TLibraryHandle lib{::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)};
  if (!lib.Handle) throw fail(DlError("the library could not be opened"));

  auto entry = [&](const char* Name) {
    ::dlerror();
    void* sym = ::dlsym(lib.Handle, Name);
    return sym;
  };
  auto getInfo = reinterpret_cast<KorvPackageGetInfoProc>(entry(KORV_PACKAGE_GET_INFO));
  auto initialize = reinterpret_cast<KorvPackageProc>(entry(KORV_PACKAGE_INITIALIZE));
  auto registerProc = reinterpret_cast<KorvPackageProc>(entry(KORV_PACKAGE_REGISTER));
  auto finalize = reinterpret_cast<KorvPackageProc>(entry(KORV_PACKAGE_FINALIZE));
  auto findResource = reinterpret_cast<KorvPackageFindResourceProc>(entry(KORV_PACKAGE_FIND_RESOURCE));
  for (auto [proc, name] : {std::pair<bool, const char*>{getInfo != nullptr, KORV_PACKAGE_GET_INFO},
                            {initialize != nullptr, KORV_PACKAGE_INITIALIZE},
                            {registerProc != nullptr, KORV_PACKAGE_REGISTER},
                            {finalize != nullptr, KORV_PACKAGE_FINALIZE}})
    if (!proc) throw fail(String("not a design-time package (it exports no ") + name + ")");

  const KorvPackageInfo* info = nullptr;
  if (auto error = Guarded([&] { info = getInfo(); })) throw fail(*error);
  if (!info) throw fail("the package gives no description");
  if (info->AbiVersion != KORV_PACKAGE_ABI_VERSION)
    throw fail(fmt::format("it was built for package interface version {}; this designer has version {}",
                           info->AbiVersion, KORV_PACKAGE_ABI_VERSION));
  if (!info->Name || !*info->Name) throw fail("the package gives no name");

  auto package = std::unique_ptr<TLoadedPackage>(new TLoadedPackage());
  TPackageInfo& meta = package->FInfo;
  meta.Name = info->Name;
  meta.Description = info->Description ? info->Description : "";
  meta.Requires = NullTerminated(info->Requires);
  meta.Contains = NullTerminated(info->Contains);
  meta.DesignOnly = info->DesignOnly;
  meta.FileName = path.string();
  korv::ReadFileVersInfo(meta.FileName, meta.ProductName, meta.Version);
  if (FindPackage(meta.Name)) throw fail("a package named " + meta.Name + " is already loaded");
  for (const String& required : meta.Requires)
    if (!IsHostPackage(required) && !FindPackage(required))
      throw fail("it requires the package " + required + ", which is not loaded");

  if (auto error = Guarded(initialize)) throw fail("its initialization failed: " + *error);
  // From here on the package's units are initialized: a failure finalizes them again.
  std::optional<String> error;
  {
    designintf::TPackageRegistrationScope scope(meta.Name);
    error = Guarded(registerProc);
  }
  if (error) {
    designintf::UnregisterPackage(meta.Name);
    Guarded(finalize);
    throw fail("its registration failed: " + *error);
  }

  package->FFinalize = finalize;
  package->FFindResource = findResource;
  package->FInitialized = true;
  package->FHandle = lib.Release();
  FPackages.push_back(std::move(package));
  return *FPackages.back();
}

void TPackageLoader::UnloadPackage(TLoadedPackage& Package) {
  auto it = std::find_if(FPackages.begin(), FPackages.end(), [&](const auto& p) { return p.get() == &Package; });
  if (it == FPackages.end()) return;
  std::unique_ptr<TLoadedPackage> package = std::move(*it);
  FPackages.erase(it);
  if (package->FInitialized && package->FFinalize) Guarded(package->FFinalize);
  package->FInitialized = false;
  designintf::UnregisterPackage(package->Name());
  // The library closes as the package object goes.
}

void TPackageLoader::UnloadAll() {
  while (!FPackages.empty()) UnloadPackage(*FPackages.back());
}

std::vector<TLoadedPackage*> TPackageLoader::Packages() const {
  std::vector<TLoadedPackage*> out;
  for (const auto& p : FPackages) out.push_back(p.get());
  return out;
}

TLoadedPackage* TPackageLoader::FindPackage(const String& Name) const {
  for (const auto& p : FPackages)
    if (rtl::SameText(p->Name(), Name)) return p.get();
  return nullptr;
}

std::optional<TPackageResource> TPackageLoader::FindResource(const String& Name) const {
  for (const auto& p : FPackages)
    if (auto r = p->FindResource(Name)) return r;
  return std::nullopt;
}

// ---------------------------------------------------------------------------- locations

String ProgramFolder() {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return self.parent_path().string();
}

String DefaultPackageFileName() {
  if (const char* env = std::getenv("KORV_PACKAGE"); env && *env) return env;
  return (std::filesystem::path(ProgramFolder()) / ".." / "lib" / "libDclKorv200.so").lexically_normal().string();
}

}  // namespace designer
