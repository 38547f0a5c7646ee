#include "KVFieldLinkProperty.h"

#include "korv/KVConsts.h"
#include "korv/KVTable.h"

namespace dclkorv {

DESIGN_CLASS_IMPL(TKVTableFieldLinkProperty)

TKVTableFieldLinkProperty::TKVTableFieldLinkProperty(designintf::IDesigner* ADesigner, int APropCount)
    : TFieldLinkProperty(ADesigner, APropCount) {}

TKVTableFieldLinkProperty::~TKVTableFieldLinkProperty() = default;

korv::TKVTable& TKVTableFieldLinkProperty::Table() {
  if (!FTable) throw rtl::EPropertyError("The link of " + GetName() + " can be reached only while its designer runs");
  return *FTable;
}

void TKVTableFieldLinkProperty::Edit() {
  auto* edited = rtl::As<korv::TKVTable>(GetDataSet());

  // The temporary table goes when Edit ends, however it ends (its database is left as found).
  struct TTableScope {
    std::unique_ptr<korv::TKVTable>& Table;
    ~TTableScope() { Table.reset(); }
  } scope{FTable};
  FTable = std::make_unique<korv::TKVTable>(nullptr);

  // Only one of the index properties is copied, so the copy follows the same index. The copy is
  // not linked to the master: the link designer reads the master's fields from the edited table.
  FTable->SetSessionName(edited->SessionName());
  FTable->SetDatabaseName(edited->DatabaseName());
  FTable->SetTableName(edited->TableName());
  if (!edited->IndexFieldNames().empty())
    FTable->SetIndexFieldNames(edited->IndexFieldNames());
  else
    FTable->SetIndexName(edited->IndexName());
  FTable->SetMasterFields(edited->MasterFields());
  FTable->Open();

  TFieldLinkProperty::Edit();
  if (!Changed()) return;

  edited->SetMasterFields(FTable->MasterFields());
  if (!FTable->IndexFieldNames().empty()) {
    edited->SetIndexFieldNames(FTable->IndexFieldNames());
  } else {
    // Index field names win over an index name, so ones the copy no longer has must not stay
    // behind the index the developer chose.
    edited->SetIndexFieldNames(String());
    edited->SetIndexName(FTable->IndexName());
  }
  // The link designer told the designer when it closed; tell it again now the table holds the
  // new link, so that what refreshes sees it.
  Modified();
}

void TKVTableFieldLinkProperty::GetFieldNamesForIndex(rtl::TStrings* List) {
  korv::TKVTable& table = Table();
  for (int i = 0; i < table.GetIndexFieldCount(); ++i) List->Add(table.GetIndexField(i)->FieldName());
}

bool TKVTableFieldLinkProperty::GetIndexBased() { return !Table().GetProviderSupport()->PSIsSQLBased(); }

rtl::TIndexDefs* TKVTableFieldLinkProperty::GetIndexDefs() { return Table().IndexDefs(); }

String TKVTableFieldLinkProperty::GetIndexFieldNames() { return Table().IndexFieldNames(); }

String TKVTableFieldLinkProperty::GetIndexName() { return Table().IndexName(); }

String TKVTableFieldLinkProperty::GetMasterFields() { return Table().MasterFields(); }

void TKVTableFieldLinkProperty::SetIndexFieldNames(const String& Value) { Table().SetIndexFieldNames(Value); }

void TKVTableFieldLinkProperty::SetIndexName(const String& Value) {
  Table().SetIndexName(Value == korv::SPrimary ? String() : Value);
}

void TKVTableFieldLinkProperty::SetMasterFields(const String& Value) { Table().SetMasterFields(Value); }

}  // namespace dclkorv
