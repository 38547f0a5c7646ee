// The data-module surface: every non-visual component of the module as its palette bitmap with
// its name below, at the position its form file gives (Left and Top), else in the next free
// grid cell. Click, Ctrl-click and a rubber band select; dragging moves (the new position is
// the component's Left and Top from then on); Del deletes, F2 renames; the right button offers
// the component editor's verbs, then the designer's own entries (View Data for a data set,
// Delete, Rename); a double click runs Edit.
#pragma once

#include "rtl/Component.h"

#include <QWidget>

#include <map>
#include <vector>

class QMenu;
class QRubberBand;

namespace designer {

class TOpenModule;
class TPackageLoader;

class TModuleSurface : public QWidget {
  Q_OBJECT
public:
  static constexpr int CellWidth = 96, CellHeight = 64, IconSize = 28;

  TModuleSurface(TPackageLoader& Loader, QWidget* Parent = nullptr);

  // The module shown (nil: none); Refresh after it changed.
  void SetModule(TOpenModule* Module);
  void Refresh();
  // Arms a class: the next click drops one there (nil: the arrow again).
  void SetArmedClass(rtl::TClass Class) { FArmed = Class; }

  // Where a component is drawn (its icon's top-left corner); and the component at a point.
  QPoint PositionOf(rtl::TComponent* Component) const;
  rtl::TComponent* ComponentAt(const QPoint& At) const;
  QRect IconRect(rtl::TComponent* Component) const;

  // The designer's operations on the selection, as the keys and the menu run them.
  void DeleteSelected();
  void RenameSelected();
  void EditComponent(rtl::TComponent* Component);
  // The context menu for Component (its verbs, "-", View Data for a data set, Delete, Rename);
  // the caller runs it.
  std::unique_ptr<QMenu> ContextMenu(rtl::TComponent* Component);

  QSize sizeHint() const override;

signals:
  void SelectionChanged();
  // A component was dropped from the palette.
  void ComponentDropped(rtl::TComponent* Component);

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void contextMenuEvent(QContextMenuEvent* Event) override;

private:
  std::vector<rtl::TComponent*> Components() const;
  bool IsSelected(rtl::TComponent* Component) const;
  void Select(const std::vector<rtl::TComponent*>& Components);
  void PlaceUnpositioned();

  TPackageLoader& FLoader;
  TOpenModule* FModule = nullptr;
  rtl::TClass FArmed = nullptr;
  std::map<rtl::TComponent*, QPoint> FCells;  // components without a stored position
  std::map<std::string, QPixmap> FBitmaps;
  // Mouse state.
  QPoint FPressAt;
  bool FDragging = false;
  bool FPressedOnComponent = false;
  QPoint FDragOffset;
  QRubberBand* FBand = nullptr;
};

}  // namespace designer
