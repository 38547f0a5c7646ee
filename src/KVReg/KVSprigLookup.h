// Lookups among a node's children that the placement of the package's nodes shares.
#pragma once

#include "designintf/Sprigs.h"
#include "rtl/SysUtils.h"

namespace dclkorv {

// The first direct child of ANode that is a T and whose lookup name (Name) equals AName,
// letter case ignored; nil when none. Restricting the class keeps a node of another kind that
// happens to bear the name (a component named like a session) from being taken for it.
template <class T>
T* FindChildSprig(designintf::TSprig* ANode, const rtl::String& AName) {
  for (designintf::TSprig* candidate : ANode->ChildrenNamed(AName))
    if (auto* child = dynamic_cast<T*>(candidate)) return child;
  return nullptr;
}

}  // namespace dclkorv
