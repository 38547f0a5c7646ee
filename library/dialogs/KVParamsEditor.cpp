#include "korv/KVParamsEditor.h"

#include "MemoDialog.h"

// The dialog's description, compiled into the library.
extern const char KVDialog_KVParamsEditor_dfm[];

namespace korv {

using namespace vcl;

rtl::TClass TKVParamsEditorDlg::StaticClass() {
  using T = TKVParamsEditorDlg;
  static rtl::TClass info = rtl::ClassBuilder<T>("TKVParamsEditorDlg")
                                .Method("btDefaultsClick", &T::btDefaultsClick)
                                .Method("btCodeEditorClick", &T::btCodeEditorClick)
                                .Field("lblParams", &T::lblParams)
                                .Field("meParams", &T::meParams)
                                .Field("btDefaults", &T::btDefaults)
                                .Field("btCodeEditor", &T::btCodeEditor)
                                .Field("btOk", &T::btOk)
                                .Field("btCancel", &T::btCancel)
                                .Build();
  return info;
}

static const TFormDescriptionRegistration KVParamsEditorDescription(&TKVParamsEditorDlg::StaticClass,
                                                                    KVDialog_KVParamsEditor_dfm, "KVParamsEditor.dfm");

void TKVParamsEditorDlg::btDefaultsClick(rtl::TObject*) {
  if (!DefaultParams) return;
  rtl::TStringList defaults;
  DefaultParams(&defaults);
  meParams->Lines()->Assign(&defaults);
}

void TKVParamsEditorDlg::btCodeEditorClick(rtl::TObject*) { SetModalResult(mrCodeEditor); }

bool ShowDatabaseParamsEditor(rtl::TStrings* Params, TKVCodeEditorCallback CodeEditorCallback,
                              TKVDefaultParamsCallback DefaultParamsCallback) {
  if (!Params) throw EInvalidOperation("The parameters editor needs a list to edit");
  auto dialog = CreateForm<TKVParamsEditorDlg>(Application);
  dialog->DefaultParams = std::move(DefaultParamsCallback);
  dialog->btDefaults->SetVisible(static_cast<bool>(dialog->DefaultParams));
  dialog->btCodeEditor->SetVisible(static_cast<bool>(CodeEditorCallback));
  TMemo* memo = dialog->meParams;
  const auto result = dialogs::RunMemoDialog(std::move(dialog), memo, Params);

  if (result.ModalResult == mrCodeEditor && CodeEditorCallback) {
    CodeEditorCallback(result.Lines.get(), result.Changed);
    return false;
  }
  if (result.ModalResult != mrOk || !result.Changed) return false;
  Params->Assign(result.Lines.get());
  return true;
}

}  // namespace korv
