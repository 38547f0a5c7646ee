// Text form file to syntax tree.
//
// Accepts the platform's text form format: keywords in any letter case; integers in decimal or
// `$hex`; floats with an optional s/c/d suffix; strings made of quoted parts and #n codes
// (decimal UTF-16 code units, surrogate pairs joined) joined by `+` across lines, raw UTF-8
// inside quotes; dotted property names and dotted identifiers; sets, lists, binary data and
// collections; an optional UTF-8 byte-order mark; CR LF, LF or CR line ends.
//
// Every malformed input raises EParserError whose message reads
// `<file>:<line>:<column>: expected <what> but found <what>` (or a like description of what is
// wrong there). Time is linear in the size of the text.
#pragma once

#include "rtl/Exceptions.h"
#include "rtl/FormFile.h"

#include <string_view>

namespace rtl {

// Parses one module: exactly one top-level object, then nothing but blanks.
TDfmObject ParseFormText(std::string_view Text, const String& FileName);

// Receives a module piece by piece, so that a reader need not hold the whole tree at once.
class TFormTextSink {
public:
  virtual ~TFormTextSink() = default;
  // The root object with its properties, before any of its nested objects.
  virtual void Root(TDfmObject& Root) = 0;
  // Each object nested directly in the root, complete, in file order; dropped afterwards.
  virtual void Child(TDfmObject& Child) = 0;
};

// Parses one module into Sink: Root once, then Child for each nested object. The same text
// raises the same errors as the other overload, possibly after some calls to Sink.
void ParseFormText(std::string_view Text, const String& FileName, TFormTextSink& Sink);

// Where a node came from: "Shop.dfm:12:5" (or "Shop.dfm:12" without Column) in a text file,
// "Shop.dfm: byte 120" in a binary one.
String FormPlace(const String& FileName, TDfmPos Pos, bool Column = true);

// Raises EParserError with FormPlace's prefix.
[[noreturn]] void RaiseFormError(const String& FileName, TDfmPos Pos, const String& Message);

}  // namespace rtl
