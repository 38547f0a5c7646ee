#include "FbApi.h"

#include "rtl/Exceptions.h"

#include <fmt/format.h>

#include <cstdlib>
#include <cstring>

namespace korv::drivers::firebird {

std::string TFbStatus::Message() const {
  std::string text;
  const ISC_STATUS* at = Vector;
  char line[1024];
  while (fb_interpret(line, sizeof line, &at) > 0) {
    const std::string part(line);
    if (part == "Dynamic SQL Error" || part.rfind("SQL error code = ", 0) == 0) continue;
    if (!text.empty()) text += ": ";
    text += part;
  }
  return text.empty() ? "the Firebird engine gave no reason" : text;
}

bool TFbStatus::Position(int& Line, int& Column) const {
  // The vector holds the code of a "Token unknown - line N, column M" or an "At line N, column
  // M" followed by its two numbers.
  for (const ISC_STATUS* at = Vector; *at != isc_arg_end;) {
    const ISC_STATUS kind = at[0];
    if (kind == isc_arg_gds && (at[1] == isc_dsql_line_col_error || at[1] == isc_dsql_token_unk_err) &&
        at[2] == isc_arg_number && at[4] == isc_arg_number) {
      Line = static_cast<int>(at[3]);
      Column = static_cast<int>(at[5]);
      return true;
    }
    at += kind == isc_arg_cstring ? 3 : 2;
  }
  return false;
}

void TFbStatus::Raise(const std::string& Context) const {
  throw rtl::EDatabaseError(Context.empty() ? Message() : fmt::format("{}: {}", Context, Message()));
}

TFbAttachment::~TFbAttachment() {
  if (FHandle) {
    TFbStatus status;
    isc_detach_database(&status, &FHandle);
  }
}

void TFbTransaction::Start(isc_db_handle* Db, bool ReadOnly) {
  // READ COMMITTED with record versions: a statement sees what others committed before it ran,
  // as on the other servers; a read-only one of these holds back no garbage collection.
  const char tpb[] = {isc_tpb_version3, static_cast<char>(ReadOnly ? isc_tpb_read : isc_tpb_write),
                      isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_wait};
  TFbStatus status;
  isc_start_transaction(&status, &FHandle, 1, Db, static_cast<unsigned short>(sizeof tpb), tpb);
  status.Check();
}

void TFbTransaction::Commit() {
  TFbStatus status;
  isc_commit_transaction(&status, &FHandle);
  status.Check();
}

void TFbTransaction::CommitRetaining() {
  TFbStatus status;
  isc_commit_retaining(&status, &FHandle);
  status.Check();
}

void TFbTransaction::RollbackRetaining() {
  TFbStatus status;
  isc_rollback_retaining(&status, &FHandle);
  status.Check();
}

void TFbTransaction::Rollback() noexcept {
  if (!FHandle) return;
  TFbStatus status;
  isc_rollback_transaction(&status, &FHandle);
  FHandle = 0;  // a rollback that fails (connection lost) leaves nothing to roll back
}

TFbStatementHandle::~TFbStatementHandle() {
  if (FHandle) {
    TFbStatus status;
    isc_dsql_free_statement(&status, &FHandle, DSQL_drop);
  }
}

void TFbStatementHandle::Allocate(isc_db_handle* Db) {
  TFbStatus status;
  isc_dsql_allocate_statement(&status, Db, &FHandle);
  status.Check();
}

void TFbStatementHandle::CloseCursor() noexcept {
  TFbStatus status;
  isc_dsql_free_statement(&status, &FHandle, DSQL_close);
}

TFbSqlda::TFbSqlda(int Count) : FArea(XSQLDA_LENGTH(Count < 1 ? 1 : Count), 0) {
  Get()->version = SQLDA_VERSION1;
  Get()->sqln = static_cast<ISC_SHORT>(Count < 1 ? 1 : Count);
}

bool TFbSqlda::Fit() {
  const int wanted = Get()->sqld;
  if (wanted <= Get()->sqln) return false;
  FArea.assign(XSQLDA_LENGTH(wanted), 0);
  Get()->version = SQLDA_VERSION1;
  Get()->sqln = static_cast<ISC_SHORT>(wanted);
  return true;
}

void TFbSqlda::AllocateBuffers() {
  const int count = Count();
  FBuffers.assign(static_cast<std::size_t>(count), {});
  FIndicators.assign(static_cast<std::size_t>(count), 0);
  for (int i = 0; i < count; ++i) {
    XSQLVAR& var = Var(i);
    std::size_t length = static_cast<std::size_t>(var.sqllen);
    if ((var.sqltype & ~1) == SQL_VARYING) length += sizeof(ISC_USHORT);
    FBuffers[i].assign(length ? length : 1, 0);
    var.sqldata = FBuffers[i].data();
    var.sqlind = &FIndicators[i];
    var.sqltype |= 1;  // every column may come back NULL (an outer join), so every one has an indicator
  }
}

void TFbSqlda::SetText(int I, const std::string* Value) {
  XSQLVAR& var = Var(I);
  var.sqltype = SQL_TEXT | 1;
  var.sqlind = &FIndicators[I];
  if (!Value) {
    FIndicators[I] = -1;
    var.sqllen = 0;
    var.sqldata = FBuffers[I].data();
    return;
  }
  FIndicators[I] = 0;
  var.sqllen = static_cast<ISC_SHORT>(Value->size());
  var.sqldata = const_cast<char*>(Value->data());  // read only by the engine
}

}  // namespace korv::drivers::firebird
