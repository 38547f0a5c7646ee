#include "SQLiteRows.h"

#include "SQLiteTypes.h"
#include "rtl/Exceptions.h"

#include <fmt/format.h>

#include <charconv>
#include <cstdlib>

namespace korv::drivers::sqlite {

namespace {

bool IsIntegerType(rtl::TFieldType t) {
  using rtl::TFieldType;
  switch (t) {
  case TFieldType::ftSmallint:
  case TFieldType::ftInteger:
  case TFieldType::ftWord:
  case TFieldType::ftAutoInc:
  case TFieldType::ftLargeint:
  case TFieldType::ftLongWord:
  case TFieldType::ftShortint:
  case TFieldType::ftByte: return true;
  default: return false;
  }
}

bool IsFloatType(rtl::TFieldType t) {
  using rtl::TFieldType;
  return t == TFieldType::ftFloat || t == TFieldType::ftCurrency || t == TFieldType::ftExtended ||
         t == TFieldType::ftSingle || t == TFieldType::ftBCD || t == TFieldType::ftFMTBcd;
}

bool IsBinaryType(rtl::TFieldType t) {
  using rtl::TFieldType;
  return t == TFieldType::ftBlob || t == TFieldType::ftBytes || t == TFieldType::ftVarBytes ||
         t == TFieldType::ftGraphic || t == TFieldType::ftTypedBinary;
}

std::optional<bool> BooleanOf(std::string_view text) {
  auto is = [&](std::string_view word) {
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
      if ((text[i] | 0x20) != word[i]) return false;
    return true;
  };
  if (is("true") || is("t") || is("yes") || is("y") || text == "1") return true;
  if (is("false") || is("f") || is("no") || is("n") || text == "0") return false;
  return std::nullopt;
}

}  // namespace

class TSQLiteCursor final : public Cursor {
public:
  TSQLiteCursor(TSQLiteDataStatement& Owner) : FOwner(Owner), FRun(Owner.FRun), FFields(Owner.FFields) {
    // The first row is read now, so that an error of the statement shows when it is opened and
    // expressions without a declared type get the type of their first value.
    FHasRow = FOwner.Step();
    FPending = true;
    if (FHasRow)
      for (std::size_t i = 0; i < FFields.size(); ++i)
        if (FFields[i].DataType == rtl::TFieldType::ftUnknown)
          FFields[i].DataType = TypeOfStorageClass(sqlite3_column_type(FOwner.FStmt.get(), static_cast<int>(i)));
  }
  ~TSQLiteCursor() override {
    if (FOwner.FRun == FRun) sqlite3_reset(FOwner.FStmt.get());
  }

  const std::vector<FieldDesc>& Fields() const override { return FFields; }

  bool Next() override {
    if (FPending) {
      FPending = false;
      return FHasRow;
    }
    if (!FHasRow) return false;
    if (FOwner.FRun != FRun) throw rtl::EDatabaseError("The statement's cursor was closed by a newer run");
    FHasRow = FOwner.Step();
    return FHasRow;
  }

  CellView Cell(int Column) const override {
    // One look-up of the column, then its value read directly: the connection is used by one
    // thread at a time, so the value needs no lock of its own.
    sqlite3_value* value = sqlite3_column_value(FOwner.FStmt.get(), Column);
    CellView cell;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      cell.Type = CellView::Kind::Integer;
      cell.Integer = sqlite3_value_int64(value);
      break;
    case SQLITE_FLOAT:
      cell.Type = CellView::Kind::Float;
      cell.Float = sqlite3_value_double(value);
      break;
    case SQLITE_TEXT:
      cell.Type = CellView::Kind::Text;
      cell.Text = {reinterpret_cast<const char*>(sqlite3_value_text(value)),
                   static_cast<std::size_t>(sqlite3_value_bytes(value))};
      break;
    case SQLITE_BLOB: {
      cell.Type = CellView::Kind::Blob;
      const void* data = sqlite3_value_blob(value);
      cell.Text = {static_cast<const char*>(data), static_cast<std::size_t>(sqlite3_value_bytes(value))};
      break;
    }
    default: break;
    }
    return cell;
  }

private:
  TSQLiteDataStatement& FOwner;
  std::uint64_t FRun;
  std::vector<FieldDesc> FFields;
  bool FHasRow = false;
  bool FPending = false;  // the row read when opening is not handed out yet
};

TSQLiteDataStatement::TSQLiteDataStatement(sqlite3* Db, TStatement Stmt) : FDb(Db), FStmt(std::move(Stmt)) {
  sqlite3_stmt* stmt = FStmt.get();
  FSQL = sqlite3_sql(stmt);
  const int count = sqlite3_column_count(stmt);
  FFields.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    FieldDesc field;
    if (const char* name = sqlite3_column_name(stmt, i)) field.Name = name;
    if (const char* decl = sqlite3_column_decltype(stmt, i)) SetDeclaredType(field, decl);
    const char* table = sqlite3_column_table_name(stmt, i);
    const char* column = sqlite3_column_origin_name(stmt, i);
    if (table && column) {
      const char* schema = sqlite3_column_database_name(stmt, i);
      int notNull = 0, primaryKey = 0, autoinc = 0;
      if (sqlite3_table_column_metadata(Db, schema, table, column, nullptr, nullptr, &notNull, &primaryKey, &autoinc) ==
          SQLITE_OK)
        field.Required = notNull != 0;
      const std::string_view db = schema ? schema : "main";
      if (db != "main" && db != "temp") field.TableName = std::string(db) + ".";
      field.TableName += table;
      field.ColumnName = column;
    }
    FFields.push_back(std::move(field));
  }
}

bool TSQLiteDataStatement::Step() {
  const int rc = sqlite3_step(FStmt.get());
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  RaiseSQLiteError(FDb);
}

void TSQLiteDataStatement::Bind(const std::vector<ParamValue>& Params) {
  sqlite3_stmt* stmt = FStmt.get();
  ++FRun;
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  const int slots = sqlite3_bind_parameter_count(stmt);
  for (int i = 0; i < slots && i < static_cast<int>(Params.size()); ++i) {
    const ParamValue& p = Params[static_cast<std::size_t>(i)];
    const int index = i + 1;
    int rc = SQLITE_OK;
    if (!p.Value) {
      rc = sqlite3_bind_null(stmt, index);
    } else {
      const std::string& text = *p.Value;
      const char* first = text.data();
      const char* last = first + text.size();
      bool bound = false;
      if (IsIntegerType(p.DataType)) {
        long long value = 0;
        auto [end, ec] = std::from_chars(first, last, value);
        if (ec == std::errc() && end == last && first != last) {
          rc = sqlite3_bind_int64(stmt, index, value);
          bound = true;
        }
      } else if (IsFloatType(p.DataType)) {
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        if (!text.empty() && end == text.c_str() + text.size()) {
          rc = sqlite3_bind_double(stmt, index, value);
          bound = true;
        }
      } else if (p.DataType == rtl::TFieldType::ftBoolean) {
        if (auto value = BooleanOf(text)) {
          rc = sqlite3_bind_int(stmt, index, *value ? 1 : 0);
          bound = true;
        }
      } else if (IsBinaryType(p.DataType)) {
        rc = sqlite3_bind_blob(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        bound = true;
      }
      if (!bound) rc = sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) RaiseSQLiteError(FDb);
  }
}

std::unique_ptr<Cursor> TSQLiteDataStatement::Open(const std::vector<ParamValue>& Params) {
  Bind(Params);
  return std::make_unique<TSQLiteCursor>(*this);
}

std::int64_t TSQLiteDataStatement::Execute(const std::vector<ParamValue>& Params) {
  Bind(Params);
  struct TReset {
    sqlite3_stmt* Stmt;
    ~TReset() { sqlite3_reset(Stmt); }
  } reset{FStmt.get()};
  while (Step()) {
  }
  // A statement that writes nothing (a SELECT run to its end) changes no row, whatever ran before.
  return sqlite3_stmt_readonly(FStmt.get()) ? 0 : sqlite3_changes64(FDb);
}

}  // namespace korv::drivers::sqlite
