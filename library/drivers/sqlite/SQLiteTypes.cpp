#include "SQLiteTypes.h"

#include <sqlite3.h>

#include <charconv>
#include <string>

namespace korv::drivers::sqlite {

namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// The numbers in the first parenthesis of a declaration: "(40)" or "(10, 2)"; absent ones are 0.
void ReadSizes(std::string_view decl, int& first, int& second) {
  first = second = 0;
  const auto open = decl.find('(');
  if (open == std::string_view::npos) return;
  const char* p = decl.data() + open + 1;
  const char* end = decl.data() + decl.size();
  auto number = [&](int& out) {
    while (p < end && *p == ' ') ++p;
    auto [next, ec] = std::from_chars(p, end, out);
    if (ec != std::errc()) out = 0;
    p = next;
    while (p < end && *p == ' ') ++p;
  };
  number(first);
  if (p < end && *p == ',') {
    ++p;
    number(second);
  }
}

// The name up to its first blank or parenthesis: "UNSIGNED BIG INT" -> "UNSIGNED".
std::string_view Head(std::string_view decl) {
  const auto end = decl.find_first_of(" (");
  return decl.substr(0, end);
}

}  // namespace

void SetDeclaredType(FieldDesc& Field, std::string_view DeclaredType) {
  using rtl::TFieldType;
  const std::string decl = Upper(DeclaredType);
  auto has = [&](std::string_view word) { return decl.find(word) != std::string::npos; };
  const std::string_view head = Head(decl);
  int first = 0, second = 0;
  ReadSizes(decl, first, second);
  Field.Size = 0;
  Field.Precision = 0;

  if (decl.empty()) {
    Field.DataType = TFieldType::ftUnknown;
  } else if (has("INT")) {  // rule 1: integer affinity
    if (has("BIG") || head == "INT8")
      Field.DataType = TFieldType::ftLargeint;
    else if (has("SMALL") || head == "INT2")
      Field.DataType = TFieldType::ftSmallint;
    else if (has("TINY"))
      Field.DataType = TFieldType::ftShortint;
    else
      Field.DataType = TFieldType::ftInteger;
  } else if (has("CHAR") || has("CLOB") || has("TEXT")) {  // rule 2: text affinity
    if (first > 0) {
      const bool fixed = !has("VAR") && (head == "CHAR" || head == "CHARACTER" || head == "NCHAR");
      Field.DataType = fixed ? TFieldType::ftFixedChar : TFieldType::ftString;
      Field.Size = first;
    } else {
      Field.DataType = TFieldType::ftMemo;
    }
  } else if (has("BLOB")) {  // rule 3
    Field.DataType = TFieldType::ftBlob;
  } else if (has("REAL") || has("FLOA") || has("DOUB")) {  // rule 4
    Field.DataType = TFieldType::ftFloat;
  } else if (has("BOOL")) {  // rule 5, numeric affinity: the name says what the numbers mean
    Field.DataType = TFieldType::ftBoolean;
  } else if (has("TIMESTAMP") || has("DATETIME")) {
    Field.DataType = TFieldType::ftDateTime;
  } else if (has("DATE")) {
    Field.DataType = TFieldType::ftDate;
  } else if (has("TIME")) {
    Field.DataType = TFieldType::ftTime;
  } else if (has("MONEY") || has("CURRENCY")) {
    Field.DataType = TFieldType::ftCurrency;
  } else if (has("NUMERIC") || has("DECIMAL")) {
    Field.DataType = TFieldType::ftFMTBcd;
    Field.Precision = first;
    Field.Size = second;
  } else {
    Field.DataType = TFieldType::ftFMTBcd;  // any other name: numeric affinity
  }
}

rtl::TFieldType TypeOfStorageClass(int StorageClass) {
  switch (StorageClass) {
  case SQLITE_INTEGER: return rtl::TFieldType::ftLargeint;
  case SQLITE_FLOAT: return rtl::TFieldType::ftFloat;
  case SQLITE_BLOB: return rtl::TFieldType::ftBlob;
  case SQLITE_TEXT: return rtl::TFieldType::ftMemo;
  default: return rtl::TFieldType::ftUnknown;
  }
}

}  // namespace korv::drivers::sqlite
