// The one place where the host reads its add-in registrations.
#include "host/addin.h"

namespace host {

std::vector<AddInRegistration> ReadAddInRegistrations() {
  // The registry stand-in is not wired in yet: no add-in is registered.
  return {};
}

}  // namespace host
