#include "platform/forms/screen.h"

#include "platform/forms/form.h"
#include "runtime/error.h"

namespace platform::forms {

void ScreenObject::MousePointer(int value) {
  if ((value < 0 || value > vbSizeAll) && value != vbCustom) runtime::Raise(380, "Invalid property value");
  mousePointer_ = value;
  mousePointerLog_.Add(value);
  if (onMousePointer_) onMousePointer_(value);
}

void ScreenObject::Configure(float twipsPerPixelX, float twipsPerPixelY, int widthPixels, int heightPixels) {
  if (twipsPerPixelX <= 0 || twipsPerPixelY <= 0 || widthPixels <= 0 || heightPixels <= 0)
    runtime::Raise(runtime::err::kInvalidProcedureCall);
  twipsPerPixelX_ = twipsPerPixelX;
  twipsPerPixelY_ = twipsPerPixelY;
  widthPixels_ = widthPixels;
  heightPixels_ = heightPixels;
}

FrameMargins ScreenObject::FrameOf(int borderStyle) const {
  if (borderStyle == vbBSNone) return {};
  const bool tool = borderStyle == vbFixedToolWindow || borderStyle == vbSizableToolWindow;
  // A window manager that decorates tool windows as it does the others
  // has told only of the others.
  if (const auto& seen = tool && toolFrame_ ? toolFrame_ : titledFrame_) return *seen;
  const int border = borderStyle == vbSizable || borderStyle == vbSizableToolWindow ? 4 : 3;
  const int title = tool ? 15 : 19;
  return {border, border + title, border, border};
}

bool ScreenObject::LearnFrame(bool toolWindow, const FrameMargins& margins) {
  auto& seen = toolWindow ? toolFrame_ : titledFrame_;
  if (seen == margins) return false;
  seen = margins;
  return true;
}

long ScreenObject::SetCursor(long handle) {
  const long previous = cursor_;
  cursor_ = handle;
  cursorLog_.Add(handle);
  return previous;
}

void ScreenObject::Reset() {
  auto callback = std::move(onMousePointer_);
  *this = ScreenObject{};
  onMousePointer_ = std::move(callback);
}

ScreenObject& Screen() {
  static ScreenObject screen;
  return screen;
}

}  // namespace platform::forms
