// Registration table D: the object-tree nodes, made last in Register. Rows are made in table
// order; a row joins at its numbered place once its node class exists, as
//   RegisterSprigType(TKVSession::StaticClass(), TKVSessionSprig::StaticClass());
// The default-session and implied-database nodes are never registered.
#include "KVReg.h"

#include "designintf/Registry.h"
#include "korv/Korv.h"

namespace dclkorv {

using namespace korv;
using designintf::RegisterSprigType;

void RegisterSprigs() {
  // 1  TKVSession     TKVSessionSprig
  // 2  TKVDatabase    TKVDatabaseSprig
  // 3  TKVDataSet     TKVDataSetSprig
  // 4  TKVTable       TKVTableSprig
  // 5  TKVQuery       TKVQuerySprig
  // 6  TKVStoredProc  TKVStoredProcSprig
  // 7  TKVUpdateSQL   TKVUpdateSQLSprig
}

} // namespace dclkorv
