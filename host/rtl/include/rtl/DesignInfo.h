// Where a non-visual component sits on its module's design surface. The form file holds it as
// the component's "Left" and "Top" lines, which the form designer streams from the component's
// DesignInfo: left in the low word, top in the high word. They are kept with the component's
// other form-file properties, so reading and writing a module moves nothing.
#pragma once

#include "rtl/Component.h"

#include <cstdint>
#include <optional>

namespace rtl {

struct TDesignPosition {
  int Left = 0;
  int Top = 0;
};

// The position the form file gave (or SetDesignPosition set); nothing when it has no Left and
// Top lines.
std::optional<TDesignPosition> DesignPosition(const TComponent* Component);
// Sets the position written back as the component's Left and Top lines (each 0 to 65535).
void SetDesignPosition(TComponent* Component, TDesignPosition Position);

// The same packed as the designer's DesignInfo: left in the low word, top in the high word (0
// when the component has no position).
int32_t DesignInfo(const TComponent* Component);
void SetDesignInfo(TComponent* Component, int32_t Value);

}  // namespace rtl
