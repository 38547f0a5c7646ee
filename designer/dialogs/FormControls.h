// Finding a dialog's controls after its description was read.
#pragma once

#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

namespace designer {

// The control of that name and class; a description that lacks it is a build fault.
template <class T>
T* FindFormControl(const vcl::TForm* Form, const char* Name) {
  T* c = dynamic_cast<T*>(Form->FindComponent(Name));
  if (!c)
    throw rtl::EComponentError(rtl::Format("{} has no {} named {}", Form->ClassName(), T::StaticClass()->Name, Name));
  return c;
}

// "<n> <noun>s", "1 <noun>".
inline std::string CountText(int Count, const char* Noun) {
  return rtl::Format("{} {}{}", Count, Noun, Count == 1 ? "" : "s");
}

} // namespace designer
