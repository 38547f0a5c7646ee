// TKVScript: a list of statements run one after another on a database.
#pragma once

#include "rtl/Component.h"
#include "rtl/Strings.h"

#include <memory>
#include <vector>

namespace korv {

using rtl::String;

class TKVSession;
class TKVDatabase;

class TKVScript : public rtl::TComponent {
  RTL_CLASS(TKVScript, rtl::TComponent)
  explicit TKVScript(rtl::TComponent* AOwner);
  ~TKVScript() override;

  // Statements separated as the server separates them (";").
  rtl::TStrings* SQL() const { return FSQL.get(); }
  void SetSQL(rtl::TStrings* Value) { FSQL->Assign(Value); }
  const String& DatabaseName() const { return FDatabaseName; }
  void SetDatabaseName(const String& Value) { FDatabaseName = Value; }
  const String& SessionName() const { return FSessionName; }
  void SetSessionName(const String& Value) { FSessionName = Value; }

  // The session SessionName names (default when empty); unknown raises EDatabaseError naming it.
  TKVSession* GetDBSession() const;
  // The database DatabaseName names in that session (empty: its ddoDefaultDatabase database);
  // nil when there is none.
  TKVDatabase* FindDatabase() const;

  // Runs the statements in order, connecting the database for the call when needed. The first
  // failing statement stops the run: EDatabaseError with its number (from 1) and the server's
  // message; the statements before it stay done.
  void ExecSQL();

  // The statements of Text, split at the semicolons outside literals, quoted names and comments;
  // blank ones and ones of comments only are left out.
  static std::vector<String> SplitStatements(const String& Text);

private:
  std::unique_ptr<rtl::TStringList> FSQL;
  String FDatabaseName;
  String FSessionName;
};

}  // namespace korv
