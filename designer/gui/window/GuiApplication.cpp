#include "GuiApplication.h"

#include "QtGraphics.h"

#include <QApplication>

#include <cstdlib>

namespace designer {

void PrepareGuiEnvironment(bool Offscreen) {
  if (Offscreen) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("QT_FONT_DPI", "96", 0);
  setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 0);
  QApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

void SetGuiFont(QApplication& App) {
  QFont f = App.font();
  if (!DialogFontFamily().isEmpty()) f.setFamily(DialogFontFamily());
  f.setPixelSize(12);
  App.setFont(f);
  App.setStyle("Fusion");
}

}  // namespace designer
