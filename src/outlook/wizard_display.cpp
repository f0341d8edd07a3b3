#include "outlook/wizard_display.h"

#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "windows/frm_main.h"

namespace lumivane {

namespace forms = platform::forms;
namespace shell = platform::shell;

bool ReadWorkArea(shell::RECT& area) {
  shell::RECT read;
  if (!runtime::ValueOr([&] { return shell::SystemParametersInfoA(shell::SPI_GETWORKAREA, 0, &read, 0) != 0; }, false))
    return false;
  area = read;
  return true;
}

double TwipsX(double pixels) { return pixels * forms::Screen().TwipsPerPixelX(); }
double TwipsY(double pixels) { return pixels * forms::Screen().TwipsPerPixelY(); }

void PositionWizardOnTop() {
  runtime::ResumeNext rn;
  shell::RECT area;
  if (!ReadWorkArea(area)) {
    area.right = static_cast<long>(runtime::Round(forms::Screen().Width() / forms::Screen().TwipsPerPixelX()));
    area.bottom = static_cast<long>(runtime::Round(forms::Screen().Height() / forms::Screen().TwipsPerPixelY()));
  }
  auto form = forms::Default<frmMain>();
  // Each margin is half of what the window leaves of its side, measured from
  // the work area's own corner.
  rn([&] {
    const double height = runtime::Round(TwipsY(area.bottom - area.top));
    const double margin = runtime::Round((height - runtime::Round(height / 1.25)) / 2);
    form->Top(static_cast<float>(TwipsY(area.top) + margin));
  });
  rn([&] {
    const double width = runtime::Round(TwipsX(area.right - area.left));
    const double margin = runtime::Round((width - runtime::Round(width / 1.25)) / 2);
    form->Left(static_cast<float>(TwipsX(area.left) + margin));
  });
  rn([&] { form->Show(); });
  rn([&] { form->Height(static_cast<float>(TwipsY((area.bottom - area.top) / 1.25))); });
  rn([&] { form->Width(static_cast<float>(TwipsX((area.right - area.left) / 1.25))); });
}

}  // namespace lumivane
