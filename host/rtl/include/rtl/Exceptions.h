// Exception hierarchy of the run-time layer. Every failure a caller can act on is one of these;
// each carries a message meant for the user.
#pragma once

#include "rtl/Types.h"

#include <exception>
#include <string>

namespace rtl {

class Exception : public std::exception {
public:
  explicit Exception(String message) : FMessage(std::move(message)) {}
  const char* what() const noexcept override { return FMessage.c_str(); }
  const String& Message() const noexcept { return FMessage; }
  void SetMessage(String message) { FMessage = std::move(message); }

private:
  String FMessage;
};

// Base may be qualified (rtl::Exception): the alias lets its constructors be inherited by name.
#define RTL_DECLARE_EXCEPTION(Name, Base)           \
  class Name : public Base {                        \
    using TInheritedException = Base;               \
                                                    \
  public:                                           \
    using TInheritedException::TInheritedException; \
  };

RTL_DECLARE_EXCEPTION(EInvalidCast, Exception)
RTL_DECLARE_EXCEPTION(EAssertionFailed, Exception)
RTL_DECLARE_EXCEPTION(EConvertError, Exception)
RTL_DECLARE_EXCEPTION(EListError, Exception)
RTL_DECLARE_EXCEPTION(EComponentError, Exception)
RTL_DECLARE_EXCEPTION(EPropertyError, Exception)
RTL_DECLARE_EXCEPTION(EClassNotFound, Exception)
RTL_DECLARE_EXCEPTION(EStreamError, Exception)
RTL_DECLARE_EXCEPTION(EFOpenError, EStreamError)
RTL_DECLARE_EXCEPTION(EFCreateError, EStreamError)
RTL_DECLARE_EXCEPTION(EParserError, Exception)
RTL_DECLARE_EXCEPTION(EIniFileException, Exception)
RTL_DECLARE_EXCEPTION(EDatabaseError, Exception)
RTL_DECLARE_EXCEPTION(EIntfCastError, Exception)

// Raises EAssertionFailed with the text the platform's Assert gives: message, source and line.
[[noreturn]] void AssertionFailed(const String& message, const String& fileName, int line);

}  // namespace rtl
