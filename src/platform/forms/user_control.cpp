#include "platform/forms/user_control.h"

#include <algorithm>

namespace platform::forms {

namespace {
constexpr long kClientSiteNotAvailable = 398;
}

// ---- PropertyBag ----

runtime::Variant PropertyBag::ReadProperty(std::string_view name, const runtime::Variant& defaultValue) {
  log_.Add("Read " + std::string(name));
  auto it = values_.find(name);
  return it == values_.end() ? defaultValue : it->second;
}

void PropertyBag::WriteProperty(std::string_view name, const runtime::Variant& value,
                                const runtime::Variant& defaultValue) {
  log_.Add("Write " + std::string(name));
  if (value == defaultValue) {
    values_.erase(std::string(name));
  } else {
    values_[std::string(name)] = value;
  }
}

// ---- UserControl ----

UserControl::~UserControl() = default;

Form& UserControl::Parent() const {
  if (extender_ == nullptr) runtime::Raise(kClientSiteNotAvailable, "Client site not available");
  return extender_->Parent();
}

bool UserControl::AmbientUserMode() const {
  if (extender_ == nullptr) runtime::Raise(kClientSiteNotAvailable, "Client site not available");
  return extender_->UserMode();
}

void UserControl::PropertyChanged(std::string_view name) {
  if (extender_ != nullptr) extender_->propertyChanges_.Add(std::string(name));
}

std::vector<Control*> UserControl::Constituents() const {
  std::vector<Control*> out;
  for (const auto& c : constituents_) out.push_back(c.get());
  return out;
}

void UserControl::Size(float width, float height) {
  if (extender_ == nullptr) runtime::Raise(kClientSiteNotAvailable, "Client site not available");
  extender_->Width(width);
  extender_->Height(height);
}

void UserControl::Adopt(std::unique_ptr<Control> control, std::string name) {
  if (extender_ == nullptr) runtime::Raise(kClientSiteNotAvailable, "Client site not available");
  FormAccess::Site(*control, extender_->Parent(), extender_, std::move(name));
  constituents_.push_back(std::move(control));
}

// ---- UserControlExtender ----

UserControlExtender::~UserControlExtender() {
  // Someone may hold the object longer than its form holds the extender.
  if (object_ && object_->extender_ == this) object_->extender_ = nullptr;
}

std::string_view UserControlExtender::TypeName() const {
  return object_ ? object_->TypeName() : std::string_view("UserControl");
}

std::string UserControlExtender::Describe() const {
  if (!object_) return "(" + progId_ + " could not be created)";
  return object_->Describe();
}

void UserControlExtender::Load(PropertyBag& bag) {
  try {
    auto object = com::As<UserControl>(com::CreateObject(progId_));
    object->extender_ = this;
    object_ = object;
    object->Design();
    object->UserControl_ReadProperties(bag);
  } catch (...) {
    createError_ = runtime::ToError(std::current_exception());
  }
}

namespace user {

void Press(Control& control, float x, float y, int button, int shift) {
  Form& form = control.Parent();
  // The release goes to the control only while its form still holds it.
  std::shared_ptr<Form> keep = form.weak_from_this().lock();
  form.Dispatch([&] {
    MouseDown(control, x, y, button, shift);
    if (form.IsLoaded() && control.Visible()) MouseUp(control, x, y, button, shift);
  });
}

}  // namespace user

}  // namespace platform::forms
