#include "ObjectTreeView.h"

#include "QtGraphics.h"

#include "designer/ObjectTree.h"
#include "designer/OpenModule.h"
#include "designintf/Registry.h"
#include "vcl/Dialogs.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QStyle>
#include <QTimer>

namespace designer {

using designintf::TSprig;

TObjectTreeView::TObjectTreeView(QWidget* Parent) : QTreeWidget(Parent) {
  setObjectName("ObjectTree");
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::MoveAction);
  connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (FFilling || !FModule) return;
    designintf::TDesignerSelections s;
    for (QTreeWidgetItem* item : selectedItems())
      if (TSprig* node = NodeOf(item))
        if (auto* c = dynamic_cast<rtl::TComponent*>(node->Item())) s.push_back(c);
    if (s.empty()) return;
    FModule->SetSelections(s);
    emit SelectionChanged();
  });
}

void TObjectTreeView::SetTree(TOpenModule* Module, TObjectTree* Tree) {
  FModule = Module;
  FTree = Tree;
  Refresh();
}

void TObjectTreeView::AddNode(TSprig* Node, QTreeWidgetItem* Parent) {
  auto* item = Parent ? new QTreeWidgetItem(Parent) : new QTreeWidgetItem(this);
  item->setText(0, QStr(Node->Caption()));
  item->setData(0, Qt::UserRole, QStr(Node->Path()));
  if (!Node->Hint().empty()) item->setToolTip(0, QStr(Node->Hint()));
  if (Node->AnyProblems()) {
    item->setIcon(0, style()->standardIcon(QStyle::SP_MessageBoxWarning));
    item->setToolTip(0, "Not configured enough to work yet");
  }
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
  if (Node->Item() && Node != FTree->Root()) flags |= Qt::ItemIsDragEnabled;
  item->setFlags(flags);
  for (int i = 0; i < Node->Count(); ++i) AddNode(Node->Items(i), item);
}

void TObjectTreeView::Refresh() {
  FFilling = true;
  clear();
  if (FTree) {
    try {
      AddNode(FTree->Root(), nullptr);
    } catch (const std::exception& e) {
      FFilling = false;
      vcl::MessageDlg(e.what(), vcl::mtError, {vcl::mbOK}, 0);
      return;
    }
    expandAll();
  }
  FFilling = false;
  ShowSelection();
}

TSprig* TObjectTreeView::NodeOf(QTreeWidgetItem* Item) const {
  if (!Item || !FTree) return nullptr;
  return FTree->Root()->FindItemByPath(StdStr(Item->data(0, Qt::UserRole).toString()));
}

QTreeWidgetItem* TObjectTreeView::ItemOf(const QString& Path) const {
  for (QTreeWidgetItemIterator it(const_cast<TObjectTreeView*>(this)); *it; ++it)
    if ((*it)->data(0, Qt::UserRole).toString().compare(Path, Qt::CaseInsensitive) == 0) return *it;
  return nullptr;
}

void TObjectTreeView::ShowSelection() {
  if (!FModule) return;
  FFilling = true;
  const designintf::TDesignerSelections s = FModule->GetSelections();
  QTreeWidgetItem* first = nullptr;
  for (QTreeWidgetItemIterator it(this); *it; ++it) {
    TSprig* node = NodeOf(*it);
    const bool selected = node && node->Item() && std::find(s.begin(), s.end(), node->Item()) != s.end();
    (*it)->setSelected(selected);
    if (selected && !first) first = *it;
  }
  if (first) scrollToItem(first);
  FFilling = false;
}

QStringList TObjectTreeView::mimeTypes() const { return {SprigMime, PaletteMime}; }

QMimeData* TObjectTreeView::mimeData(const QList<QTreeWidgetItem*>& Items) const {
  if (Items.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  data->setData(SprigMime, Items.front()->data(0, Qt::UserRole).toString().toUtf8());
  return data;
}

bool TObjectTreeView::Accepts(const QMimeData* Data, QTreeWidgetItem* Target) const {
  TSprig* target = NodeOf(Target);
  if (!target || !Data) return false;
  try {
    if (Data->hasFormat(SprigMime)) {
      TSprig* source = FTree->Root()->FindItemByPath(Data->data(SprigMime).toStdString());
      return source && source != target && FTree->DragOver(source, target);
    }
    if (Data->hasFormat(PaletteMime)) {
      rtl::TClass cls = designintf::FindPaletteClass(Data->data(PaletteMime).toStdString());
      return cls && FTree->PaletteOver(cls, target);
    }
  } catch (const std::exception&) {
  }
  return false;
}

bool TObjectTreeView::dropMimeData(QTreeWidgetItem* Parent, int, const QMimeData* Data, Qt::DropAction) {
  if (!FTree || !Accepts(Data, Parent)) return false;
  TSprig* target = NodeOf(Parent);
  bool changed = false;
  try {
    if (Data->hasFormat(SprigMime)) {
      TSprig* source = FTree->Root()->FindItemByPath(Data->data(SprigMime).toStdString());
      changed = FTree->DragDrop(source, target);
    } else {
      rtl::TClass cls = designintf::FindPaletteClass(Data->data(PaletteMime).toStdString());
      if (rtl::TComponent* c = FTree->PaletteDrop(cls, target)) {
        FModule->SelectComponent(c);
        changed = true;
      }
    }
  } catch (const std::exception& e) {
    vcl::MessageDlg(e.what(), vcl::mtError, {vcl::mbOK}, 0);
  }
  // The items go when the tree is rebuilt, after the drop has finished with them.
  QTimer::singleShot(0, this, [this] {
    Refresh();
    emit SelectionChanged();
  });
  return changed;
}

void TObjectTreeView::dragEnterEvent(QDragEnterEvent* E) {
  if (E->mimeData()->hasFormat(SprigMime) || E->mimeData()->hasFormat(PaletteMime))
    E->acceptProposedAction();
  else
    E->ignore();
}

void TObjectTreeView::dragMoveEvent(QDragMoveEvent* E) {
  QTreeWidgetItem* target = itemAt(E->position().toPoint());
  if (Accepts(E->mimeData(), target)) {
    E->setDropAction(E->mimeData()->hasFormat(PaletteMime) ? Qt::CopyAction : Qt::MoveAction);
    E->accept();
  } else {
    E->ignore();  // the no-drop cursor
  }
}

void TObjectTreeView::dropEvent(QDropEvent* E) {
  QTreeWidgetItem* target = itemAt(E->position().toPoint());
  const QModelIndex index = target ? indexFromItem(target) : QModelIndex();
  // The drop goes through the model; as a copy, so that the view takes no item away itself.
  if (model()->dropMimeData(E->mimeData(), Qt::CopyAction, -1, -1, index)) E->setDropAction(Qt::CopyAction);
  E->accept();
}

}  // namespace designer
