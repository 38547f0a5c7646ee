#include "designer/FieldsEditor.h"

#include "FormControls.h"

#include "rtl/Rtti.h"

extern const char DesignerFieldsEditorDfm[];

namespace designer {

rtl::TClass TFieldsEditorForm::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TFieldsEditorForm>("TFieldsEditorForm")
                                .Method("lbFieldsClick", &TFieldsEditorForm::lbFieldsClick)
                                .Field("lbFields", &TFieldsEditorForm::lbFields)
                                .Field("lblFieldInfo", &TFieldsEditorForm::lblFieldInfo)
                                .Field("lblCount", &TFieldsEditorForm::lblCount)
                                .Field("btOk", &TFieldsEditorForm::btOk)
                                .Build();
  return info;
}

static const vcl::TFormDescriptionRegistration FieldsEditorDescription(&TFieldsEditorForm::StaticClass,
                                                                       DesignerFieldsEditorDfm, "FieldsEditor.dfm");

TFieldsEditorForm::TFieldsEditorForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}
TFieldsEditorForm::~TFieldsEditorForm() = default;

void TFieldsEditorForm::Initialize(const String& Root, rtl::TComponent* DataSet,
                                   const std::vector<TFieldDefInfo>& Defs) {
  FDefs = Defs;
  String name = DataSet->Name();
  SetCaption(rtl::Format("{} Fields", Root.empty() ? name : Root + "." + name));
  lbFields->Items()->Clear();
  for (const auto& d : FDefs) lbFields->Items()->Add(d.Name);
  lblCount->SetCaption(CountText(static_cast<int>(FDefs.size()), "field"));
  lblFieldInfo->SetCaption("");
}

void TFieldsEditorForm::lbFieldsClick(rtl::TObject*) {
  int i = lbFields->ItemIndex();
  if (i < 0 || i >= static_cast<int>(FDefs.size())) {
    lblFieldInfo->SetCaption("");
    return;
  }
  const TFieldDefInfo& d = FDefs[static_cast<size_t>(i)];
  lblFieldInfo->SetCaption(rtl::Format(
      "{}: {}, size {}{}{}", d.Name, rtl::GetEnumName(rtl::TypeInfo_TFieldType(), static_cast<int>(d.DataType)), d.Size,
      d.Precision > 0 ? rtl::Format(", precision {}", d.Precision) : "", d.Required ? ", required" : ""));
}

}  // namespace designer
