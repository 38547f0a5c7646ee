// Run-time type information: type records, published properties and methods, class records,
// the class registry, and generic property access by name. The form-file reader and writer, the
// object inspector and property-editor registration all work from these records.
#pragma once

#include "rtl/Object.h"
#include "rtl/Sets.h"
#include "rtl/SysUtils.h"

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace rtl {

enum class TTypeKind { tkUnknown, tkInteger, tkFloat, tkString, tkEnumeration, tkSet, tkClass, tkMethod };

struct TTypeInfo {
  TTypeKind Kind = TTypeKind::tkUnknown;
  String Name;                          // "string", "Integer", "Boolean", "TKVServerType", "TStrings"
  std::vector<String> EnumNames;        // tkEnumeration: value names in ordinal order
  const TTypeInfo* CompType = nullptr;  // tkSet: the element enumeration
  TClass ClassRef = nullptr;            // tkClass: the property's class
};

const TTypeInfo* TypeInfoString();
const TTypeInfo* TypeInfoInteger();
const TTypeInfo* TypeInfoBoolean();  // an enumeration False, True
const TTypeInfo* TypeInfoDouble();
// Type records live as long as the program; define each once, e.g. in a function-local static.
const TTypeInfo* DefineEnumType(const String& name, std::vector<String> valueNames);
const TTypeInfo* DefineSetType(const String& name, const TTypeInfo* elementType);
const TTypeInfo* DefineMethodType(const String& name);  // an event type such as TNotifyEvent

// An event: the bound handler and the name of the method it came from (kept for form files).
template <class Sig>
struct TEvent;
template <class R, class... A>
struct TEvent<R(A...)> {
  std::function<R(A...)> Handler;
  String MethodName;

  explicit operator bool() const { return static_cast<bool>(Handler); }
  R operator()(A... args) const { return Handler(std::forward<A>(args)...); }
  TEvent& operator=(std::function<R(A...)> handler) {
    Handler = std::move(handler);
    return *this;
  }
};

using TNotifyEvent = TEvent<void(TObject* Sender)>;

// A published property. Accessors are type-erased over TObject*; which ones are set depends on
// the kind: ordinal (integer, enumeration, Boolean, set as a bit mask), string, float, object
// (owned sub-object or component reference), method (event).
struct TPropInfo {
  String Name;
  const TTypeInfo* PropType = nullptr;
  TClass Declarer = nullptr;
  bool IsReference = false;  // tkClass: a reference to a component, not an owned sub-object

  std::function<int64_t(TObject*)> GetOrd;
  std::function<void(TObject*, int64_t)> SetOrd;
  std::function<String(TObject*)> GetStr;
  std::function<void(TObject*, const String&)> SetStr;
  std::function<double(TObject*)> GetFloat;
  std::function<void(TObject*, double)> SetFloat;
  std::function<TObject*(TObject*)> GetObj;
  std::function<void(TObject*, TObject*)> SetObj;
  std::function<String(TObject*)> GetMethodName;
  std::function<void(TObject*, const String&)> SetMethodName;
  std::function<void(TObject*, const std::any&)> BindMethod;  // raises on a signature mismatch

  int64_t DefaultOrd = 0;                  // ordinal default: not written to form files when equal
  String DefaultStr;                       // string default
  std::function<bool(TObject*)> IsStored;  // nullptr: stored when not default

  TTypeKind Kind() const { return PropType ? PropType->Kind : TTypeKind::tkUnknown; }
  bool HasSetter() const;
};

// A published method that form descriptions may name as an event handler.
struct TMethodInfo {
  String Name;
  std::function<std::any(TObject* self)> Bind;  // a std::function of the method's signature
};

// A published field: a component of the object's form description, put into the member of its
// name by the form reader once the description is read (before Loaded).
struct TFieldInfo {
  String Name;
  TClass FieldClass;
  std::function<bool(TObject* self, TObject* value)> Set;  // false: value is not a FieldClass
};

struct TClassInfo {
  String Name;
  TClass Parent = nullptr;
  std::function<TObject*(TObject* owner)> Factory;  // nullptr for an abstract class
  std::vector<TPropInfo> Props;                     // declared by this class, in order
  std::vector<TMethodInfo> Methods;
  std::vector<TFieldInfo> Fields;  // declared by this class, in order

  bool InheritsFrom(TClass aClass) const;
  // Published properties, ancestors first; a name redeclared by a descendant keeps its place.
  // Built once per class and built again when this class or an ancestor has declared more
  // properties since (the list stays valid until then).
  const std::vector<const TPropInfo*>& PropList() const;
  const TPropInfo* FindProp(const String& name) const;      // letter case ignored
  const TMethodInfo* FindMethod(const String& name) const;  // letter case ignored, ancestors too
  const TTypeInfo* TypeInfo() const;                        // the tkClass type record of the class
  // A new instance; a component is owned by owner (a TComponent), a collection item joins owner
  // (a TCollection). Raises EClassNotFound-style errors for an abstract class.
  TObject* Create(TObject* owner) const;

private:
  // What the cached lists were built from: each class of the chain with its declared
  // properties' storage and count, this class first.
  struct TPropCacheKey {
    TClass Class;
    const TPropInfo* Data;
    size_t Count;
  };
  void EnsurePropCache() const;

  mutable std::unique_ptr<TTypeInfo> FTypeInfo;
  mutable std::vector<TPropCacheKey> FPropCacheKey;
  mutable std::vector<const TPropInfo*> FPropList;
  mutable std::unordered_map<String, const TPropInfo*, TTextHash, TSameText> FPropByName;  // FindProp's answer
};

// Names of integer constants (clBtnFace, crHourGlass): an integer type may register a mapping
// so that form files and the inspector show names where the value has one.
using TIdentToInt = std::function<bool(const String& Ident, int64_t& Value)>;
using TIntToIdent = std::function<bool(int64_t Value, String& Ident)>;
void RegisterIntegerConsts(const TTypeInfo* IntType, TIdentToInt IdentToInt, TIntToIdent IntToIdent);
bool IdentToIntOfType(const TTypeInfo* IntType, const String& Ident, int64_t& Value);
bool IntToIdentOfType(const TTypeInfo* IntType, int64_t Value, String& Ident);

// The class registry: form files name classes, the registry finds them.
void RegisterClass(TClass aClass);
void UnRegisterClass(TClass aClass);
TClass GetClass(const String& name);   // nullptr when unknown; letter case ignored
TClass FindClass(const String& name);  // raises EClassNotFound when unknown

// Generic access by name and by record.
const TPropInfo* GetPropInfo(const TObject* obj, const String& name);  // nullptr when absent
std::vector<const TPropInfo*> GetPropList(const TObject* obj);
String GetEnumName(const TTypeInfo* type, int64_t value);                          // "" when out of range
int GetEnumValue(const TTypeInfo* type, const String& name);                       // -1 when absent; case ignored
String SetToString(const TTypeInfo* setType, int64_t mask, bool brackets = true);  // "[a,b]"
int64_t StringToSet(const TTypeInfo* setType, const String& text);                 // raises EPropertyError

int64_t GetOrdProp(TObject* obj, const TPropInfo* prop);
void SetOrdProp(TObject* obj, const TPropInfo* prop, int64_t value);
String GetStrProp(TObject* obj, const TPropInfo* prop);
void SetStrProp(TObject* obj, const TPropInfo* prop, const String& value);
TObject* GetObjectProp(TObject* obj, const TPropInfo* prop);
void SetObjectProp(TObject* obj, const TPropInfo* prop, TObject* value);
// A property's value as text, as the inspector shows it: strings as they are, integers in
// decimal, enumerations and Booleans by name, sets as "[a,b]", objects as "(TClassName)",
// component references by Name, events by method name.
String GetPropValue(TObject* obj, const TPropInfo* prop);
// Sets a property from text (not for owned objects or references); raises EPropertyError or
// EConvertError naming the property and the value when the text does not fit.
void SetPropValue(TObject* obj, const TPropInfo* prop, const String& text);
// Whether a form file stores the property: its stored test, else "differs from the default".
bool IsStoredProp(TObject* obj, const TPropInfo* prop);

template <class T, class = void>
struct OwnerTypeOf {
  using type = void;
};
template <class T>
struct OwnerTypeOf<T, std::void_t<typename T::TOwnerType>> {
  using type = typename T::TOwnerType;
};

// Builds a class record. Accessors may be member function pointers or callables taking the
// object first; pass nullptr as the setter of a read-only property.
template <class T, class Base = typename T::inherited>
class ClassBuilder {
public:
  explicit ClassBuilder(String name) : FInfo(std::make_unique<TClassInfo>()) {
    FInfo->Name = std::move(name);
    if constexpr (!std::is_same_v<Base, void>) FInfo->Parent = Base::StaticClass();
    using Owner = typename OwnerTypeOf<T>::type;
    if constexpr (!std::is_abstract_v<T>) {
      if constexpr (!std::is_void_v<Owner> && std::is_constructible_v<T, Owner*>) {
        FInfo->Factory = [](TObject* owner) -> TObject* { return new T(Cast<Owner>(owner)); };
      } else if constexpr (std::is_default_constructible_v<T>) {
        FInfo->Factory = [](TObject*) -> TObject* { return new T(); };
      }
    }
  }

  template <class G, class S>
  ClassBuilder& StrProp(String name, G get, S set, String def = {}) {
    TPropInfo& p = Add(std::move(name), TypeInfoString());
    p.GetStr = [get](TObject* o) -> String { return std::invoke(get, Self(o)); };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetStr = [set](TObject* o, const String& v) { std::invoke(set, Self(o), v); };
    p.DefaultStr = std::move(def);
    return *this;
  }

  template <class G, class S>
  ClassBuilder& IntProp(String name, G get, S set, int64_t def = 0) {
    return Ordinal(std::move(name), TypeInfoInteger(), get, set, def);
  }

  // An integer property of its own integer type (TColor, TCursor), whose constants may be named.
  template <class G, class S>
  ClassBuilder& IntProp(String name, const TTypeInfo* type, G get, S set, int64_t def = 0) {
    return Ordinal(std::move(name), type, get, set, def);
  }

  template <class G, class S>
  ClassBuilder& BoolProp(String name, G get, S set, bool def = false) {
    return Ordinal(std::move(name), TypeInfoBoolean(), get, set, def ? 1 : 0);
  }

  template <class G, class S, class E>
  ClassBuilder& EnumProp(String name, const TTypeInfo* type, G get, S set, E def) {
    return Ordinal(std::move(name), type, get, set, static_cast<int64_t>(def));
  }

  template <class G, class S, class E = void>
  ClassBuilder& SetProp(String name, const TTypeInfo* setType, G get, S set, uint64_t defMask = 0) {
    TPropInfo& p = Add(std::move(name), setType);
    p.GetOrd = [get](TObject* o) -> int64_t { return static_cast<int64_t>(std::invoke(get, Self(o)).Mask()); };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetOrd = [set](TObject* o, int64_t v) {
        using SetT = std::decay_t<decltype(std::invoke(std::declval<G>(), Self(o)))>;
        std::invoke(set, Self(o), SetT::FromMask(static_cast<uint64_t>(v)));
      };
    p.DefaultOrd = static_cast<int64_t>(defMask);
    return *this;
  }

  template <class G, class S>
  ClassBuilder& FloatProp(String name, G get, S set) {
    TPropInfo& p = Add(std::move(name), TypeInfoDouble());
    p.GetFloat = [get](TObject* o) -> double { return std::invoke(get, Self(o)); };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetFloat = [set](TObject* o, double v) { std::invoke(set, Self(o), v); };
    return *this;
  }

  // An owned sub-object (TStrings, TCollection, TFont ...); the setter assigns into it.
  template <class C, class G, class S>
  ClassBuilder& ObjProp(String name, G get, S set) {
    return Object<C>(std::move(name), get, set, false);
  }

  // A reference to another component; nil allowed.
  template <class C, class G, class S>
  ClassBuilder& RefProp(String name, G get, S set) {
    return Object<C>(std::move(name), get, set, true);
  }

  template <class Sig>
  ClassBuilder& Event(String name, const TTypeInfo* eventType, TEvent<Sig> T::*field) {
    TPropInfo& p = Add(std::move(name), eventType);
    p.GetMethodName = [field](TObject* o) { return (Self(o)->*field).MethodName; };
    p.SetMethodName = [field](TObject* o, const String& v) {
      auto& ev = Self(o)->*field;
      if (ev.MethodName != v) ev.Handler = nullptr;
      ev.MethodName = v;
    };
    p.BindMethod = [field, pname = p.Name](TObject* o, const std::any& bound) {
      using Fn = decltype(std::declval<TEvent<Sig>>().Handler);
      const Fn* fn = std::any_cast<Fn>(&bound);
      if (!fn) throw EPropertyError("The method bound to " + pname + " has the wrong parameters");
      (Self(o)->*field).Handler = *fn;
    };
    return *this;
  }

  template <class R, class... A>
  ClassBuilder& Method(String name, R (T::*method)(A...)) {
    FInfo->Methods.push_back(TMethodInfo{std::move(name), [method](TObject* self) -> std::any {
                                           T* t = Self(self);
                                           return std::function<R(A...)>([t, method](A... args) -> R {
                                             return (t->*method)(std::forward<A>(args)...);
                                           });
                                         }});
    return *this;
  }

  // A published field: the component named Name in the form description goes into member.
  template <class F>
  ClassBuilder& Field(String name, F* T::*member) {
    FInfo->Fields.push_back(TFieldInfo{std::move(name), F::StaticClass(), [member](TObject* self, TObject* value) {
                                         F* f = Cast<F>(value);
                                         if (f) Self(self)->*member = f;
                                         return f != nullptr;
                                       }});
    return *this;
  }

  // Applies a stored test to the property declared last.
  ClassBuilder& Stored(std::function<bool(const T*)> stored) {
    FInfo->Props.back().IsStored = [stored](TObject* o) { return stored(Self(o)); };
    return *this;
  }

  TClass Build() { return FInfo.release(); }
  // For a class whose code can be unloaded (a package's): the record is kept in a static of
  // that code, so that it goes when the code goes instead of being left behind unreachable.
  std::unique_ptr<const TClassInfo> BuildOwned() { return std::move(FInfo); }

private:
  static T* Self(TObject* o) { return static_cast<T*>(o); }

  TPropInfo& Add(String name, const TTypeInfo* type) {
    TPropInfo& p = FInfo->Props.emplace_back();
    p.Name = std::move(name);
    p.PropType = type;
    p.Declarer = FInfo.get();
    return p;
  }

  template <class G, class S>
  ClassBuilder& Ordinal(String name, const TTypeInfo* type, G get, S set, int64_t def) {
    TPropInfo& p = Add(std::move(name), type);
    p.GetOrd = [get](TObject* o) -> int64_t { return static_cast<int64_t>(std::invoke(get, Self(o))); };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetOrd = [set](TObject* o, int64_t v) {
        using V = std::decay_t<decltype(std::invoke(std::declval<G>(), Self(o)))>;
        std::invoke(set, Self(o), static_cast<V>(v));
      };
    p.DefaultOrd = def;
    return *this;
  }

  template <class C, class G, class S>
  ClassBuilder& Object(String name, G get, S set, bool reference) {
    TPropInfo& p = Add(std::move(name), C::StaticClass()->TypeInfo());
    p.IsReference = reference;
    p.GetObj = [get](TObject* o) -> TObject* { return std::invoke(get, Self(o)); };
    if constexpr (!std::is_null_pointer_v<S>)
      p.SetObj = [set, pname = p.Name](TObject* o, TObject* v) {
        C* c = Cast<C>(v);
        if (v && !c) throw EPropertyError("Invalid value for " + pname + ": not a " + C::StaticClass()->Name);
        std::invoke(set, Self(o), c);
      };
    return *this;
  }

  std::unique_ptr<TClassInfo> FInfo;
};

}  // namespace rtl
