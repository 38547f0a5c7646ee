// TKVResultSet: rows a catalogue call hands back, read one row at a time through named fields;
// TKVField: one column of a result set or of an open data set, read (and, while the data set is
// edited, written) in the current row; TKVValue: one value as the library holds it.
#pragma once

#include "rtl/DB.h"
#include "rtl/Object.h"
#include "rtl/SysUtils.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace korv {

using rtl::String;

// A value: null, an integer, a floating-point number, text or binary data (both in Text).
struct TKVValue {
  enum class TKind : unsigned char { Null, Integer, Float, Text, Blob };
  TKind Kind = TKind::Null;
  std::int64_t Integer = 0;
  double Float = 0;
  String Text;

  bool IsNull() const { return Kind == TKind::Null; }
  static TKVValue OfText(String Value) {
    TKVValue v;
    v.Kind = TKind::Text;
    v.Text = std::move(Value);
    return v;
  }
};
using TKVRow = std::vector<TKVValue>;

// Where a field's values live: the current row of a result set or data set.
class TKVRowSource {
public:
  virtual ~TKVRowSource() = default;
  // The value of field Index in the current row; nil when there is no current row.
  virtual const TKVValue* FieldValue(int Index) const = 0;
  // Writes it; raises EDatabaseError when the source is not being edited.
  virtual void SetFieldValue(int Index, TKVValue Value);
};

class TKVResultSet;

// A field: its definition and the value in its source's current row. A field of no source (a
// table's field description) always reads as null. Reading converts: AsString of a number gives
// its digits, AsInteger of a text parses it (EConvertError naming the field when it cannot),
// AsBoolean takes 1/0, True/False, t/f, yes/no; AsDateTime takes ISO 8601 text ("2024-03-01",
// "2024-03-01 09:12:00", "09:12"), a time zone after it ignored.
class TKVField {
public:
  TKVField(String FieldName, const TKVResultSet* ResultSet = nullptr, int Index = -1);
  TKVField(const rtl::TFieldDef& Def, TKVRowSource* Source, int Index);

  const String& FieldName() const { return FFieldName; }
  int Index() const { return FIndex; }
  rtl::TFieldType DataType() const { return FDataType; }
  int Size() const { return FSize; }
  int Precision() const { return FPrecision; }
  bool Required() const { return FRequired; }

  bool IsNull() const;
  String AsString() const;            // "" when null; booleans as True/False
  int AsInteger() const;              // 0 when null
  std::int64_t AsLargeInt() const;    // 0 when null
  double AsFloat() const;             // 0 when null
  bool AsBoolean() const;             // false when null
  rtl::TDateTime AsDateTime() const;  // 0 when null
  // The value as it is held.
  TKVValue Value() const;

  // Writing, while the data set is in edit or insert state.
  void SetAsString(const String& Value);
  void SetAsInteger(std::int64_t Value);
  void SetAsFloat(double Value);
  void SetAsBoolean(bool Value);
  void SetAsDateTime(rtl::TDateTime Value);  // written as ISO 8601 text
  void Clear();                              // null

private:
  const TKVValue& Current() const;
  [[noreturn]] void ConvertError(const char* What) const;

  String FFieldName;
  TKVRowSource* FSource = nullptr;
  int FIndex;
  rtl::TFieldType FDataType = rtl::TFieldType::ftUnknown;
  int FSize = 0;
  int FPrecision = 0;
  bool FRequired = false;
};

// A read-only, fully fetched set of rows. A new set stands on its first row (Eof when empty).
class TKVResultSet : public TKVRowSource {
public:
  explicit TKVResultSet(std::vector<String> FieldNames);
  TKVResultSet(const TKVResultSet&) = delete;
  TKVResultSet& operator=(const TKVResultSet&) = delete;

  // Appends a row with one value per field (nullopt: null).
  void AppendRow(std::vector<std::optional<String>> Values);

  int FieldCount() const { return static_cast<int>(FFields.size()); }
  TKVField* Fields(int Index) const;
  TKVField* FindField(const String& FieldName) const;    // letter case ignored; nil when absent
  TKVField* FieldByName(const String& FieldName) const;  // raises EDatabaseError naming it

  int RecordCount() const { return FRowCount; }
  int RecNo() const { return FRow; }  // 0-based
  bool Eof() const { return FRow >= FRowCount; }
  void First() { FRow = 0; }
  void Next() {
    if (FRow < FRowCount) ++FRow;
  }

  const TKVValue* FieldValue(int Index) const override;

private:
  std::vector<std::unique_ptr<TKVField>> FFields;
  std::vector<TKVValue> FCells;  // row-major
  int FRowCount = 0;
  int FRow = 0;
};

// Date and time text as the library reads and writes it (ISO 8601, local time, no zone).
// Raises EConvertError when Text is not a date, a time or both.
rtl::TDateTime ISOToDateTime(const String& Text);
String DateTimeToISO(rtl::TDateTime Value);

}  // namespace korv
