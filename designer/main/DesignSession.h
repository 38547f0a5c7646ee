// A designer session: the package loaded, at most one data module open in the designer, and
// the commands of designer scripts and of the prompt acting on them.
//
// Commands act as the developer does in the form designer: palette drops, the object tree, the
// object inspector through the registered property editors, component editor verbs, the code
// editor's text modules. A failing command raises with one line saying what failed and where;
// nothing is ever written except by "save", and then atomically.
#pragma once

#include "ScriptUI.h"

#include "designer/ModuleServices.h"
#include "designer/ObjectInspector.h"
#include "designer/ObjectTree.h"
#include "designer/OpenModule.h"
#include "designer/PackageLoader.h"
#include "rtl/Strings.h"

#include <iosfwd>
#include <memory>
#include <optional>
#include <vector>

namespace designer {

class TDesignSession {
public:
  // Output goes to Out; warnings (a database that could not reconnect while a module was
  // read) to Err.
  TDesignSession(std::ostream& Out, std::ostream& Err);
  ~TDesignSession();
  TDesignSession(const TDesignSession&) = delete;
  TDesignSession& operator=(const TDesignSession&) = delete;

  TPackageLoader& Loader() { return FLoader; }
  TModuleServices& Services() { return FServices.Services(); }
  TAnswerQueue& Answers() { return FAnswers; }
  // The backend whose key state "edit --alt" holds Alt down in.
  void SetUserInterface(vcl::THeadlessUserInterface* UI) { FUI = UI; }

  // Runs one command given as words (Line: the line they came from, for commands that take
  // the rest of a line as written); raises on failure.
  void Execute(const std::vector<String>& Words, const String& Line = {});
  static void PrintHelp(std::ostream& Out);

  // ------------------------------------------------------------ the open module
  TOpenModule* Module() const { return FModule.get(); }
  TObjectTree* Tree() const { return FTree.get(); }
  // Opens a form file for design (replacing an unchanged open module). Its databases take
  // relative files from the module's folder. When a recovery copy beside it (FILE.recover) is
  // newer, a message box offers it: Yes opens the copy's text as the module, modified.
  void OpenModule(const String& FileName);
  // Keeps the unsaved module in its recovery copy (FILE.recover, or NAME.dfm.recover for a
  // module without a file), leaving the module's own file as last saved; the copy's name.
  String SaveRecoveryCopy();
  // Whether the open module or one of its code-editor texts has changes not saved.
  bool HasUnsavedChanges();
  // Closes the module; a module with unsaved changes only when Discard.
  void CloseModule(bool Discard);
  // The component of the module of that name (the root too); raises naming it when none.
  rtl::TComponent* ComponentNamed(const String& Name);

  // What Tab offers for the word being typed after Before (the line up to that word): command
  // names first, then by the command component names, property names of the selection, a
  // property's values after "set PROP", palette classes; nullopt where a file name goes.
  std::optional<std::vector<String>> Completions(const String& Before);

  // ------------------------------------------------------------ reports (also korv's own)
  void PrintTree(bool Json);
  void PrintPalette(bool Json);
  void PrintPackages(bool Json);

private:
  using TArgs = std::vector<String>;
  struct TCommand;
  static const std::vector<TCommand>& Commands();

  TOpenModule& RequireModule();
  designintf::TDesignerSelections RequireSelection();
  rtl::TComponent* RequireOneSelected(const String& Verb);
  std::unique_ptr<designintf::TPropertyEditor> EditorFor(const designintf::TDesignerSelections& Selection,
                                                         const String& Path);
  std::vector<designintf::TSprig*> FindNodes(const String& Name);
  designintf::TSprig* NodeNamed(const String& Name);
  void AttachModule(std::unique_ptr<TOpenModule> Module, const String& Folder);
  void CheckReplaceable();
  // Saving under FileName may go ahead: it names no existing file but the module's own, or the
  // developer answered Yes to replacing it.
  bool MayReplace(const String& FileName) const;

  void CmdOpen(const TArgs& A);
  void CmdNew(const TArgs& A);
  void CmdSave(const TArgs& A);
  void CmdClose(const TArgs& A);
  void CmdAdd(const TArgs& A);
  void CmdDelete(const TArgs& A);
  void CmdRename(const TArgs& A);
  void CmdSelect(const TArgs& A);
  void CmdTree(const TArgs& A);
  void CmdProps(const TArgs& A);
  void CmdGet(const TArgs& A);
  void CmdPrint(const TArgs& A);
  void CmdValues(const TArgs& A);
  void CmdSet(const TArgs& A);
  void CmdEdit(const TArgs& A);
  void CmdVerbs(const TArgs& A);
  void CmdVerb(const TArgs& A);
  void CmdDblClick(const TArgs& A);
  void CmdDrag(const TArgs& A);
  void CmdDragOver(const TArgs& A);
  void CmdPaletteDrop(const TArgs& A);
  void CmdModules(const TArgs& A);
  void CmdModule(const TArgs& A);
  void CmdAnswer(const TArgs& A);
  void CmdPalette(const TArgs& A);
  void CmdPackages(const TArgs& A);
  void CmdEcho(const TArgs& A);
  void CmdData(const TArgs& A);
  void CmdCheck(const TArgs& A);
  void CmdHelp(const TArgs& A);
  void SetFolder(const String& Folder);  // FFolder, and the application's document folder

  std::ostream& FOut;
  std::ostream& FErr;
  // Declared so that they go in this order: the module and its tree (whose nodes are the
  // package's classes), then the packages, then the module services.
  TDesignerServices FServices;
  TPackageLoader FLoader;
  TAnswerQueue FAnswers;
  vcl::THeadlessUserInterface* FUI = nullptr;
  std::unique_ptr<TOpenModule> FModule;
  std::unique_ptr<TObjectTree> FTree;
  String FFolder;  // the module's folder: relative database files are taken from it
  int FListener = 0;
  String FLine;  // the line being run
};

// The text of a module or script the user named. Raises EFOpenError with one line naming the
// file for a missing file, a folder, anything but a regular file (a device or pipe could never
// end, or block) and a file past the read size limit.
String ReadInputFile(const String& FileName);

// A string list as the lines of a terminal: an entry that holds line breaks of its own (CR LF,
// CR or LF) gives one line for each, every line ended by a line feed.
String TerminalLines(const rtl::TStrings& Lines);

}  // namespace designer
