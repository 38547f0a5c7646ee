// The text form-file reader and writer: any bytes either fail to parse with an EParserError or
// parse; a module that reads is written, read again and written again, and both writings must be
// the same bytes (a round trip that changes the module loses what the user had).
#include "FuzzTarget.h"
#include "ModuleRoundTrip.h"

#include "korv/Korv.h"
#include "rtl/FormParser.h"
#include "rtl/FormPrinter.h"
#include "rtl/Rtti.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
  // The library's classes must be known, so that its components are read as themselves; naming
  // one keeps the library linked.
  static const bool libraryLinked = rtl::GetClass("TKVQuery") == korv::TKVQuery::StaticClass();
  korvfuzz::Check(libraryLinked, "the component library's classes are not registered");
  const std::string_view text = korvfuzz::AsText(Data, Size);
  try {
    rtl::TDfmObject tree = rtl::ParseFormText(text, "fuzz.dfm");
    // The printer's canonical text parses to a tree that prints the same.
    const rtl::String printed = rtl::PrintFormText(tree);
    korvfuzz::Check(rtl::PrintFormText(rtl::ParseFormText(printed, "printed.dfm")) == printed,
                    "the printed text of a parsed form prints differently once parsed again");
  } catch (const rtl::Exception&) {
    return 0;
  }

  korvfuzz::CheckModuleRoundTrip(text, rtl::TDfmFormat::dfText);
  return 0;
}
