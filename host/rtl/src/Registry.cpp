#include "rtl/Registry.h"

#include "IniDocument.h"

#include <cstdlib>
#include <filesystem>

namespace rtl {

namespace {

// "\A\\B\" -> "A\B": no empty parts, no separators at the ends.
String NormalizeKey(const String& Key) {
  String out;
  size_t i = 0;
  while (i < Key.size()) {
    size_t j = Key.find('\\', i);
    if (j == String::npos) j = Key.size();
    if (j > i) {
      if (!out.empty()) out += '\\';
      out.append(Key, i, j - i);
    }
    i = j + 1;
  }
  return out;
}

// Whether the hive holds the key: as a section of its own, or as the parent of one.
bool HasKey(const TIniDocument& doc, const String& Path) {
  if (Path.empty()) return true;
  String prefix = FoldCase(Path + "\\");
  for (const String& s : doc.Sections()) {
    if (SameText(s, Path)) return true;
    String folded = FoldCase(s);
    if (folded.compare(0, prefix.size(), prefix) == 0) return true;
  }
  return false;
}

}  // namespace

String TRegistry::FileName() {
  namespace fs = std::filesystem;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  fs::path base;
  if (xdg && *xdg) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = fs::path(home && *home ? home : ".") / ".config";
  }
  return (base / "korvane" / "registry.ini").string();
}

void TRegistry::SetRootKey(HKEY Value) {
  if (Value == FRootKey) return;
  CloseKey();
  FRootKey = Value;
}

String TRegistry::FullPath(const String& Key) const {
  if (!Key.empty() && Key[0] == '\\') return NormalizeKey(Key);
  return NormalizeKey(FCurrentPath + "\\" + Key);
}

bool TRegistry::OpenKey(const String& Key, bool CanCreate) {
  if (FRootKey != HKEY_CURRENT_USER) return false;
  String path = FullPath(Key);
  bool exists = HasKey(TIniDocument(FileName(), false), path);
  if (!exists) {
    if (!CanCreate) return false;
    try {
      TIniDocument::CheckWritable(path, "", "");
      std::filesystem::create_directories(std::filesystem::path(FileName()).parent_path());
      TIniDocument doc(FileName(), true);
      doc.AddSection(path);
      doc.Save();
    } catch (const Exception& e) {
      throw ERegistryException("Failed to create key " + path + ": " + e.Message());
    } catch (const std::filesystem::filesystem_error& e) {
      throw ERegistryException("Failed to create key " + path + ": " + e.what());
    }
  }
  FCurrentPath = path;
  FOpen = true;
  FReadOnly = false;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const String& Key) {
  if (!OpenKey(Key, false)) return false;
  FReadOnly = true;
  return true;
}

void TRegistry::CloseKey() {
  FCurrentPath.clear();
  FOpen = false;
  FReadOnly = false;
}

bool TRegistry::KeyExists(const String& Key) const {
  if (FRootKey != HKEY_CURRENT_USER) return false;
  return HasKey(TIniDocument(FileName(), false), FullPath(Key));
}

bool TRegistry::ValueExists(const String& Name) const {
  if (!FOpen) return false;
  return TIniDocument(FileName(), false).Value(FCurrentPath, Name) != nullptr;
}

String TRegistry::ReadString(const String& Name) const {
  if (!FOpen) return {};
  const TIniDocument doc(FileName(), false);
  const String* v = doc.Value(FCurrentPath, Name);
  return v ? *v : String();
}

void TRegistry::WriteString(const String& Name, const String& Value) {
  if (!FOpen || FReadOnly)
    throw ERegistryException("Failed to set data for '" + Name + "': no key is open for writing");
  try {
    TIniDocument::CheckWritable(FCurrentPath, Name, Value);
    if (Trim(Name).empty()) throw EIniFileException("a value needs a name");
    std::filesystem::create_directories(std::filesystem::path(FileName()).parent_path());
    TIniDocument doc(FileName(), true);
    doc.Set(FCurrentPath, Name, Value);
    doc.Save();
  } catch (const Exception& e) {
    throw ERegistryException("Failed to set data for '" + Name + "': " + e.Message());
  } catch (const std::filesystem::filesystem_error& e) {
    throw ERegistryException("Failed to set data for '" + Name + "': " + e.what());
  }
}

bool TRegistry::DeleteValue(const String& Name) {
  if (!FOpen || FReadOnly) return false;
  try {
    TIniDocument doc(FileName(), true);
    if (!doc.DeleteKey(FCurrentPath, Name)) return false;
    doc.Save();
  } catch (const Exception& e) {
    throw ERegistryException("Failed to delete value '" + Name + "': " + e.Message());
  }
  return true;
}

}  // namespace rtl
