#include "MdbTypes.h"

namespace korv::drivers::mariadb {

namespace {

constexpr unsigned kBinaryCharset = 63;

bool IsBinary(const MYSQL_FIELD& Column) { return Column.charsetnr == kBinaryCharset; }

// The size of a character column in characters: the metadata gives bytes, the most its
// character set can take for that many characters.
int Characters(const MYSQL_FIELD& Column) {
  unsigned perChar = 1;
  if (const MARIADB_CHARSET_INFO* info = mariadb_get_charset_by_nr(Column.charsetnr))
    perChar = info->char_maxlen ? info->char_maxlen : 1;
  return static_cast<int>(Column.length / perChar);
}

}  // namespace

void SetColumnType(FieldDesc& Field, const MYSQL_FIELD& Column) {
  using rtl::TFieldType;
  Field.Size = 0;
  Field.Precision = 0;
  const bool isUnsigned = (Column.flags & UNSIGNED_FLAG) != 0;
  switch (Column.type) {
  case MYSQL_TYPE_TINY: Field.DataType = Column.length == 1 ? TFieldType::ftBoolean : TFieldType::ftSmallint; break;
  case MYSQL_TYPE_SHORT: Field.DataType = isUnsigned ? TFieldType::ftInteger : TFieldType::ftSmallint; break;
  case MYSQL_TYPE_INT24: Field.DataType = TFieldType::ftInteger; break;
  case MYSQL_TYPE_LONG: Field.DataType = isUnsigned ? TFieldType::ftLargeint : TFieldType::ftInteger; break;
  case MYSQL_TYPE_LONGLONG: Field.DataType = TFieldType::ftLargeint; break;
  case MYSQL_TYPE_YEAR: Field.DataType = TFieldType::ftSmallint; break;
  case MYSQL_TYPE_BIT:  // its bits as bytes, most significant first
    Field.DataType = TFieldType::ftBytes;
    Field.Size = static_cast<int>((Column.length + 7) / 8);
    break;
  case MYSQL_TYPE_FLOAT: Field.DataType = TFieldType::ftSingle; break;
  case MYSQL_TYPE_DOUBLE: Field.DataType = TFieldType::ftFloat; break;
  case MYSQL_TYPE_DECIMAL:
  case MYSQL_TYPE_NEWDECIMAL: {
    // The display length counts the digits, a sign unless unsigned, and a point when scaled.
    Field.DataType = TFieldType::ftFMTBcd;
    Field.Size = static_cast<int>(Column.decimals);
    Field.Precision = static_cast<int>(Column.length) - (isUnsigned ? 0 : 1) - (Column.decimals > 0 ? 1 : 0);
    break;
  }
  case MYSQL_TYPE_DATE:
  case MYSQL_TYPE_NEWDATE: Field.DataType = TFieldType::ftDate; break;
  case MYSQL_TYPE_TIME: Field.DataType = TFieldType::ftTime; break;
  case MYSQL_TYPE_DATETIME:
  case MYSQL_TYPE_TIMESTAMP: Field.DataType = TFieldType::ftDateTime; break;
  case MYSQL_TYPE_STRING:  // CHAR, BINARY, ENUM and SET
    if (IsBinary(Column)) {
      Field.DataType = TFieldType::ftBytes;
      Field.Size = static_cast<int>(Column.length);
    } else {
      Field.DataType = (Column.flags & (ENUM_FLAG | SET_FLAG)) ? TFieldType::ftString : TFieldType::ftFixedChar;
      Field.Size = Characters(Column);
    }
    break;
  case MYSQL_TYPE_VAR_STRING:
  case MYSQL_TYPE_VARCHAR:
    if (IsBinary(Column)) {
      Field.DataType = TFieldType::ftVarBytes;
      Field.Size = static_cast<int>(Column.length);
    } else {
      Field.DataType = TFieldType::ftString;
      Field.Size = Characters(Column);
    }
    break;
  case MYSQL_TYPE_ENUM:
  case MYSQL_TYPE_SET:
    Field.DataType = TFieldType::ftString;
    Field.Size = Characters(Column);
    break;
  case MYSQL_TYPE_TINY_BLOB:
  case MYSQL_TYPE_BLOB:
  case MYSQL_TYPE_MEDIUM_BLOB:
  case MYSQL_TYPE_LONG_BLOB:
  case MYSQL_TYPE_JSON:  // MariaDB sends JSON as LONGTEXT; a server that names it gets the same
    Field.DataType = IsBinary(Column) ? TFieldType::ftBlob : TFieldType::ftMemo;
    break;
  case MYSQL_TYPE_GEOMETRY: Field.DataType = TFieldType::ftBlob; break;
  default: Field.DataType = TFieldType::ftMemo; break;  // whatever else arrives as its text
  }
}

TMdbBuffer BufferOf(const MYSQL_FIELD& Column) {
  switch (Column.type) {
  case MYSQL_TYPE_TINY:
  case MYSQL_TYPE_SHORT:
  case MYSQL_TYPE_INT24:
  case MYSQL_TYPE_LONG:
  case MYSQL_TYPE_YEAR: return TMdbBuffer::Integer;
  case MYSQL_TYPE_LONGLONG:  // an unsigned BIGINT may not fit a signed 64-bit integer
    return (Column.flags & UNSIGNED_FLAG) ? TMdbBuffer::Text : TMdbBuffer::Integer;
  case MYSQL_TYPE_FLOAT:
  case MYSQL_TYPE_DOUBLE: return TMdbBuffer::Float;
  default: return TMdbBuffer::Text;
  }
}

}  // namespace korv::drivers::mariadb
