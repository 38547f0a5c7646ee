// Registration table B: the component editors, one per component class. Rows are made in
// table order; a row joins at its numbered place once its editor class exists, as
//   RegisterComponentEditor(TKVSession::StaticClass(), TKVDefaultEditor::StaticClass());
#include "KVReg.h"

#include "designintf/Registry.h"
#include "korv/Korv.h"

namespace dclkorv {

using namespace korv;
using designintf::RegisterComponentEditor;

void RegisterComponentEditors() {
  // 1  TKVSession        TKVDefaultEditor
  // 2  TKVDatabase       TKVDatabaseEditor
  // 3  TKVDataSet        TKVDataSetEditor   (also serves TKVTable)
  // 4  TKVQuery          TKVQueryEditor
  // 5  TKVMacroQuery     TKVMacroQueryEditor
  // 6  TKVStoredProc     TKVStoredProcEditor
  // 7  TKVUpdateSQL      TKVUpdateSQLEditor
  // 8  TKVScript         TKVScriptEditor
  // 9  TKVMonitor        TKVDefaultEditor
  // 10 TKVSQLBaseServer  TKVDefaultEditor
}

} // namespace dclkorv
