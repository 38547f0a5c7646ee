// The component palette: one tab per palette page, in registration order (the package's
// "Korvane" page first), each class a button with its 24x24 bitmap from the package. Clicking
// a button arms its class; the next click on the surface drops one there.
#pragma once

#include "rtl/Object.h"

#include <QIcon>
#include <QTabWidget>

#include <functional>

class QToolButton;

namespace designer {

class TPackageLoader;

// A package bitmap (a BMP file image) as an icon, its bottom-left colour transparent.
QPixmap PaletteBitmap(TPackageLoader& Loader, const std::string& ClassName);

class TPalettePane : public QTabWidget {
  Q_OBJECT
public:
  TPalettePane(TPackageLoader& Loader, QWidget* Parent = nullptr);

  rtl::TClass ArmedClass() const { return FArmed; }
  void Disarm();
  QToolButton* Button(const QString& ClassName) const;

signals:
  void ClassArmed(rtl::TClass ComponentClass);

private:
  rtl::TClass FArmed = nullptr;
  std::vector<std::pair<rtl::TClass, QToolButton*>> FButtons;
};

}  // namespace designer
