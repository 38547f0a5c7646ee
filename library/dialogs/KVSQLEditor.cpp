#include "korv/KVSQLEditor.h"

#include "MemoDialog.h"
#include "korv/KVQuery.h"

// The dialog's description, compiled into the library.
extern const char KVDialog_KVSQLEditor_dfm[];

namespace korv {

using namespace vcl;

rtl::TClass TKVSQLEditorDlg::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVSQLEditorDlg>("TKVSQLEditorDlg")
                                .Method("btCodeEditorClick", &TKVSQLEditorDlg::btCodeEditorClick)
                                .Field("meSQL", &TKVSQLEditorDlg::meSQL)
                                .Field("btCodeEditor", &TKVSQLEditorDlg::btCodeEditor)
                                .Field("btOk", &TKVSQLEditorDlg::btOk)
                                .Field("btCancel", &TKVSQLEditorDlg::btCancel)
                                .Build();
  return info;
}

static const TFormDescriptionRegistration KVSQLEditorDescription(&TKVSQLEditorDlg::StaticClass,
                                                                 KVDialog_KVSQLEditor_dfm, "KVSQLEditor.dfm");

void TKVSQLEditorDlg::btCodeEditorClick(rtl::TObject*) { SetModalResult(mrCodeEditor); }

bool ShowSQLEditor(const String& Title, TKVQuery* Query, TKVCodeEditorCallback CodeEditorCallback) {
  if (!Query) throw EInvalidOperation("The SQL editor needs a query to edit");
  auto dialog = CreateForm<TKVSQLEditorDlg>(Application);
  dialog->SetCaption(Title);
  dialog->btCodeEditor->SetVisible(static_cast<bool>(CodeEditorCallback));
  TMemo* memo = dialog->meSQL;
  const auto result = dialogs::RunMemoDialog(std::move(dialog), memo, Query->SQL());

  if (result.ModalResult == mrCodeEditor && CodeEditorCallback) {
    CodeEditorCallback(result.Lines.get(), result.Changed);
    return false;
  }
  if (result.ModalResult != mrOk || !result.Changed) return false;
  Query->SQL()->Assign(result.Lines.get());
  return true;
}

}  // namespace korv
