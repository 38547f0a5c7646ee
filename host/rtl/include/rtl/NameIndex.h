// An owner's components by name, letter case ignored, so that naming and finding stay fast in a
// module of tens of thousands: a flat table probed by the name's hash, which reads a few
// neighbouring slots and the name of the component it finds.
#pragma once

#include "rtl/ProbeTable.h"
#include "rtl/Types.h"

#include <memory>

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
  // Only owners have a table, and most components own nothing: each holds one pointer, and
  // the table is made at the first name.
  std::unique_ptr<TProbeTable<TComponent>> FTable;
};

}  // namespace rtl
