#pragma once
// The resize anchor the slideshow places (TagAnchor1): keeps the controls
// anchored by the four letters of their Tag when the window's size changes,
// and the window no smaller than at the first DoResize.
//
// Tag letters, "T" for true: 1 a width change stretches (else moves) the
// control, 2 a height change stretches (else moves) it, 3 it follows width
// changes, and the last letter: it follows height changes.

#include "platform/forms/controls.h"

namespace lumivane {

class ResizeAnchor : public platform::forms::Control {
 public:
  std::string_view TypeName() const override { return "TagAnchor"; }
  // Every failing step is skipped and the next one runs.
  void DoResize();

 protected:
  bool HasTabIndex() const override { return false; }

 private:
  long lastHeight_ = 0;
  long lastWidth_ = 0;
  long minHeight_ = 0;
  long minWidth_ = 0;
};

}  // namespace lumivane
