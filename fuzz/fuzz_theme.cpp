// libFuzzer entry point: see fuzz_checks.h for what is checked.
#include <cstdio>
#include <cstdlib>

#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    marvento_fuzz::checkThemeRoundTrip(std::span<const std::uint8_t>(data, size));
  } catch (const marvento_fuzz::InvariantBroken& e) {
    std::fprintf(stderr, "invariant broken: %s\n", e.what());
    std::abort();
  }
  return 0;
}
