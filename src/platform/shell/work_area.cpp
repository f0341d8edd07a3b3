#include "platform/shell/work_area.h"

#include "platform/shell/shell.h"

namespace platform::shell {

long WorkArea::SystemParametersInfoA(long uAction, long uParam, RECT* rect, long fuWinIni) {
  seam_->Enter("SystemParametersInfoA", FormatCall("SystemParametersInfoA", uAction, uParam, fuWinIni));
  if (uAction != SPI_GETWORKAREA || rect == nullptr || failing_) return 0;
  *rect = area_;
  return 1;
}

long SystemParametersInfoA(long uAction, long uParam, RECT* rect, long fuWinIni) {
  return Current().workArea.SystemParametersInfoA(uAction, uParam, rect, fuWinIni);
}

}  // namespace platform::shell
