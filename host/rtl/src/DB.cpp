#include "rtl/DB.h"

#include "rtl/SysUtils.h"

namespace rtl {

const TTypeInfo* TypeInfo_TFieldType() {
  static const TTypeInfo* t = DefineEnumType(
      "TFieldType",
      {"ftUnknown",    "ftString",          "ftSmallint",      "ftInteger",     "ftWord",         "ftBoolean",
       "ftFloat",      "ftCurrency",        "ftBCD",           "ftDate",        "ftTime",         "ftDateTime",
       "ftBytes",      "ftVarBytes",        "ftAutoInc",       "ftBlob",        "ftMemo",         "ftGraphic",
       "ftFmtMemo",    "ftParadoxOle",      "ftDBaseOle",      "ftTypedBinary", "ftCursor",       "ftFixedChar",
       "ftWideString", "ftLargeint",        "ftADT",           "ftArray",       "ftReference",    "ftDataSet",
       "ftOraBlob",    "ftOraClob",         "ftVariant",       "ftInterface",   "ftIDispatch",    "ftGuid",
       "ftTimeStamp",  "ftFMTBcd",          "ftFixedWideChar", "ftWideMemo",    "ftOraTimeStamp", "ftOraInterval",
       "ftLongWord",   "ftShortint",        "ftByte",          "ftExtended",    "ftConnection",   "ftParams",
       "ftStream",     "ftTimeStampOffset", "ftObject",        "ftSingle"});
  return t;
}

const TTypeInfo* TypeInfo_TParamType() {
  static const TTypeInfo* t =
      DefineEnumType("TParamType", {"ptUnknown", "ptInput", "ptOutput", "ptInputOutput", "ptResult"});
  return t;
}

const TTypeInfo* TypeInfo_TIndexOption() {
  static const TTypeInfo* t = DefineEnumType("TIndexOption", {"ixPrimary", "ixUnique", "ixDescending",
                                                              "ixCaseInsensitive", "ixExpression", "ixNonMaintained"});
  return t;
}

const TTypeInfo* TypeInfo_TIndexOptions() {
  static const TTypeInfo* t = DefineSetType("TIndexOptions", TypeInfo_TIndexOption());
  return t;
}

// ---------------------------------------------------------------- TParam, TParams

TClass TParam::StaticClass() {
  static TClass info =
      ClassBuilder<TParam>("TParam")
          .EnumProp("DataType", TypeInfo_TFieldType(), &TParam::DataType, &TParam::SetDataType, TFieldType::ftUnknown)
          .StrProp("Name", &TParam::Name, &TParam::SetName)
          .EnumProp("ParamType", TypeInfo_TParamType(), &TParam::ParamType, &TParam::SetParamType,
                    TParamType::ptUnknown)
          .StrProp("Value", &TParam::Value, &TParam::SetValue)
          .Stored([](const TParam* p) { return !p->IsNull(); })
          .Build();
  return info;
}

void TParam::SetName(const String& Value) {
  FName = Value;
  Changed(false);
}

void TParam::SetValue(const String& Value) {
  FValue = Value;
  FIsNull = false;
  Changed(false);
}

void TParam::Clear() {
  FValue.clear();
  FIsNull = true;
}

String TParam::DisplayName() const { return FName.empty() ? TCollectionItem::DisplayName() : FName; }

void TParam::Assign(TPersistent* Source) {
  if (auto* p = Cast<TParam>(Source)) {
    FName = p->FName;
    FDataType = p->FDataType;
    FParamType = p->FParamType;
    FValue = p->FValue;
    FIsNull = p->FIsNull;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(Source);
}

TClass TParams::StaticClass() {
  static TClass info = ClassBuilder<TParams>("TParams").Build();
  return info;
}

TParam* TParams::FindParam(const String& Value) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Items(i)->Name(), Value)) return Items(i);
  return nullptr;
}

TParam* TParams::ParamByName(const String& Value) const {
  TParam* p = FindParam(Value);
  if (!p) throw EDatabaseError("Parameter '" + Value + "' not found");
  return p;
}

TParam* TParams::CreateParam(TFieldType FldType, const String& ParamName, TParamType ParamType) {
  auto* p = static_cast<TParam*>(Add());
  p->SetName(ParamName);
  p->SetDataType(FldType);
  p->SetParamType(ParamType);
  return p;
}

void TParams::AssignValues(const TParams* Value) {
  for (int i = 0; i < Value->Count(); ++i) {
    TParam* src = Value->Items(i);
    if (TParam* dst = FindParam(src->Name())) dst->Assign(src);
  }
}

// ---------------------------------------------------------------- field and index definitions

TClass TFieldDef::StaticClass() {
  static TClass info = ClassBuilder<TFieldDef>("TFieldDef")
                           .StrProp("Name", &TFieldDef::Name, &TFieldDef::SetName)
                           .EnumProp("DataType", TypeInfo_TFieldType(), &TFieldDef::DataType, &TFieldDef::SetDataType,
                                     TFieldType::ftUnknown)
                           .IntProp("Size", &TFieldDef::Size, &TFieldDef::SetSize)
                           .IntProp("Precision", &TFieldDef::Precision, &TFieldDef::SetPrecision)
                           .BoolProp("Required", &TFieldDef::Required, &TFieldDef::SetRequired)
                           .Build();
  return info;
}

void TFieldDef::Assign(TPersistent* Source) {
  if (auto* f = Cast<TFieldDef>(Source)) {
    FName = f->FName;
    FDataType = f->FDataType;
    FSize = f->FSize;
    FPrecision = f->FPrecision;
    FRequired = f->FRequired;
    return;
  }
  TCollectionItem::Assign(Source);
}

TClass TFieldDefs::StaticClass() {
  static TClass info = ClassBuilder<TFieldDefs>("TFieldDefs").Build();
  return info;
}

TFieldDef* TFieldDefs::Add(const String& Name, TFieldType DataType, int Size, bool Required) {
  auto* f = static_cast<TFieldDef*>(TCollection::Add());
  f->SetName(Name);
  f->SetDataType(DataType);
  f->SetSize(Size);
  f->SetRequired(Required);
  return f;
}

int TFieldDefs::IndexOf(const String& Name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Items(i)->Name(), Name)) return i;
  return -1;
}

TFieldDef* TFieldDefs::Find(const String& Name) const {
  int i = IndexOf(Name);
  if (i < 0) throw EDatabaseError("Field '" + Name + "' not found");
  return Items(i);
}

TClass TIndexDef::StaticClass() {
  static TClass info = ClassBuilder<TIndexDef>("TIndexDef")
                           .StrProp("Name", &TIndexDef::Name, &TIndexDef::SetName)
                           .StrProp("Fields", &TIndexDef::Fields, &TIndexDef::SetFields)
                           .SetProp("Options", TypeInfo_TIndexOptions(), &TIndexDef::Options, &TIndexDef::SetOptions)
                           .Build();
  return info;
}

void TIndexDef::Assign(TPersistent* Source) {
  if (auto* d = Cast<TIndexDef>(Source)) {
    FName = d->FName;
    FFields = d->FFields;
    FOptions = d->FOptions;
    return;
  }
  TCollectionItem::Assign(Source);
}

TClass TIndexDefs::StaticClass() {
  static TClass info = ClassBuilder<TIndexDefs>("TIndexDefs").Build();
  return info;
}

TIndexDef* TIndexDefs::Add(const String& Name, const String& Fields, TIndexOptions Options) {
  auto* d = static_cast<TIndexDef*>(TCollection::Add());
  d->SetName(Name);
  d->SetFields(Fields);
  d->SetOptions(Options);
  return d;
}

int TIndexDefs::IndexOf(const String& Name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Items(i)->Name(), Name)) return i;
  return -1;
}

TIndexDef* TIndexDefs::Find(const String& Name) const {
  int i = IndexOf(Name);
  if (i < 0) throw EDatabaseError("Index '" + Name + "' not found");
  return Items(i);
}

void TIndexDefs::Update() {
  if (auto* dataSet = Cast<TDataSet>(GetOwner())) dataSet->UpdateIndexDefs();
}

TIndexDef* TIndexDefs::FindIndexForFields(const String& Fields) const {
  for (int i = 0; i < Count(); ++i) {
    const String f = Items(i)->Fields();
    if (f.size() >= Fields.size() && SameText(f.substr(0, Fields.size()), Fields) &&
        (f.size() == Fields.size() || f[Fields.size()] == ';'))
      return Items(i);
  }
  return nullptr;
}

// ---------------------------------------------------------------- TDataSet, TDataSource

TClass TDataSet::StaticClass() {
  static TClass info =
      ClassBuilder<TDataSet>("TDataSet").BoolProp("Active", &TDataSet::Active, &TDataSet::SetActive).Build();
  return info;
}

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner), FFieldDefs(std::make_unique<TFieldDefs>(this)) {
  FFieldDefs->SetPropName("FieldDefs");
}

TDataSet::~TDataSet() = default;

void TDataSet::SetActive(bool Value) {
  if (ComponentState().Contains(TComponentStateItem::csReading)) {
    FStreamedActive = Value;
    return;
  }
  if (FActive == Value) return;
  if (Value) {
    InternalOpen();
    FActive = true;
  } else {
    FActive = false;
    InternalClose();
  }
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (FStreamedActive) {
    FStreamedActive = false;
    SetActive(true);
  }
}

TClass TDataSource::StaticClass() {
  static TClass info = ClassBuilder<TDataSource>("TDataSource")
                           .BoolProp("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit, true)
                           .RefProp<TDataSet>("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet)
                           .BoolProp("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled, true)
                           .Build();
  return info;
}

TDataSource::~TDataSource() { SetDataSet(nullptr); }

void TDataSource::SetDataSet(TDataSet* Value) {
  if (FDataSet == Value) return;
  if (FDataSet) FDataSet->RemoveFreeNotification(this);
  FDataSet = Value;
  if (FDataSet) FDataSet->FreeNotification(this);
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FDataSet) FDataSet = nullptr;
}

}  // namespace rtl
