#include "designer/HostDialogs.h"

#include "designer/CollectionEditor.h"
#include "designer/DataSetFieldDefs.h"
#include "designer/FieldLinkDesigner.h"
#include "designer/FieldsEditor.h"
#include "designer/StringListEditor.h"

#include "designintf/DBEditors.h"
#include "toolsapi/ToolsAPI.h"
#include "vcl/Dialogs.h"

namespace designer {

namespace {

String RootName(designintf::IDesigner* Designer, rtl::TComponent* Component) {
  if (Designer && Designer->GetRoot()) return Designer->GetRoot()->Name();
  return Component && Component->Owner() ? Component->Owner()->Name() : String();
}

}  // namespace

void TDesignerHostDialogs::ShowFieldsEditor(designintf::IDesigner* Designer, rtl::TComponent* DataSet,
                                            designintf::TDSDesignerClass DesignerClass) {
  auto* dataSet = rtl::As<rtl::TDataSet>(DataSet);
  std::vector<TFieldDefInfo> defs;
  try {
    defs = ReadFieldDefs(dataSet);
  } catch (const rtl::EDatabaseError& e) {
    vcl::MessageDlg(e.Message(), vcl::mtError, {vcl::mbOK}, 0);
    return;
  }
  // The data set's designer lives while its fields editor is open.
  std::unique_ptr<designintf::TDSDesigner> dsDesigner;
  if (DesignerClass && DesignerClass->Factory) dsDesigner = DesignerClass->Create(DataSet);
  auto form = vcl::CreateForm<TFieldsEditorForm>(vcl::Application);
  form->Initialize(RootName(Designer, DataSet), DataSet, defs);
  form->ShowModal();
}

void TDesignerHostDialogs::ShowCollectionEditor(designintf::IDesigner* Designer, designintf::TCollectionEditorClass,
                                                rtl::TComponent* Component, rtl::TCollection* Collection,
                                                const String& PropertyName, designintf::TColOptions Options) {
  if (!Collection) throw rtl::EPropertyError(rtl::Format("{} is not a collection", PropertyName));
  auto form = vcl::CreateForm<TCollectionEditorForm>(vcl::Application);
  form->Initialize(Designer, Component, Collection, PropertyName, Options);
  form->ShowModal();
}

bool TDesignerHostDialogs::ExecuteFieldLinkDesigner(designintf::TFieldLinkProperty& Editor) {
  auto form = vcl::CreateForm<TFieldLinkDesignerForm>(vcl::Application);
  form->Initialize(Editor);
  if (form->ShowModal() != vcl::mrOk) return false;
  form->Apply();
  return true;
}

bool TDesignerHostDialogs::EditStrings(designintf::IDesigner* Designer, rtl::TPersistent* Component,
                                       const String& PropertyName, rtl::TStrings* Lines) {
  // A list already open in the code editor is edited there.
  if (ShowStringListModule(Designer, Component, PropertyName)) return false;
  const bool codeEditorAllowed = !StringListModuleName(Designer, Component, PropertyName).empty() &&
                                 toolsapi::Supports<toolsapi::IOTAModuleServices>(toolsapi::BorlandIDEServices);
  auto form = vcl::CreateForm<TStringListEditorForm>(vcl::Application);
  form->Initialize(*Lines, codeEditorAllowed);
  const int result = form->ShowModal();
  const bool changed = !form->meLines->Lines()->Equals(Lines);
  if (result == mrCodeEditor) {
    rtl::TStringList text;
    text.Assign(form->meLines->Lines());
    form.reset();  // the dialog is closed before the code editor shows
    OpenStringListModule(Designer, Component, PropertyName, text, changed);
    return false;
  }
  if (result != vcl::mrOk || !changed) return false;
  Lines->Assign(form->meLines->Lines());
  return true;
}

// ---------------------------------------------------------------------------- installation

THostDialogsInstallation::THostDialogsInstallation() : FPrevious(designintf::SetHostDialogs(&FDialogs)) {}

THostDialogsInstallation::~THostDialogsInstallation() { designintf::SetHostDialogs(FPrevious); }

std::unique_ptr<THostDialogsInstallation> InstallHostDialogs() { return std::make_unique<THostDialogsInstallation>(); }

}  // namespace designer
