// TKVMonitor: while active, records every statement the library's drivers send to a server.
#pragma once

#include "rtl/Component.h"
#include "rtl/Strings.h"

#include <functional>
#include <memory>

namespace korv {

using rtl::String;

class TKVMonitor : public rtl::TComponent {
  RTL_CLASS(TKVMonitor, rtl::TComponent)
  explicit TKVMonitor(rtl::TComponent* AOwner);
  ~TKVMonitor() override;

  bool Active() const { return FActive; }
  void SetActive(bool Value);
  // How many statements are kept; the oldest go first. 0: no limit.
  int MaxLines() const { return FMaxLines; }
  void SetMaxLines(int Value);

  // The statements recorded, oldest first.
  rtl::TStrings* Lines() const { return FLines.get(); }
  void Clear() { FLines->Clear(); }

  // Called with each statement recorded.
  std::function<void(TKVMonitor* Sender, const String& Statement)> OnStatement;

  void Loaded() override;

private:
  friend class TKVSessionList;
  void Record(const String& Statement);
  void TrimLines();

  bool FActive = false;
  bool FStreamedActive = false;
  int FMaxLines = 1000;
  std::unique_ptr<rtl::TStringList> FLines;
};

} // namespace korv
