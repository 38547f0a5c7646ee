// The pieces of Firebird's ISC API every part of the driver uses: a status vector that turns
// into an rtl::EDatabaseError carrying the server's message, owning handles that free what they
// hold on every path, and the XSQLDA buffers of a statement's columns or parameters.
#pragma once

#include <ibase.h>

#include <memory>
#include <string>
#include <vector>

namespace korv::drivers::firebird {

// Status vector of one call. Failed() after a call tells whether it failed; Raise throws its text.
struct TFbStatus {
  ISC_STATUS_ARRAY Vector{};
  ISC_STATUS* operator&() { return Vector; }
  bool Failed() const { return Vector[0] == 1 && Vector[1] != 0; }
  // The server's message, one line per part joined by ": ", without the generic
  // "Dynamic SQL Error" and "SQL error code" lines.
  std::string Message() const;
  // The line and column an error points at, from its "line N, column M" part; false without one.
  bool Position(int& Line, int& Column) const;
  [[noreturn]] void Raise(const std::string& Context = {}) const;
  void Check(const std::string& Context = {}) const {
    if (Failed()) Raise(Context);
  }
};

// An attachment; detached when it goes.
class TFbAttachment {
public:
  TFbAttachment() = default;
  ~TFbAttachment();
  TFbAttachment(const TFbAttachment&) = delete;
  TFbAttachment& operator=(const TFbAttachment&) = delete;
  isc_db_handle* operator&() { return &FHandle; }
  isc_db_handle Get() const { return FHandle; }

private:
  isc_db_handle FHandle = 0;
};

// A transaction; rolled back when it goes still active.
class TFbTransaction {
public:
  TFbTransaction() = default;
  ~TFbTransaction() { Rollback(); }
  TFbTransaction(const TFbTransaction&) = delete;
  TFbTransaction& operator=(const TFbTransaction&) = delete;
  // Starts a read-write, or read-only, READ COMMITTED transaction that waits for locks.
  void Start(isc_db_handle* Db, bool ReadOnly = false);
  void Commit();
  void Rollback() noexcept;
  // Commit or roll back the work done, keeping the transaction's context and cursors open.
  void CommitRetaining();
  void RollbackRetaining();
  bool Active() const { return FHandle != 0; }
  isc_tr_handle* Handle() { return &FHandle; }

private:
  isc_tr_handle FHandle = 0;
};

// An allocated DSQL statement; freed (DSQL_drop) when it goes.
class TFbStatementHandle {
public:
  TFbStatementHandle() = default;
  ~TFbStatementHandle();
  TFbStatementHandle(const TFbStatementHandle&) = delete;
  TFbStatementHandle& operator=(const TFbStatementHandle&) = delete;
  void Allocate(isc_db_handle* Db);
  isc_stmt_handle* Handle() { return &FHandle; }
  // Closes an open cursor; errors (a cursor already closed) are ignored.
  void CloseCursor() noexcept;

private:
  isc_stmt_handle FHandle = 0;
};

// An XSQLDA with a data buffer and a NULL indicator for every variable.
class TFbSqlda {
public:
  explicit TFbSqlda(int Count = 1);
  XSQLDA* Get() { return reinterpret_cast<XSQLDA*>(FArea.data()); }
  const XSQLDA* Get() const { return reinterpret_cast<const XSQLDA*>(FArea.data()); }
  int Count() const { return Get()->sqld; }
  XSQLVAR& Var(int I) { return Get()->sqlvar[I]; }
  const XSQLVAR& Var(int I) const { return Get()->sqlvar[I]; }
  // Grows the area to the number of variables the describe call found (sqld > sqln): true when
  // it had to, and the describe must be called again.
  bool Fit();
  // Gives every variable a buffer of its described type and length.
  void AllocateBuffers();
  // Points variable I at a text value (or NULL) kept by the caller.
  void SetText(int I, const std::string* Value);

private:
  std::vector<char> FArea;
  std::vector<std::vector<char>> FBuffers;
  std::vector<short> FIndicators;
};

constexpr unsigned short kDialect = SQL_DIALECT_V6;

}  // namespace korv::drivers::firebird
