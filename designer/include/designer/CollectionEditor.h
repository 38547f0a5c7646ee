// The collection editor: a collection's items, adding, deleting and moving them as the options
// allow, and setting the published properties of the chosen item (controls: HostDialogs.h).
#pragma once

#include "designer/ObjectInspector.h"
#include "designintf/ComponentEditors.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace designer {

using rtl::String;

class TCollectionEditorForm : public vcl::TForm {
  RTL_CLASS(TCollectionEditorForm, vcl::TForm)
  explicit TCollectionEditorForm(rtl::TComponent* AOwner);
  ~TCollectionEditorForm() override;

  vcl::TListBox* lbItems = nullptr;
  vcl::TButton* btAdd = nullptr;
  vcl::TButton* btDelete = nullptr;
  vcl::TButton* btMoveUp = nullptr;
  vcl::TButton* btMoveDown = nullptr;
  vcl::TListBox* lbProperties = nullptr;
  vcl::TComboBox* cbValue = nullptr;
  vcl::TButton* btSet = nullptr;
  vcl::TButton* btClose = nullptr;

  // Edits Collection, published by Component as PropertyName. Designer (may be nil) is told
  // of every change and is the designer the item's property editors work for.
  void Initialize(designintf::IDesigner* Designer, rtl::TComponent* Component, rtl::TCollection* Collection,
                  const String& PropertyName, designintf::TColOptions Options);

  // The item chosen in lbItems, nil when none.
  rtl::TCollectionItem* SelectedItem() const;

  void lbItemsClick(rtl::TObject* Sender);
  void lbPropertiesClick(rtl::TObject* Sender);
  void btAddClick(rtl::TObject* Sender);
  void btDeleteClick(rtl::TObject* Sender);
  void btMoveUpClick(rtl::TObject* Sender);
  void btMoveDownClick(rtl::TObject* Sender);
  void btSetClick(rtl::TObject* Sender);

private:
  class TNoDesigner;
  void Modified();
  // Refills lbItems and selects Index (clamped; -1 for none), then the item's properties.
  void FillItems(int Index);
  // Refills lbProperties for the chosen item, keeping the chosen property when it is there.
  void FillProperties();
  // Puts the chosen property's value (and its value list) into cbValue.
  void ShowPropertyValue();
  void UpdateButtons();
  String SelectedProperty() const;

  designintf::IDesigner* FDesigner = nullptr;
  std::unique_ptr<TNoDesigner> FNoDesigner;
  std::unique_ptr<TObjectInspector> FInspector;
  rtl::TCollection* FCollection = nullptr;
  designintf::TColOptions FOptions;
  std::vector<String> FPropertyNames;  // the rows of lbProperties
};

}  // namespace designer
