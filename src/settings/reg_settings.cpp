#include "settings/reg_settings.h"

#include "settings/helpers.h"

namespace lumivane {

std::shared_ptr<RegSettings> g_objSettings;
std::shared_ptr<RegRoutines> g_objRegRoutines;

void ResetAddInGlobals() {
  g_objSettings.reset();
  g_objRegRoutines.reset();
  modPictureAttachments::g_blnExplBarPositionUnset = false;
  modPictureAttachments::g_blnInspBarPositionUnset = false;
}

}  // namespace lumivane
