// The name-list property editors: drop-down lists of the sessions, databases, stored procedures
// and tables a component may name, and the history of remote databases connected to.
//
// Nothing is cached: each drop-down asks the library (or the design settings) afresh, and every
// list is read from the first selected component only.
#pragma once

#include "designintf/PropertyEditors.h"
#include "rtl/Strings.h"

namespace dclkorv {

using rtl::String;

// The entry the remote-database drop-down shows while the history is empty; never stored.
inline constexpr const char* SHistoryListPlaceholder = "<history list>";

// A string property whose drop-down is what GetValueList appends.
class TKVStringProperty : public designintf::TStringProperty {
  DESIGN_CLASS(TKVStringProperty, designintf::TStringProperty)
  using designintf::TStringProperty::TStringProperty;

  designintf::TPropertyAttributes GetAttributes() override;  // paValueList, paMultiSelect, paSortList
  void GetValues(const designintf::TGetStrProc& Proc) override;
  virtual void GetValueList(rtl::TStrings* List) = 0;
};

// Every session that exists, the default one included.
class TKVSessionNameProperty : public TKVStringProperty {
  DESIGN_CLASS(TKVSessionNameProperty, TKVStringProperty)
  using TKVStringProperty::TKVStringProperty;
  void GetValueList(rtl::TStrings* List) override;
};

// The databases of the session of a script or data set.
class TKVDatabaseNameProperty : public TKVStringProperty {
  DESIGN_CLASS(TKVDatabaseNameProperty, TKVStringProperty)
  using TKVStringProperty::TKVStringProperty;
  void GetValueList(rtl::TStrings* List) override;
};

// The procedures of a stored procedure's database.
class TKVStoredProcNameProperty : public TKVStringProperty {
  DESIGN_CLASS(TKVStoredProcNameProperty, TKVStringProperty)
  using TKVStringProperty::TKVStringProperty;
  void GetValueList(rtl::TStrings* List) override;
};

// The tables (no system tables) of a table's database; typed names are completed only while
// that database is connected, so typing never connects it.
class TKVTableNameProperty : public TKVStringProperty {
  DESIGN_CLASS(TKVTableNameProperty, TKVStringProperty)
  using TKVStringProperty::TKVStringProperty;
  bool AutoFill() override;
  void GetValueList(rtl::TStrings* List) override;
};

// A database's RemoteDatabase: the recent-database history in its own order (most recent
// first), and the library's input dialog behind the ellipsis. Shown for one database only.
class TKVDatabaseProperty : public TKVStringProperty {
  DESIGN_CLASS(TKVDatabaseProperty, TKVStringProperty)
  using TKVStringProperty::TKVStringProperty;
  void Edit() override;
  designintf::TPropertyAttributes GetAttributes() override;  // paValueList, paDialog
  // The placeholder itself (exactly) is refused: the property keeps its value.
  void SetValue(const String& Value) override;
  // Replaces List's contents with the history, or with the placeholder alone.
  void GetValueList(rtl::TStrings* List) override;
};

// A database's Connected: connecting puts the first selected database's RemoteDatabase at the
// front of the history.
class TKVDatabaseConnectedProperty : public designintf::TEnumProperty {
  DESIGN_CLASS(TKVDatabaseConnectedProperty, designintf::TEnumProperty)
  using designintf::TEnumProperty::TEnumProperty;
  void SetValue(const String& Value) override;
};

}  // namespace dclkorv
