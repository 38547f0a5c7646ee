#include "korv/KVLoginDialog.h"

#include "korv/KVDatabase.h"
#include "korv/KVSession.h"

// The dialog's description, compiled into the library.
extern const char KVDialog_KVLoginDialog_dfm[];

namespace korv {

using namespace vcl;

rtl::TClass TKVLoginDlg::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVLoginDlg>("TKVLoginDlg")
                                .Field("lblDatabase", &TKVLoginDlg::lblDatabase)
                                .Field("lblUserName", &TKVLoginDlg::lblUserName)
                                .Field("edUserName", &TKVLoginDlg::edUserName)
                                .Field("lblPassword", &TKVLoginDlg::lblPassword)
                                .Field("edPassword", &TKVLoginDlg::edPassword)
                                .Field("btOk", &TKVLoginDlg::btOk)
                                .Field("btCancel", &TKVLoginDlg::btCancel)
                                .Build();
  return info;
}

static const TFormDescriptionRegistration KVLoginDialogDescription(&TKVLoginDlg::StaticClass,
                                                                   KVDialog_KVLoginDialog_dfm, "KVLoginDialog.dfm");

bool LoginDialog(const String& DatabaseName, String& UserName, String& Password) {
  auto dialog = CreateForm<TKVLoginDlg>(Application);
  dialog->lblDatabase->SetCaption("Database: " + DatabaseName);
  dialog->edUserName->SetText(UserName);
  // With a user name known the password is what is left to type.
  dialog->SetActiveControl(UserName.empty() ? dialog->edUserName : dialog->edPassword);
  if (dialog->ShowModal() != mrOk) return false;
  UserName = dialog->edUserName->Text();
  Password = dialog->edPassword->Text();
  return true;
}

bool KVLoginHook(TKVDatabase* Database, rtl::TStrings* LoginParams) {
  String name;
  if (Database) name = !Database->DatabaseName().empty() ? Database->DatabaseName() : Database->Name();
  String userName = LoginParams->Values("USER NAME");
  String password;
  if (!LoginDialog(name, userName, password)) return false;
  LoginParams->SetValues("USER NAME", userName);
  LoginParams->SetValues("PASSWORD", password);
  return true;
}

void InstallLoginDialog() {
  if (Sessions) Sessions->SetLoginHook(&KVLoginHook);
}

}  // namespace korv
