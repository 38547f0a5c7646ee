// Eight bytes at a time: the scans of names and form text that run over every byte read them a
// machine word at a time and find the first byte of interest in it.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace rtl::words {

static_assert(std::endian::native == std::endian::little, "the first byte of a word is its lowest");

constexpr uint64_t Ones = 0x0101010101010101ull;
constexpr uint64_t Highs = 0x8080808080808080ull;

inline uint64_t WordAt(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}

// The top bit of each byte of w that equals b. Exact up to the first such byte (a borrow may
// mark a later one falsely), which is all FirstSet reads.
inline uint64_t BytesEqual(uint64_t w, unsigned char b) {
  const uint64_t x = w ^ (Ones * b);
  return (x - Ones) & ~x & Highs;
}

// The top bit of each byte of w below b (at most 0x80); exact up to the first such byte.
inline uint64_t BytesBelow(uint64_t w, unsigned char b) { return (w - Ones * b) & ~w & Highs; }

// The top bit of each byte of w that is not an ASCII letter, digit or "_"; exact for every byte
// (each test adds to bytes below 0x80 at most what keeps them below 0x100: no carry).
inline uint64_t NonIdentBytes(uint64_t w) {
  const uint64_t low = w & ~Highs;
  const auto atLeast = [](uint64_t x, unsigned char b) { return (x + Ones * (0x80 - b)) & Highs; };
  const uint64_t folded = low | (Ones * 0x20);  // A-Z as a-z, and nothing else into a-z
  const uint64_t letter = atLeast(folded, 'a') & ~atLeast(folded, 'z' + 1);
  const uint64_t digit = atLeast(low, '0') & ~atLeast(low, '9' + 1);
  const uint64_t under = atLeast(low, '_') & ~atLeast(low, '_' + 1);
  return (~(letter | digit | under) & Highs) | (w & Highs);
}

// The index of the first byte of a non-zero word with any bit set (of a mask: the first marked).
inline unsigned FirstSet(uint64_t w) { return static_cast<unsigned>(std::countr_zero(w)) / 8; }

}  // namespace rtl::words
