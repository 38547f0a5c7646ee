#include "FbConnection.h"

#include "FbRows.h"
#include "FbTypes.h"
#include "korv/firebird/FbCatalogSql.h"
#include "rtl/Exceptions.h"

#include <fmt/format.h>

#include <cstdlib>

namespace korv::drivers::firebird {

namespace {

// A name as Firebird reads it in SQL: a quoted name without its quotes (a doubled quote is
// one), anything else in upper case.
std::string ServerReading(const std::string& name) {
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
    std::string inner;
    for (std::size_t i = 1; i + 1 < name.size(); ++i) {
      inner += name[i];
      if (name[i] == '"' && name[i + 1] == '"') ++i;
    }
    return inner;
  }
  std::string upper = name;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

int ToInt(const std::optional<std::string>& value) { return value ? std::atoi(value->c_str()) : 0; }

}  // namespace

TFbConnection::TFbConnection(std::unique_ptr<TFbAttachment> Attachment, std::function<void(const std::string&)> OnTrace)
    : FAttachment(std::move(Attachment)), FOnTrace(std::move(OnTrace)) {}

TFbConnection::~TFbConnection() = default;  // TFbStatement is complete here

void TFbConnection::Trace(const std::string& sql) const {
  if (FOnTrace) FOnTrace(sql);
}

TFbConnection::TRows TFbConnection::Query(const char* sql, const std::vector<std::optional<std::string>>& params) {
  Trace(sql);
  auto& statement = FCatalogue[sql];
  if (!statement) statement = std::make_unique<TFbStatement>(*this, sql);
  std::vector<ParamValue> values;
  for (const auto& p : params) values.push_back({p, rtl::TFieldType::ftUnknown});
  auto cursor = statement->Open(values);
  TRows rows;
  const int columns = static_cast<int>(cursor->Fields().size());
  while (cursor->Next()) {
    auto& row = rows.emplace_back();
    for (int i = 0; i < columns; ++i) {
      const CellView cell = cursor->Cell(i);
      switch (cell.Type) {
      case CellView::Kind::Null: row.emplace_back(); break;
      case CellView::Kind::Integer: row.emplace_back(std::to_string(cell.Integer)); break;
      case CellView::Kind::Float: row.emplace_back(fmt::format("{}", cell.Float)); break;
      default: row.emplace_back(std::string(cell.Text)); break;
      }
    }
  }
  return rows;
}

std::vector<std::string> TFbConnection::FirstColumn(const char* sql,
                                                    const std::vector<std::optional<std::string>>& params) {
  std::vector<std::string> values;
  for (auto& row : Query(sql, params)) values.push_back(row[0].value_or(""));
  return values;
}

std::optional<std::vector<std::optional<std::string>>> TFbConnection::NameParams(const std::string& name) {
  const std::string read = ServerReading(name);
  // Longer than any name can be: nothing in the catalogue has it (and the cast would overflow).
  if (name.size() > kMaxNameBytes || read.size() > kMaxNameBytes) return std::nullopt;
  return std::vector<std::optional<std::string>>{read, name, read};
}

std::vector<std::string> TFbConnection::TableNames(const std::string& pattern, bool systemTables) {
  if (pattern.size() > kMaxPatternBytes) return {};
  return FirstColumn(sql::TableNames, {pattern, pattern, systemTables ? "1" : "0"});
}

std::vector<std::string> TFbConnection::ColumnNames(const std::string& table) {
  const auto params = NameParams(table);
  if (!params) return {};
  return FirstColumn(sql::ColumnNames, *params);
}

std::vector<std::string> TFbConnection::ProcedureNames() { return FirstColumn(sql::ProcedureNames, {}); }

std::vector<IndexColumn> TFbConnection::IndexInfo(const std::string& table) {
  const auto params = NameParams(table);
  if (!params) return {};
  std::vector<IndexColumn> columns;
  for (auto& row : Query(sql::IndexInfo, *params))
    columns.push_back({row[0].value_or(""), row[1].value_or(""), ToInt(row[2])});
  return columns;
}

std::vector<FieldOrigin> TFbConnection::DescribeStatement(const std::string& statement) {
  Trace(statement);
  return TFbStatement(*this, statement).Origins();
}

std::vector<ProcParam> TFbConnection::DescribeProcedure(const std::string& name) {
  const auto lookup = NameParams(name);
  const auto found = lookup ? FirstColumn(sql::ProcedureNamed, *lookup) : std::vector<std::string>{};
  if (found.empty()) throw rtl::EDatabaseError(fmt::format("Procedure \"{}\" not found", name));
  std::vector<ProcParam> params;
  for (auto& row : Query(sql::ProcedureParameters, {found.front()})) {
    ProcParam param;
    param.Name = row[0].value_or("");
    param.Direction = ToInt(row[1]) == 0 ? ParamDirection::Input : ParamDirection::Output;
    param.TypeName = TypeNameOf(ToInt(row[2]), ToInt(row[3]), ToInt(row[4]), ToInt(row[5]), ToInt(row[6]));
    params.push_back(std::move(param));
  }
  return params;
}

void TFbConnection::Execute(const std::string& sql) {
  Trace(sql);
  TFbStatement(*this, sql).Execute({});
}

std::unique_ptr<Statement> TFbConnection::Prepare(const std::string& sql) {
  return std::make_unique<TFbStatement>(*this, sql);
}

StatementCheck TFbConnection::CheckStatement(const std::string& sql) {
  // Preparing changes nothing, so a failure leaves the user's transaction as it was.
  const TFbServerText server = ServerText(sql);
  TFbStatementHandle handle;
  handle.Allocate(Db());
  TFbTransaction own;
  TFbTransaction* tr = UserTransaction().get();
  if (!tr) {
    own.Start(Db(), /*ReadOnly=*/true);
    tr = &own;
  }
  TFbStatus status;
  isc_dsql_prepare(&status, tr->Handle(), handle.Handle(), 0, server.Text.c_str(), kDialect, nullptr);
  StatementCheck check;
  if (!status.Failed()) return check;
  check.Ok = false;
  check.Message = status.Message();
  int line = 0, column = 0;
  if (status.Position(line, column) && line > 0 && column > 0) {
    // Line and column (counted in characters) to a byte offset of the text sent ...
    std::size_t at = 0;
    for (int l = 1; l < line && at < server.Text.size(); ++at)
      if (server.Text[at] == '\n') ++l;
    for (int c = 1; c < column && at < server.Text.size(); ++at)
      if ((static_cast<unsigned char>(server.Text[at + 1]) & 0xC0) != 0x80) ++c;
    // ... and back to a character position of the text given.
    const std::size_t original = server.OriginalOffset(at);
    int chars = 0;
    for (std::size_t i = 0; i <= original && i < sql.size(); ++i)
      if ((static_cast<unsigned char>(sql[i]) & 0xC0) != 0x80) ++chars;
    check.Position = chars == 0 ? 1 : chars;
  }
  return check;
}

void TFbConnection::StartTransaction() {
  if (InTransaction()) throw rtl::EDatabaseError("A transaction is already active");
  FTransaction->Start(Db());
}

void TFbConnection::Commit() {
  if (!InTransaction()) throw rtl::EDatabaseError("No transaction is active");
  if (FTransaction.use_count() == 1) return FTransaction->Commit();
  FTransaction->CommitRetaining();  // its cursors read on; the last of them ends it
  FTransaction = std::make_shared<TFbTransaction>();
}

void TFbConnection::Rollback() {
  if (!InTransaction()) throw rtl::EDatabaseError("No transaction is active");
  if (FTransaction.use_count() == 1) return FTransaction->Rollback();
  FTransaction->RollbackRetaining();
  FTransaction = std::make_shared<TFbTransaction>();
}

}  // namespace korv::drivers::firebird
