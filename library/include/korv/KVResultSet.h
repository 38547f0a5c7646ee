// TKVResultSet: rows a catalogue call hands back, read one row at a time through named fields;
// TKVField: one column of it, or a data set's field description.
#pragma once

#include "rtl/Object.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace korv {

using rtl::String;

class TKVResultSet;

// A field: its name and, when it belongs to a result set, the value in that set's current row.
// A field of no result set (a table's field description) always reads as null.
class TKVField {
public:
  TKVField(String FieldName, const TKVResultSet* ResultSet = nullptr, int Index = -1);

  const String& FieldName() const { return FFieldName; }
  int Index() const { return FIndex; }
  bool IsNull() const;
  String AsString() const;  // "" when null
  int AsInteger() const;    // 0 when null; raises EConvertError when the text is not an integer

private:
  const std::optional<String>& Value() const;

  String FFieldName;
  const TKVResultSet* FResultSet;
  int FIndex;
};

// A read-only, fully fetched set of rows. A new set stands on its first row (Eof when empty).
class TKVResultSet {
public:
  explicit TKVResultSet(std::vector<String> FieldNames);
  TKVResultSet(const TKVResultSet&) = delete;
  TKVResultSet& operator=(const TKVResultSet&) = delete;

  // Appends a row with one value per field (nullopt: null).
  void AppendRow(std::vector<std::optional<String>> Values);

  int FieldCount() const { return static_cast<int>(FFields.size()); }
  TKVField* Fields(int Index) const;
  TKVField* FindField(const String& FieldName) const;   // letter case ignored; nil when absent
  TKVField* FieldByName(const String& FieldName) const; // raises EDatabaseError naming it

  int RecordCount() const { return FRowCount; }
  int RecNo() const { return FRow; }  // 0-based
  bool Eof() const { return FRow >= FRowCount; }
  void First() { FRow = 0; }
  void Next() {
    if (FRow < FRowCount) ++FRow;
  }

private:
  friend class TKVField;
  const std::optional<String>& Cell(int Field) const;

  std::vector<std::unique_ptr<TKVField>> FFields;
  std::vector<std::optional<String>> FCells;  // row-major
  int FRowCount = 0;
  int FRow = 0;
};

} // namespace korv
