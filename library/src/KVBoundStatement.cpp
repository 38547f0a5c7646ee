#include "korv/KVBoundStatement.h"

#include "SqlMarkers.h"
#include "korv/KVDatabase.h"
#include "korv/KVMonitor.h"
#include "korv/KVSession.h"

#include <chrono>

namespace korv {

namespace {

using TClock = std::chrono::steady_clock;

double MillisecondsSince(TClock::time_point start) {
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// The 1-based character position in Original of the one Position points at in Sent, the text
// the markers were replaced in.
int OriginalPosition(std::string_view Original, const std::vector<detail::TSqlMarker>& Markers,
                     const drivers::Connection& Connection, std::string_view Sent, int Position) {
  if (Position <= 0) return Position;
  // Character position to byte offset in the sent text.
  std::size_t sentByte = 0;
  for (int chars = 1; sentByte < Sent.size(); ++sentByte) {
    if ((static_cast<unsigned char>(Sent[sentByte]) & 0xC0) == 0x80) continue;
    if (chars++ == Position) break;
  }
  // Walk the markers: every one before the offset shifts it by the difference in length.
  std::vector<std::string> names;
  const auto numbers = detail::MarkerNumbers(Markers, names);
  long shift = 0;
  for (std::size_t i = 0; i < Markers.size(); ++i) {
    const std::size_t sentStart = Markers[i].Start + static_cast<std::size_t>(shift);
    if (sentStart > sentByte) break;
    const long placeholder = static_cast<long>(Connection.Placeholder(static_cast<int>(numbers[i])).size());
    if (sentByte < sentStart + static_cast<std::size_t>(placeholder)) {
      shift = static_cast<long>(sentStart) - static_cast<long>(Markers[i].Start);
      sentByte = sentStart;  // inside the placeholder: the marker's start
      break;
    }
    shift += placeholder - static_cast<long>(Markers[i].Length);
  }
  const std::size_t originalByte = static_cast<std::size_t>(static_cast<long>(sentByte) - shift);
  int chars = 0;
  for (std::size_t i = 0; i <= originalByte && i < Original.size(); ++i)
    if ((static_cast<unsigned char>(Original[i]) & 0xC0) != 0x80) ++chars;
  return chars == 0 ? 1 : chars;
}

}  // namespace

TKVBoundStatement::TKVBoundStatement(TKVDatabase& Database, const String& SQL) {
  drivers::Connection& connection = Database.Connection();
  auto numbered = detail::NumberSqlMarkers(SQL, [&](int n) { return connection.Placeholder(n); });
  FServerSQL = std::move(numbered.Text);
  FNames = std::move(numbered.Names);
  FStatement = connection.Prepare(FServerSQL);
}

TKVBoundStatement::~TKVBoundStatement() = default;

std::vector<drivers::ParamValue> TKVBoundStatement::ValuesFrom(const rtl::TParams& Params) const {
  std::vector<drivers::ParamValue> values;
  values.reserve(FNames.size());
  for (const auto& name : FNames) {
    const rtl::TParam* p = Params.ParamByName(name);
    drivers::ParamValue v;
    if (!p->IsNull()) v.Value = p->Value();
    v.DataType = p->DataType();
    values.push_back(std::move(v));
  }
  return values;
}

void TKVBoundStatement::Trace(const std::vector<drivers::ParamValue>& Values, double Milliseconds) const {
  TKVTraceEntry entry;
  entry.SQL = FServerSQL;
  for (std::size_t i = 0; i < FNames.size(); ++i)
    entry.Params.emplace_back(FNames[i], i < Values.size() ? Values[i].Value : std::nullopt);
  entry.Milliseconds = Milliseconds;
  entry.Timed = true;
  Sessions->Trace(entry);
}

std::unique_ptr<drivers::Cursor> TKVBoundStatement::Open(const std::vector<drivers::ParamValue>& Values) {
  const auto start = TClock::now();
  auto cursor = FStatement->Open(Values);
  if (Sessions && Sessions->Monitored()) Trace(Values, MillisecondsSince(start));
  return cursor;
}

std::int64_t TKVBoundStatement::Execute(const std::vector<drivers::ParamValue>& Values) {
  const auto start = TClock::now();
  const std::int64_t rows = FStatement->Execute(Values);
  if (Sessions && Sessions->Monitored()) Trace(Values, MillisecondsSince(start));
  return rows;
}

drivers::StatementCheck CheckBoundSQL(TKVDatabase& Database, const String& SQL) {
  drivers::Connection& connection = Database.Connection();
  const auto markers = detail::FindSqlMarkers(SQL, ':');
  auto numbered = detail::NumberSqlMarkers(SQL, [&](int n) { return connection.Placeholder(n); });
  drivers::StatementCheck check = connection.CheckStatement(numbered.Text);
  if (!check.Ok) check.Position = OriginalPosition(SQL, markers, connection, numbered.Text, check.Position);
  return check;
}

}  // namespace korv
