// The designer's module services: text modules of the code editor on registered file systems
// (the string-list file system among them), found by name, shown through a pluggable code
// editor, saved to their file system and closed with the developer's consent.
//
// TDesignerServices installs a services object as toolsapi::BorlandIDEServices for its
// lifetime; packages reach it only through the toolsapi interfaces. Designer scripts use the
// concrete classes to show, replace the text of, save and close a module.
#pragma once

#include "toolsapi/ToolsAPI.h"

#include <functional>
#include <vector>

namespace designer {

using rtl::String;

class TModuleServices;
class TTextModule;

// Shows a text module to the developer (an external editor, say); it may change the module's
// text with ReplaceText. Without one, Show only counts.
using TCodeEditorHook = std::function<void(TTextModule& Module)>;

class TTextEditor : public toolsapi::TInterfacedObject, public toolsapi::IOTASourceEditor {
public:
  explicit TTextEditor(TTextModule* AModule) : FModule(AModule) {}

  String GetFileName() override;
  bool GetModified() override;
  bool MarkModified() override;
  void Show() override;
  std::shared_ptr<toolsapi::IOTAModule> GetModule() override;
  String GetText() override;
  void SetText(const String& Text) override;

private:
  friend class TTextModule;
  TTextModule* FModule;  // cleared when the module goes
};

class TTextModule : public toolsapi::TInterfacedObject, public toolsapi::IOTAModule {
public:
  TTextModule(TModuleServices* AServices, String AFileName, String AFileSystem, String AText);
  ~TTextModule() override;

  // ------------------------------------------------------------ for designer scripts
  const String& Text() const { return FText; }
  // Replaces the whole text and marks the module changed.
  void ReplaceText(const String& Text);
  bool IsModified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  bool IsClosed() const { return FClosed; }
  // How often the module was shown.
  int ShowCount() const { return FShowCount; }
  void Show();
  std::shared_ptr<TTextEditor> Editor();

  // ------------------------------------------------------------ IOTAModule
  String GetFileName() override { return FFileName; }
  void SetFileName(const String& Value) override { FFileName = Value; }
  String GetFileSystem() override { return FFileSystem; }
  int GetModuleFileCount() override { return FClosed ? 0 : 1; }
  std::shared_ptr<toolsapi::IOTAEditor> GetModuleFileEditor(int Index) override;
  // Writes the text to the module's file system (or to the disk, atomically).
  bool Save(bool ChangeName, bool ForceSave) override;
  // A changed module asks "Save changes to NAME?" with Yes, No and Cancel: Yes saves and
  // closes, No closes without saving, Cancel keeps it open and returns false.
  bool Close() override;
  bool CloseModule(bool ForceClosed) override;

private:
  friend class TModuleServices;
  void Detach();

  TModuleServices* FServices;
  String FFileName;
  String FFileSystem;
  String FText;
  bool FModified = false;
  bool FClosed = false;
  int FShowCount = 0;
  std::shared_ptr<TTextEditor> FEditor;
};

class TModuleServices : public toolsapi::TInterfacedObject,
                        public toolsapi::IBorlandIDEServices,
                        public toolsapi::IOTAModuleServices {
public:
  TModuleServices() = default;
  ~TModuleServices() override;

  void SetCodeEditor(TCodeEditorHook Hook) { FCodeEditor = std::move(Hook); }
  const TCodeEditorHook& CodeEditor() const { return FCodeEditor; }

  // The open text module of that name (as FindModule finds it), nil when none.
  std::shared_ptr<TTextModule> FindTextModule(const String& FileName);
  std::vector<std::shared_ptr<TTextModule>> TextModules() const { return FModules; }

  // ------------------------------------------------------------ IOTAModuleServices
  // Makes text modules (creator type "Text"); nil for any other kind. A creator naming an
  // open module gets that module. The text is the creator's implementation source, else (for
  // an existing file) what its file system holds.
  std::shared_ptr<toolsapi::IOTAModule> CreateModule(const std::shared_ptr<toolsapi::IOTACreator>& Creator) override;
  // A module whose name equals FileName ignoring letter case, or whose name without its
  // leading designer-extension part does ("Form1.Query1.SQL" finds "dfm.Form1.Query1.SQL").
  std::shared_ptr<toolsapi::IOTAModule> FindModule(const String& FileName) override;
  int GetModuleCount() override { return static_cast<int>(FModules.size()); }
  std::shared_ptr<toolsapi::IOTAModule> GetModule(int Index) override;
  bool CloseAll() override;
  bool SaveAll() override;
  int RegisterFileSystem(const std::shared_ptr<toolsapi::IOTAFileSystem>& AFileSystem) override;
  void UnregisterFileSystem(int Index) override;
  std::shared_ptr<toolsapi::IOTAFileSystem> FindFileSystem(const String& Name) override;

private:
  friend class TTextModule;
  void Remove(TTextModule* Module);

  std::vector<std::shared_ptr<TTextModule>> FModules;
  std::vector<std::shared_ptr<toolsapi::IOTAFileSystem>> FFileSystems;  // nil where unregistered
  TCodeEditorHook FCodeEditor;
  int FUntitled = 0;
};

// Installs a new TModuleServices as BorlandIDEServices for its lifetime; at the end the open
// modules close unsaved, the string-list file system is withdrawn and the services removed.
class TDesignerServices {
public:
  TDesignerServices();
  ~TDesignerServices();
  TDesignerServices(const TDesignerServices&) = delete;
  TDesignerServices& operator=(const TDesignerServices&) = delete;

  TModuleServices& Services() { return *FServices; }

private:
  std::shared_ptr<TModuleServices> FServices;
  std::shared_ptr<toolsapi::IBorlandIDEServices> FPrevious;
};

}  // namespace designer
