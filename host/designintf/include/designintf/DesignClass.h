// Class records of the design-time classes: component editors, property editors, object-tree
// nodes, data-set designers and collection editors.
//
// The designer creates these objects by class (a registration names an editor class, not an
// object) and compares classes ("is this registration more derived than that one"). Each such
// class therefore has a record: its name, its parent's record and a factory. A class declares
// the record in its body with DESIGN_CLASS(TName, TBase) and defines it in one source file with
// DESIGN_CLASS_IMPL(TName):
//
//   class TKVDatabaseEditor : public TKVDefaultEditor {
//     DESIGN_CLASS(TKVDatabaseEditor, TKVDefaultEditor)
//     using TKVDefaultEditor::TKVDefaultEditor;
//     ...
//   };
//   DESIGN_CLASS_IMPL(TKVDatabaseEditor)   // in the .cpp, inside the class's namespace
//
// An abstract class gets a record without a factory.
#pragma once

#include "rtl/Exceptions.h"

#include <functional>
#include <memory>
#include <string>
#include <type_traits>

namespace designintf {

using rtl::String;

// The record of a class of one family (Family is the family's root class; Args are what its
// constructor takes).
template <class Family, class... Args>
struct TDesignClassRecord {
  String Name;
  const TDesignClassRecord* Parent = nullptr;
  std::function<std::unique_ptr<Family>(Args...)> Factory;  // empty for an abstract class

  bool InheritsFrom(const TDesignClassRecord* AClass) const {
    for (const TDesignClassRecord* c = this; c; c = c->Parent)
      if (c == AClass) return true;
    return false;
  }

  // Generations from this class up to AClass (0 for the class itself); -1 when not an ancestor.
  int DistanceTo(const TDesignClassRecord* AClass) const {
    int n = 0;
    for (const TDesignClassRecord* c = this; c; c = c->Parent, ++n)
      if (c == AClass) return n;
    return -1;
  }

  std::unique_ptr<Family> Create(Args... args) const {
    if (!Factory) throw rtl::EClassNotFound("Class " + Name + " cannot be created: it is abstract");
    return Factory(std::forward<Args>(args)...);
  }

  template <class T>
  static void Complete(TDesignClassRecord&) {}

  template <class T>
  static std::function<std::unique_ptr<Family>(Args...)> FactoryFor() {
    if constexpr (!std::is_abstract_v<T> && std::is_constructible_v<T, Args...>)
      return [](Args... args) -> std::unique_ptr<Family> { return std::make_unique<T>(std::forward<Args>(args)...); };
    else
      return nullptr;
  }
};

template <class T>
concept HasInherited = requires {
  typename T::inherited;
};

// Builds the record of class T (used by DESIGN_CLASS_IMPL).
template <class T>
typename T::TClassRecord MakeClassRecord(const char* Name) {
  using R = typename T::TClassRecord;
  R r;
  r.Name = Name;
  if constexpr (HasInherited<T>) r.Parent = T::inherited::StaticClass();
  r.Factory = R::template FactoryFor<T>();
  R::template Complete<T>(r);
  return r;
}

}  // namespace designintf

// In the body of a family's root class: the record type, the class's own record and the
// virtual ClassType. Leaves the access at public.
#define DESIGN_ROOT_CLASS(TName, TRecord)                                 \
public:                                                                   \
  using TClassRecord = TRecord;                                           \
  static const TClassRecord* StaticClass();                               \
  virtual const TClassRecord* ClassType() const { return StaticClass(); } \
  ::designintf::String ClassName() const { return ClassType()->Name; }

// In the body of a derived class. Leaves the access at public.
#define DESIGN_CLASS(TName, TBase)          \
public:                                     \
  using inherited = TBase;                  \
  static const TClassRecord* StaticClass(); \
  const TClassRecord* ClassType() const override { return StaticClass(); }

// In one source file, inside the class's namespace.
#define DESIGN_CLASS_IMPL(TName)                                                          \
  const TName::TClassRecord* TName::StaticClass() {                                       \
    static const TName::TClassRecord info = ::designintf::MakeClassRecord<TName>(#TName); \
    return &info;                                                                         \
  }
