// TKVQuery: a data set from an SQL statement with ":name" parameters; TKVMacroQuery adds
// "&name" macros, text pasted into the statement before it is sent.
#pragma once

#include "korv/KVDataSet.h"

namespace korv {

// The names of the ":name" parameter markers of SQL, each once, in order of first use (letter
// case ignored). Markers inside string literals, quoted names and comments, and "::" casts, are
// not parameters. ":"name"" takes a quoted name.
std::vector<String> ParseParamNames(const String& SQL);
// The same for "&name" macro markers ("&&" is an operator, not a marker).
std::vector<String> ParseMacroNames(const String& SQL);

class TKVQuery : public TKVDataSet {
  RTL_CLASS(TKVQuery, TKVDataSet)
  explicit TKVQuery(rtl::TComponent* AOwner);
  ~TKVQuery() override;

  // The statement. Changing it closes the query and rebuilds Params from its markers, keeping
  // the parameters (and their values) whose names stay.
  rtl::TStrings* SQL() const { return &FSQL; }
  void SetSQL(rtl::TStrings* Value);
  rtl::TParams* Params() const { return FParams.get(); }
  void SetParams(rtl::TParams* Value);
  // Off: Params are left alone when SQL changes.
  bool ParamCheck() const { return FParamCheck; }
  void SetParamCheck(bool Value) { FParamCheck = Value; }
  int ParamCount() const { return FParams->Count(); }
  rtl::TParam* ParamByName(const String& Value) const { return FParams->ParamByName(Value); }

  // The statement as it is sent to the server: macros expanded, and for servers that number
  // their parameters ($1, $2 ...) the markers numbered in order of first use.
  String StatementText() const;

  // Runs the statement, which returns no rows, with Params bound by name (closing the query
  // first); RowsAffected then tells how many rows it inserted, changed or deleted.
  void ExecSQL();
  std::int64_t RowsAffected() const { return FRowsAffected; }

protected:
  // Runs the statement with Params bound by name: FieldDefs from its result, the first row read.
  void OpenCursor(drivers::Connection& Connection) override;
  // An update statement's parameter that no field answers may be one of Params.
  const rtl::TParam* FindUpdateParam(const String& Name) const override;
  // Called after the SQL text changed.
  virtual void QueryChanged();
  // The SQL text with whatever a descendant puts in before it is sent.
  virtual String ExpandedSQL() const;

private:
  // In the object rather than on the heap: one allocation less per query, and the list sits
  // beside the rest of the query when a walk over a module's components reads both. Mutable
  // because SQL() hands it out for editing.
  mutable rtl::TStringList FSQL;
  std::unique_ptr<rtl::TParams> FParams;
  bool FParamCheck = true;
  std::int64_t FRowsAffected = -1;
};

class TKVMacroQuery : public TKVQuery {
  RTL_CLASS(TKVMacroQuery, TKVQuery)
  explicit TKVMacroQuery(rtl::TComponent* AOwner);
  ~TKVMacroQuery() override;

  // The "&name" markers of SQL, rebuilt as Params are; a macro's Value is the text put in its
  // place (a null macro leaves the marker as written).
  rtl::TParams* Macros() const { return FMacros.get(); }
  rtl::TParams* GetMacros() const { return FMacros.get(); }
  void SetMacros(rtl::TParams* Value);
  rtl::TParam* MacroByName(const String& Value) const { return FMacros->ParamByName(Value); }

protected:
  void QueryChanged() override;
  String ExpandedSQL() const override;

private:
  std::unique_ptr<rtl::TParams> FMacros;
};

}  // namespace korv
