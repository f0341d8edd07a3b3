#include "windows/frm_settings.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "attachments/browse_for_folder.h"
#include "host/office.h"
#include "host/outlook.h"
#include "platform/forms/msgbox.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "settings/addin_state.h"
#include "settings/app.h"
#include "settings/helpers.h"
#include "settings/reg_settings.h"
#include "windows/frm_about.h"
#include "windows/window_helpers.h"

namespace lumivane {

using runtime::Ref;

namespace {

namespace forms = platform::forms;
using namespace windows;

constexpr long kBlue = 0xFF0000;
constexpr long kRed = 0xFF;

constexpr std::string_view kWizard = "Wizard";

// The delays are kept where the windows that use them work: a preview that
// waits 0 ms never appears, a slideshow of 0 s never advances, and one of
// more than 65 s is beyond what its timer can count.
struct DelayRange {
  long low, high, standard;
  const char* name;
};
constexpr DelayRange kWizardDelay{100, 9999, 1000, "The Wizard Delay must be a number of milliseconds"};
constexpr DelayRange kSlideShowDelay{1, 60, 5, "The Slide Show Interval must be a number of seconds"};

RegSettings& Settings() { return Ref(g_objSettings); }

// A stored delay as the dialog shows it: 0 or less stands for the default.
std::string Shown(long stored, const DelayRange& range) { return runtime::CStr(stored <= 0 ? range.standard : stored); }

// The number in a delay box, held to its range; the box then shows what is
// stored.
long Delay(forms::TextBox& box, const DelayRange& range) {
  const double typed = runtime::CDbl(box.Text());
  const long value = runtime::CLng(std::clamp(typed, static_cast<double>(range.low), static_cast<double>(range.high)));
  box.Text(runtime::CStr(value));
  return value;
}

// A forms-library check box stores 1 when ticked and 0 when clear.
long Stored(const forms::msforms::CheckBox& box) { return box.Value() * -1; }

}  // namespace

std::function<bool(long style)>& PreviewToolbarStyleHook() {
  static std::function<bool(long style)> hook;
  return hook;
}

// ------------------------------------------------------------ design

void frmSettings::Design() {
  Caption("Settings - Lumivane");
  BorderStyle(forms::vbFixedDialog);

  imgOnTop->Picture("OrientationOnTop");
  imgHorizontal->Picture("OrientationHorizontal");
  imgHorizontal->Visible(false);
  imgVertical->Picture("OrientationVertical");
  imgVertical->Visible(false);

  txtDelay->Text("1000");
  txtDelay->ToolTipText("Set this to a value between 100 and 9999");
  UpDown2->Min(kWizardDelay.low);
  UpDown2->Max(kWizardDelay.high);
  UpDown2->Increment(100);
  UpDown2->Value(kWizardDelay.standard);
  UpDown2->BuddyControl(&*txtDelay);
  UpDown2->ToolTipText("Increments value in milliseconds");
  UpDown1->Min(kSlideShowDelay.low);
  UpDown1->Max(kSlideShowDelay.high);
  UpDown1->Value(kSlideShowDelay.standard);
  UpDown1->BuddyControl(&*txtSlideShowDelay);

  chkSlideShowText->Caption("Hide all text on Slide Show screenn");
  for (const char* style : {"Office XP", "Office 2003", "Money", "System"}) cboToolbarStyle->AddItem(style);
  chkTBFull->Caption("Visible");
  chkTPHorizontal->Caption("Visible");
  chkTPVertical->Caption("Visible");
  chkExplorerToolbar->Caption("Hide Lumivane Toolbar in main Outlook windows");
  chkInspectorToolbar->Caption("Hide Lumivane Toolbar in message windows when there are no picture attachments");
  txtSavePath->ToolTipText(
      "Specify the folder where you want to save all picture attachments in all current messages in your Inbox "
      "(when using the Batch Save command).");
  lblBrowse->Caption("Browse...");
  lblBrowse->ToolTipText("Click to select a new folder");
  lblBrowse->ForeColor(kBlue);
  chkEnableNewEmailAttPreviews->Caption("Show Wizard screen to preview attachments added to new messages");
  chkHTMLImages->Caption("Treat HTML images as attachments");
  chkHTMLImages->ToolTipText(
      "This was cause inline images in HTML messages to be treated as a regular attachment and available for "
      "previewing with the Wizard screen.");
  chkPromptBeforeQuickSave->Caption("Do not prompt for confirmation before asking to quick-save attachments");
  imgHelp->Picture("Help");
  imgHelp->ToolTipText("Click here for online help about the settings on the Quenstor web site");
  cmdApply->Caption("&Apply");
  cmdApply->Enabled(false);
  cmdOK->Caption("OK");
  cmdOK->Default(true);
  cmdCancel->Caption("Cancel");
  cmdCancel->Cancel(true);
  cmdAbout->Caption("About...");
  Layout();

  const auto enableApply = [this] { EnableApply(); };
  for (CheckBox* box : {&*chkTBFull, &*chkTPHorizontal, &*chkTPVertical, &*chkSlideShowText}) box->Change = enableApply;
  for (CheckBox* box :
       {&*chkEnableNewEmailAttPreviews, &*chkHTMLImages, &*chkInspectorToolbar, &*chkPromptBeforeQuickSave})
    box->Click = enableApply;
  cboToolbarStyle->Click = enableApply;
  cboAutoDisplayCriteria->Click = enableApply;
  for (TextBox* box : {&*txtDelay, &*txtSavePath, &*txtSlideShowDelay}) box->Change = enableApply;
  chkExplorerToolbar->Change = [this] { chkExplorerToolbar_Change(); };
  cboFormOrientation->Click = [this] { cboFormOrientation_Click(); };
  cboAutoDisplayOptions->Click = [this] { cboAutoDisplayOptions_Click(); };
  cmdApply->Click = [this] { cmdApply_Click(); };
  cmdOK->Click = [this] { cmdOK_Click(); };
  cmdCancel->Click = [this] { cmdCancel_Click(); };
  cmdAbout->Click = [this] { cmdAbout_Click(); };
  imgHelp->Click = [this] { imgHelp_Click(); };
  imgHelp->MouseMove = HandCursor();
  lblBrowse->Click = [this] { lblBrowse_Click(); };
  lblBrowse->MouseMove = [this](int, int, float, float) { lblBrowse_MouseMove(); };
  fraPictureViewers->MouseMove = [this](int, int, float, float) { BrowseBlue(); };
}

void frmSettings::Layout() {
  // Sized for the desktop font the dialog is drawn in: the longest check box
  // caption and the folder label take two lines, the criteria combo shows
  // its longest entry whole.
  Width(7800);
  Height(10395);
  struct Caption {
    float left, top, width;
    bool bold;
    const char* text;
  };
  // The group captions are bold; lblLabels(17) and (18) sit in the frame.
  static constexpr Caption kLabels[] = {
      {240, 120, 4000, true, "Change Your Settings:"},
      {240, 480, 4000, true, "Wizard Screen Settings:"},
      {480, 840, 1800, false, "Auto Display:"},
      {480, 1240, 1800, false, "Display If:"},
      {480, 1640, 1800, false, "Form orientation:"},
      {480, 2040, 1800, false, "Wizard Delay (ms):"},
      {480, 2400, 6900, false,
       "Increase this value if the Wizard screen tends to load behind the main Outlook window.  The default is 1000 "
       "ms (1 second)."},
      {240, 2940, 4000, true, "Slideshow Settings:"},
      {480, 3300, 1800, false, "Slide Show Interval:"},
      {3360, 3300, 1000, false, "(seconds)"},
      {240, 4020, 4000, true, "Advanced Settings:"},
      {480, 4380, 1800, false, "Toolbar style:"},
      {480, 4740, 3000, false, "Task Pane Visibility"},
      {720, 5040, 2400, false, "Full view:"},
      {720, 5340, 2400, false, "Horizontally tiled form:"},
      {720, 5640, 2400, false, "Vertically tiled form:"},
      {240, 6000, 4000, true, "Miscellaneous Settings:"},
      {120, 120, 4000, true, "Attachment Options"},
      {120, 420, 6900, false,
       "Default folder for saving attachments ('Save Pictures' and 'Save All Pictures' commands):"},
  };
  for (int i = 0; i < static_cast<int>(std::size(kLabels)); ++i) {
    const Caption& c = kLabels[i];
    forms::msforms::Label& label = lblLabels(i);
    label.Caption(c.text);
    label.FontBold(c.bold);
    label.Move(c.left, c.top, c.width, i == 6 || i == 18 ? 435 : 255);
  }
  imgHelp->Move(7080, 120, 480, 480);
  cboAutoDisplayOptions->Move(2400, 800, 2400, 315);
  cboAutoDisplayCriteria->Move(2400, 1200, 4320, 315);
  cboFormOrientation->Move(2400, 1600, 2400, 315);
  for (Image* picture : {&*imgOnTop, &*imgHorizontal, &*imgVertical}) picture->Move(5040, 1560, 900, 700);
  txtDelay->Move(2400, 2000, 840, 315);
  UpDown2->Move(3240, 2000, 255, 315);
  txtSlideShowDelay->Move(2400, 3260, 600, 315);
  UpDown1->Move(3000, 3260, 255, 315);
  chkSlideShowText->Move(480, 3660, 6000, 255);
  cboToolbarStyle->Move(2400, 4340, 2400, 315);
  chkTBFull->Move(3240, 5040, 1200, 255);
  chkTPHorizontal->Move(3240, 5340, 1200, 255);
  chkTPVertical->Move(3240, 5640, 1200, 255);
  chkExplorerToolbar->Move(480, 6300, 6900, 255);
  chkInspectorToolbar->Move(480, 6600, 6900, 480);
  fraPictureViewers->Move(240, 7200, 7200, 2220);
  forms::Control* inFrame[] = {&lblLabels(17),
                               &lblLabels(18),
                               &*txtSavePath,
                               &*lblBrowse,
                               &*chkEnableNewEmailAttPreviews,
                               &*chkHTMLImages,
                               &*chkPromptBeforeQuickSave};
  for (forms::Control* c : inFrame) c->Container(&*fraPictureViewers);
  txtSavePath->Move(120, 900, 5760, 315);
  lblBrowse->Move(6000, 940, 900, 255);
  chkEnableNewEmailAttPreviews->Move(120, 1280, 6900, 255);
  chkHTMLImages->Move(120, 1580, 6900, 255);
  chkPromptBeforeQuickSave->Move(120, 1880, 6900, 255);
  cmdAbout->Move(240, 9555, 1215, 375);
  cmdOK->Move(3840, 9555, 1095, 375);
  cmdCancel->Move(5040, 9555, 1095, 375);
  cmdApply->Move(6240, 9555, 1095, 375);
}

// ------------------------------------------------------------ load and save

void frmSettings::Form_Load() {
  runtime::ResumeNext rn;
  m_blnLoading = true;
  rn([&] { txtSlideShowDelay->Text(Shown(Settings().SlideShowInterval(), kSlideShowDelay)); });
  rn([&] { txtDelay->Text(Shown(Settings().AutoDisplayInterval(), kWizardDelay)); });
  rn([&] { chkSlideShowText->Value(Settings().HideSlideShowText()); });
  rn([&] { txtSavePath->Text(Settings().PictureDumpDirectory()); });
  rn([&] {
    cboAutoDisplayCriteria->AddItem("If all attachments are pictures");
    cboAutoDisplayCriteria->AddItem("If one or more attachments are pictures");
  });
  rn([&] {
    for (const char* option : {"Never", "Slideshow", "Wizard"}) cboAutoDisplayOptions->AddItem(option);
  });
  rn([&] {
    for (const char* option : {"On Top", "Tile Horizontally", "Tile Vertically"}) cboFormOrientation->AddItem(option);
  });
  rn([&] { cboAutoDisplayCriteria->ListIndex(Settings().AutoDisplayCriteria()); });
  rn([&] { cboAutoDisplayOptions->ListIndex(Settings().AutoDisplayOptions()); });
  rn([&] { cboFormOrientation->ListIndex(Settings().AutoDisplayOrientationOptions()); });
  rn([&] { SetFormOrientationImage(); });
  rn([&] { cboToolbarStyle->ListIndex(Settings().ToolbarStyle()); });
  rn([&] { m_lngAppliedToolbarStyle = Settings().ToolbarStyle(); });
  rn([&] { chkExplorerToolbar->Value(Settings().ExplBarHide()); });
  rn([&] { chkInspectorToolbar->Value(Settings().InspectorBarHide()); });
  rn([&] {
    cboAutoDisplayOptions->ToolTipText(
        "Choose whether to show the Wizard or Slideshow screens when a message with image attachments is opened.");
  });
  rn([&] { chkTBFull->Value(Settings().ShowTaskPaneInFullWizard()); });
  rn([&] { chkTPHorizontal->Value(Settings().ShowTaskPaneInHorizontalWizard()); });
  rn([&] { chkTPVertical->Value(Settings().ShowTaskPaneInVerticalWizard()); });
  rn([&] { chkEnableNewEmailAttPreviews->Value(Settings().EnableAttPreviews()); });
  rn([&] { chkHTMLImages->Value(Settings().CaptureInlineHTMLImages()); });
  rn([&] { chkPromptBeforeQuickSave->Value(Settings().DoNotPromptBeforeQuickSave()); });
  m_blnLoading = false;
}

bool frmSettings::DelaysAreNumbers() {
  runtime::ResumeNext rn;
  for (const auto& delay : {std::pair{&*txtDelay, &kWizardDelay}, std::pair{&*txtSlideShowDelay, &kSlideShowDelay}}) {
    // Named copies, not structured bindings: lambdas below capture them.
    auto* const box = delay.first;
    const auto* const range = delay.second;
    if (runtime::IsNumeric(box->Text())) continue;
    rn([&] {
      forms::MsgBox(std::string(range->name) + " between " + runtime::CStr(range->low) + " and " +
                        runtime::CStr(range->high) + ".",
                    forms::vbExclamation, "Invalid Setting");
    });
    rn([&] { box->SetFocus(); });
    return false;
  }
  return true;
}

bool frmSettings::SaveSettings() {
  // Checked before anything is written, so a bad entry costs no other setting.
  if (!DelaysAreNumbers()) return false;
  auto eh = ErrorBox("SaveSettings", runtime::ModuleKind::Form, "frmSettings");
  eh([&] { Settings().AutoDisplayCriteria(cboAutoDisplayCriteria->ListIndex()); });
  eh([&] { Settings().AutoDisplayOptions(cboAutoDisplayOptions->ListIndex()); });
  eh([&] { Settings().AutoDisplayOrientationOptions(cboFormOrientation->ListIndex()); });
  eh([&] { Settings().PictureDumpDirectory(txtSavePath->Text()); });
  eh([&] { Settings().SlideShowInterval(Delay(*txtSlideShowDelay, kSlideShowDelay)); });
  eh([&] { Settings().AutoDisplayInterval(Delay(*txtDelay, kWizardDelay)); });
  eh([&] { Settings().ExplBarHide(Stored(*chkExplorerToolbar)); });
  eh([&] { Settings().InspectorBarHide(Stored(*chkInspectorToolbar)); });
  eh([&] { Settings().HideSlideShowText(Stored(*chkSlideShowText)); });
  eh([&] { Settings().ToolbarStyle(cboToolbarStyle->ListIndex()); });
  eh([&] { Settings().ShowTaskPaneInFullWizard(Stored(*chkTBFull)); });
  eh([&] { Settings().ShowTaskPaneInHorizontalWizard(Stored(*chkTPHorizontal)); });
  eh([&] { Settings().ShowTaskPaneInVerticalWizard(Stored(*chkTPVertical)); });
  eh([&] { Settings().EnableAttPreviews(Stored(*chkEnableNewEmailAttPreviews)); });
  eh([&] { Settings().CaptureInlineHTMLImages(Stored(*chkHTMLImages)); });
  eh([&] { Settings().DoNotPromptBeforeQuickSave(Stored(*chkPromptBeforeQuickSave)); });
  eh([&] { Settings().Update(); });
  if (m_blnExplorerToolbarChanged) {
    // Three statements: a toolbar out of reach must not keep the flag raised,
    // or its error would come back at every later Apply and OK.
    std::shared_ptr<host::CommandBar> bar;
    eh([&] { bar = Ref(Ref(Ref(g_objOutlook).ActiveExplorer()).CommandBars()).Item("Lumivane"); });
    eh([&] { Ref(bar).Visible(chkExplorerToolbar->Value() == 0); });
    eh([&] { m_blnExplorerToolbarChanged = false; });
  }

  runtime::ResumeNext rn;
  rn([&] {
    const long style = cboToolbarStyle->ListIndex();
    if (style == -1 || style == m_lngAppliedToolbarStyle) return;
    // The preview window's command bar takes the style at once; the buttons
    // it has keep their pictures until the window is next loaded.
    const auto& hook = PreviewToolbarStyleHook();
    if (hook && hook(style)) m_lngAppliedToolbarStyle = style;
  });
  return true;
}

void frmSettings::SetFormOrientationImage() {
  runtime::ResumeNext rn;
  std::string text;
  if (!rn([&] { text = cboFormOrientation->Text(); })) return;
  Image* shown = text == "Tile Vertically"     ? &*imgVertical
                 : text == "Tile Horizontally" ? &*imgHorizontal
                 : text == "On Top"            ? &*imgOnTop
                                               : nullptr;
  if (shown == nullptr) return;
  for (Image* picture : {&*imgOnTop, &*imgHorizontal, &*imgVertical}) rn([&] { picture->Visible(picture == shown); });
}

void frmSettings::EnableApply() {
  if (m_blnLoading) return;
  runtime::ResumeNext()([&] { cmdApply->Enabled(true); });
}

// ------------------------------------------------------------ event handlers

void frmSettings::chkExplorerToolbar_Change() {
  EnableApply();
  // Also while Form_Load fills the box: then applying only repeats what is.
  m_blnExplorerToolbarChanged = true;
}

void frmSettings::cboFormOrientation_Click() {
  EnableApply();
  SetFormOrientationImage();
}

void frmSettings::cboAutoDisplayOptions_Click() {
  EnableApply();
  runtime::ResumeNext()([&] { cboFormOrientation->Enabled(cboAutoDisplayOptions->Text() == kWizard); });
}

void frmSettings::cmdApply_Click() {
  if (SaveSettings()) runtime::ResumeNext()([&] { cmdApply->Enabled(false); });
}

void frmSettings::cmdOK_Click() {
  if (SaveSettings()) runtime::ResumeNext()([&] { forms::Unload(*this); });
}

void frmSettings::cmdCancel_Click() {
  runtime::ResumeNext()([&] { forms::Unload(*this); });
}

void frmSettings::cmdAbout_Click() {
  runtime::ResumeNext()([&] { forms::Default<frmAbout>()->Show(forms::vbModal); });
}

void frmSettings::imgHelp_Click() {
  runtime::ResumeNext()([&] { OpenWebPage(kSettingsHelpPage); });
}

void frmSettings::lblBrowse_Click() {
  runtime::ResumeNext rn;
  std::string folder;
  rn([&] { folder = BrowseForFolder().BrowseFolders2(hWnd(), "Choose a default folder for saving attachments..."); });
  if (!folder.empty()) rn([&] { txtSavePath->Text(folder); });
}

void frmSettings::lblBrowse_MouseMove() {
  runtime::ResumeNext rn;
  rn([&] { modPictureAttachments::ShowHandCursor(); });
  rn([&] { lblBrowse->ForeColor(kRed); });
}

void frmSettings::BrowseBlue() {
  runtime::ResumeNext()([&] { lblBrowse->ForeColor(kBlue); });
}

void frmSettings::Form_MouseMove(int, int, float, float) { BrowseBlue(); }

// ------------------------------------------------------------ opening

namespace modPictureAttachments {

void ShowSettingsForm(bool /*blnUnused*/, forms::Form* owner) {
  bool debugMode = false;
  runtime::ResumeNext()([&] { debugMode = Ref(g_objSettings).DebugMode(); });
  std::shared_ptr<frmSettings> dialog;
  const auto load = [&] {
    dialog = forms::Default<frmSettings>();
    forms::Load(*dialog);
  };
  const auto show = [&] { Ref(dialog).Show(forms::vbModeless, owner); };
  if (debugMode) {
    load();
    show();
    return;
  }
  runtime::ResumeNext rn;
  rn(load);
  rn(show);
}

}  // namespace modPictureAttachments

}  // namespace lumivane
