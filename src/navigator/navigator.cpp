#include "navigator/navigator.h"

#include <filesystem>

#include "platform/com/com.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/screen.h"
#include "platform/path.h"
#include "platform/shell/cursors.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"

namespace stepwick {

namespace {

namespace forms = platform::forms;

constexpr long kResourceNotFound = 326;
constexpr float kStripPixelsWide = 136;
constexpr float kStripPixelsHigh = 22;
// Where the buttons are drawn on the strip, in its pixels: the right edges
// of Play, Pause and Previous, and the left edge of Close.
constexpr float kPlayEdge = 20, kPauseEdge = 50, kPreviousEdge = 80, kCloseEdge = 106;

std::string& FolderStore() {
  static std::string folder = STEPWICK_RESOURCES;
  return folder;
}

const char* BitmapName(long id) {
  switch (id) {
    case BackDown: return "BackDown";
    case CancelDown: return "CancelDown";
    case ForwardDown: return "ForwardDown";
    case PauseDown: return "PauseDown";
    case PlayDown: return "PlayDown";
    default: return "";
  }
}

// The event of a button, copied so that a host that replaces its handlers
// while one runs does not pull it from under itself.
std::function<void()> EventOf(Navigator& n, States s) {
  switch (s) {
    case States::Play: return n.Play;
    case States::Pause: return n.Pause;
    case States::Previous: return n.Previous;
    case States::Forward: return n.Forward;
    case States::Cancel: return n.Cancel;
  }
  return {};
}

long PressedBitmap(States s) {
  switch (s) {
    case States::Play: return PlayDown;
    case States::Pause: return PauseDown;
    case States::Previous: return BackDown;
    case States::Forward: return ForwardDown;
    case States::Cancel: return CancelDown;
  }
  return PlayDown;
}

}  // namespace

const std::string& ResourceFolder() { return FolderStore(); }
void SetResourceFolder(std::string folder) { FolderStore() = std::move(folder); }

std::string LoadResPicture(long id) {
  const std::string name = std::to_string(id);
  const std::string path = platform::JoinPath(ResourceFolder(), name + ".bmp");
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    runtime::Raise(kResourceNotFound, "Resource with identifier '" + name + "' not found");
  return path;
}

// ---- properties ----

void Navigator::Enabled(bool value) {
  enabled_ = value;
  PropertyChanged("Enabled");
}

void Navigator::Paused(bool value) {
  if (!AmbientUserMode()) runtime::Raise(kSetNotPermitted, "Set not permitted");
  paused_ = value;
  PropertyChanged("Paused");
}

void Navigator::UserControl_InitProperties() {
  enabled_ = true;
  paused_ = false;
}

void Navigator::UserControl_ReadProperties(forms::PropertyBag& PropBag) {
  enabled_ = runtime::CBool(PropBag.ReadProperty("Enabled", true));
  paused_ = runtime::CBool(PropBag.ReadProperty("Paused", false));
}

void Navigator::UserControl_WriteProperties(forms::PropertyBag& PropBag) {
  PropBag.WriteProperty("Enabled", enabled_, true);
  PropBag.WriteProperty("Paused", paused_, false);
}

std::string Navigator::Describe() const {
  std::string out = "Play | Pause | Previous | Next | Close";
  if (shown_ != 0) out += std::string("  showing ") + BitmapName(shown_);
  if (paused_) out += "  (paused)";
  return out;
}

// ---- drawing and the mouse ----

void Navigator::Design() {
  const float width = kStripPixelsWide * forms::Screen().TwipsPerPixelX();
  const float height = kStripPixelsHigh * forms::Screen().TwipsPerPixelY();
  Size(width, height);
  image1_ = AddConstituent<forms::Image>("Image1");
  image1_->Width(width);
  image1_->Height(height);
  ShowBitmap(PlayDown);
  image1_->MouseDown = [this](int b, int s, float x, float y) { Image1_MouseDown(b, s, x, y); };
  image1_->MouseUp = [this](int b, int s, float x, float y) { Image1_MouseUp(b, s, x, y); };
  image1_->MouseMove = [this](int b, int s, float x, float y) { Image1_MouseMove(b, s, x, y); };
}

void Navigator::ShowBitmap(long id) {
  image1_->Picture(LoadResPicture(id));
  shown_ = id;
}

States Navigator::ButtonAt(float X) {
  // The zones follow the drawn buttons at any twips per pixel. Each edge is
  // reckoned the way a press is (pixels times twips per pixel), so a press on
  // an edge's pixel lands on it exactly. A press on the edge of Play, Pause or
  // Previous is still theirs; Close begins with its left bevel, pixel 106.
  const float tpp = forms::Screen().TwipsPerPixelX();
  if (X <= kPlayEdge * tpp) return States::Play;
  if (X <= kPauseEdge * tpp) return States::Pause;
  if (X <= kPreviousEdge * tpp) return States::Previous;
  if (X < kCloseEdge * tpp) return States::Forward;
  return States::Cancel;
}

void Navigator::Image1_MouseDown(int Button, int Shift, float X, float Y) {
  const runtime::ErrorSite site{"Image1_MouseDown", runtime::ModuleKind::UserControl, "Navigator"};
  runtime::OnError eh([&](const runtime::Error& e) { forms::ShowCommonErrorBox(App::ProductName, e, site); });
  const States button = ButtonAt(X);
  eh([&] { ShowBitmap(PressedBitmap(button)); });
  if (button == States::Play) eh([&] { Paused(false); });
  if (button == States::Pause) eh([&] { Paused(true); });
  state_ = static_cast<long>(button);
  // The host's handler runs to its end here, before the strip is repainted;
  // it may unload the form, which keeps this control until the press is over.
  eh([&] {
    auto event = EventOf(*this, button);
    if (event) event();
  });
  eh([&] { Refresh(); });
}

void Navigator::Image1_MouseUp(int Button, int Shift, float X, float Y) {
  if (paused_) {
    ShowBitmap(PauseDown);
  } else if (state_ == static_cast<long>(States::Previous) || state_ == static_cast<long>(States::Forward)) {
    ShowBitmap(PlayDown);
  }
}

void Navigator::Image1_MouseMove(int Button, int Shift, float X, float Y) {
  runtime::ResumeNext rn;
  long hCursor = 0;
  rn([&] { hCursor = platform::shell::LoadCursorA(0, platform::shell::IDC_HAND); });
  if (hCursor > 0) rn([&] { platform::shell::SetCursor(hCursor); });
}

long DllRegisterServer() {
  platform::com::CurrentClassRegistry().Register(kProgID, [] { return std::make_shared<Navigator>(); });
  return 0;
}

}  // namespace stepwick
