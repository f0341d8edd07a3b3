// libFuzzer target: see fuzz.cmake.

#include <cstdlib>

#include "fuzz/entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzz::PictureExif(std::span<const std::uint8_t>(data, size)).empty()) std::abort();
  return 0;
}
