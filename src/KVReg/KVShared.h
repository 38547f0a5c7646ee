// Routines of unit KVReg that the component editors, the property editors and the object-tree
// nodes share: finding a data set's database, the designer's root name, the parameter and macro
// collection editors, the UpdateSQL editor on an update object, and the code-editor bridge that
// opens a component's string-list property as a text module.
#pragma once

#include "rtl/Component.h"
#include "rtl/Strings.h"

namespace designintf {
class IDesigner;
}  // namespace designintf

namespace korv {
class TKVDatabase;
class TKVDataSet;
class TKVMacroQuery;
class TKVQuery;
class TKVStoredProc;
class TKVUpdateSQL;
}  // namespace korv

namespace dclkorv {

using rtl::String;

// ---------------------------------------------------------------- component editor helpers

// The database the procedure's names lead to: DatabaseName in the session SessionName names.
// Raises EDatabaseError when there is no such session; nil when the session has no such
// database.
korv::TKVDatabase* FindStoredProcDatabase(korv::TKVStoredProc* StoredProc);

// The name of the component being designed (the form or data module).
String GetDesignerRootName(designintf::IDesigner* Designer);

// The collection editor on the query's Params: existing parameters can be edited, none added,
// deleted or moved. Always false: the editor reports its own changes.
bool EditQueryParams(designintf::IDesigner* Designer, korv::TKVQuery* Query);
// The same on a macro query's Macros.
bool EditQueryMacros(designintf::IDesigner* Designer, korv::TKVMacroQuery* MacroQuery);
// The collection editor on the procedure's Params, prepared first when it has none. Adding and
// deleting are allowed unless a connected database describes the procedure's parameters. The
// procedure is left unprepared. Always false.
bool EditStoredProcParams(designintf::IDesigner* Designer, korv::TKVStoredProc* StoredProc);
// The UpdateSQL editor on the update object; true (and the designer told) when it changed it.
bool EditUpdateSQLObject(designintf::IDesigner* Designer, korv::TKVUpdateSQL* UpdateObject);
// Whether the database the data set's names lead to exists and is connected.
bool IsDataSetDatabaseConnected(korv::TKVDataSet* DataSet);

// ---------------------------------------------------------------- code-editor bridge
// Component is the object whose string-list property PropName is edited. Its module is named
// "<designer extension>.<root>.<component>.<property>" ("dfm.Form1.Query1.SQL") when the
// designer's root owns it and has a name; otherwise the name is empty and no open module is
// ever found for it. All three raise EIntfCastError when the designer offers no module services.

// Opens Strings in the code editor as the property's module, marked changed when Modified.
void OpenStringsModule(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropName,
                       rtl::TStrings* Strings, bool Modified);
// True when the property's module was open and has been brought to the front.
bool ShowStringsModule(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropName);
// True when the property may be edited elsewhere: no module was open, or it closed; false when
// the open module refused to close.
bool CloseStringsModule(designintf::IDesigner* Designer, rtl::TPersistent* Component, const String& PropName);

}  // namespace dclkorv
