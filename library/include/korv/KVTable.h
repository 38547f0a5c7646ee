// TKVTable: one table of the database, its field and index definitions read from the catalogue.
#pragma once

#include "korv/KVDataSet.h"

namespace korv {

class TKVTable : public TKVDataSet {
  RTL_CLASS(TKVTable, TKVDataSet)
  explicit TKVTable(rtl::TComponent* AOwner);
  ~TKVTable() override;

  // Changing the table closes an open table.
  const String& TableName() const { return FTableName; }
  void SetTableName(const String& Value);
  // The index the table is ordered by; empty: the primary key.
  const String& IndexName() const { return FIndexName; }
  void SetIndexName(const String& Value) { FIndexName = Value; }
  // Fields to order by, separated by ";"; when set they win over IndexName.
  const String& IndexFieldNames() const { return FIndexFieldNames; }
  void SetIndexFieldNames(const String& Value) { FIndexFieldNames = Value; }
  // Fields of MasterSource's data set this table's index fields follow, separated by ";".
  const String& MasterFields() const { return FMasterFields; }
  void SetMasterFields(const String& Value) { FMasterFields = Value; }
  rtl::TDataSource* MasterSource() const { return FMasterSource; }
  void SetMasterSource(rtl::TDataSource* Value);

  // Read from the catalogue at Open: the primary key (ixPrimary, ixUnique), unique indexes
  // (ixUnique) and the others, fields joined by ";".
  rtl::TIndexDefs* IndexDefs() const override { return FIndexDefs.get(); }
  // The table's indexes as its database describes them, connecting for the while when it must;
  // nothing without a table name or a database.
  void UpdateIndexDefs() override;

  // The fields of the current index: IndexFieldNames, else IndexName's, else the primary key's.
  int GetIndexFieldCount() const;
  // The i-th of them, a field of the open table; raises EDatabaseError when it has no such field.
  TKVField* GetIndexField(int Index) const;

  void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

protected:
  // Reads the table's rows ordered by the current index's fields; a detail (MasterSource and
  // MasterFields set) only the rows whose first index fields equal the master row's MasterFields,
  // read again as the master moves. Raises EDatabaseError naming the table when the database
  // has no table of that name, or naming a field or index that it does not have.
  void OpenCursor(drivers::Connection& Connection) override;
  void MasterChanged() override;

private:
  std::vector<String> IndexFields() const;
  void ReadIndexDefs(drivers::Connection& Connection);
  std::vector<drivers::ParamValue> MasterValues() const;

  String FTableName;
  String FIndexName;
  String FIndexFieldNames;
  String FMasterFields;
  rtl::TDataSource* FMasterSource = nullptr;
  std::unique_ptr<rtl::TIndexDefs> FIndexDefs;
};

}  // namespace korv
