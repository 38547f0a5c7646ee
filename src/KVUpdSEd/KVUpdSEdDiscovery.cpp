// The UpdateSQL editor's two questions to the database about the named table: its columns
// ("Get Table Fields") and the columns of its primary key or first unique index ("Select
// Primary Keys").
#include "KVUpdSEd.h"

#include "korv/KVCommon.h"
#include "korv/KVConsts.h"
#include "korv/KVDataSet.h"
#include "korv/KVDatabase.h"
#include "korv/KVSession.h"
#include "korv/KVUpdateSQL.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"
#include "vcl/Platform.h"

#include <fmt/format.h>

#include <algorithm>

namespace dclkorv {

using rtl::TObject;

namespace {

// Drops double quotes and apostrophes. The character that moves into the place of a removed
// one is not looked at, so of two adjacent quote characters only the first goes: a doubled
// quote inside a quoted name ("a""b") comes out single (a"b).
String RemoveQuoteChars(String Text) {
  for (std::size_t i = 0; i < Text.size(); ++i)
    if (Text[i] == '"' || Text[i] == '\'') Text.erase(i, 1);
  return Text;
}

// The index flags of the catalogue's INDEX_TYPE.
constexpr int IndexTypePrimary = 4;
constexpr int IndexTypeUnique = 2;

}  // namespace

void TKVUpdateSQLEditForm::GetTableFieldsClick(TObject*) {
  korv::TKVDataSet* dataSet = FUpdateSQL ? FUpdateSQL->DataSet() : nullptr;
  if (!dataSet) rtl::AssertionFailed("Assertion failure", "src\\KVUpdSEd", 542);

  const String tableName = RemoveQuoteChars(cbTableName->Text());
  auto fieldNames = std::make_unique<rtl::TStringList>();
  dataSet->GetDBSession()->GetFieldNames(dataSet->DatabaseName(), korv::GetValidObjName(tableName, !FObjOwnerSupported),
                                         fieldNames.get());
  if (fieldNames->Count() == 0) {
    vcl::MessageDlg(fmt::format(fmt::runtime(korv::SSQLDataSetOpen), tableName), vcl::mtError, {vcl::mbOK}, 0);
  } else {
    lbKeyFields->Items()->Clear();
    lbUpdateFields->Items()->Clear();
    int keyExtent = 0, updateExtent = 0;
    for (int i = 0; i < fieldNames->Count(); ++i) {
      const String entry = fieldNames->Get(i);
      if (entry.empty()) continue;
      const String item = rtl::Trim(entry);
      lbKeyFields->Items()->Add(item);
      lbUpdateFields->Items()->Add(item);
      // Measured untrimmed, with room for one more letter.
      keyExtent = std::max(keyExtent, lbKeyFields->Canvas()->TextWidth(entry + "A"));
      updateExtent = std::max(updateExtent, lbUpdateFields->Canvas()->TextWidth(entry + "A"));
    }
    vcl::SendMessage(lbKeyFields, vcl::LB_SETHORIZONTALEXTENT, static_cast<uintptr_t>(keyExtent), 0);
    vcl::SendMessage(lbUpdateFields, vcl::LB_SETHORIZONTALEXTENT, static_cast<uintptr_t>(updateExtent), 0);
  }
  SelectAllFields();
  btDataSetDefaults->SetEnabled(true);
}

void TKVUpdateSQLEditForm::btSelectPrimKeysClick(TObject*) {
  korv::TKVDataSet* dataSet = FUpdateSQL ? FUpdateSQL->DataSet() : nullptr;
  if (!dataSet) return;  // the button is disabled then
  korv::TKVDatabase* database = dataSet->GetDBSession()->FindDatabase(dataSet->DatabaseName());
  if (!database) return;  // nothing to ask: as for no index information
  // The box's text as it stands: quotes and owner prefix are the catalogue's to read.
  std::unique_ptr<korv::TKVResultSet> indexes =
      database->GetSchemaInfo(korv::TKVSchemaType::stIndexes, cbTableName->Text());
  if (!indexes) return;

  auto primKeys = std::make_unique<rtl::TStringList>();
  auto uniqueKeys = std::make_unique<rtl::TStringList>();
  String firstUniqueIndex;
  for (; !indexes->Eof(); indexes->Next()) {
    const korv::TKVField* indexType = indexes->FieldByName("INDEX_TYPE");
    if (indexType->IsNull()) continue;
    const int flags = indexType->AsInteger();
    if (flags & IndexTypePrimary) {
      const String column = rtl::Trim(indexes->FieldByName("COLUMN_NAME")->AsString());
      if (!column.empty()) primKeys->Add(column);
    }
    if (flags & IndexTypeUnique) {
      const String indexName = rtl::Trim(indexes->FieldByName("INDEX_NAME")->AsString());
      if (firstUniqueIndex.empty()) firstUniqueIndex = indexName;
      if (indexName == firstUniqueIndex) uniqueKeys->Add(rtl::Trim(indexes->FieldByName("COLUMN_NAME")->AsString()));
    }
  }

  SetSelectedAllItems(lbKeyFields, false);
  const rtl::TStringList* keys = primKeys->Count() > 0 ? primKeys.get() : uniqueKeys.get();
  for (int i = 0; i < lbKeyFields->Items()->Count(); ++i)
    if (keys->IndexOf(lbKeyFields->Items()->Get(i)) >= 0) lbKeyFields->SetSelected(i, true);
}

}  // namespace dclkorv
