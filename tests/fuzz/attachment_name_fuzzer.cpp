// libFuzzer target: see fuzz.cmake.

#include <cstdio>
#include <cstdlib>

#include "fuzz/mail_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem = fuzz::AttachmentName(std::span<const std::uint8_t>(data, size));
  if (!problem.empty()) {
    std::fprintf(stderr, "attachment_name: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
