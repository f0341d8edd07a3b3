// The Explorer's toolbar "Lumivane" and its Tools-menu entry: found by name
// and caption or created, placed, tagged and bound to the wrapper; and the
// geometry and captions that OnUpdate carries into the settings.
//
// Every procedure here passes over errors statement by statement and shows
// nothing. Members that the oldest host's object library lacks (a button's
// Picture and Mask, a popup's Style) simply fail there.

#include <functional>
#include <string>
#include <string_view>

#include "host/office.h"
#include "host/outlook.h"
#include "outlook/expl_wrap.h"
#include "outlook/mod_outl_expl.h"
#include "outlook/out_addin.h"
#include "outlook/ref.h"
#include "outlook/resources.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "settings/helpers.h"
#include "settings/reg_settings.h"

namespace lumivane {

namespace {

using modPictureAttachments::g_blnExplBarPositionUnset;

constexpr std::string_view kBarName = "Lumivane";
constexpr std::string_view kMenuBarName = "Menu Bar";
constexpr std::string_view kMenuEntryCaption = "&Lumivane Settings...";
constexpr std::string_view kSettingsTooltip = "View and change settings for the Wizard add-in.";
constexpr std::string_view kPopupTooltip =
    "Advanced options for saving, exporting and deleting attachments from messages.";

RegSettings& Settings() { return Ref(g_objSettings); }

host::CommandBarButton& Button(const std::shared_ptr<host::CommandBarControl>& control) {
  return Ref(host::As<host::CommandBarButton>(control));
}

host::CommandBarPopup& Popup(const std::shared_ptr<host::CommandBarControl>& control) {
  return Ref(host::As<host::CommandBarPopup>(control));
}

// The tag base and the number of Explorer wrappers registered now (1 when
// there are none). A window being attached is not registered yet, so the
// first two windows both use 1.
std::string TagFor(std::string_view base) {
  const long n = modOutlExpl::ExplWraps().Count();
  return std::string(base) + runtime::CStr(n == 0 ? 1L : n);
}

// How the host routes the control to this add-in.
std::string OnActionText() { return "!<" + g_strProgID + ">"; }

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
    rn([&] { m_objLVWExplBar = Ref(Ref(m_objExpl.object).CommandBars()).Item(kBarName); });
    if (!m_objLVWExplBar) return;
    BuildToolbar();
  }
  rn([&] { Ref(m_objLVWExplBar).Visible(Settings().ExplBarHide() == 0); });
}

bool ExplWrap::ToolbarExists(const std::shared_ptr<host::Explorer>& objExpl) {
  return runtime::ValueOr([&] { return Ref(Ref(objExpl).CommandBars()).Item(kBarName) != nullptr; }, false);
}

std::shared_ptr<host::CommandBar> ExplWrap::CreateToolbar() {
  runtime::ResumeNext rn;
  std::shared_ptr<host::CommandBar> bar;
  rn([&] { bar = Ref(Ref(m_objExpl.object).CommandBars()).Add({.Name = std::string(kBarName), .Temporary = true}); });
  rn([&] { Ref(bar).Protection(host::msoBarNoProtection); });
  // A bar that was added but could not be unprotected stays behind, empty.
  if (rn.Err() || !bar) return nullptr;

  if (!g_blnExplBarPositionUnset) {
    rn([&] { bar->Position(Settings().ExplBarPosition()); });
    rn([&] { bar->RowIndex(Settings().ExplBarRowIndex()); });
    rn([&] { bar->Left(Settings().ExplBarLeft()); });
    rn([&] { bar->Height(Settings().ExplBarHeight()); });
    rn([&] { bar->Top(Settings().ExplBarTop()); });
    rn([&] { bar->Width(Settings().ExplBarWidth()); });
  } else {
    // First run: dock at the top where the host puts it, and keep that at once.
    rn([&] { bar->Position(host::msoBarTop); });
    rn([&] { Settings().ExplBarPosition(bar->Position()); });
    rn([&] { Settings().ExplBarHeight(bar->Height()); });
    rn([&] { Settings().ExplBarLeft(bar->Left()); });
    rn([&] { Settings().ExplBarRowIndex(bar->RowIndex()); });
    rn([&] { Settings().ExplBarTop(bar->Top()); });
    rn([&] { Settings().ExplBarWidth(bar->Width()); });
    rn([&] { Settings().Update(); });
    g_blnExplBarPositionUnset = false;
  }
  return bar;
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

  // The Tools-menu entry, on the menu bar of the host's active Explorer,
  // which need not be the wrapped one.
  std::shared_ptr<host::CommandBar> menuBar;
  rn([&] { menuBar = Ref(Ref(Ref(g_objOutlook).ActiveExplorer()).CommandBars()).Item(kMenuBarName); });
  if (menuBar) {
    std::shared_ptr<host::CommandBarControl> tools;
    std::shared_ptr<host::CommandBarControl> entry;
    rn([&] { tools = menuBar->FindControl({.Id = host::kIdToolsMenuExplorer}); });
    rn([&] { entry = FindOrAddMenuEntry(tools); });
    rn([&] { Ref(entry).Tag(TagFor("ExplMenuSettings")); });
    rn([&] { Ref(entry).OnAction(OnActionText()); });
    rn([&] { BindButton(m_objLVWExplMenuSettings, entry, &ExplWrap::m_objLVWExplMenuSettings_Click); });
  }

  // One button of the toolbar or of the popup. Only a button that this call
  // creates gets the caption, style, tooltip, separator and pictures; one
  // found under its caption keeps what it has, and is re-tagged and re-bound.
  struct ButtonSpec {
    std::function<std::string()> caption;
    std::function<long()> style;  // popup entries: 2, or 3 once they have pictures
    std::string_view tooltip;
    bool entry;  // an entry of the popup
    bool beginGroup;
    long face;
    long mask;
    std::string_view tagBase;
    WithEvents<host::CommandBarButton> ExplWrap::*member;
    Click handler;
  };
  auto build = [&](const std::shared_ptr<host::CommandBar>& owner, const ButtonSpec& s) {
    runtime::ResumeNext rb;
    std::shared_ptr<host::CommandBarControl> control;
    rb([&] { control = Ref(owner).Controls()->Item(s.caption()); });
    if (!control) {
      rb([&] { control = Ref(owner).Controls()->Add({.Type = host::msoControlButton, .Temporary = true}); });
      rb([&] { Button(control).Caption(s.caption()); });
      rb([&] { Button(control).Style(s.style()); });
      rb([&] { Button(control).TooltipText(s.tooltip); });
      if (s.beginGroup) rb([&] { Button(control).BeginGroup(true); });
      if (!g_blnOutlook2000) {
        if (s.entry) rb([&] { Button(control).Style(host::msoButtonIconAndCaption); });
        rb([&] { Button(control).Picture(LoadResPicture(s.face)); });
        rb([&] { Button(control).Mask(LoadResPicture(s.mask)); });
      }
    }
    rb([&] { Ref(control).Tag(TagFor(s.tagBase)); });
    rb([&] { Ref(control).OnAction(OnActionText()); });
    rb([&] { BindButton(this->*s.member, control, s.handler); });
  };
  auto literal = [](std::string_view text) { return [text] { return std::string(text); }; };
  auto captionStyle = [] { return long{host::msoButtonCaption}; };

  build(m_objLVWExplBar, {[] { return Settings().ExpBarBut1Text(); }, [] { return Settings().ExpBarBut1Style(); },
                          "Launches wizard form.", false, false, 101, 102, "ExplWizard",
                          &ExplWrap::m_objLVWExplBarLumivaneButton, &ExplWrap::m_objLVWExplBarLumivaneButton_Click});
  build(m_objLVWExplBar,
        {[] { return Settings().ExpBarBut2Text(); }, [] { return Settings().ExpBarBut2Style(); },
         "Start a slide show using the picture attachments in the selected message", false, false, 109, 110,
         "ExplSlideShow", &ExplWrap::m_objLVWExplBarSSButton, &ExplWrap::m_objLVWExplBarSSButton_Click});

  // The popup: no tag, no action, no binding.
  std::shared_ptr<host::CommandBarControl> popup;
  rn([&] { popup = Ref(m_objLVWExplBar).Controls()->Item(Settings().ExpBarBut3Text()); });
  if (!popup) {
    rn([&] { popup = Ref(m_objLVWExplBar).Controls()->Add({.Type = host::msoControlPopup, .Temporary = true}); });
    rn([&] { Ref(popup).Caption(Settings().ExpBarBut3Text()); });
    rn([&] { Popup(popup).Style(Settings().ExpBarBut3Style()); });
    rn([&] { Ref(popup).TooltipText(kPopupTooltip); });
    rn([&] { m_objLVWExplBarPopup = host::As<host::CommandBarPopup>(popup); });
  }
  std::shared_ptr<host::CommandBar> popupBar;
  rn([&] { popupBar = Popup(popup).CommandBar(); });
  if (popupBar) {
    build(popupBar,
          {literal("Quick-save &Only Picture Attachments in Selected Messages to Default Directory"), captionStyle,
           "Saves just image files to a predefined directory. This location can be changed on the "
           "Settings screen.",
           true, false, 103, 104, "ExplQuickSavePicAtts", &ExplWrap::m_objLVWExplBarQuickSavePicturesInSelectedMessages,
           &ExplWrap::m_objLVWExplBarQuickSavePicturesInSelectedMessages_Click});
    build(popupBar, {literal("Quick-save &All Attachments in Selected Messages to Default Directory"), captionStyle,
                     "Saves any type of attachment files to a predefined directory. This location can be changed "
                     "on the Settings screen.",
                     true, false, 103, 104, "ExplQuickSaveAllAtts ",
                     &ExplWrap::m_objLVWExplBarQuickSaveAttachmentsInSelectedMessages,
                     &ExplWrap::m_objLVWExplBarQuickSaveAttachmentsInSelectedMessages_Click});
    build(popupBar, {literal("Save &Pictures in Selected Messages To..."), captionStyle,
                     "Saves just image files to the chosen directory.", true, false, 115, 104, "ExplSavePicsTo",
                     &ExplWrap::m_objLVWExplBarSavePicturesTo, &ExplWrap::m_objLVWExplBarSavePicturesTo_Click});
    build(popupBar,
          {literal("&Save All Attachments in Selected Messages To..."), captionStyle,
           "Saves all attachment file types to the chosen directory.", true, false, 115, 104, "ExplSaveAttsTo",
           &ExplWrap::m_objLVWExplBarSaveAttachmentsTo, &ExplWrap::m_objLVWExplBarSaveAttachmentsTo_Click});
    build(popupBar,
          {literal("&Export Attachments (Advanced)..."), captionStyle,
           "Advanced options for exporting attachments from messages.", true, true, 126, 127, "ExplExportAtts",
           &ExplWrap::m_objLVWExplBarExportAttachments, &ExplWrap::m_objLVWExplBarExportAttachments_Click});
    build(popupBar, {literal("&Delete Attachments in Selected Messages"), captionStyle,
                     "Permanently removes attachments from messages.", true, true, 124, 125, "ExplDeleteAtts",
                     &ExplWrap::m_objLVWExplBarDeleteAtts, &ExplWrap::m_objLVWExplBarDeleteAtts_Click});
  }

  build(m_objLVWExplBar, {[] { return Settings().ExpBarBut4Text(); }, [] { return Settings().ExpBarBut4Style(); },
                          kSettingsTooltip, false, false, 107, 108, "ExplBarSettings",
                          &ExplWrap::m_objLVWExplBarSettingsButton, &ExplWrap::m_objLVWExplBarSettingsButton_Click});
}

void ExplWrap::m_colCommandBars_OnUpdate() {
  runtime::ResumeNext rn;
  // Without a toolbar (or a settings object) there is nothing to keep.
  if (!rn([&] { Settings().ExplBarPosition(Ref(m_objLVWExplBar).Position()); })) return;
  rn([&] { Settings().ExplBarRowIndex(Ref(m_objLVWExplBar).RowIndex()); });
  rn([&] { Settings().ExplBarLeft(Ref(m_objLVWExplBar).Left()); });
  rn([&] { Settings().ExplBarHeight(Ref(m_objLVWExplBar).Height()); });
  rn([&] { Settings().ExplBarTop(Ref(m_objLVWExplBar).Top()); });
  rn([&] { Settings().ExplBarWidth(Ref(m_objLVWExplBar).Width()); });
  rn([&] { Settings().ExpBarBut1Text(Ref(m_objLVWExplBarLumivaneButton.object).Caption()); });
  rn([&] { Settings().ExpBarBut2Text(Ref(m_objLVWExplBarSSButton.object).Caption()); });
  rn([&] { Settings().ExpBarBut3Text(Ref(m_objLVWExplBarPopup).Caption()); });
  rn([&] { Settings().ExpBarBut4Text(Ref(m_objLVWExplBarSettingsButton.object).Caption()); });
  if (!g_blnOutlook2000) {
    rn([&] { Settings().ExpBarBut1Style(Ref(m_objLVWExplBarLumivaneButton.object).Style()); });
    rn([&] { Settings().ExpBarBut2Style(Ref(m_objLVWExplBarSSButton.object).Style()); });
    rn([&] { Settings().ExpBarBut3Style(Ref(m_objLVWExplBarPopup).Style()); });
    rn([&] { Settings().ExpBarBut4Style(Ref(m_objLVWExplBarSettingsButton.object).Style()); });
  }
}

}  // namespace lumivane
