#include "KVSessionSprigs.h"

#include "KVSprigLookup.h"

#include "korv/KVDataSet.h"
#include "rtl/SysUtils.h"

#include <fmt/format.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace dclkorv {

using designintf::TSprig;
using korv::TKVDatabase;
using korv::TKVSession;

DESIGN_CLASS_IMPL(TKVSessionSprig)
DESIGN_CLASS_IMPL(TKVDefaultSessionSprig)
DESIGN_CLASS_IMPL(TKVDatabaseSprig)
DESIGN_CLASS_IMPL(TKVImpliedDatabaseSprig)

namespace {

constexpr const char* DefaultSessionNodeName = "<DefaultSession>";

// Calls ReparentChildren on ANode; true when a data set under it took another session name,
// so that the drop is reported as a change of the module even when the node's own session
// name stayed the same.
bool ReparentDataSets(TSprig* ANode) {
  std::vector<std::pair<korv::TKVDataSet*, String>> before;
  for (int i = 0; i < ANode->Count(); ++i)
    if (auto* ds = dynamic_cast<korv::TKVDataSet*>(ANode->Items(i)->Item())) before.emplace_back(ds, ds->SessionName());
  ANode->ReparentChildren();
  return std::any_of(before.begin(), before.end(), [](const auto& p) { return p.first->SessionName() != p.second; });
}

// The session name of a session or default-session node: what a node dropped on it takes.
bool SessionNameOfTarget(TSprig* AItem, String& SessionName) {
  if (auto* s = dynamic_cast<TKVSessionSprig*>(AItem)) {
    SessionName = s->Session()->SessionName();
    return true;
  }
  if (dynamic_cast<TKVDefaultSessionSprig*>(AItem)) {
    SessionName.clear();
    return true;
  }
  return false;
}

bool IsNamedSessionOrDefault(TSprig* AItem) {
  if (auto* s = dynamic_cast<TKVSessionSprig*>(AItem)) return !s->Session()->SessionName().empty();
  return dynamic_cast<TKVDefaultSessionSprig*>(AItem) != nullptr;
}

}  // namespace

String SessionNodeName(const String& Name) {
  if (Name.empty() || (korv::Session && rtl::SameText(Name, korv::Session->SessionName())))
    return DefaultSessionNodeName;
  return Name;
}

// Asked for at each placement of a data set: joined directly, not formatted.
String ImpliedDatabaseNodeName(const String& Name) { return "<ImpliedDatabase>." + Name; }

TSprig* SessionSprigFor(TSprig* ARoot, const String& ASessionName) {
  if (!ARoot) return nullptr;
  const String key = SessionNodeName(ASessionName);
  // Only session nodes answer: a component node that happens to bear the session's name is no
  // place for a database.
  if (key == DefaultSessionNodeName) {
    if (TSprig* node = FindChildSprig<TKVDefaultSessionSprig>(ARoot, key)) return node;
    return ARoot->Add(std::make_unique<TKVDefaultSessionSprig>(nullptr));
  }
  return FindChildSprig<TKVSessionSprig>(ARoot, key);
}

// ---------------------------------------------------------------------------- TKVSessionSprig

TKVSession* TKVSessionSprig::Session() const { return rtl::As<TKVSession>(Item()); }

bool TKVSessionSprig::AnyProblems() { return Session()->SessionName().empty(); }

String TKVSessionSprig::Name() { return Session()->SessionName(); }

String TKVSessionSprig::Caption() { return CaptionFor(Name(), UniqueName(), Session()->ClassName()); }

// ---------------------------------------------------------------------------- TKVDefaultSessionSprig

String TKVDefaultSessionSprig::UniqueName() { return DefaultSessionNodeName; }

rtl::TClass TKVDefaultSessionSprig::ItemClass() { return TKVSession::StaticClass(); }

String TKVDefaultSessionSprig::Caption() {
  const String className = korv::Session ? korv::Session->ClassName() : TKVSession::StaticClass()->Name;
  return CaptionFor(korv::Session ? korv::Session->SessionName() : String(), className.substr(1), className);
}

// ---------------------------------------------------------------------------- TKVDatabaseSprig

TKVDatabase* TKVDatabaseSprig::Database() const { return rtl::As<TKVDatabase>(Item()); }

bool TKVDatabaseSprig::AnyProblems() { return Database()->DatabaseName().empty(); }

String TKVDatabaseSprig::Name() { return Database()->DatabaseName(); }

String TKVDatabaseSprig::Caption() {
  TKVDatabase* db = Database();
  const String remote = db->RemoteDatabase().empty() ? String("<UnknownDatabase>") : db->RemoteDatabase();
  return CaptionFor(fmt::format("{} | {}", korv::GetServerTypeName(db->ServerType()), remote), UniqueName(),
                    db->ClassName());
}

bool TKVDatabaseSprig::DragOverTo(TSprig* AItem) { return IsNamedSessionOrDefault(AItem); }

bool TKVDatabaseSprig::PaletteOverTo(TSprig* AParent, rtl::TClass) { return IsNamedSessionOrDefault(AParent); }

bool TKVDatabaseSprig::DragDropTo(TSprig* AItem) {
  TKVDatabase* db = Database();
  String target;
  // A drop on the default-session node leaves the SessionName empty; that is a change only
  // when it was not empty before.
  const bool changed = SessionNameOfTarget(AItem, target) && !rtl::SameText(db->SessionName(), target);
  if (changed) db->SetSessionName(target);
  // The data sets under the node take over its session name even when it stayed the same.
  const bool followed = ReparentDataSets(this);
  return changed || followed;
}

void TKVDatabaseSprig::FigureParent() {
  if (TSprig* session = SessionSprigFor(Root(), Database()->SessionName())) session->Add(this);
}

// ---------------------------------------------------------------------------- TKVImpliedDatabaseSprig

TKVImpliedDatabaseSprig::TKVImpliedDatabaseSprig(rtl::TPersistent* AItem) : TComponentSprig(AItem) {}

String TKVImpliedDatabaseSprig::UniqueName() { return ImpliedDatabaseNodeName(FDatabaseName); }

bool TKVImpliedDatabaseSprig::AnyProblems() { return FDatabaseName.empty(); }

rtl::TClass TKVImpliedDatabaseSprig::ItemClass() { return TKVDatabase::StaticClass(); }

String TKVImpliedDatabaseSprig::Caption() { return CaptionFor(FDatabaseName, "Unknown", {}); }

bool TKVImpliedDatabaseSprig::DragOverTo(TSprig* AItem) {
  return dynamic_cast<TKVSessionSprig*>(AItem) || dynamic_cast<TKVDefaultSessionSprig*>(AItem);
}

bool TKVImpliedDatabaseSprig::DragDropTo(TSprig* AItem) {
  String target;
  const bool changed = SessionNameOfTarget(AItem, target) && !rtl::SameText(FSessionName, target);
  if (changed) FSessionName = target;
  const bool followed = ReparentDataSets(this);
  return changed || followed;
}

void TKVImpliedDatabaseSprig::FigureParent() {
  if (TSprig* session = SessionSprigFor(Root(), FSessionName)) session->Add(this);
}

}  // namespace dclkorv
