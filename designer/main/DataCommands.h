// The two data views of korv: a data set's field definitions and first rows, and an update
// object's statements checked on the live database.
#pragma once

#include "rtl/Component.h"

#include "rtl/DB.h"

#include <optional>
#include <ostream>
#include <vector>

namespace designer {

using rtl::String;

// What a data set holds, as PrintData and the graphical designer's data view show it.
struct TDataField {
  String Name;
  rtl::TFieldType Type = rtl::TFieldType::ftUnknown;
  int Size = 0;
  int Precision = 0;
  bool Required = false;
};
struct TDataSnapshot {
  String Name;                                           // the data set's
  std::vector<TDataField> Defs;                          // its field definitions
  std::vector<TDataField> Fields;                        // the row values' fields, in order
  std::vector<std::vector<std::optional<String>>> Rows;  // nullopt for NULL
  int Total = 0;                                         // every row of the data set
};

// The name of a field type (ftInteger).
String FieldTypeName(rtl::TFieldType Type);

// Opens Component (a data set; its database connects), reads its field definitions and its
// first Limit rows, and puts the data set back as it was (closed again when it was closed).
// Raises ECommandError for a component that is no data set or a data set being edited, and
// whatever opening raises.
TDataSnapshot ReadData(rtl::TComponent* Component, int Limit);

// Opens Component (a data set; its database connects), prints its field definitions (name,
// type, size, required) and its first Limit rows as an aligned table, NULL shown as NULL and an
// empty string as '', then puts the data set back as it was. Json: one object with "fields",
// "rows" (arrays, null for NULL) and "total".
void PrintData(std::ostream& Out, rtl::TComponent* Component, int Limit, bool Json);

// Prepares each of Component's (a TKVUpdateSQL) four statements on its data set's database
// without running them and prints one line each: "ok", "empty", or the server's error with its
// position. With Try, the modify statement is then run for the data set's first row inside a
// transaction that is rolled back, and the rows it would change are printed (or why it could
// not run). False when any statement failed or the try did not change exactly one row.
bool PrintStatementChecks(std::ostream& Out, rtl::TComponent* Component, bool Try, bool Json);

}  // namespace designer
