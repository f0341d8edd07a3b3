#include "windows/window_helpers.h"

#include "platform/shell/programs.h"
#include "runtime/handlers.h"
#include "settings/helpers.h"

namespace lumivane::windows {

void OpenWebPage(std::string_view address) {
  platform::shell::StartProgram("explorer.exe " + std::string(address), platform::shell::vbNormalFocus);
}

platform::forms::Control::MouseHandler HandCursor() {
  return [](int, int, float, float) { runtime::ResumeNext()([] { modPictureAttachments::ShowHandCursor(); }); };
}

}  // namespace lumivane::windows
