#pragma once
// The frame around the control that has the keyboard focus in a form's
// window. The desktop's style draws focus in its own colours, which vanish on
// a dark command bar or a coloured panel; this frame is black dots over a
// white line, so it shows on any background.

#include <QPointer>
#include <QWidget>

namespace platform::qt {

class FocusRing : public QWidget {
 public:
  // Follows the focus among the children of `window`.
  explicit FocusRing(QWidget* window);
  // A widget that draws its own focus frame gets none from the ring.
  static void DrawsOwnFocus(QWidget& widget);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Follow(QWidget* now);
  void Place();
  QPointer<QWidget> target_;
};

}  // namespace platform::qt
