// The binary form-file reader and writer: any bytes either fail with an EParserError or parse;
// what parses is written canonically, and that writing must read back and write the same bytes,
// directly and by way of the text format (a conversion that changes the module loses data).
// A module read from the bytes and written as binary must read back and write the same, too.
#include "FuzzTarget.h"
#include "ModuleRoundTrip.h"

#include "korv/Korv.h"
#include "rtl/FormBinary.h"
#include "rtl/FormPrinter.h"
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

  korvfuzz::CheckModuleRoundTrip(bytes, rtl::TDfmFormat::dfBinary);
  return 0;
}
