// The catalogue queries of the Firebird driver. Every name arrives as a bound parameter, cast to
// a long VARCHAR so that no value can overflow the parameter's type; none is pasted into the
// text. Names are CHAR columns padded with blanks, hence the TRIMs.
#pragma once

namespace korv::drivers::firebird::sql {

// The relation a user names: ? the name as the server reads it (unquoted folded to upper case),
// ? as written (for a name whose quotes were taken off before it arrived), ? the server's
// reading again, which wins when both exist.
#define KORV_FB_RELATION                                                             \
  "(SELECT FIRST 1 r.RDB$RELATION_NAME FROM RDB$RELATIONS r"                         \
  " WHERE r.RDB$RELATION_NAME IN (CAST(? AS VARCHAR(252)), CAST(? AS VARCHAR(252)))" \
  " ORDER BY CASE WHEN r.RDB$RELATION_NAME = CAST(? AS VARCHAR(252)) THEN 0 ELSE 1 END)"

// ? the LIKE pattern ('' for all) twice, ? 1 to list system tables too.
inline constexpr const char* TableNames =
    "SELECT TRIM(r.RDB$RELATION_NAME) FROM RDB$RELATIONS r"
    " WHERE (CAST(? AS VARCHAR(1024)) = '' OR TRIM(r.RDB$RELATION_NAME) LIKE CAST(? AS VARCHAR(1024)))"
    " AND (CAST(? AS INTEGER) = 1 OR COALESCE(r.RDB$SYSTEM_FLAG, 0) = 0)"
    " ORDER BY 1";

inline constexpr const char* ColumnNames =
    "SELECT TRIM(f.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS f"
    " WHERE f.RDB$RELATION_NAME = " KORV_FB_RELATION " ORDER BY f.RDB$FIELD_POSITION";

// Active indexes on columns (an expression index has no segments), in index then column order:
// 4 the index of the PRIMARY KEY constraint, 2 a unique index or the index of a UNIQUE constraint.
inline constexpr const char* IndexInfo =
    "SELECT TRIM(i.RDB$INDEX_NAME), TRIM(s.RDB$FIELD_NAME),"
    " CASE WHEN c.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' THEN 4 ELSE 0 END"
    " + CASE WHEN i.RDB$UNIQUE_FLAG = 1 OR c.RDB$CONSTRAINT_TYPE IS NOT NULL THEN 2 ELSE 0 END"
    " FROM RDB$INDICES i"
    " JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = i.RDB$INDEX_NAME"
    " LEFT JOIN RDB$RELATION_CONSTRAINTS c ON c.RDB$INDEX_NAME = i.RDB$INDEX_NAME"
    " AND c.RDB$CONSTRAINT_TYPE IN ('PRIMARY KEY', 'UNIQUE')"
    " WHERE i.RDB$RELATION_NAME = " KORV_FB_RELATION
    " AND COALESCE(i.RDB$INDEX_INACTIVE, 0) = 0"
    " ORDER BY i.RDB$INDEX_NAME, s.RDB$FIELD_POSITION";

// Procedures of the database itself (not of packages, not the system's).
inline constexpr const char* ProcedureNames =
    "SELECT TRIM(p.RDB$PROCEDURE_NAME) FROM RDB$PROCEDURES p"
    " WHERE COALESCE(p.RDB$SYSTEM_FLAG, 0) = 0 AND p.RDB$PACKAGE_NAME IS NULL ORDER BY 1";

// The procedure a user names, its three parameters as in KORV_FB_RELATION.
inline constexpr const char* ProcedureNamed =
    "SELECT FIRST 1 TRIM(p.RDB$PROCEDURE_NAME) FROM RDB$PROCEDURES p"
    " WHERE p.RDB$PACKAGE_NAME IS NULL"
    " AND p.RDB$PROCEDURE_NAME IN (CAST(? AS VARCHAR(252)), CAST(? AS VARCHAR(252)))"
    " ORDER BY CASE WHEN p.RDB$PROCEDURE_NAME = CAST(? AS VARCHAR(252)) THEN 0 ELSE 1 END";

// ? a procedure's exact name: its input parameters (type 0) then its outputs (1), each with the
// type of its domain.
inline constexpr const char* ProcedureParameters =
    "SELECT TRIM(a.RDB$PARAMETER_NAME), a.RDB$PARAMETER_TYPE, f.RDB$FIELD_TYPE,"
    " COALESCE(f.RDB$FIELD_SUB_TYPE, 0), COALESCE(f.RDB$FIELD_SCALE, 0),"
    " COALESCE(f.RDB$FIELD_PRECISION, 0), COALESCE(f.RDB$CHARACTER_LENGTH, f.RDB$FIELD_LENGTH)"
    " FROM RDB$PROCEDURE_PARAMETERS a"
    " LEFT JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = a.RDB$FIELD_SOURCE"
    " WHERE a.RDB$PROCEDURE_NAME = CAST(? AS VARCHAR(252)) AND a.RDB$PACKAGE_NAME IS NULL"
    " ORDER BY a.RDB$PARAMETER_TYPE, a.RDB$PARAMETER_NUMBER";

// ? relation, ? column, exactly as stored: the declared precision of a NUMERIC or DECIMAL column.
inline constexpr const char* ColumnPrecision =
    "SELECT COALESCE(f.RDB$FIELD_PRECISION, 0) FROM RDB$RELATION_FIELDS rf"
    " JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE"
    " WHERE rf.RDB$RELATION_NAME = CAST(? AS VARCHAR(252)) AND rf.RDB$FIELD_NAME = CAST(? AS VARCHAR(252))";

#undef KORV_FB_RELATION

}  // namespace korv::drivers::firebird::sql
