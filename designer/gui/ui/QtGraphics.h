// Fonts, colours and pictures of the forms model as Qt draws them. The forms name the fonts of
// another platform ("MS Sans Serif", "Tahoma"); they map to one sans font shipped with the
// system (Liberation Sans, metric-compatible with the usual dialog fonts), so a dialog looks
// the same on every machine.
#pragma once

#include "vcl/Graphics.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

namespace designer {

inline QString QStr(const std::string& S) { return QString::fromStdString(S); }
inline std::string StdStr(const QString& S) { return S.toStdString(); }

// The sans and monospaced families the forms' fonts map to.
QString DialogFontFamily();
QString FixedFontFamily();

// Font.Name mapped to a family that is there, Font.Height (negative: pixels) as the pixel
// size, and the style.
QFont QtFont(const vcl::TFont& Font);
// A plain colour; system colours give Fallback.
QColor QtColor(vcl::TColor Color, const QColor& Fallback);
// The graphic a TPicture stores (a short string with the graphic's class name, then for a
// bitmap its size and a BMP file image); a null image when it cannot be read.
QImage QtPicture(const vcl::TPicture& Picture);

}  // namespace designer
