#pragma once
// The number of the runtime::Error a statement raises (0 when it raises none).

#include <utility>

#include "runtime/error.h"

namespace testsupport {

template <class F>
long ErrorOf(F&& statement) {
  try {
    std::forward<F>(statement)();
  } catch (const runtime::Error& e) {
    return e.Number();
  }
  return 0;
}

}  // namespace testsupport
