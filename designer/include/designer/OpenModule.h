// An open module: a form file loaded for design (its root and every component in csDesigning),
// the designer of that module (IDesigner) and its editing operations.
//
// Every change is reported through Modified, which counts, marks the module dirty and tells the
// listeners (the object tree rebuilds before it is next looked at). Nothing is written until
// Save is asked for; saving writes the form file atomically (a failed save leaves the old file).
#pragma once

#include "designintf/ComponentEditors.h"
#include "designintf/Designer.h"

#include "rtl/FormFile.h"

#include <map>
#include <memory>
#include <optional>

namespace designer {

using rtl::String;

class TOpenModule : public designintf::IDesigner {
public:
  // Reads the form file for design; raises what the reader raises (nothing stays open then).
  static std::unique_ptr<TOpenModule> Open(const String& FileName);
  // Designs an existing root (which is set designing), to be saved as FileName in Format.
  TOpenModule(std::unique_ptr<rtl::TComponent> Root, String FileName, rtl::TDfmFormat Format = rtl::TDfmFormat::dfText);
  ~TOpenModule() override;
  TOpenModule(const TOpenModule&) = delete;
  TOpenModule& operator=(const TOpenModule&) = delete;

  const String& FileName() const { return FFileName; }
  // The form file's encoding, text or binary: the one the file came in, until a save changes it.
  rtl::TDfmFormat Format() const { return FFormat; }
  bool IsModified() const { return FModified; }
  // How often Modified was called since the module was opened.
  int ModifiedCount() const { return FModifiedCount; }

  using TModifiedListener = std::function<void()>;
  // Listeners run after each Modified; the returned id removes one again.
  int AddModifiedListener(TModifiedListener Listener);
  void RemoveModifiedListener(int Id);

  // ------------------------------------------------------------ IDesigner
  void Modified() override;
  rtl::TComponent* GetRoot() override { return FRoot.get(); }
  String GetDesignerExtension() override { return "dfm"; }
  designintf::TDesignerSelections GetSelections() override;
  void SetSelections(const designintf::TDesignerSelections& List) override;
  // "TKVQuery" gives "KVQuery1", or the first free number after it.
  String UniqueName(const String& BaseName) override;
  // Validates and sets the name, renames the code-editor modules named after it, Modified.
  void RenameComponent(rtl::TComponent* Component, const String& NewName) override;

  // ------------------------------------------------------------ editing
  // A new component of ComponentClass owned by the root, named Name or UniqueName(class name);
  // Modified. Raises EComponentError for a class that is not a component or a name that is
  // taken or invalid (the component is not kept then).
  rtl::TComponent* CreateComponent(rtl::TClass ComponentClass, const String& Name = {});
  // Destroys a component of the module (its code-editor modules close unsaved); Modified.
  void DeleteComponent(rtl::TComponent* Component);
  rtl::TComponent* FindComponent(const String& Name) { return GetComponent(Name); }

  // The component editor the registries give for Component, working on this designer.
  std::unique_ptr<designintf::TComponentEditor> GetComponentEditor(rtl::TComponent* Component);

  // ------------------------------------------------------------ saving
  // The module as a text form file would hold it.
  String Text() const;
  // Saves the changed code-editor modules of this module's properties, then the form file in
  // the module's format; the module is no longer modified.
  void Save();
  // Saves to FileName, in Format when given (which the module keeps from then on), and makes it
  // the module's file. A failed save changes neither name nor format.
  void SaveAs(const String& FileName, std::optional<rtl::TDfmFormat> Format = std::nullopt);
  // Writes the module, its changed code-editor modules in it, to RecoveryFile, which does not
  // become the module's file: the module stays modified and its own file untouched.
  void SaveRecoveryCopy(const String& RecoveryFile);
  // Closes the code-editor modules of this module's properties, asking about changed ones;
  // false when the developer refused to close one.
  bool CloseTextModules();

private:
  class TNotifier;
  void SaveTextModules();
  template <class F>
  void ForEachTextModule(F&& Action);
  void ForgetSelected(rtl::TPersistent* Obj);

  std::unique_ptr<rtl::TComponent> FRoot;
  String FFileName;
  rtl::TDfmFormat FFormat;
  bool FModified = false;
  int FModifiedCount = 0;
  designintf::TDesignerSelections FSelection;
  std::map<int, TModifiedListener> FListeners;
  int FNextListenerId = 1;
  std::unique_ptr<TNotifier> FNotifier;
};

}  // namespace designer
