// The two data views of korv: a data set's field definitions and first rows, and an update
// object's statements checked on the live database.
#pragma once

#include "rtl/Component.h"

#include <ostream>

namespace designer {

using String = std::string;

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

} // namespace designer
