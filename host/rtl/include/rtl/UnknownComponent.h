// A component of a class nobody registered, kept from a form file exactly as it was read.
//
// It takes part in its module as a component does (it has a Name, counts for name uniqueness,
// can be found by FindComponent and referenced), answers ClassName with the streamed class name,
// and is written back from its kept syntax tree, children included.
#pragma once

#include "rtl/Component.h"
#include "rtl/FormFile.h"

namespace rtl {

class TUnknownComponent : public TComponent {
  RTL_CLASS(TUnknownComponent, TComponent)

  explicit TUnknownComponent(TComponent* AOwner) : TComponent(AOwner) {}

  String ClassName() const override { return FStreamed.ClassName; }

  // The object as read: kind, name, class, properties and nested objects.
  const TDfmObject& Streamed() const { return FStreamed; }
  void SetStreamed(TDfmObject Value) { FStreamed = std::move(Value); }

  // The component it was nested in when that was not the root (written back there), and its
  // place among that component's nested objects.
  const String& StreamedParentName() const { return FStreamedParentName; }
  int StreamedChildIndex() const { return FStreamedChildIndex; }
  void SetStreamedParent(const String& ParentName, int ChildIndex) {
    FStreamedParentName = ParentName;
    FStreamedChildIndex = ChildIndex;
  }

private:
  TDfmObject FStreamed;
  String FStreamedParentName;
  int FStreamedChildIndex = 0;
};

}  // namespace rtl
