#include "korv/KVScript.h"

#include "korv/KVDatabase.h"
#include "korv/KVSession.h"
#include "rtl/SysUtils.h"

namespace korv {

rtl::TClass TKVScript::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVScript>("TKVScript")
                                .StrProp("DatabaseName", &TKVScript::DatabaseName, &TKVScript::SetDatabaseName)
                                .StrProp("SessionName", &TKVScript::SessionName, &TKVScript::SetSessionName)
                                .ObjProp<rtl::TStrings>("SQL", &TKVScript::SQL, &TKVScript::SetSQL)
                                .Build();
  return info;
}

TKVScript::TKVScript(rtl::TComponent* AOwner) : rtl::TComponent(AOwner), FSQL(std::make_unique<rtl::TStringList>()) {}

TKVScript::~TKVScript() = default;

TKVSession* TKVScript::GetDBSession() const {
  if (!Sessions) throw rtl::EDatabaseError("The session list is gone");
  return Sessions->GetSessionByName(FSessionName);
}

TKVDatabase* TKVScript::FindDatabase() const {
  TKVSession* session = Sessions ? Sessions->FindSession(FSessionName) : nullptr;
  if (!session) return nullptr;
  return FDatabaseName.empty() ? session->DefaultDatabase() : session->FindDatabase(FDatabaseName);
}

void TKVScript::ExecSQL() {
  TKVSession* session = GetDBSession();
  TKVDatabase* db = FDatabaseName.empty() ? session->DefaultDatabase() : session->FindDatabase(FDatabaseName);
  if (!db)
    throw rtl::EDatabaseError(fmt::format("{}: database '{}' not found in session '{}'", Name(), FDatabaseName,
                                          session->SessionName()));
  db->Execute(FSQL->Text());
}

} // namespace korv
