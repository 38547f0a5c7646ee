// Field types of MariaDB result columns, from the prepared statement's result metadata.
#pragma once

#include "korv/drivers/Driver.h"

#include <mysql.h>

namespace korv::drivers::mariadb {

// Sets DataType, Size and Precision of Field for a described column: TINYINT(1) a Boolean,
// DECIMAL with its precision and scale, character columns with their size in characters, TEXT
// and JSON memos, binary columns blobs or bytes, ENUM and SET strings.
void SetColumnType(FieldDesc& Field, const MYSQL_FIELD& Column);

// How a cursor holds a column's value: as a 64-bit integer, a double, or the client's text.
enum class TMdbBuffer { Integer, Float, Text };
TMdbBuffer BufferOf(const MYSQL_FIELD& Column);

}  // namespace korv::drivers::mariadb
