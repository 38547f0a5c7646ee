// The fields editor: a data set's field definitions, one per line (controls: HostDialogs.h).
#pragma once

#include "designer/DataSetFieldDefs.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace designer {

using rtl::String;

class TFieldsEditorForm : public vcl::TForm {
  RTL_CLASS(TFieldsEditorForm, vcl::TForm)
  explicit TFieldsEditorForm(rtl::TComponent* AOwner);
  ~TFieldsEditorForm() override;

  vcl::TListBox* lbFields = nullptr;
  vcl::TLabel* lblFieldInfo = nullptr;
  vcl::TLabel* lblCount = nullptr;
  vcl::TButton* btOk = nullptr;

  // Fills the list; the caption names the data set as "<Root>.<DataSet> Fields".
  void Initialize(const String& Root, rtl::TComponent* DataSet, const std::vector<TFieldDefInfo>& Defs);

  void lbFieldsClick(rtl::TObject* Sender);

private:
  std::vector<TFieldDefInfo> FDefs;
};

}  // namespace designer
