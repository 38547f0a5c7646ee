// The open tools interfaces: how a package asks the designer for its module services and opens,
// finds, shows and closes modules of the code editor.
//
// BorlandIDEServices is the designer's services object; a package casts it to the interface it
// needs (As<IOTAModuleServices>(BorlandIDEServices)), which raises EIntfCastError when the
// designer does not offer it (or is not there). Modules live on file systems named by an ID;
// a creator tells CreateModule what to make.
#pragma once

#include "rtl/SysUtils.h"
#include "toolsapi/Interfaces.h"

#include <cstdint>

namespace toolsapi {

// Creator types.
inline constexpr const char* sApplication = "Application";
inline constexpr const char* sLibrary = "Library";
inline constexpr const char* sConsole = "Console";
inline constexpr const char* sPackage = "Package";
inline constexpr const char* sUnit = "Unit";
inline constexpr const char* sForm = "Form";
inline constexpr const char* sText = "Text";  // a raw single-file text module

class IOTAModule;

// A file's content as a creator hands it over.
class IOTAFile : public virtual IInterface {
public:
  virtual String GetSource() = 0;
  virtual rtl::TDateTime GetAge() = 0;  // -1 for a new file
};

class IOTAEditor : public virtual IInterface {
public:
  virtual String GetFileName() = 0;
  virtual bool GetModified() = 0;
  // Marks the editor's text (and so its module) as changed.
  virtual bool MarkModified() = 0;
  // Brings the editor to the front, opening a view when there is none.
  virtual void Show() = 0;
  virtual std::shared_ptr<IOTAModule> GetModule() = 0;
};

// An editor of text.
class IOTASourceEditor : public virtual IOTAEditor {
public:
  virtual String GetText() = 0;
  // Replaces the whole text and marks it changed.
  virtual void SetText(const String& Text) = 0;
};

class IOTAFormEditor : public virtual IOTAEditor {};

class IOTAModule : public virtual IInterface {
public:
  virtual String GetFileName() = 0;
  virtual void SetFileName(const String& Value) = 0;
  // The ID of the file system the module is read from and saved to ("" for the disk).
  virtual String GetFileSystem() = 0;
  virtual int GetModuleFileCount() = 0;
  virtual std::shared_ptr<IOTAEditor> GetModuleFileEditor(int Index) = 0;
  // Saves the module (to its file system). With ForceSave, also when unchanged.
  virtual bool Save(bool ChangeName, bool ForceSave) = 0;
  // Closes the module, asking the developer first when it was changed. True when it closed
  // (every reference to it should then be dropped); false when the developer refused.
  virtual bool Close() = 0;
  // With ForceClosed, closes without asking and without saving.
  virtual bool CloseModule(bool ForceClosed) = 0;
};

class IOTACreator : public virtual IInterface {
public:
  virtual String GetCreatorType() = 0;                 // sText ...
  virtual bool GetExisting() = 0;                      // false for a new module
  virtual String GetFileSystem() = 0;                  // the ID of a registered file system, "" for the disk
  virtual std::shared_ptr<IOTAModule> GetOwner() = 0;  // nil: no project
  virtual bool GetUnnamed() = 0;                       // true forces "save as" on the first save
};

class IOTAModuleCreator : public virtual IOTACreator {
public:
  virtual String GetAncestorName() = 0;
  virtual String GetImplFileName() = 0;
  virtual String GetIntfFileName() = 0;
  virtual String GetFormName() = 0;
  virtual bool GetMainForm() = 0;
  virtual bool GetShowForm() = 0;
  virtual bool GetShowSource() = 0;
  virtual std::shared_ptr<IOTAFile> NewFormFile(const String& FormIdent, const String& AncestorIdent) = 0;
  virtual std::shared_ptr<IOTAFile> NewImplSource(const String& ModuleIdent, const String& FormIdent,
                                                  const String& AncestorIdent) = 0;
  virtual std::shared_ptr<IOTAFile> NewIntfSource(const String& ModuleIdent, const String& FormIdent,
                                                  const String& AncestorIdent) = 0;
  virtual void FormCreated(const std::shared_ptr<IOTAFormEditor>& FormEditor) = 0;
};

// Where modules of a kind are read from and written to. LoadText and SaveText read and write a
// whole file (the text as UTF-8).
class IOTAFileSystem : public virtual IInterface {
public:
  virtual String GetIDString() = 0;
  virtual String LoadText(const String& FileName) = 0;                    // raises EFOpenError
  virtual void SaveText(const String& FileName, const String& Text) = 0;  // raises EFCreateError
  virtual bool FileExists(const String& FileName) = 0;
  // The file's time stamp (rtl::DateTimeToFileDate), -1 for an unknown file.
  virtual int64_t FileAge(const String& FileName) = 0;
  virtual bool IsFileBased() = 0;
  virtual bool IsReadonly(const String& FileName) = 0;
  virtual bool DeleteFile(const String& FileName) = 0;
  virtual bool RenameFile(const String& OldName, const String& NewName) = 0;
};

class IOTAModuleServices : public virtual IInterface {
public:
  // Makes a module as the creator describes it; nil when the creator asks for a kind of module
  // the designer cannot make.
  virtual std::shared_ptr<IOTAModule> CreateModule(const std::shared_ptr<IOTACreator>& Creator) = 0;
  // The open module of that name, nil when none.
  virtual std::shared_ptr<IOTAModule> FindModule(const String& FileName) = 0;
  virtual int GetModuleCount() = 0;
  virtual std::shared_ptr<IOTAModule> GetModule(int Index) = 0;
  virtual bool CloseAll() = 0;
  virtual bool SaveAll() = 0;
  // File systems by ID. RegisterFileSystem returns an index for UnregisterFileSystem.
  virtual int RegisterFileSystem(const std::shared_ptr<IOTAFileSystem>& AFileSystem) = 0;
  virtual void UnregisterFileSystem(int Index) = 0;
  virtual std::shared_ptr<IOTAFileSystem> FindFileSystem(const String& Name) = 0;
};

// The designer's services object; cast it to the interface needed.
class IBorlandIDEServices : public virtual IInterface {};

// Set by the designer while it runs; nil otherwise.
extern std::shared_ptr<IBorlandIDEServices> BorlandIDEServices;

}  // namespace toolsapi
