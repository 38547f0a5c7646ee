// What the designer's dialogs share.
#pragma once

#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

namespace designer {

// "<n> <noun>s", "1 <noun>".
inline std::string CountText(int Count, const char* Noun) {
  return rtl::Format("{} {}{}", Count, Noun, Count == 1 ? "" : "s");
}

}  // namespace designer
