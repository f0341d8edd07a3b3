#include "platform/qt/focus_ring.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace platform::qt {

namespace {
constexpr int kOutside = 2;  // pixels the frame stands off the control
constexpr const char* kOwnFocus = "lumivaneDrawsOwnFocus";
}  // namespace

FocusRing::FocusRing(QWidget* window) : QWidget(window) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  hide();
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { Follow(now); });
}

void FocusRing::DrawsOwnFocus(QWidget& widget) { widget.setProperty(kOwnFocus, true); }

void FocusRing::Follow(QWidget* now) {
  if (target_) target_->removeEventFilter(this);
  target_ = nullptr;
  QWidget* window = parentWidget();
  // The window itself and what draws its own frame get none.
  if (now == nullptr || now == window || !window->isAncestorOf(now) || now->property(kOwnFocus).toBool()) {
    hide();
    return;
  }
  target_ = now;
  target_->installEventFilter(this);
  Place();
}

void FocusRing::Place() {
  if (!target_ || !target_->isVisible()) {
    hide();
    return;
  }
  const QPoint at = target_->mapTo(parentWidget(), QPoint(0, 0));
  setGeometry(QRect(at, target_->size()).adjusted(-kOutside, -kOutside, kOutside, kOutside));
  raise();
  show();
  update();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
  if (watched == target_) {
    switch (event->type()) {
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::Hide: Place(); break;
      default: break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect frame = rect().adjusted(0, 0, -1, -1);
  p.setPen(QPen(Qt::white, 1));
  p.drawRect(frame);
  p.setPen(QPen(Qt::black, 1, Qt::DotLine));
  p.drawRect(frame);
}

}  // namespace platform::qt
