#include "KVStringsModule.h"

#include "designintf/Designer.h"
#include "toolsapi/StringsFileSystem.h"

namespace dclkorv {

using toolsapi::IOTAModule;
using toolsapi::IOTAModuleServices;

std::shared_ptr<toolsapi::IOTAFile> TStringsModuleCreator::NewImplSource(const String&, const String&, const String&) {
  return std::make_shared<TOTAFile>(FStream ? FStream->DataString() : String(), FAge);
}

namespace {

// The designer's root when it directly owns Component and has a name; nil otherwise.
rtl::TComponent* NamedOwningRoot(designintf::IDesigner* Designer, rtl::TComponent* Component) {
  if (!Designer || !Component) return nullptr;
  rtl::TComponent* root = Designer->GetRoot();
  if (!root || Component->Owner() != root || root->Name().empty()) return nullptr;
  return root;
}

std::shared_ptr<IOTAModuleServices> ModuleServices() {
  return toolsapi::As<IOTAModuleServices>(toolsapi::BorlandIDEServices);
}

// The open module of the property, nil when there is none or it has no editor.
std::shared_ptr<IOTAModule> FindOpenStringsModule(IOTAModuleServices& Services, designintf::IDesigner* Designer,
                                                  rtl::TPersistent* Component, const String& PropName) {
  const String name = StringsModuleLookupName(Designer, Component, PropName);
  if (name.empty()) return nullptr;
  auto module = Services.FindModule(name);
  if (!module || module->GetModuleFileCount() < 1) return nullptr;
  return module;
}

}  // namespace

String StringsModuleFileName(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropName) {
  auto* component = dynamic_cast<rtl::TComponent*>(Component);
  rtl::TComponent* root = NamedOwningRoot(Designer, component);
  if (!root) return {};
  return Designer->GetDesignerExtension() + "." + root->Name() + "." + component->Name() + "." + PropName;
}

String StringsModuleLookupName(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropName) {
  auto* component = dynamic_cast<rtl::TComponent*>(Component);
  rtl::TComponent* root = NamedOwningRoot(Designer, component);
  if (!root) return {};
  return root->Name() + "." + component->Name() + "." + PropName;
}

void OpenStringsModule(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropName,
                       rtl::TStrings* Strings, bool Modified) {
  auto services = ModuleServices();
  const String name = StringsModuleFileName(Designer, Component, PropName);
  toolsapi::StFilSys::Register();

  auto stream = std::make_unique<rtl::TStringStream>();
  if (Strings) Strings->SaveToStream(stream.get());
  stream->SetPosition(0);
  const rtl::TDateTime age = rtl::Now();

  auto creator = std::make_shared<TStringsModuleCreator>(name, std::move(stream), age);
  auto module = services->CreateModule(creator);
  if (!module) return;

  // The file system's disk age names the same moment as the module's source age, so the text
  // just opened does not count as changed on disk.
  if (toolsapi::StringsFileSystem)
    if (auto* entry =
            toolsapi::StringsFileSystem->GetTStringsProperty(name, dynamic_cast<rtl::TComponent*>(Component), PropName))
      entry->SetDiskAge(rtl::DateTimeToFileDate(age));

  auto editor = module->GetModuleFileEditor(0);
  if (!editor) return;  // a module without a file shows nothing
  if (Modified) editor->MarkModified();
  editor->Show();
}

bool ShowStringsModule(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropName) {
  auto services = ModuleServices();
  auto module = FindOpenStringsModule(*services, Designer, Component, PropName);
  if (!module) return false;
  auto editor = module->GetModuleFileEditor(0);
  if (!editor) return false;
  editor->Show();
  return true;
}

bool CloseStringsModule(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropName) {
  auto services = ModuleServices();
  auto module = FindOpenStringsModule(*services, Designer, Component, PropName);
  if (!module) return true;
  return module->Close();
}

}  // namespace dclkorv
