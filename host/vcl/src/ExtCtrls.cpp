#include "vcl/ExtCtrls.h"

#include "Publish.h"
#include "vcl/Menus.h"

#include <algorithm>

namespace vcl {

using namespace rtl;
using detail::Field;

const TTypeInfo* TypeInfo_TBevelCut() {
  static const TTypeInfo* t = DefineEnumType("TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
  return t;
}
const TTypeInfo* TypeInfo_TBevelShape() {
  static const TTypeInfo* t = DefineEnumType(
      "TBevelShape", {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"});
  return t;
}
const TTypeInfo* TypeInfo_TBevelStyle() {
  static const TTypeInfo* t = DefineEnumType("TBevelStyle", {"bsLowered", "bsRaised"});
  return t;
}

// ------------------------------------------------------------------ TPanel

TClass TPanel::StaticClass() {
  static TClass info =
      ClassBuilder<TPanel>("TPanel")
          .EnumProp("Align", TypeInfo_TAlign(), &TPanel::Align, &TPanel::SetAlign, alNone)
          .EnumProp("Alignment", TypeInfo_TAlignment(), &TPanel::Alignment, &TPanel::SetAlignment, taCenter)
          .EnumProp("BevelInner", TypeInfo_TBevelCut(), &TPanel::BevelInner, &TPanel::SetBevelInner, bvNone)
          .EnumProp("BevelOuter", TypeInfo_TBevelCut(), &TPanel::BevelOuter, &TPanel::SetBevelOuter, bvRaised)
          .IntProp("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth, 1)
          .StrProp("Caption", &TPanel::Caption, &TPanel::SetCaption)
          .EnumProp("Color", TypeInfo_TColor(), &TPanel::Color, &TPanel::SetColor, clBtnFace)
          .BoolProp("Enabled", &TPanel::Enabled, &TPanel::SetEnabled, true)
          .ObjProp<TFont>("Font", &TPanel::Font, &TPanel::SetFont)
          .Stored([](const TPanel* c) { return !c->ParentFont(); })
          .BoolProp("ParentFont", &TPanel::ParentFont, &TPanel::SetParentFont, true)
          .RefProp<TPopupMenu>("PopupMenu", &TPanel::PopupMenu, &TPanel::SetPopupMenu)
          .IntProp("TabOrder", &TPanel::TabOrder, &TPanel::SetTabOrder, -1)
          .BoolProp("TabStop", &TPanel::TabStop, &TPanel::SetTabStop)
          .BoolProp("Visible", &TPanel::Visible, &TPanel::SetVisible, true)
          .Event("OnClick", TypeInfo_TNotifyEvent(), Field<TPanel>(&TControl::OnClick))
          .Event("OnEnter", TypeInfo_TNotifyEvent(), Field<TPanel>(&TWinControl::OnEnter))
          .Event("OnExit", TypeInfo_TNotifyEvent(), Field<TPanel>(&TWinControl::OnExit))
          .Event("OnMouseDown", TypeInfo_TMouseEvent(), Field<TPanel>(&TControl::OnMouseDown))
          .Build();
  return info;
}

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 185, 41);
  SetAlignment(taCenter);
}

// ------------------------------------------------------------------ TBevel

TClass TBevel::StaticClass() {
  static TClass info = ClassBuilder<TBevel>("TBevel")
                           .EnumProp("Align", TypeInfo_TAlign(), &TBevel::Align, &TBevel::SetAlign, alNone)
                           .EnumProp("Shape", TypeInfo_TBevelShape(), &TBevel::Shape, &TBevel::SetShape, bsBox)
                           .EnumProp("Style", TypeInfo_TBevelStyle(), &TBevel::Style, &TBevel::SetStyle, bsLowered)
                           .BoolProp("Visible", &TBevel::Visible, &TBevel::SetVisible, true)
                           .Build();
  return info;
}

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); }

// ------------------------------------------------------------------ TImage

TClass TImage::StaticClass() {
  static TClass info = ClassBuilder<TImage>("TImage")
                           .EnumProp("Align", TypeInfo_TAlign(), &TImage::Align, &TImage::SetAlign, alNone)
                           .BoolProp("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize)
                           .BoolProp("Center", &TImage::Center, &TImage::SetCenter)
                           .ObjProp<TPicture>("Picture", &TImage::Picture, &TImage::SetPicture)
                           .RefProp<TPopupMenu>("PopupMenu", &TImage::PopupMenu, &TImage::SetPopupMenu)
                           .BoolProp("Stretch", &TImage::Stretch, &TImage::SetStretch)
                           .BoolProp("Transparent", &TImage::Transparent, &TImage::SetTransparent)
                           .BoolProp("Visible", &TImage::Visible, &TImage::SetVisible, true)
                           .Event("OnClick", TypeInfo_TNotifyEvent(), Field<TImage>(&TControl::OnClick))
                           .Event("OnMouseDown", TypeInfo_TMouseEvent(), Field<TImage>(&TControl::OnMouseDown))
                           .Build();
  return info;
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() = default;

// ------------------------------------------------------------------ TRadioGroup

TClass TRadioGroup::StaticClass() {
  static TClass info = ClassBuilder<TRadioGroup>("TRadioGroup")
                           .EnumProp("Align", TypeInfo_TAlign(), &TRadioGroup::Align, &TRadioGroup::SetAlign, alNone)
                           .StrProp("Caption", &TRadioGroup::Caption, &TRadioGroup::SetCaption)
                           .EnumProp("Color", TypeInfo_TColor(), &TRadioGroup::Color, &TRadioGroup::SetColor, clBtnFace)
                           .IntProp("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns, 1)
                           .BoolProp("Enabled", &TRadioGroup::Enabled, &TRadioGroup::SetEnabled, true)
                           .ObjProp<TFont>("Font", &TRadioGroup::Font, &TRadioGroup::SetFont)
                           .Stored([](const TRadioGroup* c) { return !c->ParentFont(); })
                           .IntProp("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex, -1)
                           .ObjProp<TStrings>("Items", &TRadioGroup::Items, &TRadioGroup::SetItems)
                           .BoolProp("ParentFont", &TRadioGroup::ParentFont, &TRadioGroup::SetParentFont, true)
                           .RefProp<TPopupMenu>("PopupMenu", &TRadioGroup::PopupMenu, &TRadioGroup::SetPopupMenu)
                           .IntProp("TabOrder", &TRadioGroup::TabOrder, &TRadioGroup::SetTabOrder, -1)
                           .BoolProp("TabStop", &TRadioGroup::TabStop, &TRadioGroup::SetTabStop, true)
                           .BoolProp("Visible", &TRadioGroup::Visible, &TRadioGroup::SetVisible, true)
                           .Event("OnClick", TypeInfo_TNotifyEvent(), Field<TRadioGroup>(&TControl::OnClick))
                           .Event("OnEnter", TypeInfo_TNotifyEvent(), Field<TRadioGroup>(&TWinControl::OnEnter))
                           .Event("OnExit", TypeInfo_TNotifyEvent(), Field<TRadioGroup>(&TWinControl::OnExit))
                           .Build();
  return info;
}

TRadioGroup::TRadioGroup(TComponent* AOwner) : TWinControl(AOwner), FItems(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 185, 105);
  SetTabStop(true);
  FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TRadioGroup::~TRadioGroup() = default;

TStrings* TRadioGroup::Items() const { return FItems.get(); }

void TRadioGroup::SetItems(TStrings* Value) { FItems->Assign(Value); }

void TRadioGroup::SetColumns(int Value) { FColumns = std::clamp(Value, 1, 16); }

void TRadioGroup::SetItemIndex(int Value) {
  if (IsLoading()) {
    FItemIndex = Value;
    return;
  }
  Value = std::clamp(Value, -1, FItems->Count() - 1);
  if (FItemIndex == Value) return;
  FItemIndex = Value;
  Click();
}

void TRadioGroup::ItemsChanged() {
  if (!IsLoading() && FItemIndex >= FItems->Count()) FItemIndex = -1;
}

}  // namespace vcl
