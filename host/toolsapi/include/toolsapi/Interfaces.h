// Reference-counted interfaces: the base every open tools interface derives from, the base of
// the objects implementing them, and the checked interface cast.
//
// An interface reference is a std::shared_ptr<I>. An object that implements interfaces derives
// from TInterfacedObject and the interfaces (each deriving virtually from IInterface) and is
// made with std::make_shared; it lives while anyone holds a reference.
#pragma once

#include "rtl/Exceptions.h"

#include <memory>

namespace toolsapi {

using rtl::String;

class IInterface {
public:
  virtual ~IInterface() = default;
};

class TInterfacedObject : public virtual IInterface, public std::enable_shared_from_this<TInterfacedObject> {
public:
  // A reference to this object as interface I (nil when it does not implement I).
  template <class I>
  std::shared_ptr<I> GetInterface() {
    return std::dynamic_pointer_cast<I>(shared_from_this());
  }
};

// The object behind Intf as interface I; nil when Intf is nil or does not implement I.
template <class I, class T>
std::shared_ptr<I> Supports(const std::shared_ptr<T>& Intf) {
  return std::dynamic_pointer_cast<I>(Intf);
}

template <class I, class T>
bool Supports(const std::shared_ptr<T>& Intf, std::shared_ptr<I>& Out) {
  Out = std::dynamic_pointer_cast<I>(Intf);
  return Out != nullptr;
}

// The checked cast: raises EIntfCastError "Interface not supported" when Intf is nil or does
// not implement I.
template <class I, class T>
std::shared_ptr<I> As(const std::shared_ptr<T>& Intf) {
  std::shared_ptr<I> result = std::dynamic_pointer_cast<I>(Intf);
  if (!result) throw rtl::EIntfCastError("Interface not supported");
  return result;
}

}  // namespace toolsapi
