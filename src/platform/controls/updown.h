#pragma once
// The up-down control (MSComCtl2.UpDown): two arrows beside a buddy text
// box. A click of an arrow takes the number in the buddy's text (its own
// Value when the text holds none), steps it by Increment within Min..Max and
// writes it back into the buddy, whose Change follows. Like the original it
// leaves alone whatever a person types into the buddy: the form that reads
// the text checks it.

#include <functional>
#include <string>

#include "platform/forms/controls.h"

namespace platform::controls {
class UpDown;
}

namespace platform::forms::user {
// A person clicks the up or the down arrow.
void ClickUp(controls::UpDown& updown);
void ClickDown(controls::UpDown& updown);
}  // namespace platform::forms::user

namespace platform::controls {

class UpDown : public forms::Control {
 public:
  std::string_view TypeName() const override { return "UpDown"; }

  long Min() const { return min_; }
  void Min(long value);
  long Max() const { return max_; }
  void Max(long value);
  // 1 or more (else 380).
  long Increment() const { return increment_; }
  void Increment(long value);
  // Min..Max (else 380); a change raises Change.
  long Value() const { return value_; }
  void Value(long value);
  // The text box the arrows write into; one of the same form, or nullptr.
  forms::TextBox* BuddyControl() const { return buddy_; }
  void BuddyControl(forms::TextBox* buddy);
  // "value 1000 (100 to 9999 by 100) buddy txtDelay".
  std::string Describe() const override;

  std::function<void()> Change;

 private:
  friend void forms::user::ClickUp(UpDown& updown);
  friend void forms::user::ClickDown(UpDown& updown);
  void Step(int direction);

  long min_ = 0;
  long max_ = 10;
  long increment_ = 1;
  long value_ = 0;
  forms::TextBox* buddy_ = nullptr;
};

}  // namespace platform::controls
