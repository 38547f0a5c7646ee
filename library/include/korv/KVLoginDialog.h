// The login dialog: asks for the user name and password of a database that connects with
// LoginPrompt set and no password in its parameters. The library installs it as the sessions'
// login hook when it loads.
#pragma once

#include "rtl/Strings.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace korv {

using rtl::String;

class TKVDatabase;

class TKVLoginDlg : public vcl::TForm {
  RTL_CLASS(TKVLoginDlg, vcl::TForm)
  explicit TKVLoginDlg(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}

  vcl::TLabel* lblDatabase = nullptr;
  vcl::TLabel* lblUserName = nullptr;
  vcl::TEdit* edUserName = nullptr;
  vcl::TLabel* lblPassword = nullptr;
  vcl::TEdit* edPassword = nullptr;
  vcl::TButton* btOk = nullptr;
  vcl::TButton* btCancel = nullptr;
};

// Asks for a user name (UserName the starting one) and a password for the database named. True
// and both filled on OK; false, both untouched, on Cancel.
bool LoginDialog(const String& DatabaseName, String& UserName, String& Password);

// The sessions' login hook: fills the "USER NAME" and "PASSWORD" lines of LoginParams through
// the dialog; false when the user cancelled (the database then refuses to connect).
bool KVLoginHook(TKVDatabase* Database, rtl::TStrings* LoginParams);

// Makes KVLoginHook the login hook of Sessions (done when the library loads).
void InstallLoginDialog();

}  // namespace korv
