#include "korv/KVResultSet.h"

#include "rtl/SysUtils.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace korv {

namespace {

const TKVValue kNull;

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
  return true;
}

std::optional<bool> BooleanOfText(std::string_view text) {
  for (auto word : {"true", "t", "yes", "y", "1"})
    if (SameAscii(text, word)) return true;
  for (auto word : {"false", "f", "no", "n", "0"})
    if (SameAscii(text, word)) return false;
  return std::nullopt;
}

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

constexpr double kUnixEpoch = 25569.0;       // 1970-01-01 as a TDateTime
constexpr double kJulianOffset = 2415018.5;  // the Julian day of 1899-12-30

String FloatText(double v) { return fmt::format("{}", v); }

}  // namespace

// ---------------------------------------------------------------- dates

rtl::TDateTime ISOToDateTime(const String& Text) {
  const String t = rtl::Trim(Text);
  const char* p = t.data();
  const char* end = p + t.size();
  auto number = [&](int digits, int& out) {
    if (end - p < digits) return false;
    auto [next, ec] = std::from_chars(p, p + digits, out);
    if (ec != std::errc() || next != p + digits) return false;
    p = next;
    return true;
  };
  auto fail = [&]() -> rtl::TDateTime {
    throw rtl::EConvertError(fmt::format("'{}' is not a valid date and time", Text));
  };
  double days = 0;
  bool any = false;
  int y = 0, mo = 0, d = 0;
  if (t.size() >= 10 && t[4] == '-' && t[7] == '-') {
    if (!number(4, y) || *p++ != '-' || !number(2, mo) || *p++ != '-' || !number(2, d)) return fail();
    if (mo < 1 || mo > 12 || d < 1 || d > 31) return fail();
    days = static_cast<double>(DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d))) + kUnixEpoch;
    any = true;
    if (p < end && (*p == ' ' || *p == 'T')) ++p;
  }
  if (p < end && end - p >= 5 && p[2] == ':') {
    int h = 0, mi = 0, s = 0;
    if (!number(2, h) || *p++ != ':' || !number(2, mi)) return fail();
    double fraction = 0;
    if (p < end && *p == ':') {
      ++p;
      if (!number(2, s)) return fail();
      if (p < end && *p == '.') {
        const char* start = p;
        ++p;
        while (p < end && *p >= '0' && *p <= '9') ++p;
        fraction = std::strtod(String(start, p).c_str(), nullptr);
      }
    }
    if (h > 24 || mi > 59 || s > 60) return fail();
    days += (h * 3600.0 + mi * 60.0 + s + fraction) / 86400.0;
    any = true;
  }
  // A zone (Z, +01, -05:30) may follow; the value is taken as written.
  if (!any || (p < end && *p != 'Z' && *p != '+' && *p != '-')) return fail();
  return days;
}

String DateTimeToISO(rtl::TDateTime Value) {
  const double dayPart = std::floor(Value);
  int y;
  unsigned m, d;
  CivilFromDays(static_cast<std::int64_t>(dayPart - kUnixEpoch), y, m, d);
  long long ms = std::llround((Value - dayPart) * 86400000.0);
  if (ms >= 86400000) ms = 86399999;
  const long long secs = ms / 1000;
  String text = fmt::format("{:04}-{:02}-{:02}", y, m, d);
  if (ms == 0) return text;
  text += fmt::format(" {:02}:{:02}:{:02}", secs / 3600, secs / 60 % 60, secs % 60);
  if (ms % 1000) text += fmt::format(".{:03}", ms % 1000);
  return text;
}

// ---------------------------------------------------------------- TKVRowSource

void TKVRowSource::SetFieldValue(int, TKVValue) { throw rtl::EDatabaseError("Cannot modify a read-only data set"); }

// ---------------------------------------------------------------- TKVField

TKVField::TKVField(String FieldName, const TKVResultSet* ResultSet, int Index)
    : FFieldName(std::move(FieldName)), FSource(const_cast<TKVResultSet*>(ResultSet)), FIndex(Index) {}

TKVField::TKVField(const rtl::TFieldDef& Def, TKVRowSource* Source, int Index)
    : FFieldName(Def.Name()),
      FSource(Source),
      FIndex(Index),
      FDataType(Def.DataType()),
      FSize(Def.Size()),
      FPrecision(Def.Precision()),
      FRequired(Def.Required()) {}

namespace {

// Text without the blanks and control characters around it (as rtl::Trim), without a copy.
std::string_view Trimmed(const String& S) {
  std::size_t b = 0, e = S.size();
  while (b < e && static_cast<unsigned char>(S[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(S[e - 1]) <= 0x20) --e;
  return std::string_view(S).substr(b, e - b);
}

}  // namespace

const TKVValue& TKVField::Current() const {
  const TKVValue* v = FSource ? FSource->FieldValue(FIndex) : nullptr;
  return v ? *v : kNull;
}

void TKVField::ConvertError(const char* What) const {
  throw rtl::EConvertError(fmt::format("'{}' is not a valid {} value for field {}", AsString(), What, FFieldName));
}

bool TKVField::IsNull() const { return Current().IsNull(); }

TKVValue TKVField::Value() const { return Current(); }

String TKVField::AsString() const {
  const TKVValue& v = Current();
  const bool boolean = FDataType == rtl::TFieldType::ftBoolean;
  switch (v.Kind) {
  case TKVValue::TKind::Null: return {};
  case TKVValue::TKind::Integer:
    if (boolean) return v.Integer ? "True" : "False";
    return std::to_string(v.Integer);
  case TKVValue::TKind::Float: return FloatText(v.Float);
  case TKVValue::TKind::Text:
    if (boolean)
      if (auto b = BooleanOfText(v.Text)) return *b ? "True" : "False";
    return v.Text;
  case TKVValue::TKind::Blob: return v.Text;
  }
  return {};
}

std::int64_t TKVField::AsLargeInt() const {
  const TKVValue& v = Current();
  switch (v.Kind) {
  case TKVValue::TKind::Null: return 0;
  case TKVValue::TKind::Integer: return v.Integer;
  case TKVValue::TKind::Float:
    if (v.Float != std::trunc(v.Float) || std::fabs(v.Float) > 9.2e18) ConvertError("integer");
    return static_cast<std::int64_t>(v.Float);
  default: {
    const std::string_view text = Trimmed(v.Text);
    long long result = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    auto [end, ec] = std::from_chars(first, last, result);
    if (ec != std::errc() || end != last || text.empty())
      throw rtl::EConvertError(fmt::format("'{}' is not a valid integer value for field {}", v.Text, FFieldName));
    return result;
  }
  }
}

int TKVField::AsInteger() const {
  const std::int64_t value = AsLargeInt();
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) ConvertError("integer");
  return static_cast<int>(value);
}

double TKVField::AsFloat() const {
  const TKVValue& v = Current();
  switch (v.Kind) {
  case TKVValue::TKind::Null: return 0;
  case TKVValue::TKind::Integer: return static_cast<double>(v.Integer);
  case TKVValue::TKind::Float: return v.Float;
  default: {
    const std::string_view text = Trimmed(v.Text);
    double result = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) ConvertError("floating point");
    return result;
  }
  }
}

bool TKVField::AsBoolean() const {
  const TKVValue& v = Current();
  switch (v.Kind) {
  case TKVValue::TKind::Null: return false;
  case TKVValue::TKind::Integer: return v.Integer != 0;
  case TKVValue::TKind::Float: return v.Float != 0;
  default:
    if (auto b = BooleanOfText(rtl::Trim(v.Text))) return *b;
    ConvertError("Boolean");
  }
}

rtl::TDateTime TKVField::AsDateTime() const {
  const TKVValue& v = Current();
  switch (v.Kind) {
  case TKVValue::TKind::Null: return 0;
  case TKVValue::TKind::Integer:  // SQLite's reading of a number as a date: seconds since 1970
    return static_cast<double>(v.Integer) / 86400.0 + kUnixEpoch;
  case TKVValue::TKind::Float:  // and of a fraction: a Julian day
    return v.Float - kJulianOffset;
  default: try { return ISOToDateTime(v.Text);
    } catch (const rtl::EConvertError&) {
      ConvertError("date and time");
    }
  }
}

void TKVField::SetAsString(const String& Value) {
  if (!FSource) throw rtl::EDatabaseError(fmt::format("Field {} belongs to no data set", FFieldName));
  FSource->SetFieldValue(FIndex, TKVValue::OfText(Value));
}

void TKVField::SetAsInteger(std::int64_t Value) {
  if (!FSource) throw rtl::EDatabaseError(fmt::format("Field {} belongs to no data set", FFieldName));
  TKVValue v;
  v.Kind = TKVValue::TKind::Integer;
  v.Integer = Value;
  FSource->SetFieldValue(FIndex, std::move(v));
}

void TKVField::SetAsFloat(double Value) {
  if (!FSource) throw rtl::EDatabaseError(fmt::format("Field {} belongs to no data set", FFieldName));
  TKVValue v;
  v.Kind = TKVValue::TKind::Float;
  v.Float = Value;
  FSource->SetFieldValue(FIndex, std::move(v));
}

void TKVField::SetAsBoolean(bool Value) { SetAsInteger(Value ? 1 : 0); }

void TKVField::SetAsDateTime(rtl::TDateTime Value) { SetAsString(DateTimeToISO(Value)); }

void TKVField::Clear() {
  if (!FSource) throw rtl::EDatabaseError(fmt::format("Field {} belongs to no data set", FFieldName));
  FSource->SetFieldValue(FIndex, TKVValue());
}

// ---------------------------------------------------------------- TKVResultSet

TKVResultSet::TKVResultSet(std::vector<String> FieldNames) {
  FFields.reserve(FieldNames.size());
  for (auto& name : FieldNames)
    FFields.push_back(std::make_unique<TKVField>(std::move(name), this, static_cast<int>(FFields.size())));
}

void TKVResultSet::AppendRow(std::vector<std::optional<String>> Values) {
  Values.resize(FFields.size());
  for (auto& v : Values) FCells.push_back(v ? TKVValue::OfText(std::move(*v)) : TKVValue());
  ++FRowCount;
}

TKVField* TKVResultSet::Fields(int Index) const {
  if (Index < 0 || Index >= FieldCount()) throw rtl::EListError(fmt::format("Field index out of bounds ({})", Index));
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

const TKVValue* TKVResultSet::FieldValue(int Field) const {
  if (Eof() || Field < 0 || Field >= FieldCount()) return nullptr;
  return &FCells[static_cast<std::size_t>(FRow) * FFields.size() + static_cast<std::size_t>(Field)];
}

}  // namespace korv
