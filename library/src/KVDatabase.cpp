#include "korv/KVDatabase.h"

#include "korv/KVBoundStatement.h"
#include "korv/KVDataSet.h"
#include "korv/KVSession.h"
#include "korv/drivers/Registry.h"
#include "korv/firebird/FbAddress.h"
#include "rtl/SysUtils.h"

#include <algorithm>
#include <filesystem>

namespace korv {

namespace {

// Whether the database wants a user name and password: a server does, a file does not.
bool NeedsPassword(TKVServerType Type, const String& RemoteDatabase) {
  switch (Type) {
  case TKVServerType::stPostgreSQL:
  case TKVServerType::stMariaDB: return true;
  case TKVServerType::stFirebird: return drivers::firebird::IsServerAddress(RemoteDatabase);
  case TKVServerType::stSQLite: return false;
  }
  return false;
}

void SetParam(std::vector<std::pair<String, String>>& Params, const String& Name, const String& Value) {
  for (auto& [name, value] : Params)
    if (rtl::SameText(name, Name)) {
      value = Value;
      return;
    }
  Params.emplace_back(Name, Value);
}

bool HasParam(const std::vector<std::pair<String, String>>& Params, const String& Name) {
  return std::any_of(Params.begin(), Params.end(), [&](const auto& p) { return rtl::SameText(p.first, Name); });
}

String ParamValue(const std::vector<std::pair<String, String>>& Params, const String& Name) {
  for (const auto& [name, value] : Params)
    if (rtl::SameText(name, Name)) return value;
  return {};
}

void AddLines(std::vector<std::pair<String, String>>& Params, const rtl::TStrings& Lines) {
  for (int i = 0; i < Lines.Count(); ++i) {
    const String name = rtl::Trim(Lines.Names(i));
    if (!name.empty()) SetParam(Params, name, Lines.ValueFromIndex(i));
  }
}

}  // namespace

const rtl::TTypeInfo* TypeInfo_TKVServerType() {
  static const rtl::TTypeInfo* t =
      rtl::DefineEnumType("TKVServerType", {"stSQLite", "stPostgreSQL", "stFirebird", "stMariaDB"});
  return t;
}

const rtl::TTypeInfo* TypeInfo_TKVDesignDBOption() {
  static const rtl::TTypeInfo* t =
      rtl::DefineEnumType("TKVDesignDBOption", {"ddoDefaultDatabase", "ddoStoreConnected"});
  return t;
}

const rtl::TTypeInfo* TypeInfo_TKVDesignDBOptions() {
  static const rtl::TTypeInfo* t = rtl::DefineSetType("TKVDesignDBOptions", TypeInfo_TKVDesignDBOption());
  return t;
}

rtl::TClass TKVDatabase::StaticClass() {
  static rtl::TClass info =
      rtl::ClassBuilder<TKVDatabase>("TKVDatabase")
          .StrProp("DatabaseName", &TKVDatabase::DatabaseName, &TKVDatabase::SetDatabaseName)
          .StrProp("SessionName", &TKVDatabase::SessionName, &TKVDatabase::SetSessionName)
          // Always written: new components start at DefServerType, which differs between machines.
          .EnumProp("ServerType", TypeInfo_TKVServerType(), &TKVDatabase::ServerType, &TKVDatabase::SetServerType,
                    TKVServerType::stSQLite)
          .Stored([](const TKVDatabase*) { return true; })
          .StrProp("RemoteDatabase", &TKVDatabase::RemoteDatabase, &TKVDatabase::SetRemoteDatabase)
          .ObjProp<rtl::TStrings>("Params", &TKVDatabase::Params, &TKVDatabase::SetParams)
          .StrProp("ParamsFileName", &TKVDatabase::ParamsFileName, &TKVDatabase::SetParamsFileName)
          .BoolProp("KeepConnection", &TKVDatabase::KeepConnection, &TKVDatabase::SetKeepConnection, true)
          .BoolProp("LoginPrompt", &TKVDatabase::LoginPrompt, &TKVDatabase::SetLoginPrompt, true)
          .SetProp("DesignOptions", TypeInfo_TKVDesignDBOptions(), &TKVDatabase::DesignOptions,
                   &TKVDatabase::SetDesignOptions)
          // Last, so that every connection property is in place when it is read.
          .BoolProp("Connected", &TKVDatabase::Connected, &TKVDatabase::SetConnected)
          .Stored([](const TKVDatabase* d) {
            return d->Connected() && d->DesignOptions().Contains(TKVDesignDBOption::ddoStoreConnected);
          })
          .Build();
  return info;
}

TKVDatabase::TKVDatabase(rtl::TComponent* AOwner)
    : rtl::TComponent(AOwner), FServerType(DefServerType), FParams(std::make_unique<rtl::TStringList>()) {
  if (Sessions) Sessions->FDatabases.push_back(this);
}

TKVDatabase::~TKVDatabase() {
  FStreamedConnected = false;  // nothing is left to connect: disconnecting takes it off the live list
  DoDisconnect();
  if (Sessions) TKVSessionList::Unlist(Sessions->FDatabases, this);
}

void TKVDatabase::NoteLive() {
  const bool live = Connected() || FStreamedConnected;
  if (live == FListedLive || !Sessions) return;
  if (live)
    Sessions->FLiveDatabases.push_back(this);
  else
    TKVSessionList::Unlist(Sessions->FLiveDatabases, this);
  FListedLive = live;
}

String TKVDatabase::DisplayName() const { return FDatabaseName.empty() ? Name() : FDatabaseName; }

void TKVDatabase::CheckDisconnected() {
  if (Connected()) DoDisconnect();
}

void TKVDatabase::SetDatabaseName(const String& Value) {
  if (Value == FDatabaseName) return;
  CheckDisconnected();
  FDatabaseName = Value;
}

void TKVDatabase::SetSessionName(const String& Value) {
  if (Value == FSessionName) return;
  CheckDisconnected();
  FSessionName = Value;
}

void TKVDatabase::SetServerType(TKVServerType Value) {
  if (Value == FServerType) return;
  CheckDisconnected();
  FServerType = Value;
}

void TKVDatabase::SetRemoteDatabase(const String& Value) {
  if (Value == FRemoteDatabase) return;
  CheckDisconnected();
  FRemoteDatabase = Value;
}

void TKVDatabase::SetParams(rtl::TStrings* Value) {
  // The list itself may come back after an edit in place: its contents may have changed.
  if (Value == FParams.get()) {
    CheckDisconnected();
    return;
  }
  if (Value ? FParams->Equals(Value) : FParams->Count() == 0) return;
  CheckDisconnected();
  if (Value)
    FParams->Assign(Value);
  else
    FParams->Clear();
}

void TKVDatabase::SetParamsFileName(const String& Value) {
  if (Value == FParamsFileName) return;
  CheckDisconnected();
  FParamsFileName = Value;
}

void TKVDatabase::SetBaseDir(const String& Value) { FBaseDir = Value; }

void TKVDatabase::SetConnected(bool Value) {
  if (ComponentState().Contains(rtl::TComponentStateItem::csReading)) {
    FStreamedConnected = Value;
    NoteLive();
    return;
  }
  if (Value == Connected()) {
    // A caller who connects what data sets connected wants it kept when they close.
    if (Value) FConnectedForDataSets = false;
    return;
  }
  if (Value)
    DoConnect();
  else
    DoDisconnect();
}

void TKVDatabase::Loaded() {
  rtl::TComponent::Loaded();
  if (!FStreamedConnected) return;
  FStreamedConnected = false;
  NoteLive();
  try {
    SetConnected(true);
  } catch (const std::exception& e) {
    // In the designer a database that cannot reconnect must not keep its module from opening.
    if (!Sessions) throw;
    Sessions->HandleLoadError(this, e);
  }
}

std::vector<std::pair<String, String>> TKVDatabase::ConnectionParams() {
  std::vector<std::pair<String, String>> params;
  if (!FParamsFileName.empty()) {
    std::filesystem::path file(FParamsFileName);
    if (file.is_relative() && !FBaseDir.empty()) file = std::filesystem::path(FBaseDir) / file;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
      throw rtl::EDatabaseError(
          fmt::format("Cannot connect to database '{}': parameters file '{}' not found", DisplayName(), file.string()));
    rtl::TStringList lines;
    lines.SetText(rtl::ReadFileToString(file.string()));
    AddLines(params, lines);
  }
  AddLines(params, *FParams);
  return params;
}

void TKVDatabase::DoConnect() {
  drivers::ConnectionSpec spec;
  spec.RemoteDatabase = FRemoteDatabase;
  spec.Params = ConnectionParams();
  spec.BaseDir = FBaseDir;
  spec.OnTrace = [](const std::string& statement) {
    if (Sessions) Sessions->Trace(statement);
  };

  if (FLoginPrompt && NeedsPassword(FServerType, FRemoteDatabase) && !HasParam(spec.Params, "PASSWORD") && Sessions &&
      Sessions->LoginHook()) {
    rtl::TStringList login;
    login.Add("USER NAME=" + ParamValue(spec.Params, "USER NAME"));
    login.Add("PASSWORD=");
    if (!Sessions->LoginHook()(this, &login))
      throw rtl::EDatabaseError(fmt::format("Login to database '{}' cancelled", DisplayName()));
    SetParam(spec.Params, "USER NAME", login.Values("USER NAME"));
    SetParam(spec.Params, "PASSWORD", login.Values("PASSWORD"));
  }

  try {
    FConnection = drivers::GetDriver(FServerType).Connect(spec);
    NoteLive();
  } catch (const rtl::EDatabaseError& e) {
    throw rtl::EDatabaseError(fmt::format("Cannot connect to database '{}': {}", DisplayName(), e.Message()));
  }
}

void TKVDatabase::DoDisconnect() {
  // Data sets leave first; detached, they do not come back to close the database again.
  const auto dataSets = std::move(FDataSets);
  FDataSets.clear();
  for (TKVDataSet* ds : dataSets) {
    ds->DetachDatabase();
    ds->Close();
  }
  if (FConnection && FConnection->InTransaction()) {
    try {
      FConnection->Rollback();
    } catch (...) {
      // Closing the connection ends the transaction on the server all the same.
    }
  }
  FConnection.reset();
  FConnectedForDataSets = false;
  NoteLive();
}

TKVSession* TKVDatabase::FindDBSession() const { return Sessions ? Sessions->FindSession(FSessionName) : nullptr; }

TKVSession* TKVDatabase::GetDBSession() const {
  if (TKVSession* s = FindDBSession()) return s;
  throw rtl::EDatabaseError(fmt::format("Session '{}' not found", FSessionName));
}

drivers::Connection& TKVDatabase::Connection() const {
  if (!FConnection) throw rtl::EDatabaseError(fmt::format("Database '{}' is not connected", DisplayName()));
  return *FConnection;
}

std::unique_ptr<TKVResultSet> TKVDatabase::GetSchemaInfo(TKVSchemaType SchemaType, const String& Name) {
  if (SchemaType == TKVSchemaType::stNone) return nullptr;
  TKVDatabaseUse use(*this);
  std::unique_ptr<TKVResultSet> result;
  switch (SchemaType) {
  case TKVSchemaType::stNone: break;
  case TKVSchemaType::stTables:
  case TKVSchemaType::stSysTables:
    result = std::make_unique<TKVResultSet>(std::vector<String>{"TABLE_NAME"});
    for (auto& name : use->TableNames(Name, SchemaType == TKVSchemaType::stSysTables))
      result->AppendRow({std::move(name)});
    break;
  case TKVSchemaType::stProcedures:
    result = std::make_unique<TKVResultSet>(std::vector<String>{"PROC_NAME"});
    for (auto& name : use->ProcedureNames()) result->AppendRow({std::move(name)});
    break;
  case TKVSchemaType::stColumns: {
    result = std::make_unique<TKVResultSet>(std::vector<String>{"COLUMN_NAME", "COLUMN_POSITION"});
    int position = 0;
    for (auto& name : use->ColumnNames(Name)) result->AppendRow({std::move(name), std::to_string(++position)});
    break;
  }
  case TKVSchemaType::stIndexes:
    result = std::make_unique<TKVResultSet>(std::vector<String>{"INDEX_NAME", "COLUMN_NAME", "INDEX_TYPE"});
    for (auto& row : use->IndexInfo(Name))
      result->AppendRow({std::move(row.IndexName), std::move(row.ColumnName), std::to_string(row.IndexType)});
    break;
  }
  return result;
}

void TKVDatabase::Execute(const String& SQL) {
  TKVDatabaseUse use(*this);
  use->Execute(SQL);
}

std::int64_t TKVDatabase::ExecSQL(const String& SQL, const rtl::TParams* Params) {
  TKVDatabaseUse use(*this);
  TKVBoundStatement statement(*this, SQL);
  const rtl::TParams none;
  return statement.Execute(statement.ValuesFrom(Params ? *Params : none));
}

void TKVDatabase::StartTransaction() {
  if (!Connected()) Open();
  Connection().StartTransaction();
}

void TKVDatabase::Commit() { Connection().Commit(); }

void TKVDatabase::Rollback() { Connection().Rollback(); }

bool TKVDatabase::InTransaction() const { return FConnection && FConnection->InTransaction(); }

// ---------------------------------------------------------------- TKVDatabaseUse

TKVDatabaseUse::TKVDatabaseUse(TKVDatabase& Database) : FDatabase(Database), FWasConnected(Database.Connected()) {
  if (!FWasConnected) FDatabase.Open();
}

TKVDatabaseUse::~TKVDatabaseUse() {
  if (FWasConnected || FDatabase.KeepConnection() || FDatabase.DataSetCount() > 0 || FDatabase.InTransaction()) return;
  try {
    FDatabase.Close();
  } catch (...) {
    // Closing only releases the connection; nothing a destructor could report.
  }
}

}  // namespace korv
