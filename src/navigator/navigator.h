#pragma once
// The Stepwick control library: its one control, Navigator, a strip of five
// media buttons (Play, Pause, Previous, Next, Close) drawn as one bitmap.
//
// A press picks the button by its distance from the strip's left edge, shows
// the strip with that button pressed, updates Paused and the last pressed
// button, and raises one of five events to the host, which runs to its end
// before the press is over. The control draws itself only through its Image1,
// whose picture is one of the library's bitmap resources.
//
// The library links nothing of the add-in; a host creates the control by its
// ProgID once DllRegisterServer has registered it.

#include <functional>
#include <string>
#include <string_view>

#include "platform/forms/user_control.h"

namespace stepwick {

inline constexpr std::string_view kProgID = "Stepwick.Navigator";
// The library's version information.
namespace App {
inline constexpr std::string_view ProductName = "Stepwick";
inline constexpr std::string_view Version = "1.00.0005";
inline constexpr std::string_view FileDescription =
    "Navigation control for media files (Play, Pause, Previous, Next, Cancel).";
}  // namespace App

// The library's bitmap resources: strips of 136 x 22 pixels.
enum ImageFiles : long {
  BackDown = 101,
  CancelDown = 102,
  CancelOver = 103,
  ForwardDown = 104,
  ForwardOver = 105,
  PauseDown = 106,
  PauseOver = 107,
  PlayDown = 108,
  PlayOver = 109,
  BackOver = 110,
};
// The toolbox picture, 16 x 15 pixels in 16 colours.
inline constexpr long kToolboxBitmap = 30000;

// The buttons, as the last pressed one is kept.
enum class States : long { Play = 1, Pause = 2, Previous = 3, Forward = 4, Cancel = 5 };

// Error 387, raised by Paused at design time.
inline constexpr long kSetNotPermitted = 387;

// The folder the bitmaps are read from; the build's unless the program sets one.
const std::string& ResourceFolder();
void SetResourceFolder(std::string folder);
// The bitmap file of a resource id (LoadResPicture); 326 when there is none.
std::string LoadResPicture(long id);

class Navigator : public platform::forms::UserControl {
 public:
  std::string_view TypeName() const override { return "Navigator"; }
  std::string Describe() const override;

  // "Forces a complete repaint of a object." It does nothing.
  void Refresh() {}
  // Stored and reported; presses are not blocked by it.
  bool Enabled() const { return enabled_; }
  void Enabled(bool value);
  // At design time (ambient UserMode false) raises 387 and stores nothing.
  bool Paused() const { return paused_; }
  void Paused(bool value);

  // The events, none with arguments.
  std::function<void()> Play;
  std::function<void()> Pause;
  std::function<void()> Previous;
  std::function<void()> Forward;
  std::function<void()> Cancel;

  // The constituent image that shows the strip.
  platform::forms::Image& Image1() const { return *image1_; }
  // The resource id of the strip on show; 0 before the first.
  long ShownBitmap() const { return shown_; }
  // The last pressed button; 0 before the first press.
  long State() const { return state_; }
  // The button drawn where a press at X (twips from the left edge) lands.
  static States ButtonAt(float X);

  void UserControl_InitProperties() override;
  void UserControl_ReadProperties(platform::forms::PropertyBag& PropBag) override;
  void UserControl_WriteProperties(platform::forms::PropertyBag& PropBag) override;
  // Every point is transparent to the container's hit test.
  int UserControl_HitTest(float X, float Y) override { return platform::forms::vbHitResultTransparent; }

 protected:
  void Design() override;

 private:
  void Image1_MouseDown(int Button, int Shift, float X, float Y);
  void Image1_MouseUp(int Button, int Shift, float X, float Y);
  void Image1_MouseMove(int Button, int Shift, float X, float Y);
  void ShowBitmap(long id);

  bool enabled_ = true;
  bool paused_ = false;
  long state_ = 0;
  long shown_ = 0;
  platform::forms::Image* image1_ = nullptr;
};

// Self-registration: the control's class factory under kProgID in the
// current class registry. Returns 0.
long DllRegisterServer();

}  // namespace stepwick
