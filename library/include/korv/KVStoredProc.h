// TKVStoredProc: a stored procedure of the server, its parameters described by the server.
#pragma once

#include "korv/KVDataSet.h"

namespace korv {

class TKVStoredProc : public TKVDataSet {
  RTL_CLASS(TKVStoredProc, TKVDataSet)
  explicit TKVStoredProc(rtl::TComponent* AOwner);
  ~TKVStoredProc() override;

  // Changing the name unprepares the procedure and, outside form reading, clears Params.
  const String& StoredProcName() const { return FStoredProcName; }
  void SetStoredProcName(const String& Value);
  rtl::TParams* Params() const { return FParams.get(); }
  void SetParams(rtl::TParams* Value);
  int GetParamsCount() const { return FParams->Count(); }
  rtl::TParam* ParamByName(const String& Value) const { return FParams->ParamByName(Value); }

  // Asks the server to describe the procedure and makes Params its parameters, keeping the
  // values of those whose names stay. Raises EDatabaseError naming the procedure when the
  // server has none of that name (SQLite has no procedures at all) or there is no database.
  void Prepare();
  void UnPrepare() { FPrepared = false; }
  bool Prepared() const { return FPrepared; }
  void SetPrepared(bool Value);
  // Whether the server describes procedure parameters; false when there is no database.
  // Connects the database for the call when needed.
  bool DescriptionsAvailable();

  // Runs the procedure for its effect, its input parameters bound from Params.
  void ExecProc();

protected:
  // Reads the function's result (SELECT * FROM name(inputs)), its input parameters bound from
  // Params by name.
  void OpenCursor(drivers::Connection& Connection) override;

private:
  String CallSQL() const;

  String FStoredProcName;
  std::unique_ptr<rtl::TParams> FParams;
  bool FPrepared = false;
};

}  // namespace korv
