// Page controls and their pages.
#pragma once

#include "vcl/Controls.h"

namespace vcl {

class TPageControl;

// A page: a container whose controls show only while it is its page control's active page.
class TTabSheet : public TWinControl {
  RTL_CLASS(TTabSheet, TWinControl)
  explicit TTabSheet(rtl::TComponent* AOwner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* Value);
  // Position among the page control's pages; -1 without one.
  int PageIndex() const;
  void SetPageIndex(int Value);
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value) { FTabVisible = Value; }

  void SetParent(TWinControl* AParent) override;
  String KindName() const override { return "page"; }

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
};

class TPageControl : public TWinControl {
  RTL_CLASS(TPageControl, TWinControl)
  explicit TPageControl(rtl::TComponent* AOwner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(FPages.size()); }
  TTabSheet* Pages(int Index) const;
  // Code that changes the page fires nothing; a user's choice fires OnChange.
  TTabSheet* ActivePage() const { return FActivePage; }
  void SetActivePage(TTabSheet* Value);
  int ActivePageIndex() const;
  void SetActivePageIndex(int Value);

  virtual void Change();
  bool AcceptsFocus() const override { return true; }
  String KindName() const override { return "page control"; }
  void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

  TNotifyEvent OnChange;

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);

  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
};

}  // namespace vcl
