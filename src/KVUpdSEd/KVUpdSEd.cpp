// The UpdateSQL editor: opening, the statement buffers, the statement-type switch, the selection
// menu, generating and closing. Asking the database for a table's fields and keys is in
// KVUpdSEdDiscovery.cpp.
#include "KVUpdSEd.h"

#include "korv/KVConsts.h"
#include "korv/KVDatabase.h"
#include "korv/KVQuery.h"
#include "korv/KVUpdateSQL.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"

#include <fmt/format.h>

#include <cstddef>

// The form description, compiled into the package.
extern const unsigned char KVResource_KVUpdSEd_dfm[];
extern const std::size_t KVResource_KVUpdSEd_dfm_size;

namespace dclkorv {

using rtl::TObject;

rtl::TClass TKVUpdateSQLEditForm::StaticClass() {
  using T = TKVUpdateSQLEditForm;
  static const std::unique_ptr<const rtl::TClassInfo> info =
      rtl::ClassBuilder<T>("TKVUpdateSQLEditForm")
          .Method("FormCreate", &T::FormCreate)
          .Method("FormDestroy", &T::FormDestroy)
          .Method("FormCloseQuery", &T::FormCloseQuery)
          .Method("cbTableNameChange", &T::cbTableNameChange)
          .Method("GetTableFieldsClick", &T::GetTableFieldsClick)
          .Method("DataSetDefaultsClick", &T::DataSetDefaultsClick)
          .Method("btSelectPrimKeysClick", &T::btSelectPrimKeysClick)
          .Method("GenerateSQLClick", &T::GenerateSQLClick)
          .Method("StatementTypeClick", &T::StatementTypeClick)
          .Method("SQLTextExit", &T::SQLTextExit)
          .Method("SelectAllClick", &T::SelectAllClick)
          .Method("ClearAllClick", &T::ClearAllClick)
          .Field("pcUpdateSQL", &T::pcUpdateSQL)
          .Field("tsOptions", &T::tsOptions)
          .Field("gbxGenSQL", &T::gbxGenSQL)
          .Field("lblTableName", &T::lblTableName)
          .Field("cbTableName", &T::cbTableName)
          .Field("btGetTableFields", &T::btGetTableFields)
          .Field("btDataSetDefaults", &T::btDataSetDefaults)
          .Field("btSelectPrimKeys", &T::btSelectPrimKeys)
          .Field("btGenerateSQL", &T::btGenerateSQL)
          .Field("lblKeyFields", &T::lblKeyFields)
          .Field("lbKeyFields", &T::lbKeyFields)
          .Field("lblUpdateFields", &T::lblUpdateFields)
          .Field("lbUpdateFields", &T::lbUpdateFields)
          .Field("cbQuotedFields", &T::cbQuotedFields)
          .Field("tsSQL", &T::tsSQL)
          .Field("rgrStatementType", &T::rgrStatementType)
          .Field("lblSQLText", &T::lblSQLText)
          .Field("meSQLText", &T::meSQLText)
          .Field("pnlButton", &T::pnlButton)
          .Field("btOk", &T::btOk)
          .Field("btCancel", &T::btCancel)
          .Field("pmFields", &T::pmFields)
          .Field("miSelectAll", &T::miSelectAll)
          .Field("miClearAll", &T::miClearAll)
          .BuildOwned();
  return info.get();
}

static const vcl::TFormDescriptionRegistration KVUpdateSQLEditFormDescription(
    &TKVUpdateSQLEditForm::StaticClass, reinterpret_cast<const char*>(KVResource_KVUpdSEd_dfm), "KVUpdSEd.dfm");

TKVUpdateSQLEditForm::TKVUpdateSQLEditForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}

TKVUpdateSQLEditForm::~TKVUpdateSQLEditForm() = default;

namespace {

bool AnySelected(const vcl::TListBox* ListBox) {
  for (int i = 0; i < ListBox->Items()->Count(); ++i)
    if (ListBox->Selected(i)) return true;
  return false;
}

std::vector<TGenField> ListFields(const vcl::TListBox* ListBox) {
  std::vector<TGenField> fields;
  const int count = ListBox->Items()->Count();
  fields.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) fields.push_back({ListBox->Items()->Get(i), ListBox->Selected(i)});
  return fields;
}

}  // namespace

// ------------------------------------------------------------------ creation and destruction

void TKVUpdateSQLEditForm::FormCreate(TObject*) {
  FRefreshSQL = std::make_unique<rtl::TStringList>();
  FModifySQL = std::make_unique<rtl::TStringList>();
  FInsertSQL = std::make_unique<rtl::TStringList>();
  FDeleteSQL = std::make_unique<rtl::TStringList>();
  FFieldInfo = std::make_unique<rtl::TStringList>();
  FTableInfo = std::make_unique<rtl::TStringList>();
  FUpdateSQL = nullptr;
  pcUpdateSQL->SetActivePage(tsOptions);
}

void TKVUpdateSQLEditForm::FormDestroy(TObject*) {
  FFieldInfo.reset();
  FTableInfo.reset();
  FRefreshSQL.reset();
  FModifySQL.reset();
  FInsertSQL.reset();
  FDeleteSQL.reset();
}

rtl::TStrings* TKVUpdateSQLEditForm::SQLBuffer(int Index) const {
  switch (Index) {
  case 0: return FRefreshSQL.get();
  case 1: return FModifySQL.get();
  case 2: return FInsertSQL.get();
  case 3: return FDeleteSQL.get();
  default: throw rtl::EListError(fmt::format("Statement index out of bounds ({})", Index));
  }
}

// ------------------------------------------------------------------ opening

void TKVUpdateSQLEditForm::InitProperties() {
  LoadDefaultOptions();
  SelectAllFields();
  LoadStatements();
  DataSetDefaultsClick(this);
  StatementTypeClick(this);
  cbTableNameChange(this);
}

void TKVUpdateSQLEditForm::LoadDefaultOptions() {
  auto* query = dynamic_cast<korv::TKVQuery*>(FUpdateSQL ? FUpdateSQL->DataSet() : nullptr);
  if (!query) return;
  vcl::TCursorGuard hourglass(vcl::crHourGlass);
  FFieldInfo->Clear();
  FTableInfo->Clear();
  query->ParseFieldInfoFromSQL(query->StatementText(), FFieldInfo.get(), FTableInfo.get(), nullptr);
  FObjOwnerSupported = query->IsObjOwnerSupported();
  if (korv::TKVDatabase* db = query->FindDatabase()) FServerType = db->ServerType();
  cbTableName->Items()->Clear();
  cbTableName->SetText("");
  lbKeyFields->Items()->Clear();
  lbUpdateFields->Items()->Clear();
  for (int i = 0; i < FTableInfo->Count(); ++i) {
    const String name = FTableInfo->Names(i);
    if (!name.empty()) cbTableName->Items()->Add(FTableInfo->Values(name));
  }
  // Selecting an item from code runs no change handler; InitProperties runs it last.
  if (cbTableName->Items()->Count() > 0) cbTableName->SetItemIndex(0);
}

void TKVUpdateSQLEditForm::LoadStatements() {
  for (int i = 0; i < 4; ++i) SQLBuffer(i)->Assign(FUpdateSQL->GetSQLIndex(i));
}

void TKVUpdateSQLEditForm::SaveStatements() {
  for (int i = 0; i < 4; ++i) FUpdateSQL->GetSQLIndex(i)->Assign(SQLBuffer(i));
}

void TKVUpdateSQLEditForm::cbTableNameChange(TObject*) {
  const bool disabled = !FUpdateSQL || !FUpdateSQL->DataSet() || rtl::Trim(cbTableName->Text()).empty();
  btGetTableFields->SetEnabled(!disabled);
  btSelectPrimKeys->SetEnabled(!disabled);
  btGenerateSQL->SetEnabled(!disabled);
}

void TKVUpdateSQLEditForm::DataSetDefaultsClick(TObject*) {
  lbKeyFields->Items()->Clear();
  lbUpdateFields->Items()->Clear();
  for (int i = 0; i < FFieldInfo->Count(); ++i) {
    const String name = FFieldInfo->Names(i);
    if (name.empty()) continue;
    lbKeyFields->Items()->Add(name);
    lbUpdateFields->Items()->Add(name);
  }
  SelectAllFields();
  btDataSetDefaults->SetEnabled(false);
}

// ------------------------------------------------------------------ statement type and text

void TKVUpdateSQLEditForm::StatementTypeClick(TObject*) {
  const int index = rgrStatementType->ItemIndex();
  if (index < 0) return;
  meSQLText->Lines()->Assign(SQLBuffer(index));
}

void TKVUpdateSQLEditForm::SQLTextExit(TObject*) {
  const int index = rgrStatementType->ItemIndex();
  if (index < 0) return;
  SQLBuffer(index)->Assign(meSQLText->Lines());
}

// ------------------------------------------------------------------ selection menu

void TKVUpdateSQLEditForm::SetSelectedAllItems(vcl::TListBox* ListBox, bool Select) {
  for (int i = 0; i < ListBox->Items()->Count(); ++i) ListBox->SetSelected(i, Select);
}

void TKVUpdateSQLEditForm::SelectAllClick(TObject*) {
  rtl::TComponent* target = pmFields->PopupComponent();
  if (target == lbKeyFields || target == lbUpdateFields) SetSelectedAllItems(static_cast<vcl::TListBox*>(target), true);
}

void TKVUpdateSQLEditForm::ClearAllClick(TObject*) {
  rtl::TComponent* target = pmFields->PopupComponent();
  if (target == lbKeyFields || target == lbUpdateFields)
    SetSelectedAllItems(static_cast<vcl::TListBox*>(target), false);
}

void TKVUpdateSQLEditForm::SelectAllFields() {
  pmFields->SetPopupComponent(lbKeyFields);
  SelectAllClick(this);
  pmFields->SetPopupComponent(lbUpdateFields);
  SelectAllClick(this);
}

// ------------------------------------------------------------------ generating

TUpdateSQLGenInputs TKVUpdateSQLEditForm::GenInputs() const {
  TUpdateSQLGenInputs in;
  in.TableText = cbTableName->Text();
  in.KeyFields = ListFields(lbKeyFields);
  in.UpdateFields = ListFields(lbUpdateFields);
  in.QuoteFields = cbQuotedFields->Checked();
  in.ObjOwnerSupported = FObjOwnerSupported;
  in.ServerType = FServerType;
  in.FieldInfo = FFieldInfo.get();
  return in;
}

String TKVUpdateSQLEditForm::QuoteName(const String& AIdentName) const {
  TUpdateSQLGenInputs in;
  in.QuoteFields = cbQuotedFields->Checked();
  in.ServerType = FServerType;
  return dclkorv::QuoteName(in, AIdentName);
}

String TKVUpdateSQLEditForm::FindFieldAlias(const String& TableText, const String& Field) const {
  return TFieldAliasMap(FFieldInfo.get()).Find(TableText, Field);
}

void TKVUpdateSQLEditForm::GenerateModifySQL() {
  const TUpdateSQLGenInputs in = GenInputs();
  dclkorv::GenerateModifySQL(in, TFieldAliasMap(in.FieldInfo), FModifySQL.get());
}

void TKVUpdateSQLEditForm::GenerateRefreshSQL() {
  const TUpdateSQLGenInputs in = GenInputs();
  dclkorv::GenerateRefreshSQL(in, TFieldAliasMap(in.FieldInfo), FRefreshSQL.get());
}

void TKVUpdateSQLEditForm::GenerateInsertSQL() {
  const TUpdateSQLGenInputs in = GenInputs();
  dclkorv::GenerateInsertSQL(in, TFieldAliasMap(in.FieldInfo), FInsertSQL.get());
}

void TKVUpdateSQLEditForm::GenerateDeleteSQL() {
  const TUpdateSQLGenInputs in = GenInputs();
  dclkorv::GenerateDeleteSQL(in, TFieldAliasMap(in.FieldInfo), FDeleteSQL.get());
}

void TKVUpdateSQLEditForm::GenerateSQLClick(TObject* Sender) {
  if (!AnySelected(lbKeyFields) || !AnySelected(lbUpdateFields)) {
    vcl::MessageDlg(korv::SSQLGenSelect, vcl::mtError, {vcl::mbOK}, 0);
    return;
  }
  // The controls and the field information are read, and each name quoted, once for the four
  // statements.
  const TUpdateSQLGenInputs in = GenInputs();
  const TFieldAliasMap aliases(in.FieldInfo);
  dclkorv::TGenNames names(in, aliases);
  dclkorv::GenerateModifySQL(names, FModifySQL.get());
  dclkorv::GenerateInsertSQL(names, FInsertSQL.get());
  dclkorv::GenerateDeleteSQL(names, FDeleteSQL.get());
  dclkorv::GenerateRefreshSQL(names, FRefreshSQL.get());
  StatementTypeClick(Sender);
}

// ------------------------------------------------------------------ closing

void TKVUpdateSQLEditForm::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = true;
  if (ModalResult() != vcl::mrOk) return;
  if (!rtl::Trim(FModifySQL->Text()).empty()) return;
  CanClose = vcl::MessageDlg(korv::SSQLNotGenerated, vcl::mtConfirmation, {vcl::mbYes, vcl::mbNo, vcl::mbCancel}, 0) ==
             vcl::mrYes;
}

// ------------------------------------------------------------------ EditUpdateSQL

bool EditUpdateSQL(korv::TKVUpdateSQL* AUpdateSQL) {
  if (!AUpdateSQL) return false;
  // Freed on every path when this goes out of scope.
  std::unique_ptr<TKVUpdateSQLEditForm> form = vcl::CreateForm<TKVUpdateSQLEditForm>(vcl::Application);
  String name = AUpdateSQL->Name();
  if (auto* ownerForm = dynamic_cast<vcl::TForm*>(AUpdateSQL->Owner())) name = ownerForm->Name() + "." + name;
  const korv::TKVDataSet* dataSet = AUpdateSQL->DataSet();
  form->SetCaption(fmt::format("{} ({})", name, dataSet ? dataSet->Name() : String(korv::SNoDataSet)));
  form->SetUpdateSQL(AUpdateSQL);
  form->InitProperties();
  if (form->ShowModal() != vcl::mrOk) return false;
  form->SaveStatements();
  return true;
}

}  // namespace dclkorv
