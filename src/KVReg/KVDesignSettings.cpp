#include "KVDesignSettings.h"

#include "rtl/Registry.h"
#include "rtl/SysUtils.h"

#include <filesystem>
#include <unordered_map>

namespace dclkorv {

namespace {

constexpr const char* kParamsSection = "TKVDatabase_Params";
constexpr const char* kRecentSection = "RecentDatabases";
constexpr const char* kServerSection = "TKVDatabase";
constexpr const char* kSQLEditorSection = "SQLEditor";
constexpr int kDefaultMaxDbCount = 8;

String ItemKey(int Index) { return rtl::Format("Item{:02d}", Index); }

}  // namespace

TDesignSettings::TDesignSettings()
    : FRecentDatabases(std::make_unique<rtl::TStringList>()), FDbParams(std::make_unique<rtl::TStringList>()) {
  FIniFile = std::make_unique<rtl::TIniFile>((std::filesystem::path(RootDir()) / "korv.ini").string());
}

TDesignSettings::~TDesignSettings() = default;

const String& TDesignSettings::RootDir() {
  if (FRootDir.empty()) {
    rtl::TRegistry reg;
    reg.SetRootKey(rtl::HKEY_CURRENT_USER);
    if (reg.OpenKey("Software\\Korvane", false)) FRootDir = reg.ReadString("RootDir");
    if (!FRootDir.empty() && !rtl::DirectoryExists(FRootDir)) FRootDir.clear();
    if (FRootDir.empty()) FRootDir.assign(1, '.');
  }
  return FRootDir;
}

void TDesignSettings::LoadRecentDatabases() {
  // The section is read once; each ItemNN is then looked up in it, as ReadString would find it
  // (letter case ignored, the first value of a key).
  rtl::TStringList lines;
  FIniFile->ReadSectionValues(kRecentSection, &lines);
  std::unordered_map<String, String> values;
  for (int i = 0; i < lines.Count(); ++i) {
    const String line = lines.Get(i);
    const size_t eq = line.find('=');
    values.emplace(rtl::FoldCase(line.substr(0, eq)), line.substr(eq + 1));
  }
  auto value = [&](const String& Key) {
    auto it = values.find(rtl::FoldCase(Key));
    return it == values.end() ? String() : it->second;
  };
  FRecentDatabases->Clear();
  FMaxDbCount = rtl::StrToIntDef(value("MaxCount"), 0);
  if (FMaxDbCount == 0) FMaxDbCount = kDefaultMaxDbCount;
  for (int i = 0; i < FMaxDbCount; ++i) {
    String item = value(ItemKey(i));
    if (item.empty()) break;
    FRecentDatabases->Add(item);
  }
}

rtl::TStrings* TDesignSettings::RecentDatabases() {
  if (FMaxDbCount == 0) LoadRecentDatabases();
  return FRecentDatabases.get();
}

void TDesignSettings::AddLastUsedDatabase(const String& s) {
  if (s.empty()) return;
  if (FMaxDbCount == 0) LoadRecentDatabases();
  int i = FRecentDatabases->IndexOf(s);
  if (i < 0)
    FRecentDatabases->Insert(0, s);
  else if (i > 0)
    FRecentDatabases->Move(i, 0);
}

void TDesignSettings::LoadDbParams() { FIniFile->ReadSectionValues(kParamsSection, FDbParams.get()); }

rtl::TStrings* TDesignSettings::DbParams() {
  if (FDbParams->Count() == 0) LoadDbParams();
  return FDbParams.get();
}

void TDesignSettings::SaveDbParams(rtl::TStrings* List) {
  std::vector<std::pair<String, String>> values;
  for (int i = 0; i < List->Count(); ++i) {
    String key = List->Names(i);
    values.emplace_back(key, List->Values(key));
  }
  FIniFile->WriteSection(kParamsSection, values);
  FDbParams->Assign(List);
}

korv::TKVServerType TDesignSettings::ReadDefaultServerType() {
  return korv::StrToServerTypeDef(FIniFile->ReadString(kServerSection, "ServerType", String()), korv::DefServerType);
}

void TDesignSettings::WriteDefaultServerType(korv::TKVServerType Value) {
  FIniFile->WriteString(kServerSection, "ServerType", korv::GetServerTypeName(Value));
  korv::DefServerType = Value;
}

bool TDesignSettings::SQLEditor() {
  if (FSQLEditor == korv::TBool3State::bsUnknown)
    FSQLEditor = FIniFile->ReadInteger(kSQLEditorSection, "Enabled", 1) != 0 ? korv::TBool3State::bsTrue
                                                                             : korv::TBool3State::bsFalse;
  return FSQLEditor == korv::TBool3State::bsTrue;
}

void TDesignSettings::SaveAll() noexcept {
  try {
    if (FRecentDatabases->Count() == 0) return;
    std::vector<std::pair<String, String>> values;
    for (int i = 0; i < FRecentDatabases->Count(); ++i) values.emplace_back(ItemKey(i), FRecentDatabases->Get(i));
    if (FMaxDbCount > 0 && FMaxDbCount != kDefaultMaxDbCount)
      values.emplace_back("MaxCount", rtl::IntToStr(FMaxDbCount));
    FIniFile->WriteSection(kRecentSection, values);
  } catch (...) {
    // Unloading the package never fails because of the settings file; the old file stays.
  }
}

}  // namespace dclkorv
