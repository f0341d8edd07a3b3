#pragma once
// The label of the forms library (MSForms.Label). The settings dialog uses
// it for its captions and for the link "Browse...": a caption, a text colour
// that the dialog changes while the mouse is over it, a tooltip, a font,
// Click and MouseMove, all as the intrinsic label has them.

#include "platform/forms/controls.h"

namespace platform::forms::msforms {

class Label : public forms::Label {
 public:
  std::string_view TypeName() const override { return "MSForms.Label"; }
};

}  // namespace platform::forms::msforms
