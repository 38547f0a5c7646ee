// An owner's components by name, letter case ignored, so that naming and finding stay fast in a
// module of tens of thousands: one flat table of (hash, component) slots probed in order, so
// that a lookup reads a few neighbouring slots and the name of the component it finds.
#pragma once

#include "rtl/Types.h"

#include <cstdint>
#include <vector>

namespace rtl {

class TComponent;

class TNameIndex {
public:
  // The component indexed under Name (compared with SameText against each candidate's Name());
  // nil when none is.
  TComponent* Find(const String& Name) const;
  // Indexes C under Name unless another component is indexed under it; returns the one that is
  // indexed under Name afterwards (C, or the other).
  TComponent* Insert(const String& Name, TComponent* C);
  // Takes C off Name; false (and nothing changes) when C is not indexed under Name.
  bool Erase(const String& Name, const TComponent* C);

private:
  struct TSlot {
    uint64_t Hash = 0;
    TComponent* Comp = nullptr;  // nil: free
  };
  size_t Home(uint64_t Hash) const { return static_cast<size_t>(Hash) & (FSlots.size() - 1); }
  size_t Next(size_t At) const { return (At + 1) & (FSlots.size() - 1); }
  void Grow();

  std::vector<TSlot> FSlots;  // a power of two in size, at most three quarters full
  size_t FCount = 0;
};

}  // namespace rtl
