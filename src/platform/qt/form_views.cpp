#include "platform/qt/form_views.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QColor>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <set>

#include <QCursor>
#include "platform/forms/screen.h"
#include "platform/forms/ui.h"
#include "platform/forms/user_control.h"
#include "platform/qt/focus_ring.h"
#include "platform/qt/window_frame.h"
#include "runtime/error.h"

namespace platform::qt {

namespace forms = platform::forms;

namespace {

std::map<std::string, ControlViewMaker, std::less<>>& Makers() {
  static std::map<std::string, ControlViewMaker, std::less<>> makers;
  return makers;
}

ControlViewMaker& UserControlMaker() {
  static ControlViewMaker maker;
  return maker;
}

ActionFailureReporter& FailureReporter() {
  static ActionFailureReporter reporter;
  return reporter;
}

void ReportFailure(const runtime::Error& e) {
  if (FailureReporter()) {
    FailureReporter()(e);
    return;
  }
  std::fprintf(stderr, "error: %s (%ld)\n", e.Description().c_str(), e.Number());
}

// The system colours the forms use, as a classic desktop drew them.
QColor SystemColor(long index) {
  switch (index) {
    case 0x05: return QApplication::palette().color(QPalette::Base);        // window background
    case 0x08: return QApplication::palette().color(QPalette::Text);        // window text
    case 0x0F: return QApplication::palette().color(QPalette::Button);      // button face
    case 0x12: return QApplication::palette().color(QPalette::ButtonText);  // button text
    default: return QApplication::palette().color(QPalette::Window);
  }
}

int ButtonOf(Qt::MouseButtons b) {
  return ((b & Qt::LeftButton) ? forms::vbLeftButton : 0) | ((b & Qt::RightButton) ? forms::vbRightButton : 0) |
         ((b & Qt::MiddleButton) ? forms::vbMiddleButton : 0);
}

Qt::CursorShape CursorOf(int pointer);

bool Contains(const forms::Form& form, const forms::Control* control) {
  const auto& live = form.LiveControls();
  return std::any_of(live.begin(), live.end(), [&](const auto& c) { return c.get() == control; });
}

// A kind without a view of its own: what the terminal prints of it.
class DescribedView : public ControlView {
 public:
  DescribedView(forms::Control& c, QWidget* parent) : ControlView(c, new QLabel(parent)) {
    auto* label = static_cast<QLabel*>(widget());
    label->setFrameShape(QFrame::Box);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
  }

 protected:
  void SyncKind() override {
    static_cast<QLabel*>(widget())->setText(
        QString::fromStdString(std::string(control().TypeName()) + " " + control().Describe()));
  }
};

// A person's mouse on a control, to the model. A control that is not a
// button takes the whole of it, as a windowless control of old did: a click
// on a label or a picture is not also a click on the form beneath.
class MouseForwarder : public QObject {
 public:
  MouseForwarder(ControlView* view, bool click) : QObject(view->widget()), view_(view), click_(click) {}
  void Forget() { view_ = nullptr; }

  bool eventFilter(QObject*, QEvent* event) override {
    auto* e = dynamic_cast<QMouseEvent*>(event);
    if (e == nullptr || view_ == nullptr) return false;
    forms::Control& c = view_->control();
    // A container counts from inside its frame.
    QPointF at = e->position();
    if (QWidget* inside = view_->Inside(); inside != nullptr && inside != view_->widget()) at -= inside->pos();
    const float x = TwipsX(static_cast<int>(at.x()));
    const float y = TwipsY(static_cast<int>(at.y()));
    const int shift = ShiftOf(e->modifiers());
    switch (event->type()) {
      case QEvent::MouseMove: Act([&] { forms::user::MouseMove(c, x, y, ButtonOf(e->buttons()), shift); }); break;
      case QEvent::MouseButtonPress:
        pressed_ = true;
        Act([&] { forms::user::MouseDown(c, x, y, ButtonOf(e->button()), shift); });
        break;
      case QEvent::MouseButtonRelease: {
        const bool clicked = click_ && pressed_ && e->button() == Qt::LeftButton &&
                             view_->widget()->rect().contains(e->position().toPoint());
        pressed_ = false;
        Act([&] { forms::user::MouseUp(c, x, y, ButtonOf(e->button()), shift); });
        // MouseUp may have unloaded the form, and with it this control.
        if (clicked && view_ != nullptr) Act([&] { forms::user::Click(c); });
        break;
      }
      default: return false;
    }
    if (!click_) return false;
    e->accept();
    return true;
  }

 private:
  ControlView* view_;
  bool click_;
  bool pressed_ = false;
};

}  // namespace

int PixelsX(float twips) { return static_cast<int>(twips / forms::Screen().TwipsPerPixelX() + 0.5f); }
int PixelsY(float twips) { return static_cast<int>(twips / forms::Screen().TwipsPerPixelY() + 0.5f); }
float TwipsX(int pixels) { return static_cast<float>(pixels) * forms::Screen().TwipsPerPixelX(); }
float TwipsY(int pixels) { return static_cast<float>(pixels) * forms::Screen().TwipsPerPixelY(); }

QColor ColorOf(long color) {
  const auto bits = static_cast<unsigned long>(color) & 0xFFFFFFFFul;
  if ((bits & 0x80000000ul) != 0) return SystemColor(static_cast<long>(bits & 0xFF));
  return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                static_cast<int>((bits >> 16) & 0xFF));
}

QString Mnemonic(const std::string& caption) { return QString::fromStdString(caption); }

QString PlainCaption(const std::string& caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') out += caption[++i];
      continue;
    }
    out += caption[i];
  }
  return QString::fromStdString(out);
}

bool Act(const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const forms::Refusal&) {
    return false;
  } catch (...) {
    ReportFailure(runtime::ToError(std::current_exception()));
    return false;
  }
}

void SetActionFailureReporter(ActionFailureReporter reporter) { FailureReporter() = std::move(reporter); }

// What a person's key is to the forms runtime; 0 when it has no code there.
int KeyCodeOf(const QKeyEvent& e) {
  const int k = e.key();
  switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return forms::vbKeyReturn;
    case Qt::Key_Escape: return forms::vbKeyEscape;
    case Qt::Key_Backspace: return forms::vbKeyBack;
    case Qt::Key_Space: return forms::vbKeySpace;
    case Qt::Key_Home: return forms::vbKeyHome;
    case Qt::Key_End: return forms::vbKeyEnd;
    case Qt::Key_Left: return forms::vbKeyLeft;
    case Qt::Key_Up: return forms::vbKeyUp;
    case Qt::Key_Right: return forms::vbKeyRight;
    case Qt::Key_Down: return forms::vbKeyDown;
    case Qt::Key_Delete: return forms::vbKeyDelete;
    default: break;
  }
  if ((k >= Qt::Key_0 && k <= Qt::Key_9) || (k >= Qt::Key_A && k <= Qt::Key_Z)) return k;
  return 0;
}

int ShiftOf(Qt::KeyboardModifiers m) {
  return ((m & Qt::ShiftModifier) ? 1 : 0) | ((m & Qt::ControlModifier) ? 2 : 0) | ((m & Qt::AltModifier) ? 4 : 0);
}

void RegisterControlView(std::string_view typeName, ControlViewMaker maker) {
  Makers()[std::string(typeName)] = std::move(maker);
}

void RegisterUserControlView(ControlViewMaker maker) { UserControlMaker() = std::move(maker); }

std::unique_ptr<ControlView> MakeControlView(forms::Control& control, QWidget* parent) {
  auto maker = Makers().find(control.TypeName());
  if (maker != Makers().end()) return maker->second(control, parent);
  if (UserControlMaker() && dynamic_cast<forms::UserControlExtender*>(&control) != nullptr)
    return UserControlMaker()(control, parent);
  return std::make_unique<DescribedView>(control, parent);
}

// ---- ControlView ----

ControlView::ControlView(forms::Control& control, QWidget* widget) : control_(control), widget_(widget) {
  widget_->setMouseTracking(true);
}

ControlView::~ControlView() {
  // A handler of this very press may have unloaded the form: the release
  // that follows finds the widget (deleted later) but no model.
  if (mouse_) static_cast<MouseForwarder*>(mouse_.data())->Forget();
  if (widget_) {
    widget_->hide();
    widget_->deleteLater();
  }
}

void ControlView::Sync() {
  if (!widget_) return;
  const forms::Control& c = control_;
  widget_->setEnabled(c.Enabled());
  widget_->setToolTip(QString::fromStdString(c.ToolTipText()));
  QFont font = widget_->font();
  font.setBold(c.FontBold());
  widget_->setFont(font);
  QPalette palette = widget_->palette();
  // A disabled control keeps the desktop's grey text, so a person sees
  // which options do not apply.
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
      palette.setColor(group, role, ColorOf(c.ForeColor()));
  palette.setColor(QPalette::Window, ColorOf(c.BackColor()));
  // Only a text box fills its field with its back colour; a check box keeps
  // the white box it is drawn with.
  if (c.TypeName() == "TextBox") palette.setColor(QPalette::Base, ColorOf(c.BackColor()));
  widget_->setPalette(palette);
  SyncKind();
  // The caret is where the model has its focus.
  if (forms::FormAccess::Focused(c.Parent()) == &c && !widget_->hasFocus() && widget_->focusPolicy() != Qt::NoFocus)
    widget_->setFocus(Qt::OtherFocusReason);
}

void ControlView::ForwardMouse(bool clickOnRelease) {
  auto* forwarder = new MouseForwarder(this, clickOnRelease);
  mouse_ = forwarder;
  widget_->installEventFilter(forwarder);
}

void ControlView::ClicksGoToTheModel(QAbstractButton& button) {
  ForwardMouse(false);
  forms::Control* model = &control_;
  QObject::connect(&button, &QAbstractButton::clicked, [model] { Act([&] { forms::user::Click(*model); }); });
}

// ---- FormWindow ----

FormWindow::FormWindow(forms::Form& form, QWidget* owner) : QWidget(owner, Qt::Window), form_(&form) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setMouseTracking(true);
  setObjectName(QString::fromStdString(form.Name()));
  new FocusRing(this);
  SyncForm();
  Reconcile();
}

FormWindow::~FormWindow() { Detach(); }

void FormWindow::Detach() {
  form_ = nullptr;
  views_.clear();
}

void FormWindow::SyncForm() {
  if (form_ == nullptr || !form_->IsLoaded()) return;
  forms::Form& f = *form_;
  applying_ = true;
  setWindowTitle(QString::fromStdString(f.Caption()));
  Qt::WindowFlags flags = windowFlags() & ~(Qt::FramelessWindowHint | Qt::Tool | Qt::Dialog);
  flags |= Qt::Window;
  const int border = f.BorderStyle();
  if (border == forms::vbBSNone) flags |= Qt::FramelessWindowHint;
  if (border == forms::vbFixedToolWindow || border == forms::vbSizableToolWindow) flags |= Qt::Tool;
  if (f.IsShownModally()) flags |= Qt::Dialog;
  if (flags != windowFlags()) setWindowFlags(flags);
  setWindowModality(f.IsShownModally() ? Qt::ApplicationModal : Qt::NonModal);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, ColorOf(f.BackColor()));
  setPalette(palette);
  setAutoFillBackground(true);
  QFont font = this->font();
  font.setBold(f.FontBold());
  setFont(font);
  if (f.MousePointer() == forms::vbDefault) {
    unsetCursor();
  } else {
    setCursor(CursorOf(f.MousePointer()));
  }
  LearnShownFrames();  // the inner size depends on the frame
  const int w = PixelsX(f.ScaleWidth());
  const int h = PixelsY(f.ScaleHeight());
  const bool sizable = border == forms::vbSizable || border == forms::vbSizableToolWindow;
  const bool maximised = f.WindowState() == forms::FormWindowState::vbMaximized;
  if (sizable || maximised) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    setFixedSize(w, h);
  }
  switch (f.WindowState()) {
    case forms::FormWindowState::vbMaximized:
      if (QGuiApplication::platformName() == "offscreen") {
        // No desktop to fill: the window takes the screen the forms measure.
        setWindowState(Qt::WindowNoState);
        setGeometry(0, 0, w, h);
      } else {
        // Without a border a maximised form covers the whole screen, panels
        // and task bar included, as a show over everything should.
        // The geometry too: a desktop without a window manager ignores the
        // state and would leave the design size.
        if (const QScreen* on = screen())
          setGeometry(border == forms::vbBSNone ? on->geometry() : on->availableGeometry());
        setWindowState(border == forms::vbBSNone ? Qt::WindowFullScreen : Qt::WindowMaximized);
      }
      break;
    case forms::FormWindowState::vbMinimized: setWindowState(Qt::WindowMinimized); break;
    case forms::FormWindowState::vbNormal: {
      setWindowState(Qt::WindowNoState);
      // Left and Top are the outer frame's corner; the inside is the inner size.
      const forms::FrameMargins frame = forms::Screen().FrameOf(border);
      const QRect inside(PixelsX(f.Left()) + frame.left, PixelsY(f.Top()) + frame.top, w, h);
      if (geometry() != inside) setGeometry(inside);
      break;
    }
  }
  applying_ = false;
}

ControlView* FormWindow::ViewOf(const forms::Control* control) const {
  auto it = views_.find(control);
  return it == views_.end() ? nullptr : it->second.get();
}

QWidget* FormWindow::WidgetOf(const forms::Control* control) const {
  ControlView* v = ViewOf(control);
  return v == nullptr ? nullptr : v->widget();
}

void FormWindow::SyncControl(forms::Control* control) {
  if (form_ == nullptr) return;
  if (control == nullptr) {
    SyncForm();
    Reconcile();
    return;
  }
  ControlView* view = ViewOf(control);
  if (view == nullptr) {
    if (Contains(*form_, control)) {
      Reconcile();
      return;
    }
    // A constituent of a user control: the control's view draws it.
    for (forms::Control* c = control->Container(); c != nullptr; c = c->Container())
      if (ControlView* holder = ViewOf(c)) {
        holder->Sync();
        return;
      }
    return;
  }
  PlaceControl(*view);
  view->Sync();
}

void FormWindow::Reconcile() {
  if (form_ == nullptr) return;
  // Views of controls that went.
  for (auto it = views_.begin(); it != views_.end();) {
    if (!Contains(*form_, it->first)) {
      it = views_.erase(it);
    } else {
      ++it;
    }
  }
  // Views of controls that came; containers (frames, picture boxes) first,
  // beneath what the form puts over them.
  std::vector<forms::Control*> added;
  std::set<const forms::Control*> containers;
  for (const auto& c : form_->LiveControls()) {
    if (views_.count(c.get()) == 0) added.push_back(c.get());
    if (c->Container() != nullptr) containers.insert(c->Container());
  }
  std::stable_sort(added.begin(), added.end(),
                   [&](forms::Control* a, forms::Control* b) { return containers.count(a) > containers.count(b); });
  for (forms::Control* c : added) {
    if (c->TypeName() == "Timer") continue;  // nothing to see
    std::unique_ptr<ControlView> view = MakeControlView(*c, this);
    if (!view) continue;
    view->widget()->setObjectName(
        QString::fromStdString(c->Index() >= 0 ? c->Name() + "(" + std::to_string(c->Index()) + ")" : c->Name()));
    view->widget()->installEventFilter(this);
    views_[c] = std::move(view);
  }
  for (auto& [c, view] : views_) {
    PlaceControl(*view);
    view->Sync();
  }
  OrderTabs();
}

void FormWindow::PlaceControl(ControlView& view) {
  QWidget* w = view.widget();
  if (w == nullptr) return;
  forms::Control& c = view.control();
  QWidget* parent = this;
  if (ControlView* host = c.Container() != nullptr ? ViewOf(c.Container()) : nullptr) {
    if (QWidget* part = host->HostFor(c)) {
      if (w->parentWidget() != part) {
        w->setParent(part);
        if (part->layout() != nullptr) part->layout()->addWidget(w);
      }
      w->setVisible(c.Visible());
      return;
    }
    if (host->Inside() != nullptr) parent = host->Inside();
  }
  if (w->parentWidget() != parent) w->setParent(parent);
  try {
    w->setGeometry(PixelsX(c.Left()), PixelsY(c.Top()), PixelsX(c.Width()), PixelsY(c.Height()));
  } catch (const runtime::Error&) {
  }
  w->setVisible(c.Visible());
}

void FormWindow::OrderTabs() {
  std::vector<std::pair<int, QWidget*>> order;
  for (auto& [c, view] : views_) {
    if (view->widget() == nullptr || view->widget()->focusPolicy() == Qt::NoFocus) continue;
    try {
      order.emplace_back(c->TabIndex(), view->widget());
    } catch (const runtime::Error&) {
    }
  }
  std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1].second, order[i].second);
}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The window goes when the form unloads; the title-bar close only asks.
  event->ignore();
  if (form_ == nullptr) return;
  std::shared_ptr<forms::Form> keep = form_->shared_from_this();
  Act([&] { forms::user::Close(*keep); });
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (applying_ || form_ == nullptr || !form_->IsLoaded() || !isVisible()) return;
  forms::Form& f = *form_;
  if (f.WindowState() != forms::FormWindowState::vbNormal) return;
  if (PixelsX(f.ScaleWidth()) == width() && PixelsY(f.ScaleHeight()) == height()) return;
  std::shared_ptr<forms::Form> keep = f.shared_from_this();
  Act([&] { forms::FormAccess::PersonResize(*keep, TwipsX(width()), TwipsY(height())); });
}

void FormWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  LearnFrame(*this);
  if (applying_ || form_ == nullptr || !form_->IsLoaded() || !isVisible()) return;
  const QRect outer = OuterFrame(*this, form_->BorderStyle());
  if (PixelsX(form_->Left()) == outer.x() && PixelsY(form_->Top()) == outer.y()) return;
  forms::FormAccess::PersonMove(*form_, TwipsX(outer.x()), TwipsY(outer.y()));
}

bool FormWindow::event(QEvent* event) {
  if (event->type() == QEvent::Show) LearnFrame(*this);
  if (event->type() != FrameLearned()) return QWidget::event(event);
  // The inner size follows the frame now known; the outer one stays.
  if (form_ != nullptr && form_->IsLoaded() && isVisible()) {
    SyncForm();
    std::shared_ptr<forms::Form> keep = form_->shared_from_this();
    Act([&] { forms::FormAccess::FrameChanged(*keep); });
  }
  return true;
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  if (form_ == nullptr) return;
  const int code = KeyCodeOf(*event);
  if (code == 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  std::shared_ptr<forms::Form> keep = form_->shared_from_this();
  Act([&] { forms::user::PressKey(*keep, code, ShiftOf(event->modifiers())); });
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
  if (form_ == nullptr) return;
  pressed_ = true;
  std::shared_ptr<forms::Form> keep = form_->shared_from_this();
  Act([&] {
    forms::user::MouseDown(*keep, TwipsX(static_cast<int>(event->position().x())),
                           TwipsY(static_cast<int>(event->position().y())), ButtonOf(event->button()),
                           ShiftOf(event->modifiers()));
  });
}

void FormWindow::mouseMoveEvent(QMouseEvent* event) {
  if (form_ == nullptr) return;
  std::shared_ptr<forms::Form> keep = form_->shared_from_this();
  Act([&] {
    forms::user::MouseMove(*keep, TwipsX(static_cast<int>(event->position().x())),
                           TwipsY(static_cast<int>(event->position().y())), ButtonOf(event->buttons()),
                           ShiftOf(event->modifiers()));
  });
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (form_ == nullptr || !pressed_) return;
  pressed_ = false;
  if (event->button() != Qt::LeftButton || !rect().contains(event->pos())) return;
  std::shared_ptr<forms::Form> keep = form_->shared_from_this();
  Act([&] { forms::user::Click(*keep); });
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  // A control that has the focus in Qt has it in the model too, so Enter,
  // Esc and typing go where the person sees the caret.
  if (event->type() == QEvent::FocusIn && form_ != nullptr) {
    for (auto& [c, view] : views_) {
      if (view->widget() != watched) continue;
      forms::Control* control = const_cast<forms::Control*>(c);
      if (forms::FormAccess::Focused(*form_) != control) Act([&] { control->SetFocus(); });
      break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// ---- FormViews ----

namespace {
Qt::CursorShape CursorOf(int pointer) {
  switch (pointer) {
    case forms::vbCrosshair: return Qt::CrossCursor;
    case forms::vbIbeam: return Qt::IBeamCursor;
    case forms::vbSizePointer:
    case forms::vbSizeAll: return Qt::SizeAllCursor;
    case forms::vbSizeNESW: return Qt::SizeBDiagCursor;
    case forms::vbSizeNS: return Qt::SizeVerCursor;
    case forms::vbSizeNWSE: return Qt::SizeFDiagCursor;
    case forms::vbSizeWE: return Qt::SizeHorCursor;
    case forms::vbUpArrow: return Qt::UpArrowCursor;
    case forms::vbHourglass: return Qt::WaitCursor;
    case forms::vbNoDrop: return Qt::ForbiddenCursor;
    case forms::vbArrowHourglass: return Qt::BusyCursor;
    case forms::vbArrowQuestion: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
  }
}
}  // namespace

FormViews::FormViews() {
  // The program's pointer (the hourglass while it works) covers every window.
  forms::Screen().OnMousePointer([](int pointer) {
    while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
    if (pointer != forms::vbDefault) QApplication::setOverrideCursor(QCursor(CursorOf(pointer)));
  });
}

FormViews::~FormViews() {
  forms::Screen().OnMousePointer(nullptr);
  for (auto& [form, window] : windows_)
    if (window) {
      window->Detach();
      delete window.data();
    }
}

FormWindow* FormViews::WindowOf(const forms::Form& form) const {
  auto it = windows_.find(&form);
  return it == windows_.end() ? nullptr : it->second.data();
}

FormWindow* FormViews::WindowNamed(std::string_view formName) const {
  FormWindow* found = nullptr;
  for (const auto& [form, window] : windows_)
    if (window && window->isVisible() && window->form() != nullptr && window->form()->Name() == formName)
      found = window.data();
  return found;
}

void FormViews::Noticed(forms::Form& form, std::string_view action) {
  if (action == "Show" || action == "ShowModal") {
    FormWindow* window = WindowOf(form);
    if (window == nullptr) {
      QWidget* owner = nullptr;
      if (auto o = form.Owner()) owner = WindowOf(*o);
      if (owner == nullptr && action == "ShowModal") owner = QApplication::activeWindow();
      if (owner == nullptr) owner = main_;
      window = new FormWindow(form, owner);
      windows_[&form] = window;
      // A form that its code never placed opens centred over its owner (or
      // the screen), as a dialog does, and the form learns where it is.
      if (form.Left() == 0 && form.Top() == 0 && form.WindowState() == forms::FormWindowState::vbNormal) {
        const QRect area = owner != nullptr && owner->isVisible()
                               ? OuterFrame(*owner, forms::vbSizable)
                               : QRect(0, 0, PixelsX(forms::Screen().Width()), PixelsY(forms::Screen().Height()));
        const QPoint corner = area.center() - QPoint(PixelsX(form.Width()) / 2, PixelsY(form.Height()) / 2);
        forms::FormAccess::PersonMove(form, TwipsX(std::max(0, corner.x())), TwipsY(std::max(0, corner.y())));
        window->SyncForm();
      }
    }
    window->SyncForm();
    if (forms::Control* focused = forms::FormAccess::Focused(form)) window->SyncControl(focused);
    window->show();
    window->raise();
    window->activateWindow();
    emit FormShown(&form);
  } else if (action == "Hide") {
    if (FormWindow* window = WindowOf(form)) window->hide();
    emit FormClosed(&form);
  } else if (action == "Unload") {
    Drop(form);
    emit FormClosed(&form);
  }
}

void FormViews::Drop(forms::Form& form) {
  auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  QPointer<FormWindow> window = it->second;
  windows_.erase(it);
  if (!window) return;
  // The unload may come from inside a handler of one of the window's own
  // widgets: hide now, delete when Qt is back in its loop.
  window->Detach();
  window->hide();
  window->deleteLater();
}

void FormViews::Changed(forms::Form& form, forms::Control* control) {
  if (FormWindow* window = WindowOf(form)) window->SyncControl(control);
}

}  // namespace platform::qt
