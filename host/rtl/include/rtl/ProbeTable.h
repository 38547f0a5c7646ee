// A flat table of (hash, item) slots probed in order from the hash's home slot: the index of
// an owner with tens of thousands of children. A lookup reads a few neighbouring slots and
// only the items whose hash matches; the table allocates nothing per item.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rtl {

// A hash of an address for the table: heap addresses share their low bits, and the table's
// home slot is taken from the low bits.
inline uint64_t PointerHash(const void* P) {
  const uint64_t h = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(P)) * 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 32);
}

template <class T>
class TProbeTable {
public:
  size_t Count() const { return FCount; }
  // Makes room for Count items in all, so that storing them does not grow the table again.
  void Reserve(size_t Count) {
    while (Count * 4 > FSlots.size() * 3) Grow();
  }

  // Visits the items stored under Hash, in probe order, until Match(item) is true; returns
  // that item, or nil when none matched.
  template <class F>
  T* Find(uint64_t Hash, F&& Match) const {
    if (FCount == 0) return nullptr;
    for (size_t i = Home(Hash); FSlots[i].Item; i = Next(i))
      if (FSlots[i].Hash == Hash && Match(FSlots[i].Item)) return FSlots[i].Item;
    return nullptr;
  }

  // The item stored under Hash for which Match is true; when none is, stores Item under Hash
  // and returns it.
  template <class F>
  T* FindOrInsert(uint64_t Hash, T* Item, F&& Match) {
    if ((FCount + 1) * 4 > FSlots.size() * 3) Grow();
    size_t i = Home(Hash);
    for (; FSlots[i].Item; i = Next(i))
      if (FSlots[i].Hash == Hash && Match(FSlots[i].Item)) return FSlots[i].Item;
    FSlots[i] = {Hash, Item};
    ++FCount;
    return Item;
  }

  // Stores Item under Hash; other items may share the hash.
  void Insert(uint64_t Hash, T* Item) {
    if ((FCount + 1) * 4 > FSlots.size() * 3) Grow();
    size_t i = Home(Hash);
    while (FSlots[i].Item) i = Next(i);
    FSlots[i] = {Hash, Item};
    ++FCount;
  }

  // Takes Item off Hash; false (and nothing changes) when it is not stored under Hash.
  bool Erase(uint64_t Hash, const T* Item) {
    if (FCount == 0) return false;
    size_t i = Home(Hash);
    for (; FSlots[i].Item != Item; i = Next(i))
      if (!FSlots[i].Item) return false;
    // Close the gap: each later slot of the run moves back unless it would pass its home slot.
    for (size_t j = Next(i); FSlots[j].Item; j = Next(j)) {
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

  void Clear() {
    FSlots.clear();
    FCount = 0;
  }

private:
  struct TSlot {
    uint64_t Hash = 0;
    T* Item = nullptr;  // nil: free
  };
  // The size is a power of two, at most three quarters full.
  size_t Home(uint64_t Hash) const { return static_cast<size_t>(Hash) & (FSlots.size() - 1); }
  size_t Next(size_t At) const { return (At + 1) & (FSlots.size() - 1); }

  void Grow() {
    std::vector<TSlot> old = std::move(FSlots);
    FSlots.assign(old.empty() ? 16 : old.size() * 2, TSlot{});
    for (const TSlot& s : old) {
      if (!s.Item) continue;
      size_t i = Home(s.Hash);
      while (FSlots[i].Item) i = Next(i);
      FSlots[i] = s;
    }
  }

  std::vector<TSlot> FSlots;
  size_t FCount = 0;
};

}  // namespace rtl
