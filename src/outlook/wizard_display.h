#pragma once
// Showing the preview window on top of everything, as the Explorer's and
// the Inspector's wrappers both do.

namespace lumivane {

// Centres frmMain on the desktop's work area at 1/1.25 of its width and
// height and shows it modeless. The margins are a tenth of the work area's
// right and bottom edges, so the window is centred exactly when the work
// area starts at 0, 0. Errors are passed over.
void PositionWizardOnTop();

}  // namespace lumivane
