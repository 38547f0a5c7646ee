// Component editors: a selected component's context-menu verbs and its double-click action.
//
// The designer creates the editor registered for the component's class (Registry.h) with
// (component, designer), asks GetVerbCount and GetVerb(i) to build the menu, calls
// PrepareItem(i, item) for each entry, ExecuteVerb(i) when an entry is picked and Edit on a
// double-click.
#pragma once

#include "designintf/DesignTypes.h"
#include "rtl/Collection.h"
#include "rtl/DB.h"

namespace designintf {

// The caption of a verb that the menu shows as a separator line.
inline constexpr const char* SVerbSeparator = "-";

class TComponentEditor {
  DESIGN_ROOT_CLASS(TComponentEditor, TComponentEditorClassInfo)

  TComponentEditor(rtl::TComponent* AComponent, IDesigner* ADesigner);
  virtual ~TComponentEditor() = default;
  TComponentEditor(const TComponentEditor&) = delete;
  TComponentEditor& operator=(const TComponentEditor&) = delete;

  // Double-click: runs verb 0 when there is one.
  virtual void Edit();
  virtual void ExecuteVerb(int Index);
  virtual String GetVerb(int Index);  // "" ("-" is shown as a separator)
  virtual int GetVerbCount();         // 0
  // Called after the component was copied to the clipboard, to add formats of its own.
  virtual void Copy();
  // Adjusts the menu entry of verb Index before it is shown.
  virtual void PrepareItem(int Index, IMenuItem* AItem);

  rtl::TComponent* Component() const { return FComponent; }
  IDesigner* GetDesigner() const { return FDesigner; }
  // Tells the designer that the component changed; nothing when there is no designer.
  void Modified();

private:
  rtl::TComponent* FComponent;
  IDesigner* FDesigner;
};

// The editor of components nobody registered one for: a double-click edits the component's
// most telling event (OnCreate, OnChange, OnChanged, OnClick, else the first).
class TDefaultEditor : public TComponentEditor {
  DESIGN_CLASS(TDefaultEditor, TComponentEditor)
  using TComponentEditor::TComponentEditor;

  void Edit() override;
};

// Hooks of the fields editor for one data set.
class TDSDesigner {
  DESIGN_ROOT_CLASS(TDSDesigner, TDSDesignerClassInfo)

  explicit TDSDesigner(rtl::TComponent* ADataSet) : FDataSet(ADataSet) {}
  virtual ~TDSDesigner() = default;

  rtl::TComponent* DataSet() const { return FDataSet; }
  // Called when the data set's field definitions change while the fields editor is open.
  virtual void DataSetChanged() {}

private:
  rtl::TComponent* FDataSet;
};

// The editor of data sets: knows the designer class its fields editor uses.
class TDataSetEditor : public TComponentEditor {
  DESIGN_CLASS(TDataSetEditor, TComponentEditor)
  using TComponentEditor::TComponentEditor;

  // Verb 0 opens the fields editor.
  void ExecuteVerb(int Index) override;
  String GetVerb(int Index) override;
  int GetVerbCount() override;
  virtual TDSDesignerClass GetDSDesignerClass();
};

// Opens the fields editor on DataSet.
void ShowFieldsEditor(IDesigner* Designer, rtl::TComponent* DataSet, TDSDesignerClass DesignerClass);

// The host's collection editor window, by class.
class TCollectionEditor {
  DESIGN_ROOT_CLASS(TCollectionEditor, TCollectionEditorClassInfo)
  TCollectionEditor() = default;
  virtual ~TCollectionEditor() = default;
};

enum class TColOption { coAdd, coDelete, coMove };
using TColOptions = rtl::TSet<TColOption>;

// Opens the collection editor on Collection, published by Component as PropertyName; Options
// say whether items may be added, deleted and moved.
void ShowCollectionEditorClass(IDesigner* Designer, TCollectionEditorClass EditorClass, rtl::TComponent* Component,
                               rtl::TCollection* Collection, const String& PropertyName, TColOptions Options);
void ShowCollectionEditor(IDesigner* Designer, rtl::TComponent* Component, rtl::TCollection* Collection,
                          const String& PropertyName);

}  // namespace designintf
