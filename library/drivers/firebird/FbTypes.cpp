#include "FbTypes.h"

#include <fmt/format.h>

namespace korv::drivers::firebird {

namespace {

// Character sets by id, and how many bytes a character takes at most in each.
constexpr int kOctets = 1;
int BytesPerChar(int CharSet) {
  switch (CharSet) {
  case 3: return 3;  // UNICODE_FSS
  case 4: return 4;  // UTF8
  default: return 1;
  }
}

// RDB$FIELDS.RDB$FIELD_TYPE codes.
// clang-format off
enum : int {
  kSmallint = 7, kInteger = 8, kFloat = 10, kDate = 12, kTime = 13, kChar = 14, kBigint = 16,
  kBoolean = 23, kDouble = 27, kTimestamp = 35, kVarchar = 37, kBlob = 261
};
// clang-format on

}  // namespace

void SetColumnType(FieldDesc& Field, const XSQLVAR& Var) {
  using rtl::TFieldType;
  Field.Size = 0;
  Field.Precision = 0;
  const int scale = -Var.sqlscale;
  auto integer = [&](TFieldType plain, int digits) {
    if (scale > 0) {
      Field.DataType = TFieldType::ftFMTBcd;
      Field.Size = scale;
      Field.Precision = digits;
    } else {
      Field.DataType = plain;
    }
  };
  switch (Var.sqltype & ~1) {
  case SQL_SHORT: integer(TFieldType::ftSmallint, 4); break;
  case SQL_LONG: integer(TFieldType::ftInteger, 9); break;
  case SQL_INT64: integer(TFieldType::ftLargeint, 18); break;
  case SQL_FLOAT: Field.DataType = TFieldType::ftSingle; break;
  case SQL_DOUBLE:
  case SQL_D_FLOAT: Field.DataType = TFieldType::ftFloat; break;
  case SQL_TEXT:
  case SQL_VARYING: {
    const bool fixed = (Var.sqltype & ~1) == SQL_TEXT;
    const int charSet = Var.sqlsubtype & 0xFF;
    if (charSet == kOctets) {
      Field.DataType = fixed ? TFieldType::ftBytes : TFieldType::ftVarBytes;
      Field.Size = Var.sqllen;
    } else {
      Field.DataType = fixed ? TFieldType::ftFixedChar : TFieldType::ftString;
      Field.Size = Var.sqllen / BytesPerChar(charSet);
    }
    break;
  }
  case SQL_TYPE_DATE: Field.DataType = TFieldType::ftDate; break;
  case SQL_TYPE_TIME: Field.DataType = TFieldType::ftTime; break;
  case SQL_TIMESTAMP: Field.DataType = TFieldType::ftDateTime; break;
  case SQL_BOOLEAN: Field.DataType = TFieldType::ftBoolean; break;
  case SQL_BLOB: Field.DataType = Var.sqlsubtype == 1 ? TFieldType::ftMemo : TFieldType::ftBlob; break;
  default: Field.DataType = TFieldType::ftUnknown; break;
  }
}

std::string TypeNameOf(int FieldType, int SubType, int Scale, int Precision, int Length) {
  auto exact = [&](const char* plain, int digits) -> std::string {
    if (Scale == 0 && SubType == 0) return plain;
    return fmt::format("{}({},{})", SubType == 2 ? "DECIMAL" : "NUMERIC", Precision ? Precision : digits, -Scale);
  };
  switch (FieldType) {
  case kSmallint: return exact("SMALLINT", 4);
  case kInteger: return exact("INTEGER", 9);
  case kBigint: return exact("BIGINT", 18);
  case kFloat: return "FLOAT";
  case kDouble: return "DOUBLE PRECISION";
  case kChar: return fmt::format("CHAR({})", Length);
  case kVarchar: return fmt::format("VARCHAR({})", Length);
  case kDate: return "DATE";
  case kTime: return "TIME";
  case kTimestamp: return "TIMESTAMP";
  case kBoolean: return "BOOLEAN";
  case kBlob: return SubType == 1 ? "BLOB SUB_TYPE TEXT" : fmt::format("BLOB SUB_TYPE {}", SubType);
  default: return fmt::format("TYPE {}", FieldType);
  }
}

std::string ScaledText(ISC_INT64 Value, int Scale) {
  if (Scale >= 0) {
    std::string text = std::to_string(Value);
    return Scale == 0 ? text : text + std::string(static_cast<std::size_t>(Scale), '0');
  }
  const bool negative = Value < 0;
  // Digits of the magnitude, unsigned so that the smallest BIGINT has one too.
  unsigned long long magnitude =
      negative ? 0ULL - static_cast<unsigned long long>(Value) : static_cast<unsigned long long>(Value);
  std::string digits = std::to_string(magnitude);
  const std::size_t places = static_cast<std::size_t>(-Scale);
  if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
  digits.insert(digits.size() - places, 1, '.');
  return negative ? "-" + digits : digits;
}

std::string DateText(const ISC_DATE& Date) {
  struct tm parts {};
  isc_decode_sql_date(&Date, &parts);
  return fmt::format("{:04}-{:02}-{:02}", parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday);
}

std::string TimeText(const ISC_TIME& Time) {
  const unsigned fraction = Time % ISC_TIME_SECONDS_PRECISION;  // ten-thousandths of a second
  const unsigned seconds = Time / ISC_TIME_SECONDS_PRECISION;
  std::string text = fmt::format("{:02}:{:02}:{:02}", seconds / 3600, seconds / 60 % 60, seconds % 60);
  if (fraction) {
    std::string digits = fmt::format(".{:04}", fraction);
    while (digits.back() == '0') digits.pop_back();
    text += digits;
  }
  return text;
}

}  // namespace korv::drivers::firebird
