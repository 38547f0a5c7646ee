// Helpers for the class records of controls: an event field of a base class as a field of the
// class being described (ClassBuilder deduces the event's signature from it).
#pragma once

#include "rtl/Rtti.h"

namespace vcl::detail {

template <class T, class Sig, class B>
rtl::TEvent<Sig> T::*Field(rtl::TEvent<Sig> B::*f) {
  return static_cast<rtl::TEvent<Sig> T::*>(f);
}

}  // namespace vcl::detail
