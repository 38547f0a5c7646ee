// Field types of PostgreSQL result columns, from the type's OID and modifier.
#pragma once

#include "korv/drivers/Driver.h"

#include <libpq-fe.h>

namespace korv::drivers::postgres {

// Sets DataType, Size and Precision of Field for a column of type Type with modifier Modifier
// (PQftype, PQfmod). Arrays, JSON and types the library does not know read as text.
void SetColumnType(FieldDesc& Field, Oid Type, int Modifier);

}  // namespace korv::drivers::postgres
