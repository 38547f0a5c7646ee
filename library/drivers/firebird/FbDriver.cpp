// The Firebird driver: attaches through the Firebird 3 client library, to a database file by the
// embedded engine in this process or to a server, and registers itself for stFirebird.
#include "FbConnection.h"

#include "korv/drivers/Registry.h"
#include "korv/firebird/FbAddress.h"
#include "korv/firebird/FbDatabase.h"
#include "rtl/Exceptions.h"
#include "rtl/SysUtils.h"

#include <fmt/format.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace korv::drivers::firebird {

namespace {

// What Debian's embedded engine needs, found on Debian 12 with Firebird 3.0.11:
// - libfbclient loads the engine (plugins/libEngine12.so of firebird3.0-server-core) through the
//   Providers list of /etc/firebird/3.0/firebird.conf (default Remote,Engine12,Loopback); a plain
//   file name goes to the engine, so no server is needed. The attachment asks for Providers=Engine12
//   alone, so that a file name never reaches a server that happens to run on this machine.
// - No security database is read in-process: the engine takes the user name it is given (we give
//   SYSDBA when none is set, the owner of what CreateDatabase makes) and checks SQL rights only.
// - The engine keeps its lock and shared-memory files in /tmp/firebird, which the first process
//   makes with mode 0770 for its own user: a process of another user (a normal user after root
//   in CI) then cannot attach at all, and the folder stays behind. So, unless FIREBIRD_LOCK is
//   set already, the driver points it at a folder of its own process before the client library
//   first reads it, and removes that folder when the process ends. That is safe because the
//   engine (ServerMode Super) locks the database file itself: a second process attaching the same
//   file is refused ("Database already opened with engine instance, incompatible with current")
//   whatever lock folder it uses.
class TEmbeddedLockFolder {
public:
  TEmbeddedLockFolder() {
    if (std::getenv("FIREBIRD_LOCK")) return;
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "korv-firebird-XXXXXX").string();
    if (ec || !::mkdtemp(pattern.data())) return;  // the engine's default folder is all that is left
    FPath = pattern;
    ::setenv("FIREBIRD_LOCK", FPath.c_str(), 1);
  }
  ~TEmbeddedLockFolder() {
    if (FPath.empty()) return;
    fb_shutdown(0, fb_shutrsn_exit_called);  // the engine closes its files before they go
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }

private:
  std::string FPath;
};

void PrepareClientLibrary() {
  static std::once_flag once;
  static std::unique_ptr<TEmbeddedLockFolder> folder;
  std::call_once(once, [] { folder = std::make_unique<TEmbeddedLockFolder>(); });
}

// Builds a database parameter block.
class TDpb {
public:
  TDpb() { FBytes.push_back(isc_dpb_version1); }
  void Add(char item, const std::string& value) {
    if (value.size() > 255)
      throw rtl::EDatabaseError(fmt::format("The connection parameter \"{}...\" is too long", value.substr(0, 20)));
    FBytes.push_back(item);
    FBytes.push_back(static_cast<char>(value.size()));
    FBytes += value;
  }
  void AddNumber(char item, unsigned value) {
    FBytes.push_back(item);
    FBytes.push_back(4);
    for (int i = 0; i < 4; ++i) FBytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
  short Length() const { return static_cast<short>(FBytes.size()); }
  const char* Data() const { return FBytes.data(); }

private:
  std::string FBytes;
};

struct TTarget {
  std::string Name;  // what the client library is given
  bool Embedded = false;
};

TTarget TargetOf(const ConnectionSpec& spec) {
  if (rtl::Trim(spec.RemoteDatabase).empty())
    throw rtl::EDatabaseError("Cannot open a Firebird database: no database file or server is given");
  if (IsServerAddress(spec.RemoteDatabase)) return {spec.RemoteDatabase, false};
  std::filesystem::path file(spec.RemoteDatabase);
  if (file.is_relative() && !spec.BaseDir.empty()) file = std::filesystem::path(spec.BaseDir) / file;
  return {file.string(), true};
}

// The parameters a connection and a creation share: user, password, role, character set.
TDpb ConnectionDpb(const ConnectionSpec& spec, bool embedded) {
  std::string user, password, role, charset = "UTF8";
  for (const auto& [name, value] : spec.Params) {
    const std::string key = rtl::Trim(name);
    if (rtl::SameText(key, "USER NAME"))
      user = value;
    else if (rtl::SameText(key, "PASSWORD"))
      password = value;
    else if (rtl::SameText(key, "ROLE"))
      role = value;
    else if (rtl::SameText(key, "CHARSET"))
      charset = value;
  }
  if (user.empty() && embedded) user = "SYSDBA";
  TDpb dpb;
  dpb.Add(isc_dpb_utf8_filename, "");  // the file name is UTF-8, as every string of the library
  if (!user.empty()) dpb.Add(isc_dpb_user_name, user);
  if (!password.empty()) dpb.Add(isc_dpb_password, password);
  if (!role.empty()) dpb.Add(isc_dpb_sql_role_name, role);
  dpb.Add(isc_dpb_lc_ctype, charset);
  if (embedded) dpb.Add(isc_dpb_config, "Providers=Engine12");
  return dpb;
}

class TFbDriver final : public Driver {
public:
  std::string Name() const override { return GetServerTypeName(TKVServerType::stFirebird); }
  bool SupportsObjOwner() const override { return false; }
  bool ProcedureDescriptionsAvailable() const override { return true; }
  std::unique_ptr<Connection> Connect(const ConnectionSpec& spec) override;
};

std::unique_ptr<Connection> TFbDriver::Connect(const ConnectionSpec& spec) {
  PrepareClientLibrary();
  const TTarget target = TargetOf(spec);
  std::error_code ec;
  if (target.Embedded && !std::filesystem::exists(target.Name, ec))
    throw rtl::EDatabaseError(
        fmt::format("Cannot open Firebird database \"{}\": the file does not exist", target.Name));
  const TDpb dpb = ConnectionDpb(spec, target.Embedded);
  auto attachment = std::make_unique<TFbAttachment>();
  TFbStatus status;
  isc_attach_database(&status, 0, target.Name.c_str(), &*attachment, dpb.Length(), dpb.Data());
  if (status.Failed())
    throw rtl::EDatabaseError(fmt::format("Cannot open Firebird database \"{}\": {}", target.Name, status.Message()));
  return std::make_unique<TFbConnection>(std::move(attachment), spec.OnTrace);
}

[[maybe_unused]] const bool Registered = [] {
  RegisterDriver(TKVServerType::stFirebird, [] { return std::make_unique<TFbDriver>(); });
  return true;
}();

}  // namespace

void CreateDatabase(const ConnectionSpec& spec) {
  PrepareClientLibrary();
  const TTarget target = TargetOf(spec);
  TDpb dpb = ConnectionDpb(spec, target.Embedded);
  dpb.AddNumber(isc_dpb_page_size, 8192);
  dpb.AddNumber(isc_dpb_sql_dialect, kDialect);
  dpb.Add(isc_dpb_set_db_charset, "UTF8");
  TFbAttachment attachment;
  TFbStatus status;
  isc_create_database(&status, 0, target.Name.c_str(), &attachment, dpb.Length(), dpb.Data(), 0);
  if (status.Failed())
    throw rtl::EDatabaseError(fmt::format("Cannot create Firebird database \"{}\": {}", target.Name, status.Message()));
}

}  // namespace korv::drivers::firebird
