// The designer's own dialogs that editors open: the fields editor, the collection editor, the
// master/detail field-link designer and the string-list editor. The designer installs the
// implementation (its forms); tests install a fake. Without one, opening a dialog raises
// EHostDialogsError.
#pragma once

#include "designintf/ComponentEditors.h"
#include "rtl/Strings.h"

namespace designintf {

class TFieldLinkProperty;

class IHostDialogs {
public:
  virtual ~IHostDialogs() = default;

  // The fields editor of DataSet (modeless in the IDE; here it returns when closed).
  virtual void ShowFieldsEditor(IDesigner* Designer, rtl::TComponent* DataSet, TDSDesignerClass DesignerClass) = 0;

  // The collection editor on Collection, which Component publishes as PropertyName.
  virtual void ShowCollectionEditor(IDesigner* Designer, TCollectionEditorClass EditorClass, rtl::TComponent* Component,
                                    rtl::TCollection* Collection, const String& PropertyName, TColOptions Options) = 0;

  // The field-link designer, run modally. It reads and writes the link through Editor's
  // virtual operations (GetIndexDefs, GetIndexFieldNames, GetIndexName, GetIndexBased,
  // GetFieldNamesForIndex, GetMasterFields, SetIndexFieldNames, SetIndexName, SetMasterFields)
  // and lists the master's fields with Editor.GetMasterFieldNames. True when the developer
  // accepted the link.
  virtual bool ExecuteFieldLinkDesigner(TFieldLinkProperty& Editor) = 0;

  // The string-list editor on Lines, a copy of property PropertyName of Component. True when
  // the developer accepted a change (Lines then holds the new text).
  virtual bool EditStrings(IDesigner* Designer, rtl::TPersistent* Component, const String& PropertyName,
                           rtl::TStrings* Lines) = 0;
};

RTL_DECLARE_EXCEPTION(EHostDialogsError, rtl::Exception)

// Installs the dialogs (not owned; nullptr: none); returns the previous ones.
IHostDialogs* SetHostDialogs(IHostDialogs* Dialogs);
IHostDialogs& HostDialogs();  // raises EHostDialogsError when none is installed

}  // namespace designintf
