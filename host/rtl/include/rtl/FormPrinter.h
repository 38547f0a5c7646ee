// Syntax tree to text, in the canonical layout.
//
// Two blanks of indentation per level; `object Name: TClass`; strings as quoted runs of
// printable ASCII (a quote doubled) and #n for everything else (UTF-16 code units); a string
// longer than 64 characters starts on its own, deeper line and is cut every 64 characters into
// parts joined by ` +`; lists one value per line with `)` after the last; sets as `[a, b]`;
// binary data as hex lines of 32 bytes; collections as
//   Params = <
//     item
//       Name = 'x'
//     end>
// Lines end with a line feed. Printing a parsed canonical text gives the same bytes.
#pragma once

#include "rtl/FormFile.h"

namespace rtl {

String PrintFormText(const TDfmObject& Root);

// Appends Obj at nesting Level: with Children, the whole object through its "end"; without,
// only its header line and properties (the caller writes the rest, e.g. one nested object at
// a time, then Level's "end").
void PrintFormObject(String& Out, const TDfmObject& Obj, int Level, bool Children = true);

// One value as it would follow `Name = ` at the given nesting level (0: the root's header).
String PrintFormValue(const TDfmValue& Value, int Level = 1);

}  // namespace rtl
