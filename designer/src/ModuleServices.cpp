#include "designer/ModuleServices.h"

#include "rtl/SysUtils.h"
#include "toolsapi/StringsFileSystem.h"
#include "vcl/Dialogs.h"

#include <algorithm>

namespace designer {

// ---------------------------------------------------------------------------- TTextEditor

String TTextEditor::GetFileName() { return FModule ? FModule->GetFileName() : String(); }

bool TTextEditor::GetModified() { return FModule && FModule->IsModified(); }

bool TTextEditor::MarkModified() {
  if (!FModule) return false;
  FModule->SetModified(true);
  return true;
}

void TTextEditor::Show() {
  if (FModule) FModule->Show();
}

std::shared_ptr<toolsapi::IOTAModule> TTextEditor::GetModule() {
  return FModule ? std::dynamic_pointer_cast<toolsapi::IOTAModule>(FModule->weak_from_this().lock()) : nullptr;
}

String TTextEditor::GetText() { return FModule ? FModule->Text() : String(); }

void TTextEditor::SetText(const String& Text) {
  if (FModule) FModule->ReplaceText(Text);
}

// ---------------------------------------------------------------------------- TTextModule

TTextModule::TTextModule(TModuleServices* AServices, String AFileName, String AFileSystem, String AText)
    : FServices(AServices),
      FFileName(std::move(AFileName)),
      FFileSystem(std::move(AFileSystem)),
      FText(std::move(AText)) {}

TTextModule::~TTextModule() {
  if (FEditor) FEditor->FModule = nullptr;
}

std::shared_ptr<TTextEditor> TTextModule::Editor() {
  if (!FEditor) FEditor = std::make_shared<TTextEditor>(this);
  return FEditor;
}

void TTextModule::ReplaceText(const String& Text) {
  FText = Text;
  FModified = true;
}

void TTextModule::Show() {
  if (FClosed) return;
  ++FShowCount;
  if (FServices && FServices->CodeEditor()) FServices->CodeEditor()(*this);
}

std::shared_ptr<toolsapi::IOTAEditor> TTextModule::GetModuleFileEditor(int Index) {
  if (FClosed || Index != 0) return nullptr;
  return Editor();
}

bool TTextModule::Save(bool, bool ForceSave) {
  if (FClosed) return false;
  if (!FModified && !ForceSave) return true;
  if (!FFileSystem.empty()) {
    auto fs = FServices ? FServices->FindFileSystem(FFileSystem) : nullptr;
    if (!fs)
      throw rtl::EFCreateError("Cannot save " + FFileName + ": the file system " + FFileSystem + " is not available");
    fs->SaveText(FFileName, FText);
  } else {
    rtl::WriteFileAtomic(FFileName, FText);
  }
  FModified = false;
  return true;
}

bool TTextModule::Close() {
  if (FClosed) return true;
  if (FModified) {
    int answer = vcl::MessageDlg("Save changes to " + FFileName + "?", vcl::mtConfirmation,
                                 {vcl::mbYes, vcl::mbNo, vcl::mbCancel}, 0);
    if (answer == vcl::mrYes)
      Save(false, false);
    else if (answer != vcl::mrNo)
      return false;
  }
  return CloseModule(true);
}

bool TTextModule::CloseModule(bool ForceClosed) {
  if (FClosed) return true;
  if (!ForceClosed && FModified) return Close();
  auto self = weak_from_this().lock();  // the services may hold the last reference
  FClosed = true;
  if (FServices) FServices->Remove(this);
  return true;
}

void TTextModule::Detach() { FServices = nullptr; }

// ---------------------------------------------------------------------------- TModuleServices

TModuleServices::~TModuleServices() {
  for (auto& m : FModules) m->Detach();
}

std::shared_ptr<TTextModule> TModuleServices::FindTextModule(const String& FileName) {
  if (FileName.empty()) return nullptr;
  for (auto& m : FModules)
    if (rtl::SameText(m->FFileName, FileName)) return m;
  // Without the leading designer-extension part (a prefix that is no path).
  for (auto& m : FModules) {
    const String& name = m->FFileName;
    size_t dot = name.find('.');
    if (dot == String::npos || name.find_first_of("/\\") < dot) continue;
    if (rtl::SameText(name.substr(dot + 1), FileName)) return m;
  }
  return nullptr;
}

std::shared_ptr<toolsapi::IOTAModule> TModuleServices::CreateModule(
    const std::shared_ptr<toolsapi::IOTACreator>& Creator) {
  auto creator = toolsapi::Supports<toolsapi::IOTAModuleCreator>(Creator);
  if (!creator || !rtl::SameText(creator->GetCreatorType(), toolsapi::sText)) return nullptr;
  String name = creator->GetImplFileName();
  if (!name.empty())
    for (auto& m : FModules)
      if (rtl::SameText(m->FFileName, name)) return m;
  if (name.empty()) {
    do name = "Text" + rtl::IntToStr(++FUntitled) + ".txt";
    while (FindTextModule(name));
  }
  String fileSystem = creator->GetFileSystem();
  String text;
  if (auto file = creator->NewImplSource(name, "", "")) {
    text = file->GetSource();
  } else if (creator->GetExisting()) {
    if (fileSystem.empty()) {
      text = rtl::ReadFileToString(name);
    } else if (auto fs = FindFileSystem(fileSystem)) {
      text = fs->LoadText(name);
    }
  }
  auto module = std::make_shared<TTextModule>(this, name, fileSystem, std::move(text));
  FModules.push_back(module);
  return module;
}

std::shared_ptr<toolsapi::IOTAModule> TModuleServices::FindModule(const String& FileName) {
  return FindTextModule(FileName);
}

std::shared_ptr<toolsapi::IOTAModule> TModuleServices::GetModule(int Index) {
  if (Index < 0 || Index >= GetModuleCount()) return nullptr;
  return FModules[static_cast<size_t>(Index)];
}

bool TModuleServices::CloseAll() {
  for (auto& m : std::vector<std::shared_ptr<TTextModule>>(FModules))
    if (!m->Close()) return false;
  return true;
}

bool TModuleServices::SaveAll() {
  for (auto& m : std::vector<std::shared_ptr<TTextModule>>(FModules)) m->Save(false, false);
  return true;
}

int TModuleServices::RegisterFileSystem(const std::shared_ptr<toolsapi::IOTAFileSystem>& AFileSystem) {
  if (!AFileSystem) return -1;
  String id = AFileSystem->GetIDString();
  for (size_t i = 0; i < FFileSystems.size(); ++i)
    if (FFileSystems[i] && rtl::SameText(FFileSystems[i]->GetIDString(), id)) {
      FFileSystems[i] = AFileSystem;
      return static_cast<int>(i);
    }
  FFileSystems.push_back(AFileSystem);
  return static_cast<int>(FFileSystems.size() - 1);
}

void TModuleServices::UnregisterFileSystem(int Index) {
  if (Index >= 0 && Index < static_cast<int>(FFileSystems.size())) FFileSystems[static_cast<size_t>(Index)].reset();
}

std::shared_ptr<toolsapi::IOTAFileSystem> TModuleServices::FindFileSystem(const String& Name) {
  for (auto& fs : FFileSystems)
    if (fs && rtl::SameText(fs->GetIDString(), Name)) return fs;
  return nullptr;
}

void TModuleServices::Remove(TTextModule* Module) {
  std::erase_if(FModules, [&](const std::shared_ptr<TTextModule>& m) { return m.get() == Module; });
}

// ---------------------------------------------------------------------------- TDesignerServices

TDesignerServices::TDesignerServices()
    : FServices(std::make_shared<TModuleServices>()), FPrevious(toolsapi::BorlandIDEServices) {
  toolsapi::BorlandIDEServices = FServices;
}

TDesignerServices::~TDesignerServices() {
  for (auto& m : FServices->TextModules()) m->CloseModule(true);
  if (toolsapi::BorlandIDEServices == FServices) toolsapi::StFilSys::Unregister();
  toolsapi::BorlandIDEServices = FPrevious;
}

}  // namespace designer
