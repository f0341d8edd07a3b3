#pragma once
// Pictures for the screen: decoded on a worker thread at the size they are
// shown (a JPEG scales while it decodes), delivered to the UI thread. A
// result for a request that was replaced meanwhile is dropped.

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <functional>

namespace platform::qt {

// Decodes `path` to fit in `box` (keeping its proportions; an empty box: the
// natural size). A damaged or missing file gives a null image.
QImage DecodePicture(const QString& path, QSize box);
// The size a picture of `natural` size takes to fit in `box`.
QSize FitInto(QSize natural, QSize box);

// One picture shown by a widget: Request replaces what was asked before, and
// `deliver` gets only the newest answer, on the UI thread, while `owner`
// lives.
class PictureRequest {
 public:
  explicit PictureRequest(QObject* owner) : owner_(owner) {}
  void Request(const QString& path, QSize box, std::function<void(const QImage&)> deliver);
  // Waits for the pictures in flight (tests, snapshots).
  static void WaitForAll();

 private:
  QObject* owner_;
  unsigned long long generation_ = 0;
};

}  // namespace platform::qt
