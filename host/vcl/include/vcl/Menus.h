// Menus: a popup menu and its items. Items are components owned by the form and nested in the
// menu (or in another item) in form files.
#pragma once

#include "vcl/Controls.h"

namespace vcl {

class TMenu;

class TMenuItem : public rtl::TComponent {
  RTL_CLASS(TMenuItem, rtl::TComponent)
  explicit TMenuItem(rtl::TComponent* AOwner);
  ~TMenuItem() override;

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value) { FCaption = Value; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value) { FChecked = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  bool Default() const { return FDefault; }
  void SetDefault(bool Value) { FDefault = Value; }
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value) { FRadioItem = Value; }
  int ShortCut() const { return FShortCut; }
  void SetShortCut(int Value) { FShortCut = Value; }
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }

  // Sub-items (plain pointers; each is owned by its own owner).
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const;
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  void Remove(TMenuItem* Item);
  int IndexOf(const TMenuItem* Item) const;
  // The sub-item of that caption, mnemonics ignored; nil when none.
  TMenuItem* Find(const String& ACaption) const;
  TMenuItem* Parent() const { return FParent; }
  // The menu this item belongs to, through its parents.
  TMenu* GetParentMenu() const;

  bool HasParent() const override { return true; }
  rtl::TComponent* GetParentComponent() const override;
  void SetParentComponent(rtl::TComponent* Value) override;
  void GetChildren(const std::function<void(rtl::TComponent*)>& Proc, rtl::TComponent* Root) override;

  virtual void Click();

  TNotifyEvent OnClick;

private:
  friend class TMenu;
  String FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  bool FRadioItem = false;
  int FShortCut = 0;
  String FHint;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item of a menu
};

class TMenu : public rtl::TComponent {
  RTL_CLASS(TMenu, rtl::TComponent)
  explicit TMenu(rtl::TComponent* AOwner);
  ~TMenu() override;

  // The root item; the menu's entries are its sub-items.
  TMenuItem* Items() const { return FItems.get(); }

  void GetChildren(const std::function<void(rtl::TComponent*)>& Proc, rtl::TComponent* Root) override;

private:
  std::unique_ptr<TMenuItem> FItems;
};

class TPopupMenu : public TMenu {
  RTL_CLASS(TPopupMenu, TMenu)
  explicit TPopupMenu(rtl::TComponent* AOwner) : TMenu(AOwner) {}

  // The control the menu was last opened on.
  rtl::TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(rtl::TComponent* Value);
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  // Opens the menu at a screen point: fires OnPopup (the gesture driver then picks an item).
  virtual void Popup(int X, int Y);

  void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

  TNotifyEvent OnPopup;

private:
  rtl::TComponent* FPopupComponent = nullptr;
  bool FAutoPopup = true;
};

}  // namespace vcl
