#include "outlook/wizard_display.h"

#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/shell/work_area.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "windows/frm_main.h"

namespace lumivane {

void PositionWizardOnTop() {
  namespace forms = platform::forms;
  namespace shell = platform::shell;
  runtime::ResumeNext rn;
  shell::RECT area;
  rn([&] { shell::SystemParametersInfoA(shell::SPI_GETWORKAREA, 0, &area, 0); });
  const double tx = forms::Screen().TwipsPerPixelX();
  const double ty = forms::Screen().TwipsPerPixelY();
  auto form = forms::Default<frmMain>();
  rn([&] {
    const double bottom = runtime::Round(static_cast<double>(area.bottom) * ty);
    form->Top(static_cast<float>(runtime::Round((bottom - runtime::Round(bottom / 1.25)) / 2)));
  });
  rn([&] {
    const double right = runtime::Round(static_cast<double>(area.right) * tx);
    form->Left(static_cast<float>(runtime::Round((right - runtime::Round(right / 1.25)) / 2)));
  });
  rn([&] { form->Show(); });
  rn([&] { form->Height(static_cast<float>(static_cast<double>(area.bottom - area.top) / 1.25 * ty)); });
  rn([&] { form->Width(static_cast<float>(static_cast<double>(area.right - area.left) / 1.25 * tx)); });
}

}  // namespace lumivane
