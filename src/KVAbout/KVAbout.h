// Unit KVAbout: the about dialog of the package, with the product name and version read from
// the package file's version resource, a notice line and four links.
#pragma once

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace dclkorv {

using rtl::String;

// The addresses the dialog's links open.
inline constexpr const char* KVHomeAddress = "https://www.korvane.example/";
inline constexpr const char* KVSupportAddress = "mailto:support@korvane.example";
inline constexpr const char* KVOrderStandardAddress = "https://shop.korvane.example/order/standard";
inline constexpr const char* KVOrderProfessionalAddress = "https://shop.korvane.example/order/professional";
inline constexpr const char* KVNoticeText = "Copyright (C) 2026 the Korvane authors. All rights reserved.";

// Built from its description (KVAbout.dfm); the controls are found by name once it is read.
class TKVAboutDlg : public vcl::TForm {
  RTL_CLASS(TKVAboutDlg, vcl::TForm)
  explicit TKVAboutDlg(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}

  vcl::TImage* imgLogo = nullptr;
  vcl::TLabel* lblNotice = nullptr;
  vcl::TBevel* bvNotice = nullptr;
  vcl::TLabel* lblHome = nullptr;
  vcl::TLabel* lblOrder = nullptr;
  vcl::TLabel* lblProductName = nullptr;
  vcl::TLabel* lblVersion = nullptr;
  vcl::TLabel* lblSupport = nullptr;
  vcl::TLabel* lblLinks = nullptr;
  vcl::TLabel* lblOrderStandard = nullptr;      // the first edition's order link
  vcl::TLabel* lblOrderProfessional = nullptr;  // the second edition's order link
  vcl::TButton* btOk = nullptr;

  // Fills the product name, version and notice labels.
  void FormCreate(rtl::TObject* Sender);
  void lblHomeMouseDown(rtl::TObject* Sender, vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y);
  void lblSupportMouseDown(rtl::TObject* Sender, vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y);
  void lblOrderMouseDown(rtl::TObject* Sender, vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y);

private:
  // Opens Address with the system's "open"; a failure shows an error box naming it.
  static void OpenLink(const String& Address);
};

// The unit's form variable; ShowAboutBox works on a dialog of its own and leaves it nil.
extern TKVAboutDlg* KVAboutDlg;

// Shows the about dialog modally, owned by Application, and frees it on every path.
void ShowAboutBox();

// The file of this package (the shared library holding this code), as the library's
// GetModuleFileNameStr finds it.
String PackageFileName();

}  // namespace dclkorv
