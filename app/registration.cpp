#include "app/registration.h"

#if __has_include("outlook/connect.h")
#include "outlook/connect.h"
#define LUMIVANE_HOST_HAS_CONNECT 1
#endif

namespace app {

bool RegisterAddIn(std::string& why) {
#ifdef LUMIVANE_HOST_HAS_CONNECT
  const long rc = lumivane::DllRegisterServer();
  if (rc != 0) {
    why = "the registry refused the registration (error " + std::to_string(rc) + ")";
    return false;
  }
  return true;
#else
  why = "this build holds no add-in connection object";
  return false;
#endif
}

}  // namespace app
