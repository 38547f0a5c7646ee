// The string-list file system "Delphi.TStringsFileSystem": a code-editor module on it is the
// text of a component's string-list property.
//
// GetTStringsProperty ties a module name to a component and the name of one of its published
// TStrings properties. Reading the module gives the property's text; saving the module writes
// the text (UTF-8) into the property and tells the designer of the component's module that it
// changed. When the component is destroyed, its modules are closed without saving. Module
// names are "<designer extension>.<root>.<component>.<property>" (dfm.Form1.Query1.SQL).
#pragma once

#include "rtl/Component.h"
#include "rtl/Strings.h"
#include "toolsapi/ToolsAPI.h"

#include <vector>

namespace toolsapi {

inline constexpr const char* sTStringsFileSystem = "Delphi.TStringsFileSystem";

class TStringsFileSystem : public TInterfacedObject, public IOTAFileSystem {
public:
  // A module name tied to a property.
  class TEntry {
  public:
    const String& Name() const { return FName; }
    rtl::TComponent* Component() const { return FComponent; }
    const String& PropName() const { return FPropName; }
    // The time stamp of the text last written (rtl::DateTimeToFileDate).
    int64_t DiskAge() const { return FDiskAge; }
    void SetDiskAge(int64_t Value) { FDiskAge = Value; }

  private:
    friend class TStringsFileSystem;
    String FName;
    rtl::TComponent* FComponent = nullptr;
    String FPropName;
    int64_t FDiskAge = -1;
  };

  TStringsFileSystem();
  ~TStringsFileSystem() override;

  // Ties Name (letter case ignored) to property PropName of Component and returns the entry
  // (the existing one re-tied when the name is known). An empty name ties nothing: the entry
  // returned then belongs to no module.
  TEntry* GetTStringsProperty(const String& Name, rtl::TComponent* Component, const String& PropName);
  TEntry* FindEntry(const String& Name);
  int EntryCount() const { return static_cast<int>(FEntries.size()); }

  // The names of Component's entries (and its owned components') follow a rename of it; the
  // open modules are renamed too.
  void ComponentRenamed(rtl::TComponent* Component);

  // IOTAFileSystem
  String GetIDString() override { return sTStringsFileSystem; }
  String LoadText(const String& FileName) override;
  void SaveText(const String& FileName, const String& Text) override;
  bool FileExists(const String& FileName) override;
  int64_t FileAge(const String& FileName) override;
  bool IsFileBased() override { return false; }
  bool IsReadonly(const String& FileName) override;
  bool DeleteFile(const String&) override { return false; }
  bool RenameFile(const String&, const String&) override { return false; }

private:
  class TNotifier;
  rtl::TStrings* Strings(TEntry& Entry);
  void ComponentDestroyed(rtl::TComponent* Component);
  TEntry& Tied(const String& FileName);

  std::vector<std::unique_ptr<TEntry>> FEntries;
  TEntry FDetached;
  std::unique_ptr<TNotifier> FNotifier;
};

// The module name of property PropName of Component in Designer's module: empty unless the
// designer's root owns Component and has a name.
String StringsModuleName(const String& DesignerExtension, rtl::TComponent* Root, rtl::TComponent* Component,
                         const String& PropName);

// The one string-list file system, nil until StFilSys::Register first runs.
extern std::shared_ptr<TStringsFileSystem> StringsFileSystem;

namespace StFilSys {
// Makes the file system available to the module services (BorlandIDEServices); repeated calls
// are harmless. Raises EIntfCastError when the designer offers no module services.
void Register();
// Withdraws it from the module services and drops it.
void Unregister();
}  // namespace StFilSys

}  // namespace toolsapi
