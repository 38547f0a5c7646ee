#include "designer/ObjectInspector.h"

#include "designintf/Registry.h"
#include "rtl/SysUtils.h"

#include <algorithm>

namespace designer {

using designintf::TPropertyAttribute;
using designintf::TPropertyEditor;

designintf::TDesignerSelections TObjectInspector::Selection() {
  return FSelection ? *FSelection : FDesigner.GetSelections();
}

void TObjectInspector::AddRows(TPropertyEditor& Editor, const String& Prefix, int Level, bool Expand,
                               std::vector<TInspectorRow>& Rows) {
  TInspectorRow row;
  row.Name = Editor.GetName();
  row.Path = Prefix.empty() ? row.Name : Prefix + "." + row.Name;
  row.Level = Level;
  row.EditorClass = Editor.ClassName();
  row.AllEqual = Editor.AllEqual();
  row.Value = row.AllEqual ? Editor.GetValue() : String();
  row.Attributes = Editor.GetAttributes();
  if (Level == 0) {
    designintf::TDesignerSelections sel = Selection();
    row.Categories = designintf::GetPropertyCategories(sel.empty() ? nullptr : sel[0]->ClassType(), row.Name);
  }
  const String path = row.Path;
  const bool unfold = Expand && row.Attributes.Contains(TPropertyAttribute::paSubProperties);
  Rows.push_back(std::move(row));
  if (!unfold) return;
  Editor.GetProperties([&](std::unique_ptr<TPropertyEditor> sub) {
    if (sub->GetAttributes().Contains(TPropertyAttribute::paNotNestable)) return;
    AddRows(*sub, path, Level + 1, Expand, Rows);
  });
}

std::vector<TInspectorRow> TObjectInspector::Rows(bool Expand) {
  std::vector<TInspectorRow> rows;
  designintf::GetComponentProperties(Selection(), {}, &FDesigner,
                                     [&](std::unique_ptr<TPropertyEditor> e) { AddRows(*e, {}, 0, Expand, rows); });
  return rows;
}

std::unique_ptr<TPropertyEditor> TObjectInspector::Editor(const String& Path) {
  std::vector<String> parts;
  for (size_t start = 0;;) {
    size_t dot = Path.find('.', start);
    parts.push_back(Path.substr(start, dot == String::npos ? String::npos : dot - start));
    if (dot == String::npos) break;
    start = dot + 1;
  }
  std::unique_ptr<TPropertyEditor> current;
  designintf::GetComponentProperties(Selection(), {}, &FDesigner, [&](std::unique_ptr<TPropertyEditor> e) {
    if (!current && rtl::SameText(e->GetName(), parts[0])) current = std::move(e);
  });
  for (size_t i = 1; i < parts.size() && current; ++i) {
    std::unique_ptr<TPropertyEditor> next;
    if (current->GetAttributes().Contains(TPropertyAttribute::paSubProperties))
      current->GetProperties([&](std::unique_ptr<TPropertyEditor> sub) {
        if (!next && rtl::SameText(sub->GetName(), parts[i]) &&
            !sub->GetAttributes().Contains(TPropertyAttribute::paNotNestable))
          next = std::move(sub);
      });
    current = std::move(next);
  }
  if (!current) throw rtl::EPropertyError("No property " + Path + " for the selection");
  return current;
}

std::vector<String> TObjectInspector::GetValues(const String& Path) {
  auto editor = Editor(Path);
  std::vector<String> values;
  // A set's values are its members, each a sub-property that is on or off.
  if (const rtl::TTypeInfo* type = editor->GetPropType(); type && type->Kind == rtl::TTypeKind::tkSet && type->CompType)
    return type->CompType->EnumNames;
  if (!editor->GetAttributes().Contains(TPropertyAttribute::paValueList)) return values;
  editor->GetValues([&](const String& s) { values.push_back(s); });
  if (editor->GetAttributes().Contains(TPropertyAttribute::paSortList))
    std::stable_sort(values.begin(), values.end(),
                     [](const String& a, const String& b) { return rtl::CompareText(a, b) < 0; });
  return values;
}

void TObjectInspector::SetValue(const String& Path, const String& Value) {
  auto editor = Editor(Path);
  if (editor->GetAttributes().Contains(TPropertyAttribute::paReadOnly))
    throw rtl::EPropertyError("Property " + Path + " is read-only");
  editor->SetValue(Value);
}

void TObjectInspector::Edit(const String& Path) { Editor(Path)->Edit(); }

std::optional<String> TObjectInspector::Complete(const String& Path, const String& Prefix) {
  auto editor = Editor(Path);
  if (!editor->GetAttributes().Contains(TPropertyAttribute::paValueList) || !editor->AutoFill()) return std::nullopt;
  const String folded = rtl::FoldCase(Prefix);
  for (const String& v : GetValues(Path))
    if (rtl::FoldCase(v).compare(0, folded.size(), folded) == 0) return v;
  return std::nullopt;
}

nlohmann::ordered_json TObjectInspector::ToJson(bool Expand) {
  auto rows = nlohmann::ordered_json::array();
  for (const TInspectorRow& r : Rows(Expand)) {
    nlohmann::ordered_json j;
    j["path"] = r.Path;
    j["name"] = r.Name;
    j["level"] = r.Level;
    j["editor"] = r.EditorClass;
    j["value"] = r.AllEqual ? nlohmann::ordered_json(r.Value) : nlohmann::ordered_json();
    j["attributes"] = designintf::PropertyAttributesToString(r.Attributes);
    if (r.Level == 0) j["categories"] = r.Categories;
    rows.push_back(std::move(j));
  }
  return rows;
}

}  // namespace designer
