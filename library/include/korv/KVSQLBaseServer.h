// TKVSQLBaseServer: the settings of a database server to administer: where it is and who logs in.
// It holds them for the administration tools; it connects to nothing by itself.
#pragma once

#include "korv/ServerTypes.h"
#include "rtl/Component.h"

namespace korv {

using rtl::String;

class TKVSQLBaseServer : public rtl::TComponent {
  RTL_CLASS(TKVSQLBaseServer, rtl::TComponent)
  explicit TKVSQLBaseServer(rtl::TComponent* AOwner);

  TKVServerType ServerType() const { return FServerType; }
  void SetServerType(TKVServerType Value) { FServerType = Value; }
  const String& ServerName() const { return FServerName; }
  void SetServerName(const String& Value) { FServerName = Value; }
  const String& UserName() const { return FUserName; }
  void SetUserName(const String& Value) { FUserName = Value; }
  const String& Password() const { return FPassword; }
  void SetPassword(const String& Value) { FPassword = Value; }

private:
  TKVServerType FServerType;
  String FServerName;
  String FUserName;
  String FPassword;
};

}  // namespace korv
