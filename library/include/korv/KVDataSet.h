// TKVDataSet: the base of the library's data sets. A data set names its database by
// DatabaseName inside the session its SessionName names; opening it connects that database.
//
// Changing DatabaseName or SessionName of an open data set closes it first.
#pragma once

#include "korv/KVResultSet.h"
#include "korv/drivers/Driver.h"
#include "rtl/DB.h"
#include "rtl/Strings.h"

#include <memory>
#include <vector>

namespace korv {

class TKVSession;
class TKVDatabase;
class TKVDataSetUpdateObject;

class TKVDataSet : public rtl::TDataSet {
  RTL_CLASS(TKVDataSet, rtl::TDataSet)
  explicit TKVDataSet(rtl::TComponent* AOwner);
  ~TKVDataSet() override;

  const String& DatabaseName() const { return FDatabaseName; }
  void SetDatabaseName(const String& Value);
  const String& SessionName() const { return FSessionName; }
  void SetSessionName(const String& Value);
  // The update object whose DataSet is this data set; the link is kept in step from both sides.
  TKVDataSetUpdateObject* UpdateObject() const { return FUpdateObject; }
  void SetUpdateObject(TKVDataSetUpdateObject* Value);

  // The session SessionName names (the default session when empty); an unknown name raises
  // EDatabaseError naming it.
  TKVSession* GetDBSession() const;
  // The database the data set's names lead to: DatabaseName in its session, or with an empty
  // DatabaseName the session's database marked ddoDefaultDatabase; nil when there is none.
  TKVDatabase* FindDatabase() const;
  // The database the data set is open on; nil while closed.
  TKVDatabase* Database() const { return FDatabase; }

  // Whether its database's server takes owner-qualified names (owner.table); false when the
  // data set leads to no database. Connects the database for the call when needed.
  bool IsObjOwnerSupported();

  // Reads a SELECT statement without running it. TableInfo gets one NAME=VALUE line per table
  // of the FROM clause: NAME the alias (the table name when there is none), VALUE the table as
  // written. FieldInfo gets one line per select-list column that comes straight from a table
  // column: NAME the field name delivered, VALUE the table as in TableInfo + "." + the column.
  // "*" and "alias.*" expand to their tables' columns when the database is connected (Database,
  // or when nil the data set's own), and to nothing otherwise. Lines are appended.
  void ParseFieldInfoFromSQL(const String& SQL, rtl::TStrings* FieldInfo, rtl::TStrings* TableInfo,
                             TKVDatabase* Database = nullptr);

  // Fields of the open data set, made from its field definitions.
  int FieldCount() const { return static_cast<int>(FFields.size()); }
  TKVField* Fields(int Index) const;
  TKVField* FindField(const String& FieldName) const;   // letter case ignored; nil when absent
  TKVField* FieldByName(const String& FieldName) const; // raises EDatabaseError naming it

  bool PSIsSQLBased() override { return true; }

  void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
  // A stored Active that cannot be applied while the module loads in the designer is reported
  // through Sessions' load-error handler instead of failing the load.
  void Loaded() override;

protected:
  // Opening: the database is found and connected, the data set recorded as open on it, then
  // OpenCursor reads what the descendant needs and the fields are made from FieldDefs. When
  // anything fails the database is left again as it was.
  void InternalOpen() final;
  void InternalClose() final;
  virtual void OpenCursor(drivers::Connection& /*Connection*/) {}
  virtual void CloseCursor() {}
  // Closes the data set when it is open. Setters use it rather than Close, which while a form
  // file is read would forget an Active read before them.
  void CloseActive() {
    if (Active()) Close();
  }
  // Raises EDatabaseError with the data set's name in front of Message.
  [[noreturn]] void DatabaseError(const String& Message) const;

private:
  friend class TKVDatabase;
  void CreateFields();
  // Leaves the database; disconnects it when opening data sets connected it and nothing else
  // keeps it (KeepConnection off, no other open data set).
  void ReleaseDatabase();
  void DetachDatabase();

  String FDatabaseName;
  String FSessionName;
  TKVDataSetUpdateObject* FUpdateObject = nullptr;
  TKVDatabase* FDatabase = nullptr;
  std::vector<std::unique_ptr<TKVField>> FFields;
};

} // namespace korv
