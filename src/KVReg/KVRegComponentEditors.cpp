// Registration table B: the component editors, one per component class, in table order.
#include "KVComponentEditors.h"
#include "KVDatabaseEditor.h"
#include "KVReg.h"

#include "designintf/Registry.h"
#include "korv/Korv.h"

namespace dclkorv {

using namespace korv;
using designintf::RegisterComponentEditor;

void RegisterComponentEditors() {
  RegisterComponentEditor(TKVSession::StaticClass(), TKVDefaultEditor::StaticClass());
  RegisterComponentEditor(TKVDatabase::StaticClass(), TKVDatabaseEditor::StaticClass());
  // Also serves TKVTable, which has no editor of its own.
  RegisterComponentEditor(TKVDataSet::StaticClass(), TKVDataSetEditor::StaticClass());
  RegisterComponentEditor(TKVQuery::StaticClass(), TKVQueryEditor::StaticClass());
  RegisterComponentEditor(TKVMacroQuery::StaticClass(), TKVMacroQueryEditor::StaticClass());
  RegisterComponentEditor(TKVStoredProc::StaticClass(), TKVStoredProcEditor::StaticClass());
  RegisterComponentEditor(TKVUpdateSQL::StaticClass(), TKVUpdateSQLEditor::StaticClass());
  RegisterComponentEditor(TKVScript::StaticClass(), TKVScriptEditor::StaticClass());
  RegisterComponentEditor(TKVMonitor::StaticClass(), TKVDefaultEditor::StaticClass());
  RegisterComponentEditor(TKVSQLBaseServer::StaticClass(), TKVDefaultEditor::StaticClass());
}

}  // namespace dclkorv
