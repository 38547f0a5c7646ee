// The code-editor bridge: a component's string-list property opened as a text module of the
// designer's code editor, on the string-list file system that ties the module to the property.
//
// OpenStringsModule, ShowStringsModule and CloseStringsModule (KVShared.h) are built on the two
// classes here: the creator that describes the module to the module services and the file that
// hands them its text.
#pragma once

#include "KVShared.h"

#include "rtl/Streams.h"
#include "rtl/SysUtils.h"
#include "toolsapi/TextModuleCreator.h"

#include <memory>

namespace dclkorv {

// A module's source text and its age, as the module services read them.
class TOTAFile : public toolsapi::TSourceFile {
public:
  using toolsapi::TSourceFile::TSourceFile;
};

// Describes a text module named after a component's property, on the string-list file system
// and in no project: an existing module, whose text the creator's stream holds.
class TStringsModuleCreator : public toolsapi::TTextModuleCreator {
public:
  TStringsModuleCreator(String FileName, std::unique_ptr<rtl::TStringStream> Stream, rtl::TDateTime Age)
      : toolsapi::TTextModuleCreator(std::move(FileName), true), FStream(std::move(Stream)), FAge(Age) {}

  // The whole text of the stream, with the age the module was opened at.
  std::shared_ptr<toolsapi::IOTAFile> NewImplSource(const String& ModuleIdent, const String& FormIdent,
                                                    const String& AncestorIdent) override;

private:
  std::unique_ptr<rtl::TStringStream> FStream;
  rtl::TDateTime FAge;
};

// The module name of property PropName of Component in Designer's module:
// "<designer extension>.<root>.<component>.<property>", empty unless Component is a component
// the designer's named root owns.
String StringsModuleFileName(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropName);
// The name the open module is looked up by: the module name without its designer extension
// ("Form1.Query1.SQL"); empty in the same cases.
String StringsModuleLookupName(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropName);

}  // namespace dclkorv
