// TSet<E>: a Pascal set of a small enumeration, as a bit mask.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace rtl {

template <class E>
class TSet {
public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) Include(e);
  }
  static constexpr TSet FromMask(uint64_t mask) {
    TSet s;
    s.FBits = mask;
    return s;
  }

  constexpr bool Contains(E e) const { return (FBits >> static_cast<unsigned>(e)) & 1u; }
  constexpr TSet& Include(E e) {
    FBits |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    FBits &= ~Bit(e);
    return *this;
  }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr uint64_t Mask() const { return FBits; }

  constexpr TSet operator+(TSet o) const { return FromMask(FBits | o.FBits); }
  constexpr TSet operator-(TSet o) const { return FromMask(FBits & ~o.FBits); }
  constexpr TSet operator*(TSet o) const { return FromMask(FBits & o.FBits); }
  constexpr TSet operator+(E e) const { return TSet(*this).Include(e); }
  constexpr TSet operator-(E e) const { return TSet(*this).Exclude(e); }
  constexpr bool operator==(const TSet&) const = default;

private:
  static constexpr uint64_t Bit(E e) { return uint64_t{1} << static_cast<unsigned>(e); }
  uint64_t FBits = 0;
};

}  // namespace rtl
