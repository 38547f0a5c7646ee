#include "PgRows.h"

#include "PgTypes.h"
#include "rtl/Exceptions.h"

#include <fmt/format.h>

#include <cstdlib>

namespace korv::drivers::postgres {

namespace {

// Rows asked for at a time: enough to make the round trips cheap, few enough to keep the
// client's memory small whatever the table's size.
constexpr int kFetchBatch = 1000;

bool IsBinaryType(rtl::TFieldType t) {
  using rtl::TFieldType;
  return t == TFieldType::ftBlob || t == TFieldType::ftBytes || t == TFieldType::ftVarBytes ||
         t == TFieldType::ftGraphic || t == TFieldType::ftTypedBinary;
}

// Closes a server-side object when its owner goes. A connection whose transaction failed takes
// nothing but a rollback, and the rollback then drops the object itself, so failures are ignored.
void RunQuietly(PGconn* conn, const std::string& sql) {
  if (PQtransactionStatus(conn) == PQTRANS_INERROR) return;
  PGresult* result = PQexec(conn, sql.c_str());
  PQclear(result);
}

class TPGCursor final : public Cursor {
public:
  TPGCursor(TPGConnection& Connection, std::string Name, const std::vector<FieldDesc>& Fields)
      : FConnection(Connection),
        FName(std::move(Name)),
        FFields(Fields),
        FFetch(fmt::format("FETCH FORWARD {} FROM {}", kFetchBatch, FName)) {}
  ~TPGCursor() override { RunQuietly(FConnection.Handle(), "CLOSE " + FName); }

  const std::vector<FieldDesc>& Fields() const override { return FFields; }

  bool Next() override {
    if (FDone) return false;
    if (++FRow < FRows) return true;
    FBatch = FConnection.Run(FFetch, {});
    FRows = PQntuples(FBatch.get());
    FRow = 0;
    if (FRows == 0) {
      FDone = true;
      FBatch.reset();
      return false;
    }
    return true;
  }

  CellView Cell(int Column) const override {
    CellView cell;
    const PGresult* batch = FBatch.get();
    if (!batch || PQgetisnull(batch, FRow, Column)) return cell;
    cell.Type = CellView::Kind::Text;
    cell.Text = {PQgetvalue(batch, FRow, Column), static_cast<std::size_t>(PQgetlength(batch, FRow, Column))};
    return cell;
  }

private:
  TPGConnection& FConnection;
  std::string FName;
  std::vector<FieldDesc> FFields;
  std::string FFetch;
  TPGresultPtr FBatch;
  int FRows = 0;
  int FRow = -1;
  bool FDone = false;
};

// The parameters as libpq takes them: text, except binary data, which goes as it is.
struct TPGParams {
  std::vector<const char*> Values;
  std::vector<int> Lengths;
  std::vector<int> Formats;

  explicit TPGParams(const std::vector<ParamValue>& Params) {
    for (const auto& p : Params) {
      Values.push_back(p.Value ? p.Value->c_str() : nullptr);
      Lengths.push_back(p.Value ? static_cast<int>(p.Value->size()) : 0);
      Formats.push_back(p.Value && IsBinaryType(p.DataType) ? 1 : 0);
    }
  }
  int Count() const { return static_cast<int>(Values.size()); }
};

}  // namespace

// ---------------------------------------------------------------- TPGConnection: running

std::string TPGConnection::NewName(const char* Prefix) { return fmt::format("{}{}", Prefix, ++FNames); }

TPGresultPtr TPGConnection::Run(const std::string& sql, const std::vector<ParamValue>& Params) {
  const TPGParams params(Params);
  TPGresultPtr result(PQexecParams(FConn.get(), sql.c_str(), params.Count(), nullptr, params.Values.data(),
                                   params.Lengths.data(), params.Formats.data(), 0));
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) RaiseError(result.get());
  return result;
}

std::vector<FieldDesc> TPGConnection::DescribeFields(const PGresult* Described) {
  const int count = PQnfields(Described);
  const auto origins = ColumnOrigins(Described, /*SystemColumns=*/false);
  std::vector<FieldDesc> fields(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    FieldDesc& field = fields[static_cast<std::size_t>(i)];
    field.Name = PQfname(Described, i);
    SetColumnType(field, PQftype(Described, i), PQfmod(Described, i));
    if (!origins[i]) continue;
    field.TableName = origins[i]->TableName;
    field.ColumnName = origins[i]->ColumnName;
    field.Required = origins[i]->Required;
  }
  return fields;
}

std::unique_ptr<Statement> TPGConnection::Prepare(const std::string& sql) {
  return std::make_unique<TPGStatement>(*this, sql);
}

StatementCheck TPGConnection::CheckStatement(const std::string& sql) {
  // Inside a transaction a failed prepare would spoil it: a savepoint keeps it whole.
  const bool guarded = InTransaction();
  if (guarded) RunSimple("SAVEPOINT korv_check");
  const std::string name = NewName("korv_check");
  TPGresultPtr prepared(PQprepare(FConn.get(), name.c_str(), sql.c_str(), 0, nullptr));
  StatementCheck check;
  if (!prepared || PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) {
    check.Ok = false;
    const char* message = prepared ? PQresultErrorField(prepared.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    check.Message = message ? message : PQerrorMessage(FConn.get());
    if (const char* position = prepared ? PQresultErrorField(prepared.get(), PG_DIAG_STATEMENT_POSITION) : nullptr)
      check.Position = std::atoi(position);
  } else {
    RunSimple(("DEALLOCATE " + name).c_str());
  }
  if (guarded) RunSimple(check.Ok ? "RELEASE SAVEPOINT korv_check" : "ROLLBACK TO SAVEPOINT korv_check");
  return check;
}

void TPGConnection::RunSimple(const char* sql) {
  Trace(sql);
  TPGresultPtr result(PQexec(FConn.get(), sql));
  if (!result || PQresultStatus(result.get()) != PGRES_COMMAND_OK) RaiseError(result.get());
}

void TPGConnection::StartTransaction() {
  if (InTransaction()) throw rtl::EDatabaseError("A transaction is already active");
  RunSimple("BEGIN");
}

void TPGConnection::Commit() {
  if (!InTransaction()) throw rtl::EDatabaseError("No transaction is active");
  RunSimple("COMMIT");
}

void TPGConnection::Rollback() {
  if (!InTransaction()) throw rtl::EDatabaseError("No transaction is active");
  RunSimple("ROLLBACK");
}

bool TPGConnection::InTransaction() const { return PQtransactionStatus(FConn.get()) != PQTRANS_IDLE; }

// ---------------------------------------------------------------- TPGStatement

TPGStatement::TPGStatement(TPGConnection& Connection, std::string sql)
    : FConnection(Connection), FSQL(std::move(sql)), FName(Connection.NewName("korv_s")) {
  PGconn* conn = FConnection.Handle();
  TPGresultPtr prepared(PQprepare(conn, FName.c_str(), FSQL.c_str(), 0, nullptr));
  if (!prepared || PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) FConnection.RaiseError(prepared.get());
  try {
    TPGresultPtr described(PQdescribePrepared(conn, FName.c_str()));
    if (!described || PQresultStatus(described.get()) != PGRES_COMMAND_OK) FConnection.RaiseError(described.get());
    FFields = FConnection.DescribeFields(described.get());
  } catch (...) {
    RunQuietly(conn, "DEALLOCATE " + FName);
    throw;
  }
}

TPGStatement::~TPGStatement() { RunQuietly(FConnection.Handle(), "DEALLOCATE " + FName); }

std::unique_ptr<Cursor> TPGStatement::Open(const std::vector<ParamValue>& Params) {
  if (FFields.empty()) throw rtl::EDatabaseError("The statement returns no rows");
  // A holdable cursor outlives the transaction it was declared in, so commits between batches
  // (an applied update) do not end it.
  std::string name = FConnection.NewName("korv_c");
  FConnection.Run(fmt::format("DECLARE {} NO SCROLL CURSOR WITH HOLD FOR {}", name, FSQL), Params);
  return std::make_unique<TPGCursor>(FConnection, std::move(name), FFields);
}

std::int64_t TPGStatement::Execute(const std::vector<ParamValue>& Params) {
  const TPGParams params(Params);
  TPGresultPtr result(PQexecPrepared(FConnection.Handle(), FName.c_str(), params.Count(), params.Values.data(),
                                     params.Lengths.data(), params.Formats.data(), 0));
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) FConnection.RaiseError(result.get());
  const char* changed = PQcmdTuples(result.get());
  return changed && *changed ? std::atoll(changed) : 0;
}

}  // namespace korv::drivers::postgres
