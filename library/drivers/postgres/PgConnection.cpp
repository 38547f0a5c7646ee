#include "PgConnection.h"

#include "korv/postgres/PgCatalogSql.h"
#include "korv/postgres/PgNames.h"
#include "rtl/Exceptions.h"

#include <fmt/format.h>

#include <cstdlib>
#include <string_view>

namespace korv::drivers::postgres {

namespace {

// The server's text of an error, without the severity prefix and the trailing line break.
std::string CleanMessage(std::string_view message) {
  for (std::string_view prefix : {"ERROR:  ", "FATAL:  "})
    if (message.substr(0, prefix.size()) == prefix) message.remove_prefix(prefix.size());
  while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') message.remove_suffix(1);
  return std::string(message);
}

std::string Value(const PGresult* result, int row, int column) {
  return std::string(PQgetvalue(result, row, column), static_cast<std::size_t>(PQgetlength(result, row, column)));
}

ParamDirection DirectionOfMode(const std::string& mode) {
  if (mode == "o" || mode == "t") return ParamDirection::Output;
  if (mode == "b") return ParamDirection::InputOutput;
  if (mode == "r") return ParamDirection::Result;
  return ParamDirection::Input;  // "i", and "v" (variadic)
}

}  // namespace

TPGConnection::TPGConnection(TPGconnPtr conn, std::function<void(const std::string&)> onTrace)
    : FConn(std::move(conn)), FOnTrace(std::move(onTrace)) {}

void TPGConnection::Trace(const std::string& sql) const {
  if (FOnTrace) FOnTrace(sql);
}

void TPGConnection::RaiseError(const PGresult* result) const {
  const char* message = result ? PQresultErrorMessage(result) : "";
  if (!message || !*message) message = PQerrorMessage(FConn.get());
  std::string text = CleanMessage(message);
  if (text.empty()) text = "the PostgreSQL server gave no answer";
  throw rtl::EDatabaseError(text);
}

TPGresultPtr TPGConnection::Query(const char* sql, const std::vector<std::optional<std::string>>& params) {
  std::vector<const char*> values;
  values.reserve(params.size());
  for (const auto& param : params) values.push_back(param ? param->c_str() : nullptr);
  Trace(sql);
  TPGresultPtr result(
      PQexecParams(FConn.get(), sql, static_cast<int>(values.size()), nullptr, values.data(), nullptr, nullptr, 0));
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) RaiseError(result.get());
  return result;
}

std::vector<std::string> TPGConnection::FirstColumn(const char* sql,
                                                    const std::vector<std::optional<std::string>>& params) {
  const TPGresultPtr result = Query(sql, params);
  const int rows = PQntuples(result.get());
  std::vector<std::string> values;
  values.reserve(static_cast<std::size_t>(rows));
  for (int row = 0; row < rows; ++row) values.push_back(Value(result.get(), row, 0));
  return values;
}

std::optional<TPGConnection::TNameParams> TPGConnection::ObjectNameParams(const std::string& name,
                                                                          TUnquotedCase unquoted) {
  auto parts = SplitQualifiedName(name, unquoted);
  if (!parts || parts->size() > 3) return std::nullopt;
  TNameParams params;
  std::size_t slot = params.size() - parts->size();
  for (auto& part : *parts) params[slot++] = std::move(part);
  return params;
}

std::optional<std::vector<std::optional<std::string>>> TPGConnection::RelationParams(const std::string& name) {
  const auto folded = ObjectNameParams(name);
  if (!folded) return std::nullopt;  // not a name the server could know
  const auto asWritten = ObjectNameParams(name, TUnquotedCase::AsWritten);
  std::vector<std::optional<std::string>> params(folded->begin(), folded->end());
  params.insert(params.end(), asWritten->begin(), asWritten->end());
  return params;
}

std::vector<std::string> TPGConnection::TableNames(const std::string& pattern, bool systemTables) {
  return FirstColumn(sql::TableNames, {pattern, systemTables ? "true" : "false"});
}

std::vector<std::string> TPGConnection::ColumnNames(const std::string& table) {
  const auto params = RelationParams(table);
  if (!params) return {};
  return FirstColumn(sql::ColumnNames, *params);
}

std::vector<IndexColumn> TPGConnection::IndexInfo(const std::string& table) {
  const auto params = RelationParams(table);
  if (!params) return {};
  const TPGresultPtr result = Query(sql::IndexInfo, *params);
  std::vector<IndexColumn> columns;
  for (int row = 0, rows = PQntuples(result.get()); row < rows; ++row)
    columns.push_back(
        {Value(result.get(), row, 0), Value(result.get(), row, 1), std::atoi(PQgetvalue(result.get(), row, 2))});
  return columns;
}

std::vector<std::string> TPGConnection::ProcedureNames() { return FirstColumn(sql::ProcedureNames, {}); }

std::vector<FieldOrigin> TPGConnection::DescribeStatement(const std::string& statement) {
  // Prepared as the unnamed statement: parsed and analysed by the server, never run.
  Trace(statement);
  PGconn* conn = FConn.get();
  TPGresultPtr prepared(PQprepare(conn, "", statement.c_str(), 0, nullptr));
  if (!prepared || PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) RaiseError(prepared.get());
  TPGresultPtr described(PQdescribePrepared(conn, ""));
  if (!described || PQresultStatus(described.get()) != PGRES_COMMAND_OK) RaiseError(described.get());

  const int count = PQnfields(described.get());
  const auto origins = ColumnOrigins(described.get(), /*SystemColumns=*/true);
  std::vector<FieldOrigin> fields(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    fields[i].FieldName = PQfname(described.get(), i);
    if (!origins[i]) continue;
    fields[i].TableName = origins[i]->TableName;
    fields[i].ColumnName = origins[i]->ColumnName;
  }
  return fields;
}

std::vector<std::optional<TPGConnection::TColumnOrigin>> TPGConnection::ColumnOrigins(const PGresult* Described,
                                                                                      bool SystemColumns) {
  const int count = PQnfields(Described);
  std::vector<std::optional<TColumnOrigin>> origins(static_cast<std::size_t>(count));
  std::string tables = "{", columns = "{";
  std::vector<std::size_t> fromTable;  // column index of each (table, column) pair sent
  for (int i = 0; i < count; ++i) {
    const Oid table = PQftable(Described, i);
    const int column = PQftablecol(Described, i);
    if (table == InvalidOid || column == 0 || (column < 0 && !SystemColumns)) continue;
    const char* separator = fromTable.empty() ? "" : ",";
    tables += fmt::format("{}{}", separator, table);
    columns += fmt::format("{}{}", separator, column);
    fromTable.push_back(static_cast<std::size_t>(i));
  }
  if (fromTable.empty()) return origins;

  // One catalogue query names every table and column at once.
  const TPGresultPtr names = Query(sql::FieldOrigins, {tables + "}", columns + "}"});
  for (int row = 0, rows = PQntuples(names.get()); row < rows; ++row) {
    const long ord = std::atol(PQgetvalue(names.get(), row, 0));
    if (ord < 1 || static_cast<std::size_t>(ord) > fromTable.size()) continue;
    origins[fromTable[static_cast<std::size_t>(ord - 1)]] = TColumnOrigin{
        Value(names.get(), row, 1), Value(names.get(), row, 2), PQgetvalue(names.get(), row, 3)[0] == 't'};
  }
  return origins;
}

std::vector<ProcParam> TPGConnection::DescribeProcedure(const std::string& name) {
  std::string routine;
  if (HasArgumentList(name)) {
    // "name(type, ...)" names one routine exactly; the server reads the types.
    std::vector<std::string> found;
    try {
      found = FirstColumn(sql::RoutineBySignature, {name});
    } catch (const rtl::EDatabaseError& e) {
      throw rtl::EDatabaseError(fmt::format("Procedure \"{}\": {}", name, e.Message()));
    }
    if (found.empty()) throw rtl::EDatabaseError(fmt::format("Procedure \"{}\" not found", name));
    routine = found.front();
  } else {
    const auto parts = ObjectNameParams(name);
    if (!parts) throw rtl::EDatabaseError(fmt::format("Procedure \"{}\" not found", name));
    const TPGresultPtr found = Query(sql::RoutinesNamed, {(*parts)[0], (*parts)[1], (*parts)[2]});
    const int rows = PQntuples(found.get());
    if (rows == 0) throw rtl::EDatabaseError(fmt::format("Procedure \"{}\" not found", name));
    if (rows > 1) {
      std::string signatures;
      for (int row = 0; row < rows; ++row)
        signatures += fmt::format("{}{}({})", row ? ", " : "", name, Value(found.get(), row, 1));
      throw rtl::EDatabaseError(fmt::format("Procedure \"{}\" is overloaded; name one of {}", name, signatures));
    }
    routine = Value(found.get(), 0, 0);
  }

  const TPGresultPtr result = Query(sql::RoutineParameters, {routine});
  std::vector<ProcParam> params;
  int argument = 0;
  for (int row = 0, rows = PQntuples(result.get()); row < rows; ++row) {
    ProcParam param;
    param.Name = Value(result.get(), row, 0);
    param.TypeName = Value(result.get(), row, 1);
    param.Direction = DirectionOfMode(Value(result.get(), row, 2));
    if (param.Direction != ParamDirection::Result) ++argument;
    if (param.Name.empty()) param.Name = fmt::format("${}", argument);  // an unnamed argument
    params.push_back(std::move(param));
  }
  return params;
}

void TPGConnection::Execute(const std::string& statement) {
  // The extended protocol takes exactly one statement: no piggy-backed second command.
  Query(statement.c_str(), {});
}

}  // namespace korv::drivers::postgres
