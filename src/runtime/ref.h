#pragma once
// Using a member of an object variable that holds Nothing raises 91 ("Object
// variable or With block variable not set"), as the original runtime did, so
// that a procedure's own error handling decides what happens next instead of
// the process ending:
//   rn([&] { Ref(Ref(app).ActiveExplorer()).Selection(); });

#include <memory>

#include "runtime/error.h"

namespace runtime {

template <class T>
T& Ref(const std::shared_ptr<T>& object) {
  if (!object) Raise(err::kObjectVariableNotSet);
  return *object;
}

// A reference that does not own its object reads as Nothing once the object is gone.
template <class T>
T& Ref(const std::weak_ptr<T>& object) {
  return Ref(object.lock());
}

}  // namespace runtime
