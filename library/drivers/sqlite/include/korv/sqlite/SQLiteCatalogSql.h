// The catalogue queries of the SQLite driver. Every name arrives as a bound value (?1 table,
// ?2 schema or NULL); the only text pasted in is a schema name, quoted, in place of {} where a
// query must name the schema's own table.
#pragma once

#include <string_view>

namespace korv::drivers::sqlite::sql {

constexpr std::string_view kTablesOfSchema =
    "SELECT name FROM {}.sqlite_schema"
    " WHERE type IN ('table','view') AND name LIKE ?1 ESCAPE '\\'"
    " AND (?2 OR name NOT LIKE 'sqlite\\_%' ESCAPE '\\') ORDER BY name";

constexpr std::string_view kAttachedSchemas =
    "SELECT name FROM pragma_database_list WHERE name NOT IN ('main','temp') ORDER BY seq";

constexpr std::string_view kIsSchema = "SELECT 1 FROM pragma_database_list WHERE name = ?1 COLLATE NOCASE";

constexpr std::string_view kTableExists = "SELECT 1 FROM pragma_table_xinfo(?1) LIMIT 1";

// hidden: 0 plain, 2 and 3 generated (virtual, stored); 1 is a virtual table's hidden column.
constexpr std::string_view kColumns =
    "SELECT name FROM pragma_table_xinfo(?1, ?2) WHERE hidden IN (0,2,3) ORDER BY cid";

// A rowid primary key (INTEGER PRIMARY KEY) has no index of its own, so the second arm reports
// it as a primary unique index. A partial unique index does not make its columns unique over the
// whole table, so it is not reported as unique.
constexpr std::string_view kIndexes =
    "SELECT il.name AS INDEX_NAME, ii.name AS COLUMN_NAME,"
    " (CASE il.origin WHEN 'pk' THEN 4 ELSE 0 END)"
    " | (CASE WHEN il.\"unique\" AND NOT il.partial THEN 2 ELSE 0 END) AS INDEX_TYPE,"
    " ii.seqno AS SEQNO"
    " FROM pragma_index_list(?1, ?2) AS il JOIN pragma_index_info(il.name, ?2) AS ii"
    " UNION ALL"
    " SELECT 'PRIMARY', ti.name, 6, ti.pk - 1 FROM pragma_table_info(?1, ?2) AS ti"
    " WHERE ti.pk > 0 AND NOT EXISTS (SELECT 1 FROM pragma_index_list(?1, ?2) WHERE origin = 'pk')"
    " ORDER BY 1, 4";

}  // namespace korv::drivers::sqlite::sql
