// The catalogue queries of the PostgreSQL driver. Every name arrives as a bound parameter; none is
// ever pasted into the text. Everything is qualified with pg_catalog so that a user's search_path
// cannot put other objects in their place.
#pragma once

namespace korv::drivers::postgres::sql {

// The relation a user names: $1 database (NULL: current), $2 schema (NULL: the first one on the
// search path that has it), $3 relation name, all as the server reads them (unquoted parts folded
// to lower case); $4, $5, $6 the same parts with unquoted letters as written. The server's reading
// wins; the spelling as written is the fallback for a name whose quotes were taken off before it
// arrived ("OrderLines" given as OrderLines), where the server's reading finds nothing. At most
// one relation: tables, partitioned tables, views, materialized views and foreign tables only.
#define KORV_PG_RELATION_OID                                                         \
  "SELECT c.oid FROM pg_catalog.pg_class c"                                          \
  " JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace"                        \
  " WHERE c.relname IN ($3, $6) AND c.relkind IN ('r','p','v','m','f')"              \
  " AND CASE WHEN $2::text IS NULL THEN pg_catalog.pg_table_is_visible(c.oid)"       \
  " WHEN $2::text = 'pg_temp' THEN n.oid = pg_catalog.pg_my_temp_schema()"           \
  " ELSE n.nspname IN ($2::text, $5::text) END"                                      \
  " AND ($1::text IS NULL OR pg_catalog.current_database() IN ($1::text, $4::text))" \
  " ORDER BY c.relname <> $3, n.nspname <> $2::text LIMIT 1"

// A relation's name as a user types it: bare when the search path finds it, else schema-qualified;
// each part quoted only where the server needs quotes.
#define KORV_PG_RELATION_DISPLAY_NAME(visible, nspname, relname) \
  "CASE WHEN " visible " THEN pg_catalog.quote_ident(" relname   \
  ")"                                                            \
  " ELSE pg_catalog.quote_ident(" nspname ") || '.' || pg_catalog.quote_ident(" relname ") END"

// $1 LIKE pattern ('' for all), $2 include system tables.
inline constexpr const char* TableNames =
    "SELECT " KORV_PG_RELATION_DISPLAY_NAME("t.visible", "t.nspname", "t.relname")
    " FROM (SELECT n.nspname, c.relname, pg_catalog.pg_table_is_visible(c.oid) AS visible"
    " FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace"
    " WHERE c.relkind IN ('r','p','v','m','f')"
    " AND ($1::text = '' OR c.relname LIKE $1::text)"
    " AND n.nspname !~ '^pg_toast'"
    " AND (n.nspname !~ '^pg_temp_' OR n.oid = pg_catalog.pg_my_temp_schema())"
    " AND ($2::boolean OR n.nspname NOT IN ('pg_catalog', 'information_schema'))) t"
    " ORDER BY NOT t.visible, t.nspname, t.relname";

// Parameters as in KORV_PG_RELATION_OID.
inline constexpr const char* ColumnNames =
    "SELECT a.attname FROM pg_catalog.pg_attribute a"
    " WHERE a.attrelid = (" KORV_PG_RELATION_OID
    ")"
    " AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum";

// Key columns of the valid indexes of a relation (INCLUDE columns and expressions left out).
// 4 primary key, 2 unique; a partial unique index or one on expressions does not make the listed
// columns unique, so it is not reported as unique. Parameters as in KORV_PG_RELATION_OID.
inline constexpr const char* IndexInfo =
    "SELECT ic.relname, a.attname,"
    " (CASE WHEN i.indisprimary THEN 4 ELSE 0 END)"
    " | (CASE WHEN i.indisunique AND i.indpred IS NULL AND i.indexprs IS NULL THEN 2 ELSE 0 END)"
    " FROM pg_catalog.pg_index i"
    " JOIN pg_catalog.pg_class ic ON ic.oid = i.indexrelid"
    " CROSS JOIN LATERAL pg_catalog.unnest(i.indkey) WITH ORDINALITY AS k(attnum, ord)"
    " JOIN pg_catalog.pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = k.attnum"
    " WHERE i.indrelid = (" KORV_PG_RELATION_OID
    ")"
    " AND k.ord <= i.indnkeyatts AND i.indisvalid"
    " ORDER BY ic.relname, k.ord";

// $1 oid[] of tables, $2 int2[] of column numbers: one row per pair that names a column (its
// ordinal, table, column and whether it is NOT NULL).
inline constexpr const char* FieldOrigins =
    "SELECT t.ord, " KORV_PG_RELATION_DISPLAY_NAME("pg_catalog.pg_table_is_visible(c.oid)",
                                                   "n.nspname", "c.relname") ", a.attname, a.attnotnull"
    " FROM ROWS FROM (pg_catalog.unnest($1::pg_catalog.oid[]),"
    " pg_catalog.unnest($2::pg_catalog.int2[])) WITH ORDINALITY AS t(relid, attnum, ord)"
    " JOIN pg_catalog.pg_class c ON c.oid = t.relid"
    " JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace"
    " JOIN pg_catalog.pg_attribute a ON a.attrelid = t.relid AND a.attnum = t.attnum";

// Functions and procedures a user can call, named as a user types them; an overloaded name
// carries its argument types so that each entry names one routine.
inline constexpr const char* ProcedureNames =
    "SELECT " KORV_PG_RELATION_DISPLAY_NAME("pg_catalog.pg_function_is_visible(p.oid)",
                                            "n.nspname", "p.proname")
    " || CASE WHEN pg_catalog.count(*) OVER (PARTITION BY p.pronamespace, p.proname) > 1"
    " THEN '(' || pg_catalog.oidvectortypes(p.proargtypes) || ')' ELSE '' END"
    " FROM pg_catalog.pg_proc p JOIN pg_catalog.pg_namespace n ON n.oid = p.pronamespace"
    " WHERE p.prokind IN ('f','p')"
    " AND p.prorettype NOT IN ('pg_catalog.trigger'::pg_catalog.regtype,"
    " 'pg_catalog.event_trigger'::pg_catalog.regtype)"
    " AND n.nspname NOT IN ('pg_catalog', 'information_schema') AND n.nspname !~ '^pg_toast'"
    " AND (n.nspname !~ '^pg_temp_' OR n.oid = pg_catalog.pg_my_temp_schema())"
    " ORDER BY NOT pg_catalog.pg_function_is_visible(p.oid), n.nspname, p.proname,"
    " pg_catalog.oidvectortypes(p.proargtypes)";

// Routines of a name: $1 database, $2 schema, $3 name, as in KORV_PG_RELATION_OID.
inline constexpr const char* RoutinesNamed =
    "SELECT p.oid, pg_catalog.oidvectortypes(p.proargtypes)"
    " FROM pg_catalog.pg_proc p JOIN pg_catalog.pg_namespace n ON n.oid = p.pronamespace"
    " WHERE p.proname = $3 AND p.prokind IN ('f','p')"
    " AND CASE WHEN $2::text IS NULL THEN pg_catalog.pg_function_is_visible(p.oid)"
    " WHEN $2::text = 'pg_temp' THEN n.oid = pg_catalog.pg_my_temp_schema()"
    " ELSE n.nspname = $2::text END"
    " AND ($1::text IS NULL OR $1::text = pg_catalog.current_database())"
    " ORDER BY 2";

// $1 a routine's name with its argument types, as the server reads it.
inline constexpr const char* RoutineBySignature =
    "SELECT p.oid FROM pg_catalog.pg_proc p"
    " WHERE p.oid = pg_catalog.to_regprocedure($1) AND p.prokind IN ('f','p')";

// $1 a routine's oid: for a function that returns a value other than through OUT arguments,
// that value first (mode 'r'), then its arguments in order (name, type, mode i/o/b/v/t).
inline constexpr const char* RoutineParameters =
    "SELECT r.name, r.type, r.mode FROM ("
    "SELECT 0::bigint AS ord, 'Result'::text AS name,"
    " pg_catalog.format_type(p.prorettype, NULL) AS type, 'r'::text AS mode"
    " FROM pg_catalog.pg_proc p"
    " WHERE p.oid = $1::pg_catalog.oid AND p.prokind = 'f'"
    " AND p.prorettype <> 'pg_catalog.void'::pg_catalog.regtype"
    " AND NOT COALESCE('o' = ANY (p.proargmodes) OR 'b' = ANY (p.proargmodes)"
    " OR 't' = ANY (p.proargmodes), false)"
    " UNION ALL"
    " SELECT a.ord, COALESCE(p.proargnames[a.ord], ''), pg_catalog.format_type(a.typ, NULL),"
    " COALESCE(p.proargmodes[a.ord], 'i')::text"
    " FROM pg_catalog.pg_proc p,"
    " LATERAL pg_catalog.unnest(COALESCE(p.proallargtypes, p.proargtypes::pg_catalog.oid[]))"
    " WITH ORDINALITY AS a(typ, ord)"
    " WHERE p.oid = $1::pg_catalog.oid) r"
    " ORDER BY r.ord";

#undef KORV_PG_RELATION_DISPLAY_NAME
#undef KORV_PG_RELATION_OID

}  // namespace korv::drivers::postgres::sql
