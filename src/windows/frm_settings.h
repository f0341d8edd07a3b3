#pragma once
// The settings dialog "Settings - Lumivane": every option a person may change
// in one modeless window. Apply and OK write all of them into the settings
// object and the registry and apply two of them at once: the visibility of
// the Explorer toolbar and the style of a loaded preview window's command
// bar. Only the default instance is ever shown, so there is one at most.

#include <functional>

#include "platform/controls/updown.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/fm_check_box.h"
#include "platform/forms/fm_label.h"
#include "platform/forms/form.h"

namespace lumivane {

class frmSettings : public platform::forms::Form {
 public:
  template <class T>
  using Ctl = platform::forms::FormControl<T>;
  using ComboBox = platform::forms::ComboBox;
  using CheckBox = platform::forms::msforms::CheckBox;
  using TextBox = platform::forms::TextBox;
  using Image = platform::forms::Image;
  using UpDown = platform::controls::UpDown;

  frmSettings() : Form("frmSettings") {}

  Ctl<ComboBox> cboAutoDisplayOptions{this, "cboAutoDisplayOptions"};
  Ctl<ComboBox> cboAutoDisplayCriteria{this, "cboAutoDisplayCriteria"};
  Ctl<ComboBox> cboFormOrientation{this, "cboFormOrientation"};
  Ctl<Image> imgOnTop{this, "imgOnTop"};
  Ctl<Image> imgHorizontal{this, "imgHorizontal"};
  Ctl<Image> imgVertical{this, "imgVertical"};
  Ctl<TextBox> txtDelay{this, "txtDelay"};
  Ctl<UpDown> UpDown2{this, "UpDown2"};
  Ctl<TextBox> txtSlideShowDelay{this, "txtSlideShowDelay"};
  Ctl<UpDown> UpDown1{this, "UpDown1"};
  Ctl<CheckBox> chkSlideShowText{this, "chkSlideShowText"};
  Ctl<ComboBox> cboToolbarStyle{this, "cboToolbarStyle"};
  Ctl<CheckBox> chkTBFull{this, "chkTBFull"};
  Ctl<CheckBox> chkTPHorizontal{this, "chkTPHorizontal"};
  Ctl<CheckBox> chkTPVertical{this, "chkTPVertical"};
  Ctl<CheckBox> chkExplorerToolbar{this, "chkExplorerToolbar"};
  Ctl<CheckBox> chkInspectorToolbar{this, "chkInspectorToolbar"};
  Ctl<platform::forms::Frame> fraPictureViewers{this, "fraPictureViewers"};
  Ctl<TextBox> txtSavePath{this, "txtSavePath"};
  Ctl<platform::forms::msforms::Label> lblBrowse{this, "lblBrowse"};
  Ctl<CheckBox> chkEnableNewEmailAttPreviews{this, "chkEnableNewEmailAttPreviews"};
  Ctl<CheckBox> chkHTMLImages{this, "chkHTMLImages"};
  Ctl<CheckBox> chkPromptBeforeQuickSave{this, "chkPromptBeforeQuickSave"};
  Ctl<Image> imgHelp{this, "imgHelp"};
  platform::forms::FormControlArray<platform::forms::msforms::Label> lblLabels{
      this, "lblLabels", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}};
  Ctl<platform::forms::CommandButton> cmdApply{this, "cmdApply"};
  Ctl<platform::forms::CommandButton> cmdOK{this, "cmdOK"};
  Ctl<platform::forms::CommandButton> cmdCancel{this, "cmdCancel"};
  Ctl<platform::forms::CommandButton> cmdAbout{this, "cmdAbout"};

  // Shows the picture of the orientation that cboFormOrientation names.
  void SetFormOrientationImage();
  // Writes every control into the settings and the registry and applies the
  // toolbar visibility and style. False, with nothing written, when a delay
  // is not a number: the person is told which, and the dialog stays open.
  bool SaveSettings();

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_MouseMove(int Button, int Shift, float X, float Y) override;

 private:
  void Layout();
  void EnableApply();
  // The delay boxes hold numbers; else the person is told which does not.
  bool DelaysAreNumbers();
  void BrowseBlue();
  void cboAutoDisplayOptions_Click();
  void cboFormOrientation_Click();
  void chkExplorerToolbar_Change();
  void cmdApply_Click();
  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdAbout_Click();
  void imgHelp_Click();
  void lblBrowse_Click();
  void lblBrowse_MouseMove();

  bool m_blnLoading = false;
  long m_lngAppliedToolbarStyle = 0;
  bool m_blnExplorerToolbarChanged = false;
};

// The preview window's side of a toolbar style applied by the dialog: when
// the preview window is loaded, set the style of its command bar (cmdBar(0))
// to `style`, call its RefreshToolbar and return true; return false when it
// is not loaded. Empty until the preview window's command bar exists: then
// only the stored setting changes.
std::function<bool(long style)>& PreviewToolbarStyleHook();

namespace modPictureAttachments {

// Loads the settings dialog (a fresh load shows the settings as they stand)
// and shows it modeless, owned by `owner` when one is given (the preview
// window passes itself; the toolbars and the Tools-menu entry pass none).
// `blnUnused` is not read. Failures are passed over unless the setting
// DebugMode is on; then they reach the caller.
void ShowSettingsForm(bool blnUnused = true, platform::forms::Form* owner = nullptr);

}  // namespace modPictureAttachments

}  // namespace lumivane
