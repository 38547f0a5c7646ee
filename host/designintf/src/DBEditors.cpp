#include "designintf/DBEditors.h"

#include "designintf/HostDialogs.h"
#include "rtl/SysUtils.h"

namespace designintf {

DESIGN_CLASS_IMPL(TDBStringProperty)
DESIGN_CLASS_IMPL(TIndexNameProperty)
DESIGN_CLASS_IMPL(TIndexFieldNamesProperty)
DESIGN_CLASS_IMPL(TFieldLinkProperty)

TPropertyAttributes TDBStringProperty::GetAttributes() {
  return {TPropertyAttribute::paValueList, TPropertyAttribute::paSortList, TPropertyAttribute::paMultiSelect};
}

void TDBStringProperty::GetValues(const TGetStrProc& Proc) {
  rtl::TStringList list;
  GetValueList(&list);
  for (int i = 0; i < list.Count(); ++i) Proc(list[i]);
}

// The data set's index definitions (its own, else a published IndexDefs), read afresh from its
// database; nil when it has none.
rtl::TIndexDefs* GetDataSetIndexDefs(rtl::TComponent* DataSet) {
  rtl::TIndexDefs* defs = nullptr;
  if (auto* dataSet = dynamic_cast<rtl::TDataSet*>(DataSet)) defs = dataSet->IndexDefs();
  if (const rtl::TPropInfo* p = defs ? nullptr : rtl::GetPropInfo(DataSet, "IndexDefs");
      p && p->Kind() == rtl::TTypeKind::tkClass)
    defs = dynamic_cast<rtl::TIndexDefs*>(rtl::GetObjectProp(DataSet, p));
  if (defs) defs->Update();
  return defs;
}

void TIndexNameProperty::GetValueList(rtl::TStrings* List) {
  if (rtl::TIndexDefs* defs = GetDataSetIndexDefs(dynamic_cast<rtl::TComponent*>(GetComponent(0))))
    for (int i = 0; i < defs->Count(); ++i)
      if (!defs->Items(i)->Name().empty()) List->Add(defs->Items(i)->Name());
}

void TIndexFieldNamesProperty::GetValueList(rtl::TStrings* List) {
  if (rtl::TIndexDefs* defs = GetDataSetIndexDefs(dynamic_cast<rtl::TComponent*>(GetComponent(0))))
    for (int i = 0; i < defs->Count(); ++i)
      if (!defs->Items(i)->Fields().empty() && List->IndexOf(defs->Items(i)->Fields()) < 0)
        List->Add(defs->Items(i)->Fields());
}

// ---------------------------------------------------------------------------- TFieldLinkProperty

TPropertyAttributes TFieldLinkProperty::GetAttributes() {
  return {TPropertyAttribute::paDialog, TPropertyAttribute::paRevertable};
}

void TFieldLinkProperty::Edit() {
  FChanged = false;
  if (HostDialogs().ExecuteFieldLinkDesigner(*this)) {
    FChanged = true;
    Modified();
  }
}

rtl::TDataSet* TFieldLinkProperty::GetDataSet() { return rtl::As<rtl::TDataSet>(GetComponent(0)); }

rtl::TDataSet* TFieldLinkProperty::GetMasterDataSet() {
  rtl::TDataSet* detail = GetDataSet();
  const rtl::TPropInfo* p = rtl::GetPropInfo(detail, "MasterSource");
  if (!p || p->Kind() != rtl::TTypeKind::tkClass) return nullptr;
  auto* source = dynamic_cast<rtl::TDataSource*>(rtl::GetObjectProp(detail, p));
  return source ? source->DataSet() : nullptr;
}

String TFieldLinkProperty::GetDataSetStr(const String& PropName) {
  rtl::TDataSet* ds = GetDataSet();
  const rtl::TPropInfo* p = rtl::GetPropInfo(ds, PropName);
  return p && p->Kind() == rtl::TTypeKind::tkString ? rtl::GetStrProp(ds, p) : String();
}

void TFieldLinkProperty::SetDataSetStr(const String& PropName, const String& Value) {
  rtl::TDataSet* ds = GetDataSet();
  const rtl::TPropInfo* p = rtl::GetPropInfo(ds, PropName);
  if (!p || p->Kind() != rtl::TTypeKind::tkString)
    throw rtl::EPropertyError(ds->ClassName() + " has no property " + PropName);
  rtl::SetStrProp(ds, p, Value);
}

void TFieldLinkProperty::GetFieldNamesForIndex(rtl::TStrings* List) {
  String fields = GetIndexFieldNames();
  if (fields.empty()) {
    rtl::TIndexDefs* defs = GetIndexDefs();
    String name = GetIndexName();
    if (defs) {
      int i = name.empty() ? -1 : defs->IndexOf(name);
      if (i < 0 && name.empty())
        for (int k = 0; k < defs->Count() && i < 0; ++k)
          if (defs->Items(k)->Options().Contains(rtl::TIndexOption::ixPrimary)) i = k;
      if (i >= 0) fields = defs->Items(i)->Fields();
    }
  }
  size_t start = 0;
  while (start <= fields.size() && !fields.empty()) {
    size_t end = fields.find(';', start);
    String f = rtl::Trim(fields.substr(start, end == String::npos ? String::npos : end - start));
    if (!f.empty()) List->Add(f);
    if (end == String::npos) break;
    start = end + 1;
  }
}

bool TFieldLinkProperty::GetIndexBased() {
  rtl::TDataSet* ds = GetDataSet();
  return !ds->GetProviderSupport()->PSIsSQLBased();
}

rtl::TIndexDefs* TFieldLinkProperty::GetIndexDefs() { return GetDataSetIndexDefs(GetDataSet()); }
String TFieldLinkProperty::GetIndexFieldNames() { return GetDataSetStr("IndexFieldNames"); }
String TFieldLinkProperty::GetIndexName() { return GetDataSetStr("IndexName"); }
String TFieldLinkProperty::GetMasterFields() { return GetDataSetStr("MasterFields"); }
void TFieldLinkProperty::SetIndexFieldNames(const String& Value) { SetDataSetStr("IndexFieldNames", Value); }
void TFieldLinkProperty::SetIndexName(const String& Value) { SetDataSetStr("IndexName", Value); }
void TFieldLinkProperty::SetMasterFields(const String& Value) { SetDataSetStr("MasterFields", Value); }

void TFieldLinkProperty::GetMasterFieldNames(rtl::TStrings* List) {
  rtl::TDataSet* master = GetMasterDataSet();
  if (!master) return;
  for (int i = 0; i < master->FieldDefs()->Count(); ++i) List->Add(master->FieldDefs()->Items(i)->Name());
}

}  // namespace designintf
