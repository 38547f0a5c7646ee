#include "QtGraphics.h"

#include "rtl/SysUtils.h"

#include <QFontDatabase>

namespace designer {

QString DialogFontFamily() {
  static const QString family = QFontDatabase::hasFamily("Liberation Sans") ? QString("Liberation Sans") : QString();
  return family;
}

QString FixedFontFamily() {
  static const QString family = QFontDatabase::hasFamily("Liberation Mono")
                                    ? QString("Liberation Mono")
                                    : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
  return family;
}

QFont QtFont(const vcl::TFont& Font) {
  QFont f;
  const std::string name = rtl::LowerCase(Font.Name());
  const bool fixed = name.find("courier") != std::string::npos || name.find("mono") != std::string::npos ||
                     name == "fixedsys" || name == "consolas";
  if (fixed)
    f.setFamily(FixedFontFamily());
  else if (!DialogFontFamily().isEmpty())
    f.setFamily(DialogFontFamily());
  // A negative height is the character height in pixels; a positive one the cell height, of which
  // the character takes about four fifths.
  int px = Font.Height() < 0 ? -Font.Height() : Font.Height() * 4 / 5;
  f.setPixelSize(px > 0 ? px : 11);
  const vcl::TFontStyles style = Font.Style();
  f.setBold(style.Contains(vcl::fsBold));
  f.setItalic(style.Contains(vcl::fsItalic));
  f.setUnderline(style.Contains(vcl::fsUnderline));
  f.setStrikeOut(style.Contains(vcl::fsStrikeOut));
  return f;
}

QColor QtColor(vcl::TColor Color, const QColor& Fallback) {
  const auto c = static_cast<uint32_t>(Color);
  if (c & 0xFF000000u) return Fallback;  // a system colour, clNone, clDefault
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

QImage QtPicture(const vcl::TPicture& Picture) {
  const std::string& data = Picture.Data();
  if (data.empty()) return {};
  const size_t nameLength = static_cast<unsigned char>(data[0]);
  if (nameLength + 1 > data.size()) return {};
  const std::string className = data.substr(1, nameLength);
  size_t at = nameLength + 1;
  // A bitmap is stored with its size in front of the BMP file image.
  if (rtl::SameText(className, "TBitmap") && data.size() >= at + 4) at += 4;
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(data.data() + at), static_cast<int>(data.size() - at));
  return image;
}

}  // namespace designer
