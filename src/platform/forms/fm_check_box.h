#pragma once
// The check box of the forms library (MSForms.CheckBox), as the settings
// dialog uses it. Unlike the intrinsic check box its value is a number that
// reads -1 when ticked and 0 when clear; any number but 0 ticks it. A change
// of value, by code or by a person, raises Change and then Click; setting the
// value it already has raises nothing.

#include <functional>
#include <string>

#include "platform/forms/controls.h"

namespace platform::forms::msforms {

class CheckBox : public Control {
 public:
  std::string_view TypeName() const override { return "MSForms.CheckBox"; }
  const std::string& Caption() const { return caption_; }
  void Caption(std::string value) {
    caption_ = std::move(value);
    Changed();
  }
  // -1 (ticked) or 0 (clear).
  long Value() const { return ticked_ ? -1 : 0; }
  void Value(long value);
  // "[x] \"caption\"" or "[ ] \"caption\"".
  std::string Describe() const override;

  std::function<void()> Change;

 protected:
  bool Focusable() const override { return true; }
  // A person's click toggles the box.
  void UserClick() override;
  void CopyFrom(const Control& other) override;

 private:
  std::string caption_;
  bool ticked_ = false;
};

}  // namespace platform::forms::msforms
