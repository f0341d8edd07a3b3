#include "platform/forms/msforms.h"

#include "platform/forms/form.h"

namespace platform::forms::msforms {

// ---- OptionButton ----

bool OptionButton::SameGroup(const OptionButton& other) const {
  if (groupName_.empty() || other.groupName_.empty())
    return groupName_.empty() && other.groupName_.empty() && Container() == other.Container();
  return groupName_ == other.groupName_;
}

void OptionButton::Value(bool value) {
  if (!value) {
    if (!value_) return;
    value_ = false;
    Changed();
    return;
  }
  if (value_) return;
  for (const auto& c : Parent().LiveControls()) {
    auto* o = dynamic_cast<OptionButton*>(c.get());
    if (o != nullptr && o != this && o->value_ && SameGroup(*o)) {
      o->value_ = false;
      o->Changed();
    }
  }
  value_ = true;
  Changed();
  RaiseClick();
}

std::string OptionButton::Describe() const {
  std::string out = (value_ ? "(o) \"" : "( ) \"") + caption_ + "\"";
  if (!groupName_.empty()) out += " group " + groupName_;
  return out;
}

void OptionButton::UserClick() {
  FormAccess::Focus(Parent(), this);
  Value(true);
}

void OptionButton::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  const auto& o = static_cast<const OptionButton&>(other);
  caption_ = o.caption_;
  groupName_ = o.groupName_;
}

}  // namespace platform::forms::msforms
