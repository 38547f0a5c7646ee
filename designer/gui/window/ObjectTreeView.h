// The object tree as the registered sprigs build it (korv tree shows the same), with a warning
// icon on nodes that report problems. Selecting a node selects its component. Dragging a node
// asks the target's DragOver while moving (refused targets show the no-drop cursor) and drops
// through DragDrop; a palette class dragged onto a node asks PaletteOver and drops a new
// component there. Drops go through the view's model (dropMimeData), as Qt's views do.
#pragma once

#include <QTreeWidget>

namespace designintf {
class TSprig;
}  // namespace designintf

namespace designer {

class TObjectTree;
class TOpenModule;

class TObjectTreeView : public QTreeWidget {
  Q_OBJECT
public:
  static constexpr const char* SprigMime = "application/x-korv-sprig";
  static constexpr const char* PaletteMime = "application/x-korv-palette-class";

  explicit TObjectTreeView(QWidget* Parent = nullptr);

  void SetTree(TOpenModule* Module, TObjectTree* Tree);
  // Rebuilds the items from the tree, keeping the selection the module has.
  void Refresh();
  // Selects the items of the module's selection (no signals back).
  void ShowSelection();
  // The item of a node path ("ShopModule\Shop\ShopData"), nil when none.
  QTreeWidgetItem* ItemOf(const QString& Path) const;
  designintf::TSprig* NodeOf(QTreeWidgetItem* Item) const;

  QStringList mimeTypes() const override;
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction | Qt::CopyAction; }

signals:
  void SelectionChanged();

protected:
  QMimeData* mimeData(const QList<QTreeWidgetItem*>& Items) const override;
  bool dropMimeData(QTreeWidgetItem* Parent, int Index, const QMimeData* Data, Qt::DropAction Action) override;
  void dragEnterEvent(QDragEnterEvent* Event) override;
  void dragMoveEvent(QDragMoveEvent* Event) override;
  void dropEvent(QDropEvent* Event) override;

private:
  bool Accepts(const QMimeData* Data, QTreeWidgetItem* Target) const;
  void AddNode(designintf::TSprig* Node, QTreeWidgetItem* Parent);

  TOpenModule* FModule = nullptr;
  TObjectTree* FTree = nullptr;
  bool FFilling = false;
};

}  // namespace designer
