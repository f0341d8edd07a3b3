#include "windows/frm_slideshow.h"

#include "windows/frm_main.h"

#include <algorithm>

#include "attachments/attachments.h"
#include "platform/fso/fso.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "runtime/text.h"
#include "settings/addin_state.h"
#include "settings/app.h"
#include "settings/helpers.h"
#include "settings/reg_settings.h"

namespace lumivane {

using runtime::Ref;

namespace {

namespace forms = platform::forms;
namespace mpa = modPictureAttachments;

constexpr long kBlack = 0x000000;
constexpr long kWhite = 0xFFFFFF;
constexpr long kRed = 0x0000FF;  // colours are 0xBBGGRR
constexpr const char* kPausedPrefix = "PAUSED - ";
// The size the window was drawn at: the anchor measures from it at load.
constexpr float kDesignWidth = 9600;
constexpr float kDesignHeight = 7200;
constexpr float kMargin = 120;

enum Direction : std::int32_t { kFirst = 0, kPrevious = 1, kNext = 2, kLast = 3 };

runtime::OnError Handler(const char* procedure) {
  return ErrorBox(procedure, runtime::ModuleKind::Form, "frmSlideshow");
}

bool ShowsText() { return Ref(g_objSettings).HideSlideShowText() == 0; }

std::function<bool()>& PreviewQuery() {
  static std::function<bool()> query;
  return query;
}

bool PreviewWindowLoaded() {
  if (auto query = PreviewQuery()) return query();
  return forms::DefaultInstanceExists<frmMain>() && forms::Default<frmMain>()->Loaded();
}

struct LabelDesign {
  int index;
  const char* caption;
  long colour;
  float left, top, width;
  int alignment;
  const char* tag;
};

}  // namespace

void SetPreviewWindowLoaded(std::function<bool()> query) { PreviewQuery() = std::move(query); }

// ---- design ----

void frmSlideshow::Design() {
  Caption("Slide Show - Lumivane");
  BorderStyle(forms::vbBSNone);
  BackColor(kBlack);
  KeyPreview(true);
  Width(kDesignWidth);
  Height(kDesignHeight);
  WindowState(forms::FormWindowState::vbMaximized);

  Picture1->BorderStyle(forms::vbPictureNoBorder);
  Picture1->BackColor(kBlack);
  Picture1->Width(kDesignWidth);
  Picture1->Height(kDesignHeight);
  Picture1->Tag("TTTT");
  Image1->Container(&*Picture1);
  Image1->Stretch(true);
  Image1->Visible(false);
  Picture2->BorderStyle(forms::vbPictureNoBorder);
  Picture2->AutoSize(true);
  Picture2->Visible(false);

  static const LabelDesign kLabels[] = {
      {0, "Press 'ESC' to end", kWhite, kMargin, kMargin, 3000, 0, "TTFF"},
      {1, "END OF SLIDE SHOW", kRed, 0, 0, 3000, 2, ""},
      {2, "(file name)", kWhite, 0, 0, 9000, 2, ""},
      {3, "Auto Mode", kWhite, kDesignWidth - kMargin - 2400, kMargin, 2400, 1, "FTTF"},
      {4, "(Use HOME, END and arrow keys to navigate manually)", kWhite, kMargin, kMargin + 255, 5400, 0, "TTFF"},
  };
  for (const LabelDesign& d : kLabels) {
    forms::Label& label = lblInfo(d.index);
    label.Caption(d.caption);
    label.FontName("Arial");
    label.ForeColor(d.colour);
    label.BackColor(kBlack);
    label.Left(d.left);
    label.Top(d.top);
    label.Width(d.width);
    label.Height(255);
    label.Alignment(d.alignment);
    label.Tag(d.tag);
    label.Visible(false);
  }

  Navigator1->Left(kDesignWidth - kMargin - Navigator1->Width());
  Navigator1->Top(kDesignHeight - kMargin - Navigator1->Height());
  Navigator1->Tag("FFTT");
  Navigator1->ToolTipText("Play, Pause, Previous, Next, Close");

  Timer1->Interval(0);
  Timer2->Interval(1000);
  Timer2->Enabled(false);
  Timer3AutoHide->Interval(5000);

  Timer1->Tick = [this] { Timer1_Timer(); };
  Timer2->Tick = [this] { Timer2_Timer(); };
  Timer3AutoHide->Tick = [this] { Timer3AutoHide_Timer(); };
  const auto moved = [this](int, int, float, float) { MouseMoved(); };
  Picture1->MouseMove = moved;
  Image1->MouseMove = moved;
  // The picture covers the window: a click on it is a click on the show.
  Picture1->Click = [this] { Form_Click(); };
  Image1->Click = [this] { Form_Click(); };
  if (Navigator1->Object()) {
    stepwick::Navigator& nav = Navigator1.Object();
    nav.Play = [this] { Navigator1_Play(); };
    nav.Pause = [this] { Navigator1_Pause(); };
    nav.Previous = [this] { Navigator1_Previous(); };
    nav.Forward = [this] { Navigator1_Forward(); };
    nav.Cancel = [this] { Navigator1_Cancel(); };
  }
}

// ---- load, resize, unload ----

void frmSlideshow::Form_Load() {
  auto eh = Handler("Form_Load");
  eh([&] { Loaded(true); });
  // More than 65 seconds is refused by the timer (380); the show then does not advance by itself.
  eh([&] { Timer1->Interval(runtime::Mul32(runtime::CLng(Ref(g_objSettings).SlideShowInterval()), 1000)); });
  eh([&] { fileList_ = std::make_shared<std::vector<std::shared_ptr<platform::fso::File>>>(); });
  std::vector<std::shared_ptr<platform::fso::File>> files;
  eh([&] { files = Ref(g_objTempFolder).Files(); });
  for (const auto& file : files) {
    std::string extension;
    eh([&] { extension = mpa::GetExtension(file->Name()); });
    if (runtime::LCase(extension).find("tif") != std::string::npos) continue;
    eh([&] {
      if (mpa::IsPictureExtension(extension, true)) Ref(fileList_).push_back(file);
    });
  }
  eh([&] {
    if (Ref(fileList_).empty()) runtime::Raise(runtime::err::kInvalidProcedureCall);
    currentFile_ = fileList_->front();
  });
  eh([&] {
    if (ShowsText()) {
      for (int i : {0, 3, 4}) lblInfo(i).Visible(true);
    }
  });
  eh([&] { index_ = 1; });
  eh([&] { SetFileCaption(); });
  eh([&] { TagAnchor1->DoResize(); });
}

void frmSlideshow::Form_Resize() {
  runtime::ResumeNext rn;
  for (int i : {1, 2}) {
    rn([&] { lblInfo(i).Top(Height() - 345); });
    rn([&] { lblInfo(i).Left((Width() - lblInfo(i).Width()) / 2); });
  }
  rn([&] { TagAnchor1->DoResize(); });
  rn([&] { LoadAnImage(Ref(currentFile_).Path(), Picture1->ScaleHeight() - 5, Picture1->ScaleWidth() - 5); });
}

void frmSlideshow::Form_Unload(int& Cancel) {
  auto eh = Handler("Form_Unload");
  eh([&] { Loaded(false); });
  eh([&] {
    currentFile_.reset();
    fileList_.reset();
  });
  if (StandAlone()) {
    // The preview window may show the same files; it empties the folder itself.
    bool previewLoaded = false;
    eh([&] { previewLoaded = PreviewWindowLoaded(); });
    if (!previewLoaded) eh([] { mpa::ClearTempFolder(); });
    eh([&] { StandAlone(false); });
  }
}

void frmSlideshow::DelayedLoad(bool value) {
  delayedLoad_ = value;
  if (value) Timer2->Enabled(true);
}

// ---- stepping ----

std::int32_t frmSlideshow::FileCount() const { return static_cast<std::int32_t>(Ref(fileList_).size()); }

void frmSlideshow::ChangePicture(std::int32_t& Direction) {
  auto eh = Handler("ChangePicture");
  bool leave = false;
  eh([&] {
    switch (Direction) {
      case kFirst: index_ = 1; break;
      case kPrevious:
        index_ = runtime::Sub32(index_, 1);
        if (index_ == 0) {
          index_ = 1;
          leave = true;
        }
        break;
      case kNext:
        if (runtime::Add32(index_, 1) > FileCount()) {
          EndShow();
          leave = true;
        } else {
          index_ = index_ + 1;
        }
        break;
      case kLast: index_ = FileCount(); break;
      default: break;
    }
  });
  if (leave) return;
  eh([&] {
    if (index_ < 1 || index_ > FileCount()) runtime::Raise(runtime::err::kInvalidProcedureCall);
    currentFile_ = (*fileList_)[static_cast<std::size_t>(index_ - 1)];
  });
  eh([&] { lblInfo(2).Caption("[LOADING...]"); });
  eh([&] { ShowCurrent(); });
  eh([&] { SetFileCaption(); });
}

void frmSlideshow::ShowCurrent() {
  LoadAnImage(Ref(currentFile_).Path(), Picture1->ScaleHeight() - 5, Picture1->ScaleWidth() - 5);
}

void frmSlideshow::LoadAnImage(const std::string& Path, float MaxHeight, float MaxWidth) {
  runtime::ResumeNext rn;
  // A file that cannot be loaded leaves the previous picture in Picture2.
  rn([&] { Picture2->Picture(forms::LoadPicture(Path)); });
  float h = 0, w = 0;
  rn([&] { h = Picture2->ScaleHeight(); });
  rn([&] { w = Picture2->ScaleWidth(); });
  rn([&] { Image1->Visible(false); });
  // Whole and never enlarged, whatever the sizes: the smaller of the two ratios.
  float scale = 1;
  if (w > 0 && h > 0) scale = std::min({1.0f, std::max(MaxWidth, 0.0f) / w, std::max(MaxHeight, 0.0f) / h});
  rn([&] { Image1->Width(w * scale); });
  rn([&] { Image1->Height(h * scale); });
  rn([&] { Image1->Left((Picture1->ScaleWidth() - Image1->Width()) / 2); });
  rn([&] { Image1->Top((Picture1->ScaleHeight() - Image1->Height()) / 2); });
  rn([&] { Image1->Picture(Picture2->Picture().path); });
  rn([&] { Image1->Visible(true); });
}

void frmSlideshow::SetFileCaption() {
  runtime::ResumeNext rn;
  std::string path, folder;
  rn([&] { path = mpa::GetLongFileName(Ref(currentFile_).Path()); });
  rn([&] { folder = mpa::GetLongFileName(Ref(g_objTempFolder).ShortPath()); });
  std::string name = path;
  if (!folder.empty() && name.rfind(folder, 0) == 0) name.erase(0, folder.size());
  if (!name.empty()) name.erase(0, 1);  // the separator
  rn([&] { lblInfo(2).Caption(name + " (" + std::to_string(index_) + "/" + std::to_string(FileCount()) + ")"); });
  rn([&] {
    if (ShowsText()) lblInfo(2).Visible(true);
  });
}

void frmSlideshow::EndShow() {
  runtime::ResumeNext rn;
  bool running = false;
  rn([&] { running = Timer1->Enabled(); });
  if (!running) return;
  rn([&] { Timer1->Enabled(false); });
  rn([&] { lblInfo(2).Visible(false); });
  rn([&] { lblInfo(1).Visible(true); });
}

std::string frmSlideshow::UpcomingPicturePath() const {
  if (!fileList_ || index_ < 1 || index_ >= static_cast<std::int32_t>(fileList_->size())) return {};
  return (*fileList_)[static_cast<std::size_t>(index_)]->Path();
}

void frmSlideshow::Step(std::int32_t direction) { ChangePicture(direction); }

// ---- keys, mouse, timers ----

void frmSlideshow::Form_KeyUp(int& KeyCode, int& Shift) {
  runtime::ResumeNext rn;
  rn([&] { lblInfo(3).Caption("Navigation Mode"); });
  switch (KeyCode) {
    case forms::vbKeyEscape: rn([&] { forms::Unload(*this); }); return;
    case forms::vbKeySpace:
    case forms::vbKeyRight:
    case forms::vbKeyUp: rn([&] { Step(kNext); }); break;
    case forms::vbKeyLeft:
    case forms::vbKeyDown: rn([&] { Step(kPrevious); }); break;
    case forms::vbKeyEnd: rn([&] { Step(kLast); }); break;
    case forms::vbKeyHome: rn([&] { Step(kFirst); }); break;
    default: break;
  }
  rn([&] { Timer1->Enabled(false); });
  rn([&] { lblInfo(1).Visible(false); });
}

void frmSlideshow::Form_Click() { Step(kNext); }

void frmSlideshow::Form_MouseMove(int Button, int Shift, float X, float Y) { MouseMoved(); }

void frmSlideshow::MouseMoved() {
  runtime::ResumeNext rn;
  if (infoHidden_) {
    bool show = true;
    rn([&] { HideInfoControls(show); });
    infoHidden_ = false;
  }
  // Off and on again: the 5 seconds start over.
  rn([&] { Timer3AutoHide->Enabled(false); });
  rn([&] { Timer3AutoHide->Enabled(true); });
}

void frmSlideshow::HideInfoControls(bool& Show) {
  for (int i : {0, 3, 4}) lblInfo(i).Visible(Show);
  Navigator1->Visible(Show);
}

void frmSlideshow::Timer1_Timer() { Step(kNext); }

void frmSlideshow::Timer2_Timer() {
  Timer2->Enabled(false);
  Visible(true);
}

void frmSlideshow::Timer3AutoHide_Timer() {
  infoHidden_ = true;
  bool show = false;
  HideInfoControls(show);
}

// ---- the navigator ----

void frmSlideshow::Navigator1_Play() {
  lblInfo(2).Caption(runtime::Replace(lblInfo(2).Caption(), kPausedPrefix, ""));
  Timer1->Enabled(true);
}

void frmSlideshow::Navigator1_Pause() {
  if (!Timer1->Enabled()) return;
  Timer1->Enabled(false);
  lblInfo(2).Caption(kPausedPrefix + lblInfo(2).Caption());
}

void frmSlideshow::Navigator1_Previous() {
  // A full interval starts, also after a pause.
  Timer1->Enabled(false);
  Timer1->Enabled(true);
  lblInfo(1).Visible(false);
  Step(kPrevious);
}

void frmSlideshow::Navigator1_Forward() {
  Timer1->Enabled(false);
  Timer1->Enabled(true);
  lblInfo(1).Visible(false);
  Step(kNext);
}

void frmSlideshow::Navigator1_Cancel() { forms::Unload(*this); }

}  // namespace lumivane

namespace lumivane::modPictureAttachments {

void ShowSlideShow(bool& StandAlone, bool& DelayedLoad) {
  auto eh = ErrorBox("ShowSlideShow", runtime::ModuleKind::Module, "modPictureAttachments");
  bool enabled = false;
  eh([&] { enabled = Ref(g_objAddInState).Enabled(); });
  if (!enabled) return;
  auto show = platform::forms::Default<frmSlideshow>();
  if (!StandAlone) {
    eh([&] { show->Show(platform::forms::vbModal); });
  } else if (!DelayedLoad) {
    eh([&] { show->StandAlone(true); });
    eh([&] { show->Show(platform::forms::vbModeless); });
  } else {
    eh([&] { platform::forms::Load(*show); });
    eh([&] { show->StandAlone(true); });
    eh([&] { show->DelayedLoad(true); });
  }
}

}  // namespace lumivane::modPictureAttachments
