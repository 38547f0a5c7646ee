// Components to form file: writes a module in the canonical text layout (FormPrinter.h).
//
// Per component: the stored properties that differ from their defaults (IsStoredProp) in
// class-record order, ancestors first; owned sub-objects as dotted names (Font.Name); a
// non-empty TStrings as `X.Strings = (...)`; a non-empty collection as `<item ... end>`;
// references by name ("Owner" for the root, "Owner.Name" for another module's component);
// events by method name. Properties and components kept by the reader go back at their place.
// Nested components in TComponent::GetChildren order.
#pragma once

#include "rtl/Component.h"
#include "rtl/FormFile.h"

namespace rtl {

// The text layout, or with a binary Format the binary object stream (FormBinary.h) of the same
// tree.
String WriteModule(TComponent* Root, TDfmFormat Format = TDfmFormat::dfText);

// The syntax tree WriteModule prints.
TDfmObject ModuleToFormTree(TComponent* Root);

// Writes the module to FileName atomically: a failed save leaves the old file as it was.
void SaveModuleToFile(TComponent* Root, const String& FileName, TDfmFormat Format = TDfmFormat::dfText);

}  // namespace rtl
