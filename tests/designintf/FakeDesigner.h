// A designer for tests: counts Modified, keeps a selection, records shown methods.
#pragma once

#include "designintf/Designer.h"
#include "rtl/SysUtils.h"

namespace designtest {

class TFakeDesigner : public designintf::IDesigner {
public:
  explicit TFakeDesigner(rtl::TComponent* ARoot = nullptr) : Root(ARoot) {}

  void Modified() override { ++ModifiedCount; }
  rtl::TComponent* GetRoot() override { return Root; }
  std::string GetDesignerExtension() override { return "dfm"; }
  designintf::TDesignerSelections GetSelections() override { return Selection; }
  void SetSelections(const designintf::TDesignerSelections& List) override { Selection = List; }
  std::string UniqueName(const std::string& BaseName) override { return BaseName.substr(1) + "1"; }
  void ShowMethod(const std::string& Name) override { ShownMethods.push_back(Name); }

  rtl::TComponent* Root;
  int ModifiedCount = 0;
  designintf::TDesignerSelections Selection;
  std::vector<std::string> ShownMethods;
};

}  // namespace designtest
