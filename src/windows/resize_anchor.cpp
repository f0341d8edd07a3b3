#include "windows/resize_anchor.h"

#include <cmath>
#include <string>

#include "platform/forms/form.h"
#include "runtime/handlers.h"

namespace lumivane {

namespace forms = platform::forms;

void ResizeAnchor::DoResize() {
  runtime::ResumeNext rn;
  forms::Form& form = Parent();
  if (form.WindowState() == forms::FormWindowState::vbMinimized) return;
  // Only a real shrink is undone: setting the size it has would raise Resize again.
  rn([&] {
    if (std::lround(form.Height()) < minHeight_) form.Height(static_cast<float>(minHeight_));
  });
  rn([&] {
    if (std::lround(form.Width()) < minWidth_) form.Width(static_cast<float>(minWidth_));
  });
  const long height = std::lround(form.Height());
  const long width = std::lround(form.Width());
  const auto dh = static_cast<float>(height - lastHeight_);
  const auto dw = static_cast<float>(width - lastWidth_);
  if (lastHeight_ != 0 && lastWidth_ != 0) {
    for (forms::Control* c : form.Controls()) {
      const std::string tag = c->Tag();
      rn([&] {
        if (tag.empty() || tag.back() != 'T') return;
        if (tag.size() > 1 && tag[1] == 'T') {
          c->Height(c->Height() + dh);
        } else {
          c->Top(c->Top() + dh);
        }
      });
      rn([&] {
        if (tag.size() < 3 || tag[2] != 'T') return;
        if (tag[0] == 'T') {
          c->Width(c->Width() + dw);
        } else {
          c->Left(c->Left() + dw);
        }
      });
    }
  } else {
    minHeight_ = height;
    minWidth_ = width;
  }
  lastHeight_ = height;
  lastWidth_ = width;
}

}  // namespace lumivane
