#include "platform/forms/screen.h"

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
