// The catalogue queries of the MariaDB driver, on information_schema. Every name arrives as a
// bound parameter ("?"); none is ever pasted into the text. A database parameter that is NULL
// means the connection's current database. Plain equalities on TABLE_SCHEMA and TABLE_NAME let
// the server open only the one table's definition instead of reading every table it has.
#pragma once

namespace korv::drivers::mariadb::sql {

// ? the LIKE pattern ('' for all) twice, ? 1 to list system views too. Tables and views of the
// current database, in byte order: names that differ only in letter case are different tables
// here, which the catalogue's own collation would sort in no fixed order.
inline constexpr const char* TableNames =
    "SELECT TABLE_NAME FROM information_schema.TABLES"
    " WHERE TABLE_SCHEMA = DATABASE()"
    " AND (? = '' OR TABLE_NAME LIKE ?)"
    " AND (? = 1 OR TABLE_TYPE <> 'SYSTEM VIEW')"
    " ORDER BY BINARY TABLE_NAME";

// ? database (NULL: current), ? table.
inline constexpr const char* ColumnNames =
    "SELECT COLUMN_NAME FROM information_schema.COLUMNS"
    " WHERE TABLE_SCHEMA = COALESCE(?, DATABASE()) AND TABLE_NAME = ?"
    " ORDER BY ORDINAL_POSITION";

// Index columns in index then column order: 4 the PRIMARY key, 2 a unique index (so 6 for the
// primary key). STATISTICS has an INDEX_TYPE column of its own (BTREE, HASH ...): the library's
// INDEX_TYPE is computed from the other columns and every column is taken by its table's alias,
// so the two never meet. Parameters as in ColumnNames.
inline constexpr const char* IndexInfo =
    "SELECT s.INDEX_NAME, s.COLUMN_NAME,"
    " (CASE WHEN s.INDEX_NAME = 'PRIMARY' THEN 4 ELSE 0 END)"
    " | (CASE WHEN s.NON_UNIQUE = 0 THEN 2 ELSE 0 END) AS INDEX_TYPE"
    " FROM information_schema.STATISTICS s"
    " WHERE s.TABLE_SCHEMA = COALESCE(?, DATABASE()) AND s.TABLE_NAME = ?"
    " AND s.COLUMN_NAME IS NOT NULL"
    " ORDER BY s.INDEX_NAME <> 'PRIMARY', s.INDEX_NAME, s.SEQ_IN_INDEX";

// Procedures and functions of the current database.
inline constexpr const char* ProcedureNames =
    "SELECT ROUTINE_NAME FROM information_schema.ROUTINES"
    " WHERE ROUTINE_SCHEMA = DATABASE() AND ROUTINE_TYPE IN ('PROCEDURE', 'FUNCTION')"
    " ORDER BY ROUTINE_NAME";

// ? database (NULL: current), ? routine name: its type, when there is one.
inline constexpr const char* RoutineNamed =
    "SELECT ROUTINE_TYPE FROM information_schema.ROUTINES"
    " WHERE ROUTINE_SCHEMA = COALESCE(?, DATABASE()) AND ROUTINE_NAME = ?"
    " AND ROUTINE_TYPE IN ('PROCEDURE', 'FUNCTION')";

// ? database (NULL: current), ? routine name: its parameters in order; a function's result comes
// first, at position 0 with no mode.
inline constexpr const char* RoutineParameters =
    "SELECT COALESCE(PARAMETER_NAME, ''), DTD_IDENTIFIER, COALESCE(PARAMETER_MODE, '')"
    " FROM information_schema.PARAMETERS"
    " WHERE SPECIFIC_SCHEMA = COALESCE(?, DATABASE()) AND SPECIFIC_NAME = ?"
    " ORDER BY ORDINAL_POSITION";

}  // namespace korv::drivers::mariadb::sql
