// Registration table D: the object-tree nodes, made last in Register, in table order. The
// default-session and implied-database nodes are never registered: placement makes them.
#include "KVReg.h"

#include "KVDataSetSprigs.h"
#include "KVSessionSprigs.h"

#include "designintf/Registry.h"
#include "korv/Korv.h"

namespace dclkorv {

using namespace korv;
using designintf::RegisterSprigType;

void RegisterSprigs() {
  RegisterSprigType(TKVSession::StaticClass(), TKVSessionSprig::StaticClass());
  RegisterSprigType(TKVDatabase::StaticClass(), TKVDatabaseSprig::StaticClass());
  RegisterSprigType(TKVDataSet::StaticClass(), TKVDataSetSprig::StaticClass());
  RegisterSprigType(TKVTable::StaticClass(), TKVTableSprig::StaticClass());
  RegisterSprigType(TKVQuery::StaticClass(), TKVQuerySprig::StaticClass());
  RegisterSprigType(TKVStoredProc::StaticClass(), TKVStoredProcSprig::StaticClass());
  RegisterSprigType(TKVUpdateSQL::StaticClass(), TKVUpdateSQLSprig::StaticClass());
}

}  // namespace dclkorv
