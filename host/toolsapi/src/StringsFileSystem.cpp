#include "toolsapi/StringsFileSystem.h"

#include "designintf/Designer.h"
#include "rtl/SysUtils.h"

#include <algorithm>

namespace toolsapi {

std::shared_ptr<TStringsFileSystem> StringsFileSystem;

// Hears of the end of every component a module is tied to.
class TStringsFileSystem::TNotifier : public rtl::TComponent {
public:
  explicit TNotifier(TStringsFileSystem* AFileSystem) : rtl::TComponent(nullptr), FFileSystem(AFileSystem) {}

  void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override {
    rtl::TComponent::Notification(AComponent, Operation);
    if (Operation == rtl::TOperation::opRemove) FFileSystem->ComponentDestroyed(AComponent);
  }

private:
  TStringsFileSystem* FFileSystem;
};

TStringsFileSystem::TStringsFileSystem() : FNotifier(std::make_unique<TNotifier>(this)) {}

TStringsFileSystem::~TStringsFileSystem() = default;

TStringsFileSystem::TEntry* TStringsFileSystem::FindEntry(const String& Name) {
  if (Name.empty()) return nullptr;
  for (auto& e : FEntries)
    if (rtl::SameText(e->FName, Name)) return e.get();
  return nullptr;
}

TStringsFileSystem::TEntry* TStringsFileSystem::GetTStringsProperty(const String& Name, rtl::TComponent* Component,
                                                                    const String& PropName) {
  if (Name.empty()) {
    FDetached = TEntry();
    return &FDetached;
  }
  TEntry* entry = FindEntry(Name);
  if (!entry) {
    FEntries.push_back(std::make_unique<TEntry>());
    entry = FEntries.back().get();
  }
  entry->FName = Name;
  entry->FComponent = Component;
  entry->FPropName = PropName;
  if (Component) FNotifier->FreeNotification(Component);
  return entry;
}

TStringsFileSystem::TEntry& TStringsFileSystem::Tied(const String& FileName) {
  TEntry* entry = FindEntry(FileName);
  if (!entry || !entry->FComponent)
    throw rtl::EFOpenError("The module " + FileName + " is not tied to a string-list property");
  return *entry;
}

rtl::TStrings* TStringsFileSystem::Strings(TEntry& Entry) {
  const rtl::TPropInfo* p = rtl::GetPropInfo(Entry.FComponent, Entry.FPropName);
  auto* strings = p && p->Kind() == rtl::TTypeKind::tkClass
                      ? dynamic_cast<rtl::TStrings*>(rtl::GetObjectProp(Entry.FComponent, p))
                      : nullptr;
  if (!strings) throw rtl::EFOpenError(Entry.FComponent->Name() + " has no string-list property " + Entry.FPropName);
  return strings;
}

String TStringsFileSystem::LoadText(const String& FileName) { return Strings(Tied(FileName))->Text(); }

void TStringsFileSystem::SaveText(const String& FileName, const String& Text) {
  TEntry& entry = Tied(FileName);
  rtl::TStrings* strings = Strings(entry);
  static const String bom = "\xEF\xBB\xBF";
  strings->SetText(Text.compare(0, bom.size(), bom) == 0 ? Text.substr(bom.size()) : Text);
  entry.FDiskAge = rtl::DateTimeToFileDate(rtl::Now());
  if (designintf::IDesigner* designer = designintf::FindRootDesigner(entry.FComponent)) designer->Modified();
}

bool TStringsFileSystem::FileExists(const String& FileName) {
  TEntry* entry = FindEntry(FileName);
  return entry && entry->FComponent;
}

int64_t TStringsFileSystem::FileAge(const String& FileName) {
  TEntry* entry = FindEntry(FileName);
  return entry ? entry->FDiskAge : -1;
}

bool TStringsFileSystem::IsReadonly(const String&) { return false; }

void TStringsFileSystem::ComponentDestroyed(rtl::TComponent* Component) {
  std::vector<String> names;
  std::erase_if(FEntries, [&](const std::unique_ptr<TEntry>& e) {
    if (e->FComponent != Component) return false;
    names.push_back(e->FName);
    return true;
  });
  auto services = Supports<IOTAModuleServices>(BorlandIDEServices);
  if (!services) return;
  for (const String& name : names)
    if (auto module = services->FindModule(name)) module->CloseModule(true);
}

void TStringsFileSystem::ComponentRenamed(rtl::TComponent* Component) {
  auto services = Supports<IOTAModuleServices>(BorlandIDEServices);
  for (auto& e : FEntries) {
    if (!e->FComponent || (e->FComponent != Component && e->FComponent->Owner() != Component)) continue;
    designintf::IDesigner* designer = designintf::FindRootDesigner(e->FComponent);
    if (!designer) continue;
    String name = StringsModuleName(designer->GetDesignerExtension(), designer->GetRoot(), e->FComponent, e->FPropName);
    if (name.empty() || name == e->FName) continue;
    if (services)
      if (auto module = services->FindModule(e->FName)) module->SetFileName(name);
    e->FName = name;
  }
}

String StringsModuleName(const String& DesignerExtension, rtl::TComponent* Root, rtl::TComponent* Component,
                         const String& PropName) {
  if (!Root || !Component || Component->Owner() != Root || Root->Name().empty()) return {};
  return DesignerExtension + "." + Root->Name() + "." + Component->Name() + "." + PropName;
}

namespace StFilSys {

namespace {
// Where the file system was registered last, to withdraw it again.
std::weak_ptr<IOTAModuleServices> RegisteredWith;
int RegisteredIndex = -1;
}  // namespace

void Register() {
  auto services = As<IOTAModuleServices>(BorlandIDEServices);
  if (!StringsFileSystem) StringsFileSystem = std::make_shared<TStringsFileSystem>();
  if (services->FindFileSystem(sTStringsFileSystem) == StringsFileSystem) return;
  RegisteredIndex = services->RegisterFileSystem(StringsFileSystem);
  RegisteredWith = services;
}

void Unregister() {
  if (auto services = RegisteredWith.lock(); services && RegisteredIndex >= 0)
    services->UnregisterFileSystem(RegisteredIndex);
  RegisteredWith.reset();
  RegisteredIndex = -1;
  StringsFileSystem.reset();
}

}  // namespace StFilSys

}  // namespace toolsapi
