#include "designer/OpenModule.h"

#include "designintf/Registry.h"
#include "rtl/FormBinary.h"
#include "rtl/FormReader.h"
#include "rtl/FormWriter.h"
#include "rtl/SysUtils.h"
#include "toolsapi/StringsFileSystem.h"

#include <algorithm>

namespace designer {

// Hears of the end of selected components.
class TOpenModule::TNotifier : public rtl::TComponent {
public:
  explicit TNotifier(TOpenModule* AModule) : rtl::TComponent(nullptr), FModule(AModule) {}
  void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override {
    rtl::TComponent::Notification(AComponent, Operation);
    if (Operation == rtl::TOperation::opRemove) FModule->ForgetSelected(AComponent);
  }

private:
  TOpenModule* FModule;
};

std::unique_ptr<TOpenModule> TOpenModule::Open(const String& FileName) {
  rtl::TFormReadOptions options;
  options.Designing = true;
  const String bytes = rtl::ReadFileToString(FileName);
  return std::make_unique<TOpenModule>(rtl::ReadModule(bytes, rtl::ExtractFileName(FileName), options), FileName,
                                       rtl::DetectFormFormat(bytes));
}

TOpenModule::TOpenModule(std::unique_ptr<rtl::TComponent> Root, String FileName, rtl::TDfmFormat Format)
    : FRoot(std::move(Root)),
      FFileName(std::move(FileName)),
      FFormat(Format),
      FNotifier(std::make_unique<TNotifier>(this)) {
  if (!FRoot) throw rtl::EComponentError("A module needs a root component");
  FRoot->SetDesigning(true);
  designintf::RegisterDesigner(this);
}

TOpenModule::~TOpenModule() {
  designintf::UnregisterDesigner(this);
  FSelection.clear();
  // The components go first (their code-editor modules close), then the notifier.
  FRoot.reset();
  FNotifier.reset();
}

int TOpenModule::AddModifiedListener(TModifiedListener Listener) {
  int id = FNextListenerId++;
  FListeners.emplace(id, std::move(Listener));
  return id;
}

void TOpenModule::RemoveModifiedListener(int Id) { FListeners.erase(Id); }

void TOpenModule::Modified() {
  ++FModifiedCount;
  FModified = true;
  // A listener may remove itself (or others) while running.
  std::vector<int> ids;
  for (const auto& [id, listener] : FListeners) ids.push_back(id);
  for (int id : ids)
    if (auto it = FListeners.find(id); it != FListeners.end()) {
      TModifiedListener listener = it->second;
      listener();
    }
}

designintf::TDesignerSelections TOpenModule::GetSelections() { return FSelection; }

void TOpenModule::SetSelections(const designintf::TDesignerSelections& List) {
  FSelection.clear();
  for (rtl::TPersistent* p : List) {
    if (!p || std::find(FSelection.begin(), FSelection.end(), p) != FSelection.end()) continue;
    FSelection.push_back(p);
    if (auto* c = dynamic_cast<rtl::TComponent*>(p); c && c != FRoot.get()) FNotifier->FreeNotification(c);
  }
}

void TOpenModule::ForgetSelected(rtl::TPersistent* Obj) { std::erase(FSelection, Obj); }

String TOpenModule::UniqueName(const String& BaseName) {
  String base = BaseName;
  if (base.size() > 1 && (base[0] == 'T' || base[0] == 't')) base = base.substr(1);
  if (!rtl::IsValidIdent(base)) base = "Component";
  for (int n = 1;; ++n) {
    String candidate = base + rtl::IntToStr(n);
    if (!FRoot->FindComponent(candidate) && !rtl::SameText(FRoot->Name(), candidate)) return candidate;
  }
}

void TOpenModule::RenameComponent(rtl::TComponent* Component, const String& NewName) {
  if (!Component) return;
  if (Component->Name() == NewName) return;
  if (Component != FRoot.get() && Component->Owner() != FRoot.get())
    throw rtl::EComponentError("The component is not part of module " + FFileName);
  if (NewName.empty()) throw rtl::EComponentError("A component of a module needs a name");
  Component->SetName(NewName);
  if (toolsapi::StringsFileSystem) toolsapi::StringsFileSystem->ComponentRenamed(Component);
  Modified();
}

rtl::TComponent* TOpenModule::CreateComponent(rtl::TClass ComponentClass, const String& Name) {
  if (!ComponentClass || !ComponentClass->InheritsFrom(rtl::TComponent::StaticClass()))
    throw rtl::EComponentError("Class " + (ComponentClass ? ComponentClass->Name : String("nil")) +
                               " is not a component class");
  String name = Name.empty() ? UniqueName(ComponentClass->Name) : Name;
  if (!rtl::IsValidIdent(name)) throw rtl::EComponentError("'" + name + "' is not a valid component name");
  if (FRoot->FindComponent(name) || rtl::SameText(FRoot->Name(), name))
    throw rtl::EComponentError("A component named " + name + " already exists");
  auto* component = dynamic_cast<rtl::TComponent*>(ComponentClass->Create(FRoot.get()));
  if (!component) throw rtl::EComponentError("Class " + ComponentClass->Name + " made no component");
  if (component->Owner() != FRoot.get()) {
    // A class whose constructor ignores the owner: make the root own it.
    if (component->Owner()) component->Owner()->RemoveComponent(component).release();
    FRoot->InsertComponent(component);
  }
  try {
    component->SetDesigning(true);
    component->SetName(name);
  } catch (...) {
    FRoot->RemoveComponent(component);  // the returned owner destroys it
    throw;
  }
  Modified();
  return component;
}

void TOpenModule::DeleteComponent(rtl::TComponent* Component) {
  if (!Component) return;
  if (Component == FRoot.get()) throw rtl::EComponentError("The root of a module cannot be deleted");
  if (Component->Owner() != FRoot.get()) throw rtl::EComponentError("The component is not part of module " + FFileName);
  ForgetSelected(Component);
  FRoot->RemoveComponent(Component).reset();
  Modified();
}

std::unique_ptr<designintf::TComponentEditor> TOpenModule::GetComponentEditor(rtl::TComponent* Component) {
  return designintf::GetComponentEditor(Component, this);
}

String TOpenModule::Text() const { return rtl::WriteModule(FRoot.get()); }

template <class F>
void TOpenModule::ForEachTextModule(F&& Action) {
  auto services = toolsapi::Supports<toolsapi::IOTAModuleServices>(toolsapi::BorlandIDEServices);
  if (!services || !toolsapi::StringsFileSystem) return;
  std::vector<std::shared_ptr<toolsapi::IOTAModule>> mine;
  for (int i = 0; i < services->GetModuleCount(); ++i) {
    auto module = services->GetModule(i);
    if (!module || !rtl::SameText(module->GetFileSystem(), toolsapi::sTStringsFileSystem)) continue;
    auto* entry = toolsapi::StringsFileSystem->FindEntry(module->GetFileName());
    if (entry && entry->Component() && designintf::FindRootDesigner(entry->Component()) == this) mine.push_back(module);
  }
  for (auto& module : mine)
    if (!Action(*module)) return;
}

void TOpenModule::SaveTextModules() {
  ForEachTextModule([](toolsapi::IOTAModule& m) { return m.Save(false, false); });
}

bool TOpenModule::CloseTextModules() {
  bool closed = true;
  ForEachTextModule([&](toolsapi::IOTAModule& m) { return closed = m.Close(); });
  return closed;
}

void TOpenModule::Save() {
  SaveTextModules();
  rtl::SaveModuleToFile(FRoot.get(), FFileName, FFormat);
  FModified = false;
}

void TOpenModule::SaveAs(const String& FileName, std::optional<rtl::TDfmFormat> Format) {
  SaveTextModules();
  rtl::SaveModuleToFile(FRoot.get(), FileName, Format.value_or(FFormat));
  FFileName = FileName;
  if (Format) FFormat = *Format;
  FModified = false;
}

// In the module's own format, so that opening the copy and saving it keeps the file's format.
void TOpenModule::SaveRecoveryCopy(const String& RecoveryFile) {
  SaveTextModules();
  rtl::SaveModuleToFile(FRoot.get(), RecoveryFile, FFormat);
}

}  // namespace designer
