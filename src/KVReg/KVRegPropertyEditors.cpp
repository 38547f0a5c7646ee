// Registration tables A and C: the property editors, bound by property type, component class
// and property name. Rows are made in table order; a row joins at its numbered place once its
// editor class exists, as
//   RegisterPropertyEditor(rtl::TypeInfoString(), TKVDatabase::StaticClass(), "RemoteDatabase",
//                          TKVDatabaseProperty::StaticClass());
// Property types: rtl::TypeInfoBoolean(), rtl::TypeInfoString(),
// rtl::TParams::StaticClass()->TypeInfo(), rtl::TStrings::StaticClass()->TypeInfo().
#include "KVReg.h"

#include "designintf/DBEditors.h"
#include "designintf/Registry.h"
#include "korv/Korv.h"

namespace dclkorv {

using namespace korv;
using designintf::RegisterPropertyEditor;

void RegisterPropertyEditorsA() {
  // 1  Boolean  TKVDatabase  "Connected"        TKVDatabaseConnectedProperty
  // 2  string   TKVDatabase  "RemoteDatabase"   TKVDatabaseProperty
  // 3  string   TKVDatabase  "SessionName"      TKVSessionNameProperty
  // 4  string   TKVDatabase  "ParamsFileName"   TKVFileNameProperty
  // 5  string   TKVDataSet   "DatabaseName"     TKVDatabaseNameProperty
  // 6  string   TKVDataSet   "SessionName"      TKVSessionNameProperty
  // 7  string   TKVScript    "DatabaseName"     TKVDatabaseNameProperty
  // 8  string   TKVScript    "SessionName"      TKVSessionNameProperty
  // 9  string   TKVStoredProc "StoredProcName"  TKVStoredProcNameProperty
  // 10 string   TKVTable     "TableName"        TKVTableNameProperty
  // 11, 12: the designer's own index editors serve the table's index properties.
  RegisterPropertyEditor(rtl::TypeInfoString(), TKVTable::StaticClass(), "IndexName",
                         designintf::TIndexNameProperty::StaticClass());
  RegisterPropertyEditor(rtl::TypeInfoString(), TKVTable::StaticClass(), "IndexFieldNames",
                         designintf::TIndexFieldNamesProperty::StaticClass());
  // 13 TParams  TKVQuery      "Params"          TKVQueryParamsProperty
  // 14 TParams  TKVStoredProc "Params"          TKVStoredProcParamsProperty
}

void RegisterPropertyEditorsC() {
  // 15 TStrings TKVDatabase  "Params"           TKVDatabaseParamsProperty
  // 16 TStrings TKVQuery     "SQL"              TKVQuerySQLProperty, only while the SQL editor is
  //    offered; the switch is read at this load and holds until the next one:
  //      if (SQLEditorEnabled()) RegisterPropertyEditor(...);
  // 17 string   TKVTable     "MasterFields"     TKVTableFieldLinkProperty
}

} // namespace dclkorv
