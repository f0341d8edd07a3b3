// The Inspector's toolbar "Lumivane": found by name and caption or created,
// placed, tagged and bound to the wrapper, shown or hidden by whether the
// item has pictures; the window's Send button bound; and the geometry and
// captions that OnUpdate carries into the settings. There is no menu entry.
//
// Every procedure here passes over errors statement by statement and shows
// nothing.

#include <string_view>

#include "attachments/attachments.h"
#include "host/office.h"
#include "host/outlook.h"
#include "outlook/insp_wrap.h"
#include "outlook/mod_outl_expl.h"
#include "outlook/out_addin.h"
#include "outlook/toolbar.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "settings/helpers.h"
#include "settings/reg_settings.h"

namespace lumivane {

using runtime::Ref;

namespace {

using modPictureAttachments::g_blnInspBarPositionUnset;

const toolbar::BarSettings kBarSettings = {
    {&RegSettings::InspBarPosition, &RegSettings::InspBarPosition},
    {&RegSettings::InspBarRowIndex, &RegSettings::InspBarRowIndex},
    {&RegSettings::InspBarLeft, &RegSettings::InspBarLeft},
    {&RegSettings::InspBarHeight, &RegSettings::InspBarHeight},
    {&RegSettings::InspBarTop, &RegSettings::InspBarTop},
    {&RegSettings::InspBarWidth, &RegSettings::InspBarWidth},
    {{{&RegSettings::InspBarBut1Text, &RegSettings::InspBarBut1Text},
      {&RegSettings::InspBarBut2Text, &RegSettings::InspBarBut2Text},
      {&RegSettings::InspBarBut3Text, &RegSettings::InspBarBut3Text},
      {&RegSettings::InspBarBut4Text, &RegSettings::InspBarBut4Text}}},
    {{{&RegSettings::InspBarBut1Style, &RegSettings::InspBarBut1Style},
      {&RegSettings::InspBarBut2Style, &RegSettings::InspBarBut2Style},
      {&RegSettings::InspBarBut3Style, &RegSettings::InspBarBut3Style},
      {&RegSettings::InspBarBut4Style, &RegSettings::InspBarBut4Style}}},
};

const toolbar::ControlTexts kTexts = {
    "Start a slide show using the picture attachments in the selected message.",
    {"Quick-save Only &Picture Attachments to Default Directory", "Quick-save &All Attachments to Default Directory",
     "Save &Pictures To...", "Save &All Attachments To...", "&Export Attachments (Advanced)...",
     "&Delete Attachments in Selected Messages"},
    {"InspWizard", "InspSlideShow", "InspQuickSavePicAtts", "InspQuickSaveAllAtts ", "InspSavePicsTo", "InspSaveAttsTo",
     "InspExportAtts", "InspDeleteAtts", "InspSettings"},
};

// The number of Inspector wrappers registered now (1 when there are none). A
// window being attached is not registered yet, so a later rebuild of the
// same window may count differently.
long TagNumber() {
  const long n = modOutlExpl::InspWraps().Count();
  return n == 0 ? 1L : n;
}

}  // namespace

void InspWrap::InitInspectorToolbar() {
  runtime::ResumeNext rn;
  bool noBars = true;
  rn([&] { noBars = !m_objInsp.object || !m_objInsp.object->CommandBars(); });
  if (noBars) return;
  if (!InspectorToolbarExists(m_objInsp.object)) {
    rn([&] { m_objLVWInspBar = CreateInspectorToolbar(); });
    if (!m_objLVWInspBar) return;
    AddInspectorToolbarButtons();
  } else {
    rn([&] { m_objLVWInspBar = Ref(Ref(m_objInsp.object).CommandBars()).Item(toolbar::kBarName); });
    if (!m_objLVWInspBar) return;
    AddInspectorToolbarButtons();
  }
  // The setting hides the toolbar only on an item without pictures; when
  // that cannot be told, it shows.
  bool hide = false;
  rn([&] {
    hide = !modPictureAttachments::DoesMessageHaveAtLeastOnePictureAttachment(m_objCurrentItem) &&
           Ref(g_objSettings).InspectorBarHide() != 0;
  });
  rn([&] { Ref(m_objLVWInspBar).Visible(!hide); });
}

bool InspWrap::InspectorToolbarExists(const std::shared_ptr<host::Inspector>& objInsp) {
  runtime::ResumeNext rn;
  bool exists = false;
  rn([&] { exists = toolbar::FindBar(Ref(objInsp).CommandBars()) != nullptr; });
  // On every call, so that the window's current Send control reaches this wrapper.
  std::shared_ptr<host::CommandBarControl> send;
  rn([&] { send = Ref(Ref(objInsp).CommandBars()).FindControl({.Id = host::kIdSend}); });
  rn([&] { BindButton(m_objSendButton, send, &InspWrap::m_objSendButton_Click); });
  return exists;
}

std::shared_ptr<host::CommandBar> InspWrap::CreateInspectorToolbar() {
  std::shared_ptr<host::CommandBars> bars;
  runtime::ResumeNext rn;
  rn([&] { bars = Ref(m_objInsp.object).CommandBars(); });
  return toolbar::CreateBar(bars, kBarSettings, g_blnInspBarPositionUnset);
}

void InspWrap::AddInspectorToolbarButtons() {
  struct Member {
    WithEvents<host::CommandBarButton> InspWrap::*member;
    Click handler;
  };
  static const Member kMembers[] = {
      {&InspWrap::m_objLVWInspBarLumivaneButton, &InspWrap::m_objLVWInspBarLumivaneButton_Click},
      {&InspWrap::m_objLVWInspBarSSButton, &InspWrap::m_objLVWInspBarSSButton_Click},
      {&InspWrap::m_objLVWInspBarQuickSavePictures, &InspWrap::m_objLVWInspBarQuickSavePictures_Click},
      {&InspWrap::m_objLVWInspBarQuickSaveAttachments, &InspWrap::m_objLVWInspBarQuickSaveAttachments_Click},
      {&InspWrap::m_objLVWInspBarSavePicturesTo, &InspWrap::m_objLVWInspBarSavePicturesTo_Click},
      {&InspWrap::m_objLVWInspBarSaveAttachmentsTo, &InspWrap::m_objLVWInspBarSaveAttachmentsTo_Click},
      {&InspWrap::m_objLVWInspBarExportAttachments, &InspWrap::m_objLVWInspBarExportAttachments_Click},
      {&InspWrap::m_objLVWInspBarDeleteAtts, &InspWrap::m_objLVWInspBarDeleteAtts_Click},
      {&InspWrap::m_objLVWInspBarSettingsButton, &InspWrap::m_objLVWInspBarSettingsButton_Click},
  };
  auto created = toolbar::BuildControls(m_objLVWInspBar, kBarSettings, kTexts, TagNumber(),
                                        [this](std::size_t i, const std::shared_ptr<host::CommandBarControl>& control) {
                                          BindButton(this->*kMembers[i].member, control, kMembers[i].handler);
                                        });
  if (created) m_objLVWInspBarPopup = created;
}

void InspWrap::m_colCommandBars_OnUpdate() {
  toolbar::KeepBar(kBarSettings, m_objLVWInspBar,
                   {m_objLVWInspBarLumivaneButton.object, m_objLVWInspBarSSButton.object}, m_objLVWInspBarPopup,
                   m_objLVWInspBarSettingsButton.object);
}

}  // namespace lumivane
