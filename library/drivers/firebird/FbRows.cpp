#include "FbRows.h"

#include "FbTypes.h"
#include "korv/firebird/FbCatalogSql.h"
#include "rtl/Exceptions.h"
#include "rtl/SysUtils.h"

#include <fmt/format.h>

#include <cstring>
#include <optional>

namespace korv::drivers::firebird {

namespace {

bool IsSelect(int Type) { return Type == isc_info_sql_stmt_select || Type == isc_info_sql_stmt_select_for_upd; }

// The value of an item of an info buffer: a two-byte length, then that many bytes, little-endian.
int InfoInteger(const char* At, int& Length) {
  Length = static_cast<int>(isc_vax_integer(At, 2));
  return static_cast<int>(isc_vax_integer(At + 2, static_cast<short>(Length)));
}

// The Boolean a parameter's text says (True/False, T/F, Yes/No, 1/0 in any letter case).
std::optional<bool> ParseBoolean(const std::string& Text) {
  for (const char* t : {"1", "True", "T", "Yes", "Y"})
    if (rtl::SameText(Text, t)) return true;
  for (const char* f : {"0", "False", "F", "No", "N"})
    if (rtl::SameText(Text, f)) return false;
  return std::nullopt;
}

template <class T>
T Read(const char* Data) {
  T value;
  std::memcpy(&value, Data, sizeof value);  // the buffers are byte arrays: no aligned loads
  return value;
}

// The first Chars characters of a UTF-8 text: a CHAR column's value without the blanks that pad
// it to its length in bytes.
std::string_view FirstChars(std::string_view Text, int Chars) {
  std::size_t at = 0;
  for (int n = 0; at < Text.size(); ++at) {
    if ((static_cast<unsigned char>(Text[at]) & 0xC0) == 0x80) continue;
    if (n++ == Chars) break;
  }
  return Text.substr(0, at);
}

}  // namespace

// ---------------------------------------------------------------- the text sent

TFbServerText ServerText(const std::string& sql) {
  TFbServerText out;
  out.Text.reserve(sql.size());
  int next = 0;  // a bare "?" takes the number after the highest so far
  for (std::size_t i = 0; i < sql.size();) {
    const char c = sql[i];
    auto copyUntil = [&](std::size_t end) {
      out.Text.append(sql, i, end - i);
      i = end;
    };
    if (c == '\'' || c == '"') {  // a string or quoted name, its quote doubled inside
      std::size_t end = i + 1;
      while (end < sql.size()) {
        if (sql[end] == c) {
          if (end + 1 < sql.size() && sql[end + 1] == c)
            end += 2;
          else
            break;
        } else
          ++end;
      }
      copyUntil(std::min(end + 1, sql.size()));
    } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
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

// ---------------------------------------------------------------- TFbCursor

class TFbCursor final : public Cursor {
public:
  // Transaction: the cursor's own, or the user's, which the connection holds too while it lasts.
  TFbCursor(TFbStatement& Statement, std::shared_ptr<TFbTransaction> Transaction, bool SingleRow)
      : FStatement(&Statement), FTransaction(std::move(Transaction)), FSingleRow(SingleRow) {}
  ~TFbCursor() override { Detach(); }

  // Ends this cursor: its rows are gone; its own transaction, or the user's that ended while it
  // read and that it was the last to hold, is committed (nothing is left in it but reading).
  void Detach() noexcept {
    if (!FStatement) return;
    if (!FSingleRow) CloseCursor();  // also after the last row: the server keeps it open until closed
    FStatement->CursorGone(this);
    FStatement = nullptr;
    if (FTransaction && FTransaction.use_count() == 1 && FTransaction->Active()) {
      try {
        FTransaction->Commit();
      } catch (...) {
        FTransaction->Rollback();
      }
    }
    FTransaction.reset();
    FDone = true;
  }

  const std::vector<FieldDesc>& Fields() const override { return FStatement ? FStatement->Fields() : FNoFields; }

  bool Next() override {
    if (FDone || !FStatement) return false;
    FBlobs.assign(FStatement->Out().Count(), std::nullopt);
    FTexts.resize(FStatement->Out().Count());  // sized once: the texts of a row never move
    if (FSingleRow) {                          // the one row an executed procedure returned is already in the buffers
      if (FSingleRead) return Finish();
      FSingleRead = true;
      return true;
    }
    TFbStatus status;
    const ISC_STATUS rc = isc_dsql_fetch(&status, FStatement->Handle(), SQL_DIALECT_V6, FStatement->Out().Get());
    if (rc == 100) return Finish();
    if (status.Failed()) {
      Finish();
      status.Raise();
    }
    return true;
  }

  CellView Cell(int Column) const override {
    CellView cell;
    if (!FStatement) return cell;
    const XSQLVAR& var = FStatement->Out().Var(Column);
    if (*var.sqlind < 0) return cell;
    const FieldDesc& field = FStatement->Fields()[static_cast<std::size_t>(Column)];
    const char* data = var.sqldata;
    auto text = [&](std::string s) {
      FTexts[Column] = std::move(s);
      cell.Type = CellView::Kind::Text;
      cell.Text = FTexts[Column];
    };
    switch (var.sqltype & ~1) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
      const int type = var.sqltype & ~1;
      const ISC_INT64 value = type == SQL_SHORT  ? Read<ISC_SHORT>(data)
                              : type == SQL_LONG ? Read<ISC_LONG>(data)
                                                 : Read<ISC_INT64>(data);
      if (var.sqlscale == 0) {
        cell.Type = CellView::Kind::Integer;
        cell.Integer = value;
      } else {
        text(ScaledText(value, var.sqlscale));
      }
      break;
    }
    case SQL_FLOAT:
      cell.Type = CellView::Kind::Float;
      cell.Float = Read<float>(data);
      break;
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
      cell.Type = CellView::Kind::Float;
      cell.Float = Read<double>(data);
      break;
    case SQL_BOOLEAN:
      cell.Type = CellView::Kind::Integer;
      cell.Integer = Read<FB_BOOLEAN>(data) ? 1 : 0;
      break;
    case SQL_TEXT: {
      std::string_view value(data, static_cast<std::size_t>(var.sqllen));
      if (field.DataType == rtl::TFieldType::ftBytes) {
        cell.Type = CellView::Kind::Blob;
        cell.Text = value;
      } else {
        cell.Type = CellView::Kind::Text;
        cell.Text = FirstChars(value, field.Size);
      }
      break;
    }
    case SQL_VARYING: {
      const auto length = Read<ISC_USHORT>(data);
      cell.Type = field.DataType == rtl::TFieldType::ftVarBytes ? CellView::Kind::Blob : CellView::Kind::Text;
      cell.Text = std::string_view(data + sizeof length, length);
      break;
    }
    case SQL_TYPE_DATE: text(DateText(Read<ISC_DATE>(data))); break;
    case SQL_TYPE_TIME: text(TimeText(Read<ISC_TIME>(data))); break;
    case SQL_TIMESTAMP: {
      const auto stamp = Read<ISC_TIMESTAMP>(data);
      text(DateText(stamp.timestamp_date) + " " + TimeText(stamp.timestamp_time));
      break;
    }
    case SQL_BLOB: {
      auto& blob = FBlobs[static_cast<std::size_t>(Column)];
      if (!blob) blob = ReadBlob(Read<ISC_QUAD>(data));
      cell.Type = var.sqlsubtype == 1 ? CellView::Kind::Text : CellView::Kind::Blob;
      cell.Text = *blob;
      break;
    }
    default: break;
    }
    return cell;
  }

private:
  bool Finish() {
    Detach();
    return false;
  }
  void CloseCursor() noexcept {
    TFbStatus status;
    isc_dsql_free_statement(&status, FStatement->Handle(), DSQL_close);
  }
  std::string ReadBlob(ISC_QUAD Id) const;

  TFbStatement* FStatement;
  std::shared_ptr<TFbTransaction> FTransaction;
  bool FSingleRow;
  bool FSingleRead = false;
  bool FDone = false;
  std::vector<FieldDesc> FNoFields;
  mutable std::vector<std::optional<std::string>> FBlobs;
  mutable std::vector<std::string> FTexts;  // values converted to text, by column
};

std::string TFbCursor::ReadBlob(ISC_QUAD Id) const {
  TFbStatus status;
  isc_blob_handle blob = 0;
  isc_open_blob2(&status, FStatement->Db(), FTransaction->Handle(), &blob, &Id, 0, nullptr);
  status.Check("Cannot read a blob");
  std::string value;
  char segment[16384];
  for (;;) {
    unsigned short got = 0;
    const ISC_STATUS rc = isc_get_segment(&status, &blob, &got, sizeof segment, segment);
    if (rc == 0 || rc == isc_segment) {
      value.append(segment, got);
      continue;
    }
    if (rc == isc_segstr_eof) break;
    TFbStatus closing;
    isc_close_blob(&closing, &blob);
    status.Raise("Cannot read a blob");
  }
  isc_close_blob(&status, &blob);
  return value;
}

// ---------------------------------------------------------------- TFbStatement

TFbStatement::TFbStatement(TFbConnection& Connection, std::string sql)
    : FConnection(Connection), FSQL(std::move(sql)), FServer(ServerText(FSQL)) {
  FHandle.Allocate(Db());
  // Preparing reads the catalogue in a transaction: the user's, else a short one of its own.
  TFbTransaction own;
  TFbTransaction* tr = FConnection.UserTransaction().get();
  if (!tr) {
    own.Start(Db(), /*ReadOnly=*/true);
    tr = &own;
  }
  TFbStatus status;
  isc_dsql_prepare(&status, tr->Handle(), FHandle.Handle(), 0, FServer.Text.c_str(), kDialect, FOut.Get());
  status.Check();
  if (FOut.Fit()) {
    isc_dsql_describe(&status, FHandle.Handle(), kDialect, FOut.Get());
    status.Check();
  }
  isc_dsql_describe_bind(&status, FHandle.Handle(), kDialect, FIn.Get());
  status.Check();
  if (FIn.Fit()) {
    isc_dsql_describe_bind(&status, FHandle.Handle(), kDialect, FIn.Get());
    status.Check();
  }
  const char item = isc_info_sql_stmt_type;
  char info[16] = {};
  isc_dsql_sql_info(&status, FHandle.Handle(), 1, &item, sizeof info, info);
  status.Check();
  if (info[0] == isc_info_sql_stmt_type) {
    int length = 0;
    FType = InfoInteger(info + 1, length);
  }
  if (FServer.Order.size() != static_cast<std::size_t>(FIn.Count()))
    throw rtl::EDatabaseError(
        fmt::format("The statement has {} parameters but {} markers", FIn.Count(), FServer.Order.size()));

  // The result columns: nullability read before the buffers make every one nullable.
  const bool rows = IsSelect(FType) || FOut.Count() > 0;
  for (int i = 0; rows && i < FOut.Count(); ++i) {
    const XSQLVAR& var = FOut.Var(i);
    FieldDesc field;
    field.Name.assign(var.aliasname, static_cast<std::size_t>(var.aliasname_length));
    SetColumnType(field, var);
    if (var.relname_length > 0 && var.sqlname_length > 0) {
      field.TableName.assign(var.relname, static_cast<std::size_t>(var.relname_length));
      field.ColumnName.assign(var.sqlname, static_cast<std::size_t>(var.sqlname_length));
      field.Required = (var.sqltype & 1) == 0;
    }
    FFields.push_back(std::move(field));
  }
  FOut.AllocateBuffers();
  for (int i = 0; i < FIn.Count(); ++i) FInTypes.push_back(static_cast<short>(FIn.Var(i).sqltype & ~1));
  FIn.AllocateBuffers();
  if (own.Active()) own.Commit();

  // The declared precision of a scaled column is in the catalogue, not in the description.
  for (auto& field : FFields)
    if (field.DataType == rtl::TFieldType::ftFMTBcd && !field.TableName.empty()) {
      const auto found = FConnection.Query(sql::ColumnPrecision, {field.TableName, field.ColumnName});
      if (!found.empty() && found[0][0] && std::atoi(found[0][0]->c_str()) > 0)
        field.Precision = std::atoi(found[0][0]->c_str());
    }
}

TFbStatement::~TFbStatement() {
  if (FActive) FActive->Detach();
}

std::vector<FieldOrigin> TFbStatement::Origins() const {
  std::vector<FieldOrigin> origins;
  for (const auto& field : FFields) origins.push_back({field.Name, field.TableName, field.ColumnName});
  return origins;
}

void TFbStatement::Bind(const std::vector<ParamValue>& Params, isc_tr_handle* Transaction,
                        std::vector<std::string>& Keep) {
  Keep.reserve(FServer.Order.size());  // SetText points into these: no reallocation after
  for (std::size_t i = 0; i < FServer.Order.size(); ++i) {
    const int number = FServer.Order[i];
    if (number < 1 || static_cast<std::size_t>(number) > Params.size())
      throw rtl::EDatabaseError(fmt::format("No value for parameter {}", number));
    const auto& value = Params[static_cast<std::size_t>(number - 1)].Value;
    const int index = static_cast<int>(i);
    XSQLVAR& var = FIn.Var(index);
    const short type = FInTypes[i];
    if (!value) {
      FIn.SetText(index, nullptr);
      continue;
    }
    if (type == SQL_BLOB) {
      // A blob goes as a blob of its own, written first in the transaction the statement runs in.
      TFbStatus status;
      isc_blob_handle blob = 0;
      ISC_QUAD id{};
      isc_create_blob2(&status, Db(), Transaction, &blob, &id, 0, nullptr);
      status.Check("Cannot write a blob");
      for (std::size_t at = 0; at < value->size() && !status.Failed(); at += 32768) {
        const std::size_t n = std::min<std::size_t>(32768, value->size() - at);
        isc_put_segment(&status, &blob, static_cast<unsigned short>(n), value->data() + at);
      }
      TFbStatus closing;
      isc_close_blob(&closing, &blob);
      status.Check("Cannot write a blob");
      closing.Check("Cannot write a blob");
      Keep.emplace_back(reinterpret_cast<const char*>(&id), sizeof id);
      var.sqltype = SQL_BLOB | 1;
      var.sqllen = sizeof(ISC_QUAD);
      var.sqldata = Keep.back().data();
      *var.sqlind = 0;
    } else if (type == SQL_BOOLEAN) {
      const std::optional<bool> flag = ParseBoolean(*value);
      if (!flag)
        throw rtl::EDatabaseError(fmt::format("\"{}\" is not a valid Boolean value for parameter {}", *value, number));
      Keep.emplace_back(1, static_cast<char>(*flag ? FB_TRUE : FB_FALSE));
      var.sqltype = SQL_BOOLEAN | 1;
      var.sqllen = sizeof(FB_BOOLEAN);
      var.sqldata = Keep.back().data();
      *var.sqlind = 0;
    } else {
      if (value->size() > 32767)
        throw rtl::EDatabaseError(fmt::format("The value of parameter {} is longer than 32767 bytes", number));
      FIn.SetText(index, &*value);  // the server reads the text as the parameter's type
    }
  }
}

std::unique_ptr<Cursor> TFbStatement::Open(const std::vector<ParamValue>& Params) {
  if (FFields.empty()) throw rtl::EDatabaseError("The statement returns no rows");
  if (FActive) FActive->Detach();
  // The user's transaction, or a read-only one of the cursor's own.
  std::shared_ptr<TFbTransaction> tr = FConnection.UserTransaction();
  const bool single = !IsSelect(FType);  // EXECUTE PROCEDURE, or a change RETURNING its row
  if (!tr) {
    tr = std::make_shared<TFbTransaction>();
    tr->Start(Db(), /*ReadOnly=*/!single);
  }
  std::vector<std::string> keep;
  Bind(Params, tr->Handle(), keep);
  TFbStatus status;
  if (single)
    isc_dsql_execute2(&status, tr->Handle(), Handle(), kDialect, FIn.Get(), FOut.Get());
  else
    isc_dsql_execute(&status, tr->Handle(), Handle(), kDialect, FIn.Get());
  status.Check();
  auto cursor = std::make_unique<TFbCursor>(*this, std::move(tr), single);
  FActive = cursor.get();
  return cursor;
}

std::int64_t TFbStatement::Execute(const std::vector<ParamValue>& Params) {
  if (FActive) FActive->Detach();
  TFbTransaction own;
  TFbTransaction* tr = FConnection.UserTransaction().get();
  if (!tr) {
    own.Start(Db());
    tr = &own;
  }
  std::vector<std::string> keep;
  Bind(Params, tr->Handle(), keep);
  TFbStatus status;
  if (IsSelect(FType)) {
    isc_dsql_execute(&status, tr->Handle(), Handle(), kDialect, FIn.Get());
    status.Check();
    FHandle.CloseCursor();
    if (own.Active()) own.Commit();
    return 0;
  }
  isc_dsql_execute2(&status, tr->Handle(), Handle(), kDialect, FIn.Get(), FOut.Count() ? FOut.Get() : nullptr);
  status.Check();
  const std::int64_t rows = ChangedRows();
  if (own.Active()) own.Commit();
  return rows;
}

std::int64_t TFbStatement::ChangedRows() {
  const char item = isc_info_sql_records;
  char info[64] = {};
  TFbStatus status;
  isc_dsql_sql_info(&status, Handle(), 1, &item, sizeof info, info);
  if (status.Failed() || info[0] != isc_info_sql_records) return 0;
  std::int64_t rows = 0;
  for (const char* at = info + 3; *at != isc_info_end && at < info + sizeof info;) {
    const char kind = *at++;
    int length = 0;
    const int count = InfoInteger(at, length);
    at += 2 + length;
    if (kind == isc_info_req_insert_count || kind == isc_info_req_update_count || kind == isc_info_req_delete_count)
      rows += count;
  }
  return rows;
}

}  // namespace korv::drivers::firebird
