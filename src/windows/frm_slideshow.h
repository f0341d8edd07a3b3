#pragma once
// The slideshow window: the pictures of the temporary picture folder one
// after another, fitted to a black, borderless window over the whole screen.
// It advances every SlideShowInterval seconds; keys, clicks and the navigator
// control's five buttons drive it by hand; the hints and the navigator hide
// after 5 seconds without mouse movement; loaded with DelayedLoad it appears
// one second later.
//
// The model holds each picture's file and its fitted geometry (Image1); the
// drawing of the form decodes the file at that size.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "navigator/navigator.h"
#include "platform/forms/form.h"
#include "platform/forms/picture_box.h"
#include "platform/forms/user_control.h"
#include "windows/tag_anchor.h"

namespace platform::fso {
class File;
}

namespace lumivane {

class frmSlideshow : public platform::forms::Form {
 public:
  frmSlideshow() : Form("frmSlideshow") {}

  // Bottom first, as they are drawn.
  platform::forms::FormControl<platform::forms::PictureBox> Picture1{this, "Picture1"};
  platform::forms::FormControl<platform::forms::Image> Image1{this, "Image1"};
  platform::forms::FormControl<platform::forms::PictureBox> Picture2{this, "Picture2"};
  platform::forms::FormControlArray<platform::forms::Label> lblInfo{this, "lblInfo", {0, 1, 2, 3, 4}};
  platform::forms::FormUserControl<stepwick::Navigator> Navigator1{this, "Navigator1", std::string(stepwick::kProgID)};
  platform::forms::FormControl<platform::forms::Timer> Timer1{this, "Timer1"};
  platform::forms::FormControl<platform::forms::Timer> Timer2{this, "Timer2"};
  platform::forms::FormControl<platform::forms::Timer> Timer3AutoHide{this, "Timer3AutoHide"};
  platform::forms::FormControl<TagAnchor> TagAnchor1{this, "TagAnchor1"};

  // ---- own members: they do not load the form ----
  // True from Form_Load to Form_Unload.
  bool Loaded() const { return loaded_; }
  void Loaded(bool value) { loaded_ = value; }
  // The show was opened by itself, not from the preview window.
  bool StandAlone() const { return standAlone_; }
  void StandAlone(bool value) { standAlone_ = value; }
  // True also starts the delayed show (Timer2), which loads the form.
  bool DelayedLoad() const { return delayedLoad_; }
  void DelayedLoad(bool value);

  // 0 first, 1 previous, 2 next, 3 last; other values keep the picture.
  void ChangePicture(std::int32_t& Direction);
  void SetFileCaption();
  void EndShow();
  // Fits the picture whole into the maximum sizes (twips), never enlarged,
  // centred in Picture1.
  void LoadAnImage(const std::string& Path, float MaxHeight, float MaxWidth);
  void HideInfoControls(bool& Show);

  // The picture that a step forward shows next (empty at the end), so the
  // drawing can decode it ahead.
  std::string UpcomingPicturePath() const;

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Resize() override;
  void Form_KeyUp(int& KeyCode, int& Shift) override;
  void Form_Click() override;
  void Form_MouseMove(int Button, int Shift, float X, float Y) override;
  void Form_Unload(int& Cancel) override;

 private:
  void MouseMoved();
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3AutoHide_Timer();
  void Navigator1_Play();
  void Navigator1_Pause();
  void Navigator1_Previous();
  void Navigator1_Forward();
  void Navigator1_Cancel();
  void Step(std::int32_t direction);
  // ChangePicture's reload of the current file into Image1.
  void ShowCurrent();
  std::int32_t FileCount() const;

  std::int32_t index_ = 0;
  std::shared_ptr<platform::fso::File> currentFile_;
  std::shared_ptr<std::vector<std::shared_ptr<platform::fso::File>>> fileList_;
  bool standAlone_ = false;
  bool loaded_ = false;
  bool delayedLoad_ = false;
  bool infoHidden_ = false;
};

// frmMain.Loaded, as the slideshow asks it when it closes: a stand-alone
// show leaves the temporary folder to a loaded preview window. Until the
// preview window answers, none is loaded.
void SetPreviewWindowLoaded(std::function<bool()> query);

}  // namespace lumivane

namespace lumivane::modPictureAttachments {

// Opens the slideshow, unless the add-in is disabled:
//   StandAlone False: modal, the caller waits (the preview window's task pane);
//   StandAlone True, DelayedLoad False: modeless (the toolbars' slideshow buttons);
//   StandAlone True, DelayedLoad True: loaded hidden, shown 1000 ms later
//   (the automatic display).
void ShowSlideShow(bool& StandAlone, bool& DelayedLoad);

}  // namespace lumivane::modPictureAttachments
