// What the library's dialogs share: finding the controls of a form description by name.
#pragma once

#include "rtl/Exceptions.h"
#include "vcl/Forms.h"

#include <fmt/format.h>

namespace korv::dialogs {

// The control of that name and class on Form; a description that lacks it is a build fault,
// reported with the form's class and the name.
template <class T>
T* FindControl(vcl::TForm* Form, const char* Name) {
  T* control = dynamic_cast<T*>(Form->FindComponent(Name));
  if (!control)
    throw rtl::EComponentError(
        fmt::format("The description of {} has no {} named {}", Form->ClassName(), T::StaticClass()->Name, Name));
  return control;
}

} // namespace korv::dialogs
