// The designer's own dialogs behind designintf::IHostDialogs: the fields editor, the collection
// editor, the master/detail field-link designer and the string-list editor. Each is a form built
// from its description (compiled in), shown modally through the installed user interface, so it
// works in the scripted and the text backends alike.
//
// Forms and the names of their controls, for gesture scripts (click, type, choose ...):
//
//   FieldsEditor: TFieldsEditorForm                 caption "<root>.<data set> Fields"
//     lbFields       the field definitions' names, in order
//     lblFieldInfo   type, size and Required of the field chosen in lbFields
//     lblCount       "<n> fields"
//     btOk           "OK" (Enter and Esc close it too)
//
//   CollectionEditor: TCollectionEditorForm         caption "Editing <component>.<property>"
//     lbItems        "<index> - <display name>" per item
//     btAdd, btDelete, btMoveUp, btMoveDown        enabled by the options and the selection
//     lbProperties   "<name>=<value>" per published property of the item chosen in lbItems
//     cbValue        the value to set (editable; drops down the property's value list)
//     btSet          "Set": writes cbValue into the property chosen in lbProperties
//     btClose        "Close"
//
//   FieldLinkDesigner: TFieldLinkDesignerForm       caption "Field Link Designer"
//     lblIndexes, cbIndexes   "Available Indexes" (shown only for index-based data sets)
//     lbDetailFields          "Detail Fields" not yet joined
//     lbMasterFields          "Master Fields" not yet joined
//     btAdd                   joins the chosen detail and master fields
//     lbJoinedFields          "Joined Fields": "DETAIL -> MASTER"
//     btDelete, btClear       take the chosen join apart, or all of them
//     btOk, btCancel
//
//   StringListEditor: TStringListEditorForm         caption "String List Editor"
//     lblLineCount   "<n> lines" ("1 line")
//     meLines        the lines
//     btCodeEditor   "Code Editor...": closes the dialog and opens the text in the code editor
//     btOk, btCancel
#pragma once

#include "designintf/HostDialogs.h"

#include <memory>

namespace designer {

using rtl::String;

class TDesignerHostDialogs : public designintf::IHostDialogs {
public:
  // Lists DataSet's field definitions. A closed data set is opened for them and closed again;
  // when that fails an error box names the data set and the reason, and no editor opens.
  void ShowFieldsEditor(designintf::IDesigner* Designer, rtl::TComponent* DataSet,
                        designintf::TDSDesignerClass DesignerClass) override;
  // Every change (add, delete, move, a property set) tells Designer (Modified).
  void ShowCollectionEditor(designintf::IDesigner* Designer, designintf::TCollectionEditorClass EditorClass,
                            rtl::TComponent* Component, rtl::TCollection* Collection, const String& PropertyName,
                            designintf::TColOptions Options) override;
  // OK writes the link through Editor's setters and returns true; Cancel writes nothing.
  bool ExecuteFieldLinkDesigner(designintf::TFieldLinkProperty& Editor) override;
  // When the property is already open in the code editor, shows it there and returns false.
  // OK returns true only when the lines changed (Lines then holds them); the code-editor
  // button opens the text as module "<ext>.<root>.<component>.<property>" and returns false.
  bool EditStrings(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropertyName,
                   rtl::TStrings* Lines) override;
};

// Installs the designer's dialogs as designintf::HostDialogs for the life of the object and puts
// the previous ones back after. The korv program keeps one for its run.
class THostDialogsInstallation {
public:
  THostDialogsInstallation();
  ~THostDialogsInstallation();
  THostDialogsInstallation(const THostDialogsInstallation&) = delete;
  THostDialogsInstallation& operator=(const THostDialogsInstallation&) = delete;

  TDesignerHostDialogs& Dialogs() { return FDialogs; }

private:
  TDesignerHostDialogs FDialogs;
  designintf::IHostDialogs* FPrevious;
};

// What the korv program calls at start: installs the dialogs until the result is dropped.
std::unique_ptr<THostDialogsInstallation> InstallHostDialogs();

}  // namespace designer
