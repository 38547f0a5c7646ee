// Field types of Firebird columns and parameters, from the SQL types and sub-types.
#pragma once

#include "korv/drivers/Driver.h"

#include <ibase.h>

#include <string>

namespace korv::drivers::firebird {

// Sets DataType, Size and Precision of Field from a described column (before its buffers are
// set up). Precision of a NUMERIC/DECIMAL is its storage's (4, 9, 18) until the catalogue says better.
void SetColumnType(FieldDesc& Field, const XSQLVAR& Var);

// The type of a procedure parameter as written in DDL, from RDB$FIELDS' type codes:
// "INTEGER", "VARCHAR(40)", "NUMERIC(9,2)", "BLOB SUB_TYPE TEXT".
std::string TypeNameOf(int FieldType, int SubType, int Scale, int Precision, int Length);

// The value of a described column's buffer as text the library reads: a scaled integer with
// its decimal point, dates as YYYY-MM-DD, times as HH:MM:SS[.ffff], timestamps as both.
std::string ScaledText(ISC_INT64 Value, int Scale);
std::string DateText(const ISC_DATE& Date);
std::string TimeText(const ISC_TIME& Time);

}  // namespace korv::drivers::firebird
