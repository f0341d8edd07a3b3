#pragma once
// The forms library's own option button (MSForms), which some dialogs use in
// place of the intrinsic one: it belongs to the group its GroupName names,
// whatever its container; options with an empty GroupName group by
// container, as the intrinsic ones do. Selecting one clears the others of
// its group. Setting Value to True in code raises Click as a person's click
// does; an option that is selected already raises nothing. (The forms
// library's check box is in fm_check_box.h.)

#include <string>
#include <string_view>

#include "platform/forms/controls.h"

namespace platform::forms::msforms {

class OptionButton : public Control {
 public:
  std::string_view TypeName() const override { return "MSForms.OptionButton"; }
  const std::string& Caption() const { return caption_; }
  void Caption(std::string value) {
    caption_ = std::move(value);
    Changed();
  }
  const std::string& GroupName() const { return groupName_; }
  void GroupName(std::string value) {
    groupName_ = std::move(value);
    Changed();
  }
  bool Value() const { return value_; }
  void Value(bool value);
  std::string Describe() const override;

 protected:
  bool Focusable() const override { return true; }
  void UserClick() override;
  void CopyFrom(const Control& other) override;

 private:
  bool SameGroup(const OptionButton& other) const;

  std::string caption_;
  std::string groupName_;
  bool value_ = false;
};

}  // namespace platform::forms::msforms
