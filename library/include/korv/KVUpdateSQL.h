// Update objects: the statements that write a data set's changes back. A data set names its
// update object by UpdateObject; the update object's DataSet is that data set. Setting either
// side sets the other, and destroying either clears both.
#pragma once

#include "rtl/Component.h"
#include "rtl/Strings.h"

#include <array>

namespace korv {

using rtl::String;

class TKVDataSet;

class TKVDataSetUpdateObject : public rtl::TComponent {
  RTL_CLASS(TKVDataSetUpdateObject, rtl::TComponent)
  explicit TKVDataSetUpdateObject(rtl::TComponent* AOwner);
  ~TKVDataSetUpdateObject() override;

  TKVDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TKVDataSet* Value);

  // The statement list of a kind: 0 refresh, 1 modify, 2 insert, 3 delete.
  virtual rtl::TStrings* GetSQLIndex(int Index) const = 0;

  void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

private:
  TKVDataSet* FDataSet = nullptr;
};

class TKVUpdateSQL : public TKVDataSetUpdateObject {
  RTL_CLASS(TKVUpdateSQL, TKVDataSetUpdateObject)
  explicit TKVUpdateSQL(rtl::TComponent* AOwner);
  ~TKVUpdateSQL() override;

  rtl::TStrings* RefreshSQL() const { return &FSQL[0]; }
  void SetRefreshSQL(rtl::TStrings* Value) { FSQL[0].Assign(Value); }
  rtl::TStrings* ModifySQL() const { return &FSQL[1]; }
  void SetModifySQL(rtl::TStrings* Value) { FSQL[1].Assign(Value); }
  rtl::TStrings* InsertSQL() const { return &FSQL[2]; }
  void SetInsertSQL(rtl::TStrings* Value) { FSQL[2].Assign(Value); }
  rtl::TStrings* DeleteSQL() const { return &FSQL[3]; }
  void SetDeleteSQL(rtl::TStrings* Value) { FSQL[3].Assign(Value); }

  // Raises EListError for an index outside 0..3.
  rtl::TStrings* GetSQLIndex(int Index) const override;

private:
  // Held in the object, not each on the heap: one allocation instead of five, and the lists
  // sit beside the rest of the object when a walk over a module's components reads them.
  // Mutable because the const accessors hand them out for editing.
  mutable std::array<rtl::TStringList, 4> FSQL;
};

}  // namespace korv
