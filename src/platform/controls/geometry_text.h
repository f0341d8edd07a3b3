#pragma once
// The place of a control as the terminal prints it.

#include <cmath>
#include <string>

#include "platform/forms/controls.h"

namespace platform::controls {

inline std::string GeometryText(const forms::Control& c) {
  auto n = [](float v) { return std::to_string(std::lround(v)); };
  return "at " + n(c.Left()) + "," + n(c.Top()) + " size " + n(c.Width()) + "x" + n(c.Height()) + " twips";
}

}  // namespace platform::controls
