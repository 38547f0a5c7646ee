#include "designer/StringListEditor.h"

#include "FormControls.h"

#include "toolsapi/TextModuleCreator.h"

extern const char DesignerStringListEditorDfm[];

namespace designer {

namespace {

// A new text module on the string-list file system holding the lines.
class TStringListModuleCreator : public toolsapi::TTextModuleCreator {
public:
  TStringListModuleCreator(String AFileName, String AText, rtl::TDateTime AAge)
      : toolsapi::TTextModuleCreator(std::move(AFileName), false), FText(std::move(AText)), FAge(AAge) {}

  std::shared_ptr<toolsapi::IOTAFile> NewImplSource(const String&, const String&, const String&) override {
    return std::make_shared<toolsapi::TSourceFile>(FText, FAge);
  }

private:
  String FText;
  rtl::TDateTime FAge;
};

std::shared_ptr<toolsapi::IOTAModuleServices> ModuleServices() {
  return toolsapi::As<toolsapi::IOTAModuleServices>(toolsapi::BorlandIDEServices);
}

}  // namespace

// ---------------------------------------------------------------------------- module route

String StringListModuleName(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropertyName) {
  auto* component = dynamic_cast<rtl::TComponent*>(Component);
  if (!Designer || !component) return {};
  return toolsapi::StringsModuleName(Designer->GetDesignerExtension(), Designer->GetRoot(), component, PropertyName);
}

bool OpenStringListModule(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropertyName,
                          const rtl::TStrings& Lines, bool Modified) {
  auto services = ModuleServices();
  String name = StringListModuleName(Designer, Component, PropertyName);
  if (name.empty())
    throw rtl::EComponentError(
        rtl::Format("{} cannot be opened in the code editor: its component is not part of "
                    "a named module",
                    PropertyName));
  toolsapi::StFilSys::Register();
  const rtl::TDateTime age = rtl::Now();
  auto module = services->CreateModule(std::make_shared<TStringListModuleCreator>(name, Lines.Text(), age));
  if (!module) return false;
  // The file system carries the module's text into the property when the module is saved.
  toolsapi::StringsFileSystem->GetTStringsProperty(name, dynamic_cast<rtl::TComponent*>(Component), PropertyName)
      ->SetDiskAge(rtl::DateTimeToFileDate(age));
  if (auto editor = module->GetModuleFileEditor(0)) {
    if (Modified) editor->MarkModified();
    editor->Show();
  }
  return true;
}

bool ShowStringListModule(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropertyName) {
  String name = StringListModuleName(Designer, Component, PropertyName);
  if (name.empty() || !toolsapi::BorlandIDEServices) return false;
  auto services = toolsapi::Supports<toolsapi::IOTAModuleServices>(toolsapi::BorlandIDEServices);
  auto module = services ? services->FindModule(name) : nullptr;
  if (!module || module->GetModuleFileCount() < 1) return false;
  module->GetModuleFileEditor(0)->Show();
  return true;
}

// ---------------------------------------------------------------------------- the dialog

rtl::TClass TStringListEditorForm::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TStringListEditorForm>("TStringListEditorForm")
                                .Method("meLinesChange", &TStringListEditorForm::meLinesChange)
                                .Field("lblLineCount", &TStringListEditorForm::lblLineCount)
                                .Field("meLines", &TStringListEditorForm::meLines)
                                .Field("btCodeEditor", &TStringListEditorForm::btCodeEditor)
                                .Field("btOk", &TStringListEditorForm::btOk)
                                .Field("btCancel", &TStringListEditorForm::btCancel)
                                .Build();
  return info;
}

static const vcl::TFormDescriptionRegistration StringListEditorDescription(&TStringListEditorForm::StaticClass,
                                                                           DesignerStringListEditorDfm,
                                                                           "StringListEditor.dfm");

TStringListEditorForm::TStringListEditorForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}
TStringListEditorForm::~TStringListEditorForm() = default;

void TStringListEditorForm::Initialize(const rtl::TStrings& Lines, bool CodeEditorAllowed) {
  meLines->Lines()->BeginUpdate();
  meLines->Lines()->Clear();
  meLines->Lines()->AddStrings(&Lines);
  meLines->Lines()->EndUpdate();
  btCodeEditor->SetEnabled(CodeEditorAllowed);
  FModified = false;
  UpdateLineCount();
}

void TStringListEditorForm::meLinesChange(rtl::TObject*) {
  FModified = true;
  UpdateLineCount();
}

void TStringListEditorForm::UpdateLineCount() {
  lblLineCount->SetCaption(CountText(meLines->Lines()->Count(), "line"));
}

}  // namespace designer
