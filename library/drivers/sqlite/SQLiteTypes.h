// Field types of SQLite columns: a declared type read by SQLite's own affinity rules, refined by
// the names that say more (dates, booleans, sizes, precision and scale).
#pragma once

#include "korv/drivers/Driver.h"

#include <string_view>

namespace korv::drivers::sqlite {

// Type, Size and Precision of a column declared as DeclaredType ("VARCHAR(40)", "NUMERIC(10,2)",
// "BIGINT", "DATE" ...). An empty declaration gives ftUnknown: the values decide.
void SetDeclaredType(FieldDesc& Field, std::string_view DeclaredType);

// The type of a column without a declared type (an expression), from its first value's
// storage class (SQLITE_INTEGER ...).
rtl::TFieldType TypeOfStorageClass(int StorageClass);

}  // namespace korv::drivers::sqlite
