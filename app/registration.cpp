#include "app/registration.h"

#include "navigator/navigator.h"
#include "outlook/connect.h"

namespace app {

bool RegisterAddIn(std::string& why) {
  // The slideshow places the control library's navigator by its ProgID.
  stepwick::DllRegisterServer();
  const long rc = lumivane::DllRegisterServer();
  if (rc != 0) {
    why = "the registry refused the registration (error " + std::to_string(rc) + ")";
    return false;
  }
  return true;
}

}  // namespace app
