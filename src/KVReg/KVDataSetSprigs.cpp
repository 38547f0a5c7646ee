#include "KVDataSetSprigs.h"

#include "KVSprigLookup.h"

#include "rtl/SysUtils.h"

namespace dclkorv {

using designintf::TSprig;

DESIGN_CLASS_IMPL(TKVDataSetSprig)
DESIGN_CLASS_IMPL(TKVTableSprig)
DESIGN_CLASS_IMPL(TKVQuerySprig)
DESIGN_CLASS_IMPL(TKVStoredProcSprig)
DESIGN_CLASS_IMPL(TKVUpdateSQLSprig)

namespace {

bool IsNamedDatabaseOrImplied(TSprig* AItem) {
  if (auto* db = dynamic_cast<TKVDatabaseSprig*>(AItem)) return !db->Database()->DatabaseName().empty();
  return dynamic_cast<TKVImpliedDatabaseSprig*>(AItem) != nullptr;
}

}  // namespace

String QueryCaptionText(const rtl::TStrings* SQL) {
  if (!SQL || SQL->Count() == 0) return {};
  String text = SQL->Strings(0);
  if (SQL->Count() > 1) text += "...";
  return text;
}

// ---------------------------------------------------------------------------- TKVDataSetSprig

korv::TKVDataSet* TKVDataSetSprig::DataSet() const { return rtl::As<korv::TKVDataSet>(Item()); }

bool TKVDataSetSprig::AnyProblems() { return TDataSetSprig::AnyProblems() || DataSet()->DatabaseName().empty(); }

bool TKVDataSetSprig::DragOverTo(TSprig* AItem) { return IsNamedDatabaseOrImplied(AItem); }

bool TKVDataSetSprig::PaletteOverTo(TSprig* AParent, rtl::TClass) { return IsNamedDatabaseOrImplied(AParent); }

bool TKVDataSetSprig::DragDropTo(TSprig* AItem) {
  String databaseName, sessionName;
  if (auto* implied = dynamic_cast<TKVImpliedDatabaseSprig*>(AItem)) {
    databaseName = implied->DatabaseName();
    sessionName = implied->SessionName();
  } else if (auto* db = dynamic_cast<TKVDatabaseSprig*>(AItem)) {
    databaseName = db->Database()->DatabaseName();
    sessionName = db->Database()->SessionName();
  } else {
    return false;
  }
  korv::TKVDataSet* ds = DataSet();
  const bool changed =
      !rtl::SameText(ds->DatabaseName(), databaseName) || !rtl::SameText(ds->SessionName(), sessionName);
  if (changed) {
    ds->SetDatabaseName(databaseName);
    ds->SetSessionName(sessionName);
  }
  return changed;
}

void TKVDataSetSprig::Reparent() {
  if (auto* db = dynamic_cast<TKVDatabaseSprig*>(Parent()))
    DataSet()->SetSessionName(db->Database()->SessionName());
  else if (auto* implied = dynamic_cast<TKVImpliedDatabaseSprig*>(Parent()))
    DataSet()->SetSessionName(implied->SessionName());
}

void TKVDataSetSprig::FigureParent() {
  korv::TKVDataSet* ds = DataSet();
  TSprig* session = SessionSprigFor(Root(), ds->SessionName());
  if (!session) return;
  TSprig* database = FindChildSprig<TKVDatabaseSprig>(session, ds->DatabaseName());
  if (!database)
    database = FindChildSprig<TKVImpliedDatabaseSprig>(session, ImpliedDatabaseNodeName(ds->DatabaseName()));
  if (!database) {
    // Every data set of this session that names the same missing database joins this one.
    auto implied = std::make_unique<TKVImpliedDatabaseSprig>(nullptr);
    implied->SetDatabaseName(ds->DatabaseName());
    implied->SetSessionName(ds->SessionName());
    database = session->Add(std::move(implied));
  }
  database->Add(this);
}

// ---------------------------------------------------------------------------- per data-set class

korv::TKVTable* TKVTableSprig::Table() const { return rtl::As<korv::TKVTable>(Item()); }

bool TKVTableSprig::AnyProblems() { return TKVDataSetSprig::AnyProblems() || Table()->TableName().empty(); }

String TKVTableSprig::Caption() { return CaptionFor(Table()->TableName(), UniqueName(), {}); }

korv::TKVQuery* TKVQuerySprig::Query() const { return rtl::As<korv::TKVQuery>(Item()); }

bool TKVQuerySprig::AnyProblems() { return TKVDataSetSprig::AnyProblems() || Query()->SQL()->Count() == 0; }

String TKVQuerySprig::Caption() { return CaptionFor(QueryCaptionText(Query()->SQL()), UniqueName(), {}); }

korv::TKVStoredProc* TKVStoredProcSprig::StoredProc() const { return rtl::As<korv::TKVStoredProc>(Item()); }

bool TKVStoredProcSprig::AnyProblems() {
  return TKVDataSetSprig::AnyProblems() || StoredProc()->StoredProcName().empty();
}

String TKVStoredProcSprig::Caption() { return CaptionFor(StoredProc()->StoredProcName(), UniqueName(), {}); }

bool TKVUpdateSQLSprig::AnyProblems() {
  auto* update = rtl::As<korv::TKVUpdateSQL>(Item());
  for (int kind = 1; kind <= 3; ++kind)
    if (update->GetSQLIndex(kind)->Count() > 0) return false;
  return true;
}

}  // namespace dclkorv
