// The library's component classes, made known by name when the library loads so that form files
// can name them.
#include "korv/KVDatabase.h"
#include "korv/KVMonitor.h"
#include "korv/KVQuery.h"
#include "korv/KVSQLBaseServer.h"
#include "korv/KVScript.h"
#include "korv/KVSession.h"
#include "korv/KVStoredProc.h"
#include "korv/KVTable.h"
#include "korv/KVUpdateSQL.h"

namespace {

struct TRegisterKorvClasses {
  TRegisterKorvClasses() {
    using namespace korv;
    for (rtl::TClass c : {TKVSession::StaticClass(), TKVDatabase::StaticClass(), TKVDataSet::StaticClass(),
                          TKVQuery::StaticClass(), TKVMacroQuery::StaticClass(), TKVStoredProc::StaticClass(),
                          TKVTable::StaticClass(), TKVDataSetUpdateObject::StaticClass(), TKVUpdateSQL::StaticClass(),
                          TKVScript::StaticClass(), TKVMonitor::StaticClass(), TKVSQLBaseServer::StaticClass()})
      rtl::RegisterClass(c);
  }
} RegisterKorvClasses;

}  // namespace
