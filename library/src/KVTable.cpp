#include "korv/KVTable.h"

#include "korv/KVBoundStatement.h"
#include "korv/KVCommon.h"
#include "korv/KVDatabase.h"
#include "rtl/SysUtils.h"

namespace korv {

namespace {

std::vector<String> SplitFieldNames(const String& Fields) {
  std::vector<String> names;
  std::size_t start = 0;
  while (start <= Fields.size()) {
    std::size_t end = Fields.find(';', start);
    if (end == String::npos) end = Fields.size();
    String name = rtl::Trim(Fields.substr(start, end - start));
    if (!name.empty()) names.push_back(std::move(name));
    start = end + 1;
  }
  return names;
}

// One name in double quotes, inner quotes doubled (backticks for MariaDB): a column as the
// catalogue spells it.
String QuoteName(const String& Name, TKVServerType ServerType) {
  if (ServerType == TKVServerType::stMariaDB) return QuoteMariaDBName(Name, true);
  String quoted = "\"";
  for (char c : Name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace

rtl::TClass TKVTable::StaticClass() {
  static rtl::TClass info =
      rtl::ClassBuilder<TKVTable>("TKVTable")
          .StrProp("IndexFieldNames", &TKVTable::IndexFieldNames, &TKVTable::SetIndexFieldNames)
          .StrProp("IndexName", &TKVTable::IndexName, &TKVTable::SetIndexName)
          .StrProp("MasterFields", &TKVTable::MasterFields, &TKVTable::SetMasterFields)
          .RefProp<rtl::TDataSource>("MasterSource", &TKVTable::MasterSource, &TKVTable::SetMasterSource)
          .StrProp("TableName", &TKVTable::TableName, &TKVTable::SetTableName)
          .Build();
  return info;
}

TKVTable::TKVTable(rtl::TComponent* AOwner) : TKVDataSet(AOwner), FIndexDefs(std::make_unique<rtl::TIndexDefs>(this)) {
  FIndexDefs->SetPropName("IndexDefs");
}

TKVTable::~TKVTable() { SetMasterSource(nullptr); }

void TKVTable::SetTableName(const String& Value) {
  if (Value == FTableName) return;
  CloseActive();
  FTableName = Value;
}

void TKVTable::SetMasterSource(rtl::TDataSource* Value) {
  if (Value == FMasterSource) return;
  if (FMasterSource) RemoveFreeNotification(FMasterSource);
  FMasterSource = Value;
  if (Value) Value->FreeNotification(this);
}

void TKVTable::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
  TKVDataSet::Notification(AComponent, Operation);
  if (Operation == rtl::TOperation::opRemove && AComponent && AComponent == FMasterSource) FMasterSource = nullptr;
}

void TKVTable::ReadIndexDefs(drivers::Connection& Connection) {
  const auto indexRows = Connection.IndexInfo(FTableName);

  // Rows come in index then column order: one definition per run of the same index name.
  FIndexDefs->BeginUpdate();
  FIndexDefs->Clear();
  rtl::TIndexDef* current = nullptr;
  for (const auto& row : indexRows) {
    if (!current || current->Name() != row.IndexName) {
      rtl::TIndexOptions options;
      if (row.IndexType & 4) options = options + rtl::TIndexOption::ixPrimary + rtl::TIndexOption::ixUnique;
      if (row.IndexType & 2) options = options + rtl::TIndexOption::ixUnique;
      if (row.ColumnName.empty()) options = options + rtl::TIndexOption::ixExpression;
      current = FIndexDefs->Add(row.IndexName, row.ColumnName, options);
    } else {
      current->SetFields(current->Fields() + ";" + row.ColumnName);
      if (row.ColumnName.empty()) current->SetOptions(current->Options() + rtl::TIndexOption::ixExpression);
    }
  }
  FIndexDefs->EndUpdate();
}

void TKVTable::UpdateIndexDefs() {
  if (rtl::Trim(FTableName).empty()) return;
  TKVDatabase* db = FindDatabase();
  if (!db) return;
  if (Active()) return;  // read when the table opened
  TKVDatabaseUse use(*db);
  ReadIndexDefs(*use);
}

void TKVTable::OpenCursor(drivers::Connection& Connection) {
  if (rtl::Trim(FTableName).empty()) DatabaseError("No table name");
  const auto columns = Connection.ColumnNames(FTableName);
  if (columns.empty())
    DatabaseError(fmt::format("Table '{}' does not exist in database '{}'", FTableName, DatabaseName()));
  ReadIndexDefs(Connection);
  const TKVServerType serverType = Database()->ServerType();

  // The column of a field name as the catalogue spells it, quoted as one name.
  auto column = [&](const String& name) -> String {
    for (const auto& c : columns)
      if (rtl::SameText(c, name)) return QuoteName(c, serverType);
    DatabaseError(fmt::format("Field '{}' not found in table '{}'", name, FTableName));
  };
  String sql = "SELECT ";
  for (std::size_t i = 0; i < columns.size(); ++i) sql += (i ? ", " : "") + QuoteName(columns[i], serverType);
  sql += " FROM " + QuoteIdentifierFor(serverType, FTableName, false);

  const std::vector<String> order = IndexFields();
  const std::vector<String> masterFields = SplitFieldNames(FMasterFields);
  std::vector<drivers::ParamValue> values;
  auto* master = FMasterSource ? dynamic_cast<TKVDataSet*>(FMasterSource->DataSet()) : nullptr;
  if (master && !masterFields.empty()) {
    if (masterFields.size() > order.size())
      DatabaseError(fmt::format("MasterFields '{}' name more fields than the index has", FMasterFields));
    for (std::size_t i = 0; i < masterFields.size(); ++i)
      sql += (i ? " AND " : " WHERE ") + column(order[i]) +
             " = :" + QuoteName("KORV_MASTER_" + std::to_string(i + 1), serverType);
    values = MasterValues();
  }
  if (!order.empty()) {
    sql += " ORDER BY ";
    for (std::size_t i = 0; i < order.size(); ++i) sql += (i ? ", " : "") + column(order[i]);
  }

  auto statement = std::make_unique<TKVBoundStatement>(*Database(), sql);
  OpenRows(std::move(statement), std::move(values));
  if (master && !masterFields.empty() && master != this) master->AddDetail(this);
}

std::vector<drivers::ParamValue> TKVTable::MasterValues() const {
  std::vector<drivers::ParamValue> values;
  auto* master = FMasterSource ? dynamic_cast<TKVDataSet*>(FMasterSource->DataSet()) : nullptr;
  for (const auto& name : SplitFieldNames(FMasterFields)) {
    drivers::ParamValue v;  // a closed or empty master: NULL, which matches no row
    if (master && master->Active()) {
      TKVField* field = master->FieldByName(name);
      const TKVValue value = field->Value();
      v.DataType = field->DataType();
      if (!value.IsNull()) v.Value = field->AsString();
      if (value.Kind == TKVValue::TKind::Integer) v.Value = std::to_string(value.Integer);
    }
    values.push_back(std::move(v));
  }
  return values;
}

void TKVTable::MasterChanged() {
  if (Active() && State() == rtl::TDataSetState::dsBrowse) Requery(MasterValues());
}

std::vector<String> TKVTable::IndexFields() const {
  if (!rtl::Trim(FIndexFieldNames).empty()) return SplitFieldNames(FIndexFieldNames);
  if (!FIndexName.empty()) {
    const int index = FIndexDefs->IndexOf(FIndexName);
    if (index < 0) DatabaseError(fmt::format("Index '{}' not found in table '{}'", FIndexName, FTableName));
    return SplitFieldNames(FIndexDefs->Items(index)->Fields());
  }
  for (int i = 0; i < FIndexDefs->Count(); ++i)
    if (FIndexDefs->Items(i)->Options().Contains(rtl::TIndexOption::ixPrimary))
      return SplitFieldNames(FIndexDefs->Items(i)->Fields());
  return {};
}

int TKVTable::GetIndexFieldCount() const { return static_cast<int>(IndexFields().size()); }

TKVField* TKVTable::GetIndexField(int Index) const {
  const auto names = IndexFields();
  if (Index < 0 || Index >= static_cast<int>(names.size()))
    DatabaseError(fmt::format("Index field {} out of range", Index));
  return FieldByName(names[static_cast<std::size_t>(Index)]);
}

}  // namespace korv
