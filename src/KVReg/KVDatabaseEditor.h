// The database component editor: about, "-", the database properties dialog (also on a
// double-click) and the connection-parameters dialog.
//
// The properties dialog is filled from the component, offers the remote databases used before
// and the saved default parameters and server type (DesignSettings), and on OK writes its
// values back into the component.
#pragma once

#include "KVComponentEditors.h"

namespace korv {
class TKVDatabase;
class TKVDatabaseEditDlg;
}  // namespace korv

namespace dclkorv {

class TKVDatabaseEditor : public TKVDefaultEditor {
  DESIGN_CLASS(TKVDatabaseEditor, TKVDefaultEditor)
  using TKVDefaultEditor::TKVDefaultEditor;
  enum TVerb { vSeparator, vEditDatabase, vParams, VerbCount };  // after the default editor's verbs

  void Edit() override;
  void ExecuteVerb(int Index) override;
  String GetVerb(int Index) override;
  int GetVerbCount() override;

  // Runs the properties dialog on Database; true when the developer accepted it and the values
  // were written back. Properties are written in a fixed order, Params first; a setter that
  // raises leaves those before it written.
  bool EditDatabase(korv::TKVDatabase* Database);
  // The code-editor callback of the connection-parameters dialog.
  void ShowParamsCodeEditor(rtl::TStrings* Strings, bool Modified);
  // Replaces List's lines with the saved default parameters; nothing for nil.
  void GetDefaultParams(rtl::TStrings* List);

  // Handlers of the properties dialog's buttons; they change the design settings only, and do
  // nothing while no dialog of this editor is open.
  void LoadDefaultParams(rtl::TObject* Sender);
  void SaveDefaultParams(rtl::TObject* Sender);
  void SaveDefaultSrvType(rtl::TObject* Sender);

private:
  void EditParams();

  // The properties dialog while EditDatabase runs; nil otherwise.
  korv::TKVDatabaseEditDlg* EditDlg = nullptr;
};

}  // namespace dclkorv
