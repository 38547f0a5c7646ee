// The binary form-file reader and writer: any bytes either fail with an EParserError or parse;
// what parses is written canonically, and that writing must read back and write the same bytes,
// directly and by way of the text format (a conversion that changes the module loses data).
// A module read from the bytes and written as binary must read back and write the same, too.
#include "FuzzTarget.h"

#include "korv/Korv.h"
#include "rtl/FormBinary.h"
#include "rtl/FormPrinter.h"
#include "rtl/FormReader.h"
#include "rtl/FormWriter.h"
#include "rtl/Rtti.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
  static const bool libraryLinked = rtl::GetClass("TKVQuery") == korv::TKVQuery::StaticClass();
  korvfuzz::Check(libraryLinked, "the component library's classes are not registered");
  const std::string_view bytes = korvfuzz::AsText(Data, Size);
  rtl::String binary;
  try {
    binary = rtl::PrintFormBinary(rtl::ParseFormBinary(bytes, "fuzz.dfm"));
  } catch (const rtl::Exception&) {
    return 0;  // refused on reading, or a value the writer cannot hold
  }
  try {
    const rtl::TDfmObject again = rtl::ParseFormBinary(binary, "written.dfm");
    korvfuzz::Check(rtl::PrintFormBinary(again) == binary, "a binary file written by the writer writes differently");
    const rtl::String text = rtl::PrintFormText(again);
    korvfuzz::Check(rtl::PrintFormBinary(rtl::ParseFormText(text, "text.dfm")) == binary,
                    "a binary module converted to text and back changes");
  } catch (const rtl::Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    korvfuzz::Broken("a binary file written by the writer does not read back, or not as text");
  }

  std::unique_ptr<rtl::TComponent> module;
  try {
    module = rtl::ReadModule(bytes, "fuzz.dfm");
  } catch (const rtl::Exception&) {
    return 0;
  }
  rtl::String first;
  try {
    first = rtl::WriteModule(module.get(), rtl::TDfmFormat::dfBinary);
  } catch (const rtl::Exception&) {
    return 0;
  }
  module.reset();
  std::unique_ptr<rtl::TComponent> again;
  try {
    again = rtl::ReadModule(first, "written.dfm");
  } catch (const rtl::Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    korvfuzz::Broken("a module written as binary does not read back");
  }
  korvfuzz::Check(rtl::WriteModule(again.get(), rtl::TDfmFormat::dfBinary) == first,
                  "a module read back from its own binary writing writes differently");
  return 0;
}
