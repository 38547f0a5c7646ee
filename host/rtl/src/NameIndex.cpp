#include "rtl/NameIndex.h"

#include "rtl/Component.h"
#include "rtl/SysUtils.h"

namespace rtl {

static_assert(sizeof(TNameIndex) == sizeof(void*), "a component that owns nothing pays one pointer");

TComponent* TNameIndex::Find(const String& Name) const {
  if (!FTable || FTable->Count == 0) return nullptr;
  const TTable& t = *FTable;
  const uint64_t hash = TextHash(Name);
  for (size_t i = Home(t, hash); t.Slots[i].Comp; i = Next(t, i))
    if (t.Slots[i].Hash == hash && SameText(t.Slots[i].Comp->Name(), Name)) return t.Slots[i].Comp;
  return nullptr;
}

TComponent* TNameIndex::Insert(const String& Name, TComponent* C) {
  if (!FTable) FTable = std::make_unique<TTable>();
  if ((FTable->Count + 1) * 4 > FTable->Slots.size() * 3) Grow();
  TTable& t = *FTable;
  const uint64_t hash = TextHash(Name);
  size_t i = Home(t, hash);
  for (; t.Slots[i].Comp; i = Next(t, i))
    if (t.Slots[i].Hash == hash && SameText(t.Slots[i].Comp->Name(), Name)) return t.Slots[i].Comp;
  t.Slots[i] = {hash, C};
  ++t.Count;
  return C;
}

bool TNameIndex::Erase(const String& Name, const TComponent* C) {
  if (!FTable || FTable->Count == 0) return false;
  TTable& t = *FTable;
  const uint64_t hash = TextHash(Name);
  size_t i = Home(t, hash);
  for (; t.Slots[i].Comp != C; i = Next(t, i))
    if (!t.Slots[i].Comp) return false;
  // Close the gap: each later slot of the run moves back unless it would pass its home slot.
  for (size_t j = Next(t, i); t.Slots[j].Comp; j = Next(t, j)) {
    const size_t home = Home(t, t.Slots[j].Hash);
    const bool stays = i <= j ? (i < home && home <= j) : (i < home || home <= j);
    if (stays) continue;
    t.Slots[i] = t.Slots[j];
    i = j;
  }
  t.Slots[i] = {};
  --t.Count;
  return true;
}

void TNameIndex::Grow() {
  TTable& t = *FTable;
  std::vector<TSlot> old = std::move(t.Slots);
  t.Slots.assign(old.empty() ? 16 : old.size() * 2, TSlot{});
  for (const TSlot& s : old) {
    if (!s.Comp) continue;
    size_t i = Home(t, s.Hash);
    while (t.Slots[i].Comp) i = Next(t, i);
    t.Slots[i] = s;
  }
}

}  // namespace rtl
