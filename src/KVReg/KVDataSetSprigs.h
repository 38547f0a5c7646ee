// Object-tree nodes of data sets and update objects.
//
// A data set hangs under the node of the database its DatabaseName names, inside the node of
// the session its SessionName names (KVSessionSprigs.h). When that session's node holds no
// database of that name, the data set hangs under an implied-database node for the name, one per
// session and name, made the first time a data set needs it. Dragging a data set onto a database
// or implied-database node rewires its DatabaseName and SessionName. Each node marks a component
// that lacks what it needs to work.
#pragma once

#include "KVSessionSprigs.h"

#include "korv/KVDataSet.h"
#include "korv/KVQuery.h"
#include "korv/KVStoredProc.h"
#include "korv/KVTable.h"
#include "korv/KVUpdateSQL.h"

namespace dclkorv {

class TKVDataSetSprig : public designintf::TDataSetSprig {
  DESIGN_CLASS(TKVDataSetSprig, designintf::TDataSetSprig)
  using TDataSetSprig::TDataSetSprig;

  korv::TKVDataSet* DataSet() const;

  // The host's test, or the data set has no DatabaseName.
  bool AnyProblems() override;
  // Onto a named database's node or any implied-database node.
  bool DragOverTo(designintf::TSprig* AItem) override;
  // Takes the DatabaseName, then the SessionName, of the node it is dropped on; true when they
  // differed (letter case ignored).
  bool DragDropTo(designintf::TSprig* AItem) override;
  // A new data set goes onto a named database's node or any implied-database node.
  static bool PaletteOverTo(designintf::TSprig* AParent, rtl::TClass AClass);
  // Takes the session name of the database node it hangs under (called when that node moved to
  // another session). The DatabaseName stays.
  void Reparent() override;
  // Under its database's node, or an implied-database node, inside its session's node; stays
  // where it is when that session has no node.
  void FigureParent() override;
};

class TKVTableSprig : public TKVDataSetSprig {
  DESIGN_CLASS(TKVTableSprig, TKVDataSetSprig)
  using TKVDataSetSprig::TKVDataSetSprig;

  korv::TKVTable* Table() const;
  // Also: no TableName.
  bool AnyProblems() override;
  // "TableName {ComponentName}".
  String Caption() override;
};

class TKVQuerySprig : public TKVDataSetSprig {
  DESIGN_CLASS(TKVQuerySprig, TKVDataSetSprig)
  using TKVDataSetSprig::TKVDataSetSprig;

  korv::TKVQuery* Query() const;
  // Also: no SQL.
  bool AnyProblems() override;
  // "first line of the SQL... {ComponentName}": "..." when more lines follow.
  String Caption() override;
};

class TKVStoredProcSprig : public TKVDataSetSprig {
  DESIGN_CLASS(TKVStoredProcSprig, TKVDataSetSprig)
  using TKVDataSetSprig::TKVDataSetSprig;

  korv::TKVStoredProc* StoredProc() const;
  // Also: no StoredProcName.
  bool AnyProblems() override;
  // "StoredProcName {ComponentName}".
  String Caption() override;
};

class TKVUpdateSQLSprig : public designintf::TComponentSprig {
  DESIGN_CLASS(TKVUpdateSQLSprig, designintf::TComponentSprig)
  using TComponentSprig::TComponentSprig;

  // The modify, insert and delete statements are all empty (the refresh statement alone
  // updates nothing).
  bool AnyProblems() override;
};

// The caption text of a query node: the first line of SQL, with "..." after it when more lines
// follow; empty for no lines.
String QueryCaptionText(const rtl::TStrings* SQL);

}  // namespace dclkorv
