#include "designintf/ComponentEditors.h"

#include "designintf/Designer.h"
#include "designintf/HostDialogs.h"
#include "designintf/PropertyEditors.h"
#include "rtl/SysUtils.h"

namespace designintf {

DESIGN_CLASS_IMPL(TComponentEditor)
DESIGN_CLASS_IMPL(TDefaultEditor)
DESIGN_CLASS_IMPL(TDataSetEditor)
DESIGN_CLASS_IMPL(TDSDesigner)
DESIGN_CLASS_IMPL(TCollectionEditor)

TComponentEditor::TComponentEditor(rtl::TComponent* AComponent, IDesigner* ADesigner)
    : FComponent(AComponent), FDesigner(ADesigner) {}

void TComponentEditor::Edit() {
  if (GetVerbCount() > 0) ExecuteVerb(0);
}

void TComponentEditor::ExecuteVerb(int) {}
void TComponentEditor::Modified() {
  if (FDesigner) FDesigner->Modified();
}
String TComponentEditor::GetVerb(int) { return {}; }
int TComponentEditor::GetVerbCount() { return 0; }
void TComponentEditor::Copy() {}
void TComponentEditor::PrepareItem(int, IMenuItem*) {}

void TDefaultEditor::Edit() {
  // The event a developer most likely means: OnCreate, then OnChange, OnChanged, OnClick; else
  // the first event the component has.
  static const char* const preferred[] = {"OnCreate", "OnChange", "OnChanged", "OnClick"};
  std::unique_ptr<TPropertyEditor> first, best;
  int bestRank = static_cast<int>(std::size(preferred));
  GetComponentProperties({Component()}, {rtl::TTypeKind::tkMethod}, GetDesigner(),
                         [&](std::unique_ptr<TPropertyEditor> prop) {
                           String name = prop->GetName();
                           for (int i = 0; i < bestRank; ++i)
                             if (rtl::SameText(name, preferred[i])) {
                               best = std::move(prop);
                               bestRank = i;
                               return;
                             }
                           if (!first) first = std::move(prop);
                         });
  if (!best) best = std::move(first);
  if (best) best->Edit();
}

void TDataSetEditor::ExecuteVerb(int Index) {
  if (Index == 0) ShowFieldsEditor(GetDesigner(), Component(), GetDSDesignerClass());
}

String TDataSetEditor::GetVerb(int Index) { return Index == 0 ? "Fields Editor..." : String(); }

int TDataSetEditor::GetVerbCount() { return 1; }

TDSDesignerClass TDataSetEditor::GetDSDesignerClass() { return TDSDesigner::StaticClass(); }

void ShowFieldsEditor(IDesigner* Designer, rtl::TComponent* DataSet, TDSDesignerClass DesignerClass) {
  HostDialogs().ShowFieldsEditor(Designer, DataSet, DesignerClass ? DesignerClass : TDSDesigner::StaticClass());
}

void ShowCollectionEditorClass(IDesigner* Designer, TCollectionEditorClass EditorClass, rtl::TComponent* Component,
                               rtl::TCollection* Collection, const String& PropertyName, TColOptions Options) {
  HostDialogs().ShowCollectionEditor(Designer, EditorClass ? EditorClass : TCollectionEditor::StaticClass(), Component,
                                     Collection, PropertyName, Options);
}

void ShowCollectionEditor(IDesigner* Designer, rtl::TComponent* Component, rtl::TCollection* Collection,
                          const String& PropertyName) {
  ShowCollectionEditorClass(Designer, TCollectionEditor::StaticClass(), Component, Collection, PropertyName,
                            {TColOption::coAdd, TColOption::coDelete, TColOption::coMove});
}

namespace {
IHostDialogs*& InstalledDialogs() {
  static IHostDialogs* dialogs = nullptr;
  return dialogs;
}
}  // namespace

IHostDialogs* SetHostDialogs(IHostDialogs* Dialogs) {
  IHostDialogs* previous = InstalledDialogs();
  InstalledDialogs() = Dialogs;
  return previous;
}

IHostDialogs& HostDialogs() {
  if (!InstalledDialogs()) throw EHostDialogsError("The designer's dialogs are not available");
  return *InstalledDialogs();
}

}  // namespace designintf
