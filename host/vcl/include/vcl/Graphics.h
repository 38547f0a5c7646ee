// Colours, cursors, fonts, pictures and the canvas of a control. Nothing here draws: a canvas
// only measures text, through the installed user interface.
#pragma once

#include "rtl/Component.h"

#include <cstdint>

namespace vcl {

using rtl::String;

class TControl;

// ------------------------------------------------------------------ colours

// 0x00BBGGRR for a plain colour; 0xFF0000nn for the system colour nn.
using TColor = int32_t;

constexpr TColor SystemColor(int n) { return static_cast<TColor>(0xFF000000u | static_cast<uint32_t>(n)); }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080, clNavy = 0x800000,
                 clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                 clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clWhite = 0xFFFFFF;
constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1), clActiveCaption = SystemColor(2),
                 clInactiveCaption = SystemColor(3), clMenu = SystemColor(4), clWindow = SystemColor(5),
                 clWindowFrame = SystemColor(6), clMenuText = SystemColor(7), clWindowText = SystemColor(8),
                 clCaptionText = SystemColor(9), clActiveBorder = SystemColor(10), clInactiveBorder = SystemColor(11),
                 clAppWorkSpace = SystemColor(12), clHighlight = SystemColor(13), clHighlightText = SystemColor(14),
                 clBtnFace = SystemColor(15), clBtnShadow = SystemColor(16), clGrayText = SystemColor(17),
                 clBtnText = SystemColor(18), clInactiveCaptionText = SystemColor(19), clBtnHighlight = SystemColor(20),
                 cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22), clInfoText = SystemColor(23),
                 clInfoBk = SystemColor(24), clHotLight = SystemColor(26);
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

// Colour names as form files write them (clBtnFace); false when the name or value has none.
bool IdentToColor(const String& Ident, TColor& Color);
bool ColorToIdent(TColor Color, String& Ident);

// ------------------------------------------------------------------ cursors

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6, crSizeNS = -7,
                  crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12, crNoDrop = -13,
                  crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19,
                  crHelp = -20, crHandPoint = -21, crSizeAll = -22;

bool IdentToCursor(const String& Ident, TCursor& Cursor);
bool CursorToIdent(TCursor Cursor, String& Ident);

// ------------------------------------------------------------------ character sets

using TFontCharset = int;
constexpr TFontCharset ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, OEM_CHARSET = 255;

bool IdentToCharset(const String& Ident, TFontCharset& Charset);
bool CharsetToIdent(TFontCharset Charset, String& Ident);

// Type records of the integer types whose values form files may write by name (clBtnFace,
// crHandPoint, DEFAULT_CHARSET); their names are registered with rtl::RegisterIntegerConsts.
const rtl::TTypeInfo* TypeInfo_TColor();
const rtl::TTypeInfo* TypeInfo_TCursor();
const rtl::TTypeInfo* TypeInfo_TFontCharset();

// ------------------------------------------------------------------ fonts

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = rtl::TSet<TFontStyle>;
const rtl::TTypeInfo* TypeInfo_TFontStyles();

class TFont : public rtl::TPersistent {
  RTL_CLASS(TFont, rtl::TPersistent)

  TFont() = default;

  const String& Name() const { return FName; }
  void SetName(const String& Value);
  // Negative: character height in pixels; positive: cell height.
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  // Points at 96 pixels per inch.
  int Size() const;
  void SetSize(int Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);

  void Assign(rtl::TPersistent* Source) override;
  bool SameAs(const TFont& Other) const;

  // Runs after any change; the owning control uses it to give up its parent's font.
  rtl::TNotifyEvent OnChange;

private:
  void Changed();

  String FName = "Tahoma";
  int FHeight = -11;
  TFontStyles FStyle;
  TColor FColor = clWindowText;
  TFontCharset FCharset = DEFAULT_CHARSET;
};

// ------------------------------------------------------------------ pictures

// A picture kept as the bytes a form file stores for it (the graphic's class name, then its
// data); nothing decodes it.
class TPicture : public rtl::TPersistent {
  RTL_CLASS(TPicture, rtl::TPersistent)

  TPicture() = default;

  const String& Data() const { return FData; }
  void SetData(const String& Value) { FData = Value; }
  bool Empty() const { return FData.empty(); }
  // The graphic class the data starts with ("TBitmap"), "" when empty or unreadable.
  String GraphicClassName() const;

  void Assign(rtl::TPersistent* Source) override;

private:
  String FData;
};

// ------------------------------------------------------------------ canvas

// The canvas of a control: text measured in the control's font by the user interface.
class TCanvas : public rtl::TPersistent {
  RTL_CLASS(TCanvas, rtl::TPersistent)

  explicit TCanvas(TControl* Control) : FControl(Control) {}

  TFont* Font() const;
  int TextWidth(const String& Text) const;
  int TextHeight(const String& Text) const;

private:
  TControl* FControl;
};

}  // namespace vcl
