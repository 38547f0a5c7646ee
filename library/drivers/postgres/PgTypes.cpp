#include "PgTypes.h"

namespace korv::drivers::postgres {

namespace {

// The OIDs of the built-in types, fixed by the server's catalogue.
// clang-format off
enum : Oid {
  kBool = 16, kBytea = 17, kChar = 18, kName = 19, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25, kOid = 26,
  kJson = 114, kFloat4 = 700, kFloat8 = 701, kMoney = 790, kBpchar = 1042, kVarchar = 1043, kDate = 1082,
  kTime = 1083, kTimestamp = 1114, kTimestamptz = 1184, kInterval = 1186, kTimetz = 1266, kNumeric = 1700,
  kUuid = 2950, kJsonb = 3802
};
// clang-format on

// The header the server adds to the length of a character type's modifier.
constexpr int kVarHeader = 4;

}  // namespace

void SetColumnType(FieldDesc& Field, Oid Type, int Modifier) {
  using rtl::TFieldType;
  Field.Size = 0;
  Field.Precision = 0;
  switch (Type) {
  case kBool: Field.DataType = TFieldType::ftBoolean; break;
  case kBytea: Field.DataType = TFieldType::ftBlob; break;
  case kChar:
    Field.DataType = TFieldType::ftFixedChar;
    Field.Size = 1;
    break;
  case kName:
    Field.DataType = TFieldType::ftString;
    Field.Size = 63;
    break;
  case kInt2: Field.DataType = TFieldType::ftSmallint; break;
  case kInt4: Field.DataType = TFieldType::ftInteger; break;
  case kInt8: Field.DataType = TFieldType::ftLargeint; break;
  case kOid: Field.DataType = TFieldType::ftLongWord; break;
  case kFloat4: Field.DataType = TFieldType::ftSingle; break;
  case kFloat8: Field.DataType = TFieldType::ftFloat; break;
  case kMoney: Field.DataType = TFieldType::ftCurrency; break;
  case kNumeric:
    Field.DataType = TFieldType::ftFMTBcd;
    if (Modifier >= kVarHeader) {
      Field.Precision = ((Modifier - kVarHeader) >> 16) & 0xFFFF;
      Field.Size = (Modifier - kVarHeader) & 0xFFFF;
    }
    break;
  case kBpchar:
  case kVarchar:
    if (Modifier > kVarHeader) {
      Field.DataType = Type == kBpchar ? TFieldType::ftFixedChar : TFieldType::ftString;
      Field.Size = Modifier - kVarHeader;
    } else {
      Field.DataType = TFieldType::ftMemo;
    }
    break;
  case kDate: Field.DataType = TFieldType::ftDate; break;
  case kTime:
  case kTimetz: Field.DataType = TFieldType::ftTime; break;
  case kTimestamp: Field.DataType = TFieldType::ftDateTime; break;
  case kTimestamptz: Field.DataType = TFieldType::ftTimeStampOffset; break;
  case kUuid:
    Field.DataType = TFieldType::ftGuid;
    Field.Size = 38;
    break;
  case kText:
  case kJson:
  case kJsonb:
  case kInterval:
  default:  // arrays, enumerations, domains and the rest arrive as their text
    Field.DataType = TFieldType::ftMemo;
    break;
  }
}

}  // namespace korv::drivers::postgres
