#include "korv/KVUpdateSQL.h"

#include "korv/KVDataSet.h"

#include <fmt/format.h>

namespace korv {

rtl::TClass TKVDataSetUpdateObject::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVDataSetUpdateObject>("TKVDataSetUpdateObject").Build();
  return info;
}

TKVDataSetUpdateObject::TKVDataSetUpdateObject(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) {}

TKVDataSetUpdateObject::~TKVDataSetUpdateObject() { SetDataSet(nullptr); }

void TKVDataSetUpdateObject::SetDataSet(TKVDataSet* Value) {
  if (Value == FDataSet) return;
  // Cleared before the old data set hears of it, so that its answer does not come back here.
  TKVDataSet* old = FDataSet;
  FDataSet = nullptr;
  if (old) {
    RemoveFreeNotification(old);
    if (old->UpdateObject() == this) old->SetUpdateObject(nullptr);
  }
  FDataSet = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->SetUpdateObject(this);
  }
}

void TKVDataSetUpdateObject::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
  rtl::TComponent::Notification(AComponent, Operation);
  if (Operation == rtl::TOperation::opRemove && AComponent && AComponent == FDataSet) FDataSet = nullptr;
}

rtl::TClass TKVUpdateSQL::StaticClass() {
  static rtl::TClass info =
      rtl::ClassBuilder<TKVUpdateSQL>("TKVUpdateSQL")
          .ObjProp<rtl::TStrings>("RefreshSQL", &TKVUpdateSQL::RefreshSQL, &TKVUpdateSQL::SetRefreshSQL)
          .ObjProp<rtl::TStrings>("ModifySQL", &TKVUpdateSQL::ModifySQL, &TKVUpdateSQL::SetModifySQL)
          .ObjProp<rtl::TStrings>("InsertSQL", &TKVUpdateSQL::InsertSQL, &TKVUpdateSQL::SetInsertSQL)
          .ObjProp<rtl::TStrings>("DeleteSQL", &TKVUpdateSQL::DeleteSQL, &TKVUpdateSQL::SetDeleteSQL)
          .Build();
  return info;
}

TKVUpdateSQL::TKVUpdateSQL(rtl::TComponent* AOwner) : TKVDataSetUpdateObject(AOwner) {}

TKVUpdateSQL::~TKVUpdateSQL() = default;

rtl::TStrings* TKVUpdateSQL::GetSQLIndex(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(FSQL.size()))
    throw rtl::EListError(fmt::format("Statement index out of bounds ({})", Index));
  return &FSQL[static_cast<std::size_t>(Index)];
}

}  // namespace korv
