// The component editors' routines that the property editors and tree nodes share too.
#include "KVShared.h"

#include "KVUpdSEd.h"

#include "designintf/ComponentEditors.h"
#include "designintf/Designer.h"
#include "korv/KVDatabase.h"
#include "korv/KVQuery.h"
#include "korv/KVSession.h"
#include "korv/KVStoredProc.h"
#include "korv/KVUpdateSQL.h"
#include "rtl/SysUtils.h"

namespace dclkorv {

using designintf::TCollectionEditor;
using designintf::TColOption;
using designintf::TColOptions;

korv::TKVDatabase* FindStoredProcDatabase(korv::TKVStoredProc* StoredProc) {
  return korv::Sessions->GetSessionByName(StoredProc->SessionName())->FindDatabase(StoredProc->DatabaseName());
}

String GetDesignerRootName(designintf::IDesigner* Designer) {
  rtl::TComponent* root = Designer ? Designer->GetRoot() : nullptr;
  return root ? root->Name() : String();
}

bool EditQueryParams(designintf::IDesigner* Designer, korv::TKVQuery* Query) {
  // The parameters follow the statement's markers: they may be edited, not added or removed.
  designintf::ShowCollectionEditorClass(Designer, TCollectionEditor::StaticClass(), Query, Query->Params(), "Params",
                                        TColOptions{});
  return false;
}

bool EditQueryMacros(designintf::IDesigner* Designer, korv::TKVMacroQuery* MacroQuery) {
  designintf::ShowCollectionEditorClass(Designer, TCollectionEditor::StaticClass(), MacroQuery, MacroQuery->GetMacros(),
                                        "Macros", TColOptions{});
  return false;
}

bool EditStoredProcParams(designintf::IDesigner* Designer, korv::TKVStoredProc* StoredProc) {
  if (StoredProc->GetParamsCount() == 0 && !StoredProc->Prepared()) StoredProc->Prepare();

  korv::TKVDatabase* db = StoredProc->Database();
  if (!db && !rtl::Trim(StoredProc->DatabaseName()).empty()) db = FindStoredProcDatabase(StoredProc);

  // Parameters the server describes are fixed in number; others the developer lists by hand.
  TColOptions options;
  if (!(db && db->Connected() && StoredProc->DescriptionsAvailable()))
    options = TColOptions{TColOption::coAdd, TColOption::coDelete};
  designintf::ShowCollectionEditorClass(Designer, TCollectionEditor::StaticClass(), StoredProc, StoredProc->Params(),
                                        "Params", options);

  if (StoredProc->Prepared()) StoredProc->UnPrepare();
  return false;
}

bool EditUpdateSQLObject(designintf::IDesigner* Designer, korv::TKVUpdateSQL* UpdateObject) {
  if (!EditUpdateSQL(UpdateObject)) return false;
  if (Designer) Designer->Modified();
  return true;
}

bool IsDataSetDatabaseConnected(korv::TKVDataSet* DataSet) {
  if (!korv::Sessions) return false;
  korv::TKVSession* session = korv::Sessions->FindSession(DataSet->SessionName());
  if (!session) return false;
  korv::TKVDatabase* db = session->FindDatabase(DataSet->DatabaseName());
  return db && db->Connected();
}

}  // namespace dclkorv
