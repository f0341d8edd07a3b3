#include "app/registration.h"

#include "outlook/connect.h"

namespace app {

bool RegisterAddIn(std::string& why) {
  const long rc = lumivane::DllRegisterServer();
  if (rc != 0) {
    why = "the registry refused the registration (error " + std::to_string(rc) + ")";
    return false;
  }
  return true;
}

}  // namespace app
