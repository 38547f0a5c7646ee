#include "korv/KVMonitor.h"

#include "korv/KVSession.h"

#include <algorithm>

namespace korv {

rtl::TClass TKVMonitor::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVMonitor>("TKVMonitor")
                                .BoolProp("Active", &TKVMonitor::Active, &TKVMonitor::SetActive)
                                .IntProp("MaxLines", &TKVMonitor::MaxLines, &TKVMonitor::SetMaxLines, 1000)
                                .Build();
  return info;
}

TKVMonitor::TKVMonitor(rtl::TComponent* AOwner) : rtl::TComponent(AOwner), FLines(std::make_unique<rtl::TStringList>()) {}

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
  if (FMaxLines == 0 || FLines->Count() <= FMaxLines) return;
  FLines->BeginUpdate();
  while (FLines->Count() > FMaxLines) FLines->Delete(0);
  FLines->EndUpdate();
}

void TKVMonitor::Record(const String& Statement) {
  FLines->Add(Statement);
  TrimLines();
  if (OnStatement) OnStatement(this, Statement);
}

} // namespace korv
