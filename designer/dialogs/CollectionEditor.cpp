#include "designer/CollectionEditor.h"

#include "FormControls.h"

extern const char DesignerCollectionEditorDfm[];

namespace designer {

using designintf::TColOption;

// Stands in for the designer when the editor was opened without one: the item's property
// editors still need one to report to.
class TCollectionEditorForm::TNoDesigner : public designintf::IDesigner {
public:
  void Modified() override {}
  rtl::TComponent* GetRoot() override { return nullptr; }
  String GetDesignerExtension() override { return "dfm"; }
  designintf::TDesignerSelections GetSelections() override { return {}; }
  void SetSelections(const designintf::TDesignerSelections&) override {}
  String UniqueName(const String& BaseName) override { return BaseName; }
};

rtl::TClass TCollectionEditorForm::StaticClass() {
  using T = TCollectionEditorForm;
  static rtl::TClass info = rtl::ClassBuilder<T>("TCollectionEditorForm")
                                .Method("lbItemsClick", &T::lbItemsClick)
                                .Method("lbPropertiesClick", &T::lbPropertiesClick)
                                .Method("btAddClick", &T::btAddClick)
                                .Method("btDeleteClick", &T::btDeleteClick)
                                .Method("btMoveUpClick", &T::btMoveUpClick)
                                .Method("btMoveDownClick", &T::btMoveDownClick)
                                .Method("btSetClick", &T::btSetClick)
                                .Field("lbItems", &T::lbItems)
                                .Field("btAdd", &T::btAdd)
                                .Field("btDelete", &T::btDelete)
                                .Field("btMoveUp", &T::btMoveUp)
                                .Field("btMoveDown", &T::btMoveDown)
                                .Field("lbProperties", &T::lbProperties)
                                .Field("cbValue", &T::cbValue)
                                .Field("btSet", &T::btSet)
                                .Field("btClose", &T::btClose)
                                .Build();
  return info;
}

static const vcl::TFormDescriptionRegistration CollectionEditorDescription(&TCollectionEditorForm::StaticClass,
                                                                           DesignerCollectionEditorDfm,
                                                                           "CollectionEditor.dfm");

TCollectionEditorForm::TCollectionEditorForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}
TCollectionEditorForm::~TCollectionEditorForm() = default;

void TCollectionEditorForm::Initialize(designintf::IDesigner* Designer, rtl::TComponent* Component,
                                       rtl::TCollection* Collection, const String& PropertyName,
                                       designintf::TColOptions Options) {
  FDesigner = Designer;
  if (!Designer) FNoDesigner = std::make_unique<TNoDesigner>();
  FInspector = std::make_unique<TObjectInspector>(Designer ? *Designer : *FNoDesigner);
  FCollection = Collection;
  FOptions = Options;
  String owner = Component ? Component->Name() : String();
  SetCaption(owner.empty() ? "Editing " + PropertyName : rtl::Format("Editing {}.{}", owner, PropertyName));
  FillItems(Collection->Count() > 0 ? 0 : -1);
}

void TCollectionEditorForm::Modified() {
  if (FDesigner) FDesigner->Modified();
}

rtl::TCollectionItem* TCollectionEditorForm::SelectedItem() const {
  int i = lbItems->ItemIndex();
  return i >= 0 && i < FCollection->Count() ? FCollection->Items(i) : nullptr;
}

void TCollectionEditorForm::FillItems(int Index) {
  lbItems->Items()->Clear();
  for (int i = 0; i < FCollection->Count(); ++i)
    lbItems->Items()->Add(rtl::Format("{} - {}", i, FCollection->Items(i)->DisplayName()));
  if (Index >= FCollection->Count()) Index = FCollection->Count() - 1;
  lbItems->SetItemIndex(Index);
  FillProperties();
}

void TCollectionEditorForm::FillProperties() {
  String keep = SelectedProperty();
  lbProperties->Items()->Clear();
  FPropertyNames.clear();
  if (rtl::TCollectionItem* item = SelectedItem()) {
    FInspector->SetSelection({item});
    for (const TInspectorRow& row : FInspector->Rows()) {
      FPropertyNames.push_back(row.Name);
      lbProperties->Items()->Add(row.Name + "=" + row.Value);
    }
  }
  int row = -1;
  for (size_t i = 0; i < FPropertyNames.size(); ++i)
    if (FPropertyNames[i] == keep) row = static_cast<int>(i);
  lbProperties->SetItemIndex(row);
  ShowPropertyValue();
}

String TCollectionEditorForm::SelectedProperty() const {
  int i = lbProperties->ItemIndex();
  return i >= 0 && i < static_cast<int>(FPropertyNames.size()) ? FPropertyNames[static_cast<size_t>(i)] : String();
}

void TCollectionEditorForm::UpdateButtons() {
  int i = lbItems->ItemIndex();
  int count = FCollection->Count();
  btAdd->SetEnabled(FOptions.Contains(TColOption::coAdd));
  btDelete->SetEnabled(FOptions.Contains(TColOption::coDelete) && i >= 0);
  btMoveUp->SetEnabled(FOptions.Contains(TColOption::coMove) && i > 0);
  btMoveDown->SetEnabled(FOptions.Contains(TColOption::coMove) && i >= 0 && i < count - 1);
  btSet->SetEnabled(!SelectedProperty().empty());
}

void TCollectionEditorForm::lbItemsClick(rtl::TObject*) {
  lbProperties->SetItemIndex(-1);
  FillProperties();
}

void TCollectionEditorForm::lbPropertiesClick(rtl::TObject*) { ShowPropertyValue(); }

void TCollectionEditorForm::ShowPropertyValue() {
  String name = SelectedProperty();
  cbValue->Items()->Clear();
  if (!name.empty()) {
    for (const String& v : FInspector->GetValues(name)) cbValue->Items()->Add(v);
    String row = lbProperties->Items()->Get(lbProperties->ItemIndex());
    cbValue->SetText(row.substr(name.size() + 1));
  }
  UpdateButtons();
}

void TCollectionEditorForm::btAddClick(rtl::TObject*) {
  FCollection->Add();
  FillItems(FCollection->Count() - 1);
  Modified();
}

void TCollectionEditorForm::btDeleteClick(rtl::TObject*) {
  int i = lbItems->ItemIndex();
  if (i < 0) return;
  FCollection->Delete(i);
  FillItems(i);
  Modified();
}

void TCollectionEditorForm::btMoveUpClick(rtl::TObject*) {
  int i = lbItems->ItemIndex();
  if (i <= 0) return;
  FCollection->Items(i)->SetIndex(i - 1);
  FillItems(i - 1);
  Modified();
}

void TCollectionEditorForm::btMoveDownClick(rtl::TObject*) {
  int i = lbItems->ItemIndex();
  if (i < 0 || i >= FCollection->Count() - 1) return;
  FCollection->Items(i)->SetIndex(i + 1);
  FillItems(i + 1);
  Modified();
}

void TCollectionEditorForm::btSetClick(rtl::TObject*) {
  String name = SelectedProperty();
  if (name.empty()) return;
  // The property's editor checks the value and tells the designer.
  FInspector->SetValue(name, cbValue->Text());
  FillItems(lbItems->ItemIndex());
}

}  // namespace designer
