#pragma once
// The number and description of the runtime::Error a call raises ({0, ""} for none).

#include <string>
#include <utility>

#include "runtime/error.h"

namespace testing_runtime {

using Outcome = std::pair<long, std::string>;

inline const Outcome kNoError{0, ""};
inline const Outcome kInvalidCall{5, "Invalid procedure call or argument"};
inline const Outcome kOverflow{6, "Overflow"};
inline const Outcome kTypeMismatch{13, "Type mismatch"};

template <class F>
Outcome Raised(F&& f) {
  try {
    f();
  } catch (const runtime::Error& e) {
    return {e.Number(), e.Description()};
  }
  return kNoError;
}

}  // namespace testing_runtime
