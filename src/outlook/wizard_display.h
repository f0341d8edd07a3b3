#pragma once
// Placing the preview window: on top of everything, as the Explorer's and
// the Inspector's wrappers both do, and the desktop's work area and the
// pixel-to-twips conversions that the placements and the tilings share.

#include "platform/shell/work_area.h"

namespace lumivane {

// The desktop's work area in pixels; false (and `area` untouched) when it
// cannot be read.
bool ReadWorkArea(platform::shell::RECT& area);

// Screen pixels in twips: horizontal values with the horizontal factor,
// vertical ones with the vertical factor.
double TwipsX(double pixels);
double TwipsY(double pixels);

// Centres frmMain on the desktop's work area at 1/1.25 of its width and
// height and shows it modeless. A work area that cannot be read gives way to
// the whole screen, so the window never ends up invisible at 0 x 0; one that
// does not start at 0, 0 (a task bar on the left or at the top) is centred
// from its own corner. Errors are passed over.
void PositionWizardOnTop();

}  // namespace lumivane
