// Small component classes for the design-time tests: a session, a database that names its
// session, data sets that name their database (and a query with SQL text), and a component with
// events. Their class records are defined here, once per test program.
#pragma once

#include "rtl/Collection.h"
#include "rtl/DB.h"
#include "rtl/Strings.h"

#include <memory>

namespace designtest {

using namespace rtl;

enum class TDbKind { dkLocal, dkRemote, dkCloud };
enum class TDbOption { doPooled, doTraced };
using TDbOptions = TSet<TDbOption>;

inline const TTypeInfo* DbKindType() {
  static const TTypeInfo* t = DefineEnumType("TDbKind", {"dkLocal", "dkRemote", "dkCloud"});
  return t;
}
inline const TTypeInfo* DbOptionsType() {
  static const TTypeInfo* t = DefineSetType("TDbOptions", DefineEnumType("TDbOption", {"doPooled", "doTraced"}));
  return t;
}
inline const TTypeInfo* NotifyType() {
  static const TTypeInfo* t = DefineMethodType("TNotifyEvent");
  return t;
}

class TTestSession : public TComponent {
  RTL_CLASS(TTestSession, TComponent)
  explicit TTestSession(TComponent* AOwner) : TComponent(AOwner) {}
  const String& SessionName() const { return FSessionName; }
  void SetSessionName(const String& v) { FSessionName = v; }

private:
  String FSessionName;
};

class TTestDatabase : public TComponent {
  RTL_CLASS(TTestDatabase, TComponent)
  explicit TTestDatabase(TComponent* AOwner) : TComponent(AOwner), FParams(std::make_unique<TStringList>()) {}
  const String& DatabaseName() const { return FDatabaseName; }
  void SetDatabaseName(const String& v) { FDatabaseName = v; }
  const String& SessionName() const { return FSessionName; }
  void SetSessionName(const String& v) { FSessionName = v; }
  bool Connected() const { return FConnected; }
  void SetConnected(bool v) { FConnected = v; }
  TDbKind Kind() const { return FKind; }
  void SetKind(TDbKind v) { FKind = v; }
  TDbOptions Options() const { return FOptions; }
  void SetOptions(TDbOptions v) { FOptions = v; }
  int Timeout() const { return FTimeout; }
  void SetTimeout(int v) { FTimeout = v; }
  const String& Version() const { return FVersion; }
  TStrings* Params() const { return FParams.get(); }
  void SetParams(TStrings* v) { FParams->Assign(v); }

  String FVersion = "1.0";  // read-only property

private:
  String FDatabaseName, FSessionName;
  bool FConnected = false;
  TDbKind FKind = TDbKind::dkLocal;
  TDbOptions FOptions;
  int FTimeout = 30;
  std::unique_ptr<TStringList> FParams;
};

// A data set that names its database and may be linked to a master.
class TTestDataSet : public TDataSet {
  RTL_CLASS(TTestDataSet, TDataSet)
  explicit TTestDataSet(TComponent* AOwner)
      : TDataSet(AOwner), FIndexDefs(std::make_unique<TIndexDefs>(this)), FParams(std::make_unique<TParams>(this)) {}
  ~TTestDataSet() override {
    SetMasterSource(nullptr);
    SetDatabase(nullptr);
  }

  const String& DatabaseName() const { return FDatabaseName; }
  void SetDatabaseName(const String& v) { FDatabaseName = v; }
  TTestDatabase* Database() const { return FDatabase; }
  void SetDatabase(TTestDatabase* v) {
    if (FDatabase) FDatabase->RemoveFreeNotification(this);
    FDatabase = v;
    if (v) v->FreeNotification(this);
  }
  TDataSource* MasterSource() const { return FMasterSource; }
  void SetMasterSource(TDataSource* v) {
    if (FMasterSource) FMasterSource->RemoveFreeNotification(this);
    FMasterSource = v;
    if (v) v->FreeNotification(this);
  }
  const String& IndexName() const { return FIndexName; }
  void SetIndexName(const String& v) { FIndexName = v; }
  const String& IndexFieldNames() const { return FIndexFieldNames; }
  void SetIndexFieldNames(const String& v) { FIndexFieldNames = v; }
  const String& MasterFields() const { return FMasterFields; }
  void SetMasterFields(const String& v) { FMasterFields = v; }
  TIndexDefs* IndexDefs() const { return FIndexDefs.get(); }
  void SetIndexDefs(TIndexDefs* v) { FIndexDefs->Assign(v); }
  TParams* Params() const { return FParams.get(); }
  void SetParams(TParams* v) { FParams->Assign(v); }
  bool PSIsSQLBased() override { return SQLBased; }

  void Notification(TComponent* AComponent, TOperation Operation) override {
    TDataSet::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove) {
      if (AComponent == FMasterSource) FMasterSource = nullptr;
      if (AComponent == FDatabase) FDatabase = nullptr;
    }
  }

  bool SQLBased = true;
  TNotifyEvent OnChange;

private:
  String FDatabaseName, FIndexName, FIndexFieldNames, FMasterFields;
  TTestDatabase* FDatabase = nullptr;
  TDataSource* FMasterSource = nullptr;
  std::unique_ptr<TIndexDefs> FIndexDefs;
  std::unique_ptr<TParams> FParams;
};

class TTestQuery : public TTestDataSet {
  RTL_CLASS(TTestQuery, TTestDataSet)
  explicit TTestQuery(TComponent* AOwner) : TTestDataSet(AOwner), FSQL(std::make_unique<TStringList>()) {}
  TStrings* SQL() const { return FSQL.get(); }
  void SetSQL(TStrings* v) { FSQL->Assign(v); }

private:
  std::unique_ptr<TStringList> FSQL;
};

class TTestButton : public TComponent {
  RTL_CLASS(TTestButton, TComponent)
  explicit TTestButton(TComponent* AOwner) : TComponent(AOwner) {}
  TNotifyEvent OnEnter, OnClick, OnCreate;
};

inline TClass TTestSession::StaticClass() {
  static TClass info = ClassBuilder<TTestSession>("TTestSession")
                           .StrProp("SessionName", &TTestSession::SessionName, &TTestSession::SetSessionName)
                           .Build();
  return info;
}

inline TClass TTestDatabase::StaticClass() {
  static TClass info =
      ClassBuilder<TTestDatabase>("TTestDatabase")
          .BoolProp("Connected", &TTestDatabase::Connected, &TTestDatabase::SetConnected)
          .StrProp("DatabaseName", &TTestDatabase::DatabaseName, &TTestDatabase::SetDatabaseName)
          .EnumProp("Kind", DbKindType(), &TTestDatabase::Kind, &TTestDatabase::SetKind, TDbKind::dkLocal)
          .SetProp("Options", DbOptionsType(), &TTestDatabase::Options, &TTestDatabase::SetOptions)
          .ObjProp<TStrings>("Params", &TTestDatabase::Params, &TTestDatabase::SetParams)
          .StrProp("SessionName", &TTestDatabase::SessionName, &TTestDatabase::SetSessionName)
          .IntProp("Timeout", &TTestDatabase::Timeout, &TTestDatabase::SetTimeout, 30)
          .StrProp("Version", &TTestDatabase::Version, nullptr)
          .Build();
  return info;
}

inline TClass TTestDataSet::StaticClass() {
  static TClass info =
      ClassBuilder<TTestDataSet>("TTestDataSet")
          .RefProp<TTestDatabase>("Database", &TTestDataSet::Database, &TTestDataSet::SetDatabase)
          .StrProp("DatabaseName", &TTestDataSet::DatabaseName, &TTestDataSet::SetDatabaseName)
          .ObjProp<TIndexDefs>("IndexDefs", &TTestDataSet::IndexDefs, &TTestDataSet::SetIndexDefs)
          .StrProp("IndexFieldNames", &TTestDataSet::IndexFieldNames, &TTestDataSet::SetIndexFieldNames)
          .StrProp("IndexName", &TTestDataSet::IndexName, &TTestDataSet::SetIndexName)
          .StrProp("MasterFields", &TTestDataSet::MasterFields, &TTestDataSet::SetMasterFields)
          .RefProp<TDataSource>("MasterSource", &TTestDataSet::MasterSource, &TTestDataSet::SetMasterSource)
          .ObjProp<TParams>("Params", &TTestDataSet::Params, &TTestDataSet::SetParams)
          .Event("OnChange", NotifyType(), &TTestDataSet::OnChange)
          .Build();
  return info;
}

inline TClass TTestQuery::StaticClass() {
  static TClass info =
      ClassBuilder<TTestQuery>("TTestQuery").ObjProp<TStrings>("SQL", &TTestQuery::SQL, &TTestQuery::SetSQL).Build();
  return info;
}

inline TClass TTestButton::StaticClass() {
  static TClass info = ClassBuilder<TTestButton>("TTestButton")
                           .Event("OnEnter", NotifyType(), &TTestButton::OnEnter)
                           .Event("OnClick", NotifyType(), &TTestButton::OnClick)
                           .Event("OnCreate", NotifyType(), &TTestButton::OnCreate)
                           .Build();
  return info;
}

// Makes the classes known by name (form files name them).
inline void RegisterTestClasses() {
  for (TClass c : {TTestSession::StaticClass(), TTestDatabase::StaticClass(), TTestDataSet::StaticClass(),
                   TTestQuery::StaticClass(), TTestButton::StaticClass(), TDataSource::StaticClass()})
    RegisterClass(c);
}

}  // namespace designtest
