#include "platform/controls/updown.h"

#include <algorithm>
#include <cmath>

#include "platform/forms/form.h"
#include "platform/forms/ui.h"
#include "runtime/convert.h"
#include "runtime/error.h"

namespace platform::controls {

namespace {
[[noreturn]] void InvalidValue() { runtime::Raise(forms::formerr::kInvalidPropertyValue, "Invalid property value"); }
}  // namespace

void UpDown::Min(long value) {
  min_ = value;
  Changed();
}

void UpDown::Max(long value) {
  max_ = value;
  Changed();
}

void UpDown::Increment(long value) {
  if (value < 1) InvalidValue();
  increment_ = value;
  Changed();
}

void UpDown::Value(long value) {
  if (value < std::min(min_, max_) || value > std::max(min_, max_)) InvalidValue();
  if (value == value_) return;
  value_ = value;
  Changed();
  if (forms::FormAccess::Designing(Parent())) return;
  if (auto handler = Change) Dispatch([&] { handler(); });
}

void UpDown::BuddyControl(forms::TextBox* buddy) {
  if (buddy != nullptr && &buddy->Parent() != &Parent()) runtime::Raise(runtime::err::kInvalidProcedureCall);
  buddy_ = buddy;
  Changed();
}

std::string UpDown::Describe() const {
  std::string out = "value " + std::to_string(value_) + " (" + std::to_string(min_) + " to " + std::to_string(max_) +
                    " by " + std::to_string(increment_) + ")";
  if (buddy_ != nullptr) out += " buddy " + buddy_->Name();
  return out;
}

void UpDown::Step(int direction) {
  const long low = std::min(min_, max_), high = std::max(min_, max_);
  double start = static_cast<double>(value_);
  // What the buddy shows is what the person steps from, typed or not.
  if (buddy_ != nullptr && runtime::IsNumeric(buddy_->Text())) start = std::round(runtime::CDbl(buddy_->Text()));
  start = std::clamp(start, static_cast<double>(low), static_cast<double>(high));
  const double next = std::clamp(start + direction * static_cast<double>(increment_), static_cast<double>(low),
                                 static_cast<double>(high));
  Value(static_cast<long>(next));
  if (buddy_ != nullptr) buddy_->Text(runtime::CStr(value_));
}

}  // namespace platform::controls

namespace platform::forms::user {

void ClickUp(controls::UpDown& updown) {
  RequireReachable(updown);
  updown.Parent().Dispatch([&] { updown.Step(+1); });
}

void ClickDown(controls::UpDown& updown) {
  RequireReachable(updown);
  updown.Parent().Dispatch([&] { updown.Step(-1); });
}

}  // namespace platform::forms::user
