// The text form-file reader and writer: any bytes either fail to parse with an EParserError or
// parse; a module that reads is written, read again and written again, and both writings must be
// the same bytes (a round trip that changes the module loses what the user had).
#include "FuzzTarget.h"

#include "korv/Korv.h"
#include "rtl/FormParser.h"
#include "rtl/FormPrinter.h"
#include "rtl/FormReader.h"
#include "rtl/FormWriter.h"
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

  std::unique_ptr<rtl::TComponent> module;
  try {
    module = rtl::ReadModule(text, "fuzz.dfm");
  } catch (const rtl::Exception&) {
    return 0;  // a value a property cannot take, a duplicate name: refused, nothing kept
  }
  rtl::String first;
  try {
    first = rtl::WriteModule(module.get());
  } catch (const rtl::Exception&) {
    return 0;  // a module a property's setter took but cannot write back: refused on saving
  }
  module.reset();
  std::unique_ptr<rtl::TComponent> again;
  try {
    again = rtl::ReadModule(first, "written.dfm");
  } catch (const rtl::Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    korvfuzz::Broken("a module written by the writer does not read back");
  }
  korvfuzz::Check(rtl::WriteModule(again.get()) == first, "a module read back from its own writing writes differently");
  return 0;
}
