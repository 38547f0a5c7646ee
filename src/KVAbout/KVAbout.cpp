#include "KVAbout.h"

#include "korv/VersionInfo.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"
#include "vcl/Platform.h"

// The dialog's description, compiled into the package.
extern const unsigned char KVResource_KVAbout_dfm[];

namespace dclkorv {

using namespace vcl;
using rtl::TObject;

namespace {

// An object of this package: its address names the package file (not the library's, nor the
// program's).
const char PackageAnchor = 0;

}  // namespace

TKVAboutDlg* KVAboutDlg = nullptr;

rtl::TClass TKVAboutDlg::StaticClass() {
  static const std::unique_ptr<const rtl::TClassInfo> info =
      rtl::ClassBuilder<TKVAboutDlg>("TKVAboutDlg")
          .Method("FormCreate", &TKVAboutDlg::FormCreate)
          .Method("lblHomeMouseDown", &TKVAboutDlg::lblHomeMouseDown)
          .Method("lblSupportMouseDown", &TKVAboutDlg::lblSupportMouseDown)
          .Method("lblOrderMouseDown", &TKVAboutDlg::lblOrderMouseDown)
          .Field("imgLogo", &TKVAboutDlg::imgLogo)
          .Field("lblNotice", &TKVAboutDlg::lblNotice)
          .Field("bvNotice", &TKVAboutDlg::bvNotice)
          .Field("lblHome", &TKVAboutDlg::lblHome)
          .Field("lblOrder", &TKVAboutDlg::lblOrder)
          .Field("lblProductName", &TKVAboutDlg::lblProductName)
          .Field("lblVersion", &TKVAboutDlg::lblVersion)
          .Field("lblSupport", &TKVAboutDlg::lblSupport)
          .Field("lblLinks", &TKVAboutDlg::lblLinks)
          .Field("lblOrderStandard", &TKVAboutDlg::lblOrderStandard)
          .Field("lblOrderProfessional", &TKVAboutDlg::lblOrderProfessional)
          .Field("btOk", &TKVAboutDlg::btOk)
          .BuildOwned();
  return info.get();
}

static const TFormDescriptionRegistration KVAboutDescription(&TKVAboutDlg::StaticClass,
                                                             reinterpret_cast<const char*>(KVResource_KVAbout_dfm),
                                                             "KVAbout.dfm");

String PackageFileName() { return korv::GetModuleFileNameStr(&PackageAnchor); }

void TKVAboutDlg::FormCreate(TObject*) {
  // The version resource replaces what it holds; a text it lacks keeps its preset.
  String productName = "Korvane";
  String version;
  korv::ReadFileVersInfo(PackageFileName(), productName, version);
  lblNotice->SetCaption(KVNoticeText);
  lblProductName->SetCaption(productName);
  lblVersion->SetCaption(rtl::Format("Version {}", version));
}

void TKVAboutDlg::OpenLink(const String& Address) {
  // As the shell's ShellExecute: a result of 32 or less is a failure.
  if (ShellExecute(nullptr, "open", Address, "", "", SW_HIDE) <= 32)
    MessageDlg(rtl::Format("Error opening following address: {}", Address), mtError, TMsgDlgButtons{mbOK}, 0);
}

void TKVAboutDlg::lblHomeMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbLeft) OpenLink(KVHomeAddress);
}

void TKVAboutDlg::lblSupportMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbLeft) OpenLink(KVSupportAddress);
}

void TKVAboutDlg::lblOrderMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
  if (Button != mbLeft) return;
  // The first edition's label opens its page; any other sender the second edition's.
  OpenLink(Sender == lblOrderStandard ? KVOrderStandardAddress : KVOrderProfessionalAddress);
}

void ShowAboutBox() {
  std::unique_ptr<TKVAboutDlg> dialog = CreateForm<TKVAboutDlg>(Application);
  dialog->ShowModal();
}

}  // namespace dclkorv
