#include "korv/KVSQLBaseServer.h"

#include "korv/KVDatabase.h"

namespace korv {

rtl::TClass TKVSQLBaseServer::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVSQLBaseServer>("TKVSQLBaseServer")
                                .EnumProp("ServerType", TypeInfo_TKVServerType(), &TKVSQLBaseServer::ServerType,
                                          &TKVSQLBaseServer::SetServerType, TKVServerType::stSQLite)
                                .Stored([](const TKVSQLBaseServer*) { return true; })
                                .StrProp("ServerName", &TKVSQLBaseServer::ServerName, &TKVSQLBaseServer::SetServerName)
                                .StrProp("UserName", &TKVSQLBaseServer::UserName, &TKVSQLBaseServer::SetUserName)
                                .StrProp("Password", &TKVSQLBaseServer::Password, &TKVSQLBaseServer::SetPassword)
                                .Build();
  return info;
}

TKVSQLBaseServer::TKVSQLBaseServer(rtl::TComponent* AOwner) : rtl::TComponent(AOwner), FServerType(DefServerType) {}

}  // namespace korv
