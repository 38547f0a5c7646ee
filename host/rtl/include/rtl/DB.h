// The run-time data-access types that data-set components build on: parameters, field and index
// definitions, the data-set base and the data source.
#pragma once

#include "rtl/Collection.h"

namespace rtl {

// clang-format off
enum class TFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
  ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
  ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
  ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
  ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd, ftFixedWideChar, ftWideMemo,
  ftOraTimeStamp, ftOraInterval, ftLongWord, ftShortint, ftByte, ftExtended, ftConnection, ftParams,
  ftStream, ftTimeStampOffset, ftObject, ftSingle
};
// clang-format on
const TTypeInfo* TypeInfo_TFieldType();

// What a data set is doing: closed, showing rows, or holding an edited or new row to post.
enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

enum class TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };
const TTypeInfo* TypeInfo_TParamType();

class TParam : public TCollectionItem {
  RTL_CLASS(TParam, TCollectionItem)
  explicit TParam(TCollection* Collection) : TCollectionItem(Collection) {}

  String Name() const { return FName; }
  void SetName(const String& Value);
  TFieldType DataType() const { return FDataType; }
  void SetDataType(TFieldType Value) {
    FDataType = Value;
    Changed(false);
  }
  TParamType ParamType() const { return FParamType; }
  void SetParamType(TParamType Value) {
    FParamType = Value;
    Changed(false);
  }
  // The value as text; a null value is an empty text with IsNull true.
  String Value() const { return FValue; }
  void SetValue(const String& Value);
  bool IsNull() const { return FIsNull; }
  void Clear();

  String DisplayName() const override;
  void Assign(TPersistent* Source) override;

private:
  String FName;
  TFieldType FDataType = TFieldType::ftUnknown;
  TParamType FParamType = TParamType::ptUnknown;
  String FValue;
  bool FIsNull = true;
};

class TParams : public TCollection {
  RTL_CLASS(TParams, TCollection)
  explicit TParams(TPersistent* AOwner = nullptr) : TCollection(TParam::StaticClass()), FOwner(AOwner) {}

  TParam* Items(int Index) const { return static_cast<TParam*>(TCollection::Items(Index)); }
  TParam* FindParam(const String& Value) const;    // letter case ignored; nil when absent
  TParam* ParamByName(const String& Value) const;  // raises EDatabaseError naming it
  TParam* CreateParam(TFieldType FldType, const String& ParamName, TParamType ParamType);
  TPersistent* GetOwner() const override { return FOwner; }
  // Assigns by name: values of parameters that exist in both are kept (used when SQL changes).
  void AssignValues(const TParams* Value);

private:
  TPersistent* FOwner;
};

class TFieldDef : public TCollectionItem {
  RTL_CLASS(TFieldDef, TCollectionItem)
  explicit TFieldDef(TCollection* Collection) : TCollectionItem(Collection) {}

  String Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  TFieldType DataType() const { return FDataType; }
  void SetDataType(TFieldType Value) { FDataType = Value; }
  // Characters of a string, bytes of fixed binary data, digits after the point of a decimal.
  int Size() const { return FSize; }
  void SetSize(int Value) { FSize = Value; }
  // Total digits of a decimal; 0 for other types.
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value) { FPrecision = Value; }
  bool Required() const { return FRequired; }
  void SetRequired(bool Value) { FRequired = Value; }
  String DisplayName() const override { return FName; }
  void Assign(TPersistent* Source) override;

private:
  String FName;
  TFieldType FDataType = TFieldType::ftUnknown;
  int FSize = 0;
  int FPrecision = 0;
  bool FRequired = false;
};

class TFieldDefs : public TOwnedCollection {
  RTL_CLASS(TFieldDefs, TOwnedCollection)
  explicit TFieldDefs(TPersistent* AOwner) : TOwnedCollection(AOwner, TFieldDef::StaticClass()) {}

  TFieldDef* Items(int Index) const { return static_cast<TFieldDef*>(TCollection::Items(Index)); }
  TFieldDef* Add(const String& Name, TFieldType DataType, int Size = 0, bool Required = false);
  int IndexOf(const String& Name) const;      // letter case ignored
  TFieldDef* Find(const String& Name) const;  // raises EDatabaseError naming it
};

enum class TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression, ixNonMaintained };
using TIndexOptions = TSet<TIndexOption>;
const TTypeInfo* TypeInfo_TIndexOption();
const TTypeInfo* TypeInfo_TIndexOptions();

class TIndexDef : public TCollectionItem {
  RTL_CLASS(TIndexDef, TCollectionItem)
  explicit TIndexDef(TCollection* Collection) : TCollectionItem(Collection) {}

  String Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  // Field names separated by ";".
  String Fields() const { return FFields; }
  void SetFields(const String& Value) { FFields = Value; }
  TIndexOptions Options() const { return FOptions; }
  void SetOptions(TIndexOptions Value) { FOptions = Value; }
  String DisplayName() const override { return FName; }
  void Assign(TPersistent* Source) override;

private:
  String FName;
  String FFields;
  TIndexOptions FOptions;
};

class TIndexDefs : public TOwnedCollection {
  RTL_CLASS(TIndexDefs, TOwnedCollection)
  explicit TIndexDefs(TPersistent* AOwner) : TOwnedCollection(AOwner, TIndexDef::StaticClass()) {}

  TIndexDef* Items(int Index) const { return static_cast<TIndexDef*>(TCollection::Items(Index)); }
  TIndexDef* Add(const String& Name, const String& Fields, TIndexOptions Options);
  int IndexOf(const String& Name) const;                      // letter case ignored
  TIndexDef* Find(const String& Name) const;                  // raises EDatabaseError naming it
  TIndexDef* FindIndexForFields(const String& Fields) const;  // nil when none starts with them
  // Reads the definitions afresh from the data set that owns them (its UpdateIndexDefs).
  void Update();
  using TCollection::Update;  // the per-item change notification stays reachable
};

// What a data set tells a provider about itself.
class IProviderSupport {
public:
  virtual ~IProviderSupport() = default;
  virtual bool PSIsSQLBased() = 0;
};

class TDataSet : public TComponent, public IProviderSupport {
  RTL_CLASS(TDataSet, TComponent)
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;

  bool Active() const { return FActive; }
  // While the module is loading, a stored Active is kept and applied in Loaded.
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }

  TFieldDefs* FieldDefs() const { return FFieldDefs.get(); }
  void SetFieldDefs(TFieldDefs* Value) { FFieldDefs->Assign(Value); }

  // The data set's index definitions; nil for a data set without indexes.
  virtual TIndexDefs* IndexDefs() const { return nullptr; }
  // Fills the index definitions from where the indexes are (a database); nothing here.
  virtual void UpdateIndexDefs() {}

  IProviderSupport* GetProviderSupport() { return this; }
  bool PSIsSQLBased() override { return false; }

  void Loaded() override;

protected:
  // Descendants open and close their cursor here; InternalOpen fills FieldDefs.
  virtual void InternalOpen() {}
  virtual void InternalClose() {}

private:
  bool FActive = false;
  bool FStreamedActive = false;
  std::unique_ptr<TFieldDefs> FFieldDefs;
};

class TDataSource : public TComponent {
  RTL_CLASS(TDataSource, TComponent)
  explicit TDataSource(TComponent* AOwner) : TComponent(AOwner) {}
  ~TDataSource() override;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TDataSet* FDataSet = nullptr;
  bool FEnabled = true;
  bool FAutoEdit = true;
};

}  // namespace rtl
