// Where the preview window puts its thumbnail area beside the task pane: by
// the shell's folder view (classic or web), whether the pane is shown, and
// whether the window has finished loading. All lengths are twips; W is the
// window's inner width.
//
// Left and Width are computed from W each time, never from the browser's
// current place, so hiding or showing the pane any number of times gives
// the same layout.

#include <optional>

#include "runtime/ref.h"
#include "settings/addin_state.h"
#include "settings/app.h"
#include "settings/reg_settings.h"
#include "windows/frm_main.h"

namespace lumivane {

using runtime::Ref;

namespace {

// In the web view the browser's own strip on the left lies under the pane:
// hiding the pane moves the browser this far out of the window.
constexpr float kWebStrip = 3150;
constexpr float kWebLeft = 350;
constexpr float kWebMargins = 480;  // left and right margins of the web view with the pane
constexpr float kClassicLeft = 3510;
constexpr float kClassicDesignWidth = 6020;
constexpr float kPaneGap = 15;

runtime::OnError Handler(const char* procedure) { return ErrorBox(procedure, runtime::ModuleKind::Form, "frmMain"); }

}  // namespace

void frmMain::SizeBrowser() {
  auto eh = Handler("SizeBrowser");
  bool paneShown = true;
  float W = 0;
  if (!eh([&] {
        paneShown = vbalExplorerBarCtl1->Visible();
        W = ScaleWidth();
      })) {
    return;
  }
  std::optional<float> left;
  std::optional<float> width;
  if (m_blnClassicView) {
    if (paneShown) {
      left = kClassicLeft;
      eh([&] { width = W - (vbalExplorerBarCtl1->Width() + kPaneGap); });
    } else if (!Loaded()) {
      left = kClassicLeft;
      width = kClassicDesignWidth;
    } else {
      left = 0;
      width = W;
    }
  } else if (paneShown) {
    left = kWebLeft;
    width = W - kWebMargins;
  } else if (!Loaded()) {
    left = kWebLeft;
  } else {
    long full = 1;
    eh([&] { full = Ref(g_objSettings).ShowTaskPaneInFullWizard(); });
    if (full == 0) {
      left = -kWebStrip;
      width = W - kWebMargins + kWebStrip + kWebLeft;
    }
  }
  if (left) eh([&] { wbThumbnails->Left(*left); });
  if (width) eh([&] { wbThumbnails->Width(*width); });
}

void frmMain::HideExplorerBar(bool Hide) {
  auto eh = Handler("HideExplorerBar");
  std::shared_ptr<platform::controls::CommandBarButton> button;
  eh([&] { button = cmdBar(0).Buttons().Item("TASKPANE"); });
  if (Hide) {
    eh([&] { Ref(button).Caption("&Show Task Pane"); });
    eh([&] { Ref(button).IconIndex(10); });
  } else {
    eh([&] { Ref(button).Caption("&Hide Task Pane"); });
    eh([&] { Ref(button).IconIndex(9); });
  }
  eh([&] { vbalExplorerBarCtl1->Visible(!Hide); });
  if (!g_blnWizardOnTopPending) {
    float W = 0;
    eh([&] { W = ScaleWidth(); });
    if (Hide) {
      eh([&] { wbThumbnails->Left(-kWebStrip); });
      eh([&] { wbThumbnails->Width(W - kWebMargins + kWebStrip + kWebLeft); });
    } else {
      eh([&] { wbThumbnails->Left(kWebLeft); });
      eh([&] { wbThumbnails->Width(W - kWebMargins); });
    }
  }
  SizeBrowser();
}

}  // namespace lumivane
