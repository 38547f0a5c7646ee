// The component editors: each component's context-menu verbs and its double-click action.
//
// Every menu begins with the about verb (the product caption), then a separator and the
// component's own verbs. An editor appends its verbs to its base class's: its own verbs are an
// enumeration counted from the base class's count, which it asks of the base class's own
// implementation (a qualified call, never virtual dispatch); a lower index goes to the base
// class's own GetVerb or ExecuteVerb. An index past all the verbs gets an empty caption and
// does nothing.
#pragma once

#include "KVShared.h"

#include "designintf/ComponentEditors.h"

namespace korv {
class TKVQuery;
}  // namespace korv

namespace dclkorv {

// Sessions, monitors, SQLBase servers: the about verb, also on a double-click.
class TKVDefaultEditor : public designintf::TComponentEditor {
  DESIGN_CLASS(TKVDefaultEditor, designintf::TComponentEditor)
  using designintf::TComponentEditor::TComponentEditor;
  enum TVerb { vAbout, VerbCount };  // after the base editor's verbs

  void Edit() override;
  void ExecuteVerb(int Index) override;
  String GetVerb(int Index) override;
  int GetVerbCount() override;
};

// Scripts: exactly the default editor, under a class of its own.
class TKVScriptEditor : public TKVDefaultEditor {
  DESIGN_CLASS(TKVScriptEditor, TKVDefaultEditor)
  using TKVDefaultEditor::TKVDefaultEditor;
};

// Update objects: about, "-", the UpdateSQL editor (also on a double-click).
class TKVUpdateSQLEditor : public TKVDefaultEditor {
  DESIGN_CLASS(TKVUpdateSQLEditor, TKVDefaultEditor)
  using TKVDefaultEditor::TKVDefaultEditor;
  enum TVerb { vSeparator, vUpdateSQLEditor, VerbCount };  // after the default editor's verbs

  void Edit() override;
  void ExecuteVerb(int Index) override;
  String GetVerb(int Index) override;
  int GetVerbCount() override;
};

// Data sets (tables among them): about, "-", the fields editor (also on a double-click). The
// host data-set editor's own verbs are not offered.
class TKVDataSetEditor : public designintf::TDataSetEditor {
  DESIGN_CLASS(TKVDataSetEditor, designintf::TDataSetEditor)
  using designintf::TDataSetEditor::TDataSetEditor;
  enum TVerb { vAbout, vSeparator, vFieldsEditor, VerbCount };  // from index 0

  void Edit() override;
  void ExecuteVerb(int Index) override;
  String GetVerb(int Index) override;
  int GetVerbCount() override;
};

// Queries: the data-set verbs, then the parameters and, while the design settings' SQL editor
// switch is on, the SQL dialog. Index 4 runs the SQL dialog whether or not the count shows it.
class TKVQueryEditor : public TKVDataSetEditor {
  DESIGN_CLASS(TKVQueryEditor, TKVDataSetEditor)
  using TKVDataSetEditor::TKVDataSetEditor;
  enum TVerb { vParams, vEditSQL, VerbCount };  // after the data-set editor's verbs

  void ExecuteVerb(int Index) override;
  String GetVerb(int Index) override;
  int GetVerbCount() override;

private:
  void EditSQL(korv::TKVQuery* Query);
  // Where the SQL dialog sends its text when the developer asks for the code editor.
  void ShowCodeEditor(rtl::TStrings* Strings, bool Modified);
};

// Stored procedures: the data-set verbs, then the parameters.
class TKVStoredProcEditor : public TKVDataSetEditor {
  DESIGN_CLASS(TKVStoredProcEditor, TKVDataSetEditor)
  using TKVDataSetEditor::TKVDataSetEditor;
  enum TVerb { vParams, VerbCount };  // after the data-set editor's verbs

  void ExecuteVerb(int Index) override;
  String GetVerb(int Index) override;
  int GetVerbCount() override;
};

// Macro queries: the query verbs, then the macros. Used only by the package's registration.
class TKVMacroQueryEditor : public TKVQueryEditor {
  DESIGN_CLASS(TKVMacroQueryEditor, TKVQueryEditor)
  using TKVQueryEditor::TKVQueryEditor;
  enum TVerb { vMacros, VerbCount };  // after the verbs the query editor's count shows

  void ExecuteVerb(int Index) override;
  String GetVerb(int Index) override;
  int GetVerbCount() override;
};

}  // namespace dclkorv
