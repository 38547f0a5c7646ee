// TKVDataSet: its rows (a window over a forward cursor) and the editing that applies the update
// object's statements.
#include "korv/KVDataSet.h"

#include "SqlMarkers.h"
#include "korv/KVBoundStatement.h"
#include "korv/KVDatabase.h"
#include "korv/KVUpdateSQL.h"
#include "rtl/SysUtils.h"

#include <algorithm>

namespace korv {

namespace {

using rtl::TDataSetState;

// A field name not yet among the definitions: a repeated name gets "_1", "_2" ... appended.
String UniqueFieldName(const rtl::TFieldDefs& Defs, const String& Name) {
  if (Defs.IndexOf(Name) < 0) return Name;
  for (int n = 1;; ++n) {
    String candidate = Name + "_" + std::to_string(n);
    if (Defs.IndexOf(candidate) < 0) return candidate;
  }
}

// Writes Cell into V, reusing V's text buffer: a row leaving the window is refilled with the
// next one, so reading rows allocates nothing once the window is full.
void AssignCell(TKVValue& v, const drivers::CellView& cell) {
  switch (cell.Type) {
  case drivers::CellView::Kind::Null:
    v.Kind = TKVValue::TKind::Null;
    v.Text.clear();
    break;
  case drivers::CellView::Kind::Integer:
    v.Kind = TKVValue::TKind::Integer;
    v.Integer = cell.Integer;
    v.Text.clear();
    break;
  case drivers::CellView::Kind::Float:
    v.Kind = TKVValue::TKind::Float;
    v.Float = cell.Float;
    v.Text.clear();
    break;
  case drivers::CellView::Kind::Text:
  case drivers::CellView::Kind::Blob:
    v.Kind = cell.Type == drivers::CellView::Kind::Text ? TKVValue::TKind::Text : TKVValue::TKind::Blob;
    v.Text.assign(cell.Text.data(), cell.Text.size());
    break;
  }
}

// A value as a parameter takes it: text, or NULL.
drivers::ParamValue ParamOfValue(const TKVValue& v, rtl::TFieldType Type) {
  drivers::ParamValue p;
  p.DataType = Type;
  switch (v.Kind) {
  case TKVValue::TKind::Null: break;
  case TKVValue::TKind::Integer: p.Value = std::to_string(v.Integer); break;
  case TKVValue::TKind::Float: p.Value = fmt::format("{}", v.Float); break;
  case TKVValue::TKind::Text:
  case TKVValue::TKind::Blob: p.Value = v.Text; break;
  }
  return p;
}

const char* const kStatementNames[] = {"RefreshSQL", "ModifySQL", "InsertSQL", "DeleteSQL"};

}  // namespace

// ---------------------------------------------------------------- opening

void TKVDataSet::OpenRows(std::unique_ptr<TKVBoundStatement> Statement, std::vector<drivers::ParamValue> Values) {
  // A statement whose fields only its run tells (a MariaDB CALL) is described by its cursor.
  if (Statement->Fields().empty() && !Statement->FieldsTellOnRun())
    DatabaseError("The statement returns no rows; run it with ExecSQL");
  ClearRows();
  FStatement = std::move(Statement);
  FValues = std::move(Values);
  FCursor = FStatement->Open(FValues);

  rtl::TFieldDefs* defs = FieldDefs();
  defs->BeginUpdate();
  defs->Clear();
  for (const auto& field : FCursor->Fields()) {
    rtl::TFieldDef* def = defs->Add(UniqueFieldName(*defs, field.Name), field.DataType, field.Size, field.Required);
    def->SetPrecision(field.Precision);
  }
  defs->EndUpdate();

  FEof = !FetchRow();
  FBof = true;
}

void TKVDataSet::Requery(std::vector<drivers::ParamValue> Values) {
  if (!FStatement) return;
  FCursor.reset();
  FWindow.clear();
  FWindowStart = FRow = 0;
  FExhausted = false;
  FValues = std::move(Values);
  FCursor = FStatement->Open(FValues);
  FEof = !FetchRow();
  FBof = true;
  MovedRow();
}

void TKVDataSet::ClearRows() {
  FCursor.reset();
  FStatement.reset();
  FValues.clear();
  FWindow.clear();
  FWindowStart = FRow = 0;
  FExhausted = false;
  FEof = FBof = true;
  FEditRow.clear();
  FOldRow.clear();
  if (FMaster) {
    FMaster->RemoveDetail(this);
    FMaster = nullptr;
  }
}

// ---------------------------------------------------------------- moving

bool TKVDataSet::FetchRow() {
  if (FExhausted || !FCursor) return false;
  if (!FCursor->Next()) {
    FExhausted = true;
    return false;
  }
  const int count = static_cast<int>(FCursor->Fields().size());
  TKVRow row;
  // The window keeps the current row whatever its size; the row it lets go is refilled.
  if (static_cast<int>(FWindow.size()) >= FWindowRows && FWindowStart < FRow) {
    row = std::move(FWindow.front());
    FWindow.pop_front();
    ++FWindowStart;
  }
  row.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) AssignCell(row[static_cast<std::size_t>(i)], FCursor->Cell(i));
  FWindow.push_back(std::move(row));
  while (static_cast<int>(FWindow.size()) > FWindowRows && FWindowStart < FRow) {
    FWindow.pop_front();
    ++FWindowStart;
  }
  return true;
}

void TKVDataSet::Reposition(std::int64_t Row) {
  FCursor.reset();
  FWindow.clear();
  FExhausted = false;
  FCursor = FStatement->Open(FValues);
  const std::int64_t first = std::max<std::int64_t>(0, Row - FWindowRows / 2);
  std::int64_t at = 0;
  for (; at < first; ++at)
    if (!FCursor->Next()) {
      FExhausted = true;
      break;
    }
  FWindowStart = at;
  FRow = at;
  while (FRow <= Row && FetchRow()) ++FRow;
  // Stand on the last row read: Row, or the last there is when the rows changed meanwhile.
  FRow = FWindowStart + static_cast<std::int64_t>(FWindow.size()) - 1;
  if (FWindow.empty()) FRow = FWindowStart = 0;
}

void TKVDataSet::CheckActive() const {
  if (!Active()) DatabaseError("Cannot perform this operation on a closed data set");
}

void TKVDataSet::CheckBrowse(const char* What) const {
  CheckActive();
  if (FState != TDataSetState::dsBrowse)
    DatabaseError(fmt::format("Cannot {} while a row is being edited; post or cancel it first", What));
}

void TKVDataSet::First() {
  CheckBrowse("move");
  if (FWindowStart > 0) Reposition(0);
  FRow = 0;
  FBof = true;
  FEof = FWindow.empty();
  MovedRow();
}

void TKVDataSet::Next() {
  CheckBrowse("move");
  FBof = false;
  if (FWindow.empty()) {
    FEof = true;
    return;
  }
  if (FRow + 1 < FWindowStart + static_cast<std::int64_t>(FWindow.size()) || FetchRow()) {
    ++FRow;
    FEof = false;
    MovedRow();
  } else {
    FEof = true;
  }
}

void TKVDataSet::Prior() {
  CheckBrowse("move");
  FEof = false;
  if (FWindow.empty() || FRow == 0) {
    FBof = true;
    FEof = FWindow.empty();
    return;
  }
  FBof = false;
  if (FRow - 1 >= FWindowStart)
    --FRow;
  else
    Reposition(FRow - 1);
  MovedRow();
}

void TKVDataSet::Last() {
  CheckBrowse("move");
  while (FetchRow()) {
  }
  FRow = FWindow.empty() ? 0 : FWindowStart + static_cast<std::int64_t>(FWindow.size()) - 1;
  FEof = true;
  FBof = FWindow.empty() || FRow == 0;
  MovedRow();
}

int TKVDataSet::RecNo() const {
  if (!Active() || FWindow.empty()) return 0;
  return static_cast<int>(FRow + 1);
}

int TKVDataSet::RecordCount() {
  if (!Active()) return 0;
  if (FExhausted || !FStatement) return static_cast<int>(FWindowStart + static_cast<std::int64_t>(FWindow.size()));
  // Counted by the server over the same statement, with the same parameters: nothing moves.
  String sql = FStatement->ServerSQL();
  while (!sql.empty() && (static_cast<unsigned char>(sql.back()) <= ' ' || sql.back() == ';')) sql.pop_back();
  try {
    drivers::Connection& connection = FDatabase->Connection();
    auto counter = connection.Prepare("SELECT count(*) FROM (" + sql + "\n) korv_count");
    auto cursor = counter->Open(FValues);
    if (cursor->Next()) {
      const drivers::CellView cell = cursor->Cell(0);
      if (cell.Type == drivers::CellView::Kind::Integer) return static_cast<int>(cell.Integer);
      return std::atoi(String(cell.Text).c_str());
    }
  } catch (const rtl::EDatabaseError&) {
    // A statement that cannot stand in a subquery is counted by reading it through.
  }
  auto walker = FDatabase->Connection().Prepare(FStatement->ServerSQL());
  auto cursor = walker->Open(FValues);
  int rows = 0;
  while (cursor->Next()) ++rows;
  return rows;
}

void TKVDataSet::AddDetail(TKVDataSet* Detail) {
  if (std::find(FDetails.begin(), FDetails.end(), Detail) == FDetails.end()) FDetails.push_back(Detail);
  Detail->FMaster = this;
}

void TKVDataSet::RemoveDetail(TKVDataSet* Detail) {
  FDetails.erase(std::remove(FDetails.begin(), FDetails.end(), Detail), FDetails.end());
}

void TKVDataSet::MovedRow() {
  const auto details = FDetails;  // a detail that fails to reopen leaves the list
  for (TKVDataSet* detail : details) detail->MasterChanged();
}

// ---------------------------------------------------------------- values

const TKVRow* TKVDataSet::CurrentRow() const {
  if (FState == TDataSetState::dsEdit || FState == TDataSetState::dsInsert) return &FEditRow;
  if (FWindow.empty() || FRow < FWindowStart) return nullptr;
  const auto offset = static_cast<std::size_t>(FRow - FWindowStart);
  return offset < FWindow.size() ? &FWindow[offset] : nullptr;
}

const TKVValue* TKVDataSet::FieldValue(int Index) const {
  const TKVRow* row = CurrentRow();
  if (!row || Index < 0 || Index >= static_cast<int>(row->size())) return nullptr;
  return &(*row)[static_cast<std::size_t>(Index)];
}

void TKVDataSet::SetFieldValue(int Index, TKVValue Value) {
  if (FState != TDataSetState::dsEdit && FState != TDataSetState::dsInsert)
    DatabaseError("Data set not in edit or insert mode");
  if (Index < 0 || Index >= static_cast<int>(FEditRow.size()))
    throw rtl::EListError(fmt::format("Field index out of bounds ({})", Index));
  FEditRow[static_cast<std::size_t>(Index)] = std::move(Value);
}

// ---------------------------------------------------------------- editing

void TKVDataSet::Edit() {
  CheckActive();
  if (FState == TDataSetState::dsEdit || FState == TDataSetState::dsInsert) return;
  if (!FUpdateObject) DatabaseError("Cannot modify a read-only data set: it has no update object");
  const TKVRow* row = CurrentRow();
  if (!row) DatabaseError("Cannot edit: the data set has no current row");
  FOldRow = *row;
  FEditRow = *row;
  FState = TDataSetState::dsEdit;
}

void TKVDataSet::Insert() {
  CheckBrowse("insert");
  if (!FUpdateObject) DatabaseError("Cannot modify a read-only data set: it has no update object");
  FOldRow.assign(static_cast<std::size_t>(FieldCount()), TKVValue());
  FEditRow = FOldRow;
  FAppending = false;
  FState = TDataSetState::dsInsert;
}

void TKVDataSet::Append() {
  CheckBrowse("append");
  if (!FUpdateObject) DatabaseError("Cannot modify a read-only data set: it has no update object");
  Last();
  Insert();
  FAppending = true;
}

void TKVDataSet::Cancel() {
  if (FState != TDataSetState::dsEdit && FState != TDataSetState::dsInsert) return;
  FEditRow.clear();
  FOldRow.clear();
  FState = TDataSetState::dsBrowse;
}

void TKVDataSet::Post() {
  CheckActive();
  if (FState != TDataSetState::dsEdit && FState != TDataSetState::dsInsert)
    DatabaseError("Data set not in edit or insert mode");
  for (int i = 0; i < FieldCount(); ++i)
    if (Fields(i)->Required() && FEditRow[static_cast<std::size_t>(i)].IsNull())
      DatabaseError(fmt::format("Field '{}' must have a value", Fields(i)->FieldName()));
  const bool inserting = FState == TDataSetState::dsInsert;
  ApplyUpdate(inserting ? 2 : 1, FEditRow, FOldRow);
  if (inserting) {
    // The new row stands where it was inserted (before the current row, or after the last one
    // when appended); the server's order comes with the next Open.
    std::size_t offset = FWindow.empty() ? 0 : static_cast<std::size_t>(std::max<std::int64_t>(0, FRow - FWindowStart));
    if (FAppending && !FWindow.empty()) ++offset;
    offset = std::min(offset, FWindow.size());
    FWindow.insert(offset, FEditRow);
    FRow = FWindowStart + static_cast<std::int64_t>(offset);
    FEof = FBof = false;
  } else {
    FWindow[static_cast<std::size_t>(FRow - FWindowStart)] = FEditRow;
  }
  FEditRow.clear();
  FOldRow.clear();
  FState = TDataSetState::dsBrowse;
}

void TKVDataSet::Delete() {
  CheckBrowse("delete");
  if (!FUpdateObject) DatabaseError("Cannot modify a read-only data set: it has no update object");
  const TKVRow* row = CurrentRow();
  if (!row) DatabaseError("Cannot delete: the data set has no current row");
  const TKVRow old = *row;
  ApplyUpdate(3, TKVRow(old.size()), old);
  FWindow.erase(static_cast<std::size_t>(FRow - FWindowStart));
  // The next row takes its place; after the last one, the one before.
  if (FRow >= FWindowStart + static_cast<std::int64_t>(FWindow.size()) && !FetchRow()) {
    if (FRow > 0) --FRow;
    if (FRow < FWindowStart) Reposition(FRow);
  }
  FEof = FWindow.empty();
  FBof = FWindow.empty() || FRow == 0;
  MovedRow();
}

String TKVDataSet::UpdateStatementName(int Kind) const {
  const char* kind = kStatementNames[Kind];
  return FUpdateObject->Name().empty() ? String(kind) : FUpdateObject->Name() + "." + kind;
}

std::unique_ptr<TKVBoundStatement> TKVDataSet::PrepareUpdate(int Kind) {
  const String sql = FUpdateObject->GetSQLIndex(Kind)->Text();
  if (rtl::Trim(sql).empty())
    DatabaseError(fmt::format("{} is empty: there is no statement to apply", UpdateStatementName(Kind)));
  return std::make_unique<TKVBoundStatement>(*FDatabase, sql);
}

std::vector<drivers::ParamValue> TKVDataSet::UpdateValues(int Kind, const TKVBoundStatement& Statement,
                                                          const TKVRow& NewValues, const TKVRow& OldValues) const {
  const String prefix = UpdateStatementName(Kind);
  const TKVBoundStatement& statement = Statement;
  std::vector<drivers::ParamValue> values;
  for (const String& name : statement.ParamNames()) {
    const bool old = name.size() > 4 && rtl::SameText(name.substr(0, 4), "OLD_");
    TKVField* field = FindField(old ? name.substr(4) : name);
    if (field && !(old && FindField(name))) {
      const TKVRow& row = old ? OldValues : NewValues;
      values.push_back(ParamOfValue(row[static_cast<std::size_t>(field->Index())], field->DataType()));
    } else if (TKVField* whole = FindField(name)) {
      values.push_back(ParamOfValue(NewValues[static_cast<std::size_t>(whole->Index())], whole->DataType()));
    } else if (const rtl::TParam* param = FindUpdateParam(name)) {
      drivers::ParamValue v;
      if (!param->IsNull()) v.Value = param->Value();
      v.DataType = param->DataType();
      values.push_back(std::move(v));
    } else {
      // Binding NULL would write NULL over a column the data set does not even show.
      DatabaseError(fmt::format("{}: parameter {} is not a field of the data set", prefix, name));
    }
  }
  return values;
}

std::int64_t TKVDataSet::TryModify() {
  CheckBrowse("try the modify statement");
  if (!FUpdateObject) DatabaseError("It has no update object");
  const TKVRow* row = CurrentRow();
  if (!row) DatabaseError("Cannot try the modify statement: the data set has no current row");
  auto statement = PrepareUpdate(1);
  const auto values = UpdateValues(1, *statement, *row, *row);
  TKVDatabase& db = *FDatabase;
  drivers::Connection& connection = db.Connection();
  const bool own = !connection.InTransaction();
  if (own)
    db.StartTransaction();
  else
    connection.Execute("SAVEPOINT korv_try");
  std::int64_t rows = 0;
  try {
    rows = statement->Execute(values);
  } catch (...) {
    if (own)
      db.Rollback();
    else
      connection.Execute("ROLLBACK TO SAVEPOINT korv_try");
    throw;
  }
  if (own) {
    db.Rollback();
  } else {
    connection.Execute("ROLLBACK TO SAVEPOINT korv_try");
    connection.Execute("RELEASE SAVEPOINT korv_try");
  }
  return rows;
}

void TKVDataSet::ApplyUpdate(int Kind, const TKVRow& NewValues, const TKVRow& OldValues) {
  const String prefix = UpdateStatementName(Kind);
  TKVDatabase& db = *FDatabase;
  drivers::Connection& connection = db.Connection();
  auto prepared = PrepareUpdate(Kind);
  TKVBoundStatement& statement = *prepared;
  const auto values = UpdateValues(Kind, statement, NewValues, OldValues);

  // The data set's own transaction, or a savepoint inside the caller's.
  const bool own = !connection.InTransaction();
  if (own)
    db.StartTransaction();
  else
    connection.Execute("SAVEPOINT korv_apply");
  try {
    const std::int64_t rows = statement.Execute(values);
    if (rows == 0)
      DatabaseError(fmt::format("{} changed no row: the record was changed or deleted by another user", prefix));
    if (rows > 1)
      DatabaseError(fmt::format("{} would change {} rows instead of one; nothing was changed", prefix, rows));
    if (own)
      db.Commit();
    else
      connection.Execute("RELEASE SAVEPOINT korv_apply");
  } catch (...) {
    try {
      if (own) {
        if (connection.InTransaction()) db.Rollback();
      } else {
        connection.Execute("ROLLBACK TO SAVEPOINT korv_apply");
        connection.Execute("RELEASE SAVEPOINT korv_apply");
      }
    } catch (...) {
      // The first error is the one to report.
    }
    throw;
  }
}

}  // namespace korv
