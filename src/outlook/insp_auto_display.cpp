// The automatic display of a received item's pictures when its window
// opens: nothing, the slideshow, or the preview window, either centred on top
// after a delay or tiled with the message window.

#include <string>

#include "attachments/attachments.h"
#include "host/common.h"
#include "host/outlook.h"
#include "host/timer.h"
#include "outlook/command_steps.h"
#include "outlook/insp_wrap.h"
#include "outlook/mod_outl_expl.h"
#include "outlook/out_addin.h"
#include "outlook/wizard_display.h"
#include "platform/forms/form.h"
#include "platform/shell/work_area.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "settings/app.h"
#include "settings/helpers.h"
#include "settings/reg_settings.h"
#include "windows/frm_main.h"
#include "windows/frm_slideshow.h"

namespace lumivane {

using runtime::Ref;

namespace {

namespace forms = platform::forms;
namespace shell = platform::shell;
namespace mpa = modPictureAttachments;
using State = host::OlWindowState;

enum lvwAutoDisplayOptions : long { Never = 0, Slideshow = 1, Wizard = 2 };
enum lvwAutoDisplayCriteria : long { OnlyWhenAllAttachmentsArePictures = 0, WhenOneOrMoreAttachmentsArePictures = 1 };
enum lvwAutoDisplayOrientationOptions : long { OnTop = 0, TileHorizontally = 1, TileVertically = 2 };

// The refusals a message window gives while it is being opened are expected:
// they show only as debug texts.
runtime::OnError ActivateWizardsHandler() {
  return runtime::OnError([](const runtime::Error& e) {
    if (e.Description() == host::text::kUnableToDisplayItem) {
      mpa::DebugMessage("Unable to display item error handled!");
    } else if (e.Description().find("Unable to set the WindowState of this Explorer or Inspector") !=
               std::string::npos) {
      mpa::DebugMessage("Unable to set the WindowState of this Explorer or Inspector error handled!");
    } else if (e.Number() != host::err::kUnexpected) {
      ShowErrorBox(e, {"ActivateWizards", runtime::ModuleKind::ClassModule, "InspWrap"});
    }
  });
}

// A window at or right of (below) the work area's corner moves to it; one
// placed left of (above) the screen's origin, on another monitor, keeps its place.
void MoveToCorner(runtime::ResumeNext& rn, host::Inspector& insp, const shell::RECT& area) {
  rn([&] {
    const long top = insp.Top();
    if (top >= 0 && top != area.top) insp.Top(area.top);
  });
  rn([&] {
    const long left = insp.Left();
    if (left >= 0 && left != area.left) insp.Left(area.left);
  });
}

bool DisplayAllowed() {
  return runtime::ValueOr([] { return Ref(g_objOutAddIn).Enabled(); }, false);
}

// What both tilings do first. A refused display stops them before they
// touch anything, so no window is left halved beside a hidden, empty preview;
// so does a work area that cannot be read.
bool StartTiling(runtime::ResumeNext& rn, const std::shared_ptr<host::Inspector>& insp, shell::RECT& area) {
  if (!DisplayAllowed() || !insp) return false;
  rn([&] {
    if (insp->WindowState() == State::olMaximized) insp->WindowState(State::olNormalWindow);
  });
  return ReadWorkArea(area);
}

}  // namespace

void InspWrap::ActivateWizards() {
  auto eh = ActivateWizardsHandler();
  long options = Never;
  eh([&] { options = Ref(g_objSettings).AutoDisplayOptions(); });
  if (options == Never) return;
  bool allPictures = true;
  long criteria = WhenOneOrMoreAttachmentsArePictures;
  eh([&] {
    allPictures = mpa::AreAllAttachmentsPictures(Ref(m_objCurrentItem).Attachments());
    criteria = g_objSettings->AutoDisplayCriteria();
  });
  if (!allPictures && criteria == OnlyWhenAllAttachmentsArePictures) {
    eh([&] {
      mpa::DebugMessage("ActivateWizards - lvwAutoDisplayCriteria.OnlyWhenAllAttachmentsArePictures : Exiting");
    });
    return;
  }
  // The display takes the one temporary folder: a preview or a show still
  // open for another message goes first, and the folder is emptied.
  eh([&] { commands::UnloadPictureWindows(); });
  eh([&] { mpa::SavePicturesToTempFolder(Ref(m_objCurrentItem).Attachments()); });
  eh([&] { AutoDisplayModeOnLoad(options); });
  if (options == Slideshow) {
    eh([&] {
      bool standAlone = true;
      bool delayedLoad = true;
      mpa::ShowSlideShow(standAlone, delayedLoad);
    });
    return;
  }
  if (options != Wizard) return;
  long orientation = -1;
  eh([&] { orientation = g_objSettings->AutoDisplayOrientationOptions(); });
  if (orientation == OnTop) {
    g_blnWizardOnTopPending = true;
    eh([&] { ShowWizardForm(Ref(m_objCurrentItem).Attachments(), true); });
    return;
  }
  if (orientation != TileHorizontally && orientation != TileVertically) return;
  // The window may refuse while it opens; the tiling goes on regardless.
  runtime::ResumeNext rn;
  rn([&] { Ref(m_objInsp.object).Display(); });
  if (orientation == TileHorizontally)
    TileWizardHorizontally();
  else
    TileWizardVertically();
}

void InspWrap::TileWizardHorizontally() {
  runtime::ResumeNext rn;
  auto insp = m_objInsp.object;
  shell::RECT area;
  if (!StartTiling(rn, insp, area)) return;
  rn([&] { insp->WindowState(State::olNormalWindow); });
  MoveToCorner(rn, *insp, area);
  const double half = (area.bottom - area.top) / 2.0;
  rn([&] { insp->Height(static_cast<long>(runtime::Round(half))); });
  rn([&] { insp->Width(area.right - area.left); });
  DisplayWizardForm();
  auto form = forms::Default<frmMain>();
  rn([&] { form->Left(static_cast<float>(TwipsX(area.left))); });
  rn([&] { form->Top(static_cast<float>(TwipsY(area.bottom - half))); });
  rn([&] { form->Height(static_cast<float>(TwipsY(half))); });
  rn([&] { form->Width(static_cast<float>(TwipsX(area.right - area.left))); });
  rn([&] { form->FormMode(HorizontalWizard); });
}

void InspWrap::TileWizardVertically() {
  runtime::ResumeNext rn;
  auto insp = m_objInsp.object;
  shell::RECT area;
  if (!StartTiling(rn, insp, area)) return;
  MoveToCorner(rn, *insp, area);
  rn([&] { insp->Height(area.bottom - area.top); });
  rn([&] { insp->Width(static_cast<long>(runtime::Round((area.right - area.left) / 2.0))); });
  DisplayWizardForm();
  // The preview takes what the window took, beside it.
  long width = 0;
  long height = 0;
  rn([&] { width = insp->Width(); });
  rn([&] { height = insp->Height(); });
  auto form = forms::Default<frmMain>();
  rn([&] { form->Top(static_cast<float>(TwipsY(area.top))); });
  rn([&] { form->Left(static_cast<float>(TwipsX(area.left + width))); });
  rn([&] { form->Height(static_cast<float>(TwipsY(height))); });
  rn([&] { form->Width(static_cast<float>(TwipsX(width))); });
  rn([&] { form->FormMode(VerticalWizard); });
}

void InspWrap::DisplayWizardForm() {
  runtime::ResumeNext rn;
  if (!DisplayAllowed()) return;
  auto form = forms::Default<frmMain>();
  rn([&] { form->BuildImageCollection(Ref(m_objCurrentItem).Attachments()); });
  rn([&] {
    if (form->WindowState() != forms::FormWindowState::vbNormal) form->WindowState(forms::FormWindowState::vbNormal);
  });
  rn([&] { form->Show(); });
}

void InspWrap::ShowWizardForm(const std::shared_ptr<host::Attachments>& attachments, bool delayed) {
  runtime::ResumeNext rn;
  if (!DisplayAllowed()) return;
  auto form = forms::Default<frmMain>();
  rn([&] { form->BuildImageCollection(attachments); });
  if (delayed) {
    // A new timer replaces the one of an earlier display, which ends with it.
    rn([&] {
      m_ShowWizardFormTimer.Release();
      auto timer = std::make_shared<host::OneShotTimer>();
      m_ShowWizardFormTimer.object = timer;
      m_ShowWizardFormTimer.events.push_back(
          timer->ThatTime.Subscribe([this] { m_ShowWizardFormTimer_ThatTime(); }, weak_from_this()));
      m_pendingWizardForm = form;
      timer->Interval(Ref(g_objSettings).AutoDisplayInterval());
    });
  } else {
    PositionWizardOnTop();
  }
  rn([&] { form->FormMode(FullWizard); });
}

bool InspWrap::PreviewStillPending() {
  auto pending = m_pendingWizardForm.lock();
  return pending && m_objCurrentItem && forms::DefaultInstanceExists<frmMain>() &&
         forms::Default<frmMain>() == pending && pending->CurrentMessage() == m_objCurrentItem;
}

void InspWrap::m_ShowWizardFormTimer_ThatTime() {
  runtime::ResumeNext rn;
  rn([&] { Ref(m_ShowWizardFormTimer.object).Interval(0); });
  // The preview was unloaded or refilled meanwhile: showing it now would
  // show someone else's pictures, or load an empty window.
  if (!PreviewStillPending()) return;
  PositionWizardOnTop();
  rn([&] { forms::Default<frmMain>()->Show(); });
}

}  // namespace lumivane
