// What every fuzz target shares: the libFuzzer entry point, and a check that stops the run the
// way a sanitizer does when a property the target tests does not hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size);

namespace korvfuzz {

inline std::string_view AsText(const uint8_t* Data, std::size_t Size) {
  return {reinterpret_cast<const char*>(Data), Size};
}

// A broken property is a finding: print what broke and abort, so that the fuzzer keeps the input.
[[noreturn]] inline void Broken(const char* What) {
  std::fprintf(stderr, "fuzz: %s\n", What);
  std::abort();
}

inline void Check(bool Holds, const char* What) {
  if (!Holds) Broken(What);
}

}  // namespace korvfuzz
