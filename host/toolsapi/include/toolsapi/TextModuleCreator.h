// A text module on the string-list file system, as its creator describes it to the module
// services: the one base of the creators that open a property's lines in the code editor. It
// answers every question of a module creator as such a module does (raw text, no form, no
// interface part, in no project, its source shown); a creator gives its file name, whether the
// module exists already, and its source.
#pragma once

#include "toolsapi/StringsFileSystem.h"
#include "toolsapi/ToolsAPI.h"

#include <memory>

namespace toolsapi {

// A module's source text and its age, as the module services read them.
class TSourceFile : public TInterfacedObject, public IOTAFile {
public:
  TSourceFile(String ASource, rtl::TDateTime AAge) : FSource(std::move(ASource)), FAge(AAge) {}

  String GetSource() override { return FSource; }
  rtl::TDateTime GetAge() override { return FAge; }

private:
  String FSource;
  rtl::TDateTime FAge;
};

class TTextModuleCreator : public TInterfacedObject, public IOTAModuleCreator {
public:
  TTextModuleCreator(String AFileName, bool AExisting) : FFileName(std::move(AFileName)), FExisting(AExisting) {}

  // IOTACreator
  String GetCreatorType() override { return sText; }
  bool GetExisting() override { return FExisting; }
  String GetFileSystem() override { return sTStringsFileSystem; }
  std::shared_ptr<IOTAModule> GetOwner() override { return nullptr; }
  bool GetUnnamed() override { return false; }

  // IOTAModuleCreator; NewImplSource, the text, is the creator's own.
  String GetAncestorName() override { return {}; }
  String GetImplFileName() override { return FFileName; }
  String GetIntfFileName() override { return {}; }
  String GetFormName() override { return {}; }
  bool GetMainForm() override { return false; }
  bool GetShowForm() override { return false; }
  bool GetShowSource() override { return true; }
  std::shared_ptr<IOTAFile> NewFormFile(const String&, const String&) override { return nullptr; }
  std::shared_ptr<IOTAFile> NewIntfSource(const String&, const String&, const String&) override { return nullptr; }
  void FormCreated(const std::shared_ptr<IOTAFormEditor>&) override {}

private:
  String FFileName;
  bool FExisting;
};

}  // namespace toolsapi
