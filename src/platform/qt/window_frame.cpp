#include "platform/qt/window_frame.h"

#include <QApplication>
#include <QMargins>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace platform::qt {

QRect InsideOf(const QRect& frame, const forms::FrameMargins& m) {
  return {frame.x() + m.left, frame.y() + m.top, std::max(1, frame.width() - m.left - m.right),
          std::max(1, frame.height() - m.top - m.bottom)};
}

QRect FrameOf(const QRect& inside, const forms::FrameMargins& m) {
  return {inside.x() - m.left, inside.y() - m.top, inside.width() + m.left + m.right,
          inside.height() + m.top + m.bottom};
}

std::optional<forms::FrameMargins> DrawnFrame(const QWidget& window) {
  const QWindow* handle = window.windowHandle();
  if (handle == nullptr || !window.isVisible() || QGuiApplication::platformName() == "offscreen") return std::nullopt;
  // A maximised window may be drawn without its borders.
  if (window.windowState() != Qt::WindowNoState) return std::nullopt;
  const QMargins drawn = handle->frameMargins();
  if (drawn.isNull()) return std::nullopt;
  return forms::FrameMargins{drawn.left(), drawn.top(), drawn.right(), drawn.bottom()};
}

QEvent::Type FrameLearned() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

bool LearnFrame(const QWidget& window) {
  if (window.windowFlags().testFlag(Qt::FramelessWindowHint)) return false;
  const auto drawn = DrawnFrame(window);
  if (!drawn) return false;
  const bool tool = (window.windowFlags() & Qt::WindowType_Mask) == Qt::Tool;
  if (!forms::Screen().LearnFrame(tool, *drawn)) return false;
  for (QWidget* top : QApplication::topLevelWidgets()) QCoreApplication::postEvent(top, new QEvent(FrameLearned()));
  return true;
}

void LearnShownFrames() {
  for (const QWidget* top : QApplication::topLevelWidgets())
    if (top->isVisible()) LearnFrame(*top);
}

QRect OuterFrame(const QWidget& window, int borderStyle) {
  return FrameOf(window.geometry(), forms::Screen().FrameOf(borderStyle));
}

void PlaceFrame(QWidget& window, const QRect& frame, int borderStyle) {
  LearnShownFrames();
  const QRect inside = InsideOf(frame, forms::Screen().FrameOf(borderStyle));
  if (window.geometry() != inside) window.setGeometry(inside);
}

}  // namespace platform::qt
