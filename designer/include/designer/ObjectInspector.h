// The object inspector: the properties of the selected components, each with the editor the
// registries give it, its value, attributes and categories, and the operations on them.
//
// With several components selected only the properties all of them have and whose editors
// allow it (paMultiSelect) are shown; a value is shown only when all components agree. A
// property is addressed by name, a sub-property by a dotted path ("Options.ixUnique").
#pragma once

#include "designintf/PropertyEditors.h"

#include <nlohmann/json.hpp>
#include <optional>

namespace designer {

using rtl::String;

struct TInspectorRow {
  String Path;  // "SQL", "Options.ixUnique"
  String Name;
  int Level = 0;  // 0 for a property, 1 for its sub-properties ...
  String EditorClass;
  String Value;  // "" when the selected components differ
  bool AllEqual = true;
  designintf::TPropertyAttributes Attributes;
  std::vector<String> Categories;
};

class TObjectInspector {
public:
  // Inspects the designer's current selection unless a selection is given.
  explicit TObjectInspector(designintf::IDesigner& Designer) : FDesigner(Designer) {}

  void SetSelection(const designintf::TDesignerSelections& Selection) { FSelection = Selection; }
  void ClearSelection() { FSelection.reset(); }
  designintf::TDesignerSelections Selection();

  // The properties in order; with Expand, each editor with paSubProperties is followed by its
  // sub-properties (recursively; paNotNestable ones are left out below the top level).
  std::vector<TInspectorRow> Rows(bool Expand = false);

  // The editor of the property at Path for the selection; raises EPropertyError naming the
  // path when the selection shows no such property.
  std::unique_ptr<designintf::TPropertyEditor> Editor(const String& Path);

  // The value list (sorted when paSortList; empty without paValueList).
  std::vector<String> GetValues(const String& Path);
  // Types a value: raises EPropertyError for a read-only property (paReadOnly).
  void SetValue(const String& Path, const String& Value);
  // Double-click or ellipsis.
  void Edit(const String& Path);
  // What typing Prefix completes to: the first value of the list that starts with it (letter
  // case ignored), when the editor offers a value list and AutoFill; nothing otherwise.
  std::optional<String> Complete(const String& Path, const String& Prefix);

  nlohmann::ordered_json ToJson(bool Expand = false);

private:
  void AddRows(designintf::TPropertyEditor& Editor, const String& Prefix, int Level, bool Expand,
               std::vector<TInspectorRow>& Rows);

  designintf::IDesigner& FDesigner;
  std::optional<designintf::TDesignerSelections> FSelection;
};

}  // namespace designer
