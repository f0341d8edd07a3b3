#include "app/registration.h"

namespace app {

bool RegisterAddIn(std::string& why) {
  why = "this build holds no add-in connection object";
  return false;
}

}  // namespace app
