#include "korv/KVResultSet.h"

#include "rtl/SysUtils.h"

#include <charconv>

namespace korv {

namespace {
const std::optional<String> kNull;
}

TKVField::TKVField(String FieldName, const TKVResultSet* ResultSet, int Index)
    : FFieldName(std::move(FieldName)), FResultSet(ResultSet), FIndex(Index) {}

const std::optional<String>& TKVField::Value() const {
  return FResultSet ? FResultSet->Cell(FIndex) : kNull;
}

bool TKVField::IsNull() const { return !Value().has_value(); }

String TKVField::AsString() const {
  const auto& v = Value();
  return v ? *v : String();
}

int TKVField::AsInteger() const {
  const auto& v = Value();
  if (!v) return 0;
  const String text = rtl::Trim(*v);
  int result = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  auto [end, ec] = std::from_chars(first, last, result);
  if (ec != std::errc() || end != last || text.empty())
    throw rtl::EConvertError(fmt::format("'{}' is not a valid integer value for field {}", *v, FFieldName));
  return result;
}

TKVResultSet::TKVResultSet(std::vector<String> FieldNames) {
  FFields.reserve(FieldNames.size());
  for (auto& name : FieldNames)
    FFields.push_back(std::make_unique<TKVField>(std::move(name), this, static_cast<int>(FFields.size())));
}

void TKVResultSet::AppendRow(std::vector<std::optional<String>> Values) {
  Values.resize(FFields.size());
  for (auto& v : Values) FCells.push_back(std::move(v));
  ++FRowCount;
}

TKVField* TKVResultSet::Fields(int Index) const {
  if (Index < 0 || Index >= FieldCount())
    throw rtl::EListError(fmt::format("Field index out of bounds ({})", Index));
  return FFields[static_cast<std::size_t>(Index)].get();
}

TKVField* TKVResultSet::FindField(const String& FieldName) const {
  for (const auto& f : FFields)
    if (rtl::SameText(f->FieldName(), FieldName)) return f.get();
  return nullptr;
}

TKVField* TKVResultSet::FieldByName(const String& FieldName) const {
  if (TKVField* f = FindField(FieldName)) return f;
  throw rtl::EDatabaseError(fmt::format("Field '{}' not found", FieldName));
}

const std::optional<String>& TKVResultSet::Cell(int Field) const {
  if (Eof() || Field < 0 || Field >= FieldCount()) return kNull;
  return FCells[static_cast<std::size_t>(FRow) * FFields.size() + static_cast<std::size_t>(Field)];
}

} // namespace korv
