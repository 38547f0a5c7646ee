#include "korv/KVMonitor.h"

#include "korv/KVSession.h"

#include <fmt/format.h>

#include <algorithm>

namespace korv {

rtl::TClass TKVMonitor::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVMonitor>("TKVMonitor")
                                .BoolProp("Active", &TKVMonitor::Active, &TKVMonitor::SetActive)
                                .IntProp("MaxLines", &TKVMonitor::MaxLines, &TKVMonitor::SetMaxLines, 1000)
                                .Build();
  return info;
}

TKVMonitor::TKVMonitor(rtl::TComponent* AOwner)
    : rtl::TComponent(AOwner), FLines(std::make_unique<rtl::TStringList>()) {}

TKVMonitor::~TKVMonitor() { SetActive(false); }

void TKVMonitor::SetActive(bool Value) {
  if (ComponentState().Contains(rtl::TComponentStateItem::csReading)) {
    FStreamedActive = Value;
    return;
  }
  if (Value == FActive || !Sessions) return;
  auto& monitors = Sessions->FMonitors;
  if (Value)
    monitors.push_back(this);
  else
    monitors.erase(std::remove(monitors.begin(), monitors.end(), this), monitors.end());
  FActive = Value;
}

void TKVMonitor::Loaded() {
  rtl::TComponent::Loaded();
  if (FStreamedActive) {
    FStreamedActive = false;
    SetActive(true);
  }
}

void TKVMonitor::SetMaxLines(int Value) {
  FMaxLines = Value < 0 ? 0 : Value;
  TrimLines();
}

void TKVMonitor::TrimLines() {
  while (FMaxLines != 0 && static_cast<int>(FEntries.size()) > FMaxLines) FEntries.pop_front();
  if (FMaxLines == 0 || FLines->Count() <= FMaxLines) return;
  FLines->BeginUpdate();
  while (FLines->Count() > FMaxLines) FLines->Delete(0);
  FLines->EndUpdate();
}

void TKVMonitor::Record(const TKVTraceEntry& Entry) {
  const String line = TraceLine(Entry);
  FLines->Add(line);
  FEntries.push_back(Entry);
  TrimLines();
  if (OnStatement) OnStatement(this, line);
}

String TraceLine(const TKVTraceEntry& Entry) {
  if (!Entry.Timed && Entry.Params.empty()) return Entry.SQL;
  String line = Entry.SQL;
  if (!Entry.Params.empty()) {
    line += "  [";
    for (std::size_t i = 0; i < Entry.Params.size(); ++i) {
      const auto& [name, value] = Entry.Params[i];
      if (i) line += ", ";
      line += name + "=";
      if (!value) {
        line += "NULL";
        continue;
      }
      line += '\'';
      for (char c : *value) {
        line += c;
        if (c == '\'') line += '\'';
      }
      line += '\'';
    }
    line += "]";
  }
  if (Entry.Timed) line += fmt::format("  ({:.3f} ms)", Entry.Milliseconds);
  return line;
}

}  // namespace korv
