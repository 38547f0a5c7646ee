// What the form-file layer keeps for a component beyond its published properties, stored with
// TComponent::SetStreamExtras: properties no class knows, references it could not resolve, and
// how the object was written (inherited/inline, [index]). Shared by reader and writer only.
#pragma once

#include "rtl/FormFile.h"
#include "rtl/Object.h"
#include "rtl/SysUtils.h"

#include <map>

namespace rtl {

// The properties of one context (the component itself, or one collection item of it), with the
// file order of all of its properties so that kept ones go back where they were.
struct TFormLeftovers {
  std::vector<String> Order;                           // every property name of the context, in file order
  std::vector<std::pair<size_t, TDfmProperty>> Props;  // kept ones, with their index in Order
};

class TFormExtras : public TObject {
public:
  TDfmObjectKind Kind = TDfmObjectKind::okObject;
  std::optional<int64_t> Index;
  // Keyed by context: "" for the component, "/items[2]" style paths for collection items.
  std::map<String, TFormLeftovers> Contexts;

  bool Empty() const {
    if (Kind != TDfmObjectKind::okObject || Index) return false;
    for (const auto& [key, ctx] : Contexts)
      if (!ctx.Props.empty()) return false;
    return true;
  }
};

// The context of item Index of the collection property PropName (dotted, as written) inside
// context Ctx.
inline String FormItemContext(const String& Ctx, const String& PropName, int Index) {
  return Ctx + "/" + FoldCase(PropName) + "[" + std::to_string(Index) + "]";
}

}  // namespace rtl
