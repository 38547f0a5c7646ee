// What the form-file targets share: a module read from the bytes is written in Format, read
// back and written again, and both writings must be the same bytes (a round trip that changes
// the module loses what the user had).
#pragma once

#include "FuzzTarget.h"

#include "rtl/FormReader.h"
#include "rtl/FormWriter.h"

#include <cstdio>

namespace korvfuzz {

inline void CheckModuleRoundTrip(std::string_view Bytes, rtl::TDfmFormat Format) {
  std::unique_ptr<rtl::TComponent> module;
  try {
    module = rtl::ReadModule(Bytes, "fuzz.dfm");
  } catch (const rtl::Exception&) {
    return;  // a value a property cannot take, a duplicate name: refused, nothing kept
  }
  rtl::String first;
  try {
    first = rtl::WriteModule(module.get(), Format);
  } catch (const rtl::Exception&) {
    return;  // a module a property's setter took but cannot write back: refused on saving
  }
  module.reset();
  std::unique_ptr<rtl::TComponent> again;
  try {
    again = rtl::ReadModule(first, "written.dfm");
  } catch (const rtl::Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    Broken("a module written by the writer does not read back");
  }
  Check(rtl::WriteModule(again.get(), Format) == first, "a module read back from its own writing writes differently");
}

}  // namespace korvfuzz
