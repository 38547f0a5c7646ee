// TRegistry: the per-user registry, kept in an ini file.
//
// The current user's hive lives in ${XDG_CONFIG_HOME:-$HOME/.config}/korvane/registry.ini: one
// section per key path ("[Software\Korvane]"), one "name=value" line per string value; key
// paths and value names ignore letter case. Only HKEY_CURRENT_USER holds anything: under
// another root every key is missing. Opening a missing key without leave to create it creates
// nothing (no file, no folder). Writes replace the file atomically, as TIniFile does.
#pragma once

#include "rtl/Object.h"

#include <cstdint>

namespace rtl {

using HKEY = uintptr_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

RTL_DECLARE_EXCEPTION(ERegistryException, Exception)

class TRegistry : public TObject {
public:
  TRegistry() = default;

  HKEY RootKey() const { return FRootKey; }
  void SetRootKey(HKEY Value);
  // The open key's path ("Software\Korvane"); empty when none is open.
  const String& CurrentPath() const { return FCurrentPath; }

  // Key: absolute with a leading "\", otherwise relative to the open key. Returns whether the
  // key is open; with CanCreate a missing key is created (file and folder as needed).
  // Raises ERegistryException when creating fails.
  bool OpenKey(const String& Key, bool CanCreate);
  bool OpenKeyReadOnly(const String& Key);
  void CloseKey();
  bool KeyExists(const String& Key) const;

  // Values of the open key.
  bool ValueExists(const String& Name) const;
  String ReadString(const String& Name) const;  // empty when absent or no key is open
  // Raises ERegistryException when no key is open for writing or the file cannot be written.
  void WriteString(const String& Name, const String& Value);
  bool DeleteValue(const String& Name);

  // The file that holds the current user's hive.
  static String FileName();

private:
  String FullPath(const String& Key) const;

  HKEY FRootKey = HKEY_CURRENT_USER;
  String FCurrentPath;
  bool FOpen = false;
  bool FReadOnly = false;
};

}  // namespace rtl
