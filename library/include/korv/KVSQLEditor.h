// The SQL dialog: edits a query's statement text in a memo, or hands it to a code editor.
#pragma once

#include "rtl/Strings.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

#include <functional>

namespace korv {

using rtl::String;

class TKVQuery;

// Takes a text to go on editing elsewhere and whether it differs from what it was.
using TKVCodeEditorCallback = std::function<void(rtl::TStrings* Strings, bool Modified)>;

// The modal result of a dialog left through its "Code Editor..." button.
inline constexpr vcl::TModalResult mrCodeEditor = 100;

class TKVSQLEditorDlg : public vcl::TForm {
  RTL_CLASS(TKVSQLEditorDlg, vcl::TForm)
  explicit TKVSQLEditorDlg(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}

  vcl::TMemo* meSQL = nullptr;
  vcl::TButton* btCodeEditor = nullptr;
  vcl::TButton* btOk = nullptr;
  vcl::TButton* btCancel = nullptr;

  void btCodeEditorClick(rtl::TObject* Sender);
};

// Shows Query's SQL under Title. OK writes the text back when it was changed; "Code Editor..."
// (offered only with a callback) closes the dialog and calls CodeEditorCallback with the text
// and whether it was changed, leaving the query as it was. True only when OK changed the SQL.
// A nil Query raises vcl::EInvalidOperation.
bool ShowSQLEditor(const String& Title, TKVQuery* Query, TKVCodeEditorCallback CodeEditorCallback);

}  // namespace korv
