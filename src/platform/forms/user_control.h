#pragma once
// User controls: controls written as code of their own (in a control
// library), placed on a form and created there by their ProgID.
//
// The form sees a UserControlExtender: a control with the extender members
// every placed control has (Name, Left, Top, Width, Height, Visible, Tag,
// ToolTipText). Behind it lives the control's own object, a UserControl,
// with its properties, methods and events. The object builds itself from
// constituent controls (an Image showing a bitmap, say); they draw it and
// take the mouse, and they belong to the user control, not to the form's
// Controls.
//
//   FormUserControl<Navigator> Navigator1{this, "Navigator1", "Stepwick.Navigator"};
//   ...
//   Navigator1->Left(600);                                // the extender
//   Navigator1.Object().Play = [this] { Navigator1_Play(); };  // the control's own
//
// The object lives as long as its extender: a form that unloads itself inside
// one of the control's events destroys neither before the outermost handler
// returns.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/com.h"
#include "platform/forms/form.h"
#include "platform/forms/ui.h"
#include "platform/seam_record.h"
#include "runtime/variant.h"

namespace platform::forms {

// What a user control answers when asked whether a point hits it.
enum HitResultConstants : int {
  vbHitResultOutside = 0,
  vbHitResultTransparent = 1,
  vbHitResultClose = 2,
  vbHitResultHit = 3,
};

// The properties a container keeps for a placed control, by name.
class PropertyBag {
 public:
  // The stored value, else the default.
  runtime::Variant ReadProperty(std::string_view name, const runtime::Variant& defaultValue = {});
  // A value equal to its default is not kept, as the designer did.
  void WriteProperty(std::string_view name, const runtime::Variant& value, const runtime::Variant& defaultValue = {});
  bool Contains(std::string_view name) const { return values_.count(std::string(name)) != 0; }
  // "Read NAME" and "Write NAME", in the order asked.
  const std::vector<std::string>& Log() const { return log_.Entries(); }

 private:
  std::map<std::string, runtime::Variant, std::less<>> values_;
  platform::SeamRecord<std::string> log_;
};

class UserControlExtender;

class UserControl : public com::Object {
 public:
  ~UserControl() override;
  UserControl(const UserControl&) = delete;
  UserControl& operator=(const UserControl&) = delete;

  // The control's class name ("Navigator").
  virtual std::string_view TypeName() const = 0;
  // What the console prints for it.
  virtual std::string Describe() const { return {}; }

  // The control as its form sees it; nullptr until it is placed.
  UserControlExtender* Extender() const { return extender_; }
  // UserControl.Parent, the form; 398 before the control is placed.
  Form& Parent() const;
  // Ambient.UserMode: true at run time, false while a designer holds the form.
  bool AmbientUserMode() const;
  // Tells the container that a property changed (PropertyChanged).
  void PropertyChanged(std::string_view name);

  // The events of the control's life, raised by its container.
  virtual void UserControl_InitProperties() {}
  virtual void UserControl_ReadProperties(PropertyBag& PropBag) {}
  virtual void UserControl_WriteProperties(PropertyBag& PropBag) {}
  virtual int UserControl_HitTest(float X, float Y) { return vbHitResultHit; }

  // The controls that draw the control, at twips inside it, bottom first.
  std::vector<Control*> Constituents() const;

 protected:
  UserControl() = default;
  // Makes the constituent controls; runs once, when the control is placed.
  virtual void Design() {}
  template <class T>
  T* AddConstituent(std::string name) {
    auto control = std::make_unique<T>();
    T* raw = control.get();
    Adopt(std::move(control), std::move(name));
    return raw;
  }
  // The control's own size in twips (UserControl.Width, Height).
  void Size(float width, float height);

 private:
  friend class UserControlExtender;
  void Adopt(std::unique_ptr<Control> control, std::string name);

  UserControlExtender* extender_ = nullptr;
  std::vector<std::unique_ptr<Control>> constituents_;
};

class UserControlExtender : public Control {
 public:
  explicit UserControlExtender(std::string progId) : progId_(std::move(progId)) {}
  ~UserControlExtender() override;

  std::string_view TypeName() const override;
  std::string Describe() const override;
  const std::string& ProgId() const { return progId_; }

  // Creates the control by its ProgID, places it and reads its properties
  // from the bag. A control that cannot be created leaves no object, and the
  // error is kept in CreateError.
  void Load(PropertyBag& bag);
  // The control's own object; nullptr when it could not be created.
  const std::shared_ptr<UserControl>& Object() const { return object_; }
  const runtime::Error* CreateError() const { return createError_ ? &*createError_ : nullptr; }

  // Ambient.UserMode the container gives (a designer: false).
  bool UserMode() const { return userMode_; }
  void UserMode(bool value) { userMode_ = value; }
  // The PropertyChanged calls of the control, in order.
  const std::vector<std::string>& PropertyChanges() const { return propertyChanges_.Entries(); }

 protected:
  bool HasTabIndex() const override { return false; }

 private:
  friend class UserControl;
  std::string progId_;
  std::shared_ptr<UserControl> object_;
  std::optional<runtime::Error> createError_;
  bool userMode_ = true;
  platform::SeamRecord<std::string> propertyChanges_;
};

// A user control placed on a form at design: made afresh on every load.
template <class T>
class FormUserControl final : public ControlSlot {
 public:
  FormUserControl(Form* form, std::string name, std::string progId)
      : form_(form), name_(std::move(name)), progId_(std::move(progId)) {
    form_->Register(this);
  }
  FormUserControl(const FormUserControl&) = delete;
  FormUserControl& operator=(const FormUserControl&) = delete;

  // The extender; loads the form when it is not loaded.
  UserControlExtender& get() {
    form_->EnsureLoaded();
    if (live_ == nullptr) runtime::Raise(runtime::err::kObjectVariableNotSet);
    return *live_;
  }
  UserControlExtender* operator->() { return &get(); }
  UserControlExtender& operator*() { return get(); }
  // The control's own members and events; 429 when it could not be created.
  T& Object() {
    auto typed = std::dynamic_pointer_cast<T>(get().Object());
    if (!typed) runtime::Raise(runtime::err::kCannotCreateObject, "ActiveX component can't create object");
    return *typed;
  }
  // The properties saved with the form, read at every load.
  PropertyBag& DesignProperties() { return design_; }

 private:
  void Create(Form& form) override {
    live_ = form.Adopt(std::make_unique<UserControlExtender>(progId_), name_, -1);
    live_->Load(design_);
  }
  void Clear() override { live_ = nullptr; }

  Form* form_;
  std::string name_;
  std::string progId_;
  PropertyBag design_;
  UserControlExtender* live_ = nullptr;
};

namespace user {

// A press and its release at one point, as a click of the mouse brings them.
void Press(Control& control, float x = 0, float y = 0, int button = vbLeftButton, int shift = 0);

}  // namespace user

}  // namespace platform::forms
