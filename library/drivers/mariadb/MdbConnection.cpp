#include "MdbConnection.h"

#include "MdbRows.h"
#include "korv/KVCommon.h"
#include "korv/mariadb/MdbCatalogSql.h"
#include "rtl/Exceptions.h"

#include <fmt/format.h>

#include <cstdlib>

namespace korv::drivers::mariadb {

namespace {

ParamDirection DirectionOfMode(const std::string& mode) {
  if (mode == "OUT") return ParamDirection::Output;
  if (mode == "INOUT") return ParamDirection::InputOutput;
  if (mode.empty()) return ParamDirection::Result;  // a function's value, at position 0
  return ParamDirection::Input;
}

int ToInt(const std::optional<std::string>& value) { return value ? std::atoi(value->c_str()) : 0; }

// The 1-based character position a syntax error points at: the server quotes the text from
// there ("... near 'FORM t' at line 2"); its first line is looked for on that line of the text.
int ErrorPosition(const std::string& text, const std::string& message) {
  const std::size_t near = message.find("near '");
  const std::size_t atLine = message.rfind("' at line ");
  if (near == std::string::npos || atLine == std::string::npos || atLine < near + 6) return 0;
  std::string quoted = message.substr(near + 6, atLine - near - 6);
  const int line = std::atoi(message.c_str() + atLine + 10);
  std::size_t lineStart = 0;
  for (int l = 1; l < line && lineStart != std::string::npos; ++l) {
    lineStart = text.find('\n', lineStart);
    if (lineStart != std::string::npos) ++lineStart;
  }
  if (lineStart == std::string::npos) return 0;
  if (quoted.empty()) return static_cast<int>(text.size()) + 1;  // at the end of the text
  quoted = quoted.substr(0, quoted.find('\n'));
  const std::size_t found = text.find(quoted, lineStart);
  return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}

}  // namespace

TMdbConnection::TMdbConnection(TMYSQLPtr Conn, std::string Database, std::function<void(const std::string&)> OnTrace)
    : FConn(std::move(Conn)), FDatabase(std::move(Database)), FOnTrace(std::move(OnTrace)) {}

TMdbConnection::~TMdbConnection() = default;  // TMdbStatement is complete here

void TMdbConnection::Trace(const std::string& sql) const {
  if (FOnTrace) FOnTrace(sql);
}

void TMdbConnection::RaiseError() const {
  std::string message = mysql_error(FConn.get());
  if (message.empty()) message = "The MariaDB server gave no answer";
  throw rtl::EDatabaseError(message);
}

TMdbConnection::TRows TMdbConnection::Query(const char* sql, const std::vector<std::optional<std::string>>& params) {
  Trace(sql);
  auto& statement = FCatalogue[sql];
  if (!statement) statement = std::make_unique<TMdbStatement>(*this, sql);
  std::vector<ParamValue> values;
  values.reserve(params.size());
  for (const auto& p : params) values.push_back({p, rtl::TFieldType::ftUnknown});
  auto cursor = statement->Open(values);
  TRows rows;
  const int columns = static_cast<int>(cursor->Fields().size());
  while (cursor->Next()) {
    auto& row = rows.emplace_back();
    row.reserve(static_cast<std::size_t>(columns));
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

std::vector<std::string> TMdbConnection::FirstColumn(const char* sql,
                                                     const std::vector<std::optional<std::string>>& params) {
  std::vector<std::string> values;
  for (auto& row : Query(sql, params)) values.push_back(row[0].value_or(""));
  return values;
}

std::optional<std::vector<std::optional<std::string>>> TMdbConnection::NameParams(const std::string& name) {
  auto parts = SplitObjName(name);
  if (parts.empty() || parts.size() > 2) return std::nullopt;
  if (parts.size() == 1) return std::vector<std::optional<std::string>>{std::nullopt, parts[0]};
  return std::vector<std::optional<std::string>>{parts[0], parts[1]};
}

std::vector<std::string> TMdbConnection::TableNames(const std::string& pattern, bool systemTables) {
  // Named as a user types them: in backticks where the server needs them (a dot in a name
  // would otherwise read as a database before a table).
  auto names = FirstColumn(sql::TableNames, {pattern, pattern, systemTables ? "1" : "0"});
  for (auto& name : names) name = QuoteMariaDBName(name, false);
  return names;
}

std::vector<std::string> TMdbConnection::ColumnNames(const std::string& table) {
  const auto params = NameParams(table);
  if (!params) return {};
  return FirstColumn(sql::ColumnNames, *params);
}

std::vector<std::string> TMdbConnection::ProcedureNames() { return FirstColumn(sql::ProcedureNames, {}); }

std::vector<IndexColumn> TMdbConnection::IndexInfo(const std::string& table) {
  const auto params = NameParams(table);
  if (!params) return {};
  std::vector<IndexColumn> columns;
  for (auto& row : Query(sql::IndexInfo, *params))
    columns.push_back({row[0].value_or(""), row[1].value_or(""), ToInt(row[2])});
  return columns;
}

std::vector<FieldOrigin> TMdbConnection::DescribeStatement(const std::string& statement) {
  Trace(statement);
  return TMdbStatement(*this, statement).Origins();
}

std::vector<ProcParam> TMdbConnection::DescribeProcedure(const std::string& name) {
  const auto lookup = NameParams(name);
  if (!lookup || Query(sql::RoutineNamed, *lookup).empty())
    throw rtl::EDatabaseError(fmt::format("Procedure \"{}\" not found", name));
  std::vector<ProcParam> params;
  for (auto& row : Query(sql::RoutineParameters, *lookup)) {
    ProcParam param;
    param.Name = row[0].value_or("");
    param.TypeName = row[1].value_or("");
    param.Direction = DirectionOfMode(row[2].value_or(""));
    if (param.Direction == ParamDirection::Result) param.Name = "Result";
    params.push_back(std::move(param));
  }
  return params;
}

void TMdbConnection::Execute(const std::string& sql) {
  // The text protocol takes every statement (CREATE PROCEDURE among them, which cannot be
  // prepared); whatever results it sends are read and dropped.
  Trace(sql);
  MYSQL* conn = FConn.get();
  if (mysql_real_query(conn, sql.data(), sql.size())) RaiseError();
  while (true) {
    if (MYSQL_RES* result = mysql_store_result(conn))
      mysql_free_result(result);
    else if (mysql_field_count(conn) > 0)
      RaiseError();
    const int rc = mysql_next_result(conn);
    if (rc > 0) RaiseError();
    if (rc < 0) break;
  }
}

void TMdbConnection::RunSimple(const char* sql) {
  Trace(sql);
  if (mysql_query(FConn.get(), sql)) RaiseError();
}

std::unique_ptr<Statement> TMdbConnection::Prepare(const std::string& sql) {
  return std::make_unique<TMdbStatement>(*this, sql);
}

StatementCheck TMdbConnection::CheckStatement(const std::string& sql) {
  // Preparing runs nothing, so a failure changes nothing of the connection's state.
  const TMdbServerText server = ServerText(sql);
  TMYSQLStmtPtr stmt(mysql_stmt_init(FConn.get()));
  if (!stmt) RaiseError();
  StatementCheck check;
  if (mysql_stmt_prepare(stmt.get(), server.Text.c_str(), server.Text.size()) == 0) return check;
  check.Ok = false;
  check.Message = mysql_stmt_error(stmt.get());
  const int at = ErrorPosition(server.Text, check.Message);
  if (at > 0) {
    const std::size_t original = server.OriginalOffset(static_cast<std::size_t>(at - 1));
    int chars = 0;
    for (std::size_t i = 0; i <= original && i < sql.size(); ++i)
      if ((static_cast<unsigned char>(sql[i]) & 0xC0) != 0x80) ++chars;
    check.Position = chars == 0 ? 1 : chars;
  }
  return check;
}

void TMdbConnection::StartTransaction() {
  if (InTransaction()) throw rtl::EDatabaseError("A transaction is already active");
  RunSimple("START TRANSACTION");
}

void TMdbConnection::Commit() {
  if (!InTransaction()) throw rtl::EDatabaseError("No transaction is active");
  RunSimple("COMMIT");
}

void TMdbConnection::Rollback() {
  if (!InTransaction()) throw rtl::EDatabaseError("No transaction is active");
  RunSimple("ROLLBACK");
}

bool TMdbConnection::InTransaction() const {
  unsigned int status = 0;
  mariadb_get_infov(FConn.get(), MARIADB_CONNECTION_SERVER_STATUS, &status);
  return (status & SERVER_STATUS_IN_TRANS) != 0;
}

}  // namespace korv::drivers::mariadb
