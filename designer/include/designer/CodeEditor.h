// The code editor: what shows a text module to the developer when the module services' Show
// runs (TModuleServices::SetCodeEditor), and the module commands of designer scripts.
//
// Two editors: at a terminal the text goes through the developer's own editor program
// (TExternalCodeEditor); in scripts TScriptedCodeEditor records each showing and types the
// text the script queued. The korv program installs one of them with InstallCodeEditor.
#pragma once

#include "designer/ModuleServices.h"
#include "rtl/Exceptions.h"

#include <deque>
#include <iosfwd>
#include <memory>

namespace designer {

RTL_DECLARE_EXCEPTION(ECodeEditorError, rtl::Exception)

class TCodeEditor {
public:
  virtual ~TCodeEditor() = default;
  // Shows Module; may change its text (TTextModule::ReplaceText, which marks it modified).
  virtual void Show(TTextModule& Module) = 0;
};

// The developer's editor program: $VISUAL, else $EDITOR, else "vi" (empty variables count as
// unset), or the command given.
class TExternalCodeEditor : public TCodeEditor {
public:
  explicit TExternalCodeEditor(String Command = {}) : FCommand(std::move(Command)) {}

  // Writes the text to a temporary file named after the module, runs the editor's command on
  // it through the shell (/bin/sh -c 'COMMAND "$1"'), waits, and takes the file back as the
  // module's text when it changed (a final line break the editor added to a text without one
  // is no change). The temporary folder is removed afterwards. Raises ECodeEditorError,
  // leaving the text as it was, when the editor cannot be started or fails (a non-zero exit,
  // a signal) or the file cannot be read back.
  void Show(TTextModule& Module) override;

  // The command Show runs.
  String EditorCommand() const;
  static String DefaultEditorCommand();

private:
  String FCommand;
};

// Scripts: records each showing and types the text queued for the module.
class TScriptedCodeEditor : public TCodeEditor {
public:
  struct TShowing {
    String FileName;
    String Text;  // the text when it was shown (before any queued text)
  };

  void Show(TTextModule& Module) override;
  // At the next showing of the module named FileName (letter case ignored), its text becomes
  // Text, as if typed.
  void QueueText(const String& FileName, const String& Text);
  bool AllConsumed() const { return FQueued.empty(); }
  const std::vector<TShowing>& Showings() const { return FShowings; }

private:
  std::vector<TShowing> FShowings;
  std::deque<std::pair<String, String>> FQueued;
};

enum class TCodeEditorKind { ckExternal, ckScripted };

// Makes Editor the code editor of Services (they share it) and returns it.
std::shared_ptr<TCodeEditor> InstallCodeEditor(TModuleServices& Services, std::shared_ptr<TCodeEditor> Editor);
// The same with a new editor of that kind: ckExternal for a person at a terminal (the text
// user interface), ckScripted for scripts and tests.
std::shared_ptr<TCodeEditor> InstallCodeEditor(TModuleServices& Services, TCodeEditorKind Kind);

// Module commands of designer scripts, one line each (words as in gesture commands):
//
//   module list               each open module: NAME, and " (modified)" when changed
//   module show NAME          shows it (the installed code editor runs)
//   module text NAME          prints its text, each line as "| line"
//   module type NAME TEXT     replaces its text (the rest of the line; \n is a line break)
//   module save NAME          saves it to its file system (a string list: into the property)
//   module close NAME         closes it, asking about unsaved changes; prints "Not closed"
//                             when the developer refuses
//
// NAME is found as FindModule finds it (letter case ignored; the designer-extension part may
// be left out). Raises ECodeEditorError for an unknown module or a malformed command.
void RunModuleCommand(TModuleServices& Services, const String& Line, std::ostream& Out);

}  // namespace designer
