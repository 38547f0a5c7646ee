// The string type of the whole system: UTF-8 text in a std::string, declared once here and
// taken by name (using rtl::String) in every other layer.
#pragma once

#include <string>

namespace rtl {

using String = std::string;

}  // namespace rtl
