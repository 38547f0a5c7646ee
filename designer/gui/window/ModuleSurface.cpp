#include "ModuleSurface.h"

#include "DataPreview.h"
#include "PalettePane.h"
#include "QtGraphics.h"

#include "designer/OpenModule.h"
#include "designer/PackageLoader.h"
#include "rtl/DesignInfo.h"
#include "rtl/SysUtils.h"
#include "vcl/Controls.h"
#include "vcl/Dialogs.h"

#include <QContextMenuEvent>
#include <QInputDialog>
#include <QMenu>
#include <QPainter>
#include <QRubberBand>

#include <algorithm>

namespace designer {

namespace {

void ShowError(const std::exception& E) { vcl::MessageDlg(E.what(), vcl::mtError, {vcl::mbOK}, 0); }

}  // namespace

TModuleSurface::TModuleSurface(TPackageLoader& Loader, QWidget* Parent) : QWidget(Parent), FLoader(Loader) {
  setObjectName("Surface");
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
}

void TModuleSurface::SetModule(TOpenModule* Module) {
  FModule = Module;
  FCells.clear();
  Refresh();
}

std::vector<rtl::TComponent*> TModuleSurface::Components() const {
  std::vector<rtl::TComponent*> r;
  if (!FModule) return r;
  rtl::TComponent* root = FModule->GetRoot();
  for (int i = 0; i < root->ComponentCount(); ++i)
    if (rtl::TComponent* c = root->Components(i); !dynamic_cast<vcl::TControl*>(c)) r.push_back(c);
  return r;
}

void TModuleSurface::PlaceUnpositioned() {
  // Components without Left and Top take the free grid cells in their creation order.
  std::vector<QRect> taken;
  std::vector<rtl::TComponent*> unplaced;
  std::map<rtl::TComponent*, QPoint> cells;
  for (rtl::TComponent* c : Components())
    if (auto p = rtl::DesignPosition(c))
      taken.emplace_back(p->Left, p->Top, CellWidth, CellHeight);
    else
      unplaced.push_back(c);
  const int columns = std::max(1, (std::max(width(), 400) - 32) / CellWidth);
  int cell = 0;
  for (rtl::TComponent* c : unplaced) {
    for (;; ++cell) {
      const QPoint at(32 + (cell % columns) * CellWidth, 16 + (cell / columns) * CellHeight);
      const QRect r(at, QSize(CellWidth - 8, CellHeight - 8));
      if (std::none_of(taken.begin(), taken.end(), [&](const QRect& t) { return t.intersects(r); })) {
        cells[c] = at;
        taken.emplace_back(r);
        ++cell;
        break;
      }
    }
  }
  FCells = std::move(cells);
}

void TModuleSurface::Refresh() {
  PlaceUnpositioned();
  updateGeometry();
  resize(sizeHint().expandedTo(parentWidget() ? parentWidget()->size() : QSize()));
  update();
}

QSize TModuleSurface::sizeHint() const {
  QSize s(400, 300);
  for (rtl::TComponent* c : Components()) {
    const QPoint p = PositionOf(c);
    s = s.expandedTo(QSize(p.x() + CellWidth, p.y() + CellHeight));
  }
  return s;
}

QPoint TModuleSurface::PositionOf(rtl::TComponent* Component) const {
  if (auto p = rtl::DesignPosition(Component)) return QPoint(p->Left, p->Top);
  auto it = FCells.find(Component);
  return it == FCells.end() ? QPoint(16, 16) : it->second;
}

QRect TModuleSurface::IconRect(rtl::TComponent* Component) const {
  return QRect(PositionOf(Component), QSize(IconSize, IconSize));
}

rtl::TComponent* TModuleSurface::ComponentAt(const QPoint& At) const {
  const std::vector<rtl::TComponent*> all = Components();
  for (auto it = all.rbegin(); it != all.rend(); ++it)
    if (IconRect(*it).contains(At)) return *it;
  return nullptr;
}

bool TModuleSurface::IsSelected(rtl::TComponent* Component) const {
  if (!FModule) return false;
  for (rtl::TPersistent* p : FModule->GetSelections())
    if (p == Component) return true;
  return false;
}

void TModuleSurface::Select(const std::vector<rtl::TComponent*>& Components) {
  designintf::TDesignerSelections s;
  for (rtl::TComponent* c : Components) s.push_back(c);
  if (s.empty()) s.push_back(FModule->GetRoot());
  FModule->SetSelections(s);
  update();
  emit SelectionChanged();
}

void TModuleSurface::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(QColor(220, 220, 220));
  for (int x = 0; x < width(); x += 8)
    for (int y = 0; y < height(); y += 8) p.drawPoint(x, y);
  QFont f(DialogFontFamily());
  f.setPixelSize(11);
  p.setFont(f);
  for (rtl::TComponent* c : Components()) {
    const QRect icon = IconRect(c);
    p.fillRect(icon, QColor(236, 233, 216));
    p.setPen(QColor(128, 128, 128));
    p.drawRect(icon.adjusted(0, 0, -1, -1));
    auto it = FBitmaps.find(c->ClassName());
    if (it == FBitmaps.end()) it = FBitmaps.emplace(c->ClassName(), PaletteBitmap(FLoader, c->ClassName())).first;
    if (!it->second.isNull()) p.drawPixmap(icon.left() + 2, icon.top() + 2, it->second);
    const QString name = QStr(c->Name());
    const int w = p.fontMetrics().horizontalAdvance(name);
    const QRect text(icon.center().x() - w / 2 - 2, icon.bottom() + 3, w + 4, p.fontMetrics().height());
    p.setPen(Qt::black);
    p.drawText(text, Qt::AlignCenter, name);
    if (IsSelected(c)) {
      p.setPen(QPen(QColor(0, 0, 160), 1, Qt::DashLine));
      p.drawRect(icon.adjusted(-2, -2, 1, 1));
      p.fillRect(QRect(icon.topLeft() - QPoint(3, 3), QSize(4, 4)), QColor(0, 0, 160));
      p.fillRect(QRect(icon.topRight() + QPoint(0, -3), QSize(4, 4)), QColor(0, 0, 160));
      p.fillRect(QRect(icon.bottomLeft() + QPoint(-3, 0), QSize(4, 4)), QColor(0, 0, 160));
      p.fillRect(QRect(icon.bottomRight(), QSize(4, 4)), QColor(0, 0, 160));
    }
  }
}

void TModuleSurface::mousePressEvent(QMouseEvent* E) {
  if (!FModule) return;
  setFocus();
  FPressAt = E->position().toPoint();
  FDragging = false;
  rtl::TComponent* hit = ComponentAt(FPressAt);
  FPressedOnComponent = hit != nullptr;
  if (E->button() == Qt::RightButton) {
    if (hit && !IsSelected(hit)) Select({hit});
    return;
  }
  if (E->button() != Qt::LeftButton) return;
  if (FArmed) {
    // A palette drop: a new component where the click was, named as the designer names it.
    rtl::TClass cls = FArmed;
    FArmed = nullptr;
    try {
      rtl::TComponent* c = FModule->CreateComponent(cls);
      rtl::SetDesignPosition(c, {std::max(0, FPressAt.x()), std::max(0, FPressAt.y())});
      Select({c});
      emit ComponentDropped(c);
    } catch (const std::exception& e) {
      ShowError(e);
    }
    return;
  }
  if (hit) {
    if (E->modifiers() & Qt::ControlModifier) {
      std::vector<rtl::TComponent*> s;
      for (rtl::TComponent* c : Components())
        if ((c == hit) != IsSelected(c)) s.push_back(c);
      Select(s);
      FPressedOnComponent = false;  // Ctrl-click only selects
    } else if (!IsSelected(hit)) {
      Select({hit});
    }
    FDragOffset = QPoint();
    return;
  }
  if (!(E->modifiers() & Qt::ControlModifier)) Select({});
  if (!FBand) FBand = new QRubberBand(QRubberBand::Rectangle, this);
  FBand->setGeometry(QRect(FPressAt, QSize()));
  FBand->show();
}

void TModuleSurface::mouseMoveEvent(QMouseEvent* E) {
  const QPoint at = E->position().toPoint();
  if (FBand && FBand->isVisible()) {
    FBand->setGeometry(QRect(FPressAt, at).normalized());
    return;
  }
  if (!(E->buttons() & Qt::LeftButton) || !FPressedOnComponent) return;
  if (!FDragging && (at - FPressAt).manhattanLength() < 4) return;
  FDragging = true;
  FDragOffset = at - FPressAt;
  update();
}

void TModuleSurface::mouseReleaseEvent(QMouseEvent* E) {
  if (FBand && FBand->isVisible()) {
    FBand->hide();
    const QRect band = FBand->geometry();
    std::vector<rtl::TComponent*> s;
    for (rtl::TComponent* c : Components())
      if (band.intersects(IconRect(c)) || ((E->modifiers() & Qt::ControlModifier) && IsSelected(c))) s.push_back(c);
    Select(s);
    return;
  }
  if (FDragging && FModule) {
    // The move is the selected components' new Left and Top.
    const QPoint offset = E->position().toPoint() - FPressAt;
    for (rtl::TComponent* c : Components())
      if (IsSelected(c)) {
        const QPoint p = PositionOf(c) + offset;
        rtl::SetDesignPosition(c, {std::max(0, p.x()), std::max(0, p.y())});
      }
    FDragging = false;
    FModule->Modified();
  }
  FPressedOnComponent = false;
  update();
}

void TModuleSurface::mouseDoubleClickEvent(QMouseEvent* E) {
  if (rtl::TComponent* c = ComponentAt(E->position().toPoint())) EditComponent(c);
}

void TModuleSurface::EditComponent(rtl::TComponent* Component) {
  if (!FModule) return;
  try {
    FModule->GetComponentEditor(Component)->Edit();
  } catch (const std::exception& e) {
    ShowError(e);
  }
}

void TModuleSurface::keyPressEvent(QKeyEvent* E) {
  if (E->key() == Qt::Key_Delete) {
    DeleteSelected();
    return;
  }
  if (E->key() == Qt::Key_F2) {
    RenameSelected();
    return;
  }
  QWidget::keyPressEvent(E);
}

void TModuleSurface::DeleteSelected() {
  if (!FModule) return;
  std::vector<rtl::TComponent*> doomed;
  for (rtl::TComponent* c : Components())
    if (IsSelected(c)) doomed.push_back(c);
  try {
    for (rtl::TComponent* c : doomed) FModule->DeleteComponent(c);
  } catch (const std::exception& e) {
    ShowError(e);
  }
  Select({});
}

void TModuleSurface::RenameSelected() {
  if (!FModule) return;
  designintf::TDesignerSelections s = FModule->GetSelections();
  auto* c = s.size() == 1 ? dynamic_cast<rtl::TComponent*>(s[0]) : nullptr;
  if (!c) return;
  bool ok = false;
  const QString name = QInputDialog::getText(this, "Rename", "Name of " + QStr(c->Name()) + ":", QLineEdit::Normal,
                                             QStr(c->Name()), &ok);
  if (!ok || name.isEmpty() || StdStr(name) == c->Name()) return;
  try {
    const std::string n = StdStr(name);
    if (!rtl::SameText(n, c->Name()) && (FModule->FindComponent(n) || rtl::SameText(FModule->GetRoot()->Name(), n)))
      throw rtl::Exception("A component named " + n + " already exists");
    FModule->RenameComponent(c, n);
  } catch (const std::exception& e) {
    ShowError(e);
  }
  update();
}

std::unique_ptr<QMenu> TModuleSurface::ContextMenu(rtl::TComponent* Component) {
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName("SurfaceMenu");
  if (Component && FModule) {
    try {
      auto editor = FModule->GetComponentEditor(Component);
      const int count = editor->GetVerbCount();
      for (int i = 0; i < count; ++i) {
        const QString verb = QStr(editor->GetVerb(i));
        if (verb == "-") {
          menu->addSeparator();
          continue;
        }
        menu->addAction(verb, this, [this, Component, i] {
          try {
            FModule->GetComponentEditor(Component)->ExecuteVerb(i);
          } catch (const std::exception& e) {
            ShowError(e);
          }
          update();
        });
      }
      if (count > 0) menu->addSeparator();
    } catch (const std::exception& e) {
      ShowError(e);
    }
  }
  if (Component && HasDataView(Component))
    menu->addAction("View Data...", this, [this, Component] { ViewData(Component, window()); })
        ->setObjectName("ViewData");
  menu->addAction("Delete", this, [this] { DeleteSelected(); })->setShortcut(QKeySequence::Delete);
  menu->addAction("Rename...", this, [this] { RenameSelected(); })->setShortcut(QKeySequence(Qt::Key_F2));
  return menu;
}

void TModuleSurface::contextMenuEvent(QContextMenuEvent* E) {
  rtl::TComponent* c = ComponentAt(E->pos());
  if (!c || !FModule) return;
  if (!IsSelected(c)) Select({c});
  std::unique_ptr<QMenu> menu = ContextMenu(c);
  menu->exec(E->globalPos());
}

}  // namespace designer
