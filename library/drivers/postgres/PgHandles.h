// Owning handles for libpq's connection and result objects, so every path frees them.
#pragma once

#include <libpq-fe.h>

#include <memory>

namespace korv::drivers::postgres {

struct TPGconnCloser {
  void operator()(PGconn* conn) const noexcept { PQfinish(conn); }
};
struct TPGresultClearer {
  void operator()(PGresult* result) const noexcept { PQclear(result); }
};

using TPGconnPtr = std::unique_ptr<PGconn, TPGconnCloser>;
using TPGresultPtr = std::unique_ptr<PGresult, TPGresultClearer>;

}  // namespace korv::drivers::postgres
