#include "korv/KVLoginDialog.h"

#include "DialogControls.h"
#include "korv/KVDatabase.h"
#include "korv/KVSession.h"

// The dialog's description, compiled into the library.
extern const char KVDialog_KVLoginDialog_dfm[];

namespace korv {

using dialogs::FindControl;
using namespace vcl;

rtl::TClass TKVLoginDlg::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVLoginDlg>("TKVLoginDlg").Build();
  return info;
}

static const TFormDescriptionRegistration KVLoginDialogDescription(&TKVLoginDlg::StaticClass,
                                                                   KVDialog_KVLoginDialog_dfm, "KVLoginDialog.dfm");

void TKVLoginDlg::Loaded() {
  TForm::Loaded();
  lblDatabase = FindControl<TLabel>(this, "lblDatabase");
  lblUserName = FindControl<TLabel>(this, "lblUserName");
  edUserName = FindControl<TEdit>(this, "edUserName");
  lblPassword = FindControl<TLabel>(this, "lblPassword");
  edPassword = FindControl<TEdit>(this, "edPassword");
  btOk = FindControl<TButton>(this, "btOk");
  btCancel = FindControl<TButton>(this, "btCancel");
}

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

} // namespace korv
