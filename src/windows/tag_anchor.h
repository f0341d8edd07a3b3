#pragma once
// The resize-anchor control: placed once on a form, it moves and stretches
// the form's controls when the form is resized, by each control's Tag, and
// keeps the form from becoming smaller than it was at the first DoResize.
//
// A Tag is four letters, each "T" or anything else:
//   1st  T: a horizontal change stretches (Width), else it moves (Left)
//   2nd  T: a vertical change stretches (Height), else it moves (Top)
//   3rd  T: the control follows horizontal changes
//   last T: the control follows vertical changes
// So "TTTT" stretches both ways, "FFTT" moves right and down, "FTFT" only
// grows in height, "TTFF" stays. An empty Tag stays.

#include <cstdint>
#include <string_view>

#include "platform/forms/controls.h"

namespace lumivane {

class TagAnchor : public platform::forms::Control {
 public:
  TagAnchor();
  std::string_view TypeName() const override { return "TagAnchor"; }

  // The form's Form_Resize calls this.
  void DoResize();
  // The control keeps its own size whatever it is given.
  void UserControl_Resize();

 protected:
  bool HasTabIndex() const override { return false; }
  void OnResized() override { UserControl_Resize(); }

 private:
  std::int32_t m_lngLastHeight = 0;
  std::int32_t m_lngLastWidth = 0;
  std::int32_t m_lngMinHeight = 0;
  std::int32_t m_lngMinWidth = 0;
};

}  // namespace lumivane
