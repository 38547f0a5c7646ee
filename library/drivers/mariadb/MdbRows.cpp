#include "MdbRows.h"

#include "MdbTypes.h"
#include "rtl/Exceptions.h"
#include "rtl/SysUtils.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>

namespace korv::drivers::mariadb {

namespace {

// The Boolean a parameter's text says (True/False, T/F, Yes/No, 1/0 in any letter case).
std::optional<bool> ParseBoolean(const std::string& Text) {
  for (const char* t : {"1", "True", "T", "Yes", "Y"})
    if (rtl::SameText(Text, t)) return true;
  for (const char* f : {"0", "False", "F", "No", "N"})
    if (rtl::SameText(Text, f)) return false;
  return std::nullopt;
}

// The end of a quoted run starting at Start (a quote character), as MariaDB reads one: a
// doubled quote stays inside, and in strings a backslash escapes the next character.
std::size_t QuotedEnd(const std::string& sql, std::size_t Start) {
  const char quote = sql[Start];
  std::size_t at = Start + 1;
  while (at < sql.size()) {
    if (sql[at] == '\\' && quote != '`') {
      at += 2;
    } else if (sql[at] == quote) {
      if (at + 1 < sql.size() && sql[at + 1] == quote)
        at += 2;
      else
        return at + 1;
    } else {
      ++at;
    }
  }
  return sql.size();
}

// The text a value is sent as, and its type for the server.
struct TBoundValue {
  std::string Text;
  enum_field_types Type = MYSQL_TYPE_STRING;
  my_bool Null = 0;
  unsigned long Length = 0;
};

}  // namespace

// ---------------------------------------------------------------- the text sent

TMdbServerText ServerText(const std::string& sql) {
  TMdbServerText out;
  out.Text.reserve(sql.size());
  int next = 0;  // a bare "?" takes the number after the highest so far
  for (std::size_t i = 0; i < sql.size();) {
    const char c = sql[i];
    auto copyUntil = [&](std::size_t end) {
      out.Text.append(sql, i, end - i);
      i = end;
    };
    // "-- " starts a comment only with a blank (or the end) after the dashes.
    const bool dashComment = c == '-' && i + 1 < sql.size() && sql[i + 1] == '-' &&
                             (i + 2 == sql.size() || static_cast<unsigned char>(sql[i + 2]) <= ' ');
    if (c == '\'' || c == '"' || c == '`') {
      copyUntil(QuotedEnd(sql, i));
    } else if (dashComment || c == '#') {
      const std::size_t end = sql.find('\n', i);
      copyUntil(end == std::string::npos ? sql.size() : end);
    } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
      const std::size_t end = sql.find("*/", i + 2);
      copyUntil(end == std::string::npos ? sql.size() : end + 2);
    } else if (c == '?') {
      i = out.AppendMarker(sql, i, next);
    } else {
      out.Text += c;
      ++i;
    }
  }
  return out;
}

// ---------------------------------------------------------------- TMdbCursor

class TMdbCursor final : public Cursor {
public:
  explicit TMdbCursor(TMdbStatement& Statement) : FStatement(&Statement) {
    const std::size_t count = Statement.Fields().size();
    FBinds.assign(count, MYSQL_BIND{});
    FIntegers.assign(count, 0);
    FFloats.assign(count, 0);
    FTexts.assign(count, std::string());
    FLengths.assign(count, 0);
    FNulls.assign(count, 0);
    FErrors.assign(count, 0);
    FKinds.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
      const MYSQL_FIELD& column = Statement.Columns()[i];
      MYSQL_BIND& bind = FBinds[i];
      bind.is_null = &FNulls[i];
      bind.length = &FLengths[i];
      bind.error = &FErrors[i];
      FKinds[i] = BufferOf(column);
      switch (FKinds[i]) {
      case TMdbBuffer::Integer:
        bind.buffer_type = MYSQL_TYPE_LONGLONG;
        bind.buffer = &FIntegers[i];
        bind.is_unsigned = (column.flags & UNSIGNED_FLAG) != 0;
        break;
      case TMdbBuffer::Float:
        bind.buffer_type = MYSQL_TYPE_DOUBLE;
        bind.buffer = &FFloats[i];
        break;
      case TMdbBuffer::Text:
        bind.buffer_type = column.charsetnr == 63 ? MYSQL_TYPE_BLOB : MYSQL_TYPE_STRING;
        FTexts[i].resize(std::clamp<unsigned long>(column.length, 16, 256));
        bind.buffer = FTexts[i].data();
        bind.buffer_length = FTexts[i].size();
        break;
      }
    }
    if (mysql_stmt_bind_result(Statement.Handle(), FBinds.data())) Statement.RaiseError();
  }
  ~TMdbCursor() override { Detach(); }

  // Ends this cursor: the rows the client holds are freed; it has no fields any more.
  void Detach() noexcept {
    if (!FStatement) return;
    Finish();
    FStatement->CursorGone(this);
    FStatement = nullptr;
  }

  const std::vector<FieldDesc>& Fields() const override { return FStatement ? FStatement->Fields() : FNoFields; }

  bool Next() override {
    if (!FStatement || FDone) return false;
    MYSQL_STMT* stmt = FStatement->Handle();
    const int rc = mysql_stmt_fetch(stmt);
    if (rc == MYSQL_NO_DATA) {
      Finish();
      return false;
    }
    if (rc == 1) {
      std::string message = mysql_stmt_error(stmt);
      Finish();
      throw rtl::EDatabaseError(message.empty() ? std::string("The MariaDB server gave no answer") : message);
    }
    if (rc == MYSQL_DATA_TRUNCATED) Refetch();
    return true;
  }

  CellView Cell(int Column) const override {
    CellView cell;
    const auto i = static_cast<std::size_t>(Column);
    if (!FStatement || FDone || FNulls[i]) return cell;
    switch (FKinds[i]) {
    case TMdbBuffer::Integer:
      cell.Type = CellView::Kind::Integer;
      cell.Integer = FIntegers[i];
      break;
    case TMdbBuffer::Float:
      cell.Type = CellView::Kind::Float;
      cell.Float = FFloats[i];
      break;
    case TMdbBuffer::Text:
      cell.Type = FBinds[i].buffer_type == MYSQL_TYPE_BLOB ? CellView::Kind::Blob : CellView::Kind::Text;
      cell.Text = std::string_view(FTexts[i].data(), FLengths[i]);
      break;
    }
    return cell;
  }

private:
  // After the last row: the rows the client held are freed at once.
  void Finish() noexcept {
    if (FDone) return;
    FDone = true;
    mysql_stmt_free_result(FStatement->Handle());
    FStatement->DropFurtherResults();
  }

  // The columns whose values did not fit: their buffers grow to the value and it is read again;
  // the larger buffers serve the rows after it too.
  void Refetch() {
    MYSQL_STMT* stmt = FStatement->Handle();
    bool grown = false;
    for (std::size_t i = 0; i < FBinds.size(); ++i) {
      if (!FErrors[i] || FKinds[i] != TMdbBuffer::Text) continue;
      FTexts[i].resize(FLengths[i]);
      FBinds[i].buffer = FTexts[i].data();
      FBinds[i].buffer_length = FTexts[i].size();
      if (mysql_stmt_fetch_column(stmt, &FBinds[i], static_cast<unsigned>(i), 0)) FStatement->RaiseError();
      grown = true;
    }
    if (grown && mysql_stmt_bind_result(stmt, FBinds.data())) FStatement->RaiseError();
  }

  TMdbStatement* FStatement;
  std::vector<MYSQL_BIND> FBinds;
  std::vector<long long> FIntegers;
  std::vector<double> FFloats;
  std::vector<std::string> FTexts;
  std::vector<unsigned long> FLengths;
  std::vector<my_bool> FNulls, FErrors;
  std::vector<TMdbBuffer> FKinds;
  std::vector<FieldDesc> FNoFields;
  bool FDone = false;
};

// ---------------------------------------------------------------- TMdbStatement

TMdbStatement::TMdbStatement(TMdbConnection& Connection, std::string sql)
    : FConnection(Connection),
      FSQL(std::move(sql)),
      FServer(ServerText(FSQL)),
      FStmt(mysql_stmt_init(Connection.Handle())) {
  if (!FStmt) Connection.RaiseError();
  if (mysql_stmt_prepare(FStmt.get(), FServer.Text.c_str(), FServer.Text.size())) RaiseError();
  const std::string head = rtl::Trim(FServer.Text).substr(0, 5);
  FCall = head.size() == 5 && rtl::SameText(head.substr(0, 4), "CALL") && static_cast<unsigned char>(head[4]) <= ' ';
  Describe(Connection);
}

void TMdbStatement::Describe(const TMdbConnection& Connection) {
  FMetadata.reset(mysql_stmt_result_metadata(FStmt.get()));
  if (!FMetadata) return;  // a statement without rows, or one that tells only when it runs
  FColumns = mysql_fetch_fields(FMetadata.get());
  const unsigned count = mysql_num_fields(FMetadata.get());
  FFields.resize(count);
  for (unsigned i = 0; i < count; ++i) {
    const MYSQL_FIELD& column = FColumns[i];
    FieldDesc& field = FFields[i];
    field.Name = column.name;
    SetColumnType(field, column);
    if (column.org_table && *column.org_table && column.org_name && *column.org_name) {
      field.TableName = column.db && *column.db && column.db != Connection.Database()
                            ? std::string(column.db) + "." + column.org_table
                            : std::string(column.org_table);
      field.ColumnName = column.org_name;
      field.Required = (column.flags & NOT_NULL_FLAG) != 0;
    }
  }
}

TMdbStatement::~TMdbStatement() {
  if (FActive) FActive->Detach();
}

void TMdbStatement::RaiseError() const {
  std::string message = mysql_stmt_error(FStmt.get());
  if (message.empty()) message = "The MariaDB server gave no answer";
  throw rtl::EDatabaseError(message);
}

std::vector<FieldOrigin> TMdbStatement::Origins() const {
  std::vector<FieldOrigin> origins;
  origins.reserve(FFields.size());
  for (const auto& f : FFields) origins.push_back({f.Name, f.TableName, f.ColumnName});
  return origins;
}

void TMdbStatement::Run(const std::vector<ParamValue>& Params) {
  if (FActive) FActive->Detach();
  MYSQL_STMT* stmt = FStmt.get();
  const unsigned expected = mysql_stmt_param_count(stmt);
  if (expected != FServer.Order.size())
    throw rtl::EDatabaseError(
        fmt::format("The statement has {} parameters where {} were marked", expected, FServer.Order.size()));
  std::vector<TBoundValue> values(expected);
  std::vector<MYSQL_BIND> binds(expected, MYSQL_BIND{});
  for (unsigned i = 0; i < expected; ++i) {
    const int number = FServer.Order[i];
    if (number < 1 || static_cast<std::size_t>(number) > Params.size())
      throw rtl::EDatabaseError(fmt::format("No value is given for parameter {}", number));
    const ParamValue& param = Params[static_cast<std::size_t>(number - 1)];
    TBoundValue& value = values[i];
    if (!param.Value) {
      value.Null = 1;
      value.Type = MYSQL_TYPE_NULL;
    } else {
      value.Text = *param.Value;
      using rtl::TFieldType;
      if (param.DataType == TFieldType::ftBoolean) {
        const auto b = ParseBoolean(value.Text);
        if (!b) throw rtl::EDatabaseError(fmt::format("'{}' is not a Boolean value", value.Text));
        value.Text = *b ? "1" : "0";
      } else if (param.DataType == TFieldType::ftBlob || param.DataType == TFieldType::ftBytes ||
                 param.DataType == TFieldType::ftVarBytes || param.DataType == TFieldType::ftGraphic) {
        value.Type = MYSQL_TYPE_BLOB;
      }
    }
    value.Length = static_cast<unsigned long>(value.Text.size());
    MYSQL_BIND& bind = binds[i];
    bind.buffer_type = value.Type;
    bind.buffer = value.Text.data();
    bind.buffer_length = value.Length;
    bind.length = &value.Length;
    bind.is_null = &value.Null;
  }
  if (expected > 0 && mysql_stmt_bind_param(stmt, binds.data())) RaiseError();
  if (mysql_stmt_execute(stmt)) RaiseError();
}

void TMdbStatement::DrainResults() {
  MYSQL_STMT* stmt = FStmt.get();
  while (true) {
    if (mysql_stmt_field_count(stmt) > 0) {
      if (mysql_stmt_store_result(stmt)) RaiseError();
      mysql_stmt_free_result(stmt);
    }
    if (!mysql_stmt_more_results(stmt)) break;
    const int rc = mysql_stmt_next_result(stmt);
    if (rc > 0) RaiseError();
    if (rc < 0) break;
  }
}

void TMdbStatement::DropFurtherResults() noexcept {
  MYSQL_STMT* stmt = FStmt.get();
  while (mysql_stmt_more_results(stmt) && mysql_stmt_next_result(stmt) == 0) {
    if (mysql_stmt_field_count(stmt) == 0) continue;
    if (mysql_stmt_store_result(stmt) == 0) mysql_stmt_free_result(stmt);
  }
}

std::unique_ptr<Cursor> TMdbStatement::Open(const std::vector<ParamValue>& Params) {
  const bool described = !FFields.empty();
  Run(Params);
  // A CALL is described only by its run: its first result (rows the procedure selects, or the
  // values of its OUT parameters) gives the fields.
  if (!described) {
    if (mysql_stmt_field_count(FStmt.get()) == 0) {
      DrainResults();
      throw rtl::EDatabaseError("The statement returns no rows");
    }
    Describe(FConnection);
  }
  if (mysql_stmt_store_result(FStmt.get())) RaiseError();
  auto cursor = std::make_unique<TMdbCursor>(*this);
  FActive = cursor.get();
  return cursor;
}

std::int64_t TMdbStatement::Execute(const std::vector<ParamValue>& Params) {
  Run(Params);
  const my_ulonglong changed = mysql_stmt_affected_rows(FStmt.get());
  DrainResults();
  return changed == static_cast<my_ulonglong>(-1) ? 0 : static_cast<std::int64_t>(changed);
}

}  // namespace korv::drivers::mariadb
