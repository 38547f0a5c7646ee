// The design settings store: preferences that outlive one designer run, kept in "korv.ini" in
// the folder named by the per-user registry value "RootDir" under "Software\Korvane".
#pragma once

#include "korv/KVTypes.h"
#include "korv/ServerTypes.h"
#include "rtl/IniFiles.h"
#include "rtl/Strings.h"

#include <memory>

namespace dclkorv {

using rtl::String;

class TDesignSettings : public rtl::TObject {
public:
  // Looks the folder up and opens the settings file object (which does not touch the disk).
  TDesignSettings();
  ~TDesignSettings() override;  // writes nothing

  // Remote databases used recently, most recent first; loaded on first use.
  rtl::TStrings* RecentDatabases();
  // Default connection parameters, name=value; read from the file whenever the list is empty.
  rtl::TStrings* DbParams();
  const String& RootDir();
  // Whether queries offer the SQL editor dialog; read once, on by default.
  bool SQLEditor();

  // Moves s to the front of the recent list, or inserts it there. An empty name adds nothing.
  void AddLastUsedDatabase(const String& s);
  // Rewrites the default parameters section from List, then makes DbParams a copy of it.
  void SaveDbParams(rtl::TStrings* List);
  korv::TKVServerType ReadDefaultServerType();
  // Stores the type's name, then makes it the library's default server type.
  void WriteDefaultServerType(korv::TKVServerType Value);
  // Writes the recent list back, in one replacement of the file; never raises.
  void SaveAll() noexcept;

  const String& FileName() const { return FIniFile->FileName(); }

private:
  void LoadRecentDatabases();
  void LoadDbParams();

  String FRootDir;
  std::unique_ptr<rtl::TIniFile> FIniFile;
  std::unique_ptr<rtl::TStringList> FRecentDatabases;
  int FMaxDbCount = 0;
  std::unique_ptr<rtl::TStringList> FDbParams;
  korv::TBool3State FSQLEditor = korv::TBool3State::bsUnknown;
};

}  // namespace dclkorv
