#include "korv/KVStoredProc.h"

#include "korv/KVBoundStatement.h"
#include "korv/KVCommon.h"
#include "korv/KVDatabase.h"
#include "korv/drivers/Registry.h"
#include "rtl/SysUtils.h"

namespace korv {

namespace {

// The field type of a server's type name, by the words it contains (as SQLite gives a declared
// type its affinity); ftUnknown when nothing fits.
rtl::TFieldType FieldTypeOf(const String& TypeName) {
  const String t = rtl::LowerCase(TypeName);
  auto has = [&](const char* word) { return t.find(word) != String::npos; };
  using rtl::TFieldType;
  if (has("bigint") || t == "int8") return TFieldType::ftLargeint;
  if (has("smallint") || t == "int2") return TFieldType::ftSmallint;
  if (has("int")) return TFieldType::ftInteger;
  if (has("bool")) return TFieldType::ftBoolean;
  if (has("timestamp") || has("datetime")) return TFieldType::ftDateTime;
  if (has("date")) return TFieldType::ftDate;
  if (has("time")) return TFieldType::ftTime;
  if (has("numeric") || has("decimal")) return TFieldType::ftBCD;
  if (has("real") || has("floa") || has("doub") || has("money")) return TFieldType::ftFloat;
  if (has("char") || has("text") || has("clob") || has("name")) return TFieldType::ftString;
  if (has("bytea") || has("blob")) return TFieldType::ftBlob;
  return TFieldType::ftUnknown;
}

rtl::TParamType ParamTypeOf(drivers::ParamDirection Direction) {
  switch (Direction) {
  case drivers::ParamDirection::Input: return rtl::TParamType::ptInput;
  case drivers::ParamDirection::Output: return rtl::TParamType::ptOutput;
  case drivers::ParamDirection::InputOutput: return rtl::TParamType::ptInputOutput;
  case drivers::ParamDirection::Result: return rtl::TParamType::ptResult;
  }
  return rtl::TParamType::ptUnknown;
}

}  // namespace

rtl::TClass TKVStoredProc::StaticClass() {
  static rtl::TClass info =
      rtl::ClassBuilder<TKVStoredProc>("TKVStoredProc")
          .StrProp("StoredProcName", &TKVStoredProc::StoredProcName, &TKVStoredProc::SetStoredProcName)
          .ObjProp<rtl::TParams>("Params", &TKVStoredProc::Params, &TKVStoredProc::SetParams)
          .Build();
  return info;
}

TKVStoredProc::TKVStoredProc(rtl::TComponent* AOwner)
    : TKVDataSet(AOwner), FParams(std::make_unique<rtl::TParams>(this)) {
  FParams->SetPropName("Params");
}

TKVStoredProc::~TKVStoredProc() = default;

void TKVStoredProc::SetStoredProcName(const String& Value) {
  if (Value == FStoredProcName) return;
  CloseActive();
  UnPrepare();
  FStoredProcName = Value;
  // Parameters read from a form file belong to the name read with them.
  if (!ComponentState().Contains(rtl::TComponentStateItem::csReading)) FParams->Clear();
}

void TKVStoredProc::SetParams(rtl::TParams* Value) {
  if (Value != FParams.get()) FParams->Assign(Value);
}

void TKVStoredProc::SetPrepared(bool Value) {
  if (Value)
    Prepare();
  else
    UnPrepare();
}

void TKVStoredProc::Prepare() {
  if (rtl::Trim(FStoredProcName).empty()) DatabaseError("No stored procedure name");
  TKVDatabase* db = FindDatabase();
  if (!db)
    DatabaseError(
        fmt::format("Cannot prepare stored procedure '{}': database '{}' not found", FStoredProcName, DatabaseName()));
  std::vector<drivers::ProcParam> described;
  {
    TKVDatabaseUse use(*db);
    described = use->DescribeProcedure(FStoredProcName);
  }
  rtl::TParams fresh;
  for (const auto& p : described) {
    rtl::TParam* param = fresh.CreateParam(FieldTypeOf(p.TypeName), p.Name, ParamTypeOf(p.Direction));
    if (rtl::TParam* old = FParams->FindParam(p.Name); old && !old->IsNull()) param->SetValue(old->Value());
  }
  FParams->Assign(&fresh);
  FPrepared = true;
}

bool TKVStoredProc::DescriptionsAvailable() {
  TKVDatabase* db = FindDatabase();
  return db && drivers::GetDriver(db->ServerType()).ProcedureDescriptionsAvailable();
}

String TKVStoredProc::CallSQL() const {
  // "name(integer, text)" names one routine of an overloaded name; the call takes the name alone.
  String name = rtl::Trim(FStoredProcName);
  if (!name.empty() && name.back() == ')') {
    int depth = 0;
    for (std::size_t i = name.size(); i-- > 0;) {
      if (name[i] == ')') ++depth;
      if (name[i] == '(' && --depth == 0) {
        name = rtl::Trim(name.substr(0, i));
        break;
      }
    }
  }
  // MariaDB calls a procedure with a place for each of its parameters, OUT ones too, and takes a
  // function's value from a SELECT; the other servers select from the routine.
  TKVDatabase* db = FindDatabase();
  const TKVServerType serverType = db ? db->ServerType() : TKVServerType::stSQLite;
  const bool mariadb = serverType == TKVServerType::stMariaDB;
  bool function = false;
  for (int i = 0; i < FParams->Count(); ++i)
    function = function || FParams->Items(i)->ParamType() == rtl::TParamType::ptResult;
  // The name as the catalogue spells it (the procedure list offers those), quoted where the server
  // would fold it.
  const String routine = QuoteIdentifierFor(serverType, name, false);
  String sql = !mariadb ? "SELECT * FROM " + routine + "(" : (function ? "SELECT " : "CALL ") + routine + "(";
  bool first = true;
  for (int i = 0; i < FParams->Count(); ++i) {
    const rtl::TParam* p = FParams->Items(i);
    const bool passed = p->ParamType() == rtl::TParamType::ptInput ||
                        p->ParamType() == rtl::TParamType::ptInputOutput ||
                        (mariadb && p->ParamType() == rtl::TParamType::ptOutput);
    if (!passed) continue;
    String quoted = "\"";
    for (char c : p->Name()) {
      if (c == '"') quoted += '"';
      quoted += c;
    }
    sql += (first ? ":" : ", :") + quoted + "\"";
    first = false;
  }
  return sql + (mariadb && function ? ") AS `Result`" : ")");
}

void TKVStoredProc::OpenCursor(drivers::Connection& /*Connection*/) {
  if (!FPrepared) Prepare();
  auto statement = std::make_unique<TKVBoundStatement>(*Database(), CallSQL());
  auto values = statement->ValuesFrom(*FParams);
  OpenRows(std::move(statement), std::move(values));
}

void TKVStoredProc::ExecProc() {
  CloseActive();
  TKVDatabase* db = FindDatabase();
  if (!db) DatabaseError(fmt::format("Database '{}' not found", DatabaseName()));
  TKVDatabaseUse use(*db);
  if (!FPrepared) Prepare();
  TKVBoundStatement statement(*db, CallSQL());
  statement.Execute(statement.ValuesFrom(*FParams));
}

}  // namespace korv
