#include "rtl/Rtti.h"

#include "rtl/Component.h"
#include "rtl/SysUtils.h"

#include <deque>
#include <unordered_map>

namespace rtl {

namespace {

std::deque<TTypeInfo>& TypeStore() {
  static std::deque<TTypeInfo> store;
  return store;
}

const TTypeInfo* NewType(TTypeInfo info) {
  TypeStore().push_back(std::move(info));
  return &TypeStore().back();
}

// Registered classes by folded name.
std::unordered_map<String, TClass>& ClassRegistry() {
  static std::unordered_map<String, TClass> registry;
  return registry;
}

struct TIntegerConsts {
  TIdentToInt IdentToInt;
  TIntToIdent IntToIdent;
};

std::unordered_map<const TTypeInfo*, TIntegerConsts>& IntegerConsts() {
  static std::unordered_map<const TTypeInfo*, TIntegerConsts> consts;
  return consts;
}

String PropError(const TPropInfo* prop, const String& what) { return "Property " + prop->Name + ": " + what; }

}  // namespace

const TTypeInfo* TypeInfoString() {
  static const TTypeInfo* t = NewType({TTypeKind::tkString, "string", {}, nullptr, nullptr});
  return t;
}
const TTypeInfo* TypeInfoInteger() {
  static const TTypeInfo* t = NewType({TTypeKind::tkInteger, "Integer", {}, nullptr, nullptr});
  return t;
}
const TTypeInfo* TypeInfoBoolean() {
  static const TTypeInfo* t = NewType({TTypeKind::tkEnumeration, "Boolean", {"False", "True"}, nullptr, nullptr});
  return t;
}
const TTypeInfo* TypeInfoDouble() {
  static const TTypeInfo* t = NewType({TTypeKind::tkFloat, "Double", {}, nullptr, nullptr});
  return t;
}
const TTypeInfo* DefineEnumType(const String& name, std::vector<String> valueNames) {
  return NewType({TTypeKind::tkEnumeration, name, std::move(valueNames), nullptr, nullptr});
}
const TTypeInfo* DefineSetType(const String& name, const TTypeInfo* elementType) {
  return NewType({TTypeKind::tkSet, name, {}, elementType, nullptr});
}
const TTypeInfo* DefineMethodType(const String& name) {
  return NewType({TTypeKind::tkMethod, name, {}, nullptr, nullptr});
}

bool TPropInfo::HasSetter() const {
  switch (Kind()) {
  case TTypeKind::tkInteger:
  case TTypeKind::tkEnumeration:
  case TTypeKind::tkSet: return static_cast<bool>(SetOrd);
  case TTypeKind::tkString: return static_cast<bool>(SetStr);
  case TTypeKind::tkFloat: return static_cast<bool>(SetFloat);
  case TTypeKind::tkClass: return static_cast<bool>(SetObj);
  case TTypeKind::tkMethod: return static_cast<bool>(SetMethodName);
  default: return false;
  }
}

bool TClassInfo::InheritsFrom(TClass aClass) const {
  for (TClass c = this; c; c = c->Parent)
    if (c == aClass) return true;
  return false;
}

void TClassInfo::EnsurePropCache() const {
  bool valid = !FPropCacheKey.empty();
  size_t depth = 0;
  for (TClass c = this; c && valid; c = c->Parent, ++depth)
    valid = depth < FPropCacheKey.size() && FPropCacheKey[depth].Class == c &&
            FPropCacheKey[depth].Data == c->Props.data() && FPropCacheKey[depth].Count == c->Props.size();
  if (valid && depth == FPropCacheKey.size()) return;

  FPropCacheKey.clear();
  std::vector<TClass> chain;
  for (TClass c = this; c; c = c->Parent) {
    chain.push_back(c);
    FPropCacheKey.push_back({c, c->Props.data(), c->Props.size()});
  }
  // Ancestors first; a redeclared name takes the place of the first property of that name.
  FPropList.clear();
  std::unordered_map<String, size_t> at;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    for (const TPropInfo& p : (*it)->Props) {
      auto [slot, inserted] = at.emplace(FoldCase(p.Name), FPropList.size());
      if (inserted)
        FPropList.push_back(&p);
      else
        FPropList[slot->second] = &p;
    }
  // The nearest declaration wins, and within a class the first.
  FPropByName.clear();
  for (TClass c : chain)
    for (const TPropInfo& p : c->Props) FPropByName.emplace(p.Name, &p);
}

const std::vector<const TPropInfo*>& TClassInfo::PropList() const {
  EnsurePropCache();
  return FPropList;
}

const TPropInfo* TClassInfo::FindProp(const String& name) const {
  EnsurePropCache();
  auto it = FPropByName.find(name);
  return it == FPropByName.end() ? nullptr : it->second;
}

const TMethodInfo* TClassInfo::FindMethod(const String& name) const {
  for (TClass c = this; c; c = c->Parent)
    for (const TMethodInfo& m : c->Methods)
      if (SameText(m.Name, name)) return &m;
  return nullptr;
}

const TTypeInfo* TClassInfo::TypeInfo() const {
  if (!FTypeInfo) FTypeInfo = std::make_unique<TTypeInfo>(TTypeInfo{TTypeKind::tkClass, Name, {}, nullptr, this});
  return FTypeInfo.get();
}

TObject* TClassInfo::Create(TObject* owner) const {
  if (!Factory) throw EClassNotFound("Class " + Name + " cannot be created: it is abstract");
  return Factory(owner);
}

void RegisterIntegerConsts(const TTypeInfo* IntType, TIdentToInt IdentToInt, TIntToIdent IntToIdent) {
  IntegerConsts()[IntType] = {std::move(IdentToInt), std::move(IntToIdent)};
}

bool IdentToIntOfType(const TTypeInfo* IntType, const String& Ident, int64_t& Value) {
  auto it = IntegerConsts().find(IntType);
  return it != IntegerConsts().end() && it->second.IdentToInt && it->second.IdentToInt(Ident, Value);
}

bool IntToIdentOfType(const TTypeInfo* IntType, int64_t Value, String& Ident) {
  auto it = IntegerConsts().find(IntType);
  return it != IntegerConsts().end() && it->second.IntToIdent && it->second.IntToIdent(Value, Ident);
}

void RegisterClass(TClass aClass) { ClassRegistry()[FoldCase(aClass->Name)] = aClass; }

void UnRegisterClass(TClass aClass) {
  auto it = ClassRegistry().find(FoldCase(aClass->Name));
  if (it != ClassRegistry().end() && it->second == aClass) ClassRegistry().erase(it);
}

TClass GetClass(const String& name) {
  auto it = ClassRegistry().find(FoldCase(name));
  return it == ClassRegistry().end() ? nullptr : it->second;
}

TClass FindClass(const String& name) {
  TClass c = GetClass(name);
  if (!c) throw EClassNotFound("Class " + name + " not found");
  return c;
}

const TPropInfo* GetPropInfo(const TObject* obj, const String& name) {
  return obj ? obj->ClassType()->FindProp(name) : nullptr;
}

std::vector<const TPropInfo*> GetPropList(const TObject* obj) { return obj->ClassType()->PropList(); }

String GetEnumName(const TTypeInfo* type, int64_t value) {
  if (!type || value < 0 || value >= static_cast<int64_t>(type->EnumNames.size())) return {};
  return type->EnumNames[static_cast<size_t>(value)];
}

int GetEnumValue(const TTypeInfo* type, const String& name) {
  if (!type) return -1;
  for (size_t i = 0; i < type->EnumNames.size(); ++i)
    if (SameText(type->EnumNames[i], name)) return static_cast<int>(i);
  return -1;
}

String SetToString(const TTypeInfo* setType, int64_t mask, bool brackets) {
  String s;
  const TTypeInfo* e = setType->CompType;
  for (size_t i = 0; e && i < e->EnumNames.size() && i < 64; ++i)
    if ((static_cast<uint64_t>(mask) >> i) & 1u) {
      if (!s.empty()) s += ",";
      s += e->EnumNames[i];
    }
  return brackets ? "[" + s + "]" : s;
}

int64_t StringToSet(const TTypeInfo* setType, const String& text) {
  String t = Trim(text);
  if (!t.empty() && t.front() == '[') t.erase(0, 1);
  if (!t.empty() && t.back() == ']') t.pop_back();
  uint64_t mask = 0;
  size_t start = 0;
  while (start <= t.size()) {
    size_t comma = t.find(',', start);
    String item = Trim(t.substr(start, comma == String::npos ? String::npos : comma - start));
    if (!item.empty()) {
      int v = GetEnumValue(setType->CompType, item);
      if (v < 0) throw EPropertyError("Invalid property value: " + item + " is not an element of " + setType->Name);
      mask |= uint64_t{1} << v;
    }
    if (comma == String::npos) break;
    start = comma + 1;
  }
  return static_cast<int64_t>(mask);
}

int64_t GetOrdProp(TObject* obj, const TPropInfo* prop) {
  if (!prop->GetOrd) throw EPropertyError(PropError(prop, "not an ordinal property"));
  return prop->GetOrd(obj);
}

void SetOrdProp(TObject* obj, const TPropInfo* prop, int64_t value) {
  if (!prop->SetOrd) throw EPropertyError(PropError(prop, "the property is read-only"));
  prop->SetOrd(obj, value);
}

String GetStrProp(TObject* obj, const TPropInfo* prop) {
  if (!prop->GetStr) throw EPropertyError(PropError(prop, "not a string property"));
  return prop->GetStr(obj);
}

void SetStrProp(TObject* obj, const TPropInfo* prop, const String& value) {
  if (!prop->SetStr) throw EPropertyError(PropError(prop, "the property is read-only"));
  prop->SetStr(obj, value);
}

TObject* GetObjectProp(TObject* obj, const TPropInfo* prop) {
  if (!prop->GetObj) throw EPropertyError(PropError(prop, "not an object property"));
  return prop->GetObj(obj);
}

void SetObjectProp(TObject* obj, const TPropInfo* prop, TObject* value) {
  if (!prop->SetObj) throw EPropertyError(PropError(prop, "the property is read-only"));
  prop->SetObj(obj, value);
}

String GetPropValue(TObject* obj, const TPropInfo* prop) {
  switch (prop->Kind()) {
  case TTypeKind::tkString: return GetStrProp(obj, prop);
  case TTypeKind::tkInteger: {
    int64_t v = GetOrdProp(obj, prop);
    String ident;
    return IntToIdentOfType(prop->PropType, v, ident) ? ident : IntToStr(v);
  }
  case TTypeKind::tkEnumeration: return GetEnumName(prop->PropType, GetOrdProp(obj, prop));
  case TTypeKind::tkSet: return SetToString(prop->PropType, GetOrdProp(obj, prop));
  case TTypeKind::tkFloat: return fmt::format("{}", prop->GetFloat(obj));
  case TTypeKind::tkMethod: return prop->GetMethodName ? prop->GetMethodName(obj) : String();
  case TTypeKind::tkClass: {
    TObject* o = GetObjectProp(obj, prop);
    if (prop->IsReference) {
      auto* c = Cast<TComponent>(o);
      return c ? c->Name() : String();
    }
    return "(" + (o ? o->ClassName() : prop->PropType->Name) + ")";
  }
  default: return {};
  }
}

void SetPropValue(TObject* obj, const TPropInfo* prop, const String& text) {
  switch (prop->Kind()) {
  case TTypeKind::tkString: SetStrProp(obj, prop, text); return;
  case TTypeKind::tkInteger: {
    int64_t named = 0;
    if (IdentToIntOfType(prop->PropType, Trim(text), named)) {
      SetOrdProp(obj, prop, named);
      return;
    }
    int a = StrToIntDef(text, 0), b = StrToIntDef(text, 1);
    if (a != b) throw EConvertError("'" + text + "' is not a valid integer value for " + prop->Name);
    SetOrdProp(obj, prop, a);
    return;
  }
  case TTypeKind::tkEnumeration: {
    int v = GetEnumValue(prop->PropType, Trim(text));
    if (v < 0) throw EPropertyError("Invalid property value '" + text + "' for " + prop->Name);
    SetOrdProp(obj, prop, v);
    return;
  }
  case TTypeKind::tkSet: SetOrdProp(obj, prop, StringToSet(prop->PropType, text)); return;
  case TTypeKind::tkFloat: {
    try {
      size_t used = 0;
      double d = std::stod(Trim(text), &used);
      if (used != Trim(text).size()) throw std::invalid_argument("");
      if (!prop->SetFloat) throw EPropertyError(PropError(prop, "the property is read-only"));
      prop->SetFloat(obj, d);
    } catch (const std::logic_error&) {
      throw EConvertError("'" + text + "' is not a valid floating point value for " + prop->Name);
    }
    return;
  }
  case TTypeKind::tkMethod:
    if (!prop->SetMethodName) throw EPropertyError(PropError(prop, "the property is read-only"));
    prop->SetMethodName(obj, text);
    return;
  default: throw EPropertyError(PropError(prop, "cannot be set from text"));
  }
}

bool IsStoredProp(TObject* obj, const TPropInfo* prop) {
  if (prop->IsStored) return prop->IsStored(obj);
  switch (prop->Kind()) {
  case TTypeKind::tkString: return GetStrProp(obj, prop) != prop->DefaultStr;
  case TTypeKind::tkInteger:
  case TTypeKind::tkEnumeration:
  case TTypeKind::tkSet: return GetOrdProp(obj, prop) != prop->DefaultOrd;
  case TTypeKind::tkFloat: return prop->GetFloat(obj) != 0.0;
  case TTypeKind::tkMethod: return prop->GetMethodName && !prop->GetMethodName(obj).empty();
  case TTypeKind::tkClass: return !prop->IsReference || GetObjectProp(obj, prop) != nullptr;
  default: return false;
  }
}

}  // namespace rtl
