// TKVMonitor: while active, records every statement the library's drivers send to a server.
#pragma once

#include "rtl/Component.h"
#include "rtl/Strings.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace korv {

using rtl::String;

// One statement recorded: its text as sent, and for the statements data sets, queries, scripts
// and update objects run, the parameters bound by name (nullopt: NULL) and the time it took.
struct TKVTraceEntry {
  String SQL;
  std::vector<std::pair<String, std::optional<String>>> Params;
  double Milliseconds = 0;  // 0 for catalogue statements, which are not timed
  bool Timed = false;
};

// The line a monitor keeps for an entry: the statement, then its parameters and time.
String TraceLine(const TKVTraceEntry& Entry);

class TKVMonitor : public rtl::TComponent {
  RTL_CLASS(TKVMonitor, rtl::TComponent)
  explicit TKVMonitor(rtl::TComponent* AOwner);
  ~TKVMonitor() override;

  bool Active() const { return FActive; }
  void SetActive(bool Value);
  // How many statements are kept; the oldest go first. 0: no limit.
  int MaxLines() const { return FMaxLines; }
  void SetMaxLines(int Value);

  // The statements recorded, oldest first, as lines (TraceLine) and as entries, in step.
  rtl::TStrings* Lines() const { return FLines.get(); }
  const std::deque<TKVTraceEntry>& Entries() const { return FEntries; }
  void Clear() {
    FLines->Clear();
    FEntries.clear();
  }

  // Called with each statement recorded.
  std::function<void(TKVMonitor* Sender, const String& Statement)> OnStatement;

  void Loaded() override;

private:
  friend class TKVSessionList;
  void Record(const TKVTraceEntry& Entry);
  void TrimLines();

  bool FActive = false;
  bool FStreamedActive = false;
  int FMaxLines = 1000;
  std::unique_ptr<rtl::TStringList> FLines;
  std::deque<TKVTraceEntry> FEntries;
};

}  // namespace korv
