#pragma once
// Using a member of an object variable that holds Nothing raises 91 ("Object
// variable or With block variable not set"), as the original runtime did, so
// that a procedure's own error handling decides what happens next instead of
// the process ending:
//   rn([&] { Ref(Ref(g_objOutlook).ActiveExplorer()).Selection(); });

#include <memory>

#include "runtime/error.h"

namespace lumivane {

template <class T>
T& Ref(const std::shared_ptr<T>& object) {
  if (!object) runtime::Raise(runtime::err::kObjectVariableNotSet);
  return *object;
}

}  // namespace lumivane
