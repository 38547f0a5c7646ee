#include "SQLiteConnection.h"

#include "SQLiteRows.h"

#include "korv/KVCommon.h"
#include "korv/sqlite/SQLiteCatalogSql.h"
#include "rtl/Exceptions.h"
#include "rtl/SysUtils.h"

#include <fmt/format.h>

#include <cstdlib>
#include <filesystem>

namespace korv::drivers::sqlite {

using namespace sql;

namespace {

std::string QuotedSchema(const std::string& schema) {
  std::string quoted = "\"";
  for (char c : schema) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

void BindObjName(TStatementRun& run, const std::string& table, const std::optional<std::string>& schema) {
  run.BindText(1, table);
  if (schema)
    run.BindText(2, *schema);
  else
    run.BindNull(2);
}

bool IsTrueParam(const std::string& value) {
  return value == "1" || rtl::SameText(value, "True") || rtl::SameText(value, "Yes");
}

}  // namespace

void RaiseSQLiteError(sqlite3* db) { throw rtl::EDatabaseError(db ? sqlite3_errmsg(db) : "SQLite error"); }

TSQLiteConnection::TSQLiteConnection(const ConnectionSpec& spec) : FOnTrace(spec.OnTrace) {
  if (spec.RemoteDatabase.empty())
    throw rtl::EDatabaseError("Cannot open an SQLite database: no database file is given");
  std::filesystem::path file(spec.RemoteDatabase);
  if (spec.RemoteDatabase != ":memory:" && file.is_relative() && !spec.BaseDir.empty())
    file = std::filesystem::path(spec.BaseDir) / file;
  FFileName = file.string();

  int flags = SQLITE_OPEN_READWRITE;  // never SQLITE_OPEN_CREATE: a misspelt name must not make a file
  int busyTimeout = 0;
  for (const auto& [name, value] : spec.Params) {
    if (rtl::SameText(name, "ReadOnly") && IsTrueParam(value))
      flags = SQLITE_OPEN_READONLY;
    else if (rtl::SameText(name, "BusyTimeout"))
      busyTimeout = std::atoi(value.c_str());
  }

  // A connection belongs to one database component and is used by one thread at a time, so it
  // goes without SQLite's own lock, which otherwise every column read takes.
  flags |= SQLITE_OPEN_NOMUTEX;
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(FFileName.c_str(), &db, flags, nullptr);
  FDb.reset(db);
  if (rc != SQLITE_OK) {
    std::error_code ec;
    if (FFileName != ":memory:" && !std::filesystem::exists(file, ec))
      throw rtl::EDatabaseError(fmt::format("Cannot open SQLite database \"{}\": the file does not exist", FFileName));
    throw rtl::EDatabaseError(
        fmt::format("Cannot open SQLite database \"{}\": {}", FFileName, db ? sqlite3_errmsg(db) : "out of memory"));
  }
  // A double-quoted name that matches no column must be an error, not a string literal.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, static_cast<int*>(nullptr));
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, static_cast<int*>(nullptr));
  if (busyTimeout > 0) sqlite3_busy_timeout(db, busyTimeout);

  // Opening reads nothing; reading the schema now tells a non-database or locked file at once.
  try {
    TStatement probe = PrepareText("SELECT count(*) FROM sqlite_schema");
    TStatementRun run(probe.get());
    Trace(probe.get());
    run.Step();
  } catch (const rtl::EDatabaseError& e) {
    throw rtl::EDatabaseError(fmt::format("Cannot open SQLite database \"{}\": {}", FFileName, e.Message()));
  }
}

TStatement TSQLiteConnection::PrepareText(std::string_view sql, const char** tail) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(FDb.get(), sql.data(), static_cast<int>(sql.size()), &stmt, tail) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    RaiseSQLiteError(FDb.get());
  }
  return TStatement(stmt);
}

sqlite3_stmt* TSQLiteConnection::Prepared(TStatement& slot, std::string_view sql) {
  if (!slot) slot = PrepareText(sql);
  return slot.get();
}

void TSQLiteConnection::Trace(sqlite3_stmt* stmt) const {
  if (!FOnTrace || !stmt) return;
  char* expanded = sqlite3_expanded_sql(stmt);  // bound values written in
  std::string_view text = expanded ? expanded : sqlite3_sql(stmt);
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  FOnTrace(std::string(text));
  sqlite3_free(expanded);
}

void TSQLiteConnection::AppendTableNames(sqlite3_stmt* stmt, const std::string& pattern, bool systemTables,
                                         const std::string& prefix, std::vector<std::string>& names) {
  TStatementRun run(stmt);
  run.BindText(1, pattern);
  run.BindInt(2, systemTables ? 1 : 0);
  Trace(stmt);
  while (run.Step()) names.push_back(prefix + run.Text(0));
}

std::vector<std::string> TSQLiteConnection::TableNames(const std::string& pattern, bool systemTables) {
  const std::string like = pattern.empty() ? "%" : pattern;
  std::vector<std::string> names;
  AppendTableNames(Prepared(FTablesStmt, fmt::format(kTablesOfSchema, "main")), like, systemTables, {}, names);

  // Tables of attached databases carry their schema name; temp tables are left out, as they
  // vanish with the connection.
  std::vector<std::string> schemas;
  {
    sqlite3_stmt* stmt = Prepared(FSchemasStmt, kAttachedSchemas);
    TStatementRun run(stmt);
    Trace(stmt);
    while (run.Step()) schemas.push_back(run.Text(0));
  }
  for (const auto& schema : schemas) {
    TStatement stmt = PrepareText(fmt::format(kTablesOfSchema, QuotedSchema(schema)));
    AppendTableNames(stmt.get(), like, systemTables, schema + ".", names);
  }
  return names;
}

TSQLiteConnection::TObjName TSQLiteConnection::ResolveName(const std::string& text) {
  if (text.find_first_of(".\"[`") == std::string::npos) return {std::nullopt, text};
  {
    // A table may itself be named with dots or quotes.
    sqlite3_stmt* stmt = Prepared(FExistsStmt, kTableExists);
    TStatementRun run(stmt);
    run.BindText(1, text);
    Trace(stmt);
    if (run.Step()) return {std::nullopt, text};
  }
  auto parts = SplitObjName(text);
  if (parts.size() == 1) return {std::nullopt, parts[0]};
  if (parts.size() == 2) {
    sqlite3_stmt* stmt = Prepared(FIsSchemaStmt, kIsSchema);
    TStatementRun run(stmt);
    run.BindText(1, parts[0]);
    Trace(stmt);
    if (run.Step()) return {parts[0], parts[1]};
  }
  return {std::nullopt, text};
}

std::vector<std::string> TSQLiteConnection::ColumnNames(const std::string& table) {
  const TObjName name = ResolveName(table);
  sqlite3_stmt* stmt = Prepared(FColumnsStmt, kColumns);
  TStatementRun run(stmt);
  BindObjName(run, name.Table, name.Schema);
  Trace(stmt);
  std::vector<std::string> columns;
  while (run.Step()) columns.push_back(run.Text(0));
  return columns;
}

std::vector<IndexColumn> TSQLiteConnection::IndexInfo(const std::string& table) {
  const TObjName name = ResolveName(table);
  sqlite3_stmt* stmt = Prepared(FIndexStmt, kIndexes);
  TStatementRun run(stmt);
  BindObjName(run, name.Table, name.Schema);
  Trace(stmt);
  std::vector<IndexColumn> rows;
  while (run.Step()) rows.push_back({run.Text(0), run.Text(1), run.Int(2)});
  return rows;
}

std::vector<FieldOrigin> TSQLiteConnection::DescribeStatement(const std::string& sql) {
  TStatement stmt = PrepareText(sql);  // prepared only: nothing runs
  std::vector<FieldOrigin> fields;
  if (!stmt) return fields;  // blank text or only comments
  Trace(stmt.get());
  const int count = sqlite3_column_count(stmt.get());
  fields.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    FieldOrigin field;
    if (const char* name = sqlite3_column_name(stmt.get(), i)) field.FieldName = name;
    const char* table = sqlite3_column_table_name(stmt.get(), i);
    const char* column = sqlite3_column_origin_name(stmt.get(), i);
    if (table && column) {
      const char* schema = sqlite3_column_database_name(stmt.get(), i);
      const std::string_view db = schema ? schema : "main";
      if (db != "main" && db != "temp") field.TableName = std::string(db) + ".";
      field.TableName += table;
      field.ColumnName = column;
    }
    fields.push_back(std::move(field));
  }
  return fields;
}

std::vector<ProcParam> TSQLiteConnection::DescribeProcedure(const std::string& name) {
  throw rtl::EDatabaseError(fmt::format("Cannot describe procedure \"{}\": SQLite has no stored procedures", name));
}

void TSQLiteConnection::Execute(const std::string& sql) {
  const char* next = sql.c_str();
  const char* end = next + sql.size();
  while (next < end) {
    const char* tail = nullptr;
    TStatement stmt = PrepareText(std::string_view(next, static_cast<std::size_t>(end - next)), &tail);
    if (tail == nullptr || tail <= next) break;
    next = tail;
    if (!stmt) continue;  // blanks or a comment between statements
    TStatementRun run(stmt.get());
    Trace(stmt.get());
    while (run.Step()) {
    }
  }
}

namespace {

// Whether the rest of a text after a statement holds only blanks and comments.
bool OnlyBlanksAndComments(sqlite3* db, const char* tail) {
  while (tail && *tail) {
    sqlite3_stmt* stmt = nullptr;
    const char* next = nullptr;
    if (sqlite3_prepare_v2(db, tail, -1, &stmt, &next) != SQLITE_OK) {
      sqlite3_finalize(stmt);
      return false;
    }
    const bool empty = stmt == nullptr;
    sqlite3_finalize(stmt);
    if (!empty) return false;
    if (next == tail) break;
    tail = next;
  }
  return true;
}

// The 1-based character position of a byte offset in UTF-8 text.
int CharacterPosition(std::string_view text, int offset) {
  if (offset < 0) return 0;
  int position = 1;
  for (int i = 0; i < offset && i < static_cast<int>(text.size()); ++i)
    if ((static_cast<unsigned char>(text[static_cast<std::size_t>(i)]) & 0xC0) != 0x80) ++position;
  return position;
}

}  // namespace

std::unique_ptr<Statement> TSQLiteConnection::Prepare(const std::string& sql) {
  const char* tail = nullptr;
  TStatement stmt = PrepareText(sql, &tail);
  if (!stmt) throw rtl::EDatabaseError("No SQL statement");
  if (!OnlyBlanksAndComments(FDb.get(), tail))
    throw rtl::EDatabaseError("Only one statement can be run at a time; a second one follows the first");
  return std::make_unique<TSQLiteDataStatement>(FDb.get(), std::move(stmt));
}

StatementCheck TSQLiteConnection::CheckStatement(const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  const int rc = sqlite3_prepare_v3(FDb.get(), sql.data(), static_cast<int>(sql.size()), 0, &stmt, nullptr);
  StatementCheck check;
  if (rc != SQLITE_OK) {
    check.Ok = false;
    check.Message = sqlite3_errmsg(FDb.get());
    check.Position = CharacterPosition(sql, sqlite3_error_offset(FDb.get()));
  } else if (!stmt) {
    check.Ok = false;
    check.Message = "No SQL statement";
  }
  sqlite3_finalize(stmt);
  return check;
}

void TSQLiteConnection::RunSimple(const char* sql) {
  TStatement stmt = PrepareText(sql);
  TStatementRun run(stmt.get());
  Trace(stmt.get());
  run.Step();
}

void TSQLiteConnection::StartTransaction() {
  if (InTransaction()) throw rtl::EDatabaseError("A transaction is already active");
  RunSimple("BEGIN");
}

void TSQLiteConnection::Commit() {
  if (!InTransaction()) throw rtl::EDatabaseError("No transaction is active");
  RunSimple("COMMIT");
}

void TSQLiteConnection::Rollback() {
  if (!InTransaction()) throw rtl::EDatabaseError("No transaction is active");
  RunSimple("ROLLBACK");
}

bool TSQLiteConnection::InTransaction() const { return sqlite3_get_autocommit(FDb.get()) == 0; }

}  // namespace korv::drivers::sqlite
