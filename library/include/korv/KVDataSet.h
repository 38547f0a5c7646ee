// TKVDataSet: the base of the library's data sets. A data set names its database by
// DatabaseName inside the session its SessionName names; opening it connects that database.
//
// Changing DatabaseName or SessionName of an open data set closes it first.
//
// Reading rows, for a program or a preview grid:
//
//   ds->Open();
//   for (ds->First(); !ds->Eof(); ds->Next())
//     use(ds->FieldByName("NAME")->AsString(), ds->FieldByName("ID")->IsNull());
//   ds->Close();
//
// An open data set stands on its first row (Eof and Bof both true when it has none). Next past
// the last row sets Eof and stays on the last; Prior before the first sets Bof. Rows are fetched
// from the server as the data set moves forward, never all at once: it keeps the last
// WindowRows() rows it read, so Prior and First within them cost nothing; moving back further
// runs the statement again and reads forward to the row wanted (the rows of a changed table may
// then differ). RecordCount asks the server to count when the rows are not all read yet.
//
// Editing (a data set with an update object): Edit or Insert/Append, set fields (AsString ...),
// then Post or Cancel; Delete removes the current row. Post and Delete run the update object's
// modify, insert or delete statement with each ":NAME" parameter bound to field NAME's new value
// and ":OLD_NAME" to the value read, inside a transaction (a savepoint when the database is in
// one already). A statement that changes no row, or more than one, is an error naming it and
// is rolled back; the edited values stay for another Post or a Cancel.
#pragma once

#include "korv/KVResultSet.h"
#include "korv/drivers/Driver.h"
#include "rtl/DB.h"
#include "rtl/Strings.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace korv {

class TKVSession;
class TKVDatabase;
class TKVDataSetUpdateObject;
class TKVBoundStatement;

class TKVDataSet : public rtl::TDataSet, public TKVRowSource {
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
  // written, in the server's spelling (ServerSpelling: on PostgreSQL "from Orders" gives
  // orders) when the data set leads to a database. FieldInfo gets one line per select-list column that comes straight
  // from a table column: NAME the field name delivered, VALUE the table as in TableInfo + "." + the column.
  // "*" and "alias.*" expand to their tables' columns when the database is connected (Database,
  // or when nil the data set's own), and to nothing otherwise. Lines are appended.
  void ParseFieldInfoFromSQL(const String& SQL, rtl::TStrings* FieldInfo, rtl::TStrings* TableInfo,
                             TKVDatabase* Database = nullptr);

  // Fields of the open data set, made from its field definitions.
  int FieldCount() const { return static_cast<int>(FFields.size()); }
  TKVField* Fields(int Index) const;
  TKVField* FindField(const String& FieldName) const;    // letter case ignored; nil when absent
  TKVField* FieldByName(const String& FieldName) const;  // raises EDatabaseError naming it

  // ---- rows
  rtl::TDataSetState State() const { return FState; }
  void First();
  void Next();
  void Prior();
  void Last();
  bool Eof() const { return FEof; }
  bool Bof() const { return FBof; }
  bool IsEmpty() const { return FWindow.empty() && FState != rtl::TDataSetState::dsInsert; }
  // The rows of the open data set (0 when closed); may ask the server, never moves the data set.
  int RecordCount();
  // The current row, from 1; 0 when there is none.
  int RecNo() const;
  // How many of the rows read are kept for moving back (at least 2; 1024 unless set).
  int WindowRows() const { return FWindowRows; }
  void SetWindowRows(int Value) { FWindowRows = Value < 2 ? 2 : Value; }

  // ---- editing
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  // Runs the update object's modify statement for the current row, its values unchanged, in a
  // transaction (or savepoint) that is then rolled back: the rows it would change.
  std::int64_t TryModify();

  // Details register with their master while they are open, to hear that it moved.
  void AddDetail(TKVDataSet* Detail);
  void RemoveDetail(TKVDataSet* Detail);

  const TKVValue* FieldValue(int Index) const override;
  void SetFieldValue(int Index, TKVValue Value) override;

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
  // Called by OpenCursor: runs Statement with Values and reads its first row; FieldDefs are made
  // from its result columns (a repeated name gets "_1", "_2" ... appended). A statement that
  // returns no rows is refused before it runs.
  void OpenRows(std::unique_ptr<TKVBoundStatement> Statement, std::vector<drivers::ParamValue> Values);
  // Runs the open data set's statement again with new parameter values, standing on its first
  // row; fields stay as they are.
  void Requery(std::vector<drivers::ParamValue> Values);
  // The value of a parameter for the update statements that no field answers; nil when none.
  virtual const rtl::TParam* FindUpdateParam(const String& /*Name*/) const { return nullptr; }
  // A master data set moved to another row: a detail reads its rows again.
  virtual void MasterChanged() {}
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
  void CheckActive() const;
  void CheckBrowse(const char* What) const;
  bool FetchRow();                    // appends the cursor's next row to the window; false at its end
  void Reposition(std::int64_t Row);  // runs the statement again and stands on Row
  void MovedRow();                    // tells the details
  void ClearRows();
  void ApplyUpdate(int Kind, const TKVRow& NewValues, const TKVRow& OldValues);
  String UpdateStatementName(int Kind) const;
  std::unique_ptr<TKVBoundStatement> PrepareUpdate(int Kind);
  std::vector<drivers::ParamValue> UpdateValues(int Kind, const TKVBoundStatement& Statement, const TKVRow& NewValues,
                                                const TKVRow& OldValues) const;
  const TKVRow* CurrentRow() const;
  // Leaves the database; disconnects it when opening data sets connected it and nothing else
  // keeps it (KeepConnection off, no other open data set).
  void ReleaseDatabase();
  void DetachDatabase();

  String FDatabaseName;
  String FSessionName;
  TKVDataSetUpdateObject* FUpdateObject = nullptr;
  TKVDatabase* FDatabase = nullptr;
  std::vector<std::unique_ptr<TKVField>> FFields;

  std::unique_ptr<TKVBoundStatement> FStatement;
  std::vector<drivers::ParamValue> FValues;
  std::unique_ptr<drivers::Cursor> FCursor;  // declared after FStatement: goes first
  // The rows read last, in a deque made at the first row: an empty std::deque takes some 600
  // bytes (its map and a first block), and a module holds thousands of data sets that read none.
  class TRowWindow {
  public:
    bool empty() const { return !FRows || FRows->empty(); }
    std::size_t size() const { return FRows ? FRows->size() : 0; }
    void clear() { FRows.reset(); }
    TKVRow& front() { return FRows->front(); }
    void pop_front() { FRows->pop_front(); }
    void push_back(TKVRow Row) { Rows().push_back(std::move(Row)); }
    TKVRow& operator[](std::size_t Index) { return (*FRows)[Index]; }
    const TKVRow& operator[](std::size_t Index) const { return (*FRows)[Index]; }
    void insert(std::size_t At, const TKVRow& Row) {
      Rows().insert(Rows().begin() + static_cast<std::ptrdiff_t>(At), Row);
    }
    void erase(std::size_t At) { FRows->erase(FRows->begin() + static_cast<std::ptrdiff_t>(At)); }

  private:
    std::deque<TKVRow>& Rows() {
      if (!FRows) FRows = std::make_unique<std::deque<TKVRow>>();
      return *FRows;
    }
    std::unique_ptr<std::deque<TKVRow>> FRows;
  };
  TRowWindow FWindow;  // rows FWindowStart ... read last
  std::int64_t FWindowStart = 0;
  std::int64_t FRow = 0;    // the current row, from 0
  bool FExhausted = false;  // the cursor gave its last row
  bool FEof = true;
  bool FBof = true;
  int FWindowRows = 1024;
  rtl::TDataSetState FState = rtl::TDataSetState::dsInactive;
  TKVRow FEditRow;
  TKVRow FOldRow;
  bool FAppending = false;  // the row being inserted goes after the last
  std::vector<TKVDataSet*> FDetails;
  TKVDataSet* FMaster = nullptr;
};

}  // namespace korv
