#pragma once
// The forms and their controls drawn with Qt Widgets.
//
// The models in platform/forms stay the truth; a window here mirrors one
// form and a widget one control. The model tells the drawing of every change
// (UserInterface::Changed, ::Noticed) and the drawing follows at once. What a
// person does to a widget goes through the same user:: functions a script
// calls, so the runtime's rules (disabled and hidden controls refused, only
// the topmost modal form answers, forms kept alive while a handler unloads
// them) hold for a person too; a refused action changes nothing.
//
// Control kinds are drawn by views registered by type name; a kind without a
// view of its own shows what the terminal prints of it. FormViews knows no
// kind itself: the program registers the views at start (control_views.h),
// so the views build on this file and nothing here builds on them.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/forms/form.h"
#include "runtime/error.h"

class QAbstractButton;
class QColor;
class QFont;
class QKeyEvent;

namespace platform::qt {

// Twips of the model and pixels of the screen, through the Screen's factors.
int PixelsX(float twips);
int PixelsY(float twips);
float TwipsX(int pixels);
float TwipsY(int pixels);
// A colour of the model: a system colour (&H800000nn) or &H00BBGGRR.
QColor ColorOf(long color);
// A caption with the "&" of its access key for a widget that underlines it.
QString Mnemonic(const std::string& caption);
// The caption as plain text ("&&" is one "&", a single "&" goes).
QString PlainCaption(const std::string& caption);

// Runs a person's action. A refusal of the runtime (a hidden or disabled
// control, a form behind a modal one) changes nothing and is not reported,
// as a click on a dead button does nothing; any other error is a failure
// the person must hear of and goes to the reporter. Returns false when the
// action was refused or failed.
bool Act(const std::function<void()>& action);
// Who hears of a failed action; nullptr: standard error.
using ActionFailureReporter = std::function<void(const runtime::Error&)>;
void SetActionFailureReporter(ActionFailureReporter reporter);

// What a person's key is to the forms runtime; 0 when it has no code there.
int KeyCodeOf(const QKeyEvent& e);
// The Shift argument of the forms runtime's events: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftOf(Qt::KeyboardModifiers m);

// One control on screen.
class ControlView {
 public:
  ControlView(forms::Control& control, QWidget* widget);
  virtual ~ControlView();
  ControlView(const ControlView&) = delete;
  ControlView& operator=(const ControlView&) = delete;

  forms::Control& control() const { return control_; }
  QWidget* widget() const { return widget_; }
  // Where the controls it contains go (a picture box: inside its frame).
  virtual QWidget* Inside() const { return widget(); }
  // Brings the widget in line with the model: the common properties, then
  // the kind's own (SyncKind).
  void Sync();
  // Where a control whose container is this one goes when this view hosts
  // it in a part of its own (a command bar's panel): a widget with a layout
  // that the control's widget fills. nullptr: at the control's own place.
  virtual QWidget* HostFor(const forms::Control&) { return nullptr; }

 protected:
  virtual void SyncKind() {}
  // Mouse moves, presses and releases reach the model as MouseMove,
  // MouseDown and MouseUp; a press and release on a control that is not a
  // button is its Click, and the form beneath sees none of it.
  void ForwardMouse(bool clickOnRelease);
  // A button's own click is the person's Click of the control; moves and
  // presses go as MouseMove and MouseDown.
  void ClicksGoToTheModel(QAbstractButton& button);

 private:
  forms::Control& control_;
  QPointer<QWidget> widget_;
  // Outlives the view with its widget (deleted later): let go of it then.
  QPointer<QObject> mouse_;
};

using ControlViewMaker = std::function<std::unique_ptr<ControlView>(forms::Control&, QWidget* parent)>;
void RegisterControlView(std::string_view typeName, ControlViewMaker maker);
// A user control is named by its own class, which no registered kind knows:
// its view is registered apart.
void RegisterUserControlView(ControlViewMaker maker);
// The maker of a view whose constructor takes the control and the parent.
template <class View>
ControlViewMaker Maker() {
  return [](forms::Control& c, QWidget* parent) { return std::make_unique<View>(c, parent); };
}
// The view of a control by its kind (a kind without one shows what the
// terminal prints of it); nullptr for a kind that draws nothing.
std::unique_ptr<ControlView> MakeControlView(forms::Control& control, QWidget* parent);

// The window of one form.
class FormWindow : public QWidget {
  Q_OBJECT
 public:
  explicit FormWindow(forms::Form& form, QWidget* owner);
  ~FormWindow() override;

  forms::Form* form() const { return form_; }
  // The model is gone (unloaded): the window no longer touches it.
  void Detach();
  // The form's own properties (caption, border, geometry, colours).
  void SyncForm();
  // One control; nullptr: the form and the set of its controls.
  void SyncControl(forms::Control* control);
  // The view of a control, when it is drawn.
  ControlView* ViewOf(const forms::Control* control) const;
  QWidget* WidgetOf(const forms::Control* control) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Reconcile();
  void PlaceControl(ControlView& view);
  void OrderTabs();

  forms::Form* form_;
  std::map<const forms::Control*, std::unique_ptr<ControlView>> views_;
  bool applying_ = false;
  bool pressed_ = false;
};

// Every form that is shown, drawn.
class FormViews : public QObject {
  Q_OBJECT
 public:
  FormViews();
  ~FormViews() override;

  void Noticed(forms::Form& form, std::string_view action);
  void Changed(forms::Form& form, forms::Control* control);

  FormWindow* WindowOf(const forms::Form& form) const;
  // The window of the form class shown last of that name.
  FormWindow* WindowNamed(std::string_view formName) const;
  // The window that modeless forms without an owner stay above (the mail
  // client's main window); may be nullptr.
  void SetMainWindow(QWidget* window) { main_ = window; }

 signals:
  // The form was hidden or unloaded (a modal show waiting for it ends).
  void FormClosed(forms::Form* form);
  // A form's window was made (a snapshot queued for it may be taken).
  void FormShown(forms::Form* form);

 private:
  void Drop(forms::Form& form);
  std::map<const forms::Form*, QPointer<FormWindow>> windows_;
  QPointer<QWidget> main_;
};

}  // namespace platform::qt
