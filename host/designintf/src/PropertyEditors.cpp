#include "designintf/PropertyEditors.h"

#include "designintf/ComponentEditors.h"
#include "designintf/HostDialogs.h"
#include "designintf/Registry.h"
#include "rtl/Collection.h"
#include "rtl/SysUtils.h"

#include <algorithm>

namespace designintf {

DESIGN_CLASS_IMPL(TPropertyEditor)
DESIGN_CLASS_IMPL(TOrdinalProperty)
DESIGN_CLASS_IMPL(TIntegerProperty)
DESIGN_CLASS_IMPL(TEnumProperty)
DESIGN_CLASS_IMPL(TBoolProperty)
DESIGN_CLASS_IMPL(TFloatProperty)
DESIGN_CLASS_IMPL(TStringProperty)
DESIGN_CLASS_IMPL(TComponentNameProperty)
DESIGN_CLASS_IMPL(TSetElementProperty)
DESIGN_CLASS_IMPL(TSetProperty)
DESIGN_CLASS_IMPL(TClassProperty)
DESIGN_CLASS_IMPL(TComponentProperty)
DESIGN_CLASS_IMPL(TMethodProperty)
DESIGN_CLASS_IMPL(TStringListProperty)
DESIGN_CLASS_IMPL(TCollectionProperty)

namespace {

String InvalidValue(const String& value, const String& prop) {
  return "Invalid property value '" + value + "' for " + prop;
}

// "PROP: 'VALUE' is not a TYPE; use A, B or C": a value of an enumeration it does not have.
String NotAValueOf(const String& value, const String& prop, const rtl::TTypeInfo* type) {
  if (type == rtl::TypeInfoBoolean()) return prop + ": '" + value + "' is not a Boolean; use True or False";
  String names;
  const auto& all = type->EnumNames;
  for (size_t i = 0; i < all.size(); ++i) names += (i == 0 ? "" : i + 1 == all.size() ? " or " : ", ") + all[i];
  return prop + ": '" + value + "' is not a " + type->Name + "; use " + names;
}

// A name as the library shows it: the identifier without its lower-case prefix ("SQLite" for
// "stSQLite"); the identifier itself when it has none.
String DisplayName(const String& identifier) {
  size_t i = 0;
  while (i < identifier.size() && identifier[i] >= 'a' && identifier[i] <= 'z') ++i;
  return i > 0 && i < identifier.size() ? identifier.substr(i) : identifier;
}

bool HasGetter(const rtl::TPropInfo* p) {
  switch (p->Kind()) {
  case rtl::TTypeKind::tkInteger:
  case rtl::TTypeKind::tkEnumeration:
  case rtl::TTypeKind::tkSet: return static_cast<bool>(p->GetOrd);
  case rtl::TTypeKind::tkString: return static_cast<bool>(p->GetStr);
  case rtl::TTypeKind::tkFloat: return static_cast<bool>(p->GetFloat);
  case rtl::TTypeKind::tkClass: return static_cast<bool>(p->GetObj);
  case rtl::TTypeKind::tkMethod: return static_cast<bool>(p->GetMethodName);
  default: return false;
  }
}

// Values in the order the inspector offers them.
std::vector<String> ValueList(TPropertyEditor& editor) {
  std::vector<String> values;
  editor.GetValues([&](const String& s) { values.push_back(s); });
  if (editor.GetAttributes().Contains(TPropertyAttribute::paSortList))
    std::stable_sort(values.begin(), values.end(),
                     [](const String& a, const String& b) { return rtl::CompareText(a, b) < 0; });
  return values;
}

}  // namespace

// ---------------------------------------------------------------------------- TPropertyEditor

TPropertyEditor::TPropertyEditor(IDesigner* ADesigner, int APropCount)
    : FDesigner(ADesigner), FPropList(static_cast<size_t>(std::max(APropCount, 0))) {}

void TPropertyEditor::SetPropEntry(int Index, rtl::TPersistent* AInstance, const rtl::TPropInfo* APropInfo) {
  if (Index < 0 || Index >= PropCount())
    throw rtl::EListError("Property entry index out of bounds (" + rtl::IntToStr(Index) + ")");
  FPropList[static_cast<size_t>(Index)] = {AInstance, APropInfo};
}

const TPropertyEditor::TInstProp& TPropertyEditor::Entry(int Index) const {
  if (Index < 0 || Index >= PropCount())
    throw rtl::EListError("Property entry index out of bounds (" + rtl::IntToStr(Index) + ")");
  return FPropList[static_cast<size_t>(Index)];
}

rtl::TPersistent* TPropertyEditor::GetComponent(int Index) const { return Entry(Index).Instance; }

const rtl::TPropInfo* TPropertyEditor::GetPropInfo() const { return PropCount() ? FPropList[0].PropInfo : nullptr; }

const rtl::TTypeInfo* TPropertyEditor::GetPropType() const {
  const rtl::TPropInfo* p = GetPropInfo();
  return p ? p->PropType : nullptr;
}

bool TPropertyEditor::AllEqual() { return PropCount() == 1; }

bool TPropertyEditor::AutoFill() {
  const rtl::TPropInfo* p = GetPropInfo();
  return p && p->HasSetter();
}

void TPropertyEditor::Edit() {
  if (!GetAttributes().Contains(TPropertyAttribute::paValueList)) return;
  std::vector<String> values = ValueList(*this);
  if (values.empty()) return;
  String current = GetValue();
  size_t next = 0;
  for (size_t i = 0; i < values.size(); ++i)
    if (rtl::SameText(values[i], current)) {
      next = (i + 1) % values.size();
      break;
    }
  SetValue(values[next]);
}

TPropertyAttributes TPropertyEditor::GetAttributes() {
  TPropertyAttributes a{TPropertyAttribute::paMultiSelect, TPropertyAttribute::paRevertable};
  const rtl::TPropInfo* p = GetPropInfo();
  if (!p || !p->HasSetter()) a = a + TPropertyAttribute::paReadOnly + TPropertyAttribute::paDisplayReadOnly;
  return a;
}

String TPropertyEditor::GetName() {
  const rtl::TPropInfo* p = GetPropInfo();
  return p ? p->Name : String();
}

void TPropertyEditor::GetProperties(const TGetPropProc&) {}
String TPropertyEditor::GetValue() { return srUnknown; }
void TPropertyEditor::GetValues(const TGetStrProc&) {}
void TPropertyEditor::SetValue(const String&) {}
bool TPropertyEditor::ValueAvailable() { return true; }

void TPropertyEditor::Revert() {
  const rtl::TPropInfo* p = GetPropInfo();
  if (!p) return;
  switch (p->Kind()) {
  case rtl::TTypeKind::tkInteger:
  case rtl::TTypeKind::tkEnumeration:
  case rtl::TTypeKind::tkSet: SetOrdValue(p->DefaultOrd); break;
  case rtl::TTypeKind::tkString: SetStrValue(p->DefaultStr); break;
  case rtl::TTypeKind::tkMethod: SetMethodValue({}); break;
  case rtl::TTypeKind::tkClass:
    if (p->IsReference) SetObjValue(nullptr);
    break;
  default: break;
  }
}

String TPropertyEditor::GetVisualValue() { return AllEqual() ? GetValue() : String(); }

template <class F>
void TPropertyEditor::WriteAll(F&& Write) {
  bool wrote = false;
  for (const TInstProp& e : FPropList) {
    if (!e.Instance || !e.PropInfo || !e.PropInfo->HasSetter()) continue;
    Write(e);
    wrote = true;
  }
  if (!wrote) throw rtl::EPropertyError("Property " + GetName() + " is read-only");
  Modified();
}

int64_t TPropertyEditor::GetOrdValueAt(int Index) const {
  const TInstProp& e = Entry(Index);
  return rtl::GetOrdProp(e.Instance, e.PropInfo);
}

void TPropertyEditor::SetOrdValue(int64_t Value) {
  WriteAll([&](const TInstProp& e) { rtl::SetOrdProp(e.Instance, e.PropInfo, Value); });
}

String TPropertyEditor::GetStrValueAt(int Index) const {
  const TInstProp& e = Entry(Index);
  return rtl::GetStrProp(e.Instance, e.PropInfo);
}

void TPropertyEditor::SetStrValue(const String& Value) {
  WriteAll([&](const TInstProp& e) { rtl::SetStrProp(e.Instance, e.PropInfo, Value); });
}

double TPropertyEditor::GetFloatValueAt(int Index) const {
  const TInstProp& e = Entry(Index);
  if (!e.PropInfo->GetFloat) throw rtl::EPropertyError("Property " + e.PropInfo->Name + " is not a number");
  return e.PropInfo->GetFloat(e.Instance);
}

void TPropertyEditor::SetFloatValue(double Value) {
  WriteAll([&](const TInstProp& e) { e.PropInfo->SetFloat(e.Instance, Value); });
}

rtl::TObject* TPropertyEditor::GetObjValueAt(int Index) const {
  const TInstProp& e = Entry(Index);
  return rtl::GetObjectProp(e.Instance, e.PropInfo);
}

void TPropertyEditor::SetObjValue(rtl::TObject* Value) {
  bool wrote = false;
  for (const TInstProp& e : FPropList) {
    if (!e.Instance || !e.PropInfo) continue;
    if (e.PropInfo->SetObj) {
      e.PropInfo->SetObj(e.Instance, Value);
    } else if (auto* own = dynamic_cast<rtl::TPersistent*>(rtl::GetObjectProp(e.Instance, e.PropInfo));
               own && !e.PropInfo->IsReference) {
      // An owned sub-object without a setter still takes the new content.
      if (own != Value) own->Assign(dynamic_cast<rtl::TPersistent*>(Value));
    } else {
      continue;
    }
    wrote = true;
  }
  if (!wrote) throw rtl::EPropertyError("Property " + GetName() + " is read-only");
  Modified();
}

String TPropertyEditor::GetMethodValueAt(int Index) const {
  const TInstProp& e = Entry(Index);
  return e.PropInfo->GetMethodName ? e.PropInfo->GetMethodName(e.Instance) : String();
}

void TPropertyEditor::SetMethodValue(const String& Value) {
  WriteAll([&](const TInstProp& e) { e.PropInfo->SetMethodName(e.Instance, Value); });
}

void TPropertyEditor::Modified() {
  if (FDesigner) FDesigner->Modified();
}

// ---------------------------------------------------------------------------- ordinals

bool TOrdinalProperty::AllEqual() {
  if (PropCount() > 1) {
    int64_t v = GetOrdValue();
    for (int i = 1; i < PropCount(); ++i)
      if (GetOrdValueAt(i) != v) return false;
  }
  return true;
}

String TIntegerProperty::GetValue() { return rtl::IntToStr(GetOrdValue()); }

void TIntegerProperty::SetValue(const String& Value) { SetOrdValue(rtl::StrToInt(rtl::Trim(Value))); }

TPropertyAttributes TEnumProperty::GetAttributes() {
  return {TPropertyAttribute::paMultiSelect, TPropertyAttribute::paValueList, TPropertyAttribute::paSortList,
          TPropertyAttribute::paRevertable};
}

String TEnumProperty::GetValue() {
  int64_t v = GetOrdValue();
  String name = rtl::GetEnumName(GetPropType(), v);
  return name.empty() ? rtl::IntToStr(v) : name;
}

void TEnumProperty::GetValues(const TGetStrProc& Proc) {
  for (const String& name : GetPropType()->EnumNames) Proc(name);
}

void TEnumProperty::SetValue(const String& Value) {
  const rtl::TTypeInfo* type = GetPropType();
  const String text = rtl::Trim(Value);
  int v = rtl::GetEnumValue(type, text);
  for (size_t i = 0; v < 0 && i < type->EnumNames.size(); ++i)
    if (rtl::SameText(DisplayName(type->EnumNames[i]), text)) v = static_cast<int>(i);
  if (v < 0) throw rtl::EPropertyError(NotAValueOf(Value, GetName(), type));
  SetOrdValue(v);
}

// ---------------------------------------------------------------------------- floats, strings

bool TFloatProperty::AllEqual() {
  for (int i = 1; i < PropCount(); ++i)
    if (GetFloatValueAt(i) != GetFloatValue()) return false;
  return true;
}

String TFloatProperty::GetValue() { return fmt::format("{}", GetFloatValue()); }

void TFloatProperty::SetValue(const String& Value) {
  String text = rtl::Trim(Value);
  try {
    size_t used = 0;
    double d = std::stod(text, &used);
    if (used != text.size()) throw std::invalid_argument(text);
    SetFloatValue(d);
  } catch (const std::logic_error&) {
    throw rtl::EConvertError("'" + Value + "' is not a valid floating point value");
  }
}

bool TStringProperty::AllEqual() {
  if (PropCount() > 1) {
    String v = GetStrValue();
    for (int i = 1; i < PropCount(); ++i)
      if (GetStrValueAt(i) != v) return false;
  }
  return true;
}

int TStringProperty::GetEditLimit() { return 255; }

String TStringProperty::GetValue() { return GetStrValue(); }

void TStringProperty::SetValue(const String& Value) { SetStrValue(Value); }

TPropertyAttributes TComponentNameProperty::GetAttributes() { return {TPropertyAttribute::paNotNestable}; }

void TComponentNameProperty::SetValue(const String& Value) {
  auto* component = rtl::As<rtl::TComponent>(GetComponent(0));
  if (Designer())
    Designer()->RenameComponent(component, Value);
  else
    component->SetName(Value);
}

// ---------------------------------------------------------------------------- sets

bool TSetElementProperty::AllEqual() {
  auto bit = [&](int i) { return (GetOrdValueAt(i) >> FElement) & 1; };
  for (int i = 1; i < PropCount(); ++i)
    if (bit(i) != bit(0)) return false;
  return true;
}

TPropertyAttributes TSetElementProperty::GetAttributes() {
  return {TPropertyAttribute::paMultiSelect, TPropertyAttribute::paValueList, TPropertyAttribute::paSortList};
}

String TSetElementProperty::GetName() {
  const rtl::TTypeInfo* element = GetPropType() ? GetPropType()->CompType : nullptr;
  return element ? rtl::GetEnumName(element, FElement) : String();
}

String TSetElementProperty::GetValue() { return ((GetOrdValue() >> FElement) & 1) ? "True" : "False"; }

void TSetElementProperty::GetValues(const TGetStrProc& Proc) {
  Proc("False");
  Proc("True");
}

void TSetElementProperty::SetValue(const String& Value) {
  bool on;
  if (rtl::SameText(rtl::Trim(Value), "True"))
    on = true;
  else if (rtl::SameText(rtl::Trim(Value), "False"))
    on = false;
  else
    throw rtl::EPropertyError(NotAValueOf(Value, GetName(), rtl::TypeInfoBoolean()));
  // Each component keeps its other elements.
  const int64_t bit = int64_t{1} << FElement;
  WriteAll([&](const auto& e) {
    int64_t mask = rtl::GetOrdProp(e.Instance, e.PropInfo);
    rtl::SetOrdProp(e.Instance, e.PropInfo, on ? (mask | bit) : (mask & ~bit));
  });
}

TPropertyAttributes TSetProperty::GetAttributes() {
  return {TPropertyAttribute::paMultiSelect, TPropertyAttribute::paSubProperties, TPropertyAttribute::paReadOnly,
          TPropertyAttribute::paRevertable};
}

void TSetProperty::GetProperties(const TGetPropProc& Proc) {
  const rtl::TTypeInfo* element = GetPropType() ? GetPropType()->CompType : nullptr;
  if (!element) return;
  for (int e = 0; e < static_cast<int>(element->EnumNames.size()); ++e) {
    auto sub = std::make_unique<TSetElementProperty>(Designer(), PropCount());
    for (int i = 0; i < PropCount(); ++i) sub->SetPropEntry(i, GetComponent(i), GetPropInfo());
    sub->SetElement(e);
    sub->Initialize();
    Proc(std::move(sub));
  }
}

String TSetProperty::GetValue() { return rtl::SetToString(GetPropType(), GetOrdValue()); }

void TSetProperty::SetValue(const String& Value) { SetOrdValue(rtl::StringToSet(GetPropType(), Value)); }

// ---------------------------------------------------------------------------- objects

TPropertyAttributes TClassProperty::GetAttributes() {
  return {TPropertyAttribute::paMultiSelect, TPropertyAttribute::paSubProperties, TPropertyAttribute::paReadOnly};
}

void TClassProperty::GetProperties(const TGetPropProc& Proc) {
  TDesignerSelections objects;
  for (int i = 0; i < PropCount(); ++i) {
    auto* obj = dynamic_cast<rtl::TPersistent*>(GetObjValueAt(i));
    if (!obj) return;
    objects.push_back(obj);
  }
  GetComponentProperties(objects, {}, Designer(), Proc);
}

String TClassProperty::GetValue() {
  rtl::TObject* obj = GetObjValue();
  return "(" + (obj ? obj->ClassName() : GetPropType()->Name) + ")";
}

bool TComponentProperty::AllEqual() {
  for (int i = 1; i < PropCount(); ++i)
    if (GetObjValueAt(i) != GetObjValue()) return false;
  return true;
}

TPropertyAttributes TComponentProperty::GetAttributes() {
  TPropertyAttributes a{TPropertyAttribute::paMultiSelect};
  const rtl::TPropInfo* p = GetPropInfo();
  if (p && p->HasSetter())
    a = a + TPropertyAttribute::paValueList + TPropertyAttribute::paSortList + TPropertyAttribute::paRevertable;
  return a;
}

String TComponentProperty::GetValue() {
  auto* c = dynamic_cast<rtl::TComponent*>(GetObjValue());
  if (!c) return {};
  return Designer() ? Designer()->GetComponentName(c) : c->Name();
}

void TComponentProperty::GetValues(const TGetStrProc& Proc) {
  if (Designer()) Designer()->GetComponentNames(GetPropType(), Proc);
}

void TComponentProperty::SetValue(const String& Value) {
  if (rtl::Trim(Value).empty()) {
    SetObjValue(nullptr);
    return;
  }
  rtl::TComponent* c = Designer() ? Designer()->GetComponent(rtl::Trim(Value)) : nullptr;
  const rtl::TTypeInfo* t = GetPropType();
  if (!c) throw rtl::EPropertyError(InvalidValue(Value, GetName()));
  if (t->ClassRef && !c->InheritsFrom(t->ClassRef))
    throw rtl::EPropertyError(GetName() + " must name a " + t->ClassRef->Name + "; " + c->Name() + " is a " +
                              c->ClassName());
  SetObjValue(c);
}

// ---------------------------------------------------------------------------- events

bool TMethodProperty::AllEqual() {
  for (int i = 1; i < PropCount(); ++i)
    if (GetMethodValueAt(i) != GetMethodValue()) return false;
  return true;
}

void TMethodProperty::Edit() {
  String name = GetValue();
  if (name.empty()) {
    name = GetFormMethodName();
    SetValue(name);
  }
  if (Designer()) Designer()->ShowMethod(name);
}

TPropertyAttributes TMethodProperty::GetAttributes() {
  return {TPropertyAttribute::paMultiSelect, TPropertyAttribute::paValueList, TPropertyAttribute::paSortList,
          TPropertyAttribute::paRevertable};
}

String TMethodProperty::GetValue() { return GetMethodValue(); }

void TMethodProperty::GetValues(const TGetStrProc& Proc) {
  if (Designer()) Designer()->GetMethods(GetPropType(), Proc);
}

void TMethodProperty::SetValue(const String& Value) {
  String name = rtl::Trim(Value);
  if (!name.empty() && !rtl::IsValidIdent(name))
    throw rtl::EPropertyError("'" + Value + "' is not a valid method name");
  SetMethodValue(name);
}

String TMethodProperty::GetFormMethodName() {
  String prefix;
  auto* c = dynamic_cast<rtl::TComponent*>(GetComponent(0));
  if (c && Designer() && c == Designer()->GetRoot()) {
    // The root's handlers are named after its kind of module: DataModuleCreate.
    rtl::TClass cls = c->ClassType();
    prefix = cls->Name.size() > 1 && (cls->Name[0] == 'T' || cls->Name[0] == 't') ? cls->Name.substr(1) : cls->Name;
  } else if (c) {
    prefix = c->Name();
  }
  String event = GetName();
  if (event.size() > 2 && rtl::SameText(event.substr(0, 2), "On")) event = event.substr(2);
  return prefix + event;
}

// ---------------------------------------------------------------------------- lists, collections

TPropertyAttributes TStringListProperty::GetAttributes() {
  return TClassProperty::GetAttributes() + TPropertyAttribute::paDialog - TPropertyAttribute::paSubProperties;
}

void TStringListProperty::Edit() {
  rtl::TStringList lines;
  if (auto* current = dynamic_cast<rtl::TStrings*>(GetObjValue())) lines.Assign(current);
  if (HostDialogs().EditStrings(Designer(), GetComponent(0), GetName(), &lines)) SetObjValue(&lines);
}

TPropertyAttributes TCollectionProperty::GetAttributes() {
  return {TPropertyAttribute::paDialog, TPropertyAttribute::paReadOnly, TPropertyAttribute::paVCL};
}

void TCollectionProperty::Edit() {
  ShowCollectionEditorClass(Designer(), GetEditorClass(), dynamic_cast<rtl::TComponent*>(GetComponent(0)),
                            rtl::As<rtl::TCollection>(GetObjValue()), GetName(), GetColOptions());
}

TCollectionEditorClass TCollectionProperty::GetEditorClass() { return TCollectionEditor::StaticClass(); }

TColOptions TCollectionProperty::GetColOptions() {
  return {TColOption::coAdd, TColOption::coDelete, TColOption::coMove};
}

// ---------------------------------------------------------------------------- selection

void GetComponentProperties(const TDesignerSelections& Components, const TTypeKinds& Filter, IDesigner* Designer,
                            const TGetPropProc& Proc) {
  if (Components.empty() || !Components[0]) return;
  for (rtl::TPersistent* c : Components)
    if (!c) return;
  const int n = static_cast<int>(Components.size());
  rtl::TClass firstClass = Components[0]->ClassType();
  for (const rtl::TPropInfo* prop : firstClass->PropList()) {
    if (!Filter.empty() && std::find(Filter.begin(), Filter.end(), prop->Kind()) == Filter.end()) continue;
    if (!HasGetter(prop)) continue;
    if (prop->Kind() != rtl::TTypeKind::tkClass && !prop->HasSetter()) continue;
    TPropertyEditorClass editorClass = GetEditorClass(prop, firstClass);
    std::vector<const rtl::TPropInfo*> props{prop};
    for (int i = 1; i < n && static_cast<int>(props.size()) == i; ++i) {
      rtl::TClass cls = Components[static_cast<size_t>(i)]->ClassType();
      const rtl::TPropInfo* other = cls->FindProp(prop->Name);
      if (!other || !HasGetter(other)) break;
      bool sameType = other->PropType == prop->PropType ||
                      (other->Kind() == rtl::TTypeKind::tkClass && prop->Kind() == rtl::TTypeKind::tkClass);
      if (!sameType || GetEditorClass(other, cls) != editorClass) break;
      props.push_back(other);
    }
    if (static_cast<int>(props.size()) != n) continue;
    std::unique_ptr<TPropertyEditor> editor = editorClass->Create(Designer, n);
    for (int i = 0; i < n; ++i)
      editor->SetPropEntry(i, Components[static_cast<size_t>(i)], props[static_cast<size_t>(i)]);
    editor->Initialize();
    if (n > 1 && !editor->GetAttributes().Contains(TPropertyAttribute::paMultiSelect)) continue;
    if (!editor->ValueAvailable()) continue;
    Proc(std::move(editor));
  }
}

}  // namespace designintf
