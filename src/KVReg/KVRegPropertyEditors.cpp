// The property editors, bound by property type, component class and property name, in a fixed
// order: the editors of values first, the dialog editors after the component editors.
#include "KVReg.h"

#include "KVDialogProperties.h"
#include "KVFieldLinkProperty.h"
#include "KVNameListProperties.h"

#include "designintf/DBEditors.h"
#include "designintf/Registry.h"
#include "korv/Korv.h"

namespace dclkorv {

using namespace korv;
using designintf::RegisterPropertyEditor;

void RegisterPropertyEditors() {
  const rtl::TTypeInfo* boolean = rtl::TypeInfoBoolean();
  const rtl::TTypeInfo* string = rtl::TypeInfoString();
  const rtl::TTypeInfo* params = rtl::TParams::StaticClass()->TypeInfo();

  RegisterPropertyEditor(boolean, TKVDatabase::StaticClass(), "Connected", TKVDatabaseConnectedProperty::StaticClass());
  RegisterPropertyEditor(string, TKVDatabase::StaticClass(), "RemoteDatabase", TKVDatabaseProperty::StaticClass());
  RegisterPropertyEditor(string, TKVDatabase::StaticClass(), "SessionName", TKVSessionNameProperty::StaticClass());
  RegisterPropertyEditor(string, TKVDatabase::StaticClass(), "ParamsFileName", TKVFileNameProperty::StaticClass());
  RegisterPropertyEditor(string, TKVDataSet::StaticClass(), "DatabaseName", TKVDatabaseNameProperty::StaticClass());
  RegisterPropertyEditor(string, TKVDataSet::StaticClass(), "SessionName", TKVSessionNameProperty::StaticClass());
  RegisterPropertyEditor(string, TKVScript::StaticClass(), "DatabaseName", TKVDatabaseNameProperty::StaticClass());
  RegisterPropertyEditor(string, TKVScript::StaticClass(), "SessionName", TKVSessionNameProperty::StaticClass());
  RegisterPropertyEditor(string, TKVStoredProc::StaticClass(), "StoredProcName",
                         TKVStoredProcNameProperty::StaticClass());
  RegisterPropertyEditor(string, TKVTable::StaticClass(), "TableName", TKVTableNameProperty::StaticClass());
  // The designer's own index editors serve the table's index properties.
  RegisterPropertyEditor(string, TKVTable::StaticClass(), "IndexName", designintf::TIndexNameProperty::StaticClass());
  RegisterPropertyEditor(string, TKVTable::StaticClass(), "IndexFieldNames",
                         designintf::TIndexFieldNamesProperty::StaticClass());
  RegisterPropertyEditor(params, TKVQuery::StaticClass(), "Params", TKVQueryParamsProperty::StaticClass());
  RegisterPropertyEditor(params, TKVStoredProc::StaticClass(), "Params", TKVStoredProcParamsProperty::StaticClass());
}

void RegisterDialogPropertyEditors() {
  const rtl::TTypeInfo* strings = rtl::TStrings::StaticClass()->TypeInfo();

  RegisterPropertyEditor(strings, TKVDatabase::StaticClass(), "Params", TKVDatabaseParamsProperty::StaticClass());
  // The switch is read at this load and holds until the next one.
  if (SQLEditorEnabled())
    RegisterPropertyEditor(strings, TKVQuery::StaticClass(), "SQL", TKVQuerySQLProperty::StaticClass());
  RegisterPropertyEditor(rtl::TypeInfoString(), TKVTable::StaticClass(), "MasterFields",
                         TKVTableFieldLinkProperty::StaticClass());
}

}  // namespace dclkorv
