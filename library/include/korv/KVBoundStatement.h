// TKVBoundStatement: an SQL statement with ":NAME" and ":"quoted name"" parameter markers,
// prepared on a connected database with the markers turned into the server's own numbered
// placeholders (the same name, letter case ignored, the same number). Every run is handed to
// the session list's monitors with its parameters and its time.
#pragma once

#include "korv/drivers/Driver.h"
#include "rtl/DB.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korv {

using rtl::String;
class TKVDatabase;

class TKVBoundStatement {
public:
  // Prepares SQL on Database, which must be connected; raises the server's error.
  TKVBoundStatement(TKVDatabase& Database, const String& SQL);
  ~TKVBoundStatement();

  // The parameter names, each once, in order of first use: value n goes to number n + 1.
  const std::vector<String>& ParamNames() const { return FNames; }
  // The statement as sent to the server.
  const String& ServerSQL() const { return FServerSQL; }
  const std::vector<drivers::FieldDesc>& Fields() const { return FStatement->Fields(); }
  bool FieldsTellOnRun() const { return FStatement->FieldsTellOnRun(); }

  // The values of ParamNames taken from Params by name; a name Params lacks raises
  // EDatabaseError naming it.
  std::vector<drivers::ParamValue> ValuesFrom(const rtl::TParams& Params) const;

  // Runs the statement with one value per parameter name.
  std::unique_ptr<drivers::Cursor> Open(const std::vector<drivers::ParamValue>& Values);
  std::int64_t Execute(const std::vector<drivers::ParamValue>& Values);

private:
  void Trace(const std::vector<drivers::ParamValue>& Values, double Milliseconds) const;

  String FServerSQL;
  std::vector<String> FNames;
  std::unique_ptr<drivers::Statement> FStatement;
};

// Prepares SQL (with parameter markers) on a connected database without running it. A
// position in the answer points into SQL as given.
drivers::StatementCheck CheckBoundSQL(TKVDatabase& Database, const String& SQL);

}  // namespace korv
