// The connection-parameters dialog: a database's name=value parameters in a memo, with the
// default parameters a button away and a code editor as the other place to edit them.
#pragma once

#include "korv/KVSQLEditor.h"
#include "rtl/Strings.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

#include <functional>

namespace korv {

using TKVDefaultParamsCallback = std::function<void(rtl::TStrings* List)>;

class TKVParamsEditorDlg : public vcl::TForm {
  RTL_CLASS(TKVParamsEditorDlg, vcl::TForm)
  explicit TKVParamsEditorDlg(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}

  vcl::TLabel* lblParams = nullptr;
  vcl::TMemo* meParams = nullptr;
  vcl::TButton* btDefaults = nullptr;
  vcl::TButton* btCodeEditor = nullptr;
  vcl::TButton* btOk = nullptr;
  vcl::TButton* btCancel = nullptr;

  // Replaces the memo's lines with those the callback gives.
  void btDefaultsClick(rtl::TObject* Sender);
  void btCodeEditorClick(rtl::TObject* Sender);

  TKVDefaultParamsCallback DefaultParams;
};

// Shows Params (the caller's list) in the dialog. OK writes the lines back into Params when they
// changed; "Defaults" (offered only with DefaultParamsCallback) replaces the lines with the
// defaults; "Code Editor..." (offered only with CodeEditorCallback) closes the dialog and calls
// the callback with the lines and whether they were changed, leaving Params as it was. True only
// when OK changed Params. A nil Params raises vcl::EInvalidOperation.
bool ShowDatabaseParamsEditor(rtl::TStrings* Params, TKVCodeEditorCallback CodeEditorCallback,
                              TKVDefaultParamsCallback DefaultParamsCallback);

}  // namespace korv
