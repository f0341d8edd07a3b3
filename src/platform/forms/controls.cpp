#include "platform/forms/controls.h"

#include "platform/forms/form.h"

namespace platform::forms {

namespace {

[[noreturn]] void NotSupported() { runtime::Raise(runtime::err::kMemberNotSupported); }
[[noreturn]] void InvalidValue() { runtime::Raise(formerr::kInvalidPropertyValue, "Invalid property value"); }

bool ReachableChain(const Control& c) {
  for (const Control* p = &c; p != nullptr; p = p->Container())
    if (!p->Visible() || !p->Enabled()) return false;
  return true;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

Control::~Control() = default;

void Control::Enabled(bool value) {
  common_.enabled = value;
  if (!value && form_ != nullptr && FormAccess::Focused(*form_) == this) FormAccess::Focus(*form_, nullptr);
  OnEnabledChanged();
  Changed();
}

void Control::Visible(bool value) {
  common_.visible = value;
  if (!value && form_ != nullptr && FormAccess::Focused(*form_) == this) FormAccess::Focus(*form_, nullptr);
  Changed();
}

float Control::Left() const {
  if (!HasGeometry()) NotSupported();
  return common_.left;
}
void Control::Left(float value) {
  if (!HasGeometry()) NotSupported();
  common_.left = value;
  Changed();
}
float Control::Top() const {
  if (!HasGeometry()) NotSupported();
  return common_.top;
}
void Control::Top(float value) {
  if (!HasGeometry()) NotSupported();
  common_.top = value;
  Changed();
}
float Control::Width() const {
  if (!HasGeometry()) NotSupported();
  return common_.width;
}
void Control::Width(float value) {
  if (!HasGeometry()) NotSupported();
  if (value < 0) InvalidValue();
  const bool resized = value != common_.width;
  common_.width = value;
  Changed();
  if (resized) OnResized();
}
float Control::Height() const {
  if (!HasGeometry()) NotSupported();
  return common_.height;
}
void Control::Height(float value) {
  if (!HasGeometry()) NotSupported();
  if (value < 0) InvalidValue();
  const bool resized = value != common_.height;
  common_.height = value;
  Changed();
  if (resized) OnResized();
}

void Control::Move(float left, float top, float width, float height) {
  if (!HasGeometry()) NotSupported();
  const bool resized = (width >= 0 && width != common_.width) || (height >= 0 && height != common_.height);
  common_.left = left;
  common_.top = top;
  if (width >= 0) common_.width = width;
  if (height >= 0) common_.height = height;
  Changed();
  if (resized) OnResized();
}

int Control::TabIndex() const {
  if (!HasTabIndex()) NotSupported();
  return tabIndex_;
}

void Control::TabIndex(int value) {
  if (!HasTabIndex()) NotSupported();
  if (value < 0) InvalidValue();
  FormAccess::MoveTab(*form_, this, value);
}

void Control::Container(Control* frame) {
  if (frame != nullptr && (&frame->Parent() != form_ || frame == this))
    runtime::Raise(runtime::err::kInvalidProcedureCall);
  container_ = frame;
  Changed();
}

void Control::SetFocus() {
  if (!FormAccess::IsVisible(*form_) || !Focusable() || !ReachableChain(*this))
    runtime::Raise(runtime::err::kInvalidProcedureCall);
  FormAccess::Focus(*form_, this);
  Changed();
}

void Control::UserClick() { RaiseClick(); }

void Control::CopyFrom(const Control& other) {
  common_ = other.common_;
  container_ = other.container_;
}

void Control::Dispatch(const std::function<void()>& call) { form_->Dispatch(call); }

void Control::Changed() {
  if (form_ != nullptr) NotifyChanged(*form_, this);
}

void Control::RaiseClick() {
  if (FormAccess::Designing(*form_)) return;
  auto handler = Click;
  if (handler) Dispatch([&] { handler(); });
}

void FormAccess::RaiseChange(TextBox& box) {
  if (Designing(*box.form_)) return;
  auto handler = box.Change;
  if (handler) box.Dispatch([&] { handler(); });
}

// ---- Label ----

std::string Label::Describe() const { return Quoted(caption_); }

void Label::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  caption_ = static_cast<const Label&>(other).caption_;
  alignment_ = static_cast<const Label&>(other).alignment_;
}

// ---- CommandButton ----

void CommandButton::Default(bool value) {
  if (value)
    for (const auto& c : Parent().LiveControls())
      if (auto* b = dynamic_cast<CommandButton*>(c.get())) b->default_ = false;
  default_ = value;
  Changed();
}

void CommandButton::Cancel(bool value) {
  if (value)
    for (const auto& c : Parent().LiveControls())
      if (auto* b = dynamic_cast<CommandButton*>(c.get())) b->cancel_ = false;
  cancel_ = value;
  Changed();
}

std::string CommandButton::Describe() const {
  std::string out = Quoted(caption_);
  if (default_) out += " (default)";
  if (cancel_) out += " (cancel)";
  return out;
}

void CommandButton::UserClick() {
  FormAccess::Focus(Parent(), this);
  RaiseClick();
}

void CommandButton::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  caption_ = static_cast<const CommandButton&>(other).caption_;
}

// ---- OptionButton ----

void OptionButton::Value(bool value) {
  if (!value) {
    value_ = false;
    Changed();
    return;
  }
  if (value_) return;
  for (const auto& c : Parent().LiveControls()) {
    auto* o = dynamic_cast<OptionButton*>(c.get());
    if (o != nullptr && o != this && o->Container() == Container() && o->value_) {
      o->value_ = false;
      o->Changed();
    }
  }
  value_ = true;
  Changed();
  RaiseClick();
}

std::string OptionButton::Describe() const { return (value_ ? "(o) " : "( ) ") + Quoted(caption_); }

void OptionButton::UserClick() {
  FormAccess::Focus(Parent(), this);
  Value(true);
}

void OptionButton::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  caption_ = static_cast<const OptionButton&>(other).caption_;
}

// ---- CheckBox ----

void CheckBox::Value(int value) {
  if (value < vbUnchecked || value > vbGrayed) InvalidValue();
  if (value == value_) return;
  value_ = value;
  Changed();
  RaiseClick();
}

std::string CheckBox::Describe() const {
  const char* box = value_ == vbChecked ? "[x] " : value_ == vbGrayed ? "[-] " : "[ ] ";
  return box + Quoted(caption_);
}

void CheckBox::UserClick() {
  FormAccess::Focus(Parent(), this);
  Value(value_ == vbChecked ? vbUnchecked : vbChecked);
}

void CheckBox::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  caption_ = static_cast<const CheckBox&>(other).caption_;
  value_ = static_cast<const CheckBox&>(other).value_;
}

// ---- Image, Frame ----

std::string Image::Describe() const { return picture_.empty() ? std::string("(no picture)") : "picture " + picture_; }

void Image::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  picture_ = static_cast<const Image&>(other).picture_;
  stretch_ = static_cast<const Image&>(other).stretch_;
}

std::string Frame::Describe() const { return Quoted(caption_); }

void Frame::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  caption_ = static_cast<const Frame&>(other).caption_;
}

// ---- Timer ----

void Timer::Interval(long value) {
  if (value < 0 || value > 65535) InvalidValue();
  interval_ = value;
  Rearm();
}

std::string Timer::Describe() const { return "interval " + std::to_string(interval_); }

void Timer::Rearm() {
  if (detached_ || Enabled() == false || interval_ == 0 || !Parent().IsLoaded()) {
    timer_.Stop();
    return;
  }
  timer_.Start(interval_, true, [this] {
    auto handler = Tick;
    if (handler) Dispatch([&] { handler(); });
  });
}

void Timer::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  interval_ = static_cast<const Timer&>(other).interval_;
  Rearm();
}

}  // namespace platform::forms
