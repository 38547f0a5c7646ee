// The library's resource strings: the texts its callers show to the developer. Verbs carry an
// "&" before their mnemonic letter and end in "..." when they open a dialog.
#pragma once

namespace korv {

inline constexpr char SBindMacrosVerb[] = "Bind &Macros...";
inline constexpr char SBindVerb[] = "&Bind Params...";
inline constexpr char SDatasetDesignerVerb[] = "Fields &Editor...";
inline constexpr char SEditDatabaseVerb[] = "&Database Editor...";
inline constexpr char SEditSQLVerb[] = "&Edit SQL...";
inline constexpr char SUpdateSQLEditor[] = "&UpdateSQL Editor...";

// Stands in for a data set's name where an object has none bound (shown in parentheses).
inline constexpr char SNoDataSet[] = "No DataSet";
inline constexpr char SSQLGenSelect[] = "You must select at least one key field and one update field";
inline constexpr char SSQLNotGenerated[] = "Update SQL statements have not been generated. Exit anyway?";
// A fmt format with one placeholder, the table name: fmt::format(fmt::runtime(SSQLDataSetOpen), table).
inline constexpr char SSQLDataSetOpen[] = "Unable to determine the field names of table {}";

inline constexpr char STextTrue[] = "True";
// The name under which a table's primary index is offered.
inline constexpr char SPrimary[] = "Primary";

}  // namespace korv
