// An owner's components by name, letter case ignored, so that naming and finding stay fast in a
// module of tens of thousands: one flat table of (hash, component) slots probed in order, so
// that a lookup reads a few neighbouring slots and the name of the component it finds.
#pragma once

#include "rtl/Types.h"

#include <cstdint>
#include <memory>
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
  // Only owners have a table, and most components own nothing: each holds one pointer, and
  // the table is made at the first name.
  struct TTable {
    std::vector<TSlot> Slots;  // a power of two in size, at most three quarters full
    size_t Count = 0;
  };
  static size_t Home(const TTable& T, uint64_t Hash) { return static_cast<size_t>(Hash) & (T.Slots.size() - 1); }
  static size_t Next(const TTable& T, size_t At) { return (At + 1) & (T.Slots.size() - 1); }
  void Grow();

  std::unique_ptr<TTable> FTable;
};

}  // namespace rtl
