// The dialog property editors: properties edited behind an ellipsis button rather than typed.
// Parameter collections open the designer's collection editor, a parameters file name the
// platform's open dialog, and a database's connection parameters and a query's SQL the
// library's dialogs, or the code editor when Alt is held down or the text is already open there.
#pragma once

#include "designintf/PropertyEditors.h"
#include "rtl/Strings.h"

namespace dclkorv {

using rtl::String;

// The open dialog's filter for a parameters file.
inline constexpr const char* SParamsFileFilter = "Ini-files (*.ini)|*.INI|Text files (*.txt)|*.TXT|All files (*.*)|*.*";

// A parameter collection: shown as "(TParams)" whatever it holds.
class TKVParamsProperty : public designintf::TPropertyEditor {
  DESIGN_CLASS(TKVParamsProperty, designintf::TPropertyEditor)
  using designintf::TPropertyEditor::TPropertyEditor;
  designintf::TPropertyAttributes GetAttributes() override;  // paDialog, paMultiSelect
  String GetValue() override;
};

// A query's Params: the collection editor, with parameters neither added nor removed.
class TKVQueryParamsProperty : public TKVParamsProperty {
  DESIGN_CLASS(TKVQueryParamsProperty, TKVParamsProperty)
  using TKVParamsProperty::TKVParamsProperty;
  void Edit() override;
};

// A stored procedure's Params: prepared for the collection editor when it has none yet.
class TKVStoredProcParamsProperty : public TKVParamsProperty {
  DESIGN_CLASS(TKVStoredProcParamsProperty, TKVParamsProperty)
  using TKVParamsProperty::TKVParamsProperty;
  void Edit() override;
};

// A database's ParamsFileName: the open dialog, which takes only an existing file.
class TKVFileNameProperty : public designintf::TStringProperty {
  DESIGN_CLASS(TKVFileNameProperty, designintf::TStringProperty)
  using designintf::TStringProperty::TStringProperty;
  void Edit() override;
  designintf::TPropertyAttributes GetAttributes() override;  // paDialog, paRevertable
};

// A string-list property edited in a dialog, never unfolded into the list's own properties.
class TKVStringListEditDlgProperty : public designintf::TClassProperty {
  DESIGN_CLASS(TKVStringListEditDlgProperty, designintf::TClassProperty)
  using designintf::TClassProperty::TClassProperty;
  designintf::TPropertyAttributes GetAttributes() override;
  // The first selected component's own list object, not a copy.
  rtl::TStrings* GetStrings();
  // Writes Value into every selected component's list and tells the designer.
  void SetStrings(rtl::TStrings* Value);

protected:
  // Opens Strings in the code editor as this property's module, marked changed when Modified.
  void ShowCodeEditor(rtl::TStrings* Strings, bool Modified);
  // Whether the Alt key is held down now.
  static bool AltKeyDown();
};

// A database's connection parameters.
class TKVDatabaseParamsProperty : public TKVStringListEditDlgProperty {
  DESIGN_CLASS(TKVDatabaseParamsProperty, TKVStringListEditDlgProperty)
  using TKVStringListEditDlgProperty::TKVStringListEditDlgProperty;
  void Edit() override;
  // Replaces List's contents with the design settings' default parameters; nil is ignored.
  void GetDefaultParams(rtl::TStrings* List);
};

// A query's SQL text; registered only while the design settings offer the SQL editor.
class TKVQuerySQLProperty : public TKVStringListEditDlgProperty {
  DESIGN_CLASS(TKVQuerySQLProperty, TKVStringListEditDlgProperty)
  using TKVStringListEditDlgProperty::TKVStringListEditDlgProperty;
  void Edit() override;
};

}  // namespace dclkorv
