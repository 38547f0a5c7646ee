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
#include "toolsapi/StringsFileSystem.h"
#include "toolsapi/ToolsAPI.h"

#include <memory>

namespace dclkorv {

// A module's source text and its age, as the module services read them.
class TOTAFile : public toolsapi::TInterfacedObject, public toolsapi::IOTAFile {
public:
  TOTAFile(String ASource, rtl::TDateTime AAge) : FSource(std::move(ASource)), FAge(AAge) {}

  String GetSource() override { return FSource; }
  rtl::TDateTime GetAge() override { return FAge; }

private:
  String FSource;
  rtl::TDateTime FAge;
};

// Describes a text module named after a component's property, on the string-list file system
// and in no project. The creator owns the stream holding the text.
class TStringsModuleCreator : public toolsapi::TInterfacedObject, public toolsapi::IOTAModuleCreator {
public:
  TStringsModuleCreator(String FileName, std::unique_ptr<rtl::TStringStream> Stream, rtl::TDateTime Age)
      : FFileName(std::move(FileName)), FStream(std::move(Stream)), FAge(Age) {}

  // IOTACreator
  String GetCreatorType() override { return toolsapi::sText; }
  bool GetExisting() override { return true; }
  String GetFileSystem() override { return toolsapi::sTStringsFileSystem; }
  std::shared_ptr<toolsapi::IOTAModule> GetOwner() override { return nullptr; }
  bool GetUnnamed() override { return false; }

  // IOTAModuleCreator
  String GetAncestorName() override { return {}; }
  String GetImplFileName() override { return FFileName; }
  String GetIntfFileName() override { return {}; }
  String GetFormName() override { return {}; }
  bool GetMainForm() override { return false; }
  bool GetShowForm() override { return false; }
  bool GetShowSource() override { return true; }
  std::shared_ptr<toolsapi::IOTAFile> NewFormFile(const String&, const String&) override { return nullptr; }
  // The whole text of the stream, with the age the module was opened at.
  std::shared_ptr<toolsapi::IOTAFile> NewImplSource(const String& ModuleIdent, const String& FormIdent,
                                                    const String& AncestorIdent) override;
  std::shared_ptr<toolsapi::IOTAFile> NewIntfSource(const String&, const String&, const String&) override {
    return nullptr;
  }
  void FormCreated(const std::shared_ptr<toolsapi::IOTAFormEditor>&) override {}

private:
  String FFileName;
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

} // namespace dclkorv
