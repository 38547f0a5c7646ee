// A statement of the PostgreSQL driver prepared on the server, and the cursor of one run of it.
// Rows come through a server-side cursor (DECLARE ... WITH HOLD, then FETCH in batches), so the
// client holds one batch at a time and the connection stays free for other statements between
// batches: an update can run while a data set is open.
#pragma once

#include "PgConnection.h"

namespace korv::drivers::postgres {

class TPGStatement final : public Statement {
public:
  // Prepares sql under a name of its own; raises with the server's message.
  TPGStatement(TPGConnection& Connection, std::string sql);
  ~TPGStatement() override;

  const std::string& SQL() const override { return FSQL; }
  const std::vector<FieldDesc>& Fields() const override { return FFields; }
  std::unique_ptr<Cursor> Open(const std::vector<ParamValue>& Params) override;
  std::int64_t Execute(const std::vector<ParamValue>& Params) override;

private:
  TPGConnection& FConnection;
  std::string FSQL;
  std::string FName;
  std::vector<FieldDesc> FFields;
};

}  // namespace korv::drivers::postgres
