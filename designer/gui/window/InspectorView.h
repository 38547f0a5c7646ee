// The object inspector: Properties and Events of the selection, sorted by name, sub-properties
// of sets and classes expandable, or arranged by the registered property categories. The value
// column edits in place through the property's editor: a text edit, a drop-down for a value
// list (sorted when the editor says so; typed text completed when it auto-fills), an ellipsis
// button for an editor with a dialog (Alt held: the code-editor path), a check box for a
// Boolean. An editor's error shows as an error box and the value stays as it was.
#pragma once

#include "designer/ObjectInspector.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace designer {

class TOpenModule;

class TInspectorView : public QWidget {
  Q_OBJECT
public:
  explicit TInspectorView(QWidget* Parent = nullptr);

  void SetModule(TOpenModule* Module);
  // Rebuilds the rows for the module's selection, keeping the current row.
  void Refresh();

  QTreeWidget* Rows() const { return FRows; }
  QTabBar* Tabs() const { return FTabs; }
  QCheckBox* ByCategory() const { return FByCategory; }
  // The row of a property path ("SQL", "Options.ixUnique"), nil when none is shown.
  QTreeWidgetItem* RowOf(const QString& Path) const;
  // Makes a row current, which puts its in-place editor into the value column.
  void EditRow(const QString& Path);
  // The in-place editor of the current row (nil when none).
  QWidget* CurrentEditor() const;

  // The inspector's operations; errors show as error boxes. True when the value was taken.
  bool SetValue(const QString& Path, const QString& Value);
  void EditDialog(const QString& Path);

signals:
  void Changed();

private:
  void AddRow(const TInspectorRow& Row, QTreeWidgetItem* Parent, bool Event);
  void MakeEditor(QTreeWidgetItem* Item);

  TOpenModule* FModule = nullptr;
  std::unique_ptr<TObjectInspector> FInspector;
  QTabBar* FTabs;
  QCheckBox* FByCategory;
  QTreeWidget* FRows;
  bool FFilling = false;
};

}  // namespace designer
