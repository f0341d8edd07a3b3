#include "platform/forms/fm_check_box.h"

#include "platform/forms/form.h"

namespace platform::forms::msforms {

void CheckBox::Value(long value) {
  const bool ticked = value != 0;
  if (ticked == ticked_) return;
  ticked_ = ticked;
  Changed();
  if (FormAccess::Designing(Parent())) return;
  if (auto handler = Change) Dispatch([&] { handler(); });
  RaiseClick();
}

std::string CheckBox::Describe() const { return (ticked_ ? "[x] \"" : "[ ] \"") + caption_ + "\""; }

void CheckBox::UserClick() {
  FormAccess::Focus(Parent(), this);
  Value(ticked_ ? 0 : -1);
}

void CheckBox::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  const auto& box = static_cast<const CheckBox&>(other);
  caption_ = box.caption_;
  ticked_ = box.ticked_;
}

}  // namespace platform::forms::msforms
