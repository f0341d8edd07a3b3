#include "platform/forms/form.h"

#include <algorithm>

#include "platform/forms/screen.h"
#include "platform/forms/ui.h"

namespace platform::forms {

namespace {

struct Registry {
  std::map<std::type_index, std::shared_ptr<Form>> defaults;
  std::vector<std::shared_ptr<Form>> loaded;
  std::weak_ptr<Form> active;
  std::vector<Form*> modal;  // innermost last
  long nextHandle = 0;
};

Registry& Reg() {
  static Registry registry;
  return registry;
}

// Window handles of forms come from a range of their own, so they never meet
// the handles of the mail client's windows.
constexpr long kFirstFormHandle = 0x00A00000;

void Tell(Form& form, const char* action) {
  if (UserInterface* ui = CurrentUserInterface()) {
    ui->Notice(FormNotice{form.Name(), action});
    ui->Noticed(form, action);
  }
}

// Lets the seam make a member fail.
void Check(const Form& form, const char* member) {
  if (UserInterface* ui = CurrentUserInterface()) ui->Enter(form, member);
}

std::shared_ptr<Form> Shared(Form& form) {
  std::shared_ptr<Form> self = form.weak_from_this().lock();
  if (!self)
    runtime::Raise(runtime::err::kInternalError,
                   "form '" + form.Name() + "' must be made with std::make_shared or Default<>()");
  return self;
}

}  // namespace

Form::Form(std::string className) : className_(std::move(className)) { props_.caption = className_; }

Form::~Form() {
  for (auto& c : controls_) c->OnDetached();
}

// ---- load, dispatch, unload ----

void Form::EnsureLoaded() {
  if (state_ == State::NotLoaded) DoLoad();
}

void Form::DoLoad() {
  std::shared_ptr<Form> self = Shared(*this);
  Check(*this, "Load");
  state_ = State::Loaded;
  props_ = Props{};
  props_.caption = className_;
  normal_ = Bounds{};
  visible_ = false;
  shownOnce_ = false;
  activeControl_ = nullptr;
  hWnd_ = kFirstFormHandle + 16 * ++Reg().nextHandle;
  Reg().loaded.push_back(self);
  for (ControlSlot* slot : slots_) slot->Create(*this);
  Tell(*this, "Load");
  Dispatch([this] {
    {
      // Design-time values are in place before anything runs: no events.
      designing_ = true;
      struct Done {
        bool& flag;
        ~Done() { flag = false; }
      } done{designing_};
      Design();
    }
    Form_Load();
  });
}

void Form::Dispatch(const std::function<void()>& call) {
  std::shared_ptr<Form> self = weak_from_this().lock();  // kept alive while the handler runs
  ++depth_;
  struct Leave {
    Form& form;
    ~Leave() {
      if (--form.depth_ == 0) form.graveyard_.clear();
    }
  } leave{*this};
  call();
}

bool Form::DoUnload(int mode) {
  if (state_ != State::Loaded) return true;
  std::shared_ptr<Form> self = Shared(*this);
  Check(*this, "Unload");
  bool closed = false;
  Dispatch([&] {
    int cancel = 0;
    Form_QueryUnload(cancel, mode);
    if (cancel != 0 || state_ != State::Loaded) return;
    state_ = State::Unloading;
    Form_Unload(cancel);
    if (cancel != 0) {
      state_ = State::Loaded;
      return;
    }
    Tell(*this, "Unload");
    MakeHidden();
    for (auto& c : controls_) c->OnDetached();
    for (auto& c : controls_) graveyard_.push_back(std::move(c));
    controls_.clear();
    for (ControlSlot* slot : slots_) slot->Clear();
    activeControl_ = nullptr;
    state_ = State::NotLoaded;
    hWnd_ = 0;
    auto& loaded = Reg().loaded;
    loaded.erase(std::remove(loaded.begin(), loaded.end(), self), loaded.end());
    if (defaultKey_) {
      auto it = Reg().defaults.find(*defaultKey_);
      if (it != Reg().defaults.end() && it->second == self) Reg().defaults.erase(it);
      defaultKey_.reset();
    }
    closed = true;
  });
  return closed;
}

void Form::AdoptControl(std::unique_ptr<Control> control, const std::string& name, int index) {
  control->form_ = this;
  control->name_ = name;
  control->index_ = index;
  if (control->HasTabIndex()) {
    int next = 0;
    for (const auto& c : controls_)
      if (c->tabIndex_ >= next) next = c->tabIndex_ + 1;
    control->tabIndex_ = next;
  }
  controls_.push_back(std::move(control));
  if (!designing_) Changed();
}

void Form::Discard(Control* control) {
  auto it = std::find_if(controls_.begin(), controls_.end(), [&](const auto& c) { return c.get() == control; });
  if (it == controls_.end()) return;
  if (activeControl_ == control) activeControl_ = nullptr;
  (*it)->OnDetached();
  graveyard_.push_back(std::move(*it));
  controls_.erase(it);
  Changed();
  if (depth_ == 0) graveyard_.clear();
}

// ---- showing ----

void Form::Show(int style, Form* owner) {
  EnsureLoaded();
  if (owner != nullptr) owner_ = owner->weak_from_this();
  if (style != vbModal) {
    Check(*this, "Show");
    Tell(*this, "Show");
    MakeVisible();
    return;
  }
  try {
    Check(*this, "ShowModal");
  } catch (...) {
    Tell(*this, "ModalFailed");
    throw;
  }
  if (visible_) {
    Tell(*this, "ModalFailed");
    runtime::Raise(formerr::kFormAlreadyDisplayed, "Form already displayed; can't show modally");
  }
  UserInterface* ui = CurrentUserInterface();
  UserInterface::Driver driver = ui != nullptr ? ui->ModalDriver(*this) : UserInterface::Driver{};
  if (!driver) {
    Tell(*this, "ModalFailed");
    runtime::Raise(formerr::kFormAlreadyDisplayed, "Can't show form '" + className_ + "' modally: nobody answers it");
  }
  std::shared_ptr<Form> self = Shared(*this);
  ++modalDepth_;
  Reg().modal.push_back(this);
  struct Leave {
    Form& form;
    ~Leave() {
      --form.modalDepth_;
      auto& modal = Reg().modal;
      auto it = std::find(modal.rbegin(), modal.rend(), &form);
      if (it != modal.rend()) modal.erase(std::next(it).base());
    }
  } leave{*this};
  Tell(*this, "ShowModal");
  MakeVisible();
  driver(*this);
  if (visible_ && state_ != State::NotLoaded) {
    MakeHidden();
    runtime::Raise(runtime::err::kInternalError,
                   "the driver of form '" + className_ + "' returned while the form was still shown modally");
  }
}

void Form::MakeVisible() {
  std::shared_ptr<Form> self = Shared(*this);
  if (!visible_) {
    visible_ = true;
    if (!shownOnce_) FirstShow();
  }
  if (Reg().active.lock() != self) {
    Reg().active = self;
    Dispatch([this] { Form_Activate(); });
  }
}

void Form::FirstShow() {
  shownOnce_ = true;
  if (props_.windowState != FormWindowState::vbNormal) ApplyWindowState(FormWindowState::vbNormal, props_.windowState);
  ResizeEvent();
  FocusFirst();
}

void Form::MakeHidden() {
  if (!visible_) return;
  visible_ = false;
  if (Reg().active.lock().get() == this) Reg().active.reset();
}

void Form::Hide() {
  EnsureLoaded();
  Check(*this, "Hide");
  Tell(*this, "Hide");
  MakeHidden();
}

bool Form::Visible() {
  EnsureLoaded();
  return visible_;
}

void Form::Visible(bool value) {
  if (value) {
    Show(vbModeless);
  } else {
    Hide();
  }
}

long Form::hWnd() {
  EnsureLoaded();
  return hWnd_;
}

// ---- geometry ----

void Form::ResizeEvent() {
  Dispatch([this] { Form_Resize(); });
}

void Form::SetBound(float Bounds::*field, float value, bool size) {
  EnsureLoaded();
  if (props_.windowState != FormWindowState::vbNormal)
    runtime::Raise(formerr::kCannotMoveOrSize, "A form can't be moved or sized while minimized or maximized");
  const float old = props_.bounds.*field;
  props_.bounds.*field = value;
  if (old != value) Changed();
  if (size && old != value && shownOnce_) ResizeEvent();
}

float FormAccess::FrameWidth(const Form& f) {
  const FrameMargins frame = Screen().FrameOf(f.props_.borderStyle);
  return static_cast<float>(frame.left + frame.right) * Screen().TwipsPerPixelX();
}
float FormAccess::FrameHeight(const Form& f) {
  const FrameMargins frame = Screen().FrameOf(f.props_.borderStyle);
  return static_cast<float>(frame.top + frame.bottom) * Screen().TwipsPerPixelY();
}

void FormAccess::FrameChanged(Form& f) {
  if (f.state_ == Form::State::Loaded && f.shownOnce_) f.ResizeEvent();
}

void Form::PersonResize(float scaleWidth, float scaleHeight) {
  if (state_ != State::Loaded || props_.windowState != FormWindowState::vbNormal) return;
  const float width = scaleWidth + FormAccess::FrameWidth(*this);
  const float height = scaleHeight + FormAccess::FrameHeight(*this);
  if (width == props_.bounds.width && height == props_.bounds.height) return;
  props_.bounds.width = width;
  props_.bounds.height = height;
  if (shownOnce_) ResizeEvent();
}

void Form::PersonMove(float left, float top) {
  if (state_ != State::Loaded || props_.windowState != FormWindowState::vbNormal) return;
  props_.bounds.left = left;
  props_.bounds.top = top;
}

float Form::Left() {
  EnsureLoaded();
  return props_.bounds.left;
}
void Form::Left(float value) { SetBound(&Bounds::left, value, false); }
float Form::Top() {
  EnsureLoaded();
  return props_.bounds.top;
}
void Form::Top(float value) { SetBound(&Bounds::top, value, false); }
float Form::Width() {
  EnsureLoaded();
  return props_.bounds.width;
}
void Form::Width(float value) { SetBound(&Bounds::width, value, true); }
float Form::Height() {
  EnsureLoaded();
  return props_.bounds.height;
}
void Form::Height(float value) { SetBound(&Bounds::height, value, true); }

float Form::ScaleWidth() {
  EnsureLoaded();
  return std::max(props_.bounds.width - FormAccess::FrameWidth(*this), 0.0f);
}

float Form::ScaleHeight() {
  EnsureLoaded();
  return std::max(props_.bounds.height - FormAccess::FrameHeight(*this), 0.0f);
}

FormWindowState Form::WindowState() {
  EnsureLoaded();
  return props_.windowState;
}

void Form::WindowState(FormWindowState value) {
  EnsureLoaded();
  if (static_cast<int>(value) < 0 || static_cast<int>(value) > 2)
    runtime::Raise(formerr::kInvalidPropertyValue, "Invalid property value");
  const FormWindowState from = props_.windowState;
  if (from == value) return;
  props_.windowState = value;
  Changed();
  // A form maximised before its first show keeps its design size until then.
  if (!shownOnce_) return;
  ApplyWindowState(from, value);
  ResizeEvent();
}

void Form::ApplyWindowState(FormWindowState from, FormWindowState to) {
  if (from == FormWindowState::vbNormal) normal_ = props_.bounds;
  switch (to) {
    case FormWindowState::vbMaximized: props_.bounds = Bounds{0, 0, Screen().Width(), Screen().Height()}; break;
    case FormWindowState::vbNormal:
    case FormWindowState::vbMinimized: props_.bounds = normal_; break;
  }
  // The window now has another size: the drawing follows.
  Changed();
}

// ---- other built-in properties ----

std::string Form::Caption() {
  EnsureLoaded();
  return props_.caption;
}
void Form::Caption(std::string value) {
  EnsureLoaded();
  props_.caption = std::move(value);
  Changed();
}
int Form::BorderStyle() {
  EnsureLoaded();
  return props_.borderStyle;
}
void Form::BorderStyle(int value) {
  EnsureLoaded();
  if (value < vbBSNone || value > vbSizableToolWindow)
    runtime::Raise(formerr::kInvalidPropertyValue, "Invalid property value");
  props_.borderStyle = value;
  Changed();
}
std::string Form::FontName() {
  EnsureLoaded();
  return props_.fontName;
}
void Form::FontName(std::string value) {
  EnsureLoaded();
  // At design the controls that still show the form's font follow it.
  if (designing_)
    for (auto& c : controls_)
      if (c->common_.fontName == props_.fontName) c->common_.fontName = value;
  props_.fontName = std::move(value);
  Changed();
}
bool Form::FontBold() {
  EnsureLoaded();
  return props_.fontBold;
}
void Form::FontBold(bool value) {
  EnsureLoaded();
  props_.fontBold = value;
  Changed();
}
long Form::BackColor() {
  EnsureLoaded();
  return props_.backColor;
}
void Form::BackColor(long value) {
  EnsureLoaded();
  props_.backColor = value;
  Changed();
}
bool Form::KeyPreview() {
  EnsureLoaded();
  return props_.keyPreview;
}
void Form::KeyPreview(bool value) {
  EnsureLoaded();
  props_.keyPreview = value;
}
int Form::MousePointer() {
  EnsureLoaded();
  return props_.mousePointer;
}
void Form::MousePointer(int value) {
  EnsureLoaded();
  if ((value < vbDefault || value > vbSizeAll) && value != vbCustom)
    runtime::Raise(formerr::kInvalidPropertyValue, "Invalid property value");
  props_.mousePointer = value;
  Changed();
}

Control* Form::ActiveControl() {
  EnsureLoaded();
  return activeControl_;
}

std::vector<Control*> Form::Controls() {
  EnsureLoaded();
  std::vector<Control*> out;
  for (const auto& c : controls_) out.push_back(c.get());
  return out;
}

// ---- focus and tab order ----

namespace {
bool Reachable(const Control& c) {
  for (const Control* p = &c; p != nullptr; p = p->Container())
    if (!p->Visible() || !p->Enabled()) return false;
  return true;
}
}  // namespace

void Form::FocusFirst() {
  if (activeControl_ != nullptr) return;
  Control* best = nullptr;
  for (const auto& c : controls_) {
    if (!c->Focusable() || !Reachable(*c)) continue;
    if (best == nullptr || c->tabIndex_ < best->tabIndex_) best = c.get();
  }
  activeControl_ = best;
  if (best != nullptr) NotifyChanged(*this, best);
}

void Form::RenumberTabs(Control* moved, int position) {
  std::vector<Control*> order;
  for (const auto& c : controls_)
    if (c.get() != moved && c->tabIndex_ >= 0) order.push_back(c.get());
  std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) { return a->tabIndex_ < b->tabIndex_; });
  const auto at = static_cast<std::size_t>(std::min<int>(position, static_cast<int>(order.size())));
  order.insert(order.begin() + static_cast<std::ptrdiff_t>(at), moved);
  for (std::size_t i = 0; i < order.size(); ++i) order[i]->tabIndex_ = static_cast<int>(i);
}

// ---- the registry ----

std::shared_ptr<Form>& DefaultInstanceSlot(std::type_index key) { return Reg().defaults[key]; }

void Load(Form& form) { form.EnsureLoaded(); }

void Unload(Form& form) { form.DoUnload(vbFormCode); }

std::vector<std::shared_ptr<Form>> Forms() { return Reg().loaded; }

void DiscardAllForms() {
  Registry& reg = Reg();
  std::vector<std::shared_ptr<Form>> loaded = std::move(reg.loaded);
  reg.loaded.clear();
  for (auto& form : loaded) FormAccess::Forget(*form);
  std::map<std::type_index, std::shared_ptr<Form>> defaults = std::move(reg.defaults);
  reg.defaults.clear();
  for (auto& [key, form] : defaults)
    if (form) FormAccess::ClearDefaultMark(*form);
  reg.active.reset();
  reg.modal.clear();
}

void FormAccess::Forget(Form& f) {
  for (auto& c : f.controls_) c->OnDetached();
  for (auto& c : f.controls_) f.graveyard_.push_back(std::move(c));
  f.controls_.clear();
  for (ControlSlot* slot : f.slots_) slot->Clear();
  f.activeControl_ = nullptr;
  f.visible_ = false;
  f.state_ = Form::State::NotLoaded;
  f.hWnd_ = 0;
  if (f.depth_ == 0) f.graveyard_.clear();
}

bool FormAccess::IsTopmostModalOrFree(const Form& f) {
  const auto& modal = Reg().modal;
  return modal.empty() || modal.back() == &f;
}

}  // namespace platform::forms
