// Object-tree nodes of sessions and databases.
//
// A session component is a node of its own; a database hangs under the node of the session its
// SessionName names, or under the one default-session node that stands for the library's
// default session (made the first time a node needs it). A database that data sets name but that
// has no component in the module is stood for by an implied-database node, which the data-set
// nodes create (KVDataSetSprigs.h). Dragging a database or implied-database node onto another
// session node rewires it, and the data sets under it follow.
//
// Nodes are found by their lookup names: a session node by its SessionName, the default-session
// node by "<DefaultSession>", a database node by its DatabaseName, an implied-database node by
// "<ImpliedDatabase>.<name>".
#pragma once

#include "designintf/Sprigs.h"
#include "korv/KVDatabase.h"
#include "korv/KVSession.h"

namespace dclkorv {

using rtl::String;

// The lookup name of the node of the session named Name: "<DefaultSession>" for an empty name
// or the default session's own name (letter case ignored), else Name.
String SessionNodeName(const String& Name);
// "<ImpliedDatabase>.Name" (an empty name leaves the point alone).
String ImpliedDatabaseNodeName(const String& Name);

// The node a database or data set of the session named ASessionName hangs under, among ARoot's
// children: the session's node, or the default-session node, which is added to ARoot when it is
// first needed. Nil when the session has no node in this tree (or ARoot is nil).
designintf::TSprig* SessionSprigFor(designintf::TSprig* ARoot, const String& ASessionName);

class TKVSessionSprig : public designintf::TComponentSprig {
  DESIGN_CLASS(TKVSessionSprig, designintf::TComponentSprig)
  using TComponentSprig::TComponentSprig;

  korv::TKVSession* Session() const;

  // The session has no name.
  bool AnyProblems() override;
  // The SessionName.
  String Name() override;
  // "SessionName {ComponentName}".
  String Caption() override;
};

// Stands for the library's default session; no component.
class TKVDefaultSessionSprig : public designintf::TTransientSprig {
  DESIGN_CLASS(TKVDefaultSessionSprig, designintf::TTransientSprig)
  using TTransientSprig::TTransientSprig;

  String UniqueName() override;
  bool Transient() override { return true; }
  rtl::TClass ItemClass() override;
  // "Default {KVSession}": the default session's name, labelled with its class name.
  String Caption() override;
};

class TKVDatabaseSprig : public designintf::TComponentSprig {
  DESIGN_CLASS(TKVDatabaseSprig, designintf::TComponentSprig)
  using TComponentSprig::TComponentSprig;

  korv::TKVDatabase* Database() const;

  // The database has no name.
  bool AnyProblems() override;
  // The DatabaseName.
  String Name() override;
  // "ServerTypeName | RemoteDatabase {ComponentName}", "<UnknownDatabase>" for no RemoteDatabase.
  String Caption() override;
  // Onto a named session's node or the default-session node.
  bool DragOverTo(designintf::TSprig* AItem) override;
  // Takes the session of the node it is dropped on, and the data sets under it follow. True when
  // a component changed.
  bool DragDropTo(designintf::TSprig* AItem) override;
  // A new database goes onto a named session's node or the default-session node.
  static bool PaletteOverTo(designintf::TSprig* AParent, rtl::TClass AClass);
  // Under the node of its session; stays where it is when that session has no node.
  void FigureParent() override;
};

// Stands for a database that data sets name but no component of the module is: DatabaseName is
// that name and SessionName the session name those data sets carry. Made with no item.
class TKVImpliedDatabaseSprig : public designintf::TComponentSprig {
  DESIGN_CLASS(TKVImpliedDatabaseSprig, designintf::TComponentSprig)
  explicit TKVImpliedDatabaseSprig(rtl::TPersistent* AItem = nullptr);

  const String& DatabaseName() const { return FDatabaseName; }
  void SetDatabaseName(const String& Value) { FDatabaseName = Value; }
  const String& SessionName() const { return FSessionName; }
  void SetSessionName(const String& Value) { FSessionName = Value; }

  String UniqueName() override;
  bool Transient() override { return true; }
  // The name is empty.
  bool AnyProblems() override;
  rtl::TClass ItemClass() override;
  // "DatabaseName {Unknown}".
  String Caption() override;
  // Onto any session node, named or not, or the default-session node.
  bool DragOverTo(designintf::TSprig* AItem) override;
  // Takes the session of the node it is dropped on, and the data sets under it follow. True when
  // the node's session or a component changed.
  bool DragDropTo(designintf::TSprig* AItem) override;
  // Under the node of its session.
  void FigureParent() override;

private:
  String FSessionName;
  String FDatabaseName;
};

}  // namespace dclkorv
