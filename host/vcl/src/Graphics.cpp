#include "vcl/Graphics.h"

#include "vcl/Controls.h"
#include "vcl/UserInterface.h"
#include "rtl/SysUtils.h"

#include <cstring>
#include <utility>

namespace vcl {

using namespace rtl;

namespace {

struct TIdentMapEntry {
  int Value;
  const char* Name;
};

// clang-format off
const TIdentMapEntry Colors[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"}, {clHotLight, "clHotLight"}, {clNone, "clNone"},
    {clDefault, "clDefault"}};
// clang-format on

const TIdentMapEntry Cursors[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},           {crArrow, "crArrow"},
    {crCross, "crCross"},         {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"},   {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},       {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},     {crNo, "crNo"},
    {crAppStart, "crAppStart"},   {crHelp, "crHelp"},           {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"}};

// clang-format off
const TIdentMapEntry Charsets[] = {
    {ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, "SYMBOL_CHARSET"}, {77, "MAC_CHARSET"}, {128, "SHIFTJIS_CHARSET"},
    {129, "HANGEUL_CHARSET"}, {130, "JOHAB_CHARSET"}, {134, "GB2312_CHARSET"},
    {136, "CHINESEBIG5_CHARSET"}, {161, "GREEK_CHARSET"}, {162, "TURKISH_CHARSET"},
    {163, "VIETNAMESE_CHARSET"}, {177, "HEBREW_CHARSET"}, {178, "ARABIC_CHARSET"},
    {186, "BALTIC_CHARSET"}, {204, "RUSSIAN_CHARSET"}, {222, "THAI_CHARSET"},
    {238, "EASTEUROPE_CHARSET"}, {OEM_CHARSET, "OEM_CHARSET"}};
// clang-format on

template <size_t N>
bool IdentToInt(const TIdentMapEntry (&map)[N], const String& ident, int& value) {
  for (const auto& e : map)
    if (SameText(ident, e.Name)) {
      value = e.Value;
      return true;
    }
  return false;
}

template <size_t N>
bool IntToIdent(const TIdentMapEntry (&map)[N], int value, String& ident) {
  for (const auto& e : map)
    if (e.Value == value) {
      ident = e.Name;
      return true;
    }
  return false;
}

const TTypeInfo* IntegerType(const char* name) {
  // Kept for the life of the program, like every type record.
  return new TTypeInfo{TTypeKind::tkInteger, name, {}, nullptr, nullptr};
}

}  // namespace

bool IdentToColor(const String& Ident, TColor& Color) { return IdentToInt(Colors, Ident, Color); }
bool ColorToIdent(TColor Color, String& Ident) { return IntToIdent(Colors, Color, Ident); }
bool IdentToCursor(const String& Ident, TCursor& Cursor) { return IdentToInt(Cursors, Ident, Cursor); }
bool CursorToIdent(TCursor Cursor, String& Ident) { return IntToIdent(Cursors, Cursor, Ident); }
bool IdentToCharset(const String& Ident, TFontCharset& Charset) { return IdentToInt(Charsets, Ident, Charset); }
bool CharsetToIdent(TFontCharset Charset, String& Ident) { return IntToIdent(Charsets, Charset, Ident); }

const TTypeInfo* TypeInfo_TColor() {
  static const TTypeInfo* t = IntegerType("TColor");
  return t;
}
const TTypeInfo* TypeInfo_TCursor() {
  static const TTypeInfo* t = IntegerType("TCursor");
  return t;
}
const TTypeInfo* TypeInfo_TFontCharset() {
  static const TTypeInfo* t = IntegerType("TFontCharset");
  return t;
}

namespace {

// Form files and the inspector name colours, cursors and character sets.
template <class F, class G>
void RegisterNames(const TTypeInfo* Type, F identToInt, G intToIdent) {
  RegisterIntegerConsts(
      Type,
      [identToInt](const String& Ident, int64_t& Value) {
        int v = 0;
        if (!identToInt(Ident, v)) return false;
        Value = v;
        return true;
      },
      [intToIdent](int64_t Value, String& Ident) { return intToIdent(static_cast<int>(Value), Ident); });
}

struct TRegisterGraphicsNames {
  TRegisterGraphicsNames() {
    RegisterNames(TypeInfo_TColor(), IdentToColor, ColorToIdent);
    RegisterNames(TypeInfo_TCursor(), IdentToCursor, CursorToIdent);
    RegisterNames(TypeInfo_TFontCharset(), IdentToCharset, CharsetToIdent);
  }
} RegisterGraphicsNames;

}  // namespace

const TTypeInfo* TypeInfo_TFontStyles() {
  static const TTypeInfo* t =
      DefineSetType("TFontStyles", DefineEnumType("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}));
  return t;
}

// ------------------------------------------------------------------ TFont

TClass TFont::StaticClass() {
  static TClass info =
      ClassBuilder<TFont>("TFont")
          .EnumProp("Charset", TypeInfo_TFontCharset(), &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET)
          .EnumProp("Color", TypeInfo_TColor(), &TFont::Color, &TFont::SetColor, clWindowText)
          .IntProp("Height", &TFont::Height, &TFont::SetHeight, -11)
          .StrProp("Name", &TFont::Name, &TFont::SetName, "Tahoma")
          .SetProp("Style", TypeInfo_TFontStyles(), &TFont::Style, &TFont::SetStyle)
          .Build();
  return info;
}

void TFont::Changed() {
  if (OnChange) OnChange(this);
}

void TFont::SetName(const String& Value) {
  if (FName == Value) return;
  FName = Value;
  Changed();
}

void TFont::SetHeight(int Value) {
  if (FHeight == Value) return;
  FHeight = Value;
  Changed();
}

int TFont::Size() const {
  // Points at 96 pixels per inch, rounded.
  int h = FHeight < 0 ? -FHeight : FHeight;
  int pts = (h * 72 + 48) / 96;
  return FHeight < 0 ? pts : -pts;
}

void TFont::SetSize(int Value) { SetHeight(-((Value * 96 + 36) / 72)); }

void TFont::SetStyle(TFontStyles Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Changed();
}

void TFont::SetCharset(TFontCharset Value) {
  if (FCharset == Value) return;
  FCharset = Value;
  Changed();
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (SameAs(*f)) return;
    FName = f->FName;
    FHeight = f->FHeight;
    FStyle = f->FStyle;
    FColor = f->FColor;
    FCharset = f->FCharset;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

bool TFont::SameAs(const TFont& Other) const {
  return FName == Other.FName && FHeight == Other.FHeight && FStyle == Other.FStyle && FColor == Other.FColor &&
         FCharset == Other.FCharset;
}

// ------------------------------------------------------------------ TPicture

TClass TPicture::StaticClass() {
  // Data is not published: a form file's Picture.Data is kept by the reader as written, and
  // the form puts its bytes here (FormReading.cpp).
  static TClass info = ClassBuilder<TPicture>("TPicture").Build();
  return info;
}

String TPicture::GraphicClassName() const {
  // The stored form starts with the class name as a short string: a length byte, then the name.
  if (FData.empty()) return {};
  size_t n = static_cast<unsigned char>(FData[0]);
  if (n == 0 || n + 1 > FData.size()) return {};
  String name = FData.substr(1, n);
  return IsValidIdent(name) ? name : String();
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    FData.clear();
    return;
  }
  if (auto* p = dynamic_cast<TPicture*>(Source)) {
    FData = p->FData;
    return;
  }
  TPersistent::Assign(Source);
}

// ------------------------------------------------------------------ TCanvas

TClass TCanvas::StaticClass() {
  static TClass info = ClassBuilder<TCanvas>("TCanvas").Build();
  return info;
}

TFont* TCanvas::Font() const { return FControl->Font(); }

int TCanvas::TextWidth(const String& Text) const { return UserInterface().TextWidth(*Font(), Text); }

int TCanvas::TextHeight(const String&) const {
  int h = Font()->Height();
  if (h == 0) h = -11;
  return h < 0 ? -h + 2 : h;
}

}  // namespace vcl
