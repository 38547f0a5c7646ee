#include "KVDialogProperties.h"

#include "KVReg.h"
#include "KVShared.h"

#include "korv/KVParamsEditor.h"
#include "korv/KVQuery.h"
#include "korv/KVSQLEditor.h"
#include "korv/KVStoredProc.h"
#include "rtl/DB.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/Platform.h"

#include <fmt/format.h>

#include <memory>

namespace dclkorv {

using designintf::TPropertyAttribute;
using designintf::TPropertyAttributes;

DESIGN_CLASS_IMPL(TKVParamsProperty)
DESIGN_CLASS_IMPL(TKVQueryParamsProperty)
DESIGN_CLASS_IMPL(TKVStoredProcParamsProperty)
DESIGN_CLASS_IMPL(TKVFileNameProperty)
DESIGN_CLASS_IMPL(TKVStringListEditDlgProperty)
DESIGN_CLASS_IMPL(TKVDatabaseParamsProperty)
DESIGN_CLASS_IMPL(TKVQuerySQLProperty)

// ---------------------------------------------------------------------------- parameter collections

TPropertyAttributes TKVParamsProperty::GetAttributes() {
  return {TPropertyAttribute::paDialog, TPropertyAttribute::paMultiSelect};
}

String TKVParamsProperty::GetValue() { return fmt::format("({})", rtl::TParams::StaticClass()->Name); }

// The collection editors report their own changes to the designer.
void TKVQueryParamsProperty::Edit() { EditQueryParams(Designer(), rtl::As<korv::TKVQuery>(GetComponent(0))); }

void TKVStoredProcParamsProperty::Edit() {
  EditStoredProcParams(Designer(), rtl::As<korv::TKVStoredProc>(GetComponent(0)));
}

// ---------------------------------------------------------------------------- TKVFileNameProperty

TPropertyAttributes TKVFileNameProperty::GetAttributes() {
  return {TPropertyAttribute::paDialog, TPropertyAttribute::paRevertable};
}

void TKVFileNameProperty::Edit() {
  // Owned by the application while it exists; the pointer frees it on every path.
  auto dialog = std::make_unique<vcl::TOpenDialog>(vcl::Application);
  dialog->SetFileName(GetValue());
  dialog->SetFilter(SParamsFileFilter);
  dialog->SetOptions(dialog->Options() + vcl::ofPathMustExist + vcl::ofFileMustExist);
  if (dialog->Execute()) SetValue(dialog->FileName());
}

// ---------------------------------------------------------------------------- string lists

TPropertyAttributes TKVStringListEditDlgProperty::GetAttributes() {
  return TClassProperty::GetAttributes() + TPropertyAttribute::paDialog - TPropertyAttribute::paSubProperties;
}

rtl::TStrings* TKVStringListEditDlgProperty::GetStrings() { return rtl::As<rtl::TStrings>(GetObjValue()); }

void TKVStringListEditDlgProperty::SetStrings(rtl::TStrings* Value) { SetObjValue(Value); }

void TKVStringListEditDlgProperty::ShowCodeEditor(rtl::TStrings* Strings, bool Modified) {
  OpenStringsModule(Designer(), GetComponent(0), GetName(), Strings, Modified);
}

bool TKVStringListEditDlgProperty::AltKeyDown() { return (vcl::GetAsyncKeyState(vcl::VK_MENU) & 0x8000) != 0; }

void TKVDatabaseParamsProperty::Edit() {
  if (ShowStringsModule(Designer(), GetComponent(0), GetName())) return;
  if (AltKeyDown()) {
    ShowCodeEditor(GetStrings(), false);
    return;
  }
  rtl::TStrings* params = GetStrings();
  const bool changed = korv::ShowDatabaseParamsEditor(
      params, [this](rtl::TStrings* Strings, bool Modified) { ShowCodeEditor(Strings, Modified); },
      [this](rtl::TStrings* List) { GetDefaultParams(List); });
  if (changed) SetStrings(params);
}

void TKVDatabaseParamsProperty::GetDefaultParams(rtl::TStrings* List) {
  // Without settings there are no defaults to offer: the developer's lines stay.
  if (!List || !DesignSettings) return;
  List->Assign(DesignSettings->DbParams());
}

void TKVQuerySQLProperty::Edit() {
  rtl::TPersistent* component = GetComponent(0);
  if (ShowStringsModule(Designer(), component, GetName())) return;
  if (AltKeyDown()) {
    ShowCodeEditor(GetStrings(), false);
    return;
  }
  auto* query = rtl::As<korv::TKVQuery>(component);
  const String caption = GetDesignerRootName(Designer()) + "." + query->Name() + "." + GetName();
  const bool changed = korv::ShowSQLEditor(
      caption, query, [this](rtl::TStrings* Strings, bool Modified) { ShowCodeEditor(Strings, Modified); });
  // The dialog wrote the text into the query itself.
  if (changed && Designer()) Designer()->Modified();
}

}  // namespace dclkorv
