#pragma once
// The Screen object: the mouse pointer the program shows (the hourglass while
// it works), the twips per pixel of each axis and the screen's size, and the
// cursor of the moment. The cursor is what a SetCursor call puts up (the hand
// over a link-like label); moving the mouse onto another control puts the
// control's own cursor back first, as the window system does before it reports
// the move.

#include <functional>
#include <optional>
#include <vector>

#include "platform/seam_record.h"

namespace platform::forms {

enum MousePointerConstants : int {
  vbDefault = 0,
  vbArrow = 1,
  vbCrosshair = 2,
  vbIbeam = 3,
  vbSizePointer = 5,
  vbSizeNESW = 6,
  vbSizeNS = 7,
  vbSizeNWSE = 8,
  vbSizeWE = 9,
  vbUpArrow = 10,
  vbHourglass = 11,
  vbNoDrop = 12,
  vbArrowHourglass = 13,
  vbArrowQuestion = 14,
  vbSizeAll = 15,
  vbCustom = 99,
};

// What a window manager draws around a window's inner area, in pixels.
struct FrameMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const FrameMargins&) const = default;
};

class ScreenObject {
 public:
  // 0..15 or 99; any other value raises 380. Every value set is logged.
  int MousePointer() const { return mousePointer_; }
  void MousePointer(int value);
  const std::vector<int>& MousePointerLog() const { return mousePointerLog_.Entries(); }

  float TwipsPerPixelX() const { return twipsPerPixelX_; }
  float TwipsPerPixelY() const { return twipsPerPixelY_; }
  // The whole screen, in twips.
  float Width() const { return static_cast<float>(widthPixels_) * twipsPerPixelX_; }
  float Height() const { return static_cast<float>(heightPixels_) * twipsPerPixelY_; }

  // The program and tests choose the metrics (default 15 x 15, 1024 x 768).
  void Configure(float twipsPerPixelX, float twipsPerPixelY, int widthPixels, int heightPixels);

  // The frame around a window of a form's BorderStyle (0 none, 1 fixed
  // single, 2 sizable, 3 fixed dialog, 4 fixed and 5 sizable tool window):
  // what the window manager was seen to draw, else the classic desktop's
  // (borders of 3 or 4 pixels, a title bar of 19, 15 for a tool window).
  FrameMargins FrameOf(int borderStyle) const;
  // The drawing tells what the window manager draws around a window with a
  // title bar and around a tool window; answers whether that changed.
  bool LearnFrame(bool toolWindow, const FrameMargins& margins);

  // The cursor handle shown now; 0 is the pointer of the window under the
  // mouse. Returns the previous handle, as SetCursor does.
  long Cursor() const { return cursor_; }
  long SetCursor(long handle);
  const std::vector<long>& CursorLog() const { return cursorLog_.Entries(); }

  // Told of every MousePointer set, so the cursor on screen follows.
  void OnMousePointer(std::function<void(int)> callback) { onMousePointer_ = std::move(callback); }

  // Back to the defaults, logs emptied (between tests); the drawing's
  // callback stays.
  void Reset();

 private:
  int mousePointer_ = vbDefault;
  platform::SeamRecord<int> mousePointerLog_;
  float twipsPerPixelX_ = 15.0f;
  float twipsPerPixelY_ = 15.0f;
  int widthPixels_ = 1024;
  int heightPixels_ = 768;
  std::optional<FrameMargins> titledFrame_, toolFrame_;
  long cursor_ = 0;
  platform::SeamRecord<long> cursorLog_;
  std::function<void(int)> onMousePointer_;
};

ScreenObject& Screen();

}  // namespace platform::forms
