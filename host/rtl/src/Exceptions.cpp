#include "rtl/Exceptions.h"

#include <fmt/format.h>

namespace rtl {

void AssertionFailed(const String& message, const String& fileName, int line) {
  throw EAssertionFailed(fmt::format("{} ({}, line {})", message, fileName, line));
}

}  // namespace rtl
