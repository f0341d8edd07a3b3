// User controls placed on a form, drawn: a container at the extender's place
// with its tooltip, and inside it the control's constituent controls, each
// with the view of its kind. The control draws itself only through them.
#include <QMouseEvent>
#include <QWidget>
#include <map>

#include "platform/forms/user_control.h"
#include "platform/qt/control_views.h"
#include "platform/qt/form_views.h"

namespace platform::qt {

namespace forms = platform::forms;

namespace {

// The control's own area takes the mouse: a move or a click on it does not
// fall through to the form beneath.
class UserControlWidget : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override { e->accept(); }
  void mouseMoveEvent(QMouseEvent* e) override { e->accept(); }
};

class UserControlView : public ControlView {
 public:
  UserControlView(forms::Control& c, QWidget* parent) : ControlView(c, new UserControlWidget(parent)) {
    const auto& object = static_cast<forms::UserControlExtender&>(c).Object();
    if (!object) return;
    for (forms::Control* constituent : object->Constituents()) {
      std::unique_ptr<ControlView> view = MakeControlView(*constituent, widget());
      if (!view) continue;
      view->widget()->setObjectName(QString::fromStdString(constituent->Name()));
      constituents_.push_back(std::move(view));
    }
  }

 protected:
  // The extender's ToolTipText and place are the common ones; the
  // constituents follow, at twips inside the control, bottom first.
  void SyncKind() override {
    for (auto& view : constituents_) {
      QWidget* w = view->widget();
      if (w == nullptr) continue;
      const forms::Control& c = view->control();
      w->setGeometry(PixelsX(c.Left()), PixelsY(c.Top()), PixelsX(c.Width()), PixelsY(c.Height()));
      w->setVisible(c.Visible());
      w->raise();
      view->Sync();
    }
  }

 private:
  std::vector<std::unique_ptr<ControlView>> constituents_;
};

}  // namespace

void RegisterUserControlViews() { RegisterUserControlView(Maker<UserControlView>()); }

}  // namespace platform::qt
