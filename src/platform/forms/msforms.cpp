#include "platform/forms/msforms.h"

#include "platform/forms/form.h"

namespace platform::forms {

// ---- MSFormsOptionButton ----

bool MSFormsOptionButton::SameGroup(const MSFormsOptionButton& other) const {
  if (groupName_.empty() || other.groupName_.empty())
    return groupName_.empty() && other.groupName_.empty() && Container() == other.Container();
  return groupName_ == other.groupName_;
}

void MSFormsOptionButton::Value(bool value) {
  if (!value) {
    if (!value_) return;
    value_ = false;
    Changed();
    return;
  }
  if (value_) return;
  for (const auto& c : Parent().LiveControls()) {
    auto* o = dynamic_cast<MSFormsOptionButton*>(c.get());
    if (o != nullptr && o != this && o->value_ && SameGroup(*o)) {
      o->value_ = false;
      o->Changed();
    }
  }
  value_ = true;
  Changed();
  RaiseClick();
}

std::string MSFormsOptionButton::Describe() const {
  std::string out = (value_ ? "(o) \"" : "( ) \"") + caption_ + "\"";
  if (!groupName_.empty()) out += " group " + groupName_;
  return out;
}

void MSFormsOptionButton::UserClick() {
  FormAccess::Focus(Parent(), this);
  Value(true);
}

void MSFormsOptionButton::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  const auto& o = static_cast<const MSFormsOptionButton&>(other);
  caption_ = o.caption_;
  groupName_ = o.groupName_;
}

// ---- MSFormsCheckBox ----

void MSFormsCheckBox::Value(bool value) {
  if (value == value_) return;
  value_ = value;
  Changed();
  RaiseClick();
}

std::string MSFormsCheckBox::Describe() const { return (value_ ? "[x] \"" : "[ ] \"") + caption_ + "\""; }

void MSFormsCheckBox::UserClick() {
  FormAccess::Focus(Parent(), this);
  Value(!value_);
}

void MSFormsCheckBox::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  const auto& o = static_cast<const MSFormsCheckBox&>(other);
  caption_ = o.caption_;
  value_ = o.value_;
}

}  // namespace platform::forms
