#include "korv/KVDataSet.h"

#include "korv/KVBoundStatement.h"
#include "korv/KVCommon.h"
#include "korv/KVDatabase.h"
#include "korv/drivers/Registry.h"
#include "korv/KVSession.h"
#include "korv/KVUpdateSQL.h"
#include "rtl/SysUtils.h"

#include <algorithm>
#include <map>

namespace korv {

namespace {

bool IsAsciiName(const String& Name) {
  for (unsigned char c : Name)
    if (c & 0x80) return false;
  return true;
}

unsigned char AsciiFold(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c | 0x20) : c; }

}  // namespace

rtl::TClass TKVDataSet::StaticClass() {
  static rtl::TClass info =
      rtl::ClassBuilder<TKVDataSet>("TKVDataSet")
          .StrProp("DatabaseName", &TKVDataSet::DatabaseName, &TKVDataSet::SetDatabaseName)
          .StrProp("SessionName", &TKVDataSet::SessionName, &TKVDataSet::SetSessionName)
          .RefProp<TKVDataSetUpdateObject>("UpdateObject", &TKVDataSet::UpdateObject, &TKVDataSet::SetUpdateObject)
          .Build();
  return info;
}

TKVDataSet::TKVDataSet(rtl::TComponent* AOwner) : rtl::TDataSet(AOwner) {}

TKVDataSet::~TKVDataSet() {
  SetUpdateObject(nullptr);
  for (TKVDataSet* detail : FDetails) detail->FMaster = nullptr;
  if (FMaster) FMaster->RemoveDetail(this);
  ClearRows();
  ReleaseDatabase();
}

void TKVDataSet::DatabaseError(const String& Message) const {
  throw rtl::EDatabaseError(Name().empty() ? Message : Name() + ": " + Message);
}

void TKVDataSet::SetDatabaseName(const String& Value) {
  if (Value == FDatabaseName) return;
  CloseActive();
  FDatabaseName = Value;
}

void TKVDataSet::SetSessionName(const String& Value) {
  if (Value == FSessionName) return;
  CloseActive();
  FSessionName = Value;
}

void TKVDataSet::SetUpdateObject(TKVDataSetUpdateObject* Value) {
  if (Value == FUpdateObject) return;
  // Cleared before the old object hears of it, so that its answer does not come back here.
  TKVDataSetUpdateObject* old = FUpdateObject;
  FUpdateObject = nullptr;
  if (old) {
    RemoveFreeNotification(old);
    if (old->DataSet() == this) old->SetDataSet(nullptr);
  }
  FUpdateObject = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->SetDataSet(this);
  }
}

void TKVDataSet::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
  rtl::TDataSet::Notification(AComponent, Operation);
  if (Operation == rtl::TOperation::opRemove && AComponent && AComponent == FUpdateObject) FUpdateObject = nullptr;
}

void TKVDataSet::Loaded() {
  try {
    rtl::TDataSet::Loaded();
  } catch (const std::exception& e) {
    if (!Sessions) throw;
    Sessions->HandleLoadError(this, e);
  }
}

TKVSession* TKVDataSet::GetDBSession() const {
  if (!Sessions) throw rtl::EDatabaseError("The session list is gone");
  return Sessions->GetSessionByName(FSessionName);
}

TKVDatabase* TKVDataSet::FindDatabase() const {
  TKVSession* session = Sessions ? Sessions->FindSession(FSessionName) : nullptr;
  if (!session) return nullptr;
  return FDatabaseName.empty() ? session->DefaultDatabase() : session->FindDatabase(FDatabaseName);
}

bool TKVDataSet::IsObjOwnerSupported() {
  TKVDatabase* db = FindDatabase();
  return db && drivers::GetDriver(db->ServerType()).SupportsObjOwner();
}

void TKVDataSet::ParseFieldInfoFromSQL(const String& SQL, rtl::TStrings* FieldInfo, rtl::TStrings* TableInfo,
                                       TKVDatabase* Database) {
  TSQLSelectInfo info = ParseSelectInfo(SQL);
  TKVDatabase* db = Database ? Database : FindDatabase();
  if (db) {
    // Tables in the server's own spelling of what the statement wrote, as its catalogue has them
    // and as the statements made from them must name them.
    for (auto& table : info.Tables) table.TableName = ServerSpelling(db->ServerType(), std::move(table.TableName));
    for (auto& field : info.Fields) field.TableName = ServerSpelling(db->ServerType(), std::move(field.TableName));
  }
  if (TableInfo) {
    TableInfo->BeginUpdate();
    for (const auto& table : info.Tables) TableInfo->Add(table.Name + "=" + table.TableName);
    TableInfo->EndUpdate();
  }
  if (!FieldInfo) return;

  drivers::Connection* connection = db && db->Connected() ? &db->Connection() : nullptr;
  std::map<std::size_t, std::vector<std::string>> columnsOf;  // per table, asked once
  auto expand = [&](const TSQLStarRef& star) {
    if (!connection) return;
    for (std::size_t t : star.Tables) {
      const String& table = info.Tables[t].TableName;
      auto it = columnsOf.find(t);
      if (it == columnsOf.end()) it = columnsOf.emplace(t, connection->ColumnNames(table)).first;
      for (const auto& column : it->second) FieldInfo->Add(column + "=" + table + "." + column);
    }
  };

  FieldInfo->BeginUpdate();
  try {
    std::size_t star = 0;
    for (std::size_t i = 0; i <= info.Fields.size(); ++i) {
      for (; star < info.Stars.size() && info.Stars[star].Position <= i; ++star) expand(info.Stars[star]);
      if (i == info.Fields.size()) break;
      const TSQLFieldRef& field = info.Fields[i];
      if (!field.TableName.empty()) FieldInfo->Add(field.FieldName + "=" + field.Origin());
    }
  } catch (...) {
    FieldInfo->EndUpdate();
    throw;
  }
  FieldInfo->EndUpdate();
}

TKVField* TKVDataSet::Fields(int Index) const {
  if (Index < 0 || Index >= FieldCount()) throw rtl::EListError(fmt::format("Field index out of bounds ({})", Index));
  return FFields[static_cast<std::size_t>(Index)].get();
}

TKVField* TKVDataSet::FindField(const String& FieldName) const {
  // FieldByName runs for every value of every row a loop reads, so ASCII names (nearly all) are
  // compared here without a library call; a name with other characters goes to SameText.
  const bool asciiAsked = IsAsciiName(FieldName);
  auto same = [&](const String& Name) {
    if (Name.size() != FieldName.size()) return !(asciiAsked && IsAsciiName(Name)) && rtl::SameText(Name, FieldName);
    for (std::size_t i = 0; i < Name.size(); ++i) {
      const unsigned char a = static_cast<unsigned char>(Name[i]), b = static_cast<unsigned char>(FieldName[i]);
      if ((a | b) & 0x80) return rtl::SameText(Name, FieldName);
      if (a != b && AsciiFold(a) != AsciiFold(b)) return false;
    }
    return true;
  };
  for (const auto& f : FFields)
    if (same(f->FieldName())) return f.get();
  return nullptr;
}

TKVField* TKVDataSet::FieldByName(const String& FieldName) const {
  if (TKVField* f = FindField(FieldName)) return f;
  DatabaseError(fmt::format("Field '{}' not found", FieldName));
}

void TKVDataSet::CreateFields() {
  FFields.clear();
  for (int i = 0; i < FieldDefs()->Count(); ++i)
    FFields.push_back(std::make_unique<TKVField>(*FieldDefs()->Items(i), this, i));
}

void TKVDataSet::InternalOpen() {
  TKVSession* session = GetDBSession();
  TKVDatabase* db = FDatabaseName.empty() ? session->DefaultDatabase() : session->FindDatabase(FDatabaseName);
  if (!db) DatabaseError(fmt::format("Database '{}' not found in session '{}'", FDatabaseName, session->SessionName()));
  if (!db->Connected()) {
    db->Open();
    db->FConnectedForDataSets = true;
  }
  FDatabase = db;
  db->FDataSets.push_back(this);
  try {
    OpenCursor(db->Connection());
    CreateFields();
  } catch (...) {
    FFields.clear();
    ClearRows();
    ReleaseDatabase();
    throw;
  }
  FState = rtl::TDataSetState::dsBrowse;
}

void TKVDataSet::InternalClose() {
  FState = rtl::TDataSetState::dsInactive;
  CloseCursor();
  ClearRows();
  FFields.clear();
  ReleaseDatabase();
}

void TKVDataSet::DetachDatabase() {
  if (FDatabase) {
    auto& list = FDatabase->FDataSets;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  FDatabase = nullptr;
}

void TKVDataSet::ReleaseDatabase() {
  TKVDatabase* db = FDatabase;
  DetachDatabase();
  if (db && db->FConnectedForDataSets && !db->KeepConnection() && db->DataSetCount() == 0 && !db->InTransaction())
    db->Close();
}

}  // namespace korv
