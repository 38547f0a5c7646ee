// TObject, class records and class-verifying casts: the root of the object model.
//
// Every class of the object model declares RTL_CLASS(TClassName, TBase) in its body and defines
// its class record with rtl::ClassBuilder (Rtti.h). The record names the class, its parent, how
// to create one, and its published properties and methods.
#pragma once

#include "rtl/Exceptions.h"

#include <cassert>
#include <string>
#include <type_traits>

namespace rtl {

class TObject;
struct TClassInfo;
using TClass = const TClassInfo*;

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  // The class name. Virtual so that an object standing in for a class nobody registered (a
  // user's TDataModule1, an unknown component kept from a form file) can answer with its own.
  virtual String ClassName() const;
  bool InheritsFrom(TClass aClass) const;
};

// Declares the class-record plumbing inside a class body; leaves the access at public.
#define RTL_CLASS(TClassName, TBase)  \
public:                               \
  using inherited = TBase;            \
  static ::rtl::TClass StaticClass(); \
  ::rtl::TClass ClassType() const override { return StaticClass(); }

[[noreturn]] void RaiseInvalidCast();

namespace detail {

// Whether T declares its own class record (RTL_CLASS in its body) and an S* converts to a T*
// without a run-time walk: then "is a T" is the class record's ancestry, a few pointer steps,
// instead of dynamic_cast's walk of the C++ type tree.
template <class T, class S>
concept RecordCast =
    std::is_same_v<decltype(&std::remove_cv_t<T>::ClassType), TClass (std::remove_cv_t<T>::*)() const> &&
    std::is_base_of_v<TObject, S> && requires(S* s) {
  static_cast<T*>(s);
};

}  // namespace detail

// `if obj is T then T(obj)`: the object as a T, or nil when it is nil or not a T.
template <class T, class S>
T* Cast(S* obj) {
  if (!obj) return nullptr;
  if constexpr (detail::RecordCast<T, S>) {
    const bool is = static_cast<const TObject*>(obj)->InheritsFrom(T::StaticClass());
    assert(is == (dynamic_cast<T*>(obj) != nullptr) && "a class record's ancestry follows the C++ classes");
    return is ? static_cast<T*>(obj) : nullptr;
  } else {
    return dynamic_cast<T*>(obj);
  }
}

// The Pascal `as`: nil stays nil, an object of another class raises EInvalidCast.
template <class T, class S>
T* As(S* obj) {
  if (!obj) return nullptr;
  if (auto* t = Cast<T>(obj)) return t;
  RaiseInvalidCast();
}

// The Pascal `is`: false for nil.
template <class T, class S>
bool Is(const S* obj) {
  return Cast<const T>(obj) != nullptr;
}

}  // namespace rtl
