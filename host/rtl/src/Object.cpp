#include "rtl/Component.h"

namespace rtl {

TClass TObject::StaticClass() {
  static TClass info = ClassBuilder<TObject, void>("TObject").Build();
  return info;
}

String TObject::ClassName() const { return ClassType()->Name; }

bool TObject::InheritsFrom(TClass aClass) const { return ClassType()->InheritsFrom(aClass); }

void RaiseInvalidCast() { throw EInvalidCast("Invalid class typecast"); }

}  // namespace rtl
