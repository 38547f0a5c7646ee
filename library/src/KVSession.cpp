#include "korv/KVSession.h"

#include "korv/KVDatabase.h"
#include "korv/KVLoginDialog.h"
#include "korv/KVMonitor.h"
#include "rtl/SysUtils.h"

#include <algorithm>

namespace korv {

TKVSession* Session = nullptr;
TKVSessionList* Sessions = nullptr;

namespace {

constexpr char kDefaultSessionName[] = "Default";

// Makes the session list and the default session when the library loads, in that order, asks
// for logins through the library's login dialog, and frees them in the reverse order when it
// unloads.
struct TLibrarySessions {
  std::unique_ptr<TKVSessionList> List;
  std::unique_ptr<TKVSession> Default;

  TLibrarySessions() {
    List = std::make_unique<TKVSessionList>();
    Sessions = List.get();
    Default = std::make_unique<TKVSession>(nullptr);
    Default->SetSessionName(kDefaultSessionName);
    Session = Default.get();
    InstallLoginDialog();
  }
  ~TLibrarySessions() {
    Default.reset();
    Session = nullptr;
    Sessions = nullptr;
    List.reset();
  }
} LibrarySessions;

// Appends names to a list as one change.
void AppendNames(rtl::TStrings* List, const std::vector<std::string>& Names) {
  List->BeginUpdate();
  try {
    for (const auto& name : Names) List->Add(name);
  } catch (...) {
    List->EndUpdate();
    throw;
  }
  List->EndUpdate();
}

}  // namespace

// ---------------------------------------------------------------- TKVSession

rtl::TClass TKVSession::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVSession>("TKVSession")
                                .StrProp("SessionName", &TKVSession::SessionName, &TKVSession::SetSessionName)
                                .Build();
  return info;
}

TKVSession::TKVSession(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) {
  if (Sessions) Sessions->FSessions.push_back(this);
}

// Whether Db follows ASession, as Db->FindDBSession() == ASession says, without searching the
// session list for every database of another session name (a module holds thousands).
static bool Follows(const TKVDatabase* Db, const TKVSession* ASession) {
  const String& name = Db->SessionName();
  if (name.empty() || (Session && rtl::SameText(name, Session->SessionName()))) return ASession == Session;
  if (!rtl::SameText(name, ASession->SessionName())) return false;
  return Db->FindDBSession() == ASession;
}

// Only a live database (connected, or being read with Connected set, whose Close clears it)
// has anything to close, and the session list keeps those apart: a module of thousands of
// sessions and databases is not searched through at every session that goes. A session
// without a name (one being read, before its name is set) has no database to close.
void TKVSession::CloseFollowers() const {
  if (!Sessions || (this != Session && FSessionName.empty())) return;
  std::vector<TKVDatabase*> open;
  for (TKVDatabase* db : Sessions->FLiveDatabases)
    if (Follows(db, this)) open.push_back(db);
  for (TKVDatabase* db : open) db->Close();
}

TKVSession::~TKVSession() {
  // A session that ends takes its connections with it.
  CloseFollowers();
  if (Sessions) TKVSessionList::Unlist(Sessions->FSessions, this);
}

bool TKVSession::IsDefault() const { return this == Session; }

void TKVSession::SetSessionName(const String& Value) {
  if (Value == FSessionName) return;
  if (Sessions && !Value.empty()) {
    for (TKVSession* s : Sessions->FSessions)
      if (s != this && rtl::SameText(s->FSessionName, Value))
        throw rtl::EDatabaseError(fmt::format("Duplicate session name '{}'", Value));
  }
  // The databases that follow this session by name would be left behind by a rename.
  CloseFollowers();
  FSessionName = Value;
}

std::vector<TKVDatabase*> TKVSession::Databases() const {
  std::vector<TKVDatabase*> result;
  if (!Sessions) return result;
  for (TKVDatabase* db : Sessions->FDatabases)
    if (Follows(db, this)) result.push_back(db);
  return result;
}

TKVDatabase* TKVSession::FindDatabase(const String& DatabaseName) const {
  if (!Sessions) return nullptr;
  for (TKVDatabase* db : Sessions->FDatabases)
    if (rtl::SameText(db->DatabaseName(), DatabaseName) && Follows(db, this)) return db;
  return nullptr;
}

TKVDatabase* TKVSession::GetDatabase(const String& DatabaseName) const {
  if (TKVDatabase* db = FindDatabase(DatabaseName)) return db;
  throw rtl::EDatabaseError(fmt::format("Database '{}' not found in session '{}'", DatabaseName, FSessionName));
}

TKVDatabase* TKVSession::DefaultDatabase() const {
  for (TKVDatabase* db : Databases())
    if (db->DesignOptions().Contains(TKVDesignDBOption::ddoDefaultDatabase)) return db;
  return nullptr;
}

void TKVSession::GetDatabaseNames(rtl::TStrings* List) const {
  std::vector<std::string> names;
  for (TKVDatabase* db : Databases()) names.push_back(db->DatabaseName());
  AppendNames(List, names);
}

void TKVSession::GetTableNames(const String& DatabaseName, const String& Pattern, bool SystemTables,
                               rtl::TStrings* List) {
  TKVDatabaseUse use(*GetDatabase(DatabaseName));
  AppendNames(List, use->TableNames(Pattern, SystemTables));
}

void TKVSession::GetFieldNames(const String& DatabaseName, const String& TableName, rtl::TStrings* List) {
  TKVDatabaseUse use(*GetDatabase(DatabaseName));
  AppendNames(List, use->ColumnNames(TableName));
}

void TKVSession::GetStoredProcNames(const String& DatabaseName, rtl::TStrings* List) {
  TKVDatabaseUse use(*GetDatabase(DatabaseName));
  AppendNames(List, use->ProcedureNames());
}

// ---------------------------------------------------------------- TKVSessionList

TKVSession* TKVSessionList::Sessions(int Index) const {
  if (Index < 0 || Index >= Count()) throw rtl::EListError(fmt::format("Session index out of bounds ({})", Index));
  return FSessions[static_cast<std::size_t>(Index)];
}

TKVSession* TKVSessionList::FindSession(const String& SessionName) const {
  if (SessionName.empty() || (Session && rtl::SameText(SessionName, Session->SessionName()))) return Session;
  for (TKVSession* s : FSessions)
    if (rtl::SameText(s->SessionName(), SessionName)) return s;
  return nullptr;
}

TKVSession* TKVSessionList::GetSessionByName(const String& SessionName) const {
  if (TKVSession* s = FindSession(SessionName)) return s;
  throw rtl::EDatabaseError(fmt::format("Session '{}' not found", SessionName));
}

void TKVSessionList::GetSessionNames(rtl::TStrings* List) const {
  std::vector<std::string> names;
  for (TKVSession* s : FSessions) names.push_back(s->SessionName());
  AppendNames(List, names);
}

void TKVSessionList::HandleLoadError(rtl::TComponent* Component, const std::exception& Error) const {
  if (!Component->Designing() || !FLoadErrorHandler) throw;
  FLoadErrorHandler(Component, Error);
}

void TKVSessionList::Trace(const String& Statement) const {
  if (FMonitors.empty()) return;
  TKVTraceEntry entry;
  entry.SQL = Statement;
  Trace(entry);
}

void TKVSessionList::Trace(const TKVTraceEntry& Entry) const {
  if (FMonitors.empty()) return;
  // A monitor's handler may switch monitors on or off: walk a copy.
  const auto monitors = FMonitors;
  for (TKVMonitor* m : monitors) m->Record(Entry);
}

}  // namespace korv
