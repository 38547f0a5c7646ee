#include "KVNameListProperties.h"

#include "KVReg.h"
#include "KVShared.h"

#include "korv/KVConsts.h"
#include "korv/KVDatabase.h"
#include "korv/KVRemoteDatabaseInput.h"
#include "korv/KVScript.h"
#include "korv/KVSession.h"
#include "korv/KVStoredProc.h"
#include "korv/KVTable.h"
#include "rtl/SysUtils.h"

namespace dclkorv {

using designintf::TPropertyAttribute;
using designintf::TPropertyAttributes;

DESIGN_CLASS_IMPL(TKVStringProperty)
DESIGN_CLASS_IMPL(TKVSessionNameProperty)
DESIGN_CLASS_IMPL(TKVDatabaseNameProperty)
DESIGN_CLASS_IMPL(TKVStoredProcNameProperty)
DESIGN_CLASS_IMPL(TKVTableNameProperty)
DESIGN_CLASS_IMPL(TKVDatabaseProperty)
DESIGN_CLASS_IMPL(TKVDatabaseConnectedProperty)

// ---------------------------------------------------------------------------- TKVStringProperty

TPropertyAttributes TKVStringProperty::GetAttributes() {
  return {TPropertyAttribute::paValueList, TPropertyAttribute::paMultiSelect, TPropertyAttribute::paSortList};
}

void TKVStringProperty::GetValues(const designintf::TGetStrProc& Proc) {
  // Unsorted, duplicates kept: the inspector sorts when paSortList asks it to.
  rtl::TStringList list;
  GetValueList(&list);
  for (int i = 0; i < list.Count(); ++i) Proc(list[i]);
}

// ---------------------------------------------------------------------------- name lists

void TKVSessionNameProperty::GetValueList(rtl::TStrings* List) {
  for (int i = 0; i < korv::Sessions->Count(); ++i) List->Add(korv::Sessions->Sessions(i)->SessionName());
}

void TKVDatabaseNameProperty::GetValueList(rtl::TStrings* List) {
  rtl::TPersistent* component = GetComponent(0);
  korv::TKVSession* session = nullptr;
  if (auto* script = dynamic_cast<korv::TKVScript*>(component))
    session = script->GetDBSession();
  else
    session = rtl::As<korv::TKVDataSet>(component)->GetDBSession();
  session->GetDatabaseNames(List);
}

void TKVStoredProcNameProperty::GetValueList(rtl::TStrings* List) {
  auto* proc = rtl::As<korv::TKVStoredProc>(GetComponent(0));
  proc->GetDBSession()->GetStoredProcNames(proc->DatabaseName(), List);
}

bool TKVTableNameProperty::AutoFill() { return IsDataSetDatabaseConnected(rtl::As<korv::TKVDataSet>(GetComponent(0))); }

void TKVTableNameProperty::GetValueList(rtl::TStrings* List) {
  auto* table = rtl::As<korv::TKVTable>(GetComponent(0));
  table->GetDBSession()->GetTableNames(table->DatabaseName(), "", false, List);
}

// ---------------------------------------------------------------------------- TKVDatabaseProperty

TPropertyAttributes TKVDatabaseProperty::GetAttributes() {
  return {TPropertyAttribute::paValueList, TPropertyAttribute::paDialog};
}

void TKVDatabaseProperty::GetValueList(rtl::TStrings* List) {
  rtl::TStrings* history = DesignSettings ? DesignSettings->RecentDatabases() : nullptr;
  if (!history || history->Count() == 0) {
    List->Add(SHistoryListPlaceholder);
    return;
  }
  List->Assign(history);
}

void TKVDatabaseProperty::SetValue(const String& Value) {
  if (Value == SHistoryListPlaceholder) return;
  TKVStringProperty::SetValue(Value);
}

void TKVDatabaseProperty::Edit() {
  const String current = GetValue();
  auto* database = rtl::As<korv::TKVDatabase>(GetComponent(0));
  const String chosen = korv::InputRemoteDatabaseValue(database->ServerType(), current);
  if (!chosen.empty()) SetValue(chosen);
}

// ---------------------------------------------------------------------------- Connected

void TKVDatabaseConnectedProperty::SetValue(const String& Value) {
  // Connecting first: a connection that fails raises here and records nothing.
  TEnumProperty::SetValue(Value);
  // The enumeration setter reads the name trimmed, so the same text is compared here.
  if (!rtl::SameText(rtl::Trim(Value), korv::STextTrue) || !DesignSettings) return;
  // An empty name would hide every later entry of the saved history; the store refuses it.
  DesignSettings->AddLastUsedDatabase(rtl::As<korv::TKVDatabase>(GetComponent(0))->RemoteDatabase());
}

}  // namespace dclkorv
