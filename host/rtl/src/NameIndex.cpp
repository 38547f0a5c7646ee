#include "rtl/NameIndex.h"

#include "rtl/Component.h"
#include "rtl/SysUtils.h"

namespace rtl {

TComponent* TNameIndex::Find(const String& Name) const {
  if (FCount == 0) return nullptr;
  const uint64_t hash = TextHash(Name);
  for (size_t i = Home(hash); FSlots[i].Comp; i = Next(i))
    if (FSlots[i].Hash == hash && SameText(FSlots[i].Comp->Name(), Name)) return FSlots[i].Comp;
  return nullptr;
}

TComponent* TNameIndex::Insert(const String& Name, TComponent* C) {
  if ((FCount + 1) * 4 > FSlots.size() * 3) Grow();
  const uint64_t hash = TextHash(Name);
  size_t i = Home(hash);
  for (; FSlots[i].Comp; i = Next(i))
    if (FSlots[i].Hash == hash && SameText(FSlots[i].Comp->Name(), Name)) return FSlots[i].Comp;
  FSlots[i] = {hash, C};
  ++FCount;
  return C;
}

bool TNameIndex::Erase(const String& Name, const TComponent* C) {
  if (FCount == 0) return false;
  const uint64_t hash = TextHash(Name);
  size_t i = Home(hash);
  for (; FSlots[i].Comp != C; i = Next(i))
    if (!FSlots[i].Comp) return false;
  // Close the gap: each later slot of the run moves back unless it would pass its home slot.
  for (size_t j = Next(i); FSlots[j].Comp; j = Next(j)) {
    const size_t home = Home(FSlots[j].Hash);
    const bool stays = i <= j ? (i < home && home <= j) : (i < home || home <= j);
    if (stays) continue;
    FSlots[i] = FSlots[j];
    i = j;
  }
  FSlots[i] = {};
  --FCount;
  return true;
}

void TNameIndex::Grow() {
  std::vector<TSlot> old = std::move(FSlots);
  FSlots.assign(old.empty() ? 16 : old.size() * 2, TSlot{});
  for (const TSlot& s : old) {
    if (!s.Comp) continue;
    size_t i = Home(s.Hash);
    while (FSlots[i].Comp) i = Next(i);
    FSlots[i] = s;
  }
}

}  // namespace rtl
