#pragma once
// Forms as the original forms runtime had them.
//
// A form class derives from Form, names its controls as members and sets
// their design-time state in Design(), which runs on every load before
// Form_Load:
//
//   class frmAsk : public Form {
//    public:
//     frmAsk() : Form("frmAsk") {}
//     FormControl<Label> lblMessage{this, "lblMessage"};
//     FormControl<CommandButton> cmdOK{this, "cmdOK"};
//     bool Answered() const { return answered_; }      // own member: no load
//    protected:
//     void Design() override {
//       Caption("Question");
//       cmdOK->Caption("OK");
//       cmdOK->Click = [this] { answered_ = true; Hide(); };
//     }
//    private:
//     bool answered_ = false;
//   };
//
// Rules:
//  * Default<frmAsk>() is the default instance, created on first reference.
//    Explicit instances (std::make_shared<frmAsk>()) coexist with it.
//  * Touching a control or a built-in member (Caption, Left, Show, hWnd, ...)
//    of a form that is not loaded loads it: Design and Form_Load run, the form
//    stays hidden. The form's own members do not load it.
//  * Unload runs Form_QueryUnload and Form_Unload, hides the form, stops its
//    timers and destroys its controls. The object itself, with its own fields,
//    lives on while someone holds it, and touching a control loads it afresh.
//    The default instance is let go: the next Default<>() is a new object
//    with empty fields. So hold the pointer across statements that belong
//    together (show, then read the answers).
//  * A loaded form is kept by the runtime (as the original's Forms
//    collection), and every form is kept alive while one of its handlers
//    runs: a form that unloads itself inside a click is destroyed, and its
//    controls too, only after the outermost handler has returned.
//  * Show(vbModal) hands the form to the user interface (ui.h) and returns
//    when it is hidden or unloaded. When nobody can answer it, or it is
//    visible already, it raises 400 and stays hidden; the caller decides what
//    then (the name-conflict dialog then shows itself modeless).

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>
#include <vector>

#include "platform/forms/controls.h"
#include "runtime/error.h"

namespace platform::forms {

enum FormShowConstants : int { vbModeless = 0, vbModal = 1 };

// Forms count 0 normal, 1 minimised, 2 maximised (the mail client's windows
// count otherwise: keep the types apart).
enum class FormWindowState : int { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };

// Why a form is being closed (Form_QueryUnload).
enum QueryUnloadConstants : int {
  vbFormControlMenu = 0,  // the title-bar close
  vbFormCode = 1,         // Unload in code
  vbAppWindows = 2,
  vbAppTaskManager = 3,
  vbFormMDIForm = 4,
  vbFormOwner = 5,
};

enum FormBorderStyle : int {
  vbBSNone = 0,
  vbFixedSingle = 1,
  vbSizable = 2,
  vbFixedDialog = 3,
  vbFixedToolWindow = 4,
  vbSizableToolWindow = 5,
};

namespace formerr {
inline constexpr long kFormAlreadyDisplayed = 400;  // also: nobody can answer a modal form
inline constexpr long kCannotMoveOrSize = 384;
inline constexpr long kInvalidPropertyValue = 380;
inline constexpr long kNoSuchElement = 340;
inline constexpr long kAlreadyLoaded = 360;
inline constexpr long kCannotUnloadDesignElement = 362;
}  // namespace formerr

// A member that makes controls each time the form loads (FormControl,
// FormControlArray).
class ControlSlot {
 public:
  virtual ~ControlSlot() = default;
  virtual void Create(Form& form) = 0;
  virtual void Clear() = 0;
};

class Form : public std::enable_shared_from_this<Form> {
 public:
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // The class name ("frmSaveAttachments"); the UI seam finds drivers by it.
  const std::string& Name() const { return className_; }
  // Questions to the runtime; they do not load the form.
  bool IsLoaded() const { return state_ != State::NotLoaded; }
  bool IsShownModally() const { return modalDepth_ > 0; }
  bool IsDefaultInstance() const { return defaultKey_.has_value(); }
  std::shared_ptr<Form> Owner() const { return owner_.lock(); }

  // ---- built-in members: each loads the form first ----
  // style vbModal or vbModeless; a modeless form with an owner stays above it.
  void Show(int style = vbModeless, Form* owner = nullptr);
  void Hide();
  long hWnd();
  std::string Caption();
  void Caption(std::string value);
  // Outer size and position in twips; 384 while minimised or maximised.
  float Left();
  void Left(float value);
  float Top();
  void Top(float value);
  float Width();
  void Width(float value);
  float Height();
  void Height(float value);
  // The inner size: the outer one less the border and the title bar.
  float ScaleWidth();
  float ScaleHeight();
  FormWindowState WindowState();
  void WindowState(FormWindowState value);
  bool Visible();
  void Visible(bool value);  // True shows the form modeless, False hides it
  int BorderStyle();
  void BorderStyle(int value);
  std::string FontName();
  void FontName(std::string value);
  bool FontBold();
  void FontBold(bool value);
  long BackColor();
  void BackColor(long value);
  bool KeyPreview();
  void KeyPreview(bool value);
  int MousePointer();
  void MousePointer(int value);
  Control* ActiveControl();
  // Every control, array elements and timers included, in the order made;
  // indexes 0..Count-1.
  std::vector<Control*> Controls();

  // ---- the runtime's side ----
  // Loads the form unless it is loaded (Load f).
  void EnsureLoaded();
  // Runs a handler with the form kept alive; controls of an unload inside it
  // are destroyed when the outermost handler returns.
  void Dispatch(const std::function<void()>& call);
  void Register(ControlSlot* slot) { slots_.push_back(slot); }
  template <class T>
  T* Adopt(std::unique_ptr<T> control, const std::string& name, int index) {
    T* raw = control.get();
    AdoptControl(std::move(control), name, index);
    return raw;
  }
  // A run-time element of a control array goes.
  void Discard(Control* control);
  // The controls as they are, without loading.
  const std::vector<std::unique_ptr<Control>>& LiveControls() const { return controls_; }

 protected:
  explicit Form(std::string className);

  // Design-time state of the form and its controls, and the wiring of the
  // controls' events; runs on every load before Form_Load. Values set here
  // raise no events (an option selected at design raises no Click).
  virtual void Design() {}
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_Resize() {}
  virtual void Form_QueryUnload(int& Cancel, int UnloadMode) {}
  virtual void Form_Unload(int& Cancel) {}
  virtual void Form_Click() {}
  virtual void Form_MouseMove(int Button, int Shift, float X, float Y) {}
  virtual void Form_MouseDown(int Button, int Shift, float X, float Y) {}
  virtual void Form_KeyPress(int& KeyAscii) {}
  virtual void Form_KeyUp(int& KeyCode, int& Shift) {}

 private:
  friend class FormAccess;
  friend class Control;
  template <class F>
  friend std::shared_ptr<F> Default();
  friend void Unload(Form& form);

  enum class State { NotLoaded, Loaded, Unloading };
  struct Bounds {
    float left = 0, top = 0, width = 4800, height = 3600;
  };
  struct Props {
    std::string caption;
    Bounds bounds;
    FormWindowState windowState = FormWindowState::vbNormal;
    int borderStyle = vbSizable;
    std::string fontName = "MS Sans Serif";
    bool fontBold = false;
    long backColor = vbButtonFace;
    bool keyPreview = false;
    int mousePointer = 0;
  };

  void AdoptControl(std::unique_ptr<Control> control, const std::string& name, int index);
  void DoLoad();
  // Closes the form; false when QueryUnload or Unload cancelled.
  bool DoUnload(int mode);
  void MakeVisible();
  void MakeHidden();
  void FirstShow();
  void SetBound(float Bounds::*field, float value, bool size);
  void PersonResize(float scaleWidth, float scaleHeight);
  void PersonMove(float left, float top);
  void ApplyWindowState(FormWindowState from, FormWindowState to);
  void ResizeEvent();
  void FocusFirst();
  void RenumberTabs(Control* moved, int position);
  void MarkDefault(std::type_index key) { defaultKey_ = key; }
  // Every change of a property that shows calls this.
  void Changed() { NotifyChanged(*this, nullptr); }

  std::string className_;
  State state_ = State::NotLoaded;
  Props props_;
  Bounds normal_;  // the normal bounds while minimised or maximised
  bool visible_ = false;
  bool shownOnce_ = false;
  int modalDepth_ = 0;
  long hWnd_ = 0;
  std::weak_ptr<Form> owner_;
  std::optional<std::type_index> defaultKey_;
  std::vector<ControlSlot*> slots_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<std::unique_ptr<Control>> graveyard_;
  Control* activeControl_ = nullptr;
  int depth_ = 0;
  bool designing_ = false;
};

// What the runtime, its templates and the user actions reach inside forms
// and controls.
class FormAccess {
 public:
  static void Copy(Control& to, const Control& from) { to.CopyFrom(from); }
  // A control that belongs to another control (a user control's own
  // controls): it reaches the form for events and drawing, but is not one of
  // the form's Controls.
  static void Site(Control& c, Form& f, Control* container, std::string name) {
    c.form_ = &f;
    c.container_ = container;
    c.name_ = std::move(name);
  }
  static void UserClick(Control& c) { c.UserClick(); }
  static bool Focusable(const Control& c) { return c.Focusable(); }
  static void Dispatch(Control& c, const std::function<void()>& call) { c.Dispatch(call); }
  static void SetTextQuietly(TextBox& box, std::string text) {
    box.text_ = std::move(text);
    box.Place(box.anchor_, box.caret_);  // kept within the new text
    box.Changed();
  }
  static void RaiseChange(TextBox& box);
  static void PersonTyped(TextBox& box, int key) { box.PersonTyped(key); }
  static bool PersonKey(TextBox& box, int keyCode, int shift) { return box.PersonKey(keyCode, shift); }
  static void PersonSelect(TextBox& box, long anchor, long caret) { box.PersonSelect(anchor, caret); }
  // Where a Shift-extended selection started, and the caret.
  static long Anchor(const TextBox& box) { return box.anchor_; }
  static long Caret(const TextBox& box) { return box.caret_; }
  static void Click(Form& f) {
    f.Dispatch([&] { f.Form_Click(); });
  }
  static void MouseMove(Form& f, int b, int s, float x, float y) {
    f.Dispatch([&] { f.Form_MouseMove(b, s, x, y); });
  }
  static void MouseDown(Form& f, int b, int s, float x, float y) {
    f.Dispatch([&] { f.Form_MouseDown(b, s, x, y); });
  }
  static void KeyPress(Form& f, int& k) {
    f.Dispatch([&] { f.Form_KeyPress(k); });
  }
  static void KeyUp(Form& f, int& k, int& s) {
    f.Dispatch([&] { f.Form_KeyUp(k, s); });
  }
  static bool Close(Form& f, int mode) { return f.DoUnload(mode); }
  // A person moved or sized the window: the inner size in twips; the outer
  // size follows with the form's frame, and Resize is raised once.
  static void PersonResize(Form& f, float scaleWidth, float scaleHeight) { f.PersonResize(scaleWidth, scaleHeight); }
  static void PersonMove(Form& f, float left, float top) { f.PersonMove(left, top); }
  // The frame of the form's border style: sides and title bar, in twips.
  static float FrameWidth(const Form& f);
  static float FrameHeight(const Form& f);
  // The window manager's frame turned out other than assumed: the inner
  // size changed while the outer one stayed, so the form lays out again.
  static void FrameChanged(Form& f);
  static bool IsVisible(const Form& f) { return f.visible_; }
  static bool Designing(const Form& f) { return f.designing_; }
  static Control* Focused(const Form& f) { return f.activeControl_; }
  static void Focus(Form& f, Control* c) { f.activeControl_ = c; }
  static void MoveTab(Form& f, Control* c, int position) { f.RenumberTabs(c, position); }
  static void ClearDefaultMark(Form& f) { f.defaultKey_.reset(); }
  // Drops the form's controls without running its events.
  static void Forget(Form& f);
  // A person can reach the form: no modal form is shown, or it is the topmost one.
  static bool IsTopmostModalOrFree(const Form& f);
};

// ---- default instances, Load, Unload, the Forms collection ----

std::shared_ptr<Form>& DefaultInstanceSlot(std::type_index key);

template <class F>
std::shared_ptr<F> Default() {
  static_assert(std::is_base_of_v<Form, F>, "a form class");
  std::shared_ptr<Form>& slot = DefaultInstanceSlot(std::type_index(typeid(F)));
  if (!slot) {
    auto form = std::make_shared<F>();
    form->MarkDefault(std::type_index(typeid(F)));
    slot = form;
  }
  return std::static_pointer_cast<F>(slot);
}

// Whether the default instance exists now (a question for tests and
// shutdown; it creates nothing).
template <class F>
bool DefaultInstanceExists() {
  return DefaultInstanceSlot(std::type_index(typeid(F))) != nullptr;
}

// Load f: Design and Form_Load run, the form stays hidden.
void Load(Form& form);
// Unload f: nothing happens to a form that is not loaded.
void Unload(Form& form);
template <class F>
void Unload(const std::shared_ptr<F>& form) {
  if (!form) runtime::Raise(runtime::err::kObjectVariableNotSet);
  Unload(static_cast<Form&>(*form));
}

// The loaded forms, in the order loaded.
std::vector<std::shared_ptr<Form>> Forms();

// Forgets every form without running its events: loaded forms are dropped,
// default instances let go, activation and modal state cleared. For the end
// of a test and of the program.
void DiscardAllForms();

// ---- control members ----

template <class T>
class FormControl final : public ControlSlot {
 public:
  FormControl(Form* form, std::string name) : form_(form), name_(std::move(name)) { form_->Register(this); }
  FormControl(const FormControl&) = delete;
  FormControl& operator=(const FormControl&) = delete;

  // Loads the form when it is not loaded.
  T& get() {
    form_->EnsureLoaded();
    if (live_ == nullptr) runtime::Raise(runtime::err::kObjectVariableNotSet);
    return *live_;
  }
  T* operator->() { return &get(); }
  T& operator*() { return get(); }

 private:
  void Create(Form& form) override { live_ = form.Adopt(std::make_unique<T>(), name_, -1); }
  void Clear() override { live_ = nullptr; }

  Form* form_;
  std::string name_;
  T* live_ = nullptr;
};

// A control array: elements by index, the design-time ones made on load,
// others loaded at run time with the first element's properties (hidden).
template <class T>
class FormControlArray final : public ControlSlot {
 public:
  FormControlArray(Form* form, std::string name, std::vector<int> designIndexes)
      : form_(form), name_(std::move(name)), design_(std::move(designIndexes)) {
    form_->Register(this);
  }
  FormControlArray(const FormControlArray&) = delete;
  FormControlArray& operator=(const FormControlArray&) = delete;

  T& operator()(int index) {
    form_->EnsureLoaded();
    auto it = live_.find(index);
    if (it == live_.end())
      runtime::Raise(formerr::kNoSuchElement, "Control array element '" + std::to_string(index) + "' doesn't exist");
    return *it->second;
  }
  int LBound() {
    form_->EnsureLoaded();
    return live_.empty() ? 0 : live_.begin()->first;
  }
  int UBound() {
    form_->EnsureLoaded();
    return live_.empty() ? -1 : live_.rbegin()->first;
  }
  int Count() {
    form_->EnsureLoaded();
    return static_cast<int>(live_.size());
  }
  // Load cmdBar(n).
  void Load(int index) {
    form_->EnsureLoaded();
    if (live_.count(index) != 0) runtime::Raise(formerr::kAlreadyLoaded, "Object already loaded");
    if (live_.empty() || index < 0) runtime::Raise(formerr::kNoSuchElement);
    T* element = form_->Adopt(std::make_unique<T>(), name_, index);
    FormAccess::Copy(*element, *live_.begin()->second);
    element->Visible(false);
    live_[index] = element;
    if (wiring_) wiring_(*element);
  }
  // Unload cmdBar(n): only elements loaded at run time.
  void Unload(int index) {
    form_->EnsureLoaded();
    auto it = live_.find(index);
    if (it == live_.end()) runtime::Raise(formerr::kNoSuchElement);
    if (std::find(design_.begin(), design_.end(), index) != design_.end())
      runtime::Raise(formerr::kCannotUnloadDesignElement, "Can't unload controls created at design time");
    T* element = it->second;
    live_.erase(it);
    form_->Discard(element);
  }
  // Wires the events of every element, now and when one is loaded.
  void Wire(std::function<void(T&)> wiring) {
    wiring_ = std::move(wiring);
    for (auto& [index, element] : live_) wiring_(*element);
  }

 private:
  void Create(Form& form) override {
    for (int index : design_) live_[index] = form.Adopt(std::make_unique<T>(), name_, index);
  }
  void Clear() override { live_.clear(); }

  Form* form_;
  std::string name_;
  std::vector<int> design_;
  std::map<int, T*> live_;
  std::function<void(T&)> wiring_;
};

}  // namespace platform::forms
