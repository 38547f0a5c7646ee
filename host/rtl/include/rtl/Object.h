// TObject, class records and class-verifying casts: the root of the object model.
//
// Every class of the object model declares RTL_CLASS(TClassName, TBase) in its body and defines
// its class record with rtl::ClassBuilder (Rtti.h). The record names the class, its parent, how
// to create one, and its published properties and methods.
#pragma once

#include "rtl/Exceptions.h"

#include <string>

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

// The Pascal `as`: nil stays nil, an object of another class raises EInvalidCast.
template <class T, class S>
T* As(S* obj) {
  if (!obj) return nullptr;
  if (auto* t = dynamic_cast<T*>(obj)) return t;
  RaiseInvalidCast();
}

// The Pascal `is`: false for nil.
template <class T, class S>
bool Is(const S* obj) {
  return dynamic_cast<const T*>(obj) != nullptr;
}

}  // namespace rtl
