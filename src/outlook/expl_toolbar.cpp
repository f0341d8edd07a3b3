// The Explorer's toolbar "Lumivane" and its Tools-menu entry: found by name
// and caption or created, placed, tagged and bound to the wrapper; and the
// geometry and captions that OnUpdate carries into the settings.
//
// Every procedure here passes over errors statement by statement and shows
// nothing.

#include <string>
#include <string_view>

#include "host/office.h"
#include "host/outlook.h"
#include "outlook/expl_wrap.h"
#include "outlook/mod_outl_expl.h"
#include "outlook/out_addin.h"
#include "outlook/resources.h"
#include "outlook/toolbar.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "settings/helpers.h"
#include "settings/reg_settings.h"

namespace lumivane {

using runtime::Ref;

namespace {

using modPictureAttachments::g_blnExplBarPositionUnset;

constexpr std::string_view kMenuBarName = "Menu Bar";
constexpr std::string_view kMenuEntryCaption = "&Lumivane Settings...";
constexpr std::string_view kSettingsTooltip = "View and change settings for the Wizard add-in.";

const toolbar::BarSettings kBarSettings = {
    {&RegSettings::ExplBarPosition, &RegSettings::ExplBarPosition},
    {&RegSettings::ExplBarRowIndex, &RegSettings::ExplBarRowIndex},
    {&RegSettings::ExplBarLeft, &RegSettings::ExplBarLeft},
    {&RegSettings::ExplBarHeight, &RegSettings::ExplBarHeight},
    {&RegSettings::ExplBarTop, &RegSettings::ExplBarTop},
    {&RegSettings::ExplBarWidth, &RegSettings::ExplBarWidth},
    {{{&RegSettings::ExpBarBut1Text, &RegSettings::ExpBarBut1Text},
      {&RegSettings::ExpBarBut2Text, &RegSettings::ExpBarBut2Text},
      {&RegSettings::ExpBarBut3Text, &RegSettings::ExpBarBut3Text},
      {&RegSettings::ExpBarBut4Text, &RegSettings::ExpBarBut4Text}}},
    {{{&RegSettings::ExpBarBut1Style, &RegSettings::ExpBarBut1Style},
      {&RegSettings::ExpBarBut2Style, &RegSettings::ExpBarBut2Style},
      {&RegSettings::ExpBarBut3Style, &RegSettings::ExpBarBut3Style},
      {&RegSettings::ExpBarBut4Style, &RegSettings::ExpBarBut4Style}}},
};

const toolbar::ControlTexts kTexts = {
    "Start a slide show using the picture attachments in the selected message",
    {"Quick-save &Only Picture Attachments in Selected Messages to Default Directory",
     "Quick-save &All Attachments in Selected Messages to Default Directory",
     "Save &Pictures in Selected Messages To...", "&Save All Attachments in Selected Messages To...",
     "&Export Attachments (Advanced)...", "&Delete Attachments in Selected Messages"},
    {"ExplWizard", "ExplSlideShow", "ExplQuickSavePicAtts", "ExplQuickSaveAllAtts ", "ExplSavePicsTo", "ExplSaveAttsTo",
     "ExplExportAtts", "ExplDeleteAtts", "ExplBarSettings"},
};

RegSettings& Settings() { return Ref(g_objSettings); }

host::CommandBarButton& Button(const std::shared_ptr<host::CommandBarControl>& control) {
  return Ref(host::As<host::CommandBarButton>(control));
}

host::CommandBarPopup& Popup(const std::shared_ptr<host::CommandBarControl>& control) {
  return Ref(host::As<host::CommandBarPopup>(control));
}

// The number of Explorer wrappers registered now (1 when there are none). A
// window being attached is not registered yet, so the first two windows
// both use 1.
long TagNumber() {
  const long n = modOutlExpl::ExplWraps().Count();
  return n == 0 ? 1L : n;
}

}  // namespace

void ExplWrap::InitToolbar() {
  runtime::ResumeNext rn;
  bool noBars = true;
  rn([&] { noBars = !m_objExpl.object || !m_objExpl.object->CommandBars(); });
  if (noBars) return;
  if (!ToolbarExists(m_objExpl.object)) {
    rn([&] { m_objLVWExplBar = CreateToolbar(); });
    if (!m_objLVWExplBar) return;
    BuildToolbar();
  } else {
    rn([&] { m_objLVWExplBar = Ref(Ref(m_objExpl.object).CommandBars()).Item(toolbar::kBarName); });
    if (!m_objLVWExplBar) return;
    BuildToolbar();
  }
  rn([&] { Ref(m_objLVWExplBar).Visible(Settings().ExplBarHide() == 0); });
}

bool ExplWrap::ToolbarExists(const std::shared_ptr<host::Explorer>& objExpl) {
  return runtime::ValueOr([&] { return toolbar::FindBar(Ref(objExpl).CommandBars()) != nullptr; }, false);
}

std::shared_ptr<host::CommandBar> ExplWrap::CreateToolbar() {
  std::shared_ptr<host::CommandBars> bars;
  runtime::ResumeNext rn;
  rn([&] { bars = Ref(m_objExpl.object).CommandBars(); });
  return toolbar::CreateBar(bars, kBarSettings, g_blnExplBarPositionUnset);
}

std::shared_ptr<host::CommandBarControl> ExplWrap::FindOrAddMenuEntry(
    const std::shared_ptr<host::CommandBarControl>& tools) {
  runtime::ResumeNext rn;
  std::shared_ptr<host::CommandBarControl> entry;
  rn([&] { entry = Popup(tools).Controls()->Item(kMenuEntryCaption); });
  if (entry) return entry;
  rn([&] { entry = Popup(tools).Controls()->Add({.Type = host::msoControlButton, .Temporary = true}); });
  rn([&] { Button(entry).Caption(kMenuEntryCaption); });
  rn([&] { Button(entry).Style(host::msoButtonIconAndCaption); });
  rn([&] { Button(entry).TooltipText(kSettingsTooltip); });
  if (!g_blnOutlook2000) {
    rn([&] { Button(entry).Picture(LoadResPicture(101)); });
    rn([&] { Button(entry).Mask(LoadResPicture(102)); });
  }
  return entry;
}

void ExplWrap::BuildToolbar() {
  runtime::ResumeNext rn;
  const long number = TagNumber();

  // The Tools-menu entry, on the menu bar of the host's active Explorer,
  // which need not be the wrapped one.
  std::shared_ptr<host::CommandBar> menuBar;
  rn([&] { menuBar = Ref(Ref(Ref(g_objOutlook).ActiveExplorer()).CommandBars()).Item(kMenuBarName); });
  if (menuBar) {
    std::shared_ptr<host::CommandBarControl> tools;
    std::shared_ptr<host::CommandBarControl> entry;
    rn([&] { tools = menuBar->FindControl({.Id = host::kIdToolsMenuExplorer}); });
    rn([&] { entry = FindOrAddMenuEntry(tools); });
    rn([&] { Ref(entry).Tag("ExplMenuSettings" + runtime::CStr(number)); });
    rn([&] { Ref(entry).OnAction(toolbar::OnActionText()); });
    rn([&] { BindButton(m_objLVWExplMenuSettings, entry, &ExplWrap::m_objLVWExplMenuSettings_Click); });
  }

  struct Member {
    WithEvents<host::CommandBarButton> ExplWrap::*member;
    Click handler;
  };
  static const Member kMembers[] = {
      {&ExplWrap::m_objLVWExplBarLumivaneButton, &ExplWrap::m_objLVWExplBarLumivaneButton_Click},
      {&ExplWrap::m_objLVWExplBarSSButton, &ExplWrap::m_objLVWExplBarSSButton_Click},
      {&ExplWrap::m_objLVWExplBarQuickSavePicturesInSelectedMessages,
       &ExplWrap::m_objLVWExplBarQuickSavePicturesInSelectedMessages_Click},
      {&ExplWrap::m_objLVWExplBarQuickSaveAttachmentsInSelectedMessages,
       &ExplWrap::m_objLVWExplBarQuickSaveAttachmentsInSelectedMessages_Click},
      {&ExplWrap::m_objLVWExplBarSavePicturesTo, &ExplWrap::m_objLVWExplBarSavePicturesTo_Click},
      {&ExplWrap::m_objLVWExplBarSaveAttachmentsTo, &ExplWrap::m_objLVWExplBarSaveAttachmentsTo_Click},
      {&ExplWrap::m_objLVWExplBarExportAttachments, &ExplWrap::m_objLVWExplBarExportAttachments_Click},
      {&ExplWrap::m_objLVWExplBarDeleteAtts, &ExplWrap::m_objLVWExplBarDeleteAtts_Click},
      {&ExplWrap::m_objLVWExplBarSettingsButton, &ExplWrap::m_objLVWExplBarSettingsButton_Click},
  };
  auto created = toolbar::BuildControls(m_objLVWExplBar, kBarSettings, kTexts, number,
                                        [this](std::size_t i, const std::shared_ptr<host::CommandBarControl>& control) {
                                          BindButton(this->*kMembers[i].member, control, kMembers[i].handler);
                                        });
  if (created) m_objLVWExplBarPopup = created;
}

void ExplWrap::m_colCommandBars_OnUpdate() {
  toolbar::KeepBar(kBarSettings, m_objLVWExplBar,
                   {m_objLVWExplBarLumivaneButton.object, m_objLVWExplBarSSButton.object}, m_objLVWExplBarPopup,
                   m_objLVWExplBarSettingsButton.object);
}

}  // namespace lumivane
