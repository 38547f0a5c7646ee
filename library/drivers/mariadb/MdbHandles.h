// Owning handles for libmariadb's connection and statement objects, so every path frees them.
#pragma once

#include <mysql.h>

#include <memory>

namespace korv::drivers::mariadb {

struct TMYSQLCloser {
  void operator()(MYSQL* conn) const noexcept { mysql_close(conn); }
};
struct TMYSQLStmtCloser {
  void operator()(MYSQL_STMT* stmt) const noexcept { mysql_stmt_close(stmt); }
};
struct TMYSQLResFreer {
  void operator()(MYSQL_RES* res) const noexcept { mysql_free_result(res); }
};

using TMYSQLPtr = std::unique_ptr<MYSQL, TMYSQLCloser>;
using TMYSQLStmtPtr = std::unique_ptr<MYSQL_STMT, TMYSQLStmtCloser>;
using TMYSQLResPtr = std::unique_ptr<MYSQL_RES, TMYSQLResFreer>;

}  // namespace korv::drivers::mariadb
