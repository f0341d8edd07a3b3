// The outside controls the forms place, drawn.
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/controls/updown.h"
#include "platform/qt/control_views.h"
#include "platform/qt/form_views.h"

namespace platform::qt {

namespace forms = platform::forms;

namespace {

// Two arrows, one above the other; the up-down writes its buddy itself.
class UpDownView : public ControlView {
 public:
  UpDownView(forms::Control& c, QWidget* parent) : ControlView(c, new QWidget(parent)) {
    auto* layout = new QVBoxLayout(widget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton(widget());
    auto* down = new QToolButton(widget());
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up, down}) {
      b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
      b->setAutoRepeat(true);
      layout->addWidget(b);
    }
    auto* model = static_cast<controls::UpDown*>(&c);
    QObject::connect(up, &QToolButton::clicked, [model] { Act([&] { forms::user::ClickUp(*model); }); });
    QObject::connect(down, &QToolButton::clicked, [model] { Act([&] { forms::user::ClickDown(*model); }); });
  }
};

}  // namespace

void RegisterOutsideViews() {
  RegisterControlView("UpDown", Maker<UpDownView>());
  RegisterFolderView();
  RegisterExplorerBarView();
  // An image list only lends its pictures to other controls, and the resize
  // anchor only moves them: neither has anything to draw.
  for (const char* nothing : {"ImageList", "TagAnchor"})
    RegisterControlView(nothing, [](forms::Control&, QWidget*) { return std::unique_ptr<ControlView>(); });
  RegisterCommandBarViews();
}

}  // namespace platform::qt
