#include "korv/KVQuery.h"

#include "SqlMarkers.h"
#include "korv/KVBoundStatement.h"
#include "korv/KVDatabase.h"
#include "korv/KVSession.h"
#include "rtl/SysUtils.h"

#include <unordered_map>

namespace korv {

namespace {

// Makes Params hold one parameter per name, in that order; a parameter whose name stays keeps
// its type, kind and value.
void RebuildParams(rtl::TParams& Params, const std::vector<String>& Names, rtl::TParamType NewType) {
  bool same = Params.Count() == static_cast<int>(Names.size());
  for (int i = 0; same && i < Params.Count(); ++i) same = Params.Items(i)->Name() == Names[static_cast<std::size_t>(i)];
  if (same) return;
  // The old parameters by name, looked up once each: thousands of markers stay linear.
  std::unordered_map<String, rtl::TParam*> old;
  for (int i = Params.Count() - 1; i >= 0; --i) old[rtl::FoldCase(Params.Items(i)->Name())] = Params.Items(i);
  rtl::TParams fresh;
  for (const auto& name : Names) {
    auto it = old.find(rtl::FoldCase(name));
    if (it != old.end()) {
      auto* p = static_cast<rtl::TParam*>(fresh.Add());
      p->Assign(it->second);
      p->SetName(name);
    } else {
      fresh.CreateParam(rtl::TFieldType::ftUnknown, name, NewType);
    }
  }
  Params.Assign(&fresh);
}

}  // namespace

std::vector<String> ParseParamNames(const String& SQL) {
  return detail::UniqueMarkerNames(detail::FindSqlMarkers(SQL, ':'));
}

std::vector<String> ParseMacroNames(const String& SQL) {
  return detail::UniqueMarkerNames(detail::FindSqlMarkers(SQL, '&'));
}

// ---------------------------------------------------------------- TKVQuery

rtl::TClass TKVQuery::StaticClass() {
  static rtl::TClass info =
      rtl::ClassBuilder<TKVQuery>("TKVQuery")
          .BoolProp("ParamCheck", &TKVQuery::ParamCheck, &TKVQuery::SetParamCheck, true)
          .ObjProp<rtl::TStrings>("SQL", &TKVQuery::SQL, &TKVQuery::SetSQL)
          .ObjProp<rtl::TParams>("Params", &TKVQuery::Params, &TKVQuery::SetParams)
          // Empty beside parameter markers: kept empty, as reading the SQL
          // would make them again.
          .Stored([](const TKVQuery* q) {
            return q->Params()->Count() > 0 || (q->ParamCheck() && !ParseParamNames(q->SQL()->Text()).empty());
          })
          .Build();
  return info;
}

TKVQuery::TKVQuery(rtl::TComponent* AOwner) : TKVDataSet(AOwner), FParams(std::make_unique<rtl::TParams>(this)) {
  FParams->SetPropName("Params");
  FSQL.OnChange = [this](rtl::TObject*) { QueryChanged(); };
}

TKVQuery::~TKVQuery() { FSQL.OnChange = nullptr; }

void TKVQuery::SetSQL(rtl::TStrings* Value) {
  if (Value == &FSQL) {
    QueryChanged();
    return;
  }
  if (Value)
    FSQL.Assign(Value);
  else
    FSQL.Clear();
}

void TKVQuery::SetParams(rtl::TParams* Value) {
  if (Value != FParams.get()) FParams->AssignValues(Value);
}

void TKVQuery::QueryChanged() {
  CloseActive();
  if (FParamCheck) RebuildParams(*FParams, ParseParamNames(FSQL.Text()), rtl::TParamType::ptInput);
}

String TKVQuery::ExpandedSQL() const { return FSQL.Text(); }

String TKVQuery::StatementText() const {
  String sql = ExpandedSQL();
  TKVDatabase* db = FindDatabase();
  if (!db || db->ServerType() != TKVServerType::stPostgreSQL) return sql;
  // The server numbers its parameters: the same name is the same number.
  return detail::NumberSqlMarkers(sql, [](int n) { return "$" + std::to_string(n); }).Text;
}

void TKVQuery::OpenCursor(drivers::Connection& /*Connection*/) {
  const String sql = ExpandedSQL();
  if (rtl::Trim(sql).empty()) DatabaseError("No SQL statement");
  auto statement = std::make_unique<TKVBoundStatement>(*Database(), sql);
  auto values = statement->ValuesFrom(*FParams);
  OpenRows(std::move(statement), std::move(values));
}

const rtl::TParam* TKVQuery::FindUpdateParam(const String& Name) const { return FParams->FindParam(Name); }

void TKVQuery::ExecSQL() {
  CloseActive();
  const String sql = ExpandedSQL();
  if (rtl::Trim(sql).empty()) DatabaseError("No SQL statement");
  TKVSession* session = GetDBSession();
  TKVDatabase* db = FindDatabase();
  if (!db)
    DatabaseError(fmt::format("Database '{}' not found in session '{}'", DatabaseName(), session->SessionName()));
  TKVDatabaseUse use(*db);
  TKVBoundStatement statement(*db, sql);
  FRowsAffected = statement.Execute(statement.ValuesFrom(*FParams));
}

// ---------------------------------------------------------------- TKVMacroQuery

rtl::TClass TKVMacroQuery::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVMacroQuery>("TKVMacroQuery")
                                .ObjProp<rtl::TParams>("Macros", &TKVMacroQuery::Macros, &TKVMacroQuery::SetMacros)
                                .Stored([](const TKVMacroQuery* q) {
                                  return q->Macros()->Count() > 0 || !ParseMacroNames(q->SQL()->Text()).empty();
                                })
                                .Build();
  return info;
}

TKVMacroQuery::TKVMacroQuery(rtl::TComponent* AOwner)
    : TKVQuery(AOwner), FMacros(std::make_unique<rtl::TParams>(this)) {
  FMacros->SetPropName("Macros");
}

TKVMacroQuery::~TKVMacroQuery() = default;

void TKVMacroQuery::SetMacros(rtl::TParams* Value) {
  if (Value != FMacros.get()) FMacros->AssignValues(Value);
}

void TKVMacroQuery::QueryChanged() {
  TKVQuery::QueryChanged();
  // The base class's constructor may report a change before this object's macros exist.
  if (FMacros) RebuildParams(*FMacros, ParseMacroNames(SQL()->Text()), rtl::TParamType::ptInput);
}

String TKVMacroQuery::ExpandedSQL() const {
  const String sql = SQL()->Text();
  const auto markers = detail::FindSqlMarkers(sql, '&');
  return detail::ReplaceSqlMarkers(sql, markers, [&](const detail::TSqlMarker& m, std::string& text) {
    rtl::TParam* macro = FMacros->FindParam(m.Name);
    if (!macro || macro->IsNull()) return false;
    text = macro->Value();
    return true;
  });
}

}  // namespace korv
