#include "PalettePane.h"

#include "QtGraphics.h"

#include "designer/PackageLoader.h"
#include "designintf/Registry.h"
#include "rtl/SysUtils.h"

#include <QDrag>
#include <QHBoxLayout>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolButton>

namespace designer {

namespace {

// A palette button that can also be dragged onto the object tree.
class TPaletteButton : public QToolButton {
public:
  TPaletteButton(QString ClassName, QWidget* Parent) : QToolButton(Parent), FClassName(std::move(ClassName)) {}

protected:
  void mousePressEvent(QMouseEvent* E) override {
    FPress = E->position().toPoint();
    QToolButton::mousePressEvent(E);
  }
  void mouseMoveEvent(QMouseEvent* E) override {
    if ((E->buttons() & Qt::LeftButton) && (E->position().toPoint() - FPress).manhattanLength() > 8) {
      setDown(false);
      auto* drag = new QDrag(this);
      auto* data = new QMimeData;
      data->setData("application/x-korv-palette-class", FClassName.toUtf8());
      drag->setMimeData(data);
      drag->setPixmap(icon().pixmap(24, 24));
      drag->exec(Qt::CopyAction);
      return;
    }
    QToolButton::mouseMoveEvent(E);
  }

private:
  QString FClassName;
  QPoint FPress;
};

}  // namespace

QPixmap PaletteBitmap(TPackageLoader& Loader, const std::string& ClassName) {
  std::optional<TPackageResource> r = Loader.FindResource(rtl::UpperCase(ClassName));
  if (!r) return {};
  QImage image;
  if (!image.loadFromData(reinterpret_cast<const uchar*>(r->Data.data()), static_cast<int>(r->Data.size()), "BMP"))
    return {};
  image = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb transparent = image.pixel(0, image.height() - 1);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == transparent) image.setPixel(x, y, qRgba(0, 0, 0, 0));
  return QPixmap::fromImage(image);
}

TPalettePane::TPalettePane(TPackageLoader& Loader, QWidget* Parent) : QTabWidget(Parent) {
  setObjectName("Palette");
  std::map<std::string, QWidget*> pages;
  for (const designintf::TPaletteEntry& e : designintf::GetPaletteEntries()) {
    QWidget*& page = pages[e.Page];
    if (!page) {
      page = new QWidget;
      page->setObjectName(QStr(e.Page));
      auto* layout = new QHBoxLayout(page);
      layout->setContentsMargins(2, 2, 2, 2);
      layout->setSpacing(1);
      layout->addStretch();
      addTab(page, QStr(e.Page));
    }
    const QString name = QStr(e.ComponentClass->Name);
    auto* b = new TPaletteButton(name, page);
    b->setObjectName(name);
    b->setToolTip(name);
    b->setCheckable(true);
    b->setAutoRaise(true);
    b->setIconSize(QSize(24, 24));
    b->setFixedSize(30, 30);
    QPixmap bitmap = PaletteBitmap(Loader, e.ComponentClass->Name);
    if (bitmap.isNull())
      b->setText(name.mid(1, 3));
    else
      b->setIcon(QIcon(bitmap));
    auto* layout = static_cast<QHBoxLayout*>(page->layout());
    layout->insertWidget(layout->count() - 1, b);
    rtl::TClass cls = e.ComponentClass;
    connect(b, &QToolButton::clicked, this, [this, cls, b](bool checked) {
      for (auto& [c, other] : FButtons)
        if (other != b) other->setChecked(false);
      FArmed = checked ? cls : nullptr;
      emit ClassArmed(FArmed);
    });
    FButtons.emplace_back(cls, b);
  }
  setFixedHeight(sizeHint().height());
}

void TPalettePane::Disarm() {
  FArmed = nullptr;
  for (auto& [c, b] : FButtons) b->setChecked(false);
}

QToolButton* TPalettePane::Button(const QString& ClassName) const {
  for (auto& [c, b] : FButtons)
    if (b->objectName().compare(ClassName, Qt::CaseInsensitive) == 0) return b;
  return nullptr;
}

}  // namespace designer
