// Panels, bevels, images and radio groups.
#pragma once

#include "vcl/StdCtrls.h"

namespace vcl {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };
const rtl::TTypeInfo* TypeInfo_TBevelCut();
const rtl::TTypeInfo* TypeInfo_TBevelShape();
const rtl::TTypeInfo* TypeInfo_TBevelStyle();

// ------------------------------------------------------------------ TPanel

class TPanel : public TWinControl {
  RTL_CLASS(TPanel, TWinControl)
  explicit TPanel(rtl::TComponent* AOwner);

  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value) { FBevelInner = Value; }
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value) { FBevelOuter = Value; }
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value) { FBevelWidth = Value; }

  String KindName() const override { return "panel"; }

private:
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int FBevelWidth = 1;
};

// ------------------------------------------------------------------ TBevel

class TBevel : public TGraphicControl {
  RTL_CLASS(TBevel, TGraphicControl)
  explicit TBevel(rtl::TComponent* AOwner);

  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape Value) { FShape = Value; }
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle Value) { FStyle = Value; }

  String KindName() const override { return "bevel"; }

private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// ------------------------------------------------------------------ TImage

class TImage : public TGraphicControl {
  RTL_CLASS(TImage, TGraphicControl)
  explicit TImage(rtl::TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value) { FAutoSize = Value; }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value) { FStretch = Value; }
  bool Center() const { return FCenter; }
  void SetCenter(bool Value) { FCenter = Value; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { FTransparent = Value; }

  String KindName() const override { return "image"; }

private:
  std::unique_ptr<TPicture> FPicture;
  bool FAutoSize = false;
  bool FStretch = false;
  bool FCenter = false;
  bool FTransparent = false;
};

// ------------------------------------------------------------------ TRadioGroup

// A group of radio buttons, one per item; the caption is the group's. Setting ItemIndex from
// code fires OnClick when it changes, as the platform's radio group does (not while the form
// file is read).
class TRadioGroup : public TWinControl {
  RTL_CLASS(TRadioGroup, TWinControl)
  explicit TRadioGroup(rtl::TComponent* AOwner);
  ~TRadioGroup() override;

  rtl::TStrings* Items() const;
  void SetItems(rtl::TStrings* Value);
  int Columns() const { return FColumns; }
  void SetColumns(int Value);
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);

  bool AcceptsFocus() const override { return true; }
  String KindName() const override { return "radio group"; }

private:
  void ItemsChanged();

  std::unique_ptr<rtl::TStringList> FItems;
  int FColumns = 1;
  int FItemIndex = -1;
};

}  // namespace vcl
