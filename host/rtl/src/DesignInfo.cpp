#include "rtl/DesignInfo.h"

#include "FormExtras.h"

#include <algorithm>

namespace rtl {

namespace {

const TDfmProperty* FindKept(const TFormExtras* Extras, const char* Name) {
  if (!Extras) return nullptr;
  auto ctx = Extras->Contexts.find("");
  if (ctx == Extras->Contexts.end()) return nullptr;
  for (const auto& [index, prop] : ctx->second.Props)
    if (SameText(prop.Name, Name) && prop.Value.Kind == TDfmValueKind::vkInteger) return &prop;
  return nullptr;
}

void SetKept(TFormLeftovers& Left, const char* Name, int Value) {
  for (auto& [index, prop] : Left.Props)
    if (SameText(prop.Name, Name)) {
      prop.Value = TDfmValue::Integer(Value);
      return;
    }
  // A new line goes after every property the file had. Without the file's order (nothing of
  // the component was kept) it stands past the end of it, which puts it after the live ones.
  TDfmProperty prop;
  prop.Name = Name;
  prop.Value = TDfmValue::Integer(Value);
  Left.Props.emplace_back(Left.Order.size(), std::move(prop));
  if (!Left.Order.empty()) Left.Order.push_back(Name);
}

}  // namespace

std::optional<TDesignPosition> DesignPosition(const TComponent* Component) {
  const auto* extras = Cast<const TFormExtras>(Component->StreamExtras());
  const TDfmProperty* left = FindKept(extras, "Left");
  const TDfmProperty* top = FindKept(extras, "Top");
  if (!left || !top) return std::nullopt;
  return TDesignPosition{static_cast<int>(left->Value.Int), static_cast<int>(top->Value.Int)};
}

void SetDesignPosition(TComponent* Component, TDesignPosition Position) {
  auto* extras = Cast<TFormExtras>(Component->StreamExtras());
  if (!extras) {
    auto made = std::make_unique<TFormExtras>();
    extras = made.get();
    Component->SetStreamExtras(std::move(made));
  }
  TFormLeftovers& left = extras->Contexts[""];
  SetKept(left, "Left", std::clamp(Position.Left, 0, 0xFFFF));
  SetKept(left, "Top", std::clamp(Position.Top, 0, 0xFFFF));
}

int32_t DesignInfo(const TComponent* Component) {
  std::optional<TDesignPosition> p = DesignPosition(Component);
  if (!p) return 0;
  return static_cast<int32_t>((static_cast<uint32_t>(p->Top & 0xFFFF) << 16) | static_cast<uint32_t>(p->Left & 0xFFFF));
}

void SetDesignInfo(TComponent* Component, int32_t Value) {
  const auto v = static_cast<uint32_t>(Value);
  SetDesignPosition(Component, {static_cast<int>(v & 0xFFFF), static_cast<int>(v >> 16)});
}

}  // namespace rtl
