#include "KVReg.h"

#include "designintf/Registry.h"
#include "korv/Korv.h"

namespace dclkorv {

using namespace korv;
using designintf::RegisterComponents;
using designintf::RegisterPropertiesInCategory;

std::unique_ptr<TDesignSettings> DesignSettings;

void KVRegInitialization() {
  // The settings become the package's only once the default server type is set from them, so
  // a failed load leaves nothing behind.
  auto settings = std::make_unique<TDesignSettings>();
  DefServerType = settings->ReadDefaultServerType();
  DesignSettings = std::move(settings);
}

void KVRegFinalization() {
  if (!DesignSettings) return;
  DesignSettings->SaveAll();
  DesignSettings.reset();
}

bool SQLEditorEnabled() { return DesignSettings && DesignSettings->SQLEditor(); }

void Register() {
  RegisterComponents("Korvane", {TKVSession::StaticClass(), TKVDatabase::StaticClass(), TKVQuery::StaticClass(),
                                 TKVMacroQuery::StaticClass(), TKVStoredProc::StaticClass(), TKVTable::StaticClass(),
                                 TKVUpdateSQL::StaticClass(), TKVScript::StaticClass(), TKVMonitor::StaticClass(),
                                 TKVSQLBaseServer::StaticClass()});

  RegisterPropertyEditors();
  RegisterComponentEditors();
  RegisterDialogPropertyEditors();

  // The category name is taken afresh for each call, as a resource string is loaded.
  RegisterPropertiesInCategory(designintf::sDatabaseCategoryName, TKVDatabase::StaticClass(),
                               {"ServerType", "SessionName", "DatabaseName", "RemoteDatabase"});
  RegisterPropertiesInCategory(designintf::sDatabaseCategoryName, TKVDataSet::StaticClass(), {"DatabaseName"});
  // "*SQL": every statement property of an update object.
  RegisterPropertiesInCategory(designintf::sDatabaseCategoryName, TKVDataSetUpdateObject::StaticClass(), {"*SQL"});

  RegisterSprigs();
}

}  // namespace dclkorv
