// Property editors of data-access properties: index names, index field names and the
// master/detail field link.
//
// They reach a data set's index definitions through its published "IndexDefs" property, its
// current index through "IndexName" and "IndexFieldNames", its link through "MasterFields" and
// its master through "MasterSource" (a TDataSource), so they serve any data set that publishes
// those names.
#pragma once

#include "designintf/PropertyEditors.h"
#include "rtl/DB.h"

namespace designintf {

// A string property whose drop-down comes from GetValueList.
class TDBStringProperty : public TStringProperty {
  DESIGN_CLASS(TDBStringProperty, TStringProperty)
  using TStringProperty::TStringProperty;
  TPropertyAttributes GetAttributes() override;  // paValueList, paSortList, paMultiSelect
  void GetValues(const TGetStrProc& Proc) override;
  virtual void GetValueList(rtl::TStrings* /*List*/) {}
};

// IndexName of a data set: the names of its index definitions.
class TIndexNameProperty : public TDBStringProperty {
  DESIGN_CLASS(TIndexNameProperty, TDBStringProperty)
  using TDBStringProperty::TDBStringProperty;
  void GetValueList(rtl::TStrings* List) override;
};

// IndexFieldNames of a data set: the field lists of its index definitions.
class TIndexFieldNamesProperty : public TDBStringProperty {
  DESIGN_CLASS(TIndexFieldNamesProperty, TDBStringProperty)
  using TDBStringProperty::TDBStringProperty;
  void GetValueList(rtl::TStrings* List) override;
};

// The data set's published IndexDefs, nil when it has none.
rtl::TIndexDefs* GetDataSetIndexDefs(rtl::TComponent* DataSet);

// MasterFields of a detail data set, edited in the host's field-link designer. The designer
// reads and writes the link through the virtual operations below; by default they act on the
// edited data set itself, a descendant may redirect them (to a temporary copy, say).
class TFieldLinkProperty : public TStringProperty {
  DESIGN_CLASS(TFieldLinkProperty, TStringProperty)
  TFieldLinkProperty(IDesigner* ADesigner, int APropCount) : TStringProperty(ADesigner, APropCount) {}

  TPropertyAttributes GetAttributes() override;  // paDialog, paRevertable
  // Runs the link designer modally; when the developer accepts, sets Changed and tells the
  // designer.
  void Edit() override;

  // The edited data set (the first selected component).
  rtl::TDataSet* GetDataSet();
  // Its master data set (MasterSource.DataSet), nil when not linked.
  rtl::TDataSet* GetMasterDataSet();
  bool Changed() const { return FChanged; }

  // The fields of the current index, in index order.
  virtual void GetFieldNamesForIndex(rtl::TStrings* List);
  // True when the link must follow an index (the back end is not SQL-based).
  virtual bool GetIndexBased();
  virtual rtl::TIndexDefs* GetIndexDefs();
  virtual String GetIndexFieldNames();
  virtual String GetIndexName();
  virtual String GetMasterFields();
  virtual void SetIndexFieldNames(const String& Value);
  virtual void SetIndexName(const String& Value);
  virtual void SetMasterFields(const String& Value);
  // The master's field names (its field definitions).
  virtual void GetMasterFieldNames(rtl::TStrings* List);

  bool IndexBased() { return GetIndexBased(); }
  rtl::TIndexDefs* IndexDefs() { return GetIndexDefs(); }
  String IndexFieldNames() { return GetIndexFieldNames(); }
  String IndexName() { return GetIndexName(); }
  String MasterFields() { return GetMasterFields(); }

protected:
  void SetChanged(bool Value) { FChanged = Value; }

private:
  String GetDataSetStr(const String& PropName);
  void SetDataSetStr(const String& PropName, const String& Value);

  bool FChanged = false;
};

}  // namespace designintf
